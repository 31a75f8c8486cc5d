#include "support/rawwebsocket.h"
#include "support/webfixture.h"
#include "web/boundedtcpserver.h"
#include "web/messagerate.h"
#include "web/pagesocket.h"
#include "web/requesthead.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include <sys/socket.h>

// What the web remote bounds, whatever a page or anything else on the network sends:
// connections, pages, their lifetimes, and the size, rate and backlog of their messages;
// every way a connection ends gives its place back. On the loopback with real sockets, at
// the pace of the bounds themselves, which takes seconds.
class tst_WebBounds : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pageSocketBounded();
    void placesBounded();
    void answersWaitForTheReader();
    void unfinishedRequestsGiveTheirPlaces();
    void boundsHold();
    void connectionsBounded();
    void endlessRequestClosed();
    void closedSessionsGiveTheirPlaces();
};

void tst_WebBounds::pageSocketBounded()
{
    // A page's WebSocket on a bare connection. A page that floods pings and reads nothing is
    // answered only while little waits unsent; one whose unsent data passes the bound is
    // dropped.
    QTcpServer listener;
    QVERIFY(listener.listen(QHostAddress::LocalHost));
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, listener.serverPort());
    QVERIFY(listener.waitForNewConnection(5000) && client.waitForConnected(5000));
    PageSocket page(listener.nextPendingConnection(), WebServer::LargestMessage);
    QSignalSpy texts(&page, &PageSocket::textReceived);
    QSignalSpy ended(&page, &PageSocket::ended);
    const QByteArray ping = RawWebSocket::frame(RawWebSocket::Ping, QByteArray(125, 'p'));
    client.write(ping.repeated(1000) + RawWebSocket::frame(RawWebSocket::Text, "after"));
    QTRY_COMPARE(texts.count(), 1);
    QTRY_COMPARE(page.bytesToWrite(), 0);
    QByteArray pongs = client.readAll();
    while (client.waitForReadyRead(200))
        pongs += client.readAll();
    const qint64 pong = 2 + 125;
    QVERIFY2(pongs.size() >= pong && pongs.size() <= PageSocket::MostUnsentForPong + pong,
             qPrintable(QString::number(pongs.size() / pong)));
    page.sendText(QByteArray(PageSocket::LargestUnsent, 'x'));
    QCOMPARE(ended.count(), 1);
    QTRY_COMPARE(client.state(), QAbstractSocket::UnconnectedState);
}

void tst_WebBounds::placesBounded()
{
    // The server alone, with four places, two to an address that are not joined pages, and
    // 600 ms to become a WebSocket; a request is answered once it is whole.
    BoundedTcpServer server(
        {4, 2, std::chrono::milliseconds(600)}, "/ws",
        [](QTcpSocket *socket, const RequestHead &) { socket->abort(); },
        [](const RequestHead &) { return QByteArray("HTTP/1.1 204 No Content\r\n\r\n"); });
    QSignalSpy turnedAway(&server, &BoundedTcpServer::turnedAway);
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    const auto from = [&](int address, const QByteArray &sends) {
        clients.push_back(WebFixture::connectFrom(address, server.serverPort()));
        if (!clients.back()->waitForConnected(5000))
            qWarning("Not connected");
        clients.back()->write(sends);
        return clients.back().get();
    };
    const auto isClosed = [](QTcpSocket *socket) {
        return socket->state() == QAbstractSocket::UnconnectedState;
    };
    // Two requests that never end fill an address's places; a third is refused.
    QTcpSocket *trickling = from(0, "GET / HTTP/1.1\r\n");
    QTcpSocket *stuck = from(0, "GET / HTTP/1.1\r\n");
    QTRY_COMPARE(server.open(), 2);
    QTest::qWait(100); // for the server to read what they sent: they are not idle
    QVERIFY(isClosed(from(0, {})) ||
            QTest::qWaitFor([&] { return isClosed(clients.back().get()); }));
    QCOMPARE(turnedAway.count(), 1);
    // Another address: one connection says nothing, one is answered; every place is taken.
    QTcpSocket *silent = from(1, {});
    QTRY_COMPARE(server.open(), 3);
    QTcpSocket *answered = from(1, "GET / HTTP/1.1\r\nHost: a\r\n\r\n");
    QTRY_VERIFY(answered->bytesAvailable() > 0);
    // One more takes the place of the oldest idle one; nobody is turned away.
    QTcpSocket *late = from(2, {});
    QTRY_VERIFY(isClosed(silent));
    QCOMPARE(server.open(), 4);
    QVERIFY(!isClosed(answered) && !isClosed(late) && !isClosed(stuck));
    // Whatever it sends, a connection is closed when its time is up; only the two whose
    // requests never ended are turned away.
    QTimer trickle;
    connect(&trickle, &QTimer::timeout, trickling, [trickling] { trickling->write("X"); });
    trickle.start(50);
    QTRY_COMPARE(server.open(), 0);
    QVERIFY(isClosed(trickling) && isClosed(answered));
    QCOMPARE(turnedAway.count(), 3);
}

