#include "networkinput.h"

#include "control/desk.h"
#include "dmx/artnetpacket.h"
#include "dmx/sacnpacket.h"

#include <QStringList>

#include <chrono>

using namespace std::chrono_literals;

namespace {

// How often silent sources are looked for: a tenth of the shortest loss time.
constexpr std::chrono::milliseconds ExpiryInterval = 250ms;

// sACN's multicast group of a universe: 239.255 and the universe's two bytes.
std::uint32_t groupOf(int universe) { return 0xefff0000u | std::uint32_t(universe); }

QString dotted(std::uint32_t address)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(address >> 24)
        .arg(address >> 16 & 0xff)
        .arg(address >> 8 & 0xff)
        .arg(address & 0xff);
}

// The board's eight slots of a packet's slots, from the patch's start: as many as it holds.
QByteArrayView boardSlots(QByteArrayView values, int start)
{
    if (values.size() < start)
        return {};
    return values.sliced(start - 1).first(
        std::min<qsizetype>(values.size() - (start - 1), DmxMerge::SlotCount));
}

} // namespace

NetworkInput::NetworkInput(Desk &desk, const DeskClock &clock, QObject *parent)
    : QObject(parent), m_desk(desk), m_clock(clock), m_merge(clock)
{
    m_expiry.setInterval(ExpiryInterval);
    connect(&m_expiry, &QTimer::timeout, this, &NetworkInput::expire);
}

void NetworkInput::follow(const DmxPatch &patch)
{
    m_follows[index(patch.protocol)].patch = patch;
}

bool NetworkInput::listenSacn(const DmxPatch &patch, const QString &interface,
                              QString *errorMessage)
{
    follow(patch);
    DmxSocket &socket = m_follows[index(Protocol::Sacn)].socket;
    QString reason;
    if (!socket.bind(SacnPacket::Port, &reason)) {
        *errorMessage =
            tr("Cannot listen for sACN on UDP port %1: %2").arg(SacnPacket::Port).arg(reason);
        return false;
    }
    if (!socket.join(groupOf(patch.universe), interface, &reason)) {
        *errorMessage = tr("Cannot join sACN universe %1's multicast group %2: %3")
                            .arg(patch.universe)
                            .arg(dotted(groupOf(patch.universe)), reason);
        return false;
    }
    socket.setHandler([this](const DmxSocket::Datagram &datagram) { handleSacn(datagram.bytes); });
    return true;
}

bool NetworkInput::listenArtNet(const DmxPatch &patch, QString *errorMessage)
{
    follow(patch);
    DmxSocket &socket = m_follows[index(Protocol::ArtNet)].socket;
    QString reason;
    if (!socket.bind(ArtNetPacket::Port, &reason)) {
        *errorMessage =
            tr("Cannot listen for Art-Net on UDP port %1: %2").arg(ArtNetPacket::Port).arg(reason);
        return false;
    }
    socket.setHandler([this, &socket](const DmxSocket::Datagram &datagram) {
        const QByteArray reply = handleArtNet(datagram.bytes, datagram.from, datagram.to);
        // Art-Net's nodes answer on its port, whichever port the poll came from.
        if (!reply.isEmpty())
            socket.send(reply, datagram.from, ArtNetPacket::Port, datagram.to);
    });
    return true;
}

void NetworkInput::handleSacn(QByteArrayView datagram)
{
    Follow &follow = m_follows[index(Protocol::Sacn)];
    DmxCounts &counts = follow.counts;
    const SacnPacket packet = SacnPacket::read(datagram);
    using Kind = SacnPacket::Kind;
    switch (packet.kind) {
    case Kind::Data:
        break;
    case Kind::Extended:
        // Synchronisation holds a universe's levels until the others are there too: with one
        // universe there is nothing to wait for.
        ++counts.other;
        return;
    case Kind::Short:
        ++counts.tooShort;
        return;
    case Kind::Long:
        ++counts.tooLong;
        return;
    case Kind::WrongIdentifier:
        ++counts.wrongIdentifier;
        return;
    case Kind::WrongVector:
        ++counts.wrongVector;
        return;
    case Kind::WrongLength:
        ++counts.wrongLength;
        return;
    case Kind::TooManySlots:
        ++counts.tooManySlots;
        return;
    }
    if (!follow.patch || packet.universe != follow.patch->universe) {
        ++counts.otherUniverse;
    } else if (packet.startCode != 0) {
        ++counts.startCode;
    } else if (packet.priority > SacnPacket::HighestPriority) {
        ++counts.priority;
    } else if (packet.preview) {
        ++counts.preview;
    } else {
        const QByteArrayView cid(reinterpret_cast<const char *>(packet.cid.data()),
                                 qsizetype(packet.cid.size()));
        // The packet that ends a stream carries no levels to take.
        if (packet.terminated) {
            ++counts.endsOfStream;
            if (m_merge.end(Protocol::Sacn, cid)) {
                sourcesChanged(true);
                applyMerged();
            }
            return;
        }
        take(follow, {Protocol::Sacn, cid, packet.sourceName, packet.priority, packet.sequence,
                      boardSlots(packet.values, follow.patch->start)});
    }
}

