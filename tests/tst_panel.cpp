#include "cli/translations.h"
#include "support/deskactions.h"
#include "support/files.h"
#include "support/linkeddesk.h"
#include "support/modal.h"
#include "support/panelfixture.h"
#include "support/ptypair.h"
#include "support/sliderparts.h"
#include "support/wire.h"
#include "ui/cuewindow.h"
#include "ui/form2.h"
#include "ui/imagecontrol.h"
#include "ui/levelslider.h"
#include "ui/linestatus.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QFile>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QWindow>

// The panel window as a view of the desk, headless: its controls where the board's panel
// had them, each kind of control reaching the desk with its value, what the desk reports
// shown, and the scene key window with its question.
class tst_Panel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layout();
    void startState();
    void tabOrderFollowsTabIndex();
    void resizingMovesNothing();
    void pictures();
    void picturesAsQtReadsThem_data();
    void picturesAsQtReadsThem();
    void showsTheDesk();
    void controlsReachTheDesk_data();
    void controlsReachTheDesk();
    void thumbDrag_data();
    void thumbDrag();
    void functionKeys_data();
    void functionKeys();
    void arrowsInRowsMoveFocusOnly();
    void heldSpacePressesOnce();
    void sceneKeyWindow_data();
    void sceneKeyWindow();
    void heldWhileAWindowIsUp();
    void quickSecondClickOnYesStoresNothingElse();
    void questionSpeaksTheUsersLanguage();
    void showsBlackout();
    void offersWebRemote();
    void showsTheNetwork();
    void showsTheLine_data();
    void showsTheLine();
    void playback();
    void undoKeys_data();
    void undoKeys();
    void marksTheLiveScene();
    void cueWindow_data();
    void cueWindow();
};

namespace {

using Levels = QList<int>;

// Twips as the panel's drawing gives them, 15 to the pixel.
QRect twips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
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

bool isSceneWindow(QWidget *widget) { return qobject_cast<Form2 *>(widget) != nullptr; }

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

} // namespace

void tst_Panel::layout()
{
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    QCOMPARE(f.form->windowTitle(), QString("Form1"));
    QCOMPARE(f.form->size(), QSize(835, 681));
    struct Control
    {
        QString name;
        QRect rect;
        QString text;
        double points; // 0: the window's own font
    };
    QList<Control> table;
    const QStringList labels = {"調光一", "調光二", "調光三", "調光四", "調光五",
                                "調光六", "調光七", "調光八", "調光全"};
    const int labelLeft[9] = {840, 1920, 3120, 4200, 5280, 6240, 7440, 8400, 9960};
    for (int i = 0; i < 9; ++i) {
        table << Control{QString("Label1_%1").arg(i),
                         twips(labelLeft[i], 360, i == 0 ? 855 : 615, 375), labels[i],
                         i == 0 ? 9.75 : 9.0};
    }
    for (int i = 0; i < 8; ++i) {
        const int x = 840 + 1080 * i;
        const QString n = QString::number(i);
        table << Control{"VScroll1_" + n, twips(x, 840, 615, 3015), "", 0}
              << Control{"Text1_" + n, twips(x, 4080, 615, 495), "0", 15.75}
              << Control{"Command1_" + n, twips(x, 5040, 615, 615), "全開", 0}
              << Control{"Command2_" + n, twips(x, 5880, 615, 615), "全關", 0};
    }
    table << Control{"VScroll2", twips(9960, 840, 615, 3015), "", 0}
          << Control{"Text2", twips(9960, 4080, 615, 495), "0", 15.75}
          << Control{"Command3", twips(9960, 5040, 735, 615), "全開", 0}
          << Control{"Command4", twips(9960, 5880, 735, 615), "全關", 0}
          << Control{"Command5", twips(11280, 3600, 735, 615), "傳送設定", 0}
          << Control{"Image2", twips(11160, 5040, 885, 675), "", 0}
          << Control{"Frame1", twips(840, 6960, 10575, 1215), "傳送資料", 0}
          << Control{"Frame2", twips(840, 8520, 10575, 1095), "模式選擇", 0}
          // Beyond the board's panel, in its free space.
          << Control{"Blackout", twips(11160, 840, 885, 855), "全暗", 9.0}
          << Control{"SendAll", twips(11280, 2760, 735, 615), "全部重送", 0}
          << Control{"FadeLabel", twips(11160, 1800, 885, 285), "淡變秒數", 9.0}
          << Control{"FadeTime", twips(11160, 2100, 885, 450), "", 0}
          << Control{"Undo", twips(6660, 9690, 840, 405), "復原", 0}
          << Control{"Redo", twips(7560, 9690, 840, 405), "重做", 0};
    for (int i = 0; i < 12; ++i) {
        const QRect inFrame = twips(360 + 840 * i, 360, 735, 615);
        table << Control{QString("Option1_%1").arg(i), inFrame, QString::number(i + 1), 0}
              << Control{QString("Option2_%1").arg(i), inFrame, QString::number(i + 1), 0};
    }
    QCOMPARE(table.size(), 79);
    const QStringList ming = {"新細明體", "PMingLiU", "AR PL UMing TW"};
    for (const Control &control : table) {
        auto *widget = f.form->findChild<QWidget *>(control.name);
        QVERIFY2(widget, qPrintable(control.name));
        QCOMPARE(widget->geometry(), control.rect);
        QCOMPARE(textOf(widget), control.text);
        // Undo and redo wait for something to take back.
        QVERIFY(widget->isVisible());
        QCOMPARE(widget->isEnabled(), control.name != "Undo" && control.name != "Redo");
        const QString frame = control.name.startsWith("Option1")   ? "Frame1"
                              : control.name.startsWith("Option2") ? "Frame2"
                                                                   : "Form1";
        QCOMPARE(widget->parentWidget()->objectName(), frame);
        if (control.points > 0) {
            // The panel's own face where it is installed, a Ming face otherwise (the install
            // step brings AR PL UMing), in bold.
            QCOMPARE(widget->font().pointSizeF(), control.points);
            const QFontInfo drawn(widget->font());
            QVERIFY2(ming.contains(drawn.family()), qPrintable(drawn.family()));
            QVERIFY(drawn.bold());
        }
    }
    // Nothing new covers any of the board panel's controls.
    const QList<QWidget *> placed = f.form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *a : placed) {
        for (QWidget *b : placed) {
            QVERIFY2(a == b || !a->isVisible() || !b->isVisible() ||
                         !a->geometry().intersects(b->geometry()),
                     qPrintable(a->objectName() + " covers " + b->objectName()));
        }
    }
    const QRect lineState = f.form->findChild<QWidget *>("LineState")->geometry();
    QVERIFY(lineState.top() >= twips(840, 8520, 10575, 1095).bottom() && lineState.bottom() < 681);
}

