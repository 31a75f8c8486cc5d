#pragma once

#include "control/intent.h"

#include <QString>

#include <array>
#include <sys/socket.h>

// The seam between the panel and its remote control over OSC, which is a module of its own,
// loaded only when --osc asks for it: a panel started without it loads neither the network
// library nor liblo. Nothing crosses but these two interfaces and plain values, so the
// module needs no symbol of the program's.

// The panel as remote control sees it: its levels, and the intents a remote control asks for.
class OscPanel
{
public:
    // The eight channels, then the master.
    using Levels = std::array<int, Board::ChannelCount + 1>;

    virtual ~OscPanel() = default;
    virtual Levels levels() const = 0;
    virtual Intent::Outcome act(const Intent &intent) = 0;
};

// Remote control over OSC on one UDP port.
class OscRemote
{
public:
    virtual ~OscRemote() = default;
    // false, with a message naming the address and the reason, when it cannot be had.
    virtual bool listen(const sockaddr_storage &at, QString *errorMessage) = 0;
    // Told every level from now on, as ints 0..99, or as floats 0.0..1.0.
    virtual void addFeedbackTarget(const sockaddr_storage &target, bool floats) = 0;
    // A level of the panel's changed: the remote controls hear of it soon.
    virtual void levelsChanged() = 0;
    // What became of the messages, one line for the end of the run.
    virtual QString countsSummary() const = 0;
};

// The module's one entry point, found by name: remote control of panel.
extern "C" {
using DimmerOscCreate = OscRemote *(*)(OscPanel *panel);
}
inline constexpr const char *DimmerOscCreateName = "dimmer_osc_create";
