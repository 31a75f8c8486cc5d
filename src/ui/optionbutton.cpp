#include "optionbutton.h"

#include <QKeyEvent>

#include <algorithm>

OptionButton::OptionButton(const QString &caption, QWidget *frame) : QPushButton(caption, frame)
{
    setCheckable(true);
    setAutoExclusive(true);
}

void OptionButton::keyPressEvent(QKeyEvent *event)
{
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        step = -1;
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        step = 1;
        break;
    default:
        QPushButton::keyPressEvent(event);
        return;
    }
    event->accept();
    // The row in its order on the screen, left to right.
    QList<OptionButton *> row =
        parentWidget()->findChildren<OptionButton *>(QString(), Qt::FindDirectChildrenOnly);
    std::sort(row.begin(), row.end(),
              [](const QWidget *a, const QWidget *b) { return a->x() < b->x(); });
    const qsizetype next = row.indexOf(this) + step;
    if (next >= 0 && next < row.size())
        row[next]->setFocus(step < 0 ? Qt::BacktabFocusReason : Qt::TabFocusReason);
}