void tst_Panel::startState()
{
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    QCOMPARE(QApplication::focusWidget(), f.VScroll1(0));
    for (int i = 0; i < 12; ++i)
        QVERIFY(!f.Option1(i)->isChecked() && !f.Option2(i)->isChecked());
    QCOMPARE(f.Image2()->toolTip(), QString("存入巨集"));
    QCOMPARE(f.Image2()->focusPolicy(), Qt::NoFocus);
    QCOMPARE(f.form->findChild<QWidget *>("Label1_0")->focusPolicy(), Qt::NoFocus);
    QCOMPARE(f.VScroll1(0)->level(), 0);
    // The thumb at the bottom: level 0.
    QCOMPARE(f.VScroll1(0)->sliderPosition(), f.VScroll1(0)->maximum());
    QCOMPARE(f.line.take(), QByteArray());
}

void tst_Panel::tabOrderFollowsTabIndex()
{
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    // Tab indexes 0..71 with the labels, frames and images left out.
    QList<QWidget *> expected;
    for (int i = 0; i < 6; ++i)
        expected << f.VScroll1(i) << f.Text1(i);
    for (int i = 0; i < 6; ++i)
        expected << f.Command1(i) << f.Command2(i);
    for (int i = 6; i < 8; ++i)
        expected << f.VScroll1(i) << f.Text1(i) << f.Command1(i) << f.Command2(i);
    expected << f.VScroll2() << f.Text2() << f.Command3() << f.Command4();
    for (int i = 0; i < 12; ++i)
        expected << f.Option1(i);
    expected << f.Command5();
    for (int i = 0; i < 12; ++i)
        expected << f.Option2(i);
    expected << controlOf<QWidget>(f.form.get(), "Blackout")
             << controlOf<QWidget>(f.form.get(), "SendAll")
             << controlOf<QWidget>(f.form.get(), "FadeTime")
             << controlOf<QWidget>(f.form.get(), "Undo")
             << controlOf<QWidget>(f.form.get(), "Redo")
             << controlOf<QWidget>(f.form.get(), "WebRemote") // shown with --web only
             << controlOf<QWidget>(f.form.get(), "CueList");
    QList<QWidget *> actual;
    QWidget *w = f.VScroll1(0);
    do {
        // A spin box's text field hands its focus to the spin box.
        if ((w->focusPolicy() & Qt::TabFocus) && !w->focusProxy())
            actual << w;
        w = w->nextInFocusChain();
    } while (w != f.VScroll1(0) && actual.size() <= expected.size());
    QCOMPARE(actual, expected);
}

void tst_Panel::resizingMovesNothing()
{
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    QList<QRect> before;
    const QList<QWidget *> all = f.form->findChildren<QWidget *>();
    for (QWidget *w : all)
        before << w->geometry();
    f.form->resize(1200, 900);
    QTRY_COMPARE(f.form->size(), QSize(1200, 900));
    for (int i = 0; i < all.size(); ++i)
        QCOMPARE(all[i]->geometry(), before[i]);
}

void tst_Panel::pictures()
{
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    QCOMPARE(f.Image2()->pixmap().size(), QSize(46, 39));
    QVERIFY(f.Image2()->hasScaledContents());
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
    QVERIFY(!f.form->windowIcon().isNull());
}

void tst_Panel::picturesAsQtReadsThem_data()
{
    QTest::addColumn<QString>("resource");
    QTest::addColumn<QString>("control"); // window/object name of the control that shows it
    QTest::newRow("store") << ":/pictures/store.bmp"
                           << "Form1/Image2";
    QTest::newRow("title") << ":/pictures/title.bmp"
                           << "Form2/Image2";
    QTest::newRow("close") << ":/pictures/close.bmp"
                           << "Form2/Image3";
    for (int i = 1; i <= 12; ++i) {
        QTest::addRow("key%d", i) << QString(":/pictures/key%1.bmp").arg(i)
                                  << QString("Form2/Image1_%1").arg(i - 1);
    }
    QTest::newRow("icon") << ":/pictures/icon.ico"
                          << "Form1/";
}

void tst_Panel::picturesAsQtReadsThem()
{
    // The windows read their artwork without Qt's image readers; those, with every plugin
    // they load, are the reference: the same pixels, and of the icon the same sizes.
    QFETCH(QString, resource);
    QFETCH(QString, control);
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    Form2 keys(f.desk, f.form.get());
    QWidget *window = control.startsWith("Form2") ? static_cast<QWidget *>(&keys) : f.form.get();
    auto pixels = [](const QPixmap &pixmap) {
        return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    };
    if (resource.endsWith(".ico")) {
        const QIcon reference(resource);
        const QIcon shown = window->windowIcon();
        QCOMPARE(shown.availableSizes(), reference.availableSizes());
        for (const QSize &size : reference.availableSizes())
            QCOMPARE(pixels(shown.pixmap(size)), pixels(reference.pixmap(size)));
        return;
    }
    auto *picture = window->findChild<ImageControl *>(control.section('/', 1));
    QVERIFY(picture);
    const QPixmap reference(resource);
    QVERIFY(!reference.isNull());
    QCOMPARE(pixels(picture->pixmap()), pixels(reference));
}

void tst_Panel::showsTheDesk()
{
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    QVERIFY(Files::write(f.scenePath(), scenes()));
    // Typed into a read-out: no level changes, and the text stays until the level does.
    QTest::keyClicks(f.Text1(2), "77");
    QTest::keyClick(f.Text1(2), Qt::Key_Return);
    QCOMPARE(f.Text1(2)->text(), QString("077"));
    QCOMPARE(f.desk.channel(2), 0);

    // Whoever asks the desk (a remote, a key), the window follows; nothing comes back.
    f.desk.apply(want(Intent::Kind::Master, 0, 40));
    f.desk.apply(want(Intent::Kind::Channel, 2, 12));
    f.desk.apply(want(Intent::Kind::Mode, 7));
    f.desk.apply(want(Intent::Kind::Recall, 3));
    QByteArray scene3;
    for (int k = 0; k < 8; ++k)
        scene3 += Wire::setLevel(k, 3 + k);
    QCOMPARE(Wire::hex(f.line.take()),
             Wire::hex(Wire::master(40) + Wire::setLevel(2, 12) + Wire::selectMode(7) + scene3));
    // At the window's next paint.
    QTRY_VERIFY(f.showsTheDesk());
    for (int k = 0; k < 8; ++k) {
        QCOMPARE(f.VScroll1(k)->level(), 3 + k);
        QCOMPARE(f.Text1(k)->text(), QString(" %1").arg(3 + k));
    }
    QCOMPARE(f.VScroll2()->level(), 40);
    QCOMPARE(f.Text2()->text(), QString(" 40"));
    QVERIFY(f.Option2(7)->isChecked());
    QVERIFY(f.Option1(2)->isChecked());
    // A scene the desk refuses is not shown as chosen, and the window says why.
    QVERIFY(Files::write(f.scenePath(), QByteArray(15, '\0') + char(120)));
    f.desk.apply(want(Intent::Kind::Recall, 2));
    QVERIFY(f.Option1(2)->isChecked() && !f.Option1(1)->isChecked());
    QCOMPARE(f.warnings.size(), 1);
    QVERIFY2(f.warnings[0].contains("Scene 2") && f.warnings[0].contains("120") &&
                 f.warnings[0].contains("channel 8 (調光八)") &&
                 f.warnings[0].contains(f.scenePath()),
             qPrintable(f.warnings[0]));
}

