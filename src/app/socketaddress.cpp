#include "socketaddress.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <cstring>
#include <ifaddrs.h>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>

namespace {

using Bytes = std::array<std::uint8_t, 16>;

// The address alone, an IPv4 one written within an IPv6 one taken out of it: what two
// sockets compare.
std::pair<int, Bytes> addressOf(const sockaddr *address)
{
    Bytes bytes{};
    if (address->sa_family == AF_INET6) {
        const in6_addr &ipv6 = reinterpret_cast<const sockaddr_in6 *>(address)->sin6_addr;
        if (!IN6_IS_ADDR_V4MAPPED(&ipv6)) {
            std::memcpy(bytes.data(), &ipv6, sizeof ipv6);
            return {AF_INET6, bytes};
        }
        std::memcpy(bytes.data(), ipv6.s6_addr + 12, 4);
    } else {
        std::memcpy(bytes.data(), &reinterpret_cast<const sockaddr_in *>(address)->sin_addr, 4);
    }
    return {AF_INET, bytes};
}

std::pair<int, Bytes> addressOf(const sockaddr_storage &address)
{
    return addressOf(reinterpret_cast<const sockaddr *>(&address));
}

bool isLoopback(const sockaddr_storage &address)
{
    const auto [family, bytes] = addressOf(address);
    constexpr Bytes ipv6Loopback{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    return family == AF_INET ? bytes[0] == 127 : bytes == ipv6Loopback;
}

bool isAny(const sockaddr_storage &address) { return addressOf(address).second == Bytes{}; }

// The addresses of the host, the first of them an IPv4 one if it has one; none, with why.
std::optional<sockaddr_storage> lookUp(const QString &host, int family, int flags,
                                       QString *problem)
{
    addrinfo hints{};
    hints.ai_family = family;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = flags;
    addrinfo *found = nullptr;
    const int error = ::getaddrinfo(host.toUtf8().constData(), nullptr, &hints, &found);
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> all(found, &::freeaddrinfo);
    if (error != 0 || !found) {
        *problem = SocketAddress::tr("there is no host %1 (%2)")
                       .arg(host, QString::fromLocal8Bit(::gai_strerror(error)));
        return std::nullopt;
    }
    const addrinfo *chosen = found;
    for (const addrinfo *each = found; each; each = each->ai_next) {
        if (each->ai_family == AF_INET) {
            chosen = each;
            break;
        }
    }
    sockaddr_storage address{};
    std::memcpy(&address, chosen->ai_addr,
                std::min<std::size_t>(chosen->ai_addrlen, sizeof address));
    return address;
}

} // namespace

std::optional<SocketAddress> SocketAddress::parse(const QString &text, bool hostOptional,
                                                  QString *problem)
{
    QString host;
    QString port = text;
    int family = AF_UNSPEC;
    int flags = 0;
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QStringLiteral("]:"));
        if (close < 0) {
            *problem = tr("an IPv6 address in brackets must be followed by a colon and the "
                          "port, as in [::1]:9000");
            return std::nullopt;
        }
        host = text.mid(1, close - 1);
        port = text.mid(close + 2);
        family = AF_INET6;
        flags = AI_NUMERICHOST;
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
    if (family == AF_INET6) {
        QString ignored;
        if (!lookUp(host, family, flags, &ignored)) {
            *problem = tr("%1 in brackets is not an IPv6 address").arg(host);
            return std::nullopt;
        }
    }

    bool ok = false;
    const uint number = port.toUInt(&ok);
    if (!ok || number < 1 || number > 65535) {
        *problem = tr("the port must be a number from 1 to 65535");
        return std::nullopt;
    }
    if (host.isEmpty())
        host = defaultHost();
    std::optional<sockaddr_storage> address = lookUp(host, family, flags, problem);
    if (!address)
        return std::nullopt;
    SocketAddress socket;
    socket.storage = *address;
    if (socket.isIPv6())
        reinterpret_cast<sockaddr_in6 *>(&socket.storage)->sin6_port = htons(quint16(number));
    else
        reinterpret_cast<sockaddr_in *>(&socket.storage)->sin_port = htons(quint16(number));
    in6_addr numeric{};
    if (::inet_pton(AF_INET, host.toUtf8().constData(), &numeric) != 1 && family != AF_INET6)
        socket.name = host;
    return socket;
}

quint16 SocketAddress::port() const
{
    return ntohs(isIPv6() ? reinterpret_cast<const sockaddr_in6 *>(&storage)->sin6_port
                          : reinterpret_cast<const sockaddr_in *>(&storage)->sin_port);
}

QString SocketAddress::host() const
{
    std::array<char, NI_MAXHOST> host{};
    ::getnameinfo(reinterpret_cast<const sockaddr *>(&storage),
                  isIPv6() ? sizeof(sockaddr_in6) : sizeof(sockaddr_in), host.data(),
                  socklen_t(host.size()), nullptr, 0, NI_NUMERICHOST);
    return QString::fromLatin1(host.data());
}

QString SocketAddress::toString() const
{
    return (isIPv6() ? QLatin1Char('[') + host() + QLatin1Char(']') : host()) + QLatin1Char(':') +
           QString::number(port());
}

QString SocketAddress::unreachableFrom(const SocketAddress &local) const
{
    // A socket bound to one address sends from it: an IPv4 one reaches no IPv6 address,
    // an IPv6 socket on every address takes IPv6 only, and the loopback reaches this
    // computer only.
    const QString where = local.host();
    if (isIPv6() != local.isIPv6()) {
        return tr("%1 cannot be reached from %2, where the panel listens: one is IPv4, the "
                  "other IPv6")
            .arg(toString(), where);
    }
    if (isLoopback(local.storage) && !isLoopback(storage)) {
        return tr("%1 is not on this computer, and the panel listens on this computer's %2 "
                  "only")
            .arg(toString(), where);
    }
    return {};
}

bool SocketAddress::isWhere(const SocketAddress &local) const
{
    if (port() != local.port())
        return false;
    if (addressOf(storage) == addressOf(local.storage))
        return true;
    if (!isAny(local.storage))
        return false;
    if (isLoopback(storage))
        return true;
    ifaddrs *interfaces = nullptr;
    if (::getifaddrs(&interfaces) != 0)
        return false;
    const std::unique_ptr<ifaddrs, decltype(&::freeifaddrs)> all(interfaces, &::freeifaddrs);
    for (const ifaddrs *each = interfaces; each; each = each->ifa_next) {
        const sockaddr *mine = each->ifa_addr;
        if (mine && (mine->sa_family == AF_INET || mine->sa_family == AF_INET6) &&
            addressOf(mine) == addressOf(storage))
            return true;
    }
    return false;
}
