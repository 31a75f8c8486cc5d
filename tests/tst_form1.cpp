#include "control/levelslider.h"
#include "support/panelfixture.h"
#include "ui/imagecontrol.h"

#include <QFontInfo>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// The panel window as the operator first sees it: every control at its place with its
// text and font, the tab order, the focus, and the two independent button groups.
class tst_Form1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void window();
    void geometry_data();
    void geometry();
    void fonts_data();
    void fonts();
    void startState();
    void tabOrderFollowsTabIndex();
    void optionGroupsAreIndependent();
    void resizingMovesNothing();
    void readOutsAreNeverRead();
    void pictures();
};

namespace {

// Single controls have no index; elements of an array have one.
QWidget *control(const Form1 &form, const QString &name, int i)
{
    static const QStringList singles = {"VScroll2", "Text2",  "Command3", "Command4",
                                        "Command5", "Image2", "Frame1",   "Frame2"};
    const QString objectName = singles.contains(name) ? name : name + '_' + QString::number(i);
    return form.findChild<QWidget *>(objectName);
}

QString textOf(QWidget *widget)
{
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->text();
    if (auto *box = qobject_cast<QLineEdit *>(widget))
        return box->text();
    if (auto *button = qobject_cast<QPushButton *>(widget))
        return button->text();
    if (auto *frame = qobject_cast<QGroupBox *>(widget))
        return frame->title();
    return QString();
}

// Twips as the panel's drawing gives them, 15 to the pixel.
QRect twips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

} // namespace

void tst_Form1::window()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    QCOMPARE(panel.form->windowTitle(), QString("Form1"));
    QCOMPARE(panel.form->size(), QSize(835, 681));
    QVERIFY(panel.form->isWindow());
    QVERIFY(!(panel.form->windowFlags() & Qt::FramelessWindowHint));
}

void tst_Form1::geometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QString>("text");

    const QStringList labels = {"調光一", "調光二", "調光三", "調光四", "調光五",
                                "調光六", "調光七", "調光八", "調光全"};
    const int labelLeft[9] = {840, 1920, 3120, 4200, 5280, 6240, 7440, 8400, 9960};
    for (int i = 0; i < 9; ++i)
        QTest::addRow("Label1-%d", i)
            << "Label1" << i << twips(labelLeft[i], 360, i == 0 ? 855 : 615, 375) << labels[i];
    for (int i = 0; i < 8; ++i) {
        const int x = 840 + 1080 * i;
        QTest::addRow("VScroll1-%d", i) << "VScroll1" << i << twips(x, 840, 615, 3015) << "";
        QTest::addRow("Text1-%d", i) << "Text1" << i << twips(x, 4080, 615, 495) << "0";
        QTest::addRow("Command1-%d", i) << "Command1" << i << twips(x, 5040, 615, 615) << "全開";
        QTest::addRow("Command2-%d", i) << "Command2" << i << twips(x, 5880, 615, 615) << "全關";
    }
    QTest::newRow("VScroll2") << "VScroll2" << 0 << twips(9960, 840, 615, 3015) << "";
    QTest::newRow("Text2") << "Text2" << 0 << twips(9960, 4080, 615, 495) << "0";
    QTest::newRow("Command3") << "Command3" << 0 << twips(9960, 5040, 735, 615) << "全開";
    QTest::newRow("Command4") << "Command4" << 0 << twips(9960, 5880, 735, 615) << "全關";
    QTest::newRow("Command5") << "Command5" << 0 << twips(11280, 3600, 735, 615) << "傳送設定";
    QTest::newRow("Image2") << "Image2" << 0 << twips(11160, 5040, 885, 675) << "";
    QTest::newRow("Frame1") << "Frame1" << 0 << twips(840, 6960, 10575, 1215) << "傳送資料";
    QTest::newRow("Frame2") << "Frame2" << 0 << twips(840, 8520, 10575, 1095) << "模式選擇";
    for (int i = 0; i < 12; ++i) {
        const QRect inFrame = twips(360 + 840 * i, 360, 735, 615);
        QTest::addRow("Option1-%d", i) << "Option1" << i << inFrame << QString::number(i + 1);
        QTest::addRow("Option2-%d", i) << "Option2" << i << inFrame << QString::number(i + 1);
    }
}