void tst_Panel::controlsReachTheDesk_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("part"); // of a slider: a scroll bar part or a key; -1 for a click
    QTest::addColumn<QByteArray>("wire");

    const int click = -1;
    QTest::newRow("full-on") << "Command1_3" << click << Wire::setLevel(3, 99);
    QTest::newRow("off") << "Command2_5" << click << Wire::setLevel(5, 0);
    QTest::newRow("master-full-on") << "Command3" << click << Wire::master(99);
    QTest::newRow("all-off") << "Command4" << click << Wire::setLevel(1, 0) + Wire::setLevel(5, 0);
    QTest::newRow("mode") << "Option2_11" << click << Wire::selectMode(11);
    QTest::newRow("scene") << "Option1_0" << click << recallFromOff(1);
    QTest::newRow("download") << "Command5" << click << Wire::frame(scenes());
    // Channel 1 stands at 40: arrows 1, the track 5, and the thumb goes the level's way.
    QTest::newRow("top-arrow") << "VScroll1_1" << int(QStyle::SC_ScrollBarSubLine)
                               << Wire::setLevel(1, 41);
    QTest::newRow("bottom-arrow") << "VScroll1_1" << int(QStyle::SC_ScrollBarAddLine)
                                  << Wire::setLevel(1, 39);
    QTest::newRow("track-above") << "VScroll1_1" << int(QStyle::SC_ScrollBarSubPage)
                                 << Wire::setLevel(1, 45);
    QTest::newRow("track-below") << "VScroll1_1" << int(QStyle::SC_ScrollBarAddPage)
                                 << Wire::setLevel(1, 35);
    QTest::newRow("master-track-above")
        << "VScroll2" << int(QStyle::SC_ScrollBarSubPage) << Wire::master(1);
    QTest::newRow("key-up") << "VScroll1_1" << 1000 + int(Qt::Key_Up) << Wire::setLevel(1, 41);
    QTest::newRow("key-page-down")
        << "VScroll1_1" << 1000 + int(Qt::Key_PageDown) << Wire::setLevel(1, 35);
    QByteArray zeros;
    QByteArray levels;
    for (int k = 0; k < 8; ++k) {
        zeros += Wire::setLevel(k, 0);
        levels += Wire::setLevel(k, k == 1 ? 40 : k == 5 ? 60 : 0);
    }
    QTest::newRow("blackout") << "Blackout" << click << zeros;
    QTest::newRow("blackout-key-anywhere") << "Option1_4" << 1000 + int(Qt::Key_B) << zeros;
    // Not typed where text goes: B is the panel's.
    QTest::newRow("blackout-key-in-a-read-out") << "Text1_2" << 1000 + int(Qt::Key_B) << zeros;
    QTest::newRow("blackout-key-in-the-fade-time") << "FadeTime" << 1000 + int(Qt::Key_B) << zeros;
    QTest::newRow("send-all") << "SendAll" << click << levels;
}

void tst_Panel::controlsReachTheDesk()
{
    QFETCH(QString, control);
    QFETCH(int, part);
    QFETCH(QByteArray, wire);
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    QVERIFY(Files::write(f.scenePath(), scenes()));
    f.setLevels({0, 40, 0, 0, 0, 60, 0, 0}, 0);
    QTRY_VERIFY(f.showsTheDesk());
    auto *widget = f.form->findChild<QWidget *>(control);
    QVERIFY2(widget, qPrintable(control));
    if (part < 0) {
        QTest::mouseClick(widget, Qt::LeftButton);
    } else if (part >= 1000) {
        QTest::keyClick(widget, Qt::Key(part - 1000));
    } else {
        auto *slider = static_cast<LevelSlider *>(widget);
        const int thumbTop = partOf(slider, QStyle::SC_ScrollBarSlider).top();
        QTest::mouseClick(slider, Qt::LeftButton, {},
                          partOf(slider, QStyle::SubControl(part)).center());
        const int raised = thumbTop - partOf(slider, QStyle::SC_ScrollBarSlider).top();
        const int level = quint8(wire[3]);
        const int before = control == "VScroll2" ? 0 : 40;
        QVERIFY2(level > before ? raised > 0 : raised < 0, "the thumb went the wrong way");
    }
    QCOMPARE(Wire::hex(f.line.take()), Wire::hex(wire));
    if (auto *box = qobject_cast<QLineEdit *>(widget))
        QVERIFY2(!box->text().contains('b', Qt::CaseInsensitive), qPrintable(box->text()));
}

void tst_Panel::thumbDrag_data()
{
    QTest::addColumn<QString>("slider");
    QTest::addColumn<QList<int>>("moves"); // pixels up from the grab, one per position
    QTest::addColumn<int>("button");
    QTest::newRow("channel") << "VScroll1_3" << QList<int>{25, 50, 75, 100} << int(Qt::LeftButton);
    QTest::newRow("channel-to-the-top") << "VScroll1_5" << QList<int>{400} << int(Qt::LeftButton);
    QTest::newRow("master") << "VScroll2" << QList<int>{40, 80} << int(Qt::LeftButton);
    // Fusion jumps the thumb to a middle click and drags from there: the jump is a position.
    QTest::newRow("middle-click-jump") << "VScroll1_6" << QList<int>{} << int(Qt::MiddleButton);
}