void tst_WebBounds::answersWaitForTheReader()
{
    // A hundred requests sent at once by a client that reads nothing: each answer of a
    // megabyte is made only once the one before has gone to the system, so what the server
    // holds stays under a bound whatever the client asks; once it reads, it has them all.
    int answered = 0;
    BoundedTcpServer server(
        {4, 4, std::chrono::milliseconds(20000)}, "/ws",
        [](QTcpSocket *socket, const RequestHead &) { socket->abort(); },
        [&answered](const RequestHead &) {
            ++answered;
            return "HTTP/1.1 200 OK\r\nContent-Length: 1048576\r\n\r\n" +
                   QByteArray(1024 * 1024, 'x');
        });
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    QTcpSocket client;
    client.setReadBufferSize(4096);
    client.connectToHost(QHostAddress::LocalHost, server.serverPort());
    QVERIFY(client.waitForConnected(5000));
    client.write(QByteArray("GET / HTTP/1.1\r\nHost: a\r\n\r\n").repeated(100));
    QTest::qWait(500);
    QVERIFY2(answered < 20, qPrintable(QString::number(answered)));
    client.setReadBufferSize(0);
    qint64 received = 0;
    QVERIFY(QTest::qWaitFor(
        [&] {
            received += client.readAll().size();
            return answered == 100 && received >= 100 * (1024 * 1024 + 40);
        },
        10000));
}

void tst_WebBounds::unfinishedRequestsGiveTheirPlaces()
{
    // Two places, taken by requests that never end: a newcomer is refused at first, but once
    // they have had their patience the oldest gives its place, whatever its time left.
    BoundedTcpServer server(
        {2, 2, std::chrono::milliseconds(20000), std::chrono::milliseconds(300)}, "/ws",
        [](QTcpSocket *socket, const RequestHead &) { socket->abort(); },
        [](const RequestHead &) { return QByteArray("HTTP/1.1 204 No Content\r\n\r\n"); });
    QSignalSpy turnedAway(&server, &BoundedTcpServer::turnedAway);
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int n = 0; n < 2; ++n) {
        clients.push_back(WebFixture::connectFrom(0, server.serverPort()));
        QVERIFY(clients.back()->waitForConnected(5000));
        clients.back()->write("GET / HTTP/1.1\r\n");
        QTRY_COMPARE(server.open(), n + 1);
    }
    QTest::qWait(50); // for the server to read them: they are not idle
    auto early = WebFixture::connectFrom(1, server.serverPort());
    QTRY_COMPARE(turnedAway.count(), 1);
    QTRY_COMPARE(early->state(), QAbstractSocket::UnconnectedState);
    QTest::qWait(300);
    auto late = WebFixture::connectFrom(1, server.serverPort());
    late->write("GET / HTTP/1.1\r\nHost: a\r\n\r\n");
    QTRY_VERIFY(late->bytesAvailable() > 0);
    QCOMPARE(clients.front()->state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(clients.back()->state(), QAbstractSocket::ConnectedState);
    QCOMPARE(turnedAway.count(), 2);
}

