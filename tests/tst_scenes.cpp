#include "app/translations.h"
#include "control/levelslider.h"
#include "support/files.h"
#include "support/modal.h"
#include "support/panelfixture.h"
#include "support/wire.h"
#include "ui/form2.h"
#include "ui/imagecontrol.h"

#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTranslator>
#include <QWindow>

// Scenes through the real windows: recall onto a real line, save through the scene key
// window and its question into a real file, and the download frame.
class tst_Scenes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recall_data();
    void recall();
    void recallRefusesLevelsAbove99();
    void recallOfMissingFileLeavesEmptyFile();
    void saveThroughWindow_data();
    void saveThroughWindow();
    void saveTwoScenesInOneOpening();
    void quickSecondClickOnYesStoresNothingElse();
    void noAnswerTouchesNothing_data();
    void noAnswerTouchesNothing();
    void closingWindow_data();
    void closingWindow();
    void panelTakesNoInputWhileOpen();
    void download_data();
    void download();
    void downloadTwiceSendsTheSame();
    void saveThenRecallSendsNothing();
    void questionSpeaksTheUsersLanguage();
};

namespace {

using Levels = QList<int>;

QByteArray record(const Levels &levels)
{
    QByteArray bytes;
    for (int level : levels)
        bytes += char(level);
    return bytes;
}

bool isSceneWindow(QWidget *widget) { return qobject_cast<Form2 *>(widget) != nullptr; }

// Opens the scene key window from the store image, clicks the keys and answers each
// question, then closes the window with the close image; returns when it is hidden.
void saveScenes(PanelFixture &panel, const QList<int> &keys, int answer)
{
    QObject *context = panel.form.get();
    std::function<void(QWidget *, int)> next = [&, context](QWidget *window, int k) {
        auto *form2 = static_cast<Form2 *>(window);
        if (k == keys.size()) {
            QTest::mouseClick(controlOf<ImageControl>(form2, "Image3"), Qt::LeftButton);
            return;
        }
        Modal::whenUp(
            Modal::isMessageBox,
            [answer](QWidget *box) {
                if (answer == QMessageBox::NoButton)
                    Modal::pressEnter(box);
                else
                    Modal::answer(box, answer);
            },
            context);
        QTest::mouseClick(controlOf<ImageControl>(form2, "Image1", keys[k]), Qt::LeftButton);
        next(window, k + 1);
    };
    Modal::whenUp(
        isSceneWindow, [&](QWidget *window) { next(window, 0); }, context);
    QTest::mouseClick(panel.Image2(), Qt::LeftButton);
}

} // namespace

