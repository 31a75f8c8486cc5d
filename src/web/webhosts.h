#pragma once

#include <QByteArrayView>
#include <QHostAddress>
#include <QList>
#include <QString>

#include <functional>

// The names the panel answers to, with its port: the address it listens on (every address
// of this computer when it listens on all of them), "localhost" when that takes in the
// loopback, and the name given with --web. A request that names anything else is refused,
// so that a name which a rebinding DNS points at this computer reaches nothing. And the
// one origin a page's WebSocket may come from: the page's own. A Host without a port names
// port 80, as in HTTP.
class WebHosts
{
public:
    using Addresses = std::function<QList<QHostAddress>()>;

    WebHosts() = default;
    WebHosts(const QHostAddress &listening, quint16 port, const QString &name);

    // Whether host, a request's Host header, names the panel. machine gives this computer's
    // addresses; it is asked only when the panel listens on all of them.
    bool answers(QByteArrayView host, const Addresses &machine) const;
    // Whether origin, the Origin header of a WebSocket's opening, is the page's at host.
    static bool isPagesOrigin(QByteArrayView origin, QByteArrayView host);

private:
    QHostAddress m_listening;
    quint16 m_port = 0;
    QString m_name; // lower case
};
