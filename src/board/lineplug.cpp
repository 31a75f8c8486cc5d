#include "lineplug.h"

#include "board/virtualboard.h"

LinePlug::LinePlug(VirtualBoard &board, QObject *parent)
    : QObject(parent), m_board(board), m_terminal(this)
{
    connect(&m_terminal, &PseudoTerminal::bytesArrived, &m_board, &VirtualBoard::receive);
}

bool LinePlug::plugIn(QString *errorMessage)
{
    if (isPluggedIn())
        return true;
    if (!m_terminal.open(errorMessage))
        return false;
    if (!m_linkPath.isEmpty() &&
        !m_link.create(m_linkPath, m_terminal.devicePath(), errorMessage)) {
        m_terminal.close();
        return false;
    }
    Q_EMIT pluggedIn(m_terminal.devicePath());
    return true;
}

void LinePlug::unplug()
{
    if (!isPluggedIn())
        return;
    // Told before the line goes, so that what was cut short comes before the news of why.
    m_board.finish();
    m_terminal.close();
    m_link.remove();
    Q_EMIT unplugged();
}

void LinePlug::setPluggedIn(bool pluggedIn)
{
    if (!pluggedIn) {
        unplug();
        return;
    }
    QString error;
    if (!plugIn(&error))
        Q_EMIT failed(error);
}
