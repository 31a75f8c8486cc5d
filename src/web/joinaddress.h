#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>

// The address a phone opens to join: the page's, with the token after the '#', which a
// browser never sends to a server, and which the page takes out of its address once it
// has read it.
namespace JoinAddress {

// The address to put in the code: the one listened on, or, for every address at once,
// the machine's first IPv4 address that is no loopback (of those given, in the system's
// order); the loopback when it has none.
QHostAddress forCode(const QHostAddress &listening, const QList<QHostAddress> &machine);

// "http://192.168.1.10:8080/#t=TOKEN".
QString url(const QHostAddress &host, quint16 port, const QByteArray &token);

} // namespace JoinAddress