void tst_Scenes::recall_data()
{
    QTest::addColumn<Levels>("sliders");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("button");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<Levels>("after");

    const Levels off = {0, 0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("two-channels") << off << record({0, 99, 0, 0, 0, 0, 0, 50}) << 0
                                  << Wire::setLevel(1, 99) + Wire::setLevel(7, 50)
                                  << Levels{0, 99, 0, 0, 0, 0, 0, 50};
    QTest::newRow("same-as-sliders")
        << Levels{1, 2, 3, 4, 5, 6, 7, 8} << record({1, 2, 3, 4, 5, 6, 7, 8}) << 0 << QByteArray()
        << Levels{1, 2, 3, 4, 5, 6, 7, 8};
    QByteArray eight;
    for (int k = 0; k < 8; ++k)
        eight += Wire::setLevel(k, 10 + k);
    QTest::newRow("every-channel-in-order")
        << off << QByteArray(8, '\0') + record({10, 11, 12, 13, 14, 15, 16, 17}) << 1 << eight
        << Levels{10, 11, 12, 13, 14, 15, 16, 17};
    QTest::newRow("button-12-reads-bytes-88-to-95")
        << off << QByteArray(88, '\x05') + record({9, 0, 0, 0, 0, 0, 0, 99}) << 11
        << Wire::setLevel(0, 9) + Wire::setLevel(7, 99) << Levels{9, 0, 0, 0, 0, 0, 0, 99};
    QTest::newRow("never-saved-scene-is-off")
        << Levels{40, 0, 0, 0, 0, 0, 0, 40} << record({1, 1, 1, 1, 1, 1, 1, 1}) << 5
        << Wire::setLevel(0, 0) + Wire::setLevel(7, 0) << off;
    QTest::newRow("cut-short-record")
        << Levels{30, 30, 30, 30, 30, 30, 30, 30} << QByteArray(8, '\0') + record({30, 30, 30})
        << 1
        << Wire::setLevel(3, 0) + Wire::setLevel(4, 0) + Wire::setLevel(5, 0) +
               Wire::setLevel(6, 0) + Wire::setLevel(7, 0)
        << Levels{30, 30, 30, 0, 0, 0, 0, 0};
}

void tst_Scenes::recall()
{
    QFETCH(Levels, sliders);
    QFETCH(QByteArray, file);
    QFETCH(int, button);
    QFETCH(QByteArray, wire);
    QFETCH(Levels, after);
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    panel.setLevels(sliders, 33);
    QVERIFY(Files::write(panel.scenePath(), file));
    const QString masterText = panel.Text2()->text();

    QTest::mouseClick(panel.Option1(button), Qt::LeftButton);
    QCOMPARE(panel.sent().toHex(), wire.toHex());
    for (int k = 0; k < 8; ++k) {
        QCOMPARE(panel.VScroll1(k)->level(), after[k]);
        QCOMPARE(int(panel.state.LevelBuf[k]), after[k]);
        QCOMPARE(panel.Text1(k)->text(), QString(" %1").arg(after[k]));
    }
    QCOMPARE(panel.VScroll2()->level(), 33);
    QCOMPARE(panel.Text2()->text(), masterText);
    QVERIFY(panel.Option1(button)->isChecked());
    QCOMPARE(Files::bytes(panel.scenePath()), file);
    QVERIFY(panel.fatals.isEmpty());
    QVERIFY(panel.warnings.isEmpty());
}

void tst_Scenes::recallRefusesLevelsAbove99()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    panel.setLevels({5, 5, 5, 5, 5, 5, 5, 5}, 0);
    const auto before = panel.state;
    QVERIFY(Files::write(panel.scenePath(),
                         QByteArray(16, '\0') + record({10, 20, 30, 40, 150, 60, 70, 80})));
    QTest::mouseClick(panel.Option1(2), Qt::LeftButton);
    QCOMPARE(panel.sent(), QByteArray());
    QCOMPARE(panel.warnings.size(), 1);
    const QString message = panel.warnings.first();
    QVERIFY2(message.contains("Scene 3") && message.contains("150") &&
                 message.contains("channel 5 (調光五)"),
             qPrintable(message));
    QVERIFY(panel.state.LevelBuf == before.LevelBuf);
    for (int k = 0; k < 8; ++k)
        QCOMPARE(panel.VScroll1(k)->level(), 5);
    QVERIFY(panel.fatals.isEmpty());
    // The panel carries on.
    panel.VScroll1(0)->setLevel(6);
    QCOMPARE(panel.sent().toHex(), Wire::setLevel(0, 6).toHex());
}

void tst_Scenes::recallOfMissingFileLeavesEmptyFile()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    QVERIFY(!QFile::exists(panel.scenePath()));
    QTest::mouseClick(panel.Option1(3), Qt::LeftButton);
    QCOMPARE(panel.sent(), QByteArray());
    QCOMPARE(Files::bytes(panel.scenePath()), QByteArray(""));
}

void tst_Scenes::saveThroughWindow_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<Levels>("levels");
    QTest::addColumn<int>("key");
    QTest::addColumn<QByteArray>("after");
    const QByteArray full = QByteArray(96, '\x07');
    QTest::newRow("key-0-full-on")
        << QByteArray("<missing>") << Levels{99, 99, 99, 99, 99, 99, 99, 99} << 0
        << QByteArray(8, '\x63');
    QTest::newRow("key-11-into-missing")
        << QByteArray("<missing>") << Levels{1, 2, 3, 4, 5, 6, 7, 8} << 11
        << QByteArray(88, '\0') + record({1, 2, 3, 4, 5, 6, 7, 8});
    QTest::newRow("key-1-into-full")
        << full << Levels{0, 10, 20, 30, 40, 50, 60, 70} << 1
        << full.left(8) + record({0, 10, 20, 30, 40, 50, 60, 70}) + full.mid(16);
    QTest::newRow("beyond-96-kept")
        << QByteArray(100, '\x09') << Levels{3, 3, 3, 3, 3, 3, 3, 3} << 6
        << QByteArray(48, '\x09') + QByteArray(8, '\x03') + QByteArray(44, '\x09');
}

