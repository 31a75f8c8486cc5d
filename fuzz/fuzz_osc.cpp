// Any datagram, handed to the remote control of the desk as if a remote control on the
// loopback had sent it; every level is told back to that remote control.
//
// Checks: each datagram is counted exactly once; one that is not taken puts nothing on
// the line and moves no level; what goes on the line decodes, as the board reads it,
// into packets and frames without a dropped byte; every datagram told back is one of
// /dimmer/channel/1..8 and /dimmer/master with a level 0..99; the desk never fails.

#include "app/deskaccess.h"
#include "fuzzing.h"
#include "link/seriallink.h"
#include "protocol/boardnumbers.h"
#include "remote/oscserver.h"
#include "support/deskfixture.h"
#include "support/files.h"
#include "support/osc.h"
#include "support/wire.h"

#include <QCoreApplication>
#include <QNetworkDatagram>
#include <QSet>
#include <QUdpSocket>

#include <cstdint>
#include <memory>
#include <variant>

namespace {

struct Remote
{
    Remote()
    {
        require(fixture.isValid());
        // Stored scenes, so that a recall moves levels.
        require(
            Files::write(fixture.scenePath(), Wire::frame(Wire::countingRecords()).mid(1, 96)));
        server = std::make_unique<OscServer>(access);
        require(server->listen({QHostAddress(QHostAddress::LocalHost), 0}, nullptr));
        require(tablet.bind(QHostAddress::LocalHost, 0));
        for (int level = Board::Off; level <= Board::FullOn; ++level) {
            told << Osc::message("/dimmer/master", {level});
            for (int n = 1; n <= Board::ChannelCount; ++n)
                told << Osc::message("/dimmer/channel/" + QByteArray::number(n), {level});
        }
    }

    DeskFixture fixture;
    SerialLink link;
    DeskAccess access{fixture.desk, link};
    std::unique_ptr<OscServer> server;
    QUdpSocket tablet;
    QSet<QByteArray> told;
};

Remote *remote = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    new QCoreApplication(*argc, *argv);
    remote = new Remote;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const OscCounts before = remote->server->counts();
    const QList<int> levelsBefore = remote->fixture.levels();
    remote->server->handleDatagram(
        QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)),
        {QHostAddress(QHostAddress::LocalHost), remote->tablet.localPort()});
    const QByteArray sent = remote->fixture.line.take();
    const OscCounts after = remote->server->counts();

    require(after.total() == before.total() + 1);
    if (after.taken == before.taken) {
        require(sent.isEmpty());
        require(remote->fixture.levels() == levelsBefore);
    }
    for (const BoardDecoder::Event &event : Wire::decodeWhole(sent))
        require(!std::holds_alternative<BoardDecoder::Dropped>(event));
    require(remote->fixture.failures.isEmpty() && remote->fixture.refusals.isEmpty());
    while (remote->tablet.hasPendingDatagrams())
        require(remote->told.contains(remote->tablet.receiveDatagram().data()));
    return 0;
}
