#include "joinaddress.h"

#include <QUrl>

namespace JoinAddress {

QHostAddress forCode(const QHostAddress &listening, const QList<QHostAddress> &machine)
{
    const bool everywhere = listening == QHostAddress(QHostAddress::Any) ||
                            listening == QHostAddress(QHostAddress::AnyIPv4) ||
                            listening == QHostAddress(QHostAddress::AnyIPv6);
    if (!everywhere)
        return listening;
    for (const QHostAddress &address : machine) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
            return address;
    }
    return QHostAddress(QHostAddress::LocalHost);
}

QString url(const QHostAddress &host, quint16 port, const QByteArray &token)
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(host.toString());
    url.setPort(port);
    url.setPath(QStringLiteral("/"));
    url.setFragment(QStringLiteral("t=") + QString::fromLatin1(token));
    return url.toString();
}

} // namespace JoinAddress
