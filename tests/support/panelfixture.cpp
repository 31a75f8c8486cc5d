#include "panelfixture.h"

#include "control/levelslider.h"

#include <QApplication>
#include <QTest>

PanelFixture::PanelFixture() : scenes(folder.filePath(SceneFile::fileName()))
{
    report.fatal = [this](const QString &message) { fatals << message; };
    report.warning = [this](const QString &message) { warnings << message; };
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
    form = std::make_unique<Form1>(state, link, scenes, report);
    QString error;
    if (!form->Form_Load(line.slavePath(), &error)) {
        m_failure = error;
        return;
    }
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        m_failure = QStringLiteral("the panel was never exposed");
}

void PanelFixture::setLevels(const QList<int> &channels, int master)
{
    form->VScroll2()->setLevel(master);
    for (int i = 0; i < channels.size(); ++i)
        form->VScroll1(i)->setLevel(channels[i]);
    sent();
}
