#include "webserver.h"

#include "web/boundedtcpserver.h"
#include "web/joinaddress.h"
#include "web/qrencoder.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QWebSocket>

namespace {

// The page's files, built into the program.
QHttpServerResponse resource(const QString &name, const QByteArray &type)
{
    QFile file(QStringLiteral(":/web/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return QHttpServerResponse(QHttpServerResponse::StatusCode::NotFound);
    QHttpServerResponse response(type, file.readAll());
    // The page loads nothing from anywhere else, and nothing may frame it.
    response.setHeader("Content-Security-Policy",
                       "default-src 'self'; connect-src 'self' ws: wss:; img-src 'self' data:; "
                       "frame-ancestors 'none'");
    response.setHeader("Referrer-Policy", "no-referrer");
    response.setHeader("X-Content-Type-Options", "nosniff");
    response.setHeader("Cache-Control", "no-cache");
    return response;
}

QByteArray refusal(const char *why) { return QByteArray("{\"refused\":\"") + why + "\"}"; }

} // namespace

WebServer::WebServer(PanelAccess &panel, const QString &stateFolder, QObject *parent)
    : QObject(parent), m_panel(panel), m_token(stateFolder)
{
    addRoutes();
    connect(&m_http, &QHttpServer::newWebSocketConnection, this, &WebServer::takeConnections);
    m_sendTimer.setSingleShot(true);
    connect(&m_sendTimer, &QTimer::timeout, this, &WebServer::send);
}

WebServer::~WebServer()
{
    for (auto &[id, page] : m_pages) {
        page->socket->disconnect(this);
        page->socket->abort();
        delete page->socket;
    }
}

bool WebServer::loadToken(QString *errorMessage) { return m_token.load(errorMessage); }

void WebServer::addRoutes()
{
    m_http.route(QStringLiteral("/"), [] {
        return resource(QStringLiteral("index.html"), "text/html; charset=utf-8");
    });
    m_http.route(QStringLiteral("/app.js"), [] {
        return resource(QStringLiteral("app.js"), "text/javascript; charset=utf-8");
    });
    m_http.route(QStringLiteral("/app.css"),
                 [] { return resource(QStringLiteral("app.css"), "text/css; charset=utf-8"); });
    // Qt's server upgrades a request to a WebSocket only when a route takes it and writes
    // nothing back; any other request here is answered.
    m_http.route(QStringLiteral("/ws"),
                 [](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
                     if (request.value("upgrade").compare("websocket", Qt::CaseInsensitive) != 0)
                         responder.write(QHttpServerResponder::StatusCode::BadRequest);
                 });
}

bool WebServer::listen(const QHostAddress &address, quint16 port, QString *errorMessage)
{
    auto *tcp = new BoundedTcpServer(
        MostConnections, IdleLimit, [this] { ++m_counts.pagesTurnedAway; }, this);
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
    m_tcp = tcp;
    m_address = address;
    m_http.bind(tcp);
    return true;
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
        drop(id, QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("token renewed"));
    return true;
}

void WebServer::takeConnections()
{
    while (m_http.hasPendingWebSocketConnections()) {
        QWebSocket *socket = m_http.nextPendingWebSocketConnection().release();
        if (!socket)
            continue;
        m_tcp->becameWebSocket(socket->peerAddress(), socket->peerPort());
        if (int(m_pages.size()) >= MostPages) {
            ++m_counts.pagesTurnedAway;
            socket->close(QWebSocketProtocol::CloseCodePolicyViolated,
                          QStringLiteral("too many pages"));
            socket->deleteLater();
            continue;
        }
        const SnapshotFanout::Page id = m_nextId++;
        auto page = std::make_unique<Page>();
        page->socket = socket;
        socket->setParent(this);
        socket->setMaxAllowedIncomingFrameSize(quint64(LargestMessage));
        socket->setMaxAllowedIncomingMessageSize(quint64(LargestMessage));
        connect(socket, &QWebSocket::textMessageReceived, this,
                [this, id](const QString &text) { read(id, text); });
        connect(socket, &QWebSocket::binaryMessageReceived, this, [this, id] {
            ++m_counts.binary;
            drop(id, QWebSocketProtocol::CloseCodeDatatypeNotSupported, {});
        });
        connect(socket, &QWebSocket::disconnected, this, [this, id] { closed(id); });
        // A page that could not take its last state is sent the newest once it has.
        connect(socket, &QWebSocket::bytesWritten, this, [this] {
            if (m_fanout.anyBehind())
                sendLater();
        });
        page->joinDeadline.setSingleShot(true);
        connect(&page->joinDeadline, &QTimer::timeout, this, [this, id] {
            drop(id, QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("no token"));
        });
        page->joinDeadline.start(TimeToJoin);
        m_pages.emplace(id, std::move(page));
    }
}

void WebServer::read(SnapshotFanout::Page id, const QString &text)
{
    const auto found = m_pages.find(id);
    if (found == m_pages.end())
        return;
    Page &page = *found->second;
    if (!page.rate.take(MessageRate::Clock::now())) {
        ++m_counts.tooFast;
        return;
    }
    const WebMessage message = WebMessage::read(text.toUtf8());
    using Outcome = WebMessage::Outcome;
    switch (message.outcome) {
    case Outcome::Malformed:
        ++m_counts.malformed;
        return;
    case Outcome::UnknownAction:
        ++m_counts.unknownActions;
        return;
    case Outcome::WrongArguments:
        ++m_counts.wrongArguments;
        return;
    case Outcome::OutOfRange:
        ++m_counts.outOfRange;
        return;
    case Outcome::Act:
        break;
    }
    if (message.action == WebMessage::Action::Hello) {
        readHello(id, page, message);
        return;
    }
    if (!page.joined) {
        ++m_counts.withoutToken;
        // Told why, unless it has not even read the last answer.
        if (page.socket->bytesToWrite() <= SnapshotFanout::MostUnsent)
            page.socket->sendTextMessage(QString::fromLatin1(refusal("token")));
        return;
    }
    if (m_panel.isInputHeld()) {
        ++m_counts.whileWindowUp;
        return;
    }
    ++m_counts.taken;
    m_panel.act(message);
}

void WebServer::readHello(SnapshotFanout::Page id, Page &page, const WebMessage &message)
{
    if (!m_token.matches(message.token)) {
        ++m_counts.wrongTokens;
        page.socket->sendTextMessage(QString::fromLatin1(refusal("token")));
        drop(id, QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("wrong token"));
        return;
    }
    if (page.joined)
        return;
    ++m_counts.joined;
    page.joined = true;
    page.joinDeadline.stop();
    m_fanout.add(id);
    sendLater();
}

void WebServer::closed(SnapshotFanout::Page id)
{
    const auto found = m_pages.find(id);
    if (found == m_pages.end())
        return;
    if (found->second->socket->closeCode() == QWebSocketProtocol::CloseCodeTooMuchData)
        ++m_counts.oversized;
    found->second->socket->disconnect(this);
    found->second->socket->deleteLater();
    m_fanout.remove(id);
    m_pages.erase(found);
}

void WebServer::drop(SnapshotFanout::Page id, int code, const QString &reason)
{
    const auto found = m_pages.find(id);
    if (found == m_pages.end())
        return;
    QWebSocket *socket = found->second->socket;
    m_fanout.remove(id);
    m_pages.erase(found);
    socket->disconnect(this);
    socket->close(QWebSocketProtocol::CloseCode(code), reason);
    socket->deleteLater();
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
    const QString state = QString::fromUtf8(m_panel.snapshot().toJson());
    for (const SnapshotFanout::Page id : due)
        m_pages.at(id)->socket->sendTextMessage(state);
}
