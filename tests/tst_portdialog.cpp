#include "link/seriallink.h"
#include "support/ptypair.h"
#include "ui/portdialog.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

// The port dialog as the operator meets it: the last port and why it failed, the path
// field ready for typing, Enter to open, and a port that will not open keeping it up.
class tst_PortDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setStyle(QStringLiteral("Fusion")); }
    void opensWhatIsTyped_data();
    void opensWhatIsTyped();
    void choosingAsksNoReason();
};

void tst_PortDialog::opensWhatIsTyped_data()
{
    QTest::addColumn<QString>("typed"); // "<line>": the pseudo-terminal's path
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("problem");
    QTest::newRow("a-pseudo-terminal") << "<line>" << true << "";
    QTest::newRow("a-missing-device") << "/nonexistent/ttyUSB4" << false
                                      << "Cannot open the serial port /nonexistent/ttyUSB4: "
                                         "there is no such device";
    QTest::newRow("nothing") << "" << false << "Choose a port in the list or type the path";
}

void tst_PortDialog::opensWhatIsTyped()
{
    QFETCH(QString, typed);
    QFETCH(bool, opens);
    QFETCH(QString, problem);
    PtyPair line;
    QVERIFY2(line.isOpen(), qPrintable(line.errorString()));
    if (typed == "<line>")
        typed = line.slavePath();
    SerialLink link;
    PortDialog dialog(link, "/dev/ttyS3", "Cannot open the serial port /dev/ttyS3: gone.");
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto *path = dialog.findChild<QLineEdit *>("path");
    auto *reason = dialog.findChild<QLabel *>("problem");
    QCOMPARE(path->text(), QString("/dev/ttyS3"));
    QCOMPARE(reason->text(), QString("Cannot open the serial port /dev/ttyS3: gone."));
    // The path field has the keyboard: typing replaces the last port, Enter opens.
    QCOMPARE(QApplication::focusWidget(), path);
    if (typed.isEmpty())
        QTest::keyClick(path, Qt::Key_Backspace);
    else
        QTest::keyClicks(path, typed);
    QTest::keyClick(path, Qt::Key_Return);
    QCOMPARE(accepted.count(), opens ? 1 : 0);
    QCOMPARE(link.isOpen(), opens);
    QCOMPARE(dialog.isVisible(), !opens);
    if (opens) {
        QCOMPARE(dialog.openedPort(), typed);
    } else {
        QVERIFY2(reason->isVisible() && reason->text().startsWith(problem),
                 qPrintable(reason->text()));
        QCOMPARE(QApplication::focusWidget(), path);
    }
    QCOMPARE(line.readAvailable(), QByteArray());
}

void tst_PortDialog::choosingAsksNoReason()
{
    SerialLink link;
    PortDialog dialog(link, "/dev/ttyUSB0", QString());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(!dialog.findChild<QLabel *>("problem")->isVisible());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!link.isOpen());
}

QTEST_MAIN(tst_PortDialog)
#include "tst_portdialog.moc"
