// The scene file as the panel reads it, whatever it holds: each of the twelve scenes is
// recalled through its scene button and all of them downloaded through the send-settings
// button, on the real panel and a real pseudo-terminal.
//
// Checks: a recall sends only well-formed level packets, in channel order, one for each
// channel that changes, never a level above 99; a scene holding such a byte is refused
// whole, with nothing sent and nothing moved; the download sends exactly the file's
// twelve records (zeros where it holds none), framed; nothing ends the panel.

#include "link/boardnumbers.h"
#include "support/panelfixture.h"
#include "support/wire.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>

#include <cstdint>
#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

PanelFixture *panel = nullptr;

QPushButton *button(const char *name, int index = -1)
{
    return controlOf<QPushButton>(panel->form.get(), name, index);
}

void checkRecall(const QByteArray &file, int scene)
{
    const QByteArray stored = file.mid(8 * scene, 8).leftJustified(8, '\0');
    const auto before = panel->state.LevelBuf;
    const qsizetype refusals = panel->warnings.size();
    button("Option1", scene)->click();
    const QByteArray sent = panel->line.readAvailable();

    bool refused = false;
    for (const char byte : stored)
        refused = refused || std::uint8_t(byte) > Board::FullOn;
    require(panel->warnings.size() == refusals + (refused ? 1 : 0));
    require(panel->fatals.isEmpty());
    QByteArray expected;
    for (int k = 0; k < Board::ChannelCount && !refused; ++k) {
        if (before[k] != std::uint8_t(stored[k]))
            expected += Wire::setLevel(k, std::uint8_t(stored[k]));
    }
    require(sent == expected);
    for (int k = 0; k < Board::ChannelCount; ++k)
        require(panel->state.LevelBuf[k] == (refused ? before[k] : std::uint8_t(stored[k])));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    panel = new PanelFixture;
    require(panel->failure().isEmpty());
    // Every byte at once, so that each input is checked without waiting for the line's
    // pace, which has its own tests.
    panel->link.setPacing(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile out(panel->scenePath());
        require(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        require(out.write(file) == file.size());
    }
    for (int scene = 0; scene < Board::SceneCount; ++scene)
        checkRecall(file, scene);
    button("Command5")->click();
    const QByteArray body = file.left(96).leftJustified(96, '\0');
    require(panel->line.readAvailable() == Wire::frame(body));
    return 0;
}
