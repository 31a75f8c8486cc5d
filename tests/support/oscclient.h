#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUdpSocket>

// A remote control on the loopback: a UDP socket of its own, on a port that the system
// chooses, that sends datagrams to the panel and keeps every datagram that arrives.
class OscClient
{
public:
    OscClient();

    // Empty when the socket is bound; otherwise why not.
    QString failure() const { return m_failure; }
    quint16 port() const { return m_socket.localPort(); }

    void send(const QByteArray &datagram, quint16 toPort);

    // What arrived so far, oldest first; filled by the event loop.
    QList<QByteArray> received;

private:
    QUdpSocket m_socket;
    QString m_failure;
};
