#pragma once

#include "protocol/boarddecoder.h"

#include <QPlainTextEdit>
#include <QString>

// The scrolling record of what arrived on the line: one entry for each event, what it
// means to the board and its bytes in hex, dropped bytes in red. Only the newest entries
// are kept, so that a long session cannot grow without bound.
class EventLog : public QPlainTextEdit
{
    Q_OBJECT

public:
    static constexpr int MaximumEntries = 2000;

    explicit EventLog(QWidget *parent);

    // What the event means, in the reader's language, e.g. "Channel 4 = 40" ("調光四 ＝ 40").
    static QString meaning(const BoardDecoder::Event &event);
    // The name of channel 0..7: "Channel 1".."Channel 8", in Chinese the panel's own names
    // ("調光一".."調光八").
    static QString channelName(int channel);
    static QString masterName();

    void append(const BoardDecoder::Event &event);
};