void tst_Form1::geometry()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(QRect, rect);
    QFETCH(QString, text);
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    QWidget *widget = control(*panel.form, name, index);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), rect);
    QCOMPARE(textOf(widget), text);
    QVERIFY(widget->isVisible());
    QVERIFY(widget->isEnabled());
    QWidget *expectedParent = panel.form.get();
    if (name == "Option1")
        expectedParent = control(*panel.form, "Frame1", 0);
    else if (name == "Option2")
        expectedParent = control(*panel.form, "Frame2", 0);
    QCOMPARE(widget->parentWidget(), expectedParent);
}

void tst_Form1::fonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("points");
    QTest::newRow("Label1-0") << "Label1" << 0 << 9.75;
    for (int i = 1; i < 9; ++i)
        QTest::addRow("Label1-%d", i) << "Label1" << i << 9.0;
    for (int i = 0; i < 8; ++i)
        QTest::addRow("Text1-%d", i) << "Text1" << i << 15.75;
    QTest::newRow("Text2") << "Text2" << 0 << 15.75;
}

void tst_Form1::fonts()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(double, points);
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    QWidget *widget = control(*panel.form, name, index);
    QCOMPARE(widget->font().pointSizeF(), points);
    QCOMPARE(widget->font().weight(), QFont::Bold);
    // What is drawn: the panel's own face where it is installed, a Ming face otherwise
    // (the install step brings AR PL UMing).
    const QFontInfo drawn(widget->font());
    const QStringList ming = {"新細明體", "PMingLiU", "AR PL UMing TW"};
    QVERIFY2(ming.contains(drawn.family()), qPrintable("drawn with " + drawn.family()));
    QCOMPARE(widget->font().family(), drawn.family());
    QVERIFY(drawn.bold());
}

void tst_Form1::startState()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    panel.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(panel.form.get()));
    QCOMPARE(QApplication::focusWidget(), panel.VScroll1(0));
    for (int i = 0; i < 12; ++i) {
        QVERIFY(!panel.Option1(i)->isChecked());
        QVERIFY(!panel.Option2(i)->isChecked());
    }
    QCOMPARE(panel.Image2()->toolTip(), QString("存入巨集"));
    QCOMPARE(panel.Image2()->focusPolicy(), Qt::NoFocus);
    for (int i = 0; i < 9; ++i)
        QCOMPARE(control(*panel.form, "Label1", i)->focusPolicy(), Qt::NoFocus);
    QCOMPARE(control(*panel.form, "Frame1", 0)->focusPolicy(), Qt::NoFocus);
    // The thumb at the bottom: level 0.
    const QRect bar = panel.VScroll1(0)->rect();
    QCOMPARE(panel.VScroll1(0)->level(), 0);
    QCOMPARE(panel.VScroll1(0)->sliderPosition(), panel.VScroll1(0)->maximum());
    QVERIFY(bar.isValid());
    QCOMPARE(panel.sent(), QByteArray());
}

void tst_Form1::tabOrderFollowsTabIndex()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    PanelFixture &f = panel;
    // Tab indexes 0..71 with the labels, frames and images left out.
    QList<QWidget *> expected;
    for (int i = 0; i < 6; ++i)
        expected << f.VScroll1(i) << f.Text1(i);
    for (int i = 0; i < 6; ++i)
        expected << f.Command1(i) << f.Command2(i);
    expected << f.VScroll1(6) << f.Text1(6) << f.Command1(6) << f.Command2(6);
    expected << f.VScroll1(7) << f.Text1(7) << f.Command1(7) << f.Command2(7);
    expected << f.VScroll2() << f.Text2() << f.Command3() << f.Command4();
    for (int i = 0; i < 12; ++i)
        expected << f.Option1(i);
    expected << f.Command5();
    for (int i = 0; i < 12; ++i)
        expected << f.Option2(i);

    QList<QWidget *> actual;
    QWidget *w = f.VScroll1(0);
    do {
        if (w->focusPolicy() & Qt::TabFocus)
            actual << w;
        w = w->nextInFocusChain();
    } while (w != f.VScroll1(0) && actual.size() <= expected.size());
    QCOMPARE(actual, expected);
}