QByteArray NetworkInput::handleArtNet(QByteArrayView datagram, std::uint32_t from,
                                      std::uint32_t to)
{
    Follow &follow = m_follows[index(Protocol::ArtNet)];
    DmxCounts &counts = follow.counts;
    const ArtNetPacket packet = ArtNetPacket::read(datagram);
    using Kind = ArtNetPacket::Kind;
    switch (packet.kind) {
    case Kind::Dmx:
        break;
    case Kind::Poll:
        return answerPoll(to);
    case Kind::PollReply:
        // The port is shared: a poller on this computer, answered on it, may be this socket.
        ++(datagram == m_lastReply ? counts.ownReplies : counts.other);
        return {};
    case Kind::Other:
        ++counts.other;
        return {};
    case Kind::Short:
        ++counts.tooShort;
        return {};
    case Kind::Long:
        ++counts.tooLong;
        return {};
    case Kind::WrongIdentifier:
        ++counts.wrongIdentifier;
        return {};
    case Kind::OldVersion:
        ++counts.oldVersion;
        return {};
    case Kind::TooManySlots:
        ++counts.tooManySlots;
        return {};
    }
    if (!follow.patch || packet.portAddress != follow.patch->universe) {
        ++counts.otherUniverse;
        return {};
    }
    // Art-Net knows its sources by their addresses, and numbers no packets for a receiver.
    const std::array<char, 4> key = {char(from >> 24), char(from >> 16), char(from >> 8),
                                     char(from)};
    const QByteArray name = dotted(from).toLatin1();
    take(follow, {Protocol::ArtNet, QByteArrayView(key.data(), qsizetype(key.size())), name,
                  DmxMerge::DefaultPriority, std::nullopt,
                  boardSlots(packet.values, follow.patch->start)});
    return {};
}

void NetworkInput::take(Follow &follow, const DmxMerge::Frame &frame)
{
    switch (m_merge.take(frame)) {
    case DmxMerge::Outcome::OutOfOrder:
        ++follow.counts.outOfOrder;
        return;
    case DmxMerge::Outcome::TooManySources:
        ++follow.counts.tooManySources;
        return;
    case DmxMerge::Outcome::Changed:
        sourcesChanged(false);
        break;
    case DmxMerge::Outcome::Taken:
        break;
    }
    ++(applyMerged() ? follow.counts.taken : follow.counts.whileWindowUp);
}

bool NetworkInput::applyMerged()
{
    const DmxMerge::Slots merged = m_merge.merged();
    bool held = false;
    for (int channel = 0; channel < DmxMerge::SlotCount; ++channel) {
        const auto at = std::size_t(channel);
        if (!merged[at])
            continue;
        const int level = levelOf(merged[at]->value);
        if (m_taken[at] == level)
            continue;
        const Intent intent{Intent::Kind::Channel, channel, level, std::nullopt,
                            Source{Source::Kind::Network, merged[at]->source}};
        // Held, it is asked again with the console's next packet.
        if (m_desk.apply(intent) == Desk::Outcome::Held)
            held = true;
        else
            m_taken[at] = level;
    }
    return !held;
}

void NetworkInput::expire()
{
    if (m_merge.expire() > 0) {
        sourcesChanged(false);
        // A source of lower priority, or a lower value, takes over what the lost one had.
        applyMerged();
    }
}

void NetworkInput::sourcesChanged(bool ended)
{
    for (const Protocol protocol : {Protocol::Sacn, Protocol::ArtNet}) {
        Follow &follow = m_follows[index(protocol)];
        const int sources = m_merge.count(protocol);
        if (sources == 0 && follow.sources > 0) {
            follow.goneAt = QDateTime::currentDateTime();
            follow.ended = ended;
        } else if (sources > 0) {
            follow.goneAt = {};
        }
        follow.sources = sources;
    }
    if (m_merge.isEmpty())
        m_expiry.stop();
    else if (!m_expiry.isActive())
        m_expiry.start();
    Q_EMIT stateChanged();
}

