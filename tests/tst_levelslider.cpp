#include "control/levelslider.h"
#include "support/linereader.h"
#include "support/linerules.h"
#include "support/panelfixture.h"
#include "support/sliderparts.h"
#include "support/wire.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

// The panel's sliders driven with real mouse and key events: 99 at the top, the arrows
// and the track the same way round as the thumb, and the events a drag reports.
class tst_LevelSlider : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clicks_data();
    void clicks();
    void keys_data();
    void keys();
    void channelDragSendsEachPositionAndTheEnd();
    void dragToTheEnds_data();
    void dragToTheEnds();
    void masterDragSendsOnlyMasterPackets();
    void fastDragEndsOnItsLastLevel_data();
    void fastDragEndsOnItsLastLevel();
    void duringADrag_data();
    void duringADrag();
    void middleClickJumpIsReported();
};

void tst_LevelSlider::clicks_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("part");
    QTest::addColumn<int>("expected");
    QTest::newRow("top-arrow-raises-by-1") << 40 << int(QStyle::SC_ScrollBarSubLine) << 41;
    QTest::newRow("bottom-arrow-lowers-by-1") << 40 << int(QStyle::SC_ScrollBarAddLine) << 39;
    QTest::newRow("track-above-raises-by-5") << 40 << int(QStyle::SC_ScrollBarSubPage) << 45;
    QTest::newRow("track-below-lowers-by-5") << 40 << int(QStyle::SC_ScrollBarAddPage) << 35;
    QTest::newRow("top-arrow-at-99") << 99 << int(QStyle::SC_ScrollBarSubLine) << 99;
    QTest::newRow("bottom-arrow-at-0") << 0 << int(QStyle::SC_ScrollBarAddLine) << 0;
    QTest::newRow("track-above-near-top") << 97 << int(QStyle::SC_ScrollBarSubPage) << 99;
}

void tst_LevelSlider::clicks()
{
    QFETCH(int, start);
    QFETCH(int, part);
    QFETCH(int, expected);
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    LevelSlider *slider = panel.VScroll1(2);
    slider->setLevel(start);
    panel.sent();
    const int thumbTop = partOf(slider, QStyle::SC_ScrollBarSlider).top();
    const QRect target = partOf(slider, QStyle::SubControl(part));
    QVERIFY2(target.isValid(), "the style shows no such part");
    QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier, target.center());
    QCOMPARE(slider->level(), expected);
    QCOMPARE(panel.sent().toHex(),
             expected == start ? QByteArray() : Wire::setLevel(2, expected).toHex());
    // The thumb goes the way its level goes: up when it rises.
    const int thumbNow = partOf(slider, QStyle::SC_ScrollBarSlider).top();
    if (expected > start)
        QVERIFY2(thumbNow < thumbTop, "level rose but the thumb went down");
    else if (expected < start)
        QVERIFY2(thumbNow > thumbTop, "level fell but the thumb went up");
}

void tst_LevelSlider::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    QTest::newRow("up") << int(Qt::Key_Up) << 51;
    QTest::newRow("down") << int(Qt::Key_Down) << 49;
    QTest::newRow("page-up") << int(Qt::Key_PageUp) << 55;
    QTest::newRow("page-down") << int(Qt::Key_PageDown) << 45;
}

void tst_LevelSlider::keys()
{
    QFETCH(int, key);
    QFETCH(int, expected);
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    LevelSlider *slider = panel.VScroll1(0);
    slider->setLevel(50);
    panel.sent();
    QTest::keyClick(slider, Qt::Key(key));
    QCOMPARE(slider->level(), expected);
    QCOMPARE(panel.sent().toHex(), Wire::setLevel(0, expected).toHex());
}

