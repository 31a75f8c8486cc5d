#include "oscserver.h"

#include "control/desk.h"
#include "remote/oscmessage.h"
#include "remote/remotecommand.h"

#include "protocol/boardnumbers.h"

#include <chrono>

using namespace std::chrono_literals;

namespace {

// Changes are told together, the newest level of each, at most this often: a tablet draws
// its faders some sixty times a second, and a master drag changes nine levels at every
// position.
constexpr std::chrono::milliseconds TellInterval = 16ms;

// The address of a level message for the feedback bookkeeping; -1 for a button.
int levelAddress(const RemoteCommand &command)
{
    using Control = RemoteCommand::Control;
    if (command.control == Control::VScroll1)
        return command.index;
    if (command.control == Control::VScroll2)
        return FeedbackClients::MasterAddress;
    return -1;
}

// The form of levels that the sender of a level uses, as its argument shows. A button's
// argument or a fade time tells nothing of the sender's faders.
std::optional<FeedbackClients::Form> formOf(const RemoteCommand &command)
{
    if (levelAddress(command) < 0)
        return std::nullopt;
    if (command.argumentType == 'f')
        return FeedbackClients::Form::Float;
    if (command.argumentType == 'i')
        return FeedbackClients::Form::Int;
    return std::nullopt;
}

} // namespace

OscServer::OscServer(Desk &desk, QObject *parent) : QObject(parent), m_desk(desk)
{
    connect(&m_desk, &Desk::channelChanged, this, &OscServer::tellLater);
    connect(&m_desk, &Desk::masterChanged, this, &OscServer::tellLater);
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

void OscServer::addFeedbackTarget(const OscEndpoint &target, FeedbackClients::Form form)
{
    m_clients.addTarget(target, levels(), form);
}

FeedbackClients::Levels OscServer::levels() const
{
    FeedbackClients::Levels levels{};
    for (int channel = 0; channel < Board::ChannelCount; ++channel)
        levels[std::size_t(channel)] = m_desk.channel(channel);
    levels[FeedbackClients::MasterAddress] = m_desk.master();
    return levels;
}

void OscServer::handleDatagram(QByteArrayView datagram, const OscEndpoint &sender)
{
    // The panel's own feedback coming back, or a datagram forged to look so: taken, it
    // would make the panel its own client, and the levels would chase each other for ever.
    if (sender.isWhere(localEndpoint())) {
        ++m_counts.fromItself;
        return;
    }
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
    if (command.outcome == Outcome::Release) {
        ++m_counts.releases;
        return;
    }
    const auto now = FeedbackClients::Clock::now();
    const int address = levelAddress(command);
    if (m_clients.isEcho(sender, address, command.level, now)) {
        ++m_counts.echoes;
        return;
    }
    const FeedbackClients::Levels before = levels();
    if (m_desk.apply(intentOf(command, sender)) == Desk::Outcome::Held) {
        ++m_counts.whileWindowUp;
        return;
    }
    ++m_counts.taken;
    // Only a message that took effect makes its sender a client: a stray datagram, a
    // release or a forged one that the panel ignored starts no feedback towards anyone.
    m_clients.heard(sender, address, command.level, before, now, formOf(command));
    tellLater();
}

Intent OscServer::intentOf(const RemoteCommand &command, const OscEndpoint &sender)
{
    using Control = RemoteCommand::Control;
    using Kind = Intent::Kind;
    static constexpr Kind Kinds[] = {
        Kind::Channel, Kind::Master,   Kind::FullOn, Kind::Off,  Kind::MasterFullOn,
        Kind::AllOff,  Kind::Download, Kind::Recall, Kind::Mode, Kind::Blackout,
        Kind::SendAll, Kind::FadeTime, Kind::Undo,   Kind::Redo,
    };
    const int index = command.control == Control::Option1 ? command.index + 1 : command.index;
    // A sender is known by its address and port for as long as the run lasts.
    const auto client = std::uint32_t(qHash(sender.toString()));
    return Intent{Kinds[int(command.control)], index, command.level, std::nullopt,
                  Source{Source::Kind::Osc, client}};
}

void OscServer::tellLater()
{
    if (!m_tell.isActive())
        m_tell.start();
}

void OscServer::tellLevels()
{
    if (!m_port.isBound())
        return;
    bool rest = false;
    const std::vector<FeedbackClients::Datagram> due =
        m_clients.due(levels(), FeedbackClients::Clock::now(), &rest);
    using Control = RemoteCommand::Control;
    for (const FeedbackClients::Datagram &told : due) {
        const QByteArray address = told.address == FeedbackClients::MasterAddress
                                       ? RemoteCommand::addressOf(Control::VScroll2)
                                       : RemoteCommand::addressOf(Control::VScroll1, told.address);
        // What the system cannot send now is not retried: the next change tells the level
        // again, and a tablet that missed one shows the wrong level only until then.
        m_port.send(told.form == FeedbackClients::Form::Float
                        ? OscMessage::write(address, float(told.level) / Board::FullOn)
                        : OscMessage::write(address, std::int32_t(told.level)),
                    told.to);
    }
    // Held back by a listener's rate: the rest goes in the next round.
    if (rest)
        m_tell.start();
}
