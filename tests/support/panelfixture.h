#pragma once

#include "app/errorreport.h"
#include "control/module1.h"
#include "link/seriallink.h"
#include "scenes/scenefile.h"
#include "support/pseudoterminal.h"
#include "ui/form1.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// The real panel on a pseudo-terminal, with its scene file in a temporary folder and
// the error reports recorded instead of ending the test.
class PanelFixture
{
public:
    PanelFixture();

    // Empty when the panel is up; otherwise why it is not.
    QString failure() const { return m_failure; }

    // The bytes the panel has put on the line since the last call.
    QByteArray sent() { return line.readAvailable(); }
    QString scenePath() const { return folder.filePath(SceneFile::fileName()); }

    // Moves the channels and the master from the program, then forgets what that sent.
    void setLevels(const QList<int> &channels, int master);

    // The reports outlive the link, whose last drain may still report.
    QStringList fatals;
    QStringList warnings;
    PseudoTerminal line;
    QTemporaryDir folder;
    Module1 state;
    SerialLink link;
    SceneFile scenes;
    ErrorReport report;
    std::unique_ptr<Form1> form;

private:
    QString m_failure;
};
