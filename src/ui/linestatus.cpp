#include "linestatus.h"

#include "control/desk.h"

#include <QPalette>

LineStatus::LineStatus(const SerialLink &link, const Desk &desk, QWidget *parent)
    : QLabel(parent), m_link(link), m_desk(desk)
{
    // A port's name is the operator's or the system's: never markup.
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(&link, &SerialLink::stateChanged, this, &LineStatus::lineChanged);
    connect(&link, &SerialLink::boardChanged, this, &LineStatus::refresh);
    connect(&desk, &Desk::channelChanged, this, &LineStatus::refresh);
    connect(&desk, &Desk::modeChanged, this, &LineStatus::refresh);
    lineChanged(link.state(), {});
}

void LineStatus::setKeepingProblem(const QString &problem)
{
    m_keepingProblem = problem;
    lineChanged(m_link.state(), m_reason);
}

int LineStatus::waitingChanges() const
{
    if (m_link.state() != SerialLink::State::Lost)
        return 0;
    return m_desk.state().changesFrom(DeskState::of(m_link.board())) +
           (m_link.isDownloadOwed() ? 1 : 0);
}

QString LineStatus::compose(const QString &port) const
{
    QString line;
    switch (m_link.state()) {
    case SerialLink::State::Closed:
        line = tr("Line: not open");
        break;
    case SerialLink::State::Up:
        line = tr("Line %1: up").arg(port);
        break;
    case SerialLink::State::Waiting:
        line = tr("Line %1: waiting").arg(port);
        break;
    case SerialLink::State::Lost:
        line = m_waiting == 0   ? tr("Line %1: lost").arg(port)
               : m_waiting == 1 ? tr("Line %1: lost, 1 change waiting").arg(port)
                                : tr("Line %1: lost, %2 changes waiting").arg(port).arg(m_waiting);
        break;
    }
    return m_keepingProblem.isEmpty() ? line : tr("%1; not kept").arg(line);
}

void LineStatus::lineChanged(SerialLink::State state, const QString &reason)
{
    m_reason = reason;
    m_waiting = waitingChanges();
    QColor colour(0, 110, 40);
    QString detail;
    switch (state) {
    case SerialLink::State::Closed:
        colour = palette().color(QPalette::Disabled, QPalette::WindowText);
        break;
    case SerialLink::State::Up:
        break;
    case SerialLink::State::Waiting:
        colour = QColor(160, 100, 0);
        detail = reason;
        break;
    case SerialLink::State::Lost:
        colour = QColor(190, 0, 0);
        detail = m_link.comesBackByItself()
                     ? tr("Lost: %1. The panel waits for %2 to come back; every change is "
                          "kept, and the mode and the levels go to the board again as soon as "
                          "the line is back.")
                           .arg(reason, m_link.watchedName())
                     : tr("Lost: %1. A pseudo-terminal's number goes to whichever program asks "
                          "next, so the panel does not take it back by itself: 全部重送 (send "
                          "all) opens it again. Every change is kept until then.")
                           .arg(reason);
        break;
    }
    if (!m_keepingProblem.isEmpty()) {
        colour = state == SerialLink::State::Lost ? colour : QColor(160, 100, 0);
        detail += (detail.isEmpty() ? QString() : QStringLiteral("\n")) + m_keepingProblem;
    }
    QPalette shades = palette();
    shades.setColor(QPalette::WindowText, colour);
    setPalette(shades);
    // Bold when the operator has something to see to; a line not opened yet (before the
    // window shows) is no alarm, and measuring it in a face of its own would load one.
    QFont font = this->font();
    font.setBold(state == SerialLink::State::Waiting || state == SerialLink::State::Lost ||
                 !m_keepingProblem.isEmpty());
    setFont(font);
    const QString whole = fullText();
    setToolTip(detail.isEmpty() ? whole : whole + QLatin1Char('\n') + detail);
    fit();
}

void LineStatus::refresh()
{
    if (waitingChanges() != m_waiting)
        lineChanged(m_link.state(), m_reason);
}

void LineStatus::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    fit();
}

void LineStatus::fit()
{
    // The port's name gives way, from its middle, before the state does: "lost" must show.
    // Measured whole, since a name in one script and the state in another do not always add
    // up to their parts.
    const QFontMetrics metrics = fontMetrics();
    int room = width() - metrics.horizontalAdvance(compose(QString()));
    QString port = m_link.portName();
    while (room > 0 && metrics.horizontalAdvance(compose(port)) > width()) {
        port = metrics.elidedText(m_link.portName(), Qt::ElideMiddle, room);
        room -= metrics.averageCharWidth();
    }
    setText(metrics.elidedText(compose(room > 0 ? port : QString()), Qt::ElideRight, width()));
}