void tst_Scenes::saveThroughWindow()
{
    QFETCH(QByteArray, before);
    QFETCH(Levels, levels);
    QFETCH(int, key);
    QFETCH(QByteArray, after);
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    panel.setLevels(levels, 0);
    if (before != "<missing>")
        QVERIFY(Files::write(panel.scenePath(), before));
    // Recorded inside the modal loops and compared after them, so that a wrong value
    // cannot leave a question unanswered.
    QString question;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool noIsDefault = false;
    QMessageBox::StandardButtons buttons;
    bool openAfterSave = false;
    Modal::whenUp(
        isSceneWindow,
        [&](QWidget *window) {
            auto *form2 = static_cast<Form2 *>(window);
            Modal::whenUp(
                Modal::isMessageBox,
                [&](QWidget *box) {
                    auto *asked = static_cast<QMessageBox *>(box);
                    question = asked->text();
                    title = asked->windowTitle();
                    icon = asked->icon();
                    noIsDefault = asked->defaultButton() == asked->button(QMessageBox::No);
                    buttons = asked->standardButtons();
                    Modal::answer(box, QMessageBox::Yes);
                },
                panel.form.get());
            QTest::mouseClick(controlOf<ImageControl>(form2, "Image1", key), Qt::LeftButton);
            openAfterSave = form2->isVisible();
            QTest::mouseClick(controlOf<ImageControl>(form2, "Image3"), Qt::LeftButton);
        },
        panel.form.get());
    QTest::mouseClick(panel.Image2(), Qt::LeftButton);
    QCOMPARE(icon, QMessageBox::Warning);
    QVERIFY(noIsDefault);
    QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY2(openAfterSave, "the scene key window closed after a save");

    QCOMPARE(question, QString("將目前狀態已存入巨集鍵 %1").arg(key + 1));
    QCOMPARE(title, QString("確定對話方塊"));
    QCOMPARE(Files::bytes(panel.scenePath()).toHex(), after.toHex());
    QCOMPARE(panel.sent(), QByteArray());
    QVERIFY(!panel.form2()->isVisible());
    QVERIFY(panel.fatals.isEmpty());
}

void tst_Scenes::saveTwoScenesInOneOpening()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    panel.setLevels({1, 2, 3, 4, 5, 6, 7, 8}, 0);
    saveScenes(panel, {1, 6}, QMessageBox::Yes);
    QCOMPARE(Files::bytes(panel.scenePath()).toHex(),
             (QByteArray(8, '\0') + record({1, 2, 3, 4, 5, 6, 7, 8}) + QByteArray(32, '\0') +
              record({1, 2, 3, 4, 5, 6, 7, 8}))
                 .toHex());
    QVERIFY(panel.form->isEnabled());
    // The panel takes input again after the close image.
    QTest::mouseClick(panel.Command1(0), Qt::LeftButton);
    QCOMPARE(panel.sent().toHex(), Wire::setLevel(0, 99).toHex());
}

void tst_Scenes::quickSecondClickOnYesStoresNothingElse()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    panel.setLevels({7, 7, 7, 7, 7, 7, 7, 7}, 0);
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
            panel.form.get());
        // Through the window system, as a real click comes; the question closes on it.
        QTest::mouseClick(asked->windowHandle(), Qt::LeftButton, {},
                          asked->windowHandle()->mapFromGlobal(at));
        // A second click at once on the same spot falls through the closing question
        // onto the key, and must press nothing, even once the scene key window is
        // active again.
        panel.form2()->activateWindow();
        QTRY_VERIFY(panel.form2()->isActiveWindow());
        QWindow *keysWindow = panel.form2()->windowHandle();
        QTest::mouseClick(keysWindow, Qt::LeftButton, {}, keysWindow->mapFromGlobal(at));
    };
    Modal::whenUp(
        isSceneWindow,
        [&](QWidget *window) {
            for (int k = 0; k < 12; ++k) {
                auto *key = controlOf<ImageControl>(window, "Image1", k);
                keys << QRect(key->mapToGlobal(QPoint()), key->size());
            }
            Modal::whenUp(Modal::isMessageBox, answer, panel.form.get());
            QTest::mouseClick(controlOf<ImageControl>(window, "Image1", 5), Qt::LeftButton);
            QTest::mouseClick(controlOf<ImageControl>(window, "Image3"), Qt::LeftButton);
        },
        panel.form.get());
    QTest::mouseClick(panel.Image2(), Qt::LeftButton);
    QCOMPARE(questions, 1);
    for (const QRect &key : keys)
        QVERIFY2(!question.intersects(key), "the question covers a scene key");
    QCOMPARE(Files::bytes(panel.scenePath()).toHex(),
             (QByteArray(40, '\0') + record({7, 7, 7, 7, 7, 7, 7, 7})).toHex());
}

