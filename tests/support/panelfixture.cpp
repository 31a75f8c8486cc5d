#include "panelfixture.h"

#include "control/levelslider.h"
#include "ui/form2.h"
#include "ui/imagecontrol.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

PanelFixture::PanelFixture() : scenes(folder.filePath(SceneFile::fileName()))
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    if (!line.isOpen()) {
        m_failure = line.errorString();
        return;
    }
    if (!folder.isValid()) {
        m_failure = QStringLiteral("no temporary folder: ") + folder.errorString();
        return;
    }
    QObject::connect(&link, &SerialLink::failed, &link,
                     [this](const QString &message) { fatals << message; });
    form = std::make_unique<Form1>(state, link, scenes);
    QObject::connect(form.get(), &Form1::failed, form.get(),
                     [this](const QString &message) { fatals << message; });
    QObject::connect(form.get(), &Form1::warned, form.get(),
                     [this](const QString &message) { warnings << message; });
    QString error;
    if (!form->Form_Load(line.slavePath(), &error)) {
        m_failure = error;
        return;
    }
    form->show();
    form->activateWindow();
    if (!QTest::qWaitForWindowActive(form.get()))
        m_failure = QStringLiteral("the panel never became the active window");
}

QByteArray PanelFixture::sent()
{
    // On a line that never drains the test sees what did arrive, and says so.
    if (!QTest::qWaitFor([this] { return link.bytesQueued() == 0; }, 10000))
        qWarning("the link still holds %lld bytes for the line", link.bytesQueued());
    return line.readAvailable();
}

void PanelFixture::setLevels(const QList<int> &channels, int master)
{
    VScroll2()->setLevel(master);
    for (int i = 0; i < channels.size(); ++i)
        VScroll1(i)->setLevel(channels[i]);
    sent();
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