void tst_WebBounds::boundsHold()
{
    WebFixture web;
    QVERIFY2(web.failure().isEmpty(), qPrintable(web.failure()));
    auto one = web.page(web.server.token());
    // A flood from one page: what comes beyond its rate is ignored.
    for (int i = 0; i < 400; ++i)
        one->sendTextMessage(QStringLiteral(R"({"do":"channel","n":1,"v":%1})").arg(i % 100));
    QVERIFY(QTest::qWaitFor(
        [&] { return web.server.counts().taken + web.server.counts().tooFast == 400; }));
    QVERIFY(web.server.counts().tooFast >= 400 - MessageRate::MostPerSecond);

    // A message beyond the limit closes its page.
    one->sendTextMessage(QString(int(WebServer::LargestMessage) + 1, QLatin1Char(' ')));
    QVERIFY(QTest::qWaitFor([&] { return one->state() == QAbstractSocket::UnconnectedState; }));
    QCOMPARE(web.server.counts().oversized, 1);

    // Pages beyond the most at once are turned away; the others stay.
    std::vector<std::unique_ptr<QWebSocket>> crowd;
    for (int i = 0; i < WebServer::MostPages; ++i)
        crowd.push_back(web.page(web.server.token()));
    for (int i = 0; i < 3; ++i) {
        crowd.push_back(std::make_unique<QWebSocket>(web.origin()));
        crowd.back()->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(web.server.port())));
    }
    QVERIFY(QTest::qWaitFor([&] { return web.server.counts().pagesTurnedAway == 3; }));
    QCOMPARE(web.server.pageCount(), WebServer::MostPages);
}

void tst_WebBounds::connectionsBounded()
{
    WebFixture web;
    QVERIFY2(web.failure().isEmpty(), qPrintable(web.failure()));
    // Rounds of connections at once, from as many addresses (no more than the system's queue
    // of new connections takes at once), each round after the last has closed: twice as
    // many in all as may be open, and each one gets the page, as every connection that
    // closes gives its place back.
    const int round = WebServer::MostConnections / 2;
    const QByteArray request =
        "GET / HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(web.server.port()) + "\r\n\r\n";
    for (int rounds = 0; rounds < 4; ++rounds) {
        std::vector<std::unique_ptr<QTcpSocket>> sockets;
        std::vector<QByteArray> answers(round);
        for (int i = 0; i < round; ++i) {
            sockets.push_back(WebFixture::connectFrom(i, web.server.port()));
            QTcpSocket *socket = sockets.back().get();
            connect(socket, &QTcpSocket::connected, this,
                    [socket, request] { socket->write(request); });
            connect(socket, &QTcpSocket::readyRead, this,
                    [socket, &answers, i] { answers[std::size_t(i)] += socket->readAll(); });
        }
        QVERIFY(QTest::qWaitFor([&] {
            return std::all_of(answers.begin(), answers.end(), [](const QByteArray &answer) {
                return answer.startsWith("HTTP/1.1 200 OK") && answer.contains("</html>");
            });
        }));
        sockets.clear();
        QVERIFY(QTest::qWaitFor([&] { return web.server.openConnections() == 0; }));
    }
    QCOMPARE(web.server.counts().pagesTurnedAway, 0);
    // Requests that never end, from many addresses, take places until none is left; one
    // more is refused.
    std::vector<std::unique_ptr<QTcpSocket>> stuck;
    for (int i = 0; i < WebServer::MostConnections; ++i) {
        stuck.push_back(
            WebFixture::connectFrom(i / WebServer::MostUnjoinedPerAddress, web.server.port()));
        stuck.back()->write("GET / HTTP");
        if (i % 16 == 15)
            QTRY_COMPARE(web.server.openConnections(), i + 1);
    }
    QTest::qWait(100); // for the server to read what they sent: they are not idle
    stuck.push_back(WebFixture::connectFrom(WebServer::MostConnections, web.server.port()));
    QVERIFY(QTest::qWaitFor([&] { return web.server.counts().pagesTurnedAway == 1; }));
    QCOMPARE(web.server.openConnections(), WebServer::MostConnections);
}

