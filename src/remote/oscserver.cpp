#include "oscserver.h"

#include "remote/oscintent.h"
#include "remote/oscmessage.h"

#include <chrono>

using namespace std::chrono_literals;

namespace {

// Changes are told together, the newest level of each, at most this often: a tablet draws
// its faders some sixty times a second, and a master drag changes nine levels at every
// position.
constexpr std::chrono::milliseconds TellInterval = 16ms;

// The level that an intent sets, as feedback counts its addresses; -1 for any other.
int levelAddress(const Intent &intent)
{
    if (intent.kind == Intent::Kind::Channel)
        return intent.index;
    if (intent.kind == Intent::Kind::Master)
        return FeedbackClients::MasterAddress;
    return -1;
}

// The form of levels that the sender of a level uses, as its argument shows. A button's
// argument or a fade time tells nothing of the sender's faders.
std::optional<FeedbackClients::Form> formOf(const OscIntent &asked)
{
    if (asked.levelType == 'f')
        return FeedbackClients::Form::Float;
    if (asked.levelType == 'i')
        return FeedbackClients::Form::Int;
    return std::nullopt;
}

// A sender is known by its address and port for as long as the run lasts.
Source sourceOf(const OscEndpoint &sender)
{
    return Source{Source::Kind::Osc, std::uint32_t(qHash(sender.address) ^ sender.port)};
}

} // namespace

OscServer::OscServer(OscPanel &panel, QObject *parent) : QObject(parent), m_panel(panel)
{
    // A message may raise a message box, whose own event loop runs until it is answered;
    // what arrives meanwhile is handled in that loop, and not taken, since the panel holds
    // its input, rather than left to pile up in the system.
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

bool OscServer::listen(const sockaddr_storage &at, QString *errorMessage)
{
    return listen(OscEndpoint::of(at), errorMessage);
}

OscEndpoint OscServer::localEndpoint() const { return m_port.localEndpoint(); }

void OscServer::addFeedbackTarget(const OscEndpoint &target, FeedbackClients::Form form)
{
    m_clients.addTarget(target, m_panel.levels(), form);
}

void OscServer::addFeedbackTarget(const sockaddr_storage &target, bool floats)
{
    addFeedbackTarget(OscEndpoint::of(target),
                      floats ? FeedbackClients::Form::Float : FeedbackClients::Form::Int);
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
    if (message.kind != OscMessage::Kind::Message) {
        if (message.kind == OscMessage::Kind::Bundle)
            ++m_counts.bundles;
        else
            m_counts.add(InputCounts::Refusal::Malformed);
        return;
    }
    const OscIntent asked = OscIntent::read(message, sourceOf(sender));
    if (!asked.acts()) {
        m_counts.add(asked.refusal);
        if (asked.refusal == InputCounts::Refusal::None)
            ++m_counts.releases;
        return;
    }
    const auto now = FeedbackClients::Clock::now();
    const int address = levelAddress(asked.intent);
    if (m_clients.isEcho(sender, address, asked.intent.value, now)) {
        ++m_counts.echoes;
        return;
    }
    const OscPanel::Levels before = m_panel.levels();
    const Intent::Outcome outcome = m_panel.act(asked.intent);
    m_counts.add(outcome);
    if (outcome == Intent::Outcome::Held)
        return;
    // Only a message that took effect makes its sender a client: a stray datagram, a
    // release or a forged one that the panel ignored starts no feedback towards anyone.
    m_clients.heard(sender, address, asked.intent.value, before, now, formOf(asked));
    levelsChanged();
}

void OscServer::levelsChanged()
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
        m_clients.due(m_panel.levels(), FeedbackClients::Clock::now(), &rest);
    for (const FeedbackClients::Datagram &told : due) {
        const QByteArray address = OscIntent::levelAddress(told.address);
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
