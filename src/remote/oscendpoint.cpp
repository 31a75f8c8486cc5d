#include "oscendpoint.h"

#include <QHostInfo>
#include <QNetworkInterface>

namespace {

std::optional<QHostAddress> lookUp(const QString &host, QString *problem)
{
    QHostAddress literal;
    if (literal.setAddress(host))
        return literal;
    const QHostInfo info = QHostInfo::fromName(host);
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
        *problem = OscEndpoint::tr("there is no host %1 (%2)").arg(host, info.errorString());
        return std::nullopt;
    }
    for (const QHostAddress &address : info.addresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            return address;
    }
    return info.addresses().constFirst();
}

} // namespace

QString OscEndpoint::toString() const
{
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
                             : address.toString();
    return host + QLatin1Char(':') + QString::number(port);
}

std::optional<OscEndpoint> OscEndpoint::parse(const QString &text, bool hostOptional,
                                              QString *problem)
{
    QString host;
    QString port = text;
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QStringLiteral("]:"));
        if (close < 0) {
            *problem = tr("an IPv6 address in brackets must be followed by a colon and the "
                          "port, as in [::1]:9000");
            return std::nullopt;
        }
        host = text.mid(1, close - 1);
        port = text.mid(close + 2);
        QHostAddress address;
        if (!address.setAddress(host) || address.protocol() != QAbstractSocket::IPv6Protocol) {
            *problem = tr("%1 in brackets is not an IPv6 address").arg(host);
            return std::nullopt;
        }
    } else if (text.count(QLatin1Char(':')) > 1) {
        *problem = tr("an IPv6 address goes in brackets, as in [::1]:9000");
        return std::nullopt;
    } else if (const qsizetype colon = text.indexOf(QLatin1Char(':')); colon >= 0) {
        host = text.left(colon);
        port = text.mid(colon + 1);
        if (host.isEmpty()) {
            *problem = tr("the host is missing before the colon");
            return std::nullopt;
        }
    } else if (!hostOptional) {
        *problem = tr("the host and the port are needed, as in 192.168.1.20:9000");
        return std::nullopt;
    }

    bool ok = false;
    const uint number = port.toUInt(&ok);
    if (!ok || number < 1 || number > 65535) {
        *problem = tr("the port must be a number from 1 to 65535");
        return std::nullopt;
    }
    OscEndpoint endpoint;
    endpoint.port = quint16(number);
    if (host.isEmpty()) {
        endpoint.address = defaultAddress();
        return endpoint;
    }
    const std::optional<QHostAddress> address = lookUp(host, problem);
    if (!address)
        return std::nullopt;
    endpoint.address = *address;
    return endpoint;
}

QString OscEndpoint::unreachableFrom(const OscEndpoint &local) const
{
    // A socket bound to one address sends from it: an IPv4 one reaches no IPv6 address,
    // Qt's IPv6 any-address takes IPv6 only, and the loopback reaches this computer only.
    if (address.protocol() != local.address.protocol()) {
        return tr("%1 cannot be reached from %2, where the panel listens: one is IPv4, the "
                  "other IPv6")
            .arg(toString(), local.address.toString());
    }
    if (local.address.isLoopback() && !address.isLoopback()) {
        return tr("%1 is not on this computer, and the panel listens on this computer's %2 "
                  "only")
            .arg(toString(), local.address.toString());
    }
    return {};
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
