#pragma once

#include "remote/datagramport.h"
#include "remote/feedbackclients.h"
#include "remote/osccounts.h"
#include "remote/oscendpoint.h"
#include "remote/oscplugin.h"

#include <QByteArrayView>
#include <QObject>
#include <QTimer>

// Remote control of the panel over OSC. Reads the datagrams of one UDP socket in the event
// loop, with the windows, and asks the panel for the intent that each message names, as the
// panel's own control would: the line therefore carries exactly the bytes of that move or
// click. Whenever a level changes, by whatever means, the new level goes to the clients and
// the targets that do not show it yet (see FeedbackClients), from the same socket, so that a
// client hears back from the port it talks to.
//
// While the panel holds its input (the scene key window or a question is up) it takes no
// intent: such messages are counted. Bad input, echoes of feedback and datagrams from the
// panel's own port are ignored and counted.
class OscServer : public QObject, public OscRemote
{
    Q_OBJECT

public:
    explicit OscServer(OscPanel &panel, QObject *parent = nullptr);

    // Binds the socket; false with the reason when the address or port cannot be had.
    bool listen(const OscEndpoint &at, QString *errorMessage);
    bool listen(const sockaddr_storage &at, QString *errorMessage) override;
    // Where it listens: the port the system chose when 0 was asked for.
    OscEndpoint localEndpoint() const;
    void addFeedbackTarget(const OscEndpoint &target,
                           FeedbackClients::Form form = FeedbackClients::Form::Int);
    void addFeedbackTarget(const sockaddr_storage &target, bool floats) override;
    void levelsChanged() override;
    QString countsSummary() const override { return m_counts.summary(); }

    const OscCounts &counts() const { return m_counts; }

    // One datagram as it came from sender: what the socket hands over, read, judged,
    // counted and, when it asks for an intent, acted on.
    void handleDatagram(QByteArrayView datagram, const OscEndpoint &sender);

private:
    void tellLevels();

    OscPanel &m_panel;
    DatagramPort m_port;
    FeedbackClients m_clients;
    OscCounts m_counts;
    QTimer m_tell;
};
