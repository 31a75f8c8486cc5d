#pragma once

#include "link/seriallink.h"
#include "support/deskfixture.h"
#include "ui/form1.h"

#include <memory>

class Form2;
class ImageControl;
class LevelSlider;
class QLineEdit;
class QPushButton;

// The real panel window on the desk of a DeskFixture, shown and active. Its controls are
// found by their design names, as the window gives them.
class PanelFixture : public DeskFixture
{
public:
    PanelFixture();

    // Empty when the panel is up; otherwise why it is not.
    QString failure() const { return m_failure; }
    // Whether every slider shows the desk's level: the window catches up when it is next
    // painted (use with QTRY_VERIFY).
    bool showsTheDesk() const;

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

    QStringList warnings;
    SerialLink link; // never opened: the desk's line is the recording one
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