void tst_Panel::thumbDrag()
{
    QFETCH(QString, slider);
    QFETCH(QList<int>, moves);
    QFETCH(int, button);
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    auto *bar = f.form->findChild<LevelSlider *>(slider);
    const bool master = slider == "VScroll2";
    const int address = master ? 10 : slider.back().digitValue();
    QSignalSpy scrolls(bar, &LevelSlider::levelScrolled);
    const auto mouse = Qt::MouseButton(button);
    QPoint grab = partOf(bar, QStyle::SC_ScrollBarSlider).center();
    if (mouse == Qt::MiddleButton) {
        const QRect track = partOf(bar, QStyle::SC_ScrollBarGroove);
        grab = QPoint(track.center().x(), track.top() + track.height() / 4);
    }
    sendMouse(bar, QEvent::MouseButtonPress, grab, mouse, mouse);
    for (int up : moves) {
        // Seconds apart: the press and release, not the pace, make the drag one gesture.
        f.clock.set(f.clock.now() + std::chrono::seconds(2));
        sendMouse(bar, QEvent::MouseMove, grab - QPoint(0, up), mouse, mouse);
    }
    const int last = bar->level();
    QVERIFY2(last > 0, qPrintable(QString::number(last)));
    sendMouse(bar, QEvent::MouseButtonRelease, grab - QPoint(0, moves.value(moves.size() - 1)),
              Qt::NoButton, mouse);
    // Each position the drag reported, rising, then the Change that ends it at the last.
    QByteArray expected;
    int previous = -1;
    for (const QList<QVariant> &scroll : scrolls) {
        QVERIFY2(scroll.at(0).toInt() > previous, "the drag upward did not raise the level");
        previous = scroll.at(0).toInt();
        expected += Wire::setLevel(address, previous);
    }
    QCOMPARE(scrolls.count(), qMax(1, int(moves.size())));
    expected += Wire::setLevel(address, last);
    QCOMPARE(Wire::hex(f.line.take()), Wire::hex(expected));
    QCOMPARE(bar->level(), last);
    for (int k = 0; k < 8; ++k)
        QCOMPARE(f.desk.channel(k), master || k == address ? last : 0);
    QTRY_COMPARE(master ? f.Text2()->text() : f.Text1(address)->text(), QString(" %1").arg(last));
    // The whole drag is one step of undo.
    QTest::keyClick(f.Command4(), Qt::Key_Z, Qt::ControlModifier);
    for (int k = 0; k < 8; ++k)
        QCOMPARE(f.desk.channel(k), 0);
    QVERIFY(!f.desk.canUndo());
}

void tst_Panel::functionKeys_data()
{
    QTest::addColumn<int>("scene");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("modifier");
    QTest::addColumn<int>("answer"); // to the question of Shift: NoButton is Enter
    QTest::newRow("F1-on-a-channel-slider") << 1 << "VScroll1_0" << 0 << 0;
    QTest::newRow("F5-in-a-read-out") << 5 << "Text1_3" << 0 << 0;
    QTest::newRow("F12-on-the-master") << 12 << "VScroll2" << 0 << 0;
    QTest::newRow("F7-in-the-mode-row") << 7 << "Option2_3" << 0 << 0;
    QTest::newRow("shift-F3-yes") << 3 << "VScroll1_2" << int(Qt::ShiftModifier)
                                  << int(QMessageBox::Yes);
    QTest::newRow("shift-F3-no") << 3 << "VScroll1_2" << int(Qt::ShiftModifier)
                                 << int(QMessageBox::No);
    QTest::newRow("shift-F12-enter-is-no")
        << 12 << "Command5" << int(Qt::ShiftModifier) << int(QMessageBox::NoButton);
}

void tst_Panel::functionKeys()
{
    QFETCH(int, scene);
    QFETCH(QString, focus);
    QFETCH(int, modifier);
    QFETCH(int, answer);
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    QVERIFY(Files::write(f.scenePath(), scenes()));
    auto *focused = f.form->findChild<QWidget *>(focus);
    focused->setFocus();
    QString prompt;
    QString title;
    if (modifier != 0) {
        f.setLevels({10, 20, 30, 40, 50, 60, 70, 80}, 0);
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
            f.form.get());
    }
    QTest::keyClick(focused, Qt::Key(Qt::Key_F1 + scene - 1), Qt::KeyboardModifiers(modifier));
    QCOMPARE(f.form->focusWidget(), focused);
    if (modifier == 0) {
        // Exactly a click on that scene button: its scene on the line, the button pressed.
        QCOMPARE(Wire::hex(f.line.take()), Wire::hex(recallFromOff(scene)));
        QVERIFY(f.Option1(scene - 1)->isChecked());
        return;
    }
    QCOMPARE(prompt, QString("將目前狀態已存入巨集鍵 %1").arg(scene));
    QCOMPARE(title, QString("確定對話方塊"));
    QByteArray after = scenes();
    if (answer == QMessageBox::Yes)
        after.replace(8 * (scene - 1), 8, QByteArray("\x0a\x14\x1e\x28\x32\x3c\x46\x50", 8));
    QCOMPARE(Wire::hex(Files::bytes(f.scenePath())), Wire::hex(after));
    QCOMPARE(f.line.take(), QByteArray());
    QVERIFY(!f.form2()); // no scene key window was made
}

void tst_Panel::arrowsInRowsMoveFocusOnly()
{
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    QTest::mouseClick(f.Option2(9), Qt::LeftButton);
    f.line.take();
    for (int key : {Qt::Key_Left, Qt::Key_Left, Qt::Key_Down, Qt::Key_Up, Qt::Key_Left})
        QTest::keyClick(f.form->focusWidget(), Qt::Key(key));
    QCOMPARE(f.line.take(), QByteArray());
    QCOMPARE(f.form->focusWidget(), f.Option2(6));
    QVERIFY(f.Option2(9)->isChecked());
    QTest::keyClick(f.Option2(0), Qt::Key_Left); // the row's end
    // Space presses the button that has the focus, as a click does, once its release has
    // shown that it was no key's repeat.
    QTest::keyClick(f.Option2(6), Qt::Key_Space);
    QTRY_COMPARE(f.desk.mode(), 6);
    QCOMPARE(Wire::hex(f.line.take()), Wire::hex(Wire::selectMode(6)));
    QVERIFY(f.Option2(6)->isChecked() && !f.Option2(9)->isChecked());
}