void tst_LevelSlider::channelDragSendsEachPositionAndTheEnd()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    LevelSlider *slider = panel.VScroll1(3);
    QSignalSpy scrolls(slider, &LevelSlider::levelScrolled);
    QSignalSpy changes(slider, &LevelSlider::levelChanged);
    const QPoint grab = partOf(slider, QStyle::SC_ScrollBarSlider).center();
    // A hand slower than the line: each packet is out before the next position comes.
    QByteArray sent;
    sendMouse(slider, QEvent::MouseButtonPress, grab, Qt::LeftButton);
    for (int step = 1; step <= 4; ++step) {
        sendMouse(slider, QEvent::MouseMove, grab - QPoint(0, 25 * step), Qt::LeftButton);
        sent += panel.sent();
    }
    QCOMPARE(changes.count(), 0);
    QCOMPARE(scrolls.count(), 4);
    const int last = slider->level();
    QVERIFY2(last > 0 && last < 99, qPrintable(QString::number(last)));
    sendMouse(slider, QEvent::MouseButtonRelease, grab - QPoint(0, 100), Qt::NoButton);
    sent += panel.sent();
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.at(0).at(0).toInt(), last);

    QByteArray expected;
    int previous = -1;
    for (const QList<QVariant> &scroll : scrolls) {
        QVERIFY2(scroll.at(0).toInt() > previous, "the drag upward did not raise the level");
        previous = scroll.at(0).toInt();
        expected += Wire::setLevel(3, previous);
    }
    expected += Wire::setLevel(3, last);
    QCOMPARE(sent.toHex(), expected.toHex());
    QCOMPARE(int(panel.state.LevelBuf[3]), last);
    QCOMPARE(panel.Text1(3)->text(), QString(" %1").arg(last));
}

void tst_LevelSlider::dragToTheEnds_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("distance");
    QTest::addColumn<int>("expected");
    QTest::newRow("to-the-top") << 0 << -400 << 99;
    QTest::newRow("to-the-bottom") << 60 << 400 << 0;
}

void tst_LevelSlider::dragToTheEnds()
{
    QFETCH(int, start);
    QFETCH(int, distance);
    QFETCH(int, expected);
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    LevelSlider *slider = panel.VScroll1(5);
    slider->setLevel(start);
    panel.sent();
    const QPoint grab = partOf(slider, QStyle::SC_ScrollBarSlider).center();
    sendMouse(slider, QEvent::MouseButtonPress, grab, Qt::LeftButton);
    sendMouse(slider, QEvent::MouseMove, grab + QPoint(0, distance), Qt::LeftButton);
    QByteArray sent = panel.sent();
    sendMouse(slider, QEvent::MouseButtonRelease, grab + QPoint(0, distance), Qt::NoButton);
    sent += panel.sent();
    QCOMPARE(slider->level(), expected);
    // One Scroll at the end position, then the Change that ends the drag.
    QCOMPARE(sent.toHex(), (Wire::setLevel(5, expected) + Wire::setLevel(5, expected)).toHex());
}

void tst_LevelSlider::masterDragSendsOnlyMasterPackets()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    LevelSlider *master = panel.VScroll2();
    QSignalSpy scrolls(master, &LevelSlider::levelScrolled);
    const QPoint grab = partOf(master, QStyle::SC_ScrollBarSlider).center();
    QByteArray sent;
    sendMouse(master, QEvent::MouseButtonPress, grab, Qt::LeftButton);
    sendMouse(master, QEvent::MouseMove, grab - QPoint(0, 40), Qt::LeftButton);
    sent += panel.sent();
    sendMouse(master, QEvent::MouseMove, grab - QPoint(0, 80), Qt::LeftButton);
    sent += panel.sent();
    sendMouse(master, QEvent::MouseButtonRelease, grab - QPoint(0, 80), Qt::NoButton);
    sent += panel.sent();
    QCOMPARE(scrolls.count(), 2);
    const int first = scrolls.at(0).at(0).toInt();
    const int last = master->level();
    QByteArray expected =
        Wire::setLevel(10, first) + Wire::setLevel(10, last) + Wire::setLevel(10, last);
    QCOMPARE(sent.toHex(), expected.toHex());
    for (int i = 0; i < 8; ++i)
        QCOMPARE(panel.VScroll1(i)->level(), last);
    QCOMPARE(panel.Text2()->text(), QString(" %1").arg(last));
}

void tst_LevelSlider::fastDragEndsOnItsLastLevel_data()
{
    QTest::addColumn<int>("channel"); // -1: the master
    QTest::newRow("channel") << 6;
    QTest::newRow("master") << -1;
}

