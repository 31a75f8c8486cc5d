#include "webhosts.h"

#include <algorithm>
#include <optional>

namespace {

constexpr quint16 HttpPort = 80;

// "host", "host:port", "[v6]", "[v6]:port", with the host in lower case.
struct Authority
{
    QString host;
    quint16 port = HttpPort;
    std::optional<QHostAddress> address; // for an IP address rather than a name

    bool operator==(const Authority &other) const
    {
        return host == other.host && port == other.port;
    }
};

bool isNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

std::optional<quint16> readPort(QByteArrayView digits)
{
    if (digits.isEmpty() || digits.size() > 5)
        return {};
    int port = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return {};
        port = port * 10 + (c - '0');
    }
    if (port == 0 || port > 65535)
        return {};
    return quint16(port);
}

// An IPv4 address in the one form a browser writes it: four decimal numbers.
std::optional<QHostAddress> readIPv4(QByteArrayView text)
{
    const QList<QByteArray> parts = text.toByteArray().split('.');
    if (parts.size() != 4)
        return {};
    quint32 address = 0;
    for (const QByteArray &part : parts) {
        if (part.isEmpty() || part.size() > 3 || (part.size() > 1 && part[0] == '0'))
            return {};
        bool ok = false;
        const uint number = part.toUInt(&ok);
        if (!ok || number > 255)
            return {};
        address = address << 8 | number;
    }
    return QHostAddress(address);
}

std::optional<Authority> readAuthority(QByteArrayView text)
{
    Authority authority;
    QByteArrayView host = text;
    if (text.startsWith('[')) {
        const qsizetype close = text.indexOf(']');
        if (close < 0)
            return {};
        const QHostAddress address(QString::fromLatin1(text.sliced(1, close - 1)));
        if (address.protocol() != QAbstractSocket::IPv6Protocol)
            return {};
        authority.address = address;
        authority.host = address.toString();
        host = {};
        text = text.sliced(close + 1);
        if (!text.isEmpty() && !text.startsWith(':'))
            return {};
    } else {
        const qsizetype colon = text.indexOf(':');
        host = colon < 0 ? text : text.first(colon);
        text = colon < 0 ? QByteArrayView() : text.sliced(colon);
    }
    if (!text.isEmpty()) {
        const std::optional<quint16> port = readPort(text.sliced(1));
        if (!port)
            return {};
        authority.port = *port;
    }
    if (authority.address)
        return authority;
    const QByteArray name = host.toByteArray().toLower();
    if (name.isEmpty() || !std::all_of(name.begin(), name.end(), isNameCharacter))
        return {};
    authority.host = QString::fromLatin1(name);
    authority.address = readIPv4(name);
    // Digits and dots that are no address in that form name nothing.
    if (!authority.address && std::all_of(name.begin(), name.end(), [](char c) {
            return c == '.' || (c >= '0' && c <= '9');
        }))
        return {};
    return authority;
}

bool isEverywhere(const QHostAddress &address)
{
    return address == QHostAddress(QHostAddress::Any) ||
           address == QHostAddress(QHostAddress::AnyIPv4) ||
           address == QHostAddress(QHostAddress::AnyIPv6);
}

// Whether a socket on listening takes connections to address.
bool listensOn(const QHostAddress &listening, const QHostAddress &address)
{
    if (listening == QHostAddress(QHostAddress::AnyIPv4))
        return address.protocol() == QAbstractSocket::IPv4Protocol;
    if (listening == QHostAddress(QHostAddress::AnyIPv6))
        return address.protocol() == QAbstractSocket::IPv6Protocol;
    return true;
}

} // namespace

WebHosts::WebHosts(const QHostAddress &listening, quint16 port, const QString &name)
    : m_listening(listening), m_port(port), m_name(name.toLower())
{}

bool WebHosts::answers(QByteArrayView host, const Addresses &machine) const
{
    const std::optional<Authority> authority = readAuthority(host);
    if (!authority || authority->port != m_port)
        return false;
    const bool everywhere = isEverywhere(m_listening);
    if (!authority->address) {
        if (!m_name.isEmpty() && authority->host == m_name)
            return true;
        return authority->host == QLatin1String("localhost") &&
               (m_listening.isLoopback() || everywhere);
    }
    const QHostAddress &address = *authority->address;
    if (!everywhere)
        return address.isEqual(m_listening, QHostAddress::ConvertV4MappedToIPv4);
    if (!listensOn(m_listening, address) || !machine)
        return false;
    const QList<QHostAddress> own = machine();
    return std::any_of(own.begin(), own.end(), [&address](const QHostAddress &one) {
        return address.isEqual(one, QHostAddress::ConvertV4MappedToIPv4);
    });
}

bool WebHosts::isPagesOrigin(QByteArrayView origin, QByteArrayView host)
{
    constexpr QByteArrayView Scheme = "http://";
    if (!origin.startsWith(Scheme))
        return false;
    const std::optional<Authority> from = readAuthority(origin.sliced(Scheme.size()));
    const std::optional<Authority> to = readAuthority(host);
    return from && to && *from == *to;
}
