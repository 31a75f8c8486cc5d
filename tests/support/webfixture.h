#pragma once

#include "app/deskaccess.h"
#include "link/seriallink.h"
#include "support/deskfixture.h"
#include "web/webserver.h"

#include <QJsonObject>
#include <QList>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QWebSocket>

#include <map>
#include <memory>

// The web remote's server on the loopback before the real desk, whose line records the bytes
// the board would get, kept told of every change as the panel keeps it; its token in a
// temporary folder. And the pages and connections a test opens to it, what each page was
// sent kept.
class WebFixture : public QObject
{
    Q_OBJECT

public:
    WebFixture();

    // Empty when the server listens; otherwise why not.
    QString failure() const { return m_failure; }
    QString origin() const { return QStringLiteral("http://127.0.0.1:%1").arg(server.port()); }

    // A page's socket, joined with token unless empty.
    std::unique_ptr<QWebSocket> page(const QByteArray &token);
    // A connection to port from loopback address 127.0.0.(2 + n).
    static std::unique_ptr<QTcpSocket> connectFrom(int n, quint16 port);
    // A connection that has sent request (PORT: the server's) and read the head of the
    // answer, in *answer.
    std::unique_ptr<QTcpSocket> ask(const QByteArray &request, QByteArray *answer);
    // The state a page was last sent; empty before any.
    QJsonObject lastState(QWebSocket &socket);

    QTemporaryDir state;
    DeskFixture f;
    SerialLink link;
    DeskAccess access{f.desk, link};
    WebServer server{access, state.path()};
    std::map<QWebSocket *, QList<QJsonObject>> received;

private:
    QString m_failure;
};