void tst_LevelSlider::fastDragEndsOnItsLastLevel()
{
    QFETCH(int, channel);
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    LevelSlider *slider = channel < 0 ? panel.VScroll2() : panel.VScroll1(channel);
    const int address = channel < 0 ? CommandPacket::MasterAddress : channel;
    // What the handlers hand over, one packet for each position and one for the end.
    QList<QByteArray> written;
    const auto note = [&written, address](int level) {
        written << Wire::setLevel(address, level);
    };
    connect(slider, &LevelSlider::levelScrolled, slider, note);
    connect(slider, &LevelSlider::levelChanged, slider, note);
    const LineReader farSide(panel.line.masterFd());
    // Far faster than the line: every position of the way up and down again at once.
    const QPoint grab = partOf(slider, QStyle::SC_ScrollBarSlider).center();
    sendMouse(slider, QEvent::MouseButtonPress, grab, Qt::LeftButton);
    for (int step = 1; step <= 60; ++step) {
        const int height = step <= 40 ? step : 80 - step;
        sendMouse(slider, QEvent::MouseMove, grab - QPoint(0, 3 * height), Qt::LeftButton);
    }
    sendMouse(slider, QEvent::MouseButtonRelease, grab - QPoint(0, 60), Qt::NoButton);
    QVERIFY2(written.size() > 40, qPrintable(QString::number(written.size())));
    QTRY_VERIFY2_WITH_TIMEOUT(panel.link.bytesQueued() == 0 &&
                                  LineRules::check(written, farSide.bytes()).isEmpty(),
                              qPrintable(LineRules::check(written, farSide.bytes())), 10000);
    QVERIFY2(farSide.count() < written.join().size(), "no level gave way to a newer one");
    QVERIFY(farSide.bytes().endsWith(written.last()));
}

void tst_LevelSlider::duringADrag_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("level"); // for a level set from the program
    QTest::newRow("program-sets-another-level") << "set" << 20;
    QTest::newRow("program-sets-the-held-level") << "set" << 0;
    QTest::newRow("a-key") << "key" << 0;
}

void tst_LevelSlider::duringADrag()
{
    QFETCH(QString, what);
    QFETCH(int, level);
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    LevelSlider *slider = panel.VScroll1(1);
    const QPoint grab = partOf(slider, QStyle::SC_ScrollBarSlider).center();
    sendMouse(slider, QEvent::MouseButtonPress, grab, Qt::LeftButton);
    sendMouse(slider, QEvent::MouseMove, grab - QPoint(0, 60), Qt::LeftButton);
    const int dragged = slider->level();
    QCOMPARE(panel.sent().toHex(), Wire::setLevel(1, dragged).toHex());
    if (what == "set")
        slider->setLevel(level);
    else
        QTest::keyClick(slider, Qt::Key_Up);
    // The value held is 0 until the drag ends: setting it again, or a key, runs nothing;
    // another level runs the Change once, and no drag position is reported for it.
    const QByteArray expected =
        what == "set" && level != 0 ? Wire::setLevel(1, level) : QByteArray();
    QCOMPARE(panel.sent().toHex(), expected.toHex());
    sendMouse(slider, QEvent::MouseButtonRelease, grab - QPoint(0, 60), Qt::NoButton);
}

void tst_LevelSlider::middleClickJumpIsReported()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    LevelSlider *slider = panel.VScroll1(6);
    QSignalSpy scrolls(slider, &LevelSlider::levelScrolled);
    const QRect track = partOf(slider, QStyle::SC_ScrollBarGroove);
    const QPoint at(track.center().x(), track.top() + track.height() / 4);
    sendMouse(slider, QEvent::MouseButtonPress, at, Qt::MiddleButton, Qt::MiddleButton);
    QVERIFY2(slider->isSliderDown(), "Fusion, the panel's style, jumps on a middle click");
    const int jumped = slider->level();
    QVERIFY2(jumped > 50, qPrintable(QString::number(jumped)));
    QCOMPARE(scrolls.count(), 1);
    sendMouse(slider, QEvent::MouseButtonRelease, at, Qt::NoButton, Qt::MiddleButton);
    QCOMPARE(panel.sent().toHex(),
             (Wire::setLevel(6, jumped) + Wire::setLevel(6, jumped)).toHex());
}

QTEST_MAIN(tst_LevelSlider)
#include "tst_levelslider.moc"
