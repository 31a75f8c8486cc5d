#include "panelkeys.h"

#include "control/desk.h"
#include "protocol/boardnumbers.h"
#include "ui/keypriority.h"
#include "ui/scenequestion.h"

#include <QApplication>
#include <QShortcut>
#include <QWidget>

namespace {

Intent keyIntent(Intent::Kind kind, int index = 0)
{
    return Intent{kind, index, 0, std::nullopt, Source{Source::Kind::Key, 0}};
}

} // namespace

PanelKeys::PanelKeys(QWidget *window, Desk &desk) : QObject(window), m_window(window), m_desk(desk)
{
    for (int i = 0; i < Board::SceneCount; ++i) {
        const auto key = Qt::Key(Qt::Key_F1 + i);
        const int scene = i + 1;
        add(window, QKeySequence(key), "recallScene",
            [this, scene] { m_desk.apply(keyIntent(Intent::Kind::Recall, scene)); });
        add(window, QKeySequence(Qt::SHIFT | key), "storeScene", [this, scene] { store(scene); });
    }
    add(window, QKeySequence(Qt::Key_B), "blackoutKey",
        [this] { m_desk.apply(keyIntent(Intent::Kind::Blackout)); });
    // A read-out with the focus takes these keys for its own text first, as every text box
    // does; anywhere else they take back the levels.
    add(window, QKeySequence(Qt::CTRL | Qt::Key_Z), "undoKey",
        [this] { m_desk.apply(keyIntent(Intent::Kind::Undo)); });
    add(window, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), "redoKey",
        [this] { m_desk.apply(keyIntent(Intent::Kind::Redo)); });
    addCueKeys(window, desk);
    // The letters: a text box of the panel's would take them for typing.
    const QList<QKeySequence> letters = {QKeySequence(Qt::Key_B), QKeySequence(Qt::Key_G),
                                         QKeySequence(Qt::SHIFT | Qt::Key_G),
                                         QKeySequence(Qt::Key_P)};
    qApp->installEventFilter(new KeyPriority(window, letters, this));
}

void PanelKeys::addCueKeys(QWidget *window, Desk &desk)
{
    Desk *target = &desk;
    add(window, QKeySequence(Qt::Key_G), "goKey",
        [target] { target->apply(keyIntent(Intent::Kind::Go)); });
    add(window, QKeySequence(Qt::SHIFT | Qt::Key_G), "backKey",
        [target] { target->apply(keyIntent(Intent::Kind::Back)); });
    add(window, QKeySequence(Qt::Key_P), "pauseKey",
        [target] { target->apply(keyIntent(Intent::Kind::Pause)); });
}

void PanelKeys::add(QWidget *window, const QKeySequence &key, const char *name,
                    const std::function<void()> &act)
{
    auto *shortcut = new QShortcut(key, window);
    // A held key acts once.
    shortcut->setAutoRepeat(false);
    QString objectName = QString::fromLatin1(name);
    if (key[0].key() >= Qt::Key_F1 && key[0].key() <= Qt::Key_F12)
        objectName += QStringLiteral("_%1").arg(key[0].key() - Qt::Key_F1 + 1);
    shortcut->setObjectName(objectName);
    QObject::connect(shortcut, &QShortcut::activated, shortcut, act);
}

void PanelKeys::store(int sceneNumber)
{
    // The scene key window's question, without the window: every input holds still while it
    // asks, so that the scene stored is the one asked about.
    m_desk.holdInput(true);
    const bool yes = SceneQuestion::askToStore(m_window, sceneNumber, QRect());
    m_desk.holdInput(false);
    if (yes)
        m_desk.apply(keyIntent(Intent::Kind::Store, sceneNumber));
}
