#include "webserver.h"

#include "web/boundedtcpserver.h"
#include "web/joinaddress.h"
#include "web/pagefiles.h"
#include "web/pagesocket.h"
#include "web/qrencoder.h"
#include "web/requesthead.h"
#include "web/websocketopening.h"

#include <QNetworkInterface>
#include <QTcpSocket>

#include <netinet/in.h>

namespace {

// Close codes, as RFC 6455 (7.4.1) numbers them.
constexpr quint16 UnsupportedData = 1003;
constexpr quint16 PolicyViolated = 1008;

QByteArray refusal(const char *why) { return QByteArray("{\"refused\":\"") + why + "\"}"; }

} // namespace

WebServer::WebServer(PanelAccess &panel, const QString &stateFolder, QObject *parent)
    : QObject(parent), m_panel(panel), m_token(stateFolder)
{
    m_sendTimer.setSingleShot(true);
    connect(&m_sendTimer, &QTimer::timeout, this, &WebServer::send);
}

WebServer::~WebServer()
{
    for (auto &[id, page] : m_pages) {
        page->socket->disconnect(this);
        delete page->socket;
    }
}

bool WebServer::loadToken(QString *errorMessage) { return m_token.load(errorMessage); }

QList<QHostAddress> WebServer::machineAddresses()
{
    // Asking the system costs tens of microseconds: a flood of requests under an address
    // would spend the panel's time on it. The addresses of a second ago are as good.
    if (!m_addressesRead.isValid() || m_addressesRead.hasExpired(1000)) {
        m_machineAddresses = QNetworkInterface::allAddresses();
        m_addressesRead.start();
    }
    return m_machineAddresses;
}

QByteArray WebServer::answer(const RequestHead &head)
{
    // Only under a name of the panel's: not under one that a rebinding DNS points here.
    const auto machine = [this] { return machineAddresses(); };
    if (head.count("host") == 1 && m_hosts.answers(head.value("host"), machine)) {
        if (head.method != "GET" && head.method != "HEAD")
            ++m_counts.pagesTurnedAway;
        return PageFiles::answer(head);
    }
    ++m_counts.pagesTurnedAway;
    // A browser sends nothing more on a connection to a name that is not the panel's.
    return PageFiles::status("421 Misdirected Request", PageFiles::Closing);
}

bool WebServer::listen(const QHostAddress &address, quint16 port, const QString &name,
                       QString *errorMessage)
{
    auto *tcp = new BoundedTcpServer(
        {MostConnections, MostUnjoinedPerAddress, RequestLimit}, WebSocketPath,
        [this](QTcpSocket *socket, const RequestHead &head) { open(socket, head); },
        [this](const RequestHead &head) { return answer(head); }, this);
    if (!tcp->listen(address, port)) {
        if (errorMessage) {
            const QString where = address.protocol() == QAbstractSocket::IPv6Protocol
                                      ? QStringLiteral("[%1]:%2").arg(address.toString()).arg(port)
                                      : QStringLiteral("%1:%2").arg(address.toString()).arg(port);
            *errorMessage =
                tr("Cannot listen for the web remote on %1: %2").arg(where, tcp->errorString());
        }
        delete tcp;
        return false;
    }
    connect(tcp, &BoundedTcpServer::turnedAway, this, [this] { ++m_counts.pagesTurnedAway; });
    m_tcp = tcp;
    m_address = address;
    m_hosts = WebHosts(address, tcp->serverPort(), name);
    return true;
}

bool WebServer::listen(const sockaddr_storage &at, const QString &name, QString *errorMessage)
{
    const auto *ipv6 = reinterpret_cast<const sockaddr_in6 *>(&at);
    const auto *ipv4 = reinterpret_cast<const sockaddr_in *>(&at);
    return listen(QHostAddress(reinterpret_cast<const sockaddr *>(&at)),
                  ntohs(at.ss_family == AF_INET6 ? ipv6->sin6_port : ipv4->sin_port), name,
                  errorMessage);
}

int WebServer::openConnections() const { return m_tcp ? m_tcp->open() : 0; }

quint16 WebServer::port() const { return m_tcp ? m_tcp->serverPort() : 0; }

QString WebServer::joinAddress() const
{
    const QHostAddress host = JoinAddress::forCode(m_address, QNetworkInterface::allAddresses());
    return JoinAddress::url(host, port(), m_token.token());
}

std::vector<std::vector<bool>> WebServer::qrCode(const QByteArray &text) const
{
    return encodeQr(text);
}

QString WebServer::countsSummary() const { return m_counts.summary(); }

bool WebServer::renewToken(QString *errorMessage)
{
    if (!m_token.renew(errorMessage))
        return false;
    std::vector<SnapshotFanout::Page> joined;
    for (const auto &[id, page] : m_pages) {
        if (page->joined)
            joined.push_back(id);
    }
    for (const SnapshotFanout::Page id : joined)
        drop(id, PolicyViolated, "token renewed");
    return true;
}

