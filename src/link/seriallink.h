#pragma once

#include "link/linepace.h"
#include "link/linequeue.h"
#include "link/linesink.h"
#include "link/portproblem.h"
#include "protocol/boardimage.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// Owns the serial port to the dimmer board: opens it with the board's line settings, hands
// what the panel sends to the kernel at the line's own pace, whole message by whole message
// (a waiting message gives way to a newer one, see LineQueue), keeps what the board took
// (board()), and comes back when the line does: a port that goes away (an adapter pulled,
// the virtual board ended) is watched for under its stable name, opened again when it
// returns, and restored() then asks for the whole state to be sent again. Nothing ends the
// panel for a lost line.
//
// What comes back: a port named through a link (a /dev/serial/by-id name, a bridge's or the
// virtual board's --link) is whatever the link points to when it returns, a pseudo-terminal
// too, unless that is some program's controlling terminal; a port named by its own path
// comes back under the same path, but never a pseudo-terminal named by number, since the
// next program that asks for one gets that number: retry() takes it back at the operator's
// word.
class SerialLink : public QObject, public LineSink
{
    Q_OBJECT

public:
    enum class State {
        Closed,  // not opened yet, or let go
        Up,      // the line takes what is sent
        Waiting, // the line has taken nothing for a while: its far side reads nothing
        Lost,    // the port went away; it is watched for, and opened again when it is back
    };

    explicit SerialLink(QObject *parent = nullptr);
    ~SerialLink() override;

    // The device that the board's port number 4 stands for on this platform.
    static QString defaultPortName();

    // Returns false with a message naming the device and the reason when it cannot open.
    // A symbolic link is followed, so that the device is locked by its own name; it is
    // also the name the port is watched for under when it goes away.
    bool open(const QString &portName, QString *errorMessage);
    bool isOpen() const;
    // As given to open().
    QString portName() const { return m_device; }
    // The name a lost port is watched for: its stable name where it has one (see
    // PortNames::stable), else the name given.
    QString watchedName() const { return m_watched; }
    State state() const { return m_state; }

    // Takes one whole message, a command packet or the scene download frame, for the
    // line. On an idle line it reaches the kernel before this returns; on a busy one it
    // waits until the line has room. While the line is lost no level is kept (the whole
    // state goes again when it is back), but a download is: it goes again whole, as does a
    // download that the line's loss cut short.
    void beginAction() override;
    void send(const LineMessage &message) override;

    // What the board holds as far as the line took it.
    const BoardImage &board() const { return m_board; }
    // What the lamps kept from an earlier run, at start.
    void setBoard(const BoardImage &board) { m_board = board; }
    // A download that waits for the line to come back.
    bool isDownloadOwed() const { return m_owedFrame.has_value(); }
    // Whether a lost port is watched for and taken back by itself: false for a
    // pseudo-terminal named by its number.
    bool comesBackByItself() const { return m_comesBack; }
    // The operator's word that the lost port is theirs again: opened at once, even a
    // pseudo-terminal named by its number. When it will not open, stateChanged() tells why.
    bool retry() override;

    // Waits, for as long as the queue takes on the line and a few seconds at most, until
    // every queued message has been handed to the kernel; returns how many bytes were
    // not. Messages that miss the deadline are left out whole.
    qint64 drain();
    // Drains and lets go of the port, its lock and its exclusive use. A message that the
    // kernel took only in part, because nothing reads the line, is finished by a small
    // process of its own once the line takes bytes again: the line never ends on part of
    // a message.
    qint64 release();

    qint64 bytesQueued() const;

Q_SIGNALS:
    // reason: why the line was lost, or why it waits; empty otherwise.
    void stateChanged(SerialLink::State state, const QString &reason);
    // The port opened again after it was lost: the board holds what it held before, or
    // nothing if it was switched off, so the whole state goes again.
    void restored();
    // What the board took changed: board() tells it.
    void boardChanged();

private:
    bool openPort(const QString &name, QString *errorMessage);
    void pump();
    bool finishTail();
    void handOver(const LineMessage &message);
    void wrote(const std::uint8_t *bytes, std::size_t size);
    std::size_t driverQueued() const;
    int descriptor() const;
    void onReadable();
    void lose(const QString &reason);
    void tryReopen();
    bool reopen(QString *errorMessage);
    void took(const LineMessage &message);
    void closePort();
    void setState(State state, const QString &reason = {});

    QSerialPort m_port;
    LineQueue m_queue;
    LinePace m_pace;
    QTimer m_paceTimer;
    QTimer m_reopenTimer;
    std::unique_ptr<QSocketNotifier> m_writable; // while part of a message waits
    std::unique_ptr<QSocketNotifier> m_readable; // tells a hang-up
    std::vector<std::uint8_t> m_tail;            // what the kernel has not taken of a message
    std::optional<LineMessage> m_tailMessage;    // the message m_tail is the rest of
    bool m_tailStarted = false;                  // the kernel has taken the rest of it
    BoardImage m_board;
    // The last download handed over, until the line has had the time to carry it: a line
    // lost before then cut it short.
    std::optional<SceneDownloadFrame::Records> m_frameOnLine;
    LinePace::Clock::time_point m_frameCarriedBy{};
    std::optional<SceneDownloadFrame::Records> m_owedFrame;
    bool m_comesBack = true;
    QString m_refused; // the device a lost port's name led to that would not open
    QElapsedTimer m_refusedAt;
    QString m_device; // as given: QSerialPort drops the /dev/ of a path
    QString m_watched;
    State m_state = State::Closed;
    bool m_draining = false;
    bool m_pumping = false;
};
