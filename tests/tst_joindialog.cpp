#include "support/modal.h"
#include "ui/joindialog.h"
#include "ui/qrcodewidget.h"
#include "web/qrencoder.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

// The dialog a phone joins the web remote by, offscreen: the code of the address, the
// address and the token apart, and the question before a new token.
class tst_JoinDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsCodeAddressAndToken();
    void renewsOnlyWhenConfirmed_data();
    void renewsOnlyWhenConfirmed();
};

namespace {

const QString Address =
    QStringLiteral("http://192.168.1.10:8080/#t=00112233445566778899aabbccddeeff");

QString textOf(const JoinDialog &dialog, const char *name)
{
    return dialog.findChild<QLabel *>(QLatin1String(name))->text();
}

} // namespace

void tst_JoinDialog::showsCodeAddressAndToken()
{
    JoinDialog dialog(Address, &encodeQr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *code = dialog.findChild<QrCodeWidget *>(QStringLiteral("Code"));
    QVERIFY(code);
    // The whole address, token and all, is in the code: a version 4 code at medium
    // correction (33 modules a side) holds it.
    QCOMPARE(code->modules(), encodeQr(Address.toUtf8()));
    QCOMPARE(code->modules().size(), std::size_t(33));
    QCOMPARE(textOf(dialog, "PageAddress"), QStringLiteral("Page: http://192.168.1.10:8080/"));
    QCOMPARE(textOf(dialog, "Token"),
             QStringLiteral("Access token: 0011 2233 4455 6677 8899 aabb ccdd eeff"));

    // Drawn black on white, with a white quiet zone of four modules all round.
    const QImage picture = code->grab().toImage();
    const int module = std::min(picture.width(), picture.height()) / (33 + 8);
    QVERIFY(module >= 4);
    const QRect drawn((picture.width() - 41 * module) / 2, (picture.height() - 41 * module) / 2,
                      41 * module, 41 * module);
    int dark = 0;
    for (int y = drawn.top(); y <= drawn.bottom(); ++y) {
        for (int x = drawn.left(); x <= drawn.right(); ++x) {
            const bool black = picture.pixelColor(x, y) == Qt::black;
            const bool inQuietZone =
                !drawn.adjusted(4 * module, 4 * module, -4 * module, -4 * module).contains(x, y);
            QVERIFY(black || picture.pixelColor(x, y) == Qt::white);
            QVERIFY(!(black && inQuietZone));
            dark += black ? 1 : 0;
        }
    }
    QVERIFY(dark > 33 * module * module); // the finder patterns alone are more

    const QString renewed =
        QStringLiteral("http://192.168.1.10:8080/#t=ffeeddccbbaa99887766554433221100");
    dialog.setAddress(renewed);
    QCOMPARE(code->modules(), encodeQr(renewed.toUtf8()));
    QVERIFY(textOf(dialog, "Token")
                .endsWith(QStringLiteral("ffee ddcc bbaa 9988 7766 5544 3322 1100")));
    QVERIFY(dialog.findChild<QLabel *>(QStringLiteral("LocalOnly"))->isHidden());
    // A code that only this computer can open says how to reach it from a phone.
    dialog.setAddress(QStringLiteral("http://127.0.0.1:8080/#t=ffeeddccbbaa99887766554433221100"));
    QVERIFY(!dialog.findChild<QLabel *>(QStringLiteral("LocalOnly"))->isHidden());
}

void tst_JoinDialog::renewsOnlyWhenConfirmed_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("renewals");
    QTest::newRow("yes") << int(QMessageBox::Yes) << 1;
    QTest::newRow("no") << int(QMessageBox::No) << 0;
}

void tst_JoinDialog::renewsOnlyWhenConfirmed()
{
    QFETCH(int, answer);
    JoinDialog dialog(Address, &encodeQr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy renewals(&dialog, &JoinDialog::renewAsked);
    Modal::whenUp(
        &Modal::isMessageBox, [answer](QWidget *box) { Modal::answer(box, answer); }, &dialog);
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("Renew")), Qt::LeftButton);
    QTEST(int(renewals.count()), "renewals");
}

QTEST_MAIN(tst_JoinDialog)
#include "tst_joindialog.moc"
