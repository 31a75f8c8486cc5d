#pragma once

#include <QWidget>

#include <functional>

class QMessageBox;

// Code that must run inside a modal loop that the test is about to enter: it waits,
// polling the event loop, until a visible modal window of the kind asked for is up.
namespace Modal {

void whenUp(const std::function<bool(QWidget *)> &match, const std::function<void(QWidget *)> &act,
            QObject *context);

bool isMessageBox(QWidget *widget);
// Presses the answer's button with the mouse, or Enter for the default.
void answer(QWidget *box, int standardButton);
void pressEnter(QWidget *box);

} // namespace Modal