void tst_Panel::heldSpacePressesOnce()
{
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    f.Option2(3)->setFocus();
    // An X server's repeat of a held key: a release and a press at one instant, which Qt
    // takes for a real release when the press has not come in yet.
    const auto key = [&](QEvent::Type type, ulong at) {
        QKeyEvent event(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        event.setTimestamp(at);
        QApplication::sendEvent(f.Option2(3), &event);
    };
    key(QEvent::KeyPress, 1000);
    for (ulong at = 1660; at < 3000; at += 40) {
        key(QEvent::KeyRelease, at);
        key(QEvent::KeyPress, at);
        QTest::qWait(1);
    }
    key(QEvent::KeyRelease, 3001);
    QTRY_COMPARE(f.desk.mode(), 3);
    QTest::qWait(100);
    QCOMPARE(Wire::hex(f.line.take()), Wire::hex(Wire::selectMode(3)));
}

void tst_Panel::sceneKeyWindow_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("close");   // how the window goes: image, escape, close request
    QTest::addColumn<QByteArray>("file"); // before; the rows store 1..8 into it
    QTest::addColumn<QByteArray>("after");
    const QByteArray levels("\x01\x02\x03\x04\x05\x06\x07\x08", 8);
    const QByteArray full(96, '\x11');
    QTest::newRow("two-scenes-in-one-opening")
        << QList<int>{1, 6} << int(QMessageBox::Yes) << "image" << QByteArray("<missing>")
        << QByteArray(8, '\0') + levels + QByteArray(32, '\0') + levels;
    QTest::newRow("key-12-into-missing")
        << QList<int>{11} << int(QMessageBox::Yes) << "escape" << QByteArray("<missing>")
        << QByteArray(88, '\0') + levels;
    QTest::newRow("no-leaves-the-file")
        << QList<int>{0, 11} << int(QMessageBox::No) << "close" << full << full;
    QTest::newRow("no-creates-no-file") << QList<int>{0} << int(QMessageBox::No) << "image"
                                        << QByteArray("<missing>") << QByteArray("<missing>");
    QTest::newRow("enter-is-no") << QList<int>{4} << int(QMessageBox::NoButton) << "image" << full
                                 << full;
    QTest::newRow("open-and-close")
        << QList<int>{} << 0 << "escape" << QByteArray("<missing>") << QByteArray("<missing>");
}

void tst_Panel::sceneKeyWindow()
{
    QFETCH(QList<int>, keys);
    QFETCH(int, answer);
    QFETCH(QString, close);
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, after);
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    f.setLevels({1, 2, 3, 4, 5, 6, 7, 8}, 0);
    if (file != "<missing>")
        QVERIFY(Files::write(f.scenePath(), file));
    // Recorded inside the modal loops and compared after them, so that a wrong value
    // cannot leave a window up.
    QStringList asked;
    QList<bool> defaults;
    QList<bool> openAfter;
    QPoint firstPlace;
    bool centred = false;
    for (int opening = 0; opening < 2; ++opening) {
        Modal::whenUp(
            isSceneWindow,
            [&](QWidget *window) {
                auto *form2 = static_cast<Form2 *>(window);
                if (opening == 0) {
                    firstPlace = form2->pos();
                    centred =
                        form2->size() == QSize(322, 261) &&
                        form2->frameGeometry().center() == form2->screen()->geometry().center();
                }
                for (int key : keys) {
                    Modal::whenUp(
                        Modal::isMessageBox,
                        [&](QWidget *box) {
                            auto *question = static_cast<QMessageBox *>(box);
                            asked << question->windowTitle() + ": " + question->text();
                            defaults << (question->defaultButton() ==
                                             question->button(QMessageBox::No) &&
                                         question->icon() == QMessageBox::Warning);
                            if (answer == QMessageBox::NoButton)
                                Modal::pressEnter(box);
                            else
                                Modal::answer(box, answer);
                        },
                        f.form.get());
                    QTest::mouseClick(controlOf<ImageControl>(form2, "Image1", key),
                                      Qt::LeftButton);
                    openAfter << form2->isVisible();
                }
                if (close == "image")
                    QTest::mouseClick(controlOf<ImageControl>(form2, "Image3"), Qt::LeftButton);
                else if (close == "escape")
                    QTest::keyClick(form2, Qt::Key_Escape);
                else
                    form2->close();
            },
            f.form.get());
        QTest::mouseClick(f.Image2(), Qt::LeftButton);
        QVERIFY(!f.form2()->isVisible());
        QCOMPARE(f.form2()->pos(), firstPlace);
        keys.clear(); // the second opening only closes it again
    }
    QVERIFY(centred);
    QCOMPARE(asked.size(), openAfter.size());
    for (int k = 0; k < asked.size(); ++k) {
        QVERIFY2(asked[k].startsWith("確定對話方塊: 將目前狀態已存入巨集鍵 "),
                 qPrintable(asked[k]));
        QVERIFY(defaults[k]);
        QVERIFY2(openAfter[k], "the scene key window closed after a question");
    }
    QCOMPARE(Wire::hex(Files::bytes(f.scenePath())), Wire::hex(after));
    QCOMPARE(f.line.take(), QByteArray());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    // The panel takes input again.
    QTest::mouseClick(f.Command1(0), Qt::LeftButton);
    QCOMPARE(Wire::hex(f.line.take()), Wire::hex(Wire::setLevel(0, 99)));
}

void tst_Panel::heldWhileAWindowIsUp()
{
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    QVERIFY(Files::write(f.scenePath(), scenes()));
    QWindow *window = f.form->windowHandle();
    // Through the window system, as the operator's clicks and keys come, so that the
    // scene key window's modality applies.
    auto clickAt = [&](QWidget *widget) {
        QTest::mouseClick(window, Qt::LeftButton, {},
                          widget->mapTo(f.form.get(), widget->rect().center()));
    };
    bool held = false;
    bool questionAsked = false;
    Modal::whenUp(
        isSceneWindow,
        [&](QWidget *scenes) {
            held = f.desk.isInputHeld();
            clickAt(f.Command3());
            clickAt(f.Option2(4));
            QTest::keyClick(window, Qt::Key_Up);
            // The keys go to the scene key window, which has none of the panel's.
            Modal::whenUp(
                Modal::isMessageBox,
                [&](QWidget *box) {
                    questionAsked = true;
                    Modal::answer(box, QMessageBox::No);
                },
                f.form.get());
            QTest::keyClick(scenes->windowHandle(), Qt::Key_F5);
            QTest::keyClick(scenes->windowHandle(), Qt::Key_F6, Qt::ShiftModifier);
            QTest::mouseClick(controlOf<ImageControl>(scenes, "Image3"), Qt::LeftButton);
        },
        f.form.get());
    clickAt(f.Image2());
    QTRY_VERIFY(!f.form2()->isVisible());
    QVERIFY2(held, "the desk was not held while the scene key window was up");
    // A message, as any window but the scene keys and their question, holds nothing.
    QMessageBox message(QMessageBox::Warning, "dimmer-panel", "a message", QMessageBox::Ok,
                        f.form.get());
    message.setWindowModality(Qt::ApplicationModal);
    message.show();
    QTRY_COMPARE(QApplication::activeModalWidget(), &message);
    QVERIFY2(!f.desk.isInputHeld(), "the desk was held while a message was up");
    message.close();
    QVERIFY(!f.desk.isInputHeld());
    QVERIFY(!questionAsked);
    QCOMPARE(f.line.take(), QByteArray());
    // The same click reaches the panel once the window is closed.
    clickAt(f.Command3());
    QCOMPARE(Wire::hex(f.line.take()), Wire::hex(Wire::master(99)));
}

