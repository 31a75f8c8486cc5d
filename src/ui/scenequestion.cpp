#include "scenequestion.h"

#include <QMessageBox>
#include <QScreen>

namespace {

// Centred over the scene keys, the question's buttons would cover some of them: a quick
// second click on Yes would then land on a key and ask to store a scene nobody chose.
// Below them, else above, else beside, a click that goes through hits no key.
void placeBeside(QMessageBox &question, const QRect &keepClear)
{
    question.adjustSize();
    const QSize size = question.sizeHint().expandedTo(question.size());
    const QRect screen = question.screen()->availableGeometry();
    constexpr int Gap = 12;
    QRect place(QPoint(), size);
    place.moveLeft(keepClear.center().x() - size.width() / 2);
    if (keepClear.bottom() + Gap + size.height() <= screen.bottom())
        place.moveTop(keepClear.bottom() + Gap);
    else if (keepClear.top() - Gap - size.height() >= screen.top())
        place.moveBottom(keepClear.top() - Gap);
    else if (keepClear.right() + Gap + size.width() <= screen.right())
        place.moveTopLeft({keepClear.right() + Gap, keepClear.top()});
    else
        place.moveTopRight({keepClear.left() - Gap, keepClear.top()});
    question.move(place.topLeft());
}

} // namespace

namespace SceneQuestion {

QString prompt(int sceneNumber)
{
    return QStringLiteral("將目前狀態已存入巨集鍵 %1").arg(sceneNumber);
}

QString title() { return QStringLiteral("確定對話方塊"); }

bool askToStore(QWidget *window, int sceneNumber, const QRect &keepClear)
{
    QMessageBox question(QMessageBox::Warning, title(), prompt(sceneNumber),
                         QMessageBox::Yes | QMessageBox::No, window);
    question.setDefaultButton(QMessageBox::No);
    question.setEscapeButton(QMessageBox::No);
    if (!keepClear.isEmpty())
        placeBeside(question, keepClear);
    const bool yes = question.exec() == QMessageBox::Yes;
    // Back to the window the operator was using, which takes clicks only when active.
    window->activateWindow();
    return yes;
}

} // namespace SceneQuestion
