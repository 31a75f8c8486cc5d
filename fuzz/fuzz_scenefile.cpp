// The scene file as the panel reads it, whatever it holds: each of the twelve scenes is
// recalled through its scene button and all of them downloaded through the send-settings
// button, on the real panel and a real pseudo-terminal.
//
// Checks: a recall sends only well-formed level packets, in channel order, one for each
// channel that changes, never a level above 99; a scene holding such a byte is refused
// whole, with nothing sent and nothing moved; the download sends exactly the file's
// twelve records (zeros where it holds none), framed; nothing ends the panel.

#include "control/module1.h"
#include "link/boardnumbers.h"
#include "link/seriallink.h"
#include "scenes/scenefile.h"
#include "support/panelfixture.h"
#include "support/ptypair.h"
#include "support/wire.h"
#include "ui/form1.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

struct Panel
{
    Panel() : scenes(folder.filePath(SceneFile::fileName()))
    {
        require(line.isOpen() && folder.isValid());
        form = std::make_unique<Form1>(state, link, scenes);
        QObject::connect(form.get(), &Form1::failed, form.get(),
                         [](const QString &) { std::abort(); });
        QObject::connect(form.get(), &Form1::warned, form.get(),
                         [this](const QString &) { ++refusals; });
        require(form->Form_Load(line.slavePath(), nullptr));
        // Every byte at once, so that each input is checked without waiting for the
        // line's pace, which has its own tests.
        link.setPacing(false);
    }

    QPushButton *button(const char *name, int index = -1) const
    {
        return controlOf<QPushButton>(form.get(), name, index);
    }

    PtyPair line;
    QTemporaryDir folder;
    Module1 state;
    SerialLink link;
    SceneFile scenes;
    std::unique_ptr<Form1> form;
    int refusals = 0;
};

Panel *panel = nullptr;

void checkRecall(const QByteArray &file, int scene)
{
    const QByteArray stored = file.mid(8 * scene, 8).leftJustified(8, '\0');
    const auto before = panel->state.LevelBuf;
    const int refusals = panel->refusals;
    panel->button("Option1", scene)->click();
    const QByteArray sent = panel->line.readAvailable();

    bool refused = false;
    for (const char byte : stored)
        refused = refused || std::uint8_t(byte) > Board::FullOn;
    require(panel->refusals == refusals + (refused ? 1 : 0));
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
    panel = new Panel;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile out(panel->scenes.path());
        require(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        require(out.write(file) == file.size());
    }
    for (int scene = 0; scene < Board::SceneCount; ++scene)
        checkRecall(file, scene);
    panel->button("Command5")->click();
    const QByteArray body = file.left(96).leftJustified(96, '\0');
    require(panel->line.readAvailable() == Wire::frame(body));
    return 0;
}
