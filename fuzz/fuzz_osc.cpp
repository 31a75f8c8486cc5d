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
#include "control/module1.h"
#include "link/boardnumbers.h"
#include "link/seriallink.h"
#include "remote/oscserver.h"
#include "scenes/scenefile.h"
#include "support/files.h"
#include "support/osc.h"
#include "support/ptypair.h"
#include "support/wire.h"
#include "ui/form1.h"

#include <QApplication>
#include <QNetworkDatagram>
#include <QSet>
#include <QTemporaryDir>
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
    Remote() : scenes(folder.filePath(SceneFile::fileName()))
    {
        require(line.isOpen() && folder.isValid());
        // Stored scenes, so that a recall moves sliders.
        require(Files::write(scenes.path(), Wire::frame(Wire::countingRecords()).mid(1, 96)));
        form = std::make_unique<Form1>(state, link, scenes);
        QObject::connect(form.get(), &Form1::failed, form.get(),
                         [](const QString &) { std::abort(); });
        QObject::connect(form.get(), &Form1::warned, form.get(),
                         [](const QString &) { std::abort(); });
        require(form->Form_Load(line.slavePath(), nullptr));
        server = std::make_unique<OscServer>(*form);
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
        for (int i = 0; i < Board::ChannelCount; ++i) {
            const QString name = QStringLiteral("VScroll1_%1").arg(i);
            levels << form->findChild<LevelSlider *>(name)->level();
        }
        return levels << form->findChild<LevelSlider *>(QStringLiteral("VScroll2"))->level();
    }

    PtyPair line;
    QTemporaryDir folder;
    Module1 state;
    SerialLink link;
    SceneFile scenes;
    std::unique_ptr<Form1> form;
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
    const QByteArray sent = remote->line.readAvailable();
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
        require(remote->state.LevelBuf[i] == levels[i]);
    while (remote->tablet.hasPendingDatagrams())
        require(remote->told.contains(remote->tablet.receiveDatagram().data()));
    return 0;
}
