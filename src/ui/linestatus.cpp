#include "linestatus.h"

#include <QPalette>

LineStatus::LineStatus(const SerialLink &link, QWidget *parent) : QLabel(parent), m_link(link)
{
    // A port's name is the operator's or the system's: never markup.
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(&link, &SerialLink::stateChanged, this, &LineStatus::show);
    show(link.state(), {});
}

void LineStatus::show(SerialLink::State state, const QString &reason)
{
    const QString port = m_link.portName();
    QColor colour(0, 110, 40);
    QString detail;
    switch (state) {
    case SerialLink::State::Closed:
        m_text = tr("Line: not open");
        colour = palette().color(QPalette::Disabled, QPalette::WindowText);
        break;
    case SerialLink::State::Up:
        m_text = tr("Line %1: up").arg(port);
        break;
    case SerialLink::State::Waiting:
        m_text = tr("Line %1: waiting, %2").arg(port, reason);
        colour = QColor(160, 100, 0);
        break;
    case SerialLink::State::Lost:
        m_text =
            m_link.watchedName() == port
                ? tr("Line %1: lost (%2), waiting for it to come back").arg(port, reason)
                : tr("Line %1: lost (%2), waiting for %3").arg(port, reason, m_link.watchedName());
        detail = tr("Every change is kept; the mode and the levels go to the board again as "
                    "soon as the line is back.");
        colour = QColor(190, 0, 0);
        break;
    }
    QPalette shades = palette();
    shades.setColor(QPalette::WindowText, colour);
    setPalette(shades);
    QFont font = this->font();
    font.setBold(state != SerialLink::State::Up);
    setFont(font);
    setToolTip(detail.isEmpty() ? m_text : m_text + QLatin1Char('\n') + detail);
    fit();
}

void LineStatus::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    fit();
}

void LineStatus::fit() { setText(fontMetrics().elidedText(m_text, Qt::ElideMiddle, width())); }