void tst_Panel::quickSecondClickOnYesStoresNothingElse()
{
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    f.setLevels(Levels(8, 7), 0);
    QRect question;
    QList<QRect> keys;
    int questions = 0;
    const auto answer = [&](QWidget *box) {
        ++questions;
        auto *asked = static_cast<QMessageBox *>(box);
        question = asked->frameGeometry();
        // Where a desktop may put it nonetheless: its Yes over scene key 6.
        QAbstractButton *yes = asked->button(QMessageBox::Yes);
        asked->move(asked->pos() + keys[5].center() - yes->mapToGlobal(yes->rect().center()));
        const QPoint at = yes->mapToGlobal(yes->rect().center());
        // Had the second click pressed a key, its question would come up: count it, No.
        Modal::whenUp(
            Modal::isMessageBox,
            [&](QWidget *next) {
                ++questions;
                Modal::answer(next, QMessageBox::No);
            },
            f.form.get());
        // Through the window system, as a real click comes; the question closes on it, and
        // a second click at once on the same spot falls through onto the key.
        QTest::mouseClick(asked->windowHandle(), Qt::LeftButton, {},
                          asked->windowHandle()->mapFromGlobal(at));
        QWindow *keysWindow = f.form2()->windowHandle();
        QTest::mouseClick(keysWindow, Qt::LeftButton, {}, keysWindow->mapFromGlobal(at));
    };
    Modal::whenUp(
        isSceneWindow,
        [&](QWidget *window) {
            for (int k = 0; k < 12; ++k) {
                auto *key = controlOf<ImageControl>(window, "Image1", k);
                keys << QRect(key->mapToGlobal(QPoint()), key->size());
            }
            Modal::whenUp(Modal::isMessageBox, answer, f.form.get());
            QTest::mouseClick(controlOf<ImageControl>(window, "Image1", 5), Qt::LeftButton);
            QTest::mouseClick(controlOf<ImageControl>(window, "Image3"), Qt::LeftButton);
        },
        f.form.get());
    QTest::mouseClick(f.Image2(), Qt::LeftButton);
    QCOMPARE(questions, 1);
    for (const QRect &key : keys)
        QVERIFY2(!question.intersects(key), "the question covers a scene key");
    QCOMPARE(Wire::hex(Files::bytes(f.scenePath())),
             Wire::hex(QByteArray(40, '\0') + QByteArray(8, '\x07')));
}

void tst_Panel::questionSpeaksTheUsersLanguage()
{
    const QList<QTranslator *> chinese = installTranslations(
        *qApp, QLocale(QLocale::Chinese, QLocale::Taiwan), QStringLiteral("dimmer-panel"));
    QVERIFY2(chinese.size() == 2, "no zh_TW translation of Qt (qt6-translations-l10n) or ours");
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    QString yes;
    QString no;
    Modal::whenUp(
        Modal::isMessageBox,
        [&](QWidget *box) {
            auto *question = static_cast<QMessageBox *>(box);
            yes = question->button(QMessageBox::Yes)->text();
            no = question->button(QMessageBox::No)->text();
            Modal::answer(box, QMessageBox::No);
        },
        f.form.get());
    QTest::keyClick(f.form.get(), Qt::Key_F1, Qt::ShiftModifier);
    for (QTranslator *translator : chinese) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    QVERIFY2(yes.contains(QString::fromUtf8("是")), qPrintable(yes));
    QVERIFY2(no.contains(QString::fromUtf8("否")), qPrintable(no));
}

void tst_Panel::showsBlackout()
{
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    f.setLevels({0, 40, 0, 0, 0, 60, 0, 0}, 0);
    auto *button = controlOf<QPushButton>(f.form.get(), "Blackout");
    auto *notice = controlOf<QLabel>(f.form.get(), "BlackoutNotice");
    QVERIFY(!button->isChecked() && !notice->isVisible());
    QTest::keyClick(f.VScroll1(0), Qt::Key_B);
    QVERIFY(button->isChecked() && notice->isVisible());
    QCOMPARE(notice->text(), QString("全暗中"));
    QTRY_VERIFY(f.showsTheDesk());
    QCOMPARE(f.VScroll1(5)->level(), 0);
    // The button again brings the levels back; a level moved during it ends it.
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!button->isChecked() && !notice->isVisible());
    QCOMPARE(f.desk.channel(5), 60);
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(button->isChecked());
    QTest::mouseClick(f.Command1(2), Qt::LeftButton);
    QVERIFY(!button->isChecked() && !notice->isVisible());
}

void tst_Panel::showsTheLine_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("up"); // the text's end for each state
    QTest::addColumn<QString>("lost");
    QTest::addColumn<QString>("waiting"); // lost, with two changes waiting
    QTest::newRow("english") << "C"
                             << ": up"
                             << ": lost"
                             << ": lost, 2 changes waiting";
    QTest::newRow("chinese") << "zh_TW"
                             << "：正常"
                             << "：已中斷"
                             << "：已中斷，2 項變更待送";
}

void tst_Panel::showsTheLine()
{
    QFETCH(QString, language);
    QFETCH(QString, up);
    QFETCH(QString, lost);
    QFETCH(QString, waiting);
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    auto *state = controlOf<LineStatus>(f.form.get(), "LineState");
    QCOMPARE(state->fullText(), QString("Line: not open"));
    const QList<QTranslator *> translators =
        installTranslations(*qApp, QLocale(language), "dimmer-panel");
    const auto removeTranslators = qScopeGuard([&] { qDeleteAll(translators); });
    // Opened by a name as long as an adapter's /dev/serial/by-id name.
    LinkedDesk d(false);
    QTemporaryDir names;
    const QString port = names.filePath("usb-FTDI_FT232R_USB_UART_A10KZP4S-if00-port0");
    QVERIFY(QFile::link(d.line.slavePath(), port));
    QVERIFY(d.link.open(port, nullptr));
    LineStatus shown(d.link, d.desk, nullptr);
    shown.setGeometry(state->geometry());
    shown.setFont(state->font());
    QVERIFY2(shown.fullText().endsWith(up), qPrintable(shown.fullText()));
    d.line.closeMaster();
    // The hang-up is noticed without a write; the strip says lost whatever the port's name.
    QTRY_VERIFY2(shown.text().endsWith(lost), qPrintable(shown.text()));
    QVERIFY2(shown.toolTip().contains(port), qPrintable(shown.toolTip()));
    d.desk.apply(want(Intent::Kind::FullOn, 7));
    d.desk.apply(want(Intent::Kind::Mode, 8));
    QVERIFY2(shown.text().endsWith(waiting), qPrintable(shown.text()));
    QCOMPARE(shown.fullText().count(lost.mid(1)), 1);
    QVERIFY(shown.fontMetrics().horizontalAdvance(shown.text()) <= shown.width());
}

