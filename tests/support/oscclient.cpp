#include "oscclient.h"

#include <QHostAddress>
#include <QNetworkDatagram>

OscClient::OscClient()
{
    if (!m_socket.bind(QHostAddress::LocalHost, 0)) {
        m_failure = QStringLiteral("no UDP port on the loopback: ") + m_socket.errorString();
        return;
    }
    QObject::connect(&m_socket, &QUdpSocket::readyRead, &m_socket, [this] {
        while (m_socket.hasPendingDatagrams())
            received << m_socket.receiveDatagram().data();
    });
}

void OscClient::send(const QByteArray &datagram, quint16 toPort)
{
    m_socket.writeDatagram(datagram, QHostAddress::LocalHost, toPort);
}
