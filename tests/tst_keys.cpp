#include "control/levelslider.h"
#include "support/files.h"
#include "support/modal.h"
#include "support/panelfixture.h"
#include "support/wire.h"
#include "ui/form2.h"
#include "ui/imagecontrol.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

// The panel's keys: F1..F12 recall, Shift with them stores through the question, arrows
// in the scene and mode rows move the focus and press nothing, the focused slider shows.
class tst_Keys : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void functionKeyRecalls_data();
    void functionKeyRecalls();
    void shiftFunctionKeyStores_data();
    void shiftFunctionKeyStores();
    void arrowsInRowsMoveFocusOnly_data();
    void arrowsInRowsMoveFocusOnly();
    void noKeysWhileSceneWindowUp();
    void focusedSliderShowsFrame();
};

namespace {

// Scene n holds n, n+1, .. n+7: every channel differs from off and from every other scene.
QByteArray scenes()
{
    QByteArray file;
    for (int n = 1; n <= 12; ++n) {
        for (int k = 0; k < 8; ++k)
            file += char(n + k);
    }
    return file;
}

QByteArray recallFromOff(int scene)
{
    QByteArray packets;
    for (int k = 0; k < 8; ++k)
        packets += Wire::setLevel(k, scene + k);
    return packets;
}

QWidget *focusTarget(const PanelFixture &panel, const QString &name)
{
    return panel.form->findChild<QWidget *>(name);
}

} // namespace

void tst_Keys::functionKeyRecalls_data()
{
    QTest::addColumn<int>("scene");
    QTest::addColumn<QString>("focus");
    QTest::newRow("F1-on-a-channel-slider") << 1 << "VScroll1_0";
    QTest::newRow("F5-in-a-read-out") << 5 << "Text1_3";
    QTest::newRow("F12-on-the-master") << 12 << "VScroll2";
    QTest::newRow("F7-in-the-mode-row") << 7 << "Option2_3";
    QTest::newRow("F3-on-the-download-button") << 3 << "Command5";
}

void tst_Keys::functionKeyRecalls()
{
    QFETCH(int, scene);
    QFETCH(QString, focus);
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    QVERIFY(Files::write(panel.scenePath(), scenes()));
    QWidget *focused = focusTarget(panel, focus);
    QVERIFY(focused);
    focused->setFocus();
    QTest::keyClick(focused, Qt::Key(Qt::Key_F1 + scene - 1));
    // Exactly a click on that scene button: its scene on the line, the button pressed.
    QCOMPARE(panel.sent().toHex(), recallFromOff(scene).toHex());
    QVERIFY(panel.Option1(scene - 1)->isChecked());
    QCOMPARE(panel.form->focusWidget(), focused);
}

void tst_Keys::shiftFunctionKeyStores_data()
{
    QTest::addColumn<int>("scene");
    QTest::addColumn<int>("answer"); // NoButton: Enter
    QTest::addColumn<bool>("stored");
    QTest::newRow("shift-F3-yes") << 3 << int(QMessageBox::Yes) << true;
    QTest::newRow("shift-F3-no") << 3 << int(QMessageBox::No) << false;
    QTest::newRow("shift-F12-enter-is-no") << 12 << int(QMessageBox::NoButton) << false;
}

void tst_Keys::shiftFunctionKeyStores()
{
    QFETCH(int, scene);
    QFETCH(int, answer);
    QFETCH(bool, stored);
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    panel.setLevels({10, 20, 30, 40, 50, 60, 70, 80}, 0);
    const QByteArray before(96, '\x05');
    QVERIFY(Files::write(panel.scenePath(), before));
    panel.VScroll1(2)->setFocus();
    QString prompt;
    QString title;
    Modal::whenUp(
        Modal::isMessageBox,
        [&](QWidget *box) {
            prompt = static_cast<QMessageBox *>(box)->text();
            title = box->windowTitle();
            if (answer == QMessageBox::NoButton)
                Modal::pressEnter(box);
            else
                Modal::answer(box, answer);
        },
        panel.form.get());
    QTest::keyClick(panel.VScroll1(2), Qt::Key(Qt::Key_F1 + scene - 1), Qt::ShiftModifier);
    QCOMPARE(prompt, QString("將目前狀態已存入巨集鍵 %1").arg(scene));
    QCOMPARE(title, QString("確定對話方塊"));
    QByteArray after = before;
    if (stored)
        after.replace(8 * (scene - 1), 8, QByteArray("\x0a\x14\x1e\x28\x32\x3c\x46\x50", 8));
    QCOMPARE(Files::bytes(panel.scenePath()).toHex(), after.toHex());
    QCOMPARE(panel.sent(), QByteArray());
    QVERIFY(!panel.form2()); // no scene key window was made
    QCOMPARE(panel.VScroll1(2)->level(), 30);
}