QByteArray NetworkInput::answerPoll(std::uint32_t to)
{
    Follow &follow = m_follows[index(Protocol::ArtNet)];
    const DeskClock::Time now = m_clock.now();
    DeskClock::Time &oldest = m_replies[m_repliesSent % m_replies.size()];
    if (m_repliesSent >= m_replies.size() && now - oldest < 1s) {
        ++follow.counts.pollsTooFast;
        return {};
    }
    oldest = now;
    ++m_repliesSent;
    ++follow.counts.pollsAnswered;
    ArtNetPacket::Node node;
    node.address = to;
    node.portAddress = follow.patch ? follow.patch->universe : 0;
    node.receiving = follow.sources > 0;
    node.merging = m_merge.count(Protocol::Sacn) + follow.sources > 1;
    node.replies = int(m_repliesSent);
    m_lastReply = ArtNetPacket::pollReply(node);
    return m_lastReply;
}

NetworkInput::Look NetworkInput::look() const
{
    Look look = Look::Waiting;
    for (const Follow &follow : m_follows) {
        if (follow.patch && !follow.goneAt.isNull() && !follow.ended)
            return Look::Lost;
        if (follow.sources > 0)
            look = Look::Live;
    }
    return look;
}

QString NetworkInput::stateText() const
{
    QStringList lines;
    for (const Follow &follow : m_follows) {
        if (!follow.patch)
            continue;
        if (!lines.isEmpty())
            lines << QString();
        lines << follow.patch->toString();
        const QString at = follow.goneAt.toString(QStringLiteral("HH:mm:ss"));
        if (follow.sources == 1)
            lines << tr("1 source");
        else if (follow.sources > 1)
            lines << tr("%1 sources").arg(follow.sources);
        else if (follow.goneAt.isNull())
            lines << tr("waiting");
        else
            // The time on a line of its own: the column is narrow, and a wrap inside the
            // words reads badly in either language.
            lines << (follow.ended ? tr("ended") : tr("lost")) << at;
    }
    return lines.join(QLatin1Char('\n'));
}

QString NetworkInput::followToolTip(const Follow &follow) const
{
    const DmxPatch &patch = *follow.patch;
    const QString where = tr("slots %1 to %2 on channels 1 to 8")
                              .arg(patch.start)
                              .arg(patch.start + DmxMerge::SlotCount - 1);
    QString text = patch.protocol == Protocol::Sacn
                       ? tr("sACN universe %1, %2: UDP port %3, and multicast group %4 on %5.")
                             .arg(patch.universe)
                             .arg(where)
                             .arg(SacnPacket::Port)
                             .arg(dotted(groupOf(patch.universe)),
                                  follow.socket.joined().join(QStringLiteral(", ")))
                       : tr("Art-Net port-address %1 (%2), %3: UDP port %4 on every address.")
                             .arg(patch.universeText())
                             .arg(patch.universe)
                             .arg(where)
                             .arg(ArtNetPacket::Port);
    QStringList sources;
    for (const DmxMerge::SourceInfo &source : m_merge.sources(patch.protocol))
        sources << tr("%1 (priority %2)").arg(source.name).arg(source.priority);
    if (!sources.isEmpty()) {
        text += QLatin1Char('\n') + tr("Sources: %1.").arg(sources.join(QStringLiteral(", ")));
    } else if (!follow.goneAt.isNull()) {
        const QString at = follow.goneAt.toString(QStringLiteral("HH:mm:ss"));
        text += QLatin1Char('\n') +
                (follow.ended ? tr("The last source ended its stream at %1.").arg(at)
                              : tr("The last source fell silent at %1.").arg(at)) +
                QLatin1Char(' ') + tr("The lamps hold their levels.");
    } else {
        text += QLatin1Char('\n') + tr("No source has been heard yet.");
    }
    return text;
}

QString NetworkInput::stateToolTip() const
{
    QStringList parts;
    for (const Follow &follow : m_follows) {
        if (follow.patch)
            parts << followToolTip(follow).toHtmlEscaped().replace(QLatin1Char('\n'),
                                                                   QStringLiteral("<br>"));
    }
    // Rich text, so that a source's name, which anyone on the network chooses, is only text.
    return QStringLiteral("<p>") + parts.join(QStringLiteral("</p><p>")) + QStringLiteral("</p>");
}
