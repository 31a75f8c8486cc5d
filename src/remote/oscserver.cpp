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

constexpr int MasterLevel = Board::ChannelCount;

} // namespace

OscServer::OscServer(Desk &desk, QObject *parent) : QObject(parent), m_desk(desk)
{
    connect(&m_desk, &Desk::channelChanged, this, [this](int channel) { tellLater(channel); });
    connect(&m_desk, &Desk::masterChanged, this, [this] { tellLater(MasterLevel); });
    // A message may raise a message box, whose own event loop runs until it is answered;
    // what arrives meanwhile is handled in that loop, and dropped, since the desk is held,
    // rather than left to pile up in the system.
    m_port.setHandler([this](QByteArrayView datagram, const OscEndpoint &sender) {
        handleDatagram(datagram, sender);
    });
    m_tell.setSingleShot(true);
    m_tell.setInterval(TellInterval);
    connect(&m_tell, &QTimer::timeout, this, &OscServer::tellLevels);
}

bool OscServer::listen(const OscEndpoint &at, QString *errorMessage)
{
    QString reason;
    if (m_port.bind(at, &reason))
        return true;
    if (errorMessage)
        *errorMessage = tr("Cannot listen for OSC messages on %1: %2").arg(at.toString(), reason);
    return false;
}

OscEndpoint OscServer::localEndpoint() const { return m_port.localEndpoint(); }

void OscServer::addFeedbackTarget(const OscEndpoint &target) { m_clients.addTarget(target); }

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
    if (!m_port.isBound())
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
            m_port.send(datagram, target);
    }
}
