#include "remotecommand.h"

#include "control/desk.h"
#include "protocol/boardnumbers.h"
#include "remote/oscmessage.h"

#include <array>
#include <cmath>
#include <cstring>

namespace {

struct Address
{
    const char *text; // the whole address, or the part before N for an array
    RemoteCommand::Control control;
    int count; // elements of the array; 0 for a single control
};

using Control = RemoteCommand::Control;

constexpr std::array<Address, 14> Addresses = {{
    {"/dimmer/channel/", Control::VScroll1, Board::ChannelCount},
    {"/dimmer/master", Control::VScroll2, 0},
    {"/dimmer/fullon/", Control::Command1, Board::ChannelCount},
    {"/dimmer/off/", Control::Command2, Board::ChannelCount},
    {"/dimmer/master/fullon", Control::Command3, 0},
    {"/dimmer/alloff", Control::Command4, 0},
    {"/dimmer/download", Control::Command5, 0},
    {"/dimmer/scene/", Control::Option1, Board::SceneCount},
    {"/dimmer/mode/", Control::Option2, Board::ModeCount},
    {"/dimmer/blackout", Control::Blackout, 0},
    {"/dimmer/sendall", Control::SendAll, 0},
    {"/dimmer/fade", Control::FadeTime, 0},
    {"/dimmer/undo", Control::Undo, 0},
    {"/dimmer/redo", Control::Redo, 0},
}};

// The desk counts a fade time in tenths of a second; a remote names it in seconds.
constexpr int TenthsPerSecond = 10;
constexpr double LongestFadeSeconds = Desk::LongestFade / double(TenthsPerSecond);

bool isSlider(Control control)
{
    return control == Control::VScroll1 || control == Control::VScroll2;
}

// The element that the rest of an address names, 0-based; -1 when it names none.
int elementOf(const QByteArray &rest, int count)
{
    bool ok = false;
    const int n = rest.toInt(&ok);
    if (!ok || n < 1 || n > count || QByteArray::number(n) != rest)
        return -1;
    return n - 1;
}

// How one number argument is read: an int32 or a float32 from 0 to its top, times its
// factor, rounded.
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
constexpr Reading FadeReading{LongestFadeSeconds, TenthsPerSecond, LongestFadeSeconds,
                              TenthsPerSecond};

void readNumber(const OscMessage &message, const Reading &reading, RemoteCommand &command)
{
    using Outcome = RemoteCommand::Outcome;
    const OscMessage::Argument *argument =
        message.arguments.size() == 1 ? &message.arguments.front() : nullptr;
    if (!argument || (argument->type != 'i' && argument->type != 'f')) {
        command.outcome = Outcome::WrongArguments;
        return;
    }
    const bool whole = argument->type == 'i';
    const double value = whole ? double(argument->integer) : double(argument->real);
    // Written so that NaN fails it too.
    if (!(value >= 0 && value <= (whole ? reading.intTop : reading.floatTop))) {
        command.outcome = Outcome::LevelOutOfRange;
        return;
    }
    command.level = int(std::lround(value * (whole ? reading.intFactor : reading.floatFactor)));
    command.outcome = Outcome::Act;
}

void readPress(const OscMessage &message, RemoteCommand &command)
{
    using Outcome = RemoteCommand::Outcome;
    if (message.arguments.empty()) {
        command.outcome = Outcome::Act;
        return;
    }
    const OscMessage::Argument &argument = message.arguments.front();
    if (message.arguments.size() > 1 || (argument.type != 'i' && argument.type != 'f') ||
        (argument.type == 'f' && std::isnan(argument.real))) {
        command.outcome = Outcome::WrongArguments;
        return;
    }
    const bool pressed = argument.type == 'i' ? argument.integer != 0 : argument.real != 0.0f;
    command.outcome = pressed ? Outcome::Act : Outcome::Release;
}

} // namespace

RemoteCommand RemoteCommand::interpret(const OscMessage &message)
{
    RemoteCommand command;
    for (const Address &address : Addresses) {
        int index = -1;
        if (address.count == 0) {
            if (message.address != address.text)
                continue;
        } else {
            if (!message.address.startsWith(address.text))
                continue;
            index = elementOf(message.address.mid(qsizetype(std::strlen(address.text))),
                              address.count);
            if (index < 0)
                continue;
        }
        command.control = address.control;
        command.index = index;
        if (message.arguments.size() == 1)
            command.argumentType = message.arguments.front().type;
        if (isSlider(address.control))
            readNumber(message, LevelReading, command);
        else if (address.control == Control::FadeTime)
            readNumber(message, FadeReading, command);
        else
            readPress(message, command);
        return command;
    }
    return command;
}

QByteArray RemoteCommand::addressOf(Control control, int index)
{
    for (const Address &address : Addresses) {
        if (address.control == control)
            return address.count == 0 ? QByteArray(address.text)
                                      : address.text + QByteArray::number(index + 1);
    }
    return {};
}
