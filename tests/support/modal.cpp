#include "modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace Modal {

void whenUp(const std::function<bool(QWidget *)> &match, const std::function<void(QWidget *)> &act,
            QObject *context)
{
    auto *timer = new QTimer(context);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, context, [timer, match, act] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || !match(modal))
            return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start();
}

bool isMessageBox(QWidget *widget) { return qobject_cast<QMessageBox *>(widget) != nullptr; }

void answer(QWidget *box, int standardButton)
{
    auto *question = qobject_cast<QMessageBox *>(box);
    QAbstractButton *button = question->button(QMessageBox::StandardButton(standardButton));
    QTest::mouseClick(button, Qt::LeftButton);
}

void pressEnter(QWidget *box) { QTest::keyClick(box, Qt::Key_Return); }

} // namespace Modal
