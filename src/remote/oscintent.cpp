#include "oscintent.h"

#include "remote/oscmessage.h"

#include <array>
#include <cmath>
#include <cstring>

namespace {

using Kind = Intent::Kind;
using Refusal = InputCounts::Refusal;

// What follows the address.
enum class Arguments {
    Level,     // one level
    Seconds,   // one fade time
    Press,     // a button: nothing, or its press or release
    PressFade, // a button, and after its press the seconds of a fade of its own
    Cue,       // a cue's number
    CueTimes,  // a cue's number, then its up and down times if given
};

// An address of a kind that names a channel, a scene or a mode ends in its number N, the
// first one 1.
struct Address
{
    const char *text;
    Kind kind;
    Arguments arguments;
};

constexpr std::array<Address, 19> Addresses = {{
    {"/dimmer/channel/", Kind::Channel, Arguments::Level},
    {"/dimmer/master", Kind::Master, Arguments::Level},
    {"/dimmer/fullon/", Kind::FullOn, Arguments::Press},
    {"/dimmer/off/", Kind::Off, Arguments::Press},
    {"/dimmer/master/fullon", Kind::MasterFullOn, Arguments::Press},
    {"/dimmer/alloff", Kind::AllOff, Arguments::Press},
    {"/dimmer/download", Kind::Download, Arguments::Press},
    {"/dimmer/scene/", Kind::Recall, Arguments::PressFade},
    {"/dimmer/mode/", Kind::Mode, Arguments::Press},
    {"/dimmer/blackout", Kind::Blackout, Arguments::Press},
    {"/dimmer/sendall", Kind::SendAll, Arguments::Press},
    {"/dimmer/fade", Kind::FadeTime, Arguments::Seconds},
    {"/dimmer/undo", Kind::Undo, Arguments::Press},
    {"/dimmer/redo", Kind::Redo, Arguments::Press},
    {"/dimmer/go", Kind::Go, Arguments::Press},
    {"/dimmer/back", Kind::Back, Arguments::Press},
    {"/dimmer/pause", Kind::Pause, Arguments::Press},
    {"/dimmer/cue/goto", Kind::GotoCue, Arguments::Cue},
    {"/dimmer/cue/record", Kind::RecordCue, Arguments::CueTimes},
}};

// The desk counts a fade time in tenths of a second; a remote names it in seconds.
constexpr int TenthsPerSecond = 10;

// How one number argument is read: up to its top as an int32 and as a float32, then
// times its factor, rounded.
struct Reading
{
    double intTop;
    double intFactor;
    double floatTop;
    double floatFactor;
};

// A level: an int32 0..99, or a float32 0.0..1.0 as a tablet's fader sends it.
constexpr Reading LevelReading{Board::FullOn, 1, 1, Board::FullOn};
// A fade time in seconds, either type, kept in tenths.
constexpr double LongestFadeSeconds = Intent::LongestFade / double(TenthsPerSecond);
constexpr Reading FadeReading{LongestFadeSeconds, TenthsPerSecond, LongestFadeSeconds,
                              TenthsPerSecond};
// A cue's number, 0.1 to 9999.9, and its times, 0 to 600 s, either type, kept in tenths.
// A float32 holds 9999.9 as 9999.900390625: what rounds to the highest tenth is taken.
constexpr double HighestCue = Intent::HighestCueNumber / double(TenthsPerSecond);
constexpr double FloatSlack = 0.04;
constexpr Reading CueReading{HighestCue, TenthsPerSecond, HighestCue + FloatSlack,
                             TenthsPerSecond};
constexpr double LongestCueSeconds = Intent::LongestCueTime / double(TenthsPerSecond);
constexpr Reading CueTimeReading{LongestCueSeconds, TenthsPerSecond,
                                 LongestCueSeconds + FloatSlack, TenthsPerSecond};

bool isNumber(const OscMessage::Argument &argument)
{
    return argument.type == 'i' || argument.type == 'f';
}

// The index that address names of candidate's, as the intent counts it: 0 for a single
// control; none when it names none of candidate's.
std::optional<int> indexIn(const QByteArray &address, const Address &candidate)
{
    const Intent::Range indexes = Intent::indexes(candidate.kind);
    // A cue's number comes as an argument.
    const bool cue =
        candidate.arguments == Arguments::Cue || candidate.arguments == Arguments::CueTimes;
    if (indexes.isEmpty() || cue)
        return address == candidate.text ? std::optional<int>(0) : std::nullopt;
    if (!address.startsWith(candidate.text))
        return std::nullopt;
    const QByteArray rest = address.mid(qsizetype(std::strlen(candidate.text)));
    bool ok = false;
    const int n = rest.toInt(&ok);
    if (!ok || n < 1 || n > indexes.count() || QByteArray::number(n) != rest)
        return std::nullopt;
    return indexes.lowest + n - 1;
}

Refusal readNumber(const OscMessage::Argument &argument, const Reading &reading, int &number)
{
    if (!isNumber(argument))
        return Refusal::WrongArguments;
    const bool whole = argument.type == 'i';
    const double value = whole ? double(argument.integer) : double(argument.real);
    // Written so that NaN fails it too.
    if (!(value >= 0 && value <= (whole ? reading.intTop : reading.floatTop)))
        return Refusal::OutOfRange;
    number = int(std::lround(value * (whole ? reading.intFactor : reading.floatFactor)));
    return Refusal::None;
}

// A cue's number, and for a record its up time and its down time, which is the up time when
// not given; a time not given is 0.
void readCue(const std::vector<OscMessage::Argument> &given, OscIntent &asked)
{
    Intent &intent = asked.intent;
    asked.refusal = readNumber(given[0], CueReading, intent.index);
    if (asked.refusal == Refusal::None && intent.index < 1)
        asked.refusal = Refusal::OutOfRange;
    if (asked.refusal == Refusal::None && given.size() > 1)
        asked.refusal = readNumber(given[1], CueTimeReading, intent.value);
    if (asked.refusal == Refusal::None && given.size() > 2) {
        int down = 0;
        asked.refusal = readNumber(given[2], CueTimeReading, down);
        intent.fade = down;
    }
}

void readArguments(const OscMessage &message, Arguments arguments, OscIntent &asked)
{
    const std::vector<OscMessage::Argument> &given = message.arguments;
    const std::size_t most = arguments == Arguments::CueTimes    ? 3
                             : arguments == Arguments::PressFade ? 2
                                                                 : 1;
    const std::size_t least =
        arguments == Arguments::Press || arguments == Arguments::PressFade ? 0 : 1;
    if (given.size() < least || given.size() > most) {
        asked.refusal = Refusal::WrongArguments;
        return;
    }
    switch (arguments) {
    case Arguments::Level:
        asked.levelType = given[0].type;
        asked.refusal = readNumber(given[0], LevelReading, asked.intent.value);
        return;
    case Arguments::Seconds:
        asked.refusal = readNumber(given[0], FadeReading, asked.intent.value);
        return;
    case Arguments::Cue:
    case Arguments::CueTimes:
        readCue(given, asked);
        return;
    case Arguments::Press:
    case Arguments::PressFade:
        break;
    }
    asked.refusal = Refusal::None;
    if (given.empty())
        return;
    const OscMessage::Argument &press = given[0];
    if (!isNumber(press) || (press.type == 'f' && std::isnan(press.real))) {
        asked.refusal = Refusal::WrongArguments;
        return;
    }
    asked.release = press.type == 'i' ? press.integer == 0 : press.real == 0.0f;
    if (given.size() == 2) {
        int tenths = 0;
        asked.refusal = readNumber(given[1], FadeReading, tenths);
        asked.intent.fade = tenths;
    }
}

} // namespace

OscIntent OscIntent::read(const OscMessage &message, Source source)
{
    OscIntent asked;
    asked.intent.source = source;
    for (const Address &address : Addresses) {
        if (const std::optional<int> index = indexIn(message.address, address)) {
            asked.intent.kind = address.kind;
            asked.intent.index = *index;
            readArguments(message, address.arguments, asked);
            break;
        }
    }
    return asked;
}

QByteArray OscIntent::levelAddress(int address)
{
    return address < Board::ChannelCount ? Addresses[0].text + QByteArray::number(address + 1)
                                         : QByteArray(Addresses[1].text);
}