void tst_Panel::playback()
{
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    auto *fade = controlOf<QDoubleSpinBox>(f.form.get(), "FadeTime");
    QCOMPARE(fade->value(), 0.0);
    QCOMPARE(fade->maximum(), 10.0);
    QCOMPARE(fade->singleStep(), 0.1);
    // Typing a time sets it once, when it is entered.
    QSignalSpy times(&f.desk, &Desk::fadeTimeChanged);
    fade->setFocus();
    fade->selectAll();
    QTest::keyClicks(fade, "2.5");
    QCOMPARE(times.count(), 0);
    QTest::keyClick(fade, Qt::Key_Return);
    QCOMPARE(f.desk.fadeTime(), 25);
    QCOMPARE(times.count(), 1);
    QTest::keyClick(fade, Qt::Key_Up);
    QCOMPARE(f.desk.fadeTime(), 26);
    // A time set elsewhere (a remote) is shown.
    f.desk.apply(want(Intent::Kind::FadeTime, 0, 40));
    QCOMPARE(fade->value(), 4.0);
    QCOMPARE(f.line.take(), QByteArray());

    auto *undo = controlOf<QPushButton>(f.form.get(), "Undo");
    auto *redo = controlOf<QPushButton>(f.form.get(), "Redo");
    QTest::mouseClick(f.Command1(3), Qt::LeftButton);
    QVERIFY(undo->isEnabled() && !redo->isEnabled());
    QTest::mouseClick(undo, Qt::LeftButton);
    QCOMPARE(f.desk.channel(3), 0);
    QVERIFY(!undo->isEnabled() && redo->isEnabled());
    QTest::mouseClick(redo, Qt::LeftButton);
    QCOMPARE(f.desk.channel(3), 99);
    QCOMPARE(Wire::hex(f.line.take()),
             Wire::hex(Wire::setLevel(3, 99) + Wire::setLevel(3, 0) + Wire::setLevel(3, 99)));
}

void tst_Panel::undoKeys_data()
{
    QTest::addColumn<QString>("focus"); // the control with the focus
    QTest::addColumn<bool>("levels");   // whether the keys take back the levels

    QTest::newRow("slider") << "VScroll1_2" << true;
    QTest::newRow("button") << "Command4" << true;
    QTest::newRow("scene-button") << "Option1_5" << true;
    QTest::newRow("read-out") << "Text1_6" << false;
    QTest::newRow("master-read-out") << "Text2" << false;
    QTest::newRow("fade-time") << "FadeTime" << false;
}

