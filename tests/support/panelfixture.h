#pragma once

#include "control/module1.h"
#include "link/seriallink.h"
#include "scenes/scenefile.h"
#include "support/ptypair.h"
#include "ui/form1.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class Form2;
class ImageControl;
class LevelSlider;
class QLineEdit;
class QPushButton;

// The real panel on a pseudo-terminal, with its scene file in a temporary folder and
// what it reports recorded instead of ending the test. Its controls are found by their
// design names, as the window gives them.
class PanelFixture
{
public:
    PanelFixture();

    // Empty when the panel is up; otherwise why it is not.
    QString failure() const { return m_failure; }

    // The bytes the panel has put on the line since the last call, once the link has
    // handed over all that waits for the line's pace.
    QByteArray sent();
    QString scenePath() const { return folder.filePath(SceneFile::fileName()); }

    // Moves the channels and the master from the program, then forgets what that sent.
    void setLevels(const QList<int> &channels, int master);

    LevelSlider *VScroll1(int i) const;
    LevelSlider *VScroll2() const;
    QLineEdit *Text1(int i) const;
    QLineEdit *Text2() const;
    QPushButton *Command1(int i) const;
    QPushButton *Command2(int i) const;
    QPushButton *Command3() const;
    QPushButton *Command4() const;
    QPushButton *Command5() const;
    QPushButton *Option1(int i) const;
    QPushButton *Option2(int i) const;
    ImageControl *Image2() const;
    // The scene key window, once the store image has made it.
    Form2 *form2() const;

    // The reports outlive the link, whose last drain may still report.
    QStringList fatals;
    QStringList warnings;
    PtyPair line;
    QTemporaryDir folder;
    Module1 state;
    SerialLink link;
    SceneFile scenes;
    std::unique_ptr<Form1> form;

private:
    QString m_failure;
};

// A control of a window by its design name: "Command5", or element 3 of "VScroll1".
template<typename Control>
Control *controlOf(const QObject *window, const char *name, int index = -1)
{
    QString objectName = QString::fromLatin1(name);
    if (index >= 0)
        objectName += QLatin1Char('_') + QString::number(index);
    return window->findChild<Control *>(objectName);
}
