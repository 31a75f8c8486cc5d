#pragma once

#include "app/socketaddress.h"
#include "cli/commandline.h"
#include "dmx/dmxpatch.h"
#include "midi/midiplugin.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <optional>

// What the command line asks of the panel. With no option the panel opens the board's
// fixed port and the scene file in the user's data folder.
struct Options
{
    Q_DECLARE_TR_FUNCTIONS(Options)

public:
    CommandLine::Verdict verdict;
    QString portName; // the port to open: --port, or the board's fixed port
    bool portGiven = false;
    bool choosePort = false;
    QString sceneFile; // empty: the one in the user's data folder
    bool sceneFileGiven = false;
    QString cuesFile;                 // empty: beside the scene file
    std::optional<SocketAddress> osc; // --osc: where remote control listens; none: off
    // --osc-feedback: targets told every level too, as ints or as floats.
    struct FeedbackTarget
    {
        SocketAddress to;
        bool floats = false;
    };
    QList<FeedbackTarget> oscFeedback;
    std::optional<SocketAddress> web; // --web: where the web remote listens (TCP); none: off
    // --sacn, --artnet: where a console's levels are taken from; none: off.
    std::optional<DmxPatch> sacn;
    std::optional<DmxPatch> artNet;
    QString netInterface; // --net-interface: where sACN joins its group; empty: everywhere
    // --midi PATTERN, --midi-profile, --midi-api: the MIDI surface; none: off.
    std::optional<MidiSettings> midi;
    // --midi-list: the MIDI ports, listed instead of starting, on the system of midi.
    bool midiList = false;

    static Options parse(const CommandLine::Arguments &arguments);
};
