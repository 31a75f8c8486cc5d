#include "scenedownload.h"

#include "app/errorreport.h"
#include "link/scenedownloadframe.h"
#include "link/seriallink.h"
#include "scenes/scenefile.h"

SceneDownload::SceneDownload(const SceneFile &file, SerialLink &link, const ErrorReport &report,
                             QObject *parent)
    : QObject(parent), m_file(file), m_link(link), m_report(report)
{}

void SceneDownload::Command5_Click()
{
    SceneFile::Access access = m_file.open();
    std::array<SceneDownloadFrame::Record, SceneDownloadFrame::SceneCount> records{};
    for (int n = 1; n <= SceneFile::SceneCount; ++n) {
        if (!access.readRecord(n, records[n - 1])) {
            m_report.fatal(access.errorMessage());
            return;
        }
    }
    const auto frame = SceneDownloadFrame::encode(records);
    m_link.write(reinterpret_cast<const char *>(frame.data()), qsizetype(frame.size()));
    // The file is closed only after the frame has been handed to the port.
    if (!access.close())
        m_report.fatal(access.errorMessage());
}
