#pragma once

#include "link/seriallink.h"

#include <QLabel>

// The line to the board as the operator needs to know it at all times: its port, and
// whether it is up, waiting for its far side to take bytes, or lost and watched for. A
// lost line is drawn in red, so that it is seen across a dark room.
class LineStatus : public QLabel
{
    Q_OBJECT

public:
    LineStatus(const SerialLink &link, QWidget *parent);

    // The whole text, which the label elides to its width.
    QString fullText() const { return m_text; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void show(SerialLink::State state, const QString &reason);
    void fit();

    const SerialLink &m_link;
    QString m_text;
};
