#include "oscserver.h"

#include "control/desk.h"
#include "remote/oscmessage.h"
#include "remote/remotecommand.h"

#include "link/boardnumbers.h"

#include <chrono>

using namespace std::chrono_literals;

namespace {

// Changes are told together, the newest level of each, at most this often: a tablet draws
// its faders some sixty times a second, and a master drag changes nine levels at every
// position.
constexpr std::chrono::milliseconds TellInterval = 16ms;

// Datagrams are read this long after the first of them arrives, all that came meanwhile in
// one go: waking up for each one costs far more than reading it, and a flood of thousands a
// second would otherwise spend the panel on its wake-ups. A millisecond is nothing to a
// hand on a fader, and the line takes five for a packet.
constexpr std::chrono::milliseconds GatherTime = 1ms;

// The largest datagram UDP carries: a longer one is no message of the panel's, and must
// not be read as a shorter one.
constexpr qsizetype LargestDatagram = 65536;

constexpr int MasterLevel = Board::ChannelCount;

} // namespace

OscServer::OscServer(Desk &desk, QObject *parent) : QObject(parent), m_desk(desk), m_socket(this)
{
    connect(&m_desk, &Desk::channelChanged, this, [this](int channel) { tellLater(channel); });
    connect(&m_desk, &Desk::masterChanged, this, [this] { tellLater(MasterLevel); });
    m_buffer.resize(LargestDatagram);
    m_gather.setSingleShot(true);
    m_gather.setTimerType(Qt::PreciseTimer);
    m_gather.setInterval(GatherTime);
    connect(&m_gather, &QTimer::timeout, this, &OscServer::handleArrived);
    // Qt tells of the first datagram and no more until one is read.
    connect(&m_socket, &QUdpSocket::readyRead, this, [this] {
        if (!m_gather.isActive())
            m_gather.start();
    });
    m_tell.setSingleShot(true);
    m_tell.setInterval(TellInterval);
    connect(&m_tell, &QTimer::timeout, this, &OscServer::tellLevels);
}

bool OscServer::listen(const OscEndpoint &at, QString *errorMessage)
{
    // Not shared: a second panel on the same port would take part of the messages.
    if (m_socket.bind(at.address, at.port, QAbstractSocket::DontShareAddress))
        return true;
    if (errorMessage) {
        *errorMessage = tr("Cannot listen for OSC messages on %1: %2")
                            .arg(at.toString(), m_socket.errorString());
    }
    return false;
}

OscEndpoint OscServer::localEndpoint() const
{
    return {m_socket.localAddress(), m_socket.localPort()};
}

void OscServer::addFeedbackTarget(const OscEndpoint &target) { m_clients.addTarget(target); }

void OscServer::handleArrived()
{
    // A message may raise a message box, whose own event loop runs until it is answered;
    // what arrives meanwhile is gathered and handled in that loop, and dropped, since the
    // desk is held, rather than left to pile up in the system.
    while (m_socket.hasPendingDatagrams()) {
        QHostAddress sender;
        quint16 port = 0;
        const qint64 size =
            m_socket.readDatagram(m_buffer.data(), m_buffer.size(), &sender, &port);
        if (size < 0)
            break;
        handleDatagram(QByteArrayView(m_buffer.constData(), size), {sender, port});
    }
}

void OscServer::handleDatagram(QByteArrayView datagram, const OscEndpoint &sender)
{
    const OscMessage message = OscMessage::read(datagram);
    if (message.kind == OscMessage::Kind::Bundle) {
        ++m_counts.bundles;
        return;
    }
    if (message.kind == OscMessage::Kind::Malformed) {
        ++m_counts.malformed;
        return;
    }
    const RemoteCommand command = RemoteCommand::interpret(message);
    using Outcome = RemoteCommand::Outcome;
    switch (command.outcome) {
    case Outcome::UnknownAddress:
        ++m_counts.unknownAddresses;
        return;
    case Outcome::WrongArguments:
        ++m_counts.wrongArguments;
        return;
    case Outcome::LevelOutOfRange:
        ++m_counts.levelsOutOfRange;
        return;
    case Outcome::Release:
    case Outcome::Act:
        break;
    }
    // Only a sender that speaks the panel's language hears back: a stray datagram from
    // anywhere else must not start a stream of feedback towards it.
    m_clients.heard(sender, FeedbackClients::Clock::now());
    if (command.outcome == Outcome::Release) {
        ++m_counts.releases;
        return;
    }
    if (m_desk.isInputHeld()) {
        ++m_counts.whileWindowUp;
        return;
    }
    ++m_counts.taken;
    act(command);
}

void OscServer::act(const RemoteCommand &command)
{
    using Control = RemoteCommand::Control;
    switch (command.control) {
    case Control::VScroll1:
        m_desk.setChannel(command.index, command.level);
        break;
    case Control::VScroll2:
        m_desk.setMaster(command.level);
        break;
    case Control::Command1:
        m_desk.channelFullOn(command.index);
        break;
    case Control::Command2:
        m_desk.channelOff(command.index);
        break;
    case Control::Command3:
        m_desk.masterFullOn();
        break;
    case Control::Command4:
        m_desk.allOff();
        break;
    case Control::Command5:
        m_desk.download();
        break;
    case Control::Option1:
        m_desk.recall(command.index + 1);
        break;
    case Control::Option2:
        m_desk.selectMode(command.index);
        break;
    }
}

void OscServer::tellLater(int level)
{
    m_untold.set(std::size_t(level));
    if (!m_tell.isActive())
        m_tell.start();
}

void OscServer::tellLevels()
{
    const std::bitset<9> untold = std::exchange(m_untold, {});
    if (m_socket.state() != QAbstractSocket::BoundState)
        return;
    const QList<OscEndpoint> targets = m_clients.current(FeedbackClients::Clock::now());
    if (targets.isEmpty())
        return;
    using Control = RemoteCommand::Control;
    for (int level = 0; level <= MasterLevel; ++level) {
        if (!untold.test(std::size_t(level)))
            continue;
        const QByteArray datagram =
            level == MasterLevel
                ? OscMessage::write(RemoteCommand::addressOf(Control::VScroll2), m_desk.master())
                : OscMessage::write(RemoteCommand::addressOf(Control::VScroll1, level),
                                    m_desk.channel(level));
        // What the system cannot send now is not retried: the next change tells the level
        // again, and a tablet that missed one shows the wrong level only until then.
        for (const OscEndpoint &target : targets)
            m_socket.writeDatagram(datagram, target.address, target.port);
    }
}
