#pragma once

#include "web/messagerate.h"
#include "web/snapshotfanout.h"
#include "web/tokenstore.h"
#include "web/webcounts.h"
#include "web/webhosts.h"
#include "web/webmessage.h"
#include "web/webplugin.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <map>
#include <memory>

class BoundedTcpServer;
class PageSocket;
class QTcpSocket;
struct RequestHead;

// The web remote: the page, its script and its style from the program's resources, and
// the pages' WebSockets on the same TCP port. A page joins by sending the access token;
// from then on its messages go to the panel's intents, and it gets the panel's whole state
// after every change, at most once every SendInterval, skipping what it has not taken yet.
// Only a request that names the panel's own address (or name) with its port is answered,
// and a WebSocket is opened only from the page's own origin. Everything else a page may
// send is refused and counted; the number of connections and pages, their lifetimes, the
// size and the rate of their messages are bounded, so no page can make the panel wait or
// grow.
class WebServer : public QObject, public WebRemote
{
    Q_OBJECT

public:
    static constexpr int MostPages = 32;
    // Every TCP connection at once, the pages' WebSockets and their requests for the page.
    static constexpr int MostConnections = 2 * MostPages;
    // Connections from one address that are not joined pages: a phone loads the page over
    // two or three at once, and opens its WebSocket.
    static constexpr int MostUnjoinedPerAddress = 6;
    static constexpr qint64 LargestMessage = 4096;
    static constexpr std::chrono::milliseconds SendInterval{12};
    // A page that has not given the token by then is closed, so that idle connections
    // cannot hold every place.
    static constexpr std::chrono::seconds TimeToJoin{20};
    // How long a connection may take to become a WebSocket, whatever it sends: a browser
    // asks for the page and its WebSocket within moments.
    static constexpr std::chrono::seconds RequestLimit{10};
    static constexpr const char *WebSocketPath = "/ws";

    WebServer(PanelAccess &panel, const QString &stateFolder, QObject *parent = nullptr);
    ~WebServer() override;

    // Reads the token, or makes one; false with why.
    bool loadToken(QString *errorMessage);

    bool listen(const QHostAddress &address, quint16 port, const QString &name,
                QString *errorMessage);
    bool listen(const sockaddr_storage &at, const QString &name, QString *errorMessage) override;
    quint16 port() const override;
    void panelChanged() override;
    QString joinAddress() const override;
    bool renewToken(QString *errorMessage) override;
    std::vector<std::vector<bool>> qrCode(const QByteArray &text) const override;
    QString countsSummary() const override;

    const WebCounts &counts() const { return m_counts; }
    int pageCount() const { return int(m_pages.size()); }
    int openConnections() const;
    QByteArray token() const { return m_token.token(); }

private:
    struct Page
    {
        PageSocket *socket = nullptr; // deleted later: it may be in its own signal
        bool joined = false;
        MessageRate rate;
        QTimer joinDeadline;
    };

    // A request for the page or its files; counted as turned away unless answered.
    QByteArray answer(const RequestHead &head);
    QList<QHostAddress> machineAddresses();
    void open(QTcpSocket *socket, const RequestHead &head);
    void refuseOpening(QTcpSocket *socket, const QByteArray &response);
    void read(SnapshotFanout::Page id, const QByteArray &text);
    void readHello(SnapshotFanout::Page id, Page &page, const WebMessage &message);
    void closed(SnapshotFanout::Page id);
    void drop(SnapshotFanout::Page id, int code, const QByteArray &reason);
    void sendLater();
    void send();

    PanelAccess &m_panel;
    TokenStore m_token;
    BoundedTcpServer *m_tcp = nullptr;
    QHostAddress m_address;
    WebHosts m_hosts;
    QList<QHostAddress> m_machineAddresses;
    QElapsedTimer m_addressesRead;
    std::map<SnapshotFanout::Page, std::unique_ptr<Page>> m_pages;
    SnapshotFanout::Page m_nextId = 1;
    SnapshotFanout m_fanout;
    QTimer m_sendTimer;
    QElapsedTimer m_sinceSend;
    WebCounts m_counts;
};
