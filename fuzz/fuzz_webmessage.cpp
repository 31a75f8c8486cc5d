// Any text a page may send, handed to the web remote's message reader.
//
// Checks: nothing crashes or reads beyond the text; an intent that is read names a channel,
// a scene or a mode that exists and a value its kind takes, so that the desk is never asked
// for anything out of range; and reading the same text again gives the same.

#include "fuzzing.h"
#include "web/webmessage.h"

#include <cstdint>

namespace {} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView text(reinterpret_cast<const char *>(data), qsizetype(size));
    const WebMessage message = WebMessage::read(text);
    if (message.acts())
        require(message.intent.fits());
    else
        require(message.hello || (message.token.isEmpty() && message.intent == Intent{}));
    const WebMessage again = WebMessage::read(text);
    require(again.refusal == message.refusal && again.hello == message.hello &&
            again.intent == message.intent && again.token == message.token);
    return 0;
}
