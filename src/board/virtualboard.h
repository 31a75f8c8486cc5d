#pragma once

#include "protocol/boarddecoder.h"
#include "protocol/boardstate.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <chrono>

// The board behind the line: decodes what arrives, applies it to the board's state and
// reports each event once it has been applied. When the line stays quiet with part of a
// message waiting, that message was cut short: the decoder is told so, and nothing that
// arrived stays unreported for longer than the quiet time.
class VirtualBoard : public QObject
{
    Q_OBJECT

public:
    // About a hundred byte times at 9600 baud: far longer than any pause inside a
    // message, which the panel writes in one go, and short enough for a person.
    static constexpr std::chrono::milliseconds QuietTime{100};

    explicit VirtualBoard(QObject *parent);

    // Every byte of the message, or of the dropped run, as it was on the line.
    static QByteArray rawBytes(const BoardDecoder::Event &event);

    void receive(const QByteArray &bytes);
    // The line is closing: whatever is still incomplete was cut short.
    void finish();

    const BoardState &state() const { return m_state; }
    const BoardDecoder &decoder() const { return m_decoder; }

Q_SIGNALS:
    // The state already holds the event's effect.
    void eventDecoded(const BoardDecoder::Event &event);

private:
    void onQuiet();
    void report(const std::vector<BoardDecoder::Event> &events);

    BoardDecoder m_decoder;
    BoardState m_state;
    QTimer m_quiet;
};
