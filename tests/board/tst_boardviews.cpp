#include "board/boardwindow.h"
#include "board/dumpwriter.h"
#include "board/eventlog.h"
#include "board/lampwidget.h"
#include "board/lineplug.h"
#include "board/virtualboard.h"
#include "cli/translations.h"
#include "support/wire.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

// What the board shows of what arrived: the dump lines that scripts read, and the window
// that a person reads, both driven through the real board from raw bytes.
class tst_BoardViews : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dumpLine_data();
    void dumpLine();
    void windowFollowsBoard();
    void scenesTableShowsDownload();
    void logMarksDroppedAndStaysBounded();
    void lampsBrightenWithLevel();
    void quietLineReleasesHeldPacket();
    void windowPullsLineOut();
    void captionsFollowLanguage_data();
    void captionsFollowLanguage();
};

namespace {

using Records = BoardState::Scenes;

using Wire::countingRecords;
using Wire::packet;

QByteArray frame(const Records &records) { return Wire::frame(records); }

QByteArray decodedLines(const QByteArray &stream)
{
    QByteArray lines;
    for (const auto &event : Wire::decodeWhole(stream))
        lines += DumpWriter::line(event) + '\n';
    return lines;
}

int lightness(const QImage &image, const QWidget *lamp, const QWidget *window)
{
    const QPoint centre = lamp->mapTo(window, lamp->rect().center());
    return image.pixelColor(centre * image.devicePixelRatio()).lightness();
}

} // namespace

void tst_BoardViews::dumpLine_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QByteArray>("lines");

    QTest::newRow("level") << packet(3, 10, 40) << QByteArray("level 3 40 f1 03 0a 28 fa\n");
    QTest::newRow("master") << packet(10, 10, 99) << QByteArray("master 99 f1 0a 0a 63 fa\n");
    QTest::newRow("firstMode") << packet(0, 11, 0) << QByteArray("mode 1 f1 00 0b 00 fa\n");
    QTest::newRow("lastMode") << packet(11, 11, 0) << QByteArray("mode 12 f1 0b 0b 00 fa\n");
    QTest::newRow("scenes") << frame(countingRecords())
                            << "scenes " + frame(countingRecords()).toHex(' ') + '\n';
    QTest::newRow("dropped") << QByteArray("\x03\x0a\x28", 3)
                             << QByteArray("dropped 3 stray-byte 03 0a 28\n");
    QTest::newRow("badEnd") << QByteArray("\xf1\x00\x0b\x00\x00", 5) + packet(1, 10, 2)
                            << QByteArray("dropped 5 bad-end-byte f1 00 0b 00 00\n"
                                          "level 1 2 f1 01 0a 02 fa\n");
}

void tst_BoardViews::dumpLine()
{
    QFETCH(QByteArray, stream);
    QFETCH(QByteArray, lines);
    QCOMPARE(decodedLines(stream), lines);
}

void tst_BoardViews::windowFollowsBoard()
{
    VirtualBoard board(nullptr);
    BoardWindow window(board, QStringLiteral("/dev/pts/99"));
    QCOMPARE(window.findChild<QLabel *>("mode")->text(), QStringLiteral("—"));

    board.receive(packet(2, 10, 33) + packet(7, 10, 99));
    QCOMPARE(window.findChild<LampWidget *>(QStringLiteral("lamp_%1").arg(2))->level(), 33);
    QCOMPARE(window.findChild<LampWidget *>(QStringLiteral("lamp_%1").arg(7))->level(), 99);
    QCOMPARE(window.findChild<LampWidget *>(QStringLiteral("lamp_%1").arg(0))->level(), 0);

    board.receive(packet(10, 10, 64));
    for (int channel = 0; channel < 8; ++channel)
        QVERIFY2(window.findChild<LampWidget *>(QStringLiteral("lamp_%1").arg(channel))->level() ==
                     64,
                 qPrintable(QStringLiteral("lamp %1 did not follow the master").arg(channel)));
    QCOMPARE(window.findChild<LampWidget *>("masterLamp")->level(), 64);

    board.receive(packet(5, 11, 0));
    QCOMPARE(window.findChild<QLabel *>("mode")->text(), QStringLiteral("6"));
    QVERIFY2(
        window.findChild<QLabel *>("counters")->text().contains(QStringLiteral("20 received")),
        qPrintable(window.findChild<QLabel *>("counters")->text()));
}