void tst_Scenes::noAnswerTouchesNothing_data()
{
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<int>("answer");
    QTest::newRow("no-missing-file") << false << int(QMessageBox::No);
    QTest::newRow("enter-is-no") << true << int(QMessageBox::NoButton);
    QTest::newRow("no-existing-file") << true << int(QMessageBox::No);
}

void tst_Scenes::noAnswerTouchesNothing()
{
    QFETCH(bool, fileExists);
    QFETCH(int, answer);
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    panel.setLevels({9, 9, 9, 9, 9, 9, 9, 9}, 0);
    const QByteArray before(96, '\x11');
    if (fileExists)
        QVERIFY(Files::write(panel.scenePath(), before));
    saveScenes(panel, {0, 11}, answer);
    QCOMPARE(Files::bytes(panel.scenePath()), fileExists ? before : QByteArray("<missing>"));
    QCOMPARE(panel.sent(), QByteArray());
}

void tst_Scenes::closingWindow_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("close-image") << "image";
    QTest::newRow("escape") << "escape";
    QTest::newRow("close-request") << "close";
}

void tst_Scenes::closingWindow()
{
    QFETCH(QString, how);
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    QPoint firstPlace;
    Form2 *firstWindow = nullptr;
    for (int opening = 0; opening < 2; ++opening) {
        Modal::whenUp(
            isSceneWindow,
            [&](QWidget *window) {
                auto *form2 = static_cast<Form2 *>(window);
                if (opening == 0) {
                    firstWindow = form2;
                    firstPlace = form2->pos();
                    QCOMPARE(form2->size(), QSize(322, 261));
                    QVERIFY(form2->windowFlags() & Qt::FramelessWindowHint);
                    const QRect screen = form2->screen()->geometry();
                    QCOMPARE(form2->frameGeometry().center(), screen.center());
                } else {
                    QCOMPARE(form2, firstWindow);
                    QCOMPARE(form2->pos(), firstPlace);
                }
                if (how == "image")
                    QTest::mouseClick(controlOf<ImageControl>(form2, "Image3"), Qt::LeftButton);
                else if (how == "escape")
                    QTest::keyClick(form2, Qt::Key_Escape);
                else
                    form2->close();
            },
            panel.form.get());
        QTest::mouseClick(panel.Image2(), Qt::LeftButton);
        QVERIFY(!panel.form2()->isVisible());
        QVERIFY(panel.form->isEnabled());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }
    QVERIFY(!QFile::exists(panel.scenePath()));
    QCOMPARE(panel.sent(), QByteArray());
}

void tst_Scenes::panelTakesNoInputWhileOpen()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    QWindow *window = panel.form->windowHandle();
    // Through the window system, as the operator's clicks come, so that modality applies.
    auto clickAt = [&](QWidget *widget) {
        QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier,
                          widget->mapTo(panel.form.get(), widget->rect().center()));
    };
    QByteArray sentWhileOpen;
    Modal::whenUp(
        isSceneWindow,
        [&](QWidget *scenes) {
            clickAt(panel.Command3());
            clickAt(panel.Option2(4));
            QTest::keyClick(window, Qt::Key_Up);
            sentWhileOpen = panel.sent();
            QTest::mouseClick(controlOf<ImageControl>(scenes, "Image3"), Qt::LeftButton);
        },
        panel.form.get());
    clickAt(panel.Image2());
    QTRY_VERIFY(!panel.form2()->isVisible());
    QCOMPARE(sentWhileOpen, QByteArray());
    QCOMPARE(panel.VScroll2()->level(), 0);
    // The same clicks reach the panel once the window is closed.
    clickAt(panel.Command3());
    QCOMPARE(panel.sent().toHex(), QByteArray("f10a0a63fa"));
}

