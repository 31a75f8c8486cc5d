// Any text a page may send, handed to the web remote's message reader.
//
// Checks: nothing crashes or reads beyond the text; a message that is taken names a
// channel, a scene or a mode that exists and a value its control takes, so that the desk
// is never asked for anything out of range; and reading the same text again gives the same.

#include "web/webmessage.h"

#include <cstdint>
#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// The highest number and value each action takes; -1 for none.
void checkRanges(const WebMessage &message)
{
    using Action = WebMessage::Action;
    int numbers = 0;
    int values = -1;
    switch (message.action) {
    case Action::Hello:
        require(message.number == 0 && message.value == 0);
        return;
    case Action::Channel:
        numbers = 8;
        values = 99;
        break;
    case Action::FullOn:
    case Action::Off:
        numbers = 8;
        break;
    case Action::Master:
        values = 99;
        break;
    case Action::Scene:
    case Action::Mode:
        numbers = 12;
        break;
    case Action::Fade:
        values = 100;
        break;
    case Action::MasterFullOn:
    case Action::AllOff:
    case Action::Blackout:
        break;
    }
    require(numbers == 0 ? message.number == 0 : message.number >= 1 && message.number <= numbers);
    require(values < 0 ? message.value == 0 : message.value >= 0 && message.value <= values);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView text(reinterpret_cast<const char *>(data), qsizetype(size));
    const WebMessage message = WebMessage::read(text);
    if (message.outcome == WebMessage::Outcome::Act)
        checkRanges(message);
    else
        require(message.token.isEmpty());
    const WebMessage again = WebMessage::read(text);
    require(again.outcome == message.outcome && again.action == message.action &&
            again.number == message.number && again.value == message.value &&
            again.token == message.token);
    return 0;
}
