#include "oscserver.h"

#include "control/levelslider.h"
#include "remote/oscmessage.h"
#include "remote/remotecommand.h"

#include <QApplication>
#include <QNetworkDatagram>
#include <QPushButton>
#include <QWidget>

namespace {

// A control of the panel by its design name: "Command5", or element 3 of "VScroll1".
template<typename Control>
Control *controlOf(const QWidget &panel, const char *name, int index = -1)
{
    QString objectName = QString::fromLatin1(name);
    if (index >= 0)
        objectName += QLatin1Char('_') + QString::number(index);
    auto *control = panel.findChild<Control *>(objectName);
    if (!control)
        qFatal("The panel has no control %s", qPrintable(objectName));
    return control;
}

template<typename Control, std::size_t Count>
void findArray(const QWidget &panel, const char *name, std::array<Control *, Count> &controls)
{
    for (std::size_t i = 0; i < Count; ++i)
        controls[i] = controlOf<Control>(panel, name, int(i));
}

} // namespace

OscServer::OscServer(QWidget &panel, QObject *parent) : QObject(parent), m_socket(this)
{
    findArray(panel, "VScroll1", m_VScroll1);
    m_VScroll2 = controlOf<LevelSlider>(panel, "VScroll2");
    findArray(panel, "Command1", m_Command1);
    findArray(panel, "Command2", m_Command2);
    m_Command3 = controlOf<QPushButton>(panel, "Command3");
    m_Command4 = controlOf<QPushButton>(panel, "Command4");
    m_Command5 = controlOf<QPushButton>(panel, "Command5");
    findArray(panel, "Option1", m_Option1);
    findArray(panel, "Option2", m_Option2);

    // Both the Change and the Scroll event: a tablet's fader follows a drag on the panel.
    auto follow = [this](LevelSlider *slider, const QByteArray &address) {
        connect(slider, &LevelSlider::levelChanged, this,
                [this, address](int level) { tellLevel(address, level); });
        connect(slider, &LevelSlider::levelScrolled, this,
                [this, address](int level) { tellLevel(address, level); });
    };
    for (int i = 0; i < Board::ChannelCount; ++i)
        follow(m_VScroll1[i], RemoteCommand::addressOf(RemoteCommand::Control::VScroll1, i));
    follow(m_VScroll2, RemoteCommand::addressOf(RemoteCommand::Control::VScroll2));

    connect(&m_socket, &QUdpSocket::readyRead, this, &OscServer::readDatagrams);
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

void OscServer::readDatagrams()
{
    while (m_socket.hasPendingDatagrams()) {
        QNetworkDatagram datagram = m_socket.receiveDatagram();
        if (!datagram.isValid())
            break;
        m_arrived.push_back(std::move(datagram));
    }
    // Handled once readyRead has returned: a message may raise a question, whose own
    // event loop runs until it is answered, and Qt emits no readyRead while a receiver
    // of it is still running. So what arrives meanwhile is read, and dropped, at once.
    if (!m_handlingPosted && !m_arrived.empty()) {
        m_handlingPosted = true;
        QMetaObject::invokeMethod(this, &OscServer::handleArrived, Qt::QueuedConnection);
    }
}

void OscServer::handleArrived()
{
    m_handlingPosted = false;
    // Taken one at a time: the handling of one may handle the rest, nested.
    while (!m_arrived.empty()) {
        const QNetworkDatagram datagram = std::move(m_arrived.front());
        m_arrived.pop_front();
        handleDatagram(datagram.data(),
                       {datagram.senderAddress(), quint16(datagram.senderPort())});
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
    if (QApplication::activeModalWidget()) {
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
        m_VScroll1[command.index]->setLevel(command.level);
        break;
    case Control::VScroll2:
        m_VScroll2->setLevel(command.level);
        break;
    case Control::Command1:
        m_Command1[command.index]->click();
        break;
    case Control::Command2:
        m_Command2[command.index]->click();
        break;
    case Control::Command3:
        m_Command3->click();
        break;
    case Control::Command4:
        m_Command4->click();
        break;
    case Control::Command5:
        m_Command5->click();
        break;
    case Control::Option1:
        m_Option1[command.index]->click();
        break;
    case Control::Option2:
        m_Option2[command.index]->click();
        break;
    }
}

void OscServer::tellLevel(const QByteArray &address, int level)
{
    if (m_socket.state() != QAbstractSocket::BoundState)
        return;
    const QList<OscEndpoint> targets = m_clients.current(FeedbackClients::Clock::now());
    if (targets.isEmpty())
        return;
    const QByteArray datagram = OscMessage::write(address, level);
    // What the system cannot send now is not retried: the next change tells the level
    // again, and a tablet that missed one shows the wrong level only until then.
    for (const OscEndpoint &target : targets)
        m_socket.writeDatagram(datagram, target.address, target.port);
}
