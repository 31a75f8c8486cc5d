#include "control/levelslider.h"
#include "control/lightingcontrol.h"
#include "support/panelfixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// What every level and mode control of the real panel puts on a real line: the exact
// bytes in order, and LevelBuf, the registers and the read-outs afterwards.
class tst_LightingControl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsSilent();
    void controls_data();
    void controls();
    void sameValueRunsNothing();
    void masterSyncHoldsChannelsBack();
    void repeatsAreNotSuppressed();
};

namespace {

using Levels = QList<int>;
const Levels AllOff = {0, 0, 0, 0, 0, 0, 0, 0};

// "set 3 40" moves a channel from the program, "master 70" the master; "Command1 3",
// "Command3", "Option2 5" click the button; several actions are joined with ';'.
void perform(PanelFixture &panel, const QString &actions)
{
    for (const QString &action : actions.split(';', Qt::SkipEmptyParts)) {
        const QStringList word = action.split(' ', Qt::SkipEmptyParts);
        const int index = word.size() > 1 ? word[1].toInt() : 0;
        QPushButton *button = nullptr;
        if (word[0] == "set")
            panel.VScroll1(index)->setLevel(word[2].toInt());
        else if (word[0] == "master")
            panel.VScroll2()->setLevel(index);
        else if (word[0] == "Command1")
            button = panel.Command1(index);
        else if (word[0] == "Command2")
            button = panel.Command2(index);
        else if (word[0] == "Command3")
            button = panel.Command3();
        else if (word[0] == "Command4")
            button = panel.Command4();
        else if (word[0] == "Option2")
            button = panel.Option2(index);
        else
            QFAIL(qPrintable("unknown action " + action));
        if (button)
            QTest::mouseClick(button, Qt::LeftButton);
    }
}

} // namespace

void tst_LightingControl::startsSilent()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    QCOMPARE(panel.sent(), QByteArray());
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(panel.VScroll1(i)->level(), 0);
        QCOMPARE(panel.Text1(i)->text(), QString("0"));
        QCOMPARE(panel.state.LevelBuf[i], 0);
    }
    QCOMPARE(panel.Text2()->text(), QString("0"));
    QCOMPARE(panel.state.PktAddress, 0);
    QCOMPARE(panel.state.PktCommand, 0);
    QCOMPARE(panel.state.PktValue, 0);
    QCOMPARE(panel.state.MasterSync, 0);
}

void tst_LightingControl::controls_data()
{
    QTest::addColumn<Levels>("channels");
    QTest::addColumn<int>("master");
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<Levels>("after");
    QTest::addColumn<int>("masterAfter");
    // The registers after the actions: address, value, command.
    QTest::addColumn<Levels>("registers");

    QTest::newRow("channel-3-to-40") << AllOff << 0 << "set 3 40" << QByteArray("f1030a28fa")
                                     << Levels{0, 0, 0, 40, 0, 0, 0, 0} << 0 << Levels{3, 40, 10};
    QTest::newRow("channel-0-back-to-0")
        << Levels{25, 0, 0, 0, 0, 0, 0, 0} << 0 << "set 0 0" << QByteArray("f1000a00fa") << AllOff
        << 0 << Levels{0, 0, 10};
    QTest::newRow("channel-7-to-99") << AllOff << 0 << "set 7 99" << QByteArray("f1070a63fa")
                                     << Levels{0, 0, 0, 0, 0, 0, 0, 99} << 0 << Levels{7, 99, 10};
    QTest::newRow("master-to-99") << AllOff << 0 << "master 99" << QByteArray("f10a0a63fa")
                                  << Levels{99, 99, 99, 99, 99, 99, 99, 99} << 99
                                  << Levels{10, 99, 10};
    QTest::newRow("master-50-to-70")
        << Levels{0, 70, 50, 50, 50, 50, 50, 50} << 50 << "master 70" << QByteArray("f10a0a46fa")
        << Levels{70, 70, 70, 70, 70, 70, 70, 70} << 70 << Levels{10, 70, 10};
    QTest::newRow("full-on-3") << AllOff << 0 << "Command1 3" << QByteArray("f1030a63fa")
                               << Levels{0, 0, 0, 99, 0, 0, 0, 0} << 0 << Levels{3, 99, 10};
    QTest::newRow("full-on-3-twice")
        << AllOff << 0 << "Command1 3;Command1 3" << QByteArray("f1030a63fa")
        << Levels{0, 0, 0, 99, 0, 0, 0, 0} << 0 << Levels{3, 99, 10};
    QTest::newRow("full-on-already-on")
        << Levels{0, 0, 0, 0, 0, 0, 0, 99} << 0 << "Command1 7" << QByteArray()
        << Levels{0, 0, 0, 0, 0, 0, 0, 99} << 0 << Levels{7, 99, 10};
    QTest::newRow("off-5") << Levels{0, 0, 0, 0, 0, 60, 0, 0} << 0 << "Command2 5"
                           << QByteArray("f1050a00fa") << AllOff << 0 << Levels{5, 0, 10};
    QTest::newRow("off-already-off")
        << AllOff << 0 << "Command2 2" << QByteArray() << AllOff << 0 << Levels{};
    QTest::newRow("master-full-on")
        << Levels{0, 10, 0, 0, 0, 0, 0, 0} << 0 << "Command3" << QByteArray("f10a0a63fa")
        << Levels{99, 99, 99, 99, 99, 99, 99, 99} << 99 << Levels{10, 99, 10};
    QTest::newRow("master-full-on-already")
        << Levels{99, 99, 99, 99, 10, 99, 99, 99} << 99 << "Command3" << QByteArray()
        << Levels{99, 99, 99, 99, 10, 99, 99, 99} << 99 << Levels{};
    QTest::newRow("all-off-two-channels-and-master")
        << Levels{0, 0, 30, 0, 0, 30, 0, 0} << 30 << "Command4"
        << QByteArray("f1020a00fa"
                      "f1050a00fa"
                      "f10a0a00fa")
        << AllOff << 0 << Levels{10, 0, 10};
    QTest::newRow("all-off-master-only") << AllOff << 40 << "Command4" << QByteArray("f10a0a00fa")
                                         << AllOff << 0 << Levels{10, 0, 10};
    QTest::newRow("all-off-nothing-on")
        << AllOff << 0 << "Command4" << QByteArray() << AllOff << 0 << Levels{};
    QTest::newRow("all-off-every-channel")
        << Levels{1, 2, 3, 4, 5, 6, 7, 8} << 9 << "Command4"
        << QByteArray("f1000a00faf1010a00faf1020a00faf1030a00faf1040a00fa"
                      "f1050a00faf1060a00faf1070a00faf10a0a00fa")
        << AllOff << 0 << Levels{10, 0, 10};
    QTest::newRow("mode-1") << AllOff << 0 << "Option2 0" << QByteArray("f1000b00fa") << AllOff
                            << 0 << Levels{0, 0, 11};
    QTest::newRow("mode-12") << Levels{5, 5, 5, 5, 5, 5, 5, 5} << 5 << "Option2 11"
                             << QByteArray("f10b0b00fa") << Levels{5, 5, 5, 5, 5, 5, 5, 5} << 5
                             << Levels{11, 0, 11};
    QTest::newRow("mode-6-then-channel-2")
        << AllOff << 0 << "Option2 5;set 2 30" << QByteArray("f1050b00faf1020a1efa")
        << Levels{0, 0, 30, 0, 0, 0, 0, 0} << 0 << Levels{2, 30, 10};
    QTest::newRow("master-then-channel-sends-at-once")
        << AllOff << 0 << "master 20;set 4 25" << QByteArray("f10a0a14faf1040a19fa")
        << Levels{20, 20, 20, 20, 25, 20, 20, 20} << 20 << Levels{4, 25, 10};
}