void tst_Panel::undoKeys()
{
    QFETCH(QString, focus);
    QFETCH(bool, levels);
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    QTest::mouseClick(f.Command1(6), Qt::LeftButton);
    auto *control = f.form->findChild<QWidget *>(focus);
    control->setFocus();
    QVERIFY(control->hasFocus());
    // A text box's own undo takes back its own typing, as in every text box.
    auto *box = qobject_cast<QLineEdit *>(control);
    if (!box) {
        if (auto *spin = qobject_cast<QAbstractSpinBox *>(control))
            box = spin->findChild<QLineEdit *>();
    }
    if (box) {
        box->selectAll();
        QTest::keyClicks(box, "7");
    }
    QTest::keyClick(control, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.desk.channel(6), levels ? 0 : 99);
    if (box)
        QVERIFY2(box->text() != "7", qPrintable(box->text()));
    QTest::keyClick(control, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(f.desk.channel(6), 99);
    QCOMPARE(f.desk.canUndo(), true);
    if (box)
        QCOMPARE(box->text(), QString("7"));
    // Held, the key takes back one step, not one for each repeat.
    if (levels) {
        f.desk.apply(want(Intent::Kind::FullOn, 5));
        QTest::keyPress(control, Qt::Key_Z, Qt::ControlModifier);
        QTest::simulateEvent(control, true, Qt::Key_Z, Qt::ControlModifier, QString(), true);
        QTest::keyRelease(control, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.desk.channel(5), 0);
        QCOMPARE(f.desk.channel(6), 99);
    }
}

void tst_Panel::marksTheLiveScene()
{
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    QVERIFY(Files::write(f.scenePath(), Wire::frame(Wire::countingRecords()).mid(1, 96)));
    const auto look = [&](int i) {
        const QString sheet = f.Option1(i)->styleSheet();
        return sheet.contains("gradient")  ? QString("fading")
               : sheet.contains("#1f8f3a") ? QString("live")
               : sheet.contains("#f0a800") ? QString("changed")
                                           : QString("plain");
    };
    for (int i = 0; i < 12; ++i)
        QCOMPARE(look(i), QString("plain"));
    QTest::mouseClick(f.Option1(2), Qt::LeftButton);
    QCOMPARE(look(2), QString("live"));
    QVERIFY(f.Option1(2)->isChecked());
    QVERIFY(f.Option1(2)->toolTip().contains("3"));
    QTest::mouseClick(f.Command2(0), Qt::LeftButton);
    QCOMPARE(look(2), QString("changed"));
    QTest::keyClick(f.Command2(0), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(look(2), QString("live"));
    // A store makes its scene live; the one before is plain again.
    f.desk.apply(want(Intent::Kind::Channel, 5, 44));
    f.desk.apply(want(Intent::Kind::Store, 9));
    QCOMPARE(look(8), QString("live"));
    QVERIFY(f.Option1(8)->isChecked() && !f.Option1(2)->isChecked());
    QCOMPARE(look(2), QString("plain"));
    // A fade shows how far it has come, on its button and in the strip; the scene is live
    // once it has landed, changed if the hand took a channel on the way.
    auto *notice = controlOf<QLabel>(f.form.get(), "FadeNotice");
    QVERIFY(!notice->isVisible());
    f.desk.apply(want(Intent::Kind::FadeTime, 0, 20));
    QTest::keyClick(f.form.get(), Qt::Key_F2);
    QCOMPARE(look(1), QString("fading"));
    f.clock.set(std::chrono::milliseconds(700));
    f.desk.stepFades();
    QCOMPARE(look(1), QString("fading"));
    QVERIFY2(f.Option1(1)->toolTip().contains("35%"), qPrintable(f.Option1(1)->toolTip()));
    QVERIFY(notice->isVisible());
    QCOMPARE(notice->text(), QString("Fading to 2: 35%"));
    f.clock.set(std::chrono::milliseconds(2000));
    f.desk.stepFades();
    QCOMPARE(look(1), QString("live"));
    QVERIFY(!notice->isVisible());
    f.desk.apply(want(Intent::Kind::Recall, 3));
    f.desk.apply(want(Intent::Kind::Channel, 7, 3, Source::Kind::Window));
    QCOMPARE(look(2), QString("fading"));
    f.clock.set(std::chrono::milliseconds(4000));
    f.desk.stepFades();
    QCOMPARE(look(2), QString("changed"));
}

void tst_Panel::offersWebRemote()
{
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    auto *button = controlOf<QPushButton>(f.form.get(), "WebRemote");
    QVERIFY(!button->isVisible());
    const QSize size = f.form->size();
    f.form->offerWebRemote();
    // In the free column right of the master, between the send-settings button and the
    // picture, covering nothing; the window keeps its size.
    QVERIFY(button->isVisible());
    QCOMPARE(button->geometry(), twips(11280, 4320, 735, 615));
    QCOMPARE(button->text(), QStringLiteral("手機遙控"));
    QCOMPARE(f.form->size(), size);
    for (QWidget *other : f.form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        QVERIFY2(other == button || !other->isVisible() ||
                     !other->geometry().intersects(button->geometry()),
                 qPrintable(other->objectName()));
    }
    QSignalSpy asked(f.form.get(), &Form1::webRemoteAsked);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(asked.count(), 1);
    QCOMPARE(f.line.take(), QByteArray());
}

void tst_Panel::showsTheNetwork()
{
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    QVERIFY(!f.form->findChild<QLabel *>("NetworkState"));
    const QSize size = f.form->size();
    f.form->showNetworkState("sACN 63999/505\nlost 21:14:05\n\nArt-Net 127:15:15\n6 sources",
                             "<p>whole</p>", Form1::NetworkLook::Lost);
    // Right of the scene and mode rows, covering nothing; the window keeps its size.
    auto *state = f.form->findChild<QLabel *>("NetworkState");
    QVERIFY(state && state->isVisible());
    QCOMPARE(state->geometry(), twips(11475, 6960, 990, 2655));
    QCOMPARE(state->textFormat(), Qt::PlainText);
    QVERIFY(state->heightForWidth(state->width()) <= state->height());
    QCOMPARE(state->toolTip(), QStringLiteral("<p>whole</p>"));
    QCOMPARE(f.form->size(), size);
    for (QWidget *other : f.form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        QVERIFY2(other == state || !other->isVisible() ||
                     !other->geometry().intersects(state->geometry()),
                 qPrintable(other->objectName()));
    }
}

void tst_Panel::cueWindow_data()
{
    QTest::addColumn<QString>("control"); // in the cue window, or a key of the panel's
    QTest::addColumn<QString>("cues");    // the cue list after, "number:state" each
    QTest::newRow("go") << "Go"
                        << "1:current 2:standby";
    QTest::newRow("go-key-in-a-read-out") << "key G"
                                          << "1:current 2:standby";
    QTest::newRow("record-new") << "RecordNew"
                                << "1:standby 2: 3:";
    QTest::newRow("back-after-two-gos") << "Go;Go;Back"
                                        << "1:current 2:standby";
    // Typed into the table: the list fills the table anew, the edited item with it.
    QTest::newRow("renumbered-in-place") << "edit 0 1 3"
                                         << "2:standby 3:";
    QTest::newRow("time-that-is-no-number") << "edit 0 3 nan"
                                            << "1:standby 2:";
    QTest::newRow("double-click-left-of-a-number") << "run 1"
                                                   << "1: 2:current";
    QTest::newRow("double-click-on-a-label-edits") << "open 1 2"
                                                   << "1:standby 2:";
}

void tst_Panel::cueWindow()
{
    QFETCH(QString, control);
    QFETCH(QString, cues);
    PanelFixture f;
    QVERIFY2(f.failure().isEmpty(), qPrintable(f.failure()));
    f.cues.replaceAll({Cue{10, "one", {99}, 0, 0, 0, {}}, Cue{20, "two", {0, 99}, 0, 0, 0, {}}});
    QTest::mouseClick(controlOf<QPushButton>(f.form.get(), "CueList"), Qt::LeftButton);
    auto *window = f.form->findChild<QDialog *>("CueWindow");
    QVERIFY(window && window->isVisible() && !window->isModal());
    QTest::qWait(0);
    for (const QString &step : control.split(';')) {
        if (step.startsWith("edit ")) {
            auto *table = window->findChild<QTableWidget *>("Cues");
            table->item(step.section(' ', 1, 1).toInt(), step.section(' ', 2, 2).toInt())
                ->setText(step.section(' ', 3));
        } else if (step.startsWith("run ") || step.startsWith("open ")) {
            auto *table = window->findChild<QTableWidget *>("Cues");
            const int row = step.section(' ', 1, 1).toInt();
            const int column =
                step.startsWith("run ") ? CueWindow::State : step.section(' ', 2, 2).toInt();
            const QPoint at = table->visualItemRect(table->item(row, column)).center();
            // The view takes a double click only after the press of the same click.
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
        } else if (step == "key G") {
            QTest::keyClick(f.Text1(3), Qt::Key_G);
            QVERIFY(!f.Text1(3)->text().contains('g', Qt::CaseInsensitive));
        } else {
            auto *button = controlOf<QPushButton>(window, qPrintable(step));
            QVERIFY2(button, qPrintable(step));
            QTest::mouseClick(button, Qt::LeftButton);
        }
        f.clock.set(f.clock.now() + std::chrono::milliseconds(300));
    }
    auto *table = window->findChild<QTableWidget *>("Cues");
    QStringList shown;
    for (int row = 0; row < table->rowCount(); ++row)
        shown << table->item(row, CueWindow::Number)->text() + ':' +
                     table->item(row, CueWindow::State)->text();
    QCOMPARE(shown.join(' '), cues);
}

QTEST_MAIN(tst_Panel)
#include "tst_panel.moc"
