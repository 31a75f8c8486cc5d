#pragma once

#include "protocol/boardnumbers.h"

#include <QByteArray>
#include <QString>

#include <array>

// All that a page shows of the panel, sent whole whenever anything in it changed: a page
// that missed some changes is right again with the next one it takes.
struct PanelSnapshot
{
    enum class Line { Closed, Up, Waiting, Lost };

    std::array<int, Board::ChannelCount> channels{};
    int master = 0;
    int mode = 0;      // 1..12, or 0 before one was chosen
    int liveScene = 0; // 1..12, or 0 for none
    bool liveChanged = false;
    int fadingTo = 0;    // the scene a recall is fading to, 1..12, or 0 when none fades
    int fadePercent = 0; // how far its time has come, 0..100
    bool blackout = false;
    int fadeTenths = 0;
    QString port;
    Line line = Line::Closed;
    // The cue list: the current cue and the standby one, "2.5 Label", empty for none; and
    // whether the current one runs or is paused.
    QString cue;
    QString nextCue;
    bool cueRunning = false;
    bool cuePaused = false;

    bool operator==(const PanelSnapshot &other) const = default;

    // One JSON object, as the page reads it:
    // {"state":{"ch":[..],"m":L,"mode":N,"live":N,"changed":B,"to":N,"pc":P,"bo":B,
    //  "fade":T,"port":"..","line":"up","cue":"..","next":"..","run":B,"held":B}}
    QByteArray toJson() const;
};
