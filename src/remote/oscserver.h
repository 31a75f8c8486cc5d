#pragma once

#include "control/intent.h"
#include "remote/datagramport.h"
#include "remote/feedbackclients.h"
#include "remote/osccounts.h"
#include "remote/oscendpoint.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QTimer>

class Desk;
struct RemoteCommand;

// Remote control of the desk over OSC. Reads the datagrams of one UDP socket in the event
// loop, with the windows, and asks the desk for what each message names, as the panel's
// own control would: the line therefore carries exactly the bytes of that move or click.
// Whenever a level changes, by whatever means, the new level goes to the clients and the
// targets that do not show it yet (see FeedbackClients), from the same socket, so that a
// client hears back from the port it talks to.
//
// While the desk holds its input (the scene key window or a question is up) remote control
// holds still too: such messages are dropped and counted. Bad input, echoes of feedback and
// datagrams from the panel's own port are ignored and counted.
class OscServer : public QObject
{
    Q_OBJECT

public:
    explicit OscServer(Desk &desk, QObject *parent = nullptr);

    // Binds the socket; false with the reason when the address or port cannot be had.
    bool listen(const OscEndpoint &at, QString *errorMessage);
    // Where it listens: the port the system chose when 0 was asked for.
    OscEndpoint localEndpoint() const;
    void addFeedbackTarget(const OscEndpoint &target,
                           FeedbackClients::Form form = FeedbackClients::Form::Int);

    const OscCounts &counts() const { return m_counts; }

    // One datagram as it came from sender: what the socket hands over, read, judged,
    // counted and, when it is taken, acted on.
    void handleDatagram(QByteArrayView datagram, const OscEndpoint &sender);

private:
    static Intent intentOf(const RemoteCommand &command, const OscEndpoint &sender);
    FeedbackClients::Levels levels() const;
    void tellLater();
    void tellLevels();

    Desk &m_desk;
    DatagramPort m_port;
    FeedbackClients m_clients;
    OscCounts m_counts;
    QTimer m_tell;
};
