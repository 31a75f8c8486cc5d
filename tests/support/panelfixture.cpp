#include "panelfixture.h"

#include "ui/form2.h"
#include "ui/imagecontrol.h"
#include "ui/levelslider.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

PanelFixture::PanelFixture()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    if (!isValid()) {
        m_failure = QStringLiteral("no temporary folder: ") + folder.errorString();
        return;
    }
    form = std::make_unique<Form1>(desk, link);
    QObject::connect(form.get(), &Form1::warned, form.get(),
                     [this](const QString &message) { warnings << message; });
    form->show();
    form->activateWindow();
    if (!QTest::qWaitForWindowActive(form.get()))
        m_failure = QStringLiteral("the panel never became the active window");
}

bool PanelFixture::showsTheDesk() const
{
    for (int i = 0; i < Board::ChannelCount; ++i) {
        if (VScroll1(i)->level() != desk.channel(i))
            return false;
    }
    return VScroll2()->level() == desk.master();
}

LevelSlider *PanelFixture::VScroll1(int i) const
{
    return controlOf<LevelSlider>(form.get(), "VScroll1", i);
}
LevelSlider *PanelFixture::VScroll2() const
{
    return controlOf<LevelSlider>(form.get(), "VScroll2");
}
QLineEdit *PanelFixture::Text1(int i) const
{
    return controlOf<QLineEdit>(form.get(), "Text1", i);
}
QLineEdit *PanelFixture::Text2() const { return controlOf<QLineEdit>(form.get(), "Text2"); }
QPushButton *PanelFixture::Command1(int i) const
{
    return controlOf<QPushButton>(form.get(), "Command1", i);
}
QPushButton *PanelFixture::Command2(int i) const
{
    return controlOf<QPushButton>(form.get(), "Command2", i);
}
QPushButton *PanelFixture::Command3() const
{
    return controlOf<QPushButton>(form.get(), "Command3");
}
QPushButton *PanelFixture::Command4() const
{
    return controlOf<QPushButton>(form.get(), "Command4");
}
QPushButton *PanelFixture::Command5() const
{
    return controlOf<QPushButton>(form.get(), "Command5");
}
QPushButton *PanelFixture::Option1(int i) const
{
    return controlOf<QPushButton>(form.get(), "Option1", i);
}
QPushButton *PanelFixture::Option2(int i) const
{
    return controlOf<QPushButton>(form.get(), "Option2", i);
}
ImageControl *PanelFixture::Image2() const
{
    // The panel's own: Form2 has an Image2 too, one level further down.
    return form->findChild<ImageControl *>(QStringLiteral("Image2"), Qt::FindDirectChildrenOnly);
}
Form2 *PanelFixture::form2() const { return controlOf<Form2>(form.get(), "Form2"); }
