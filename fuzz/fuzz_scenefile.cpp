// The scene file as the desk reads it, whatever it holds: each of the twelve scenes is
// recalled and all of them downloaded, on the real scene file in a temporary folder.
//
// Checks: a recall sends only well-formed level packets, in channel order, one for each
// channel that changes, never a level above 99; a scene holding such a byte is refused
// whole, with nothing sent and nothing moved; the download sends exactly the file's
// twelve records (zeros where it holds none), framed; the desk never fails.

#include "fuzzing.h"
#include "protocol/boardnumbers.h"
#include "support/deskactions.h"
#include "support/deskfixture.h"
#include "support/wire.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdint>

namespace {

DeskFixture *fixture = nullptr;

void checkRecall(const QByteArray &file, int scene)
{
    const QByteArray stored = file.mid(8 * scene, 8).leftJustified(8, '\0');
    const QList<int> before = fixture->levels();
    const qsizetype refusals = fixture->refusals.size();
    fixture->desk.apply(want(Intent::Kind::Recall, scene + 1));
    const QByteArray sent = fixture->line.take();

    bool refused = false;
    for (const char byte : stored)
        refused = refused || std::uint8_t(byte) > Board::FullOn;
    require(fixture->refusals.size() == refusals + (refused ? 1 : 0));
    require(fixture->failures.isEmpty());
    QByteArray expected;
    for (int k = 0; k < Board::ChannelCount && !refused; ++k) {
        if (before[k] != std::uint8_t(stored[k]))
            expected += Wire::setLevel(k, std::uint8_t(stored[k]));
    }
    require(sent == expected);
    for (int k = 0; k < Board::ChannelCount; ++k) {
        require(fixture->desk.channel(k) == (refused ? before[k] : std::uint8_t(stored[k])));
        require(fixture->desk.registers().LevelBuf[k] == fixture->desk.channel(k));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    new QCoreApplication(*argc, *argv);
    fixture = new DeskFixture;
    require(fixture->isValid());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile out(fixture->scenePath());
        require(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        require(out.write(file) == file.size());
    }
    for (int scene = 0; scene < Board::SceneCount; ++scene)
        checkRecall(file, scene);
    fixture->desk.apply(want(Intent::Kind::Download));
    const QByteArray body = file.left(96).leftJustified(96, '\0');
    require(fixture->line.take() == Wire::frame(body));
    return 0;
}
