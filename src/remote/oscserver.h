#pragma once

#include "link/boardnumbers.h"
#include "remote/feedbackclients.h"
#include "remote/osccounts.h"
#include "remote/oscendpoint.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QNetworkDatagram>
#include <QObject>
#include <QUdpSocket>

#include <array>
#include <deque>

class LevelSlider;
class QPushButton;
class QWidget;
struct RemoteCommand;

// Remote control of the panel over OSC. Reads the datagrams of one UDP socket in the event
// loop, so that no other thread touches the widgets, and moves the panel's own controls,
// found by their design names, as the operator would: a slider by setting its level, which
// runs its Change handler, a button by clicking it. The line therefore carries exactly the
// bytes of that move or click. Whenever a level slider changes, by whatever means, the new
// level goes to every client heard from lately and to every target named at start, from
// the same socket, so that a client hears back from the port it talks to.
//
// While the scene key window or a question is up the panel takes no input, and neither does
// remote control: such messages are dropped and counted. Bad input is ignored and counted.
class OscServer : public QObject
{
    Q_OBJECT

public:
    // The panel must hold every control that an address names (see RemoteCommand).
    explicit OscServer(QWidget &panel, QObject *parent = nullptr);

    // Binds the socket; false with the reason when the address or port cannot be had.
    bool listen(const OscEndpoint &at, QString *errorMessage);
    // Where it listens: the port the system chose when 0 was asked for.
    OscEndpoint localEndpoint() const;
    void addFeedbackTarget(const OscEndpoint &target);

    const OscCounts &counts() const { return m_counts; }

    // One datagram as it came from sender: what the socket hands over, read, judged,
    // counted and, when it is taken, acted on.
    void handleDatagram(QByteArrayView datagram, const OscEndpoint &sender);

private:
    void readDatagrams();
    void handleArrived();
    void act(const RemoteCommand &command);
    void tellLevel(const QByteArray &address, int level);

    std::array<LevelSlider *, Board::ChannelCount> m_VScroll1{};
    LevelSlider *m_VScroll2 = nullptr;
    std::array<QPushButton *, Board::ChannelCount> m_Command1{};
    std::array<QPushButton *, Board::ChannelCount> m_Command2{};
    QPushButton *m_Command3 = nullptr;
    QPushButton *m_Command4 = nullptr;
    QPushButton *m_Command5 = nullptr;
    std::array<QPushButton *, Board::SceneCount> m_Option1{};
    std::array<QPushButton *, Board::ModeCount> m_Option2{};

    QUdpSocket m_socket;
    std::deque<QNetworkDatagram> m_arrived; // read, not yet handled
    bool m_handlingPosted = false;
    FeedbackClients m_clients;
    OscCounts m_counts;
};