void tst_BoardViews::scenesTableShowsDownload()
{
    VirtualBoard board(nullptr);
    BoardWindow window(board, QStringLiteral("/dev/pts/99"));
    QTableWidget *table = window.findChild<QTableWidget *>("scenes");
    QCOMPARE(table->rowCount(), 12);
    QCOMPARE(table->columnCount(), 8);
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("—"));

    Records records = countingRecords();
    records[11][7] = 0xFB;
    board.receive(frame(records));
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("0"));
    QCOMPARE(table->item(4, 3)->text(), QStringLiteral("35"));
    QCOMPARE(table->item(11, 7)->text(), QStringLiteral("251"));
}

void tst_BoardViews::logMarksDroppedAndStaysBounded()
{
    VirtualBoard board(nullptr);
    BoardWindow window(board, QStringLiteral("/dev/pts/99"));
    EventLog *log = window.findChild<EventLog *>("log");
    board.receive(packet(3, 10, 40));
    board.receive(QByteArray("\xf1\x03\x0a\x28\x00", 5) + packet(1, 10, 2));
    const QString text = log->toPlainText();
    QVERIFY2(text.contains(QStringLiteral("Channel 4 = 40")) && text.contains("f1 03 0a 28 fa"),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Dropped bytes (5)")) && text.contains("f1 03 0a 28 00"),
             qPrintable(text));

    QByteArray many;
    for (int i = 0; i < EventLog::MaximumEntries + 500; ++i)
        many += packet(i % 8, 10, i % 100);
    board.receive(many);
    QVERIFY2(log->blockCount() <= EventLog::MaximumEntries,
             qPrintable(QStringLiteral("%1 entries kept").arg(log->blockCount())));
    QVERIFY2(log->toPlainText().contains(QStringLiteral("Channel")),
             "the newest entries are gone");
}

