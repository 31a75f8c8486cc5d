#include "ui/form1.h"
#include "ui/levelslider.h"
#include "ui/readout.h"

#include <QApplication>
#include <QImage>
#include <QTest>

// The sliders and read-outs that keep pictures of themselves look exactly as the plain
// scroll bar and line edit do, the first time and when the picture is taken again.
class tst_PaintCache : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void sliderLooksAsAScrollBar_data();
    void sliderLooksAsAScrollBar();
    void readOutLooksAsALineEdit_data();
    void readOutLooksAsALineEdit();
};

namespace {

QImage picture(QWidget *widget) { return widget->grab().toImage(); }

} // namespace

void tst_PaintCache::initTestCase() { QApplication::setStyle(QStringLiteral("Fusion")); }

void tst_PaintCache::sliderLooksAsAScrollBar_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("off") << 0 << true;
    QTest::newRow("40") << 40 << true;
    QTest::newRow("full-on") << 99 << true;
    QTest::newRow("disabled-40") << 40 << false;
}

void tst_PaintCache::sliderLooksAsAScrollBar()
{
    QFETCH(int, level);
    QFETCH(bool, enabled);
    QWidget window;
    window.resize(200, 300);
    auto *slider = new LevelSlider(&window);
    auto *plain = new QScrollBar(Qt::Vertical, &window);
    plain->setRange(0, LevelSlider::MaximumLevel);
    for (QScrollBar *bar : {static_cast<QScrollBar *>(slider), plain}) {
        bar->setGeometry(bar == plain ? 100 : 10, 10, 41, 201);
        bar->setEnabled(enabled);
    }
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The slider that has the focus wears a frame that a plain scroll bar does not.
    plain->setFocus();
    // Away from the level and back: the second picture comes from the kept one.
    for (const int shown : {level, (level + 50) % 100, level}) {
        slider->showLevel(shown);
        slider->catchUp();
        plain->setValue(LevelSlider::MaximumLevel - shown);
        QCOMPARE(picture(slider), picture(plain));
    }
}

void tst_PaintCache::readOutLooksAsALineEdit_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("off") << " 0";
    QTest::newRow("40") << " 40";
    QTest::newRow("full-on") << " 99";
}

void tst_PaintCache::readOutLooksAsALineEdit()
{
    QFETCH(QString, text);
    QWidget window;
    window.resize(300, 100);
    auto *readOut = new ReadOut(QStringLiteral("0"), &window);
    auto *plain = new QLineEdit(QStringLiteral("0"), &window);
    for (QLineEdit *box : {static_cast<QLineEdit *>(readOut), plain}) {
        box->setGeometry(box == plain ? 150 : 10, 10, 61, 33);
        box->setFont(Form1::captionFont(15.75));
        box->setAlignment(Qt::AlignLeft);
        // Neither holds the focus, whose frame and cursor would tell them apart.
        box->setFocusPolicy(Qt::NoFocus);
    }
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (const QString &shown : {text, QStringLiteral(" 7"), text}) {
        readOut->setText(shown);
        plain->setText(shown);
        QCOMPARE(picture(readOut), picture(plain));
        // The picture is kept once the paint is over; the next paint copies it.
        QCoreApplication::processEvents();
        QCOMPARE(picture(readOut), picture(plain));
    }
}

QTEST_MAIN(tst_PaintCache)
#include "tst_paintcache.moc"
