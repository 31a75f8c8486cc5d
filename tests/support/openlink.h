#pragma once

#include "link/seriallink.h"
#include "support/ptypair.h"
#include "support/wire.h"

#include <QSignalSpy>
#include <QString>

#include <algorithm>

// A link opened on a real pseudo-terminal, the states it went through recorded.
struct OpenLink
{
    PtyPair line;
    SerialLink link;
    QSignalSpy states{&link, &SerialLink::stateChanged};
    QString problem;

    bool open()
    {
        problem = line.errorString();
        return line.isOpen() && link.open(line.slavePath(), &problem);
    }
    // The times the line was lost.
    int losses() const
    {
        return int(std::count_if(states.begin(), states.end(), [](const QList<QVariant> &state) {
            return state.at(0).value<SerialLink::State>() == SerialLink::State::Lost;
        }));
    }
};

// Each message an action of its own, as a drag's positions are.
inline void writeAll(SerialLink &link, const Wire::Messages &messages)
{
    for (const QByteArray &message : messages) {
        link.beginAction();
        link.send(Wire::message(message));
    }
}

// Messages of which none takes out another: every byte must arrive. A level for each
// channel, a download and a mode, over and over, the levels and frames different each time.
inline Wire::Messages distinct(int count)
{
    Wire::Messages messages;
    for (int i = 0; i < count; ++i) {
        const int round = i / 10;
        messages << (i % 10 == 8   ? Wire::frame(char(round))
                     : i % 10 == 9 ? Wire::selectMode(round % 12)
                                   : Wire::setLevel(i % 10, round % 100));
    }
    return messages;
}