void WebServer::open(QTcpSocket *socket, const RequestHead &head)
{
    // Only the page's own script, at an address of the panel's, opens a WebSocket: not a
    // page of another site, nor one under a name that a rebinding DNS points here.
    const QByteArray host = head.value("host");
    const auto machine = [this] { return machineAddresses(); };
    if (head.count("host") != 1 || !m_hosts.answers(host, machine)) {
        refuseOpening(socket, WebSocketOpening::refusal(421, "Misdirected Request"));
        return;
    }
    if (head.count("origin") != 1 || !WebHosts::isPagesOrigin(head.value("origin"), host)) {
        refuseOpening(socket, WebSocketOpening::refusal(403, "Forbidden"));
        return;
    }
    bool opens = false;
    const QByteArray answer = WebSocketOpening::answer(head, &opens);
    if (!opens) {
        refuseOpening(socket, answer);
        return;
    }
    socket->write(answer);
    // A state is a few hundred bytes that must go at once, not wait for the page to
    // acknowledge the last one, which a phone may put off for tens of milliseconds.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_tcp->becameWebSocket(socket);
    auto *pageSocket = new PageSocket(socket, LargestMessage, this);
    if (int(m_pages.size()) >= MostPages) {
        ++m_counts.pagesTurnedAway;
        connect(pageSocket, &PageSocket::ended, pageSocket, &QObject::deleteLater);
        pageSocket->close(PolicyViolated, "too many pages");
        return;
    }
    const SnapshotFanout::Page id = m_nextId++;
    auto page = std::make_unique<Page>();
    page->socket = pageSocket;
    connect(pageSocket, &PageSocket::textReceived, this,
            [this, id](const QByteArray &text) { read(id, text); });
    connect(pageSocket, &PageSocket::binaryReceived, this, [this, id] {
        ++m_counts.binary;
        drop(id, UnsupportedData, {});
    });
    connect(pageSocket, &PageSocket::failed, this, [this](quint16 code) {
        if (code == FrameReader::TooBig)
            ++m_counts.oversized;
        else
            ++m_counts.malformed;
    });
    connect(pageSocket, &PageSocket::ended, this, [this, id] { closed(id); });
    // A page that could not take its last state is sent the newest once it has.
    connect(pageSocket, &PageSocket::bytesWritten, this, [this] {
        if (m_fanout.anyBehind())
            sendLater();
    });
    page->joinDeadline.setSingleShot(true);
    connect(&page->joinDeadline, &QTimer::timeout, this,
            [this, id] { drop(id, PolicyViolated, "no token"); });
    page->joinDeadline.start(TimeToJoin);
    m_pages.emplace(id, std::move(page));
}

void WebServer::refuseOpening(QTcpSocket *socket, const QByteArray &response)
{
    ++m_counts.pagesTurnedAway;
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->write(response);
    socket->disconnectFromHost();
}

void WebServer::read(SnapshotFanout::Page id, const QByteArray &text)
{
    const auto found = m_pages.find(id);
    if (found == m_pages.end())
        return;
    Page &page = *found->second;
    if (!page.rate.take(MessageRate::Clock::now())) {
        ++m_counts.tooFast;
        return;
    }
    const WebMessage message =
        WebMessage::read(text, Source{Source::Kind::Web, std::uint32_t(id)});
    m_counts.add(message.refusal);
    if (message.refusal != InputCounts::Refusal::None)
        return;
    if (message.hello) {
        readHello(id, page, message);
        return;
    }
    if (!page.joined) {
        ++m_counts.withoutToken;
        // Told why, unless it has not even read the last answer.
        if (page.socket->bytesToWrite() <= SnapshotFanout::MostUnsent)
            page.socket->sendText(refusal("token"));
        return;
    }
    m_counts.add(m_panel.act(message.intent));
}

void WebServer::readHello(SnapshotFanout::Page id, Page &page, const WebMessage &message)
{
    if (!m_token.matches(message.token)) {
        ++m_counts.wrongTokens;
        page.socket->sendText(refusal("token"));
        drop(id, PolicyViolated, "wrong token");
        return;
    }
    if (page.joined)
        return;
    ++m_counts.joined;
    page.joined = true;
    page.joinDeadline.stop();
    m_tcp->joined(page.socket->connection());
    m_fanout.add(id);
    sendLater();
}

void WebServer::closed(SnapshotFanout::Page id)
{
    const auto found = m_pages.find(id);
    if (found == m_pages.end())
        return;
    found->second->socket->disconnect(this);
    found->second->socket->deleteLater();
    m_fanout.remove(id);
    m_pages.erase(found);
}

void WebServer::drop(SnapshotFanout::Page id, int code, const QByteArray &reason)
{
    const auto found = m_pages.find(id);
    if (found == m_pages.end())
        return;
    PageSocket *socket = found->second->socket;
    m_fanout.remove(id);
    m_pages.erase(found);
    socket->disconnect(this);
    connect(socket, &PageSocket::ended, socket, &QObject::deleteLater);
    socket->close(quint16(code), reason);
}

void WebServer::panelChanged()
{
    m_fanout.changed();
    sendLater();
}

void WebServer::sendLater()
{
    if (m_sendTimer.isActive())
        return;
    // The first change after a quiet moment goes out at once (once the event that made it
    // has finished); those that follow it closely wait for the rest of the interval.
    const qint64 interval = std::chrono::milliseconds(SendInterval).count();
    const qint64 since = m_sinceSend.isValid() ? m_sinceSend.elapsed() : interval;
    m_sendTimer.start(int(std::max<qint64>(0, interval - since)));
}

void WebServer::send()
{
    if (!m_fanout.anyBehind())
        return;
    const std::vector<SnapshotFanout::Page> due = m_fanout.due([this](SnapshotFanout::Page id) {
        const auto found = m_pages.find(id);
        return found == m_pages.end() ? qint64(0) : found->second->socket->bytesToWrite();
    });
    if (due.empty())
        return;
    m_sinceSend.start();
    const QByteArray state = m_panel.snapshot().toJson();
    for (const SnapshotFanout::Page id : due)
        m_pages.at(id)->socket->sendText(state);
}
