#include "oscendpoint.h"

#include <QNetworkInterface>

#include <algorithm>
#include <netinet/in.h>

OscEndpoint OscEndpoint::of(const sockaddr_storage &address)
{
    const quint16 port = address.ss_family == AF_INET6
                             ? ntohs(reinterpret_cast<const sockaddr_in6 *>(&address)->sin6_port)
                             : ntohs(reinterpret_cast<const sockaddr_in *>(&address)->sin_port);
    return {QHostAddress(reinterpret_cast<const sockaddr *>(&address)), port};
}

QString OscEndpoint::toString() const
{
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
                             : address.toString();
    return host + QLatin1Char(':') + QString::number(port);
}

bool OscEndpoint::isWhere(const OscEndpoint &local) const
{
    if (port != local.port)
        return false;
    if (address.isEqual(local.address, QHostAddress::ConvertV4MappedToIPv4))
        return true;
    const bool everywhere = local.address == QHostAddress(QHostAddress::AnyIPv4) ||
                            local.address == QHostAddress(QHostAddress::AnyIPv6) ||
                            local.address == QHostAddress(QHostAddress::Any);
    if (!everywhere)
        return false;
    if (address.isLoopback())
        return true;
    const QList<QHostAddress> own = QNetworkInterface::allAddresses();
    return std::any_of(own.begin(), own.end(), [this](const QHostAddress &mine) {
        return mine.isEqual(address, QHostAddress::ConvertV4MappedToIPv4);
    });
}