void tst_Keys::arrowsInRowsMoveFocusOnly_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("from");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("to");
    const auto right = int(Qt::Key_Right);
    const auto left = int(Qt::Key_Left);
    QTest::newRow("scene-right-right") << "Option1" << 2 << QList<int>{right, right} << 4;
    QTest::newRow("scene-left-stops-at-1") << "Option1" << 0 << QList<int>{left} << 0;
    QTest::newRow("scene-down-up")
        << "Option1" << 5 << QList<int>{int(Qt::Key_Down), int(Qt::Key_Up)} << 5;
    QTest::newRow("mode-right-right") << "Option2" << 9 << QList<int>{right, right} << 11;
    QTest::newRow("mode-left") << "Option2" << 9 << QList<int>{left, left, left} << 6;
}

void tst_Keys::arrowsInRowsMoveFocusOnly()
{
    QFETCH(QString, row);
    QFETCH(int, from);
    QFETCH(QList<int>, keys);
    QFETCH(int, to);
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    QVERIFY(Files::write(panel.scenePath(), scenes()));
    auto button = [&](int i) { return row == "Option1" ? panel.Option1(i) : panel.Option2(i); };
    QTest::mouseClick(button(from), Qt::LeftButton);
    panel.sent();
    for (int key : keys)
        QTest::keyClick(panel.form->focusWidget(), Qt::Key(key));
    QCOMPARE(panel.sent(), QByteArray());
    QCOMPARE(panel.form->focusWidget(), button(to));
    QVERIFY(button(from)->isChecked());
    // Space presses the button that has the focus, as a click does (a scene already on
    // the sliders sends nothing again).
    QTest::keyClick(button(to), Qt::Key_Space);
    const QByteArray pressed = row == "Option2" ? Wire::selectMode(to)
                               : to == from     ? QByteArray()
                                                : recallFromOff(to + 1);
    QCOMPARE(panel.sent().toHex(), pressed.toHex());
    QVERIFY(button(to)->isChecked());
}

void tst_Keys::noKeysWhileSceneWindowUp()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    QVERIFY(Files::write(panel.scenePath(), scenes()));
    bool questionAsked = false;
    Modal::whenUp([](QWidget *widget) { return qobject_cast<Form2 *>(widget) != nullptr; },
                  [&](QWidget *window) {
                      Modal::whenUp(
                          Modal::isMessageBox,
                          [&](QWidget *box) {
                              questionAsked = true;
                              Modal::answer(box, QMessageBox::No);
                          },
                          panel.form.get());
                      // The keys go to the active window, the scene key window.
                      QTest::keyClick(window->windowHandle(), Qt::Key_F5);
                      QTest::keyClick(window->windowHandle(), Qt::Key_F6, Qt::ShiftModifier);
                      QTest::mouseClick(controlOf<ImageControl>(window, "Image3"), Qt::LeftButton);
                  },
                  panel.form.get());
    QTest::mouseClick(panel.Image2(), Qt::LeftButton);
    QCOMPARE(panel.sent(), QByteArray());
    QVERIFY(!questionAsked);
    QVERIFY(!panel.Option1(4)->isChecked());
}

void tst_Keys::focusedSliderShowsFrame()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    LevelSlider *slider = panel.VScroll1(4);
    const QColor highlight = slider->palette().color(QPalette::Highlight);
    const auto edge = [&] {
        const QImage image = slider->grab().toImage();
        return image.pixelColor(0, image.height() / 2);
    };
    panel.VScroll1(3)->setFocus();
    QVERIFY(edge() != highlight);
    slider->setFocus();
    QVERIFY(slider->hasFocus());
    QCOMPARE(edge(), highlight);
}

QTEST_MAIN(tst_Keys)
#include "tst_keys.moc"