void tst_Scenes::download_data()
{
    QTest::addColumn<QByteArray>("file"); // "<missing>": no file
    QTest::addColumn<QByteArray>("body");
    QByteArray full;
    for (int i = 0; i < 96; ++i)
        full += char(i);
    QTest::newRow("full-file") << full << full;
    QTest::newRow("scene-2-levels")
        << QByteArray(8, '\0') + record({0, 10, 20, 30, 40, 50, 60, 70})
        << QByteArray(8, '\0') + record({0, 10, 20, 30, 40, 50, 60, 70}) + QByteArray(80, '\0');
    QTest::newRow("scene-4-only") << QByteArray(24, '\0') + record({4, 4, 4, 4, 4, 4, 4, 4})
                                  << QByteArray(24, '\0') + record({4, 4, 4, 4, 4, 4, 4, 4}) +
                                         QByteArray(64, '\0');
    // Missing records are zeros, never a copy of the scene before them.
    QTest::newRow("short-file") << QByteArray(20, '\x22')
                                << QByteArray(20, '\x22') + QByteArray(76, '\0');
    QTest::newRow("no-file") << QByteArray("<missing>") << QByteArray(96, '\0');
    QTest::newRow("start-and-end-bytes-inside")
        << QByteArray("\xfa\xfb\xf1\xff", 4) + QByteArray(92, '\xfa')
        << QByteArray("\xfa\xfb\xf1\xff", 4) + QByteArray(92, '\xfa');
    QTest::newRow("longer-file") << full + QByteArray(10, '\x77') << full;
}

void tst_Scenes::download()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, body);
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    panel.setLevels({50, 50, 50, 50, 50, 50, 50, 50}, 0);
    const auto before = panel.state;
    if (file != "<missing>")
        QVERIFY(Files::write(panel.scenePath(), file));
    QTest::mouseClick(panel.Command5(), Qt::LeftButton);
    QCOMPARE(panel.sent().toHex(), ("\xfa" + body + "\xfb").toHex());
    QCOMPARE(Files::bytes(panel.scenePath()), file == "<missing>" ? QByteArray("") : file);
    QVERIFY(panel.state.LevelBuf == before.LevelBuf);
    QCOMPARE(panel.state.PktAddress, before.PktAddress);
    QCOMPARE(panel.state.PktValue, before.PktValue);
    QCOMPARE(panel.state.PktCommand, before.PktCommand);
    for (int k = 0; k < 8; ++k)
        QCOMPARE(panel.VScroll1(k)->level(), 50);
}

void tst_Scenes::downloadTwiceSendsTheSame()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    QVERIFY(Files::write(panel.scenePath(), QByteArray(40, '\x31')));
    panel.Command5()->click();
    const QByteArray first = panel.sent();
    panel.Command5()->click();
    QCOMPARE(first.size(), 98);
    QCOMPARE(panel.sent(), first);
}

void tst_Scenes::saveThenRecallSendsNothing()
{
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    panel.setLevels({12, 0, 34, 0, 56, 0, 78, 99}, 0);
    saveScenes(panel, {4}, QMessageBox::Yes);
    QTest::mouseClick(panel.Option1(4), Qt::LeftButton);
    QCOMPARE(panel.sent(), QByteArray());
    panel.Command4()->click();
    panel.sent();
    QTest::mouseClick(panel.Option1(4), Qt::LeftButton);
    QCOMPARE(panel.sent().toHex(),
             (Wire::setLevel(0, 12) + Wire::setLevel(2, 34) + Wire::setLevel(4, 56) +
              Wire::setLevel(6, 78) + Wire::setLevel(7, 99))
                 .toHex());
}

void tst_Scenes::questionSpeaksTheUsersLanguage()
{
    const QList<QTranslator *> chinese =
        installTranslations(*qApp, QLocale(QLocale::Chinese, QLocale::Taiwan));
    QVERIFY2(chinese.size() == 2, "no zh_TW translation of Qt (qt6-translations-l10n) or ours");
    PanelFixture panel;
    QVERIFY2(panel.failure().isEmpty(), qPrintable(panel.failure()));
    QString yes;
    QString no;
    Modal::whenUp(
        isSceneWindow,
        [&](QWidget *window) {
            auto *form2 = static_cast<Form2 *>(window);
            Modal::whenUp(
                Modal::isMessageBox,
                [&](QWidget *box) {
                    auto *question = static_cast<QMessageBox *>(box);
                    yes = question->button(QMessageBox::Yes)->text();
                    no = question->button(QMessageBox::No)->text();
                    Modal::answer(box, QMessageBox::No);
                },
                panel.form.get());
            QTest::mouseClick(controlOf<ImageControl>(form2, "Image1", 0), Qt::LeftButton);
            QTest::mouseClick(controlOf<ImageControl>(form2, "Image3"), Qt::LeftButton);
        },
        panel.form.get());
    QTest::mouseClick(panel.Image2(), Qt::LeftButton);
    for (QTranslator *translator : chinese) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    QVERIFY2(yes.contains(QString::fromUtf8("是")), qPrintable(yes));
    QVERIFY2(no.contains(QString::fromUtf8("否")), qPrintable(no));
}

QTEST_MAIN(tst_Scenes)
#include "tst_scenes.moc"
