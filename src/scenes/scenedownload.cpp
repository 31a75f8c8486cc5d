#include "scenedownload.h"

#include "link/scenedownloadframe.h"
#include "link/seriallink.h"
#include "scenes/scenefile.h"

SceneDownload::SceneDownload(const SceneFile &file, SerialLink &link, QObject *parent)
    : QObject(parent), m_file(file), m_link(link)
{}

void SceneDownload::Command5_Click()
{
    SceneFile::Access access = m_file.open();
    std::array<SceneDownloadFrame::Record, SceneDownloadFrame::SceneCount> records{};
    for (int n = 1; n <= SceneFile::SceneCount; ++n) {
        if (!access.readRecord(n, records[n - 1])) {
            Q_EMIT failed(access.errorMessage());
            return;
        }
    }
    m_link.write(SceneDownloadFrame::encode(records));
    // The file is closed only after the frame has been handed to the port.
    if (!access.close())
        Q_EMIT failed(access.errorMessage());
}
