#pragma once

#include "control/intent.h"

#include <QtGlobal>

#include <cstdint>

// What every remote input counts of its messages: taken, held while a window that takes all
// input was up, or refused, and why. Each input adds the counts of its own kind of message
// and says them all in its own words.
struct InputCounts
{
    // Why a message asks nothing of the desk.
    enum class Refusal : std::uint8_t {
        None,
        Unknown,        // an address or an action that no control has
        WrongArguments, // a count or a type that the control does not take
        OutOfRange,     // a number that the control does not take
        Malformed,      // not a message of its kind at all
    };

    qint64 taken = 0;
    qint64 held = 0;
    qint64 unknown = 0;
    qint64 wrongArguments = 0;
    qint64 outOfRange = 0;
    qint64 malformed = 0;

    bool operator==(const InputCounts &) const = default;

    qint64 total() const
    {
        return taken + held + unknown + wrongArguments + outOfRange + malformed;
    }

    void add(Refusal why)
    {
        // In the order of Refusal.
        qint64 InputCounts::*const counts[] = {nullptr, &InputCounts::unknown,
                                               &InputCounts::wrongArguments,
                                               &InputCounts::outOfRange, &InputCounts::malformed};
        if (why != Refusal::None)
            ++(this->*counts[int(why)]);
    }

    // What the desk made of a message's intent. One it had nothing to do for was taken all
    // the same, as a click on a control that already shows it is.
    void add(Intent::Outcome outcome) { ++(outcome == Intent::Outcome::Held ? held : taken); }
};
