#pragma once

#include "web/messagerate.h"
#include "web/snapshotfanout.h"
#include "web/tokenstore.h"
#include "web/webcounts.h"
#include "web/webplugin.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QHttpServer>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <map>
#include <memory>

class BoundedTcpServer;
class QWebSocket;

// The web remote: the page, its script and its style from the program's resources, and
// the pages' WebSockets on the same TCP port. A page joins by sending the access token;
// from then on its messages go to the panel's intents, and it gets the panel's whole state
// after every change, at most once every SendInterval, skipping what it has not taken yet.
// Everything else a page may send is refused and counted; the number of pages, the size
// and the rate of their messages are bounded, so no page can make the panel wait or grow.
class WebServer : public QObject, public WebRemote
{
    Q_OBJECT

public:
    static constexpr int MostPages = 32;
    // Every TCP connection at once, the pages' WebSockets and their requests for the page.
    static constexpr int MostConnections = 2 * MostPages;
    static constexpr qint64 LargestMessage = 4096;
    static constexpr std::chrono::milliseconds SendInterval{12};
    // A page that has not given the token by then is closed, so that idle connections
    // cannot hold every place.
    static constexpr std::chrono::seconds TimeToJoin{20};
    // A connection that has sent nothing for this long before it became a WebSocket: a
    // browser asks for the page and its WebSocket within moments.
    static constexpr std::chrono::seconds IdleLimit{10};

    WebServer(PanelAccess &panel, const QString &stateFolder, QObject *parent = nullptr);
    ~WebServer() override;

    // Reads the token, or makes one; false with why.
    bool loadToken(QString *errorMessage);

    bool listen(const QHostAddress &address, quint16 port, QString *errorMessage) override;
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
        QWebSocket *socket = nullptr; // deleted later: it may be in its own signal
        bool joined = false;
        MessageRate rate;
        QTimer joinDeadline;
    };

    void addRoutes();
    void takeConnections();
    void read(SnapshotFanout::Page id, const QString &text);
    void readHello(SnapshotFanout::Page id, Page &page, const WebMessage &message);
    void closed(SnapshotFanout::Page id);
    void drop(SnapshotFanout::Page id, int code, const QString &reason);
    void sendLater();
    void send();

    PanelAccess &m_panel;
    TokenStore m_token;
    QHttpServer m_http;
    BoundedTcpServer *m_tcp = nullptr; // the HTTP server's
    QHostAddress m_address;
    std::map<SnapshotFanout::Page, std::unique_ptr<Page>> m_pages;
    SnapshotFanout::Page m_nextId = 1;
    SnapshotFanout m_fanout;
    QTimer m_sendTimer;
    QElapsedTimer m_sinceSend;
    WebCounts m_counts;
};
