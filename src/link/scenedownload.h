#pragma once

#include <QObject>

struct ErrorReport;
class SceneFile;
class SerialLink;

// The send-settings button: all twelve stored scenes to the board in one frame.
class SceneDownload : public QObject
{
    Q_OBJECT

public:
    SceneDownload(const SceneFile &file, SerialLink &link, const ErrorReport &report,
                  QObject *parent = nullptr);

    void Command5_Click();

private:
    const SceneFile &m_file;
    SerialLink &m_link;
    const ErrorReport &m_report;
};