void tst_Form1::optionGroupsAreIndependent()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    PanelFixture &f = panel;
    QTest::mouseClick(f.Option2(2), Qt::LeftButton);
    QTest::mouseClick(f.Option1(7), Qt::LeftButton);
    QVERIFY(f.Option2(2)->isChecked());
    QVERIFY(f.Option1(7)->isChecked());
    QTest::mouseClick(f.Option2(9), Qt::LeftButton);
    QVERIFY(!f.Option2(2)->isChecked());
    QVERIFY(f.Option2(9)->isChecked());
    QVERIFY(f.Option1(7)->isChecked());
}

void tst_Form1::resizingMovesNothing()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    QList<QRect> before;
    const QList<QWidget *> all = panel.form->findChildren<QWidget *>();
    for (QWidget *w : all)
        before << w->geometry();
    panel.form->resize(1200, 900);
    QTRY_COMPARE(panel.form->size(), QSize(1200, 900));
    panel.form->resize(400, 300);
    QTRY_COMPARE(panel.form->size(), QSize(400, 300));
    for (int i = 0; i < all.size(); ++i)
        QCOMPARE(all[i]->geometry(), before[i]);
}

void tst_Form1::readOutsAreNeverRead()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    QTest::keyClicks(panel.Text1(2), "77");
    QTest::keyClick(panel.Text1(2), Qt::Key_Return);
    QCOMPARE(panel.Text1(2)->text(), QString("077"));
    QCOMPARE(panel.state.LevelBuf[2], 0);
    QCOMPARE(panel.sent(), QByteArray());
    panel.VScroll1(2)->setLevel(12);
    QCOMPARE(panel.Text1(2)->text(), QString(" 12"));
}

void tst_Form1::pictures()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    const QPixmap store = panel.Image2()->pixmap();
    QCOMPARE(store.size(), QSize(46, 39));
    QVERIFY(panel.Image2()->hasScaledContents());
    // Colour depths as stored: the bitmap header's bits per pixel at byte 28, and the
    // icon directory's entries (width, height, colours, bits per pixel at +6).
    auto bitsPerPixel = [](const QString &name) {
        QFile file(name);
        const QByteArray header = file.open(QIODevice::ReadOnly) ? file.read(30) : QByteArray();
        return header.size() < 30 ? -1 : quint8(header[28]) | quint8(header[29]) << 8;
    };
    QStringList bitmaps = {":/pictures/store.bmp", ":/pictures/title.bmp", ":/pictures/close.bmp"};
    for (int i = 1; i <= 12; ++i)
        bitmaps << QString(":/pictures/key%1.bmp").arg(i);
    for (const QString &name : bitmaps)
        QCOMPARE(bitsPerPixel(name), 24);
    QFile icon(":/pictures/icon.ico");
    QVERIFY(icon.open(QIODevice::ReadOnly));
    const QByteArray ico = icon.readAll();
    QCOMPARE(quint8(ico[4]), 3);
    QList<QList<int>> entries;
    for (int i = 0; i < 3; ++i) {
        const char *entry = ico.constData() + 6 + 16 * i;
        entries << QList<int>{quint8(entry[0]), quint8(entry[1]), quint8(entry[2]),
                              quint8(entry[6])};
    }
    QCOMPARE(entries, (QList<QList<int>>{{32, 32, 2, 1}, {32, 32, 16, 4}, {16, 16, 16, 4}}));
    QCOMPARE(QImageReader(":/pictures/icon.ico").imageCount(), 3);
    QVERIFY(!panel.form->windowIcon().isNull());
}

QTEST_MAIN(tst_Form1)
#include "tst_form1.moc"
