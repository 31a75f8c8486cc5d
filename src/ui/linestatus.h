#pragma once

#include "link/seriallink.h"

#include <QLabel>

class Desk;

// The line to the board as the operator needs to know it at all times: its port, and
// whether it is up, waiting for its far side to take bytes, or lost and watched for, with
// how many changes wait for it to come back; and when what the board shows cannot be kept
// for the next start. A lost line is drawn in red, so that it is seen across a dark room.
// The text is short enough for its strip in every language; the reasons are in its tool tip.
class LineStatus : public QLabel
{
    Q_OBJECT

public:
    LineStatus(const SerialLink &link, const Desk &desk, QWidget *parent);

    // The whole text, with the port's whole name, which the label shortens to its width.
    QString fullText() const { return compose(m_link.portName()); }
    // Why what the board shows cannot be kept; empty when it can.
    void setKeepingProblem(const QString &problem);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void lineChanged(SerialLink::State state, const QString &reason);
    // Called at every change of a level: only a new count of waiting changes redraws.
    void refresh();
    QString compose(const QString &port) const;
    int waitingChanges() const;
    void fit();

    const SerialLink &m_link;
    const Desk &m_desk;
    QString m_reason;
    QString m_keepingProblem;
    int m_waiting = 0;
};
