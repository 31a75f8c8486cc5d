#pragma once

#include "board/devicelink.h"
#include "board/pseudoterminal.h"

#include <QObject>
#include <QString>

class VirtualBoard;

// The board's end of the cable to the panel: its own pseudo-terminal, and the symbolic
// link that names it, both of which go when the cable is pulled out, as a USB serial
// adapter's device and its /dev/serial/by-id link go. A panel on the line then sees it
// hang up. The board keeps its levels, mode and scenes, as the same board would; only a
// message that was still arriving is cut short. Plugged in again, the line is a new
// pseudo-terminal, and the link points at it before anyone is told its name.
class LinePlug : public QObject
{
    Q_OBJECT

public:
    LinePlug(VirtualBoard &board, QObject *parent);

    // Both before the first plugIn(); they hold for every plug-in after.
    void setFullSpeed(bool fullSpeed) { m_terminal.setFullSpeed(fullSpeed); }
    void setLinkPath(const QString &linkPath) { m_linkPath = linkPath; } // empty: no link

    bool isPluggedIn() const { return m_terminal.isOpen(); }
    // Empty while pulled out.
    QString devicePath() const { return m_terminal.devicePath(); }

    // False with the reason, still pulled out, when there is no pseudo-terminal or the
    // link cannot be made; true, and nothing done, when plugged in already.
    bool plugIn(QString *errorMessage);
    void unplug();
    // For signals and buttons, which have nobody to answer: a failure is told by failed().
    void setPluggedIn(bool pluggedIn);

Q_SIGNALS:
    // The link, if any, is in place.
    void pluggedIn(const QString &devicePath);
    void unplugged();
    void failed(const QString &message);

private:
    VirtualBoard &m_board;
    PseudoTerminal m_terminal;
    DeviceLink m_link;
    QString m_linkPath;
};
