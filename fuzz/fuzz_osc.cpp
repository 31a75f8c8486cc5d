// Any datagram, handed to the remote control of the real panel on a real pseudo-terminal
// as if a remote control on the loopback had sent it; every level is told back to that
// remote control.
//
// Checks: each datagram is counted exactly once; one that is not taken puts nothing on
// the line and moves no slider; what goes on the line decodes, as the board reads it,
// into packets and frames without a dropped byte; LevelBuf follows the sliders; every
// datagram told back is one of /dimmer/channel/1..8 and /dimmer/master with a level
// 0..99; nothing ends the panel.

#include "control/levelslider.h"
#include "link/boardnumbers.h"
#include "remote/oscserver.h"
#include "support/files.h"
#include "support/osc.h"
#include "support/panelfixture.h"
#include "support/wire.h"

#include <QApplication>
#include <QNetworkDatagram>
#include <QSet>
#include <QUdpSocket>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <variant>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

struct Remote
{
    Remote()
    {
        require(panel.failure().isEmpty());
        // Every byte at once, so that each input's bytes are all on the line when it is
        // checked; the line's pace has its own tests.
        panel.link.setPacing(false);
        // Stored scenes, so that a recall moves sliders.
        require(Files::write(panel.scenePath(), Wire::frame(Wire::countingRecords()).mid(1, 96)));
        server = std::make_unique<OscServer>(*panel.form);
        require(server->listen({QHostAddress(QHostAddress::LocalHost), 0}, nullptr));
        require(tablet.bind(QHostAddress::LocalHost, 0));
        for (int level = Board::Off; level <= Board::FullOn; ++level) {
            told << Osc::message("/dimmer/master", {level});
            for (int n = 1; n <= Board::ChannelCount; ++n)
                told << Osc::message("/dimmer/channel/" + QByteArray::number(n), {level});
        }
    }

    // The eight channel levels, then the master.
    QList<int> levels() const
    {
        QList<int> levels;
        for (int i = 0; i < Board::ChannelCount; ++i)
            levels << panel.VScroll1(i)->level();
        return levels << panel.VScroll2()->level();
    }

    PanelFixture panel;
    std::unique_ptr<OscServer> server;
    QUdpSocket tablet;
    QSet<QByteArray> told;
};

Remote *remote = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    remote = new Remote;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const OscCounts before = remote->server->counts();
    const QList<int> levelsBefore = remote->levels();
    remote->server->handleDatagram(
        QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)),
        {QHostAddress(QHostAddress::LocalHost), remote->tablet.localPort()});
    const QByteArray sent = remote->panel.line.readAvailable();
    const OscCounts after = remote->server->counts();

    require(after.total() == before.total() + 1);
    if (after.taken == before.taken) {
        require(sent.isEmpty());
        require(remote->levels() == levelsBefore);
    }
    for (const BoardDecoder::Event &event : Wire::decodeWhole(sent))
        require(!std::holds_alternative<BoardDecoder::Dropped>(event));
    const QList<int> levels = remote->levels();
    for (int i = 0; i < Board::ChannelCount; ++i)
        require(remote->panel.state.LevelBuf[i] == levels[i]);
    require(remote->panel.fatals.isEmpty() && remote->panel.warnings.isEmpty());
    while (remote->tablet.hasPendingDatagrams())
        require(remote->told.contains(remote->tablet.receiveDatagram().data()));
    return 0;
}