void tst_WebBounds::endlessRequestClosed()
{
    WebFixture web;
    QVERIFY2(web.failure().isEmpty(), qPrintable(web.failure()));
    // Headers that run on are closed once they pass the bound, before the HTTP server has
    // kept them whole; a page that joined sends far more than that over its WebSocket.
    auto joined = web.page(web.server.token());
    QVERIFY(joined->state() == QAbstractSocket::ConnectedState);
    QTcpSocket endless;
    bool closed = false;
    connect(&endless, &QTcpSocket::disconnected, this, [&closed] { closed = true; });
    endless.connectToHost(QHostAddress::LocalHost, web.server.port());
    QVERIFY(endless.waitForConnected(5000));
    endless.write("GET / HTTP/1.1\r\nHost: panel\r\nX-More: ");
    const QByteArray more(16 * 1024, 'a');
    for (int k = 0; k < 64 && !closed; ++k) {
        endless.write(more);
        QTest::qWait(5);
    }
    QVERIFY(QTest::qWaitFor([&] { return closed; }));
    QCOMPARE(web.server.counts().pagesTurnedAway, 1);
    // 160 messages of 500 bytes (padded with spaces), at the pace a page may send.
    for (int k = 0; k < 160; ++k) {
        const QString move =
            QStringLiteral(R"({"do": "channel", "n": %1, "v": %2})").arg(k % 8 + 1).arg(k % 100);
        joined->sendTextMessage(move + QString(500 - move.size(), QLatin1Char(' ')));
        QTest::qWait(8);
    }
    QVERIFY(QTest::qWaitFor([&] { return web.f.desk.channel(7) == 59; }));
    QCOMPARE(joined->state(), QAbstractSocket::ConnectedState);
}

void tst_WebBounds::closedSessionsGiveTheirPlaces()
{
    WebFixture web;
    QVERIFY2(web.failure().isEmpty(), qPrintable(web.failure()));
    // Sessions opened and ended, five at a time, three times as many in all as there are
    // places: closed by their pages, dropped for a wrong token, or reset. Each gives its
    // place back, and a phone still joins.
    const QByteArray wrong = R"({"hello":"00000000000000000000000000000000"})";
    const linger reset{1, 0};
    const QByteArray opening = RawWebSocket::opening("127.0.0.1:PORT", "http://127.0.0.1:PORT")
                                   .replace("PORT", QByteArray::number(web.server.port()));
    for (int batch = 0; batch < 40; ++batch) {
        std::vector<std::unique_ptr<QTcpSocket>> sessions;
        std::vector<QByteArray> answers(5);
        for (int i = 0; i < 5; ++i) {
            sessions.push_back(WebFixture::connectFrom(0, web.server.port()));
            sessions.back()->write(opening);
        }
        QVERIFY(QTest::qWaitFor([&] {
            for (std::size_t i = 0; i < sessions.size(); ++i)
                answers[i] += sessions[i]->readAll();
            return std::all_of(answers.begin(), answers.end(), [](const QByteArray &answer) {
                return answer.contains("\r\n\r\n");
            });
        }));
        for (std::size_t i = 0; i < sessions.size(); ++i) {
            QVERIFY(answers[i].startsWith("HTTP/1.1 101"));
            if ((batch * 5 + i) % 3 == 0) {
                sessions[i]->write(RawWebSocket::close(1001));
            } else if ((batch * 5 + i) % 3 == 1) {
                sessions[i]->write(RawWebSocket::frame(RawWebSocket::Text, wrong) +
                                   RawWebSocket::close(1000));
            } else {
                ::setsockopt(int(sessions[i]->socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset,
                             sizeof reset);
                sessions[i]->abort();
            }
        }
        QVERIFY2(QTest::qWaitFor([&] { return web.server.openConnections() == 0; }),
                 qPrintable(QStringLiteral("batch %1").arg(batch)));
    }
    auto phone = web.page(web.server.token());
    QVERIFY(!web.lastState(*phone).isEmpty());
    QCOMPARE(web.server.counts().pagesTurnedAway, 0);
}

QTEST_GUILESS_MAIN(tst_WebBounds)
#include "tst_webbounds.moc"