void tst_BoardViews::lampsBrightenWithLevel()
{
    const auto sum = [](const QColor &colour) {
        return colour.red() + colour.green() + colour.blue();
    };
    for (int level = 1; level <= LampWidget::MaximumLevel; ++level) {
        QVERIFY2(
            sum(LampWidget::colorAt(level)) > sum(LampWidget::colorAt(level - 1)),
            qPrintable(QStringLiteral("level %1 is not brighter than the one below").arg(level)));
    }
    const QColor full = LampWidget::colorAt(99);
    QVERIFY2(full.red() > 230 && full.green() > 200 && full.blue() < 120,
             qPrintable(QStringLiteral("full level is not bright yellow: %1").arg(full.name())));

    VirtualBoard board(nullptr);
    BoardWindow window(board, QStringLiteral("/dev/pts/99"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    board.receive(packet(0, 10, 99) + packet(1, 10, 30));
    const QImage image = window.grab().toImage();
    const int bright = lightness(
        image, window.findChild<LampWidget *>(QStringLiteral("lamp_%1").arg(0)), &window);
    const int dim = lightness(
        image, window.findChild<LampWidget *>(QStringLiteral("lamp_%1").arg(1)), &window);
    const int dark = lightness(
        image, window.findChild<LampWidget *>(QStringLiteral("lamp_%1").arg(2)), &window);
    QVERIFY2(bright > dim && dim > dark,
             qPrintable(QStringLiteral("lamp centres at 99, 30, 0 read %1, %2, %3")
                            .arg(bright)
                            .arg(dim)
                            .arg(dark)));
}

void tst_BoardViews::quietLineReleasesHeldPacket()
{
    // The tail of a lost packet opens a frame candidate that holds what follows; a quiet
    // line must let it go without another byte arriving.
    VirtualBoard board(nullptr);
    QSignalSpy events(&board, &VirtualBoard::eventDecoded);
    board.receive(QByteArray("\x28\xfa", 2) + packet(4, 10, 50));
    QVERIFY2(board.state().level(4) == 0, "decided before the line went quiet");
    QTRY_COMPARE_WITH_TIMEOUT(board.state().level(4), 50, 5000);
    QCOMPARE(events.count(), 3);
    QCOMPARE(board.decoder().bytesPending(), std::size_t(0));
}

void tst_BoardViews::windowPullsLineOut()
{
    QTemporaryDir folder;
    QVERIFY2(folder.isValid(), qPrintable(folder.errorString()));
    const QString link = folder.filePath(QStringLiteral("ttyBOARD"));
    VirtualBoard board(nullptr);
    LinePlug plug(board, nullptr);
    plug.setLinkPath(link);
    QString error;
    QVERIFY2(plug.plugIn(&error), qPrintable(error));
    BoardWindow window(board, plug);
    auto *device = window.findChild<QLabel *>("device");
    auto *unplug = window.findChild<QPushButton *>("unplug");
    QVERIFY(unplug && unplug->isCheckable() && !unplug->isChecked());
    QCOMPARE(device->text(), QStringLiteral("Device: %1").arg(plug.devicePath()));
    board.receive(packet(2, 10, 33) + QByteArray("\xf1\x05", 2));

    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_U);
    QTRY_VERIFY_WITH_TIMEOUT(!plug.isPluggedIn(), 5000);
    QVERIFY(unplug->isChecked());
    QCOMPARE(device->text(), QStringLiteral("Device: the line is pulled out"));
    QVERIFY2(!QFileInfo(link).isSymLink(), "the link outlived the line");
    QCOMPARE(board.decoder().bytesDropped(), std::uint64_t(2));

    unplug->click();
    QVERIFY(plug.isPluggedIn() && !unplug->isChecked());
    QCOMPARE(device->text(), QStringLiteral("Device: %1").arg(plug.devicePath()));
    QCOMPARE(QFile::symLinkTarget(link), plug.devicePath());
    // The same board: only the cable was pulled.
    QCOMPARE(window.findChild<LampWidget *>(QStringLiteral("lamp_2"))->level(), 33);
}

void tst_BoardViews::captionsFollowLanguage_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("unplug");
    QTest::addColumn<QString>("lamp");
    QTest::addColumn<QString>("sceneRow");
    QTest::addColumn<QString>("logEntry");

    QTest::newRow("C") << QLocale::c() << QStringLiteral("Virtual Dimmer Board")
                       << QStringLiteral("Unplug the Line") << QStringLiteral("Channel 4")
                       << QStringLiteral("Scene 1") << QStringLiteral("Channel 4 = 40");
    QTest::newRow("zh_TW") << QLocale(QLocale::Chinese, QLocale::Taiwan)
                           << QStringLiteral("虛擬調光器") << QStringLiteral("拔除線路")
                           << QStringLiteral("調光四") << QStringLiteral("場景 1")
                           << QStringLiteral("調光四 ＝ 40");
}

void tst_BoardViews::captionsFollowLanguage()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, title);
    QFETCH(QString, unplug);
    QFETCH(QString, lamp);
    QFETCH(QString, sceneRow);
    QFETCH(QString, logEntry);

    const QList<QTranslator *> translators =
        installTranslations(*qApp, locale, QStringLiteral("dimmer-board"));
    const auto uninstall = qScopeGuard([&translators] {
        for (QTranslator *translator : translators) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    });
    VirtualBoard board(nullptr);
    // Never plugged in: the button is there without a pseudo-terminal.
    LinePlug plug(board, nullptr);
    BoardWindow window(board, plug);
    board.receive(packet(3, 10, 40));

    QCOMPARE(window.windowTitle(), title);
    QCOMPARE(window.findChild<QPushButton *>("unplug")->text(), unplug);
    QCOMPARE(window.findChild<LampWidget *>("lamp_3")->accessibleName(), lamp);
    QCOMPARE(window.findChild<QTableWidget *>("scenes")->verticalHeaderItem(0)->text(), sceneRow);
    const QString log = window.findChild<EventLog *>("log")->toPlainText();
    QVERIFY2(log.contains(logEntry), qPrintable(log));
}

QTEST_MAIN(tst_BoardViews)
#include "tst_boardviews.moc"