void tst_LightingControl::controls()
{
    QFETCH(Levels, channels);
    QFETCH(int, master);
    QFETCH(QString, actions);
    QFETCH(QByteArray, wire);
    QFETCH(Levels, after);
    QFETCH(int, masterAfter);
    QFETCH(Levels, registers);

    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    panel.setLevels(channels, master);
    const Module1 before = panel.state;
    const QString masterText = panel.Text2()->text();

    perform(panel, actions);
    // Every handler has written its bytes to the line before it returned.
    QCOMPARE(panel.sent().toHex(), wire);

    for (int i = 0; i < 8; ++i) {
        QCOMPARE(panel.VScroll1(i)->level(), after[i]);
        QCOMPARE(int(panel.state.LevelBuf[i]), after[i]);
        if (after[i] != channels[i])
            QCOMPARE(panel.Text1(i)->text(), LightingControl::readOutText(after[i]));
    }
    QCOMPARE(panel.VScroll2()->level(), masterAfter);
    if (masterAfter != master)
        QCOMPARE(panel.Text2()->text(), LightingControl::readOutText(masterAfter));
    else
        QCOMPARE(panel.Text2()->text(), masterText);
    if (registers.isEmpty())
        registers = {before.PktAddress, before.PktValue, before.PktCommand};
    QCOMPARE(int(panel.state.PktAddress), registers[0]);
    QCOMPARE(int(panel.state.PktValue), registers[1]);
    QCOMPARE(int(panel.state.PktCommand), registers[2]);
    QCOMPARE(panel.state.MasterSync, 0);
    QVERIFY2(panel.fatals.isEmpty(), qPrintable(panel.fatals.join('\n')));
}

void tst_LightingControl::sameValueRunsNothing()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    panel.setLevels({0, 0, 0, 0, 0, 33, 0, 0}, 0);
    panel.Option2(3)->click(); // registers now point elsewhere
    panel.sent();
    panel.Text1(5)->setText("typed");
    panel.VScroll1(5)->setLevel(33);
    QCOMPARE(panel.sent(), QByteArray());
    QCOMPARE(panel.Text1(5)->text(), QString("typed"));
    QCOMPARE(panel.state.PktAddress, 3);
    QCOMPARE(panel.state.PktCommand, 11);
    QCOMPARE(panel.state.LevelBuf[5], 33);
}

void tst_LightingControl::masterSyncHoldsChannelsBack()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    panel.state.MasterSync = 1;
    panel.VScroll1(6)->setLevel(45);
    QCOMPARE(panel.sent(), QByteArray());
    QCOMPARE(panel.state.LevelBuf[6], 45);
    QCOMPARE(panel.Text1(6)->text(), QString(" 45"));
    QCOMPARE(panel.state.PktAddress, 6);
    QCOMPARE(panel.state.PktValue, 45);
    QCOMPARE(panel.state.PktCommand, 10);
    panel.state.MasterSync = 0;
}

void tst_LightingControl::repeatsAreNotSuppressed()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    panel.Option2(4)->click();
    panel.Option2(4)->click();
    QCOMPARE(panel.sent().toHex(), QByteArray("f1040b00faf1040b00fa"));
    QVERIFY(panel.Option2(4)->isChecked());
}

QTEST_MAIN(tst_LightingControl)
#include "tst_lightingcontrol.moc"
