#include "app/deskaccess.h"
#include "link/seriallink.h"
#include "support/deskactions.h"
#include "support/deskfixture.h"
#include "support/rawwebsocket.h"
#include "support/wire.h"
#include "web/boundedtcpserver.h"
#include "web/framereader.h"
#include "web/joinaddress.h"
#include "web/messagerate.h"
#include "web/pagesocket.h"
#include "web/requesthead.h"
#include "web/snapshotfanout.h"
#include "web/tokenstore.h"
#include "web/webhosts.h"
#include "web/webmessage.h"
#include "web/webserver.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QWebSocket>

#include <sys/socket.h>
#include <sys/stat.h>

#include <memory>

// The web remote without a browser: the message reader, the state that the pages get and
// when, the token file, and the server itself on the loopback with real WebSockets before
// the real desk, whose line records the bytes the board would get.
class tst_Web : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reader_data();
    void reader();
    void fanout();
    void rate();
    void tokenFile();
    void tokenFileReplaced_data();
    void tokenFileReplaced();
    void tokenFileNeverThroughLinks_data();
    void tokenFileNeverThroughLinks();
    void codeAddress_data();
    void codeAddress();
    void hosts_data();
    void hosts();
    void origins_data();
    void origins();
    void frames_data();
    void frames();
    void pageSocketBounded();
    void placesBounded();

    void init();
    void cleanup();
    void joinsAndControls_data();
    void joinsAndControls();
    void refusedWithoutToken();
    void wrongTokenClosed();
    void heldWhileWindowUp();
    void changesCoalesced();
    void renewDropsPages();
    void boundsHold();
    void connectionsBounded();
    void endlessRequestClosed();
    void hostsAndOriginsAnswered_data();
    void hostsAndOriginsAnswered();
    void unmaskedFrameRefused();
    void closedSessionsGiveTheirPlaces();
    void portTaken();

private:
    // A page's socket, joined with token unless empty; its state messages are kept.
    std::unique_ptr<QWebSocket> page(const QByteArray &token);
    QString origin() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server->port()); }
    // A connection to the server from loopback address 127.0.0.(2 + n).
    std::unique_ptr<QTcpSocket> connectFrom(int n, quint16 port = 0);
    // A connection that has sent request and read the head of the answer, in *answer.
    std::unique_ptr<QTcpSocket> ask(const QByteArray &request, QByteArray *answer);
    QJsonObject lastState(QWebSocket &socket);

    std::unique_ptr<QTemporaryDir> m_state;
    std::unique_ptr<DeskFixture> m_fixture;
    std::unique_ptr<SerialLink> m_link;
    std::unique_ptr<DeskAccess> m_access;
    std::unique_ptr<WebServer> m_server;
    std::map<QWebSocket *, QList<QJsonObject>> m_received;
};

void tst_Web::reader_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("value");
    using A = WebMessage::Action;
    using O = WebMessage::Outcome;
    const auto row = [](const char *name, const QByteArray &text, O outcome, A action = A::Hello,
                        int number = 0, int value = 0) {
        QTest::newRow(name) << text << int(outcome) << int(action) << number << value;
    };
    row("hello", R"({"hello":"abc"})", O::Act);
    row("channel", R"({"do":"channel","n":3,"v":60})", O::Act, A::Channel, 3, 60);
    row("channel 8 at 99", R"({"v":99,"n":8,"do":"channel"})", O::Act, A::Channel, 8, 99);
    row("master", R"({"do":"master","v":0})", O::Act, A::Master, 0, 0);
    row("full on", R"({"do":"fullon","n":1})", O::Act, A::FullOn, 1);
    row("off", R"({"do":"off","n":2})", O::Act, A::Off, 2);
    row("master full on", R"({"do":"masterfullon"})", O::Act, A::MasterFullOn);
    row("all off", R"({"do":"alloff"})", O::Act, A::AllOff);
    row("scene 12", R"({"do":"scene","n":12})", O::Act, A::Scene, 12);
    row("mode 1", R"({"do":"mode","n":1})", O::Act, A::Mode, 1);
    row("blackout", R"({"do":"blackout"})", O::Act, A::Blackout);
    row("fade 100", R"({"do":"fade","v":100})", O::Act, A::Fade, 0, 100);
    row("whole float", R"({"do":"channel","n":2.0,"v":5e1})", O::Act, A::Channel, 2, 50);

    row("empty", "", O::Malformed);
    row("not json", "channel 3 60", O::Malformed);
    row("array", R"([{"do":"alloff"}])", O::Malformed);
    row("cut short", R"({"do":"channel","n":3)", O::Malformed);
    row("too long", "{\"do\":\"alloff\",\"x\":\"" + QByteArray(600, 'x') + "\"}", O::Malformed);
    row("no action", R"({"n":3})", O::UnknownAction);
    row("unknown", R"({"do":"download"})", O::UnknownAction);
    row("action not text", R"({"do":3})", O::UnknownAction);
    row("case differs", R"({"do":"AllOff"})", O::UnknownAction);
    row("level missing", R"({"do":"channel","n":3})", O::WrongArguments);
    row("extra member", R"({"do":"alloff","n":1})", O::WrongArguments);
    row("fraction", R"({"do":"master","v":49.5})", O::WrongArguments);
    row("level as text", R"({"do":"master","v":"50"})", O::WrongArguments);
    row("token not text", R"({"hello":1234})", O::WrongArguments);
    row("hello with more", R"({"hello":"a","do":"alloff"})", O::WrongArguments);
    row("channel 0", R"({"do":"channel","n":0,"v":1})", O::OutOfRange);
    row("channel 9", R"({"do":"fullon","n":9})", O::OutOfRange);
    row("level 100", R"({"do":"channel","n":1,"v":100})", O::OutOfRange);
    row("level -1", R"({"do":"master","v":-1})", O::OutOfRange);
    row("scene 13", R"({"do":"scene","n":13})", O::OutOfRange);
    row("fade 101", R"({"do":"fade","v":101})", O::OutOfRange);
    row("huge", R"({"do":"master","v":1e300})", O::OutOfRange);
}

void tst_Web::reader()
{
    QFETCH(QByteArray, text);
    QFETCH(int, outcome);
    const WebMessage message = WebMessage::read(text);
    QCOMPARE(int(message.outcome), outcome);
    if (message.outcome == WebMessage::Outcome::Act) {
        QTEST(int(message.action), "action");
        QTEST(message.number, "number");
        QTEST(message.value, "value");
    }
}

void tst_Web::fanout()
{
    SnapshotFanout fanout;
    std::map<SnapshotFanout::Page, qint64> unsent{{1, 0}, {2, 0}};
    const auto backlog = [&unsent](SnapshotFanout::Page page) { return unsent[page]; };
    fanout.add(1);
    fanout.add(2);
    // New pages have seen nothing.
    QCOMPARE(fanout.due(backlog), (std::vector<SnapshotFanout::Page>{1, 2}));
    QVERIFY(!fanout.anyBehind());
    QVERIFY(fanout.due(backlog).empty());
    // A page that has not taken its last state skips the changes until it has, and then
    // gets one state, however many changes it missed.
    unsent[2] = SnapshotFanout::MostUnsent + 1;
    for (int change = 0; change < 100; ++change) {
        fanout.changed();
        QCOMPARE(fanout.due(backlog), (std::vector<SnapshotFanout::Page>{1}));
    }
    QVERIFY(fanout.anyBehind());
    unsent[2] = SnapshotFanout::MostUnsent;
    QCOMPARE(fanout.due(backlog), (std::vector<SnapshotFanout::Page>{2}));
    QVERIFY(!fanout.anyBehind());
    fanout.changed();
    fanout.remove(1);
    QCOMPARE(fanout.due(backlog), (std::vector<SnapshotFanout::Page>{2}));
}

void tst_Web::rate()
{
    MessageRate rate;
    const auto start = MessageRate::Clock::now();
    int taken = 0;
    for (int i = 0; i < 1000; ++i)
        taken += rate.take(start + std::chrono::microseconds(i)) ? 1 : 0;
    QCOMPARE(taken, MessageRate::MostPerSecond);
    QVERIFY(rate.take(start + std::chrono::seconds(1)));
}

void tst_Web::tokenFile()
{
    QTemporaryDir folder;
    const QString state = folder.filePath(QStringLiteral("state/dimmer-panel"));
    TokenStore store(state);
    QString problem;
    QVERIFY2(store.load(&problem), qPrintable(problem));
    const QByteArray first = store.token();
    QVERIFY(TokenStore::isWellFormed(first));
    QFile file(store.path());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), first + '\n');
    struct stat info
    {};
    QCOMPARE(::stat(QFile::encodeName(store.path()).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, mode_t(0600));

    TokenStore again(state);
    QVERIFY(again.load(&problem));
    QCOMPARE(again.token(), first);
    QVERIFY(again.matches(first));
    QVERIFY(again.renew(&problem));
    QVERIFY(again.token() != first);
    QVERIFY(!again.matches(first));
    QCOMPARE(::stat(QFile::encodeName(store.path()).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, mode_t(0600));
    TokenStore third(state);
    QVERIFY(third.load(&problem));
    QCOMPARE(third.token(), again.token());
    // A token file that others may read is kept, and made its owner's alone.
    QVERIFY(QFile::setPermissions(store.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ReadOther));
    TokenStore fourth(state);
    QVERIFY(fourth.load(&problem));
    QCOMPARE(fourth.token(), again.token());
    QCOMPARE(::stat(QFile::encodeName(store.path()).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, mode_t(0600));
}

void tst_Web::tokenFileReplaced_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("short") << QByteArray("0123456789abcdef\n");
    QTest::newRow("upper case") << QByteArray(32, 'A');
    QTest::newRow("long") << QByteArray(4096, 'a');
}

void tst_Web::tokenFileReplaced()
{
    QFETCH(QByteArray, text);
    QTemporaryDir folder;
    TokenStore store(folder.path());
    QFile file(store.path());
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    QString problem;
    QVERIFY(store.load(&problem));
    QVERIFY(TokenStore::isWellFormed(store.token()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), store.token() + '\n');
}

void tst_Web::tokenFileNeverThroughLinks_data()
{
    QTest::addColumn<bool>("targetExists");
    QTest::newRow("link to a file") << true;
    QTest::newRow("dangling link") << false;
}

void tst_Web::tokenFileNeverThroughLinks()
{
    QFETCH(bool, targetExists);
    QTemporaryDir folder;
    QFile other(folder.filePath(QStringLiteral("elsewhere")));
    if (targetExists)
        QVERIFY(other.open(QIODevice::WriteOnly) && other.write("other\n") == 6);
    other.close();
    const QFileDevice::Permissions before = other.permissions();
    TokenStore store(folder.path());
    QVERIFY(QFile::link(other.fileName(), store.path()));
    QString problem;
    QVERIFY(!store.load(&problem) && !store.renew(&problem) && store.token().isEmpty());
    QVERIFY2(problem.contains(store.path()) && problem.contains(QStringLiteral("symbolic link")),
             qPrintable(problem));
    // The link's target is as it was, or still not there.
    QCOMPARE(other.exists(), targetExists);
    QCOMPARE(other.permissions(), before);
    QVERIFY(!targetExists || (other.open(QIODevice::ReadOnly) && other.readAll() == "other\n"));
}

void tst_Web::codeAddress_data()
{
    QTest::addColumn<QString>("listening");
    QTest::addColumn<QStringList>("machine");
    QTest::addColumn<QString>("inCode");
    const QStringList machine{"127.0.0.1", "::1", "fe80::1", "192.168.5.20", "10.0.0.3"};
    QTest::newRow("loopback") << "127.0.0.1" << machine << "127.0.0.1";
    QTest::newRow("one address") << "10.0.0.3" << machine << "10.0.0.3";
    QTest::newRow("any IPv4") << "0.0.0.0" << machine << "192.168.5.20";
    QTest::newRow("any") << "::" << machine << "192.168.5.20";
    QTest::newRow("no network") << "0.0.0.0" << QStringList{"127.0.0.1", "::1"} << "127.0.0.1";
}

void tst_Web::codeAddress()
{
    QFETCH(QString, listening);
    QFETCH(QStringList, machine);
    QList<QHostAddress> addresses;
    for (const QString &address : machine)
        addresses << QHostAddress(address);
    const QHostAddress host = JoinAddress::forCode(QHostAddress(listening), addresses);
    QTEST(host.toString(), "inCode");
    QCOMPARE(JoinAddress::url(QHostAddress(QStringLiteral("10.0.0.3")), 8080, "00ff"),
             QStringLiteral("http://10.0.0.3:8080/#t=00ff"));
}

void tst_Web::hosts_data()
{
    QTest::addColumn<QString>("listening");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<bool>("answers");
    const auto row = [](const char *what, const char *listening, int port, const char *name,
                        const char *host, bool answers) {
        QTest::newRow(what) << QString::fromLatin1(listening) << port << QString::fromLatin1(name)
                            << QByteArray(host) << answers;
    };
    row("its address", "127.0.0.1", 8080, "", "127.0.0.1:8080", true);
    row("no port", "127.0.0.1", 8080, "", "127.0.0.1", false);
    row("another port", "127.0.0.1", 8080, "", "127.0.0.1:8081", false);
    row("a rebound name", "127.0.0.1", 8080, "", "evil.example:8080", false);
    row("localhost", "127.0.0.1", 8080, "", "LocalHost:8080", true);
    row("localhost, not listened on", "192.168.5.20", 8080, "", "localhost:8080", false);
    row("the name given", "192.168.5.20", 8080, "panel.local", "Panel.Local:8080", true);
    row("another address", "192.168.5.20", 8080, "", "10.0.0.3:8080", false);
    row("every address: one", "0.0.0.0", 8080, "", "10.0.0.3:8080", true);
    row("every address: another's", "0.0.0.0", 8080, "", "10.0.0.4:8080", false);
    row("every IPv4 address: IPv6", "0.0.0.0", 8080, "", "[::1]:8080", false);
    row("every address: IPv6", "::", 8080, "", "[::1]:8080", true);
    row("port 80 left out", "192.168.5.20", 80, "", "192.168.5.20", true);
    row("digits, no address", "127.0.0.1", 8080, "", "127.1:8080", false);
    row("two ports", "127.0.0.1", 8080, "", "127.0.0.1:8080:8080", false);
}

void tst_Web::hosts()
{
    QFETCH(QString, listening);
    QFETCH(int, port);
    QFETCH(QString, name);
    QFETCH(QByteArray, host);
    const WebHosts hosts(QHostAddress(listening), quint16(port), name);
    const auto machine = [] {
        QList<QHostAddress> addresses;
        for (const char *address : {"127.0.0.1", "::1", "192.168.5.20", "10.0.0.3"})
            addresses << QHostAddress(QString::fromLatin1(address));
        return addresses;
    };
    QTEST(hosts.answers(host, machine), "answers");
}

void tst_Web::origins_data()
{
    QTest::addColumn<QByteArray>("origin");
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<bool>("pages");
    const auto row = [](const char *name, const char *origin, const char *host, bool pages) {
        QTest::newRow(name) << QByteArray(origin) << QByteArray(host) << pages;
    };
    row("the page's", "http://127.0.0.1:8080", "127.0.0.1:8080", true);
    row("name in another case", "http://panel.local:8080", "PANEL.local:8080", true);
    row("port 80", "http://10.0.0.3", "10.0.0.3:80", true);
    row("another site", "http://evil.example", "127.0.0.1:8080", false);
    row("null", "null", "127.0.0.1:8080", false);
    row("none", "", "127.0.0.1:8080", false);
    row("https", "https://127.0.0.1:8080", "127.0.0.1:8080", false);
    row("another port", "http://127.0.0.1:8081", "127.0.0.1:8080", false);
}

void tst_Web::origins()
{
    QFETCH(QByteArray, origin);
    QFETCH(QByteArray, host);
    QTEST(WebHosts::isPagesOrigin(origin, host), "pages");
}

void tst_Web::frames_data()
{
    using namespace RawWebSocket;
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("events"); // "kind code payload"
    const auto fails = [](const char *name, const QByteArray &bytes, int code) {
        QTest::newRow(name) << bytes << QStringList{QStringLiteral("failed %1 ").arg(code)};
    };
    const QByteArray text = frame(Text, "hello");
    QTest::newRow("text") << text << QStringList{"text 0 hello"};
    QTest::newRow("in pieces, a ping between")
        << frame(Text, "abc", true, false) + frame(Ping, "p") + frame(Continuation, "def")
        << QStringList{"ping 0 p", "text 0 abcdef"};
    QTest::newRow("binary, 16-bit length")
        << frame(Binary, QByteArray(300, 'b')) << QStringList{"binary 0 " + QString(300, 'b')};
    QTest::newRow("close, nothing after")
        << RawWebSocket::close(1000, "bye") + text << QStringList{"close 1000 bye"};
    QTest::newRow("close without code") << frame(Close, {}) << QStringList{"close 1005 "};
    fails("unmasked", frame(Text, "hello", false), 1002);
    fails("reserved bit", '\xc1' + text.mid(1), 1002);
    fails("reserved opcode", frame(0x3, "x"), 1002);
    fails("long ping", frame(Ping, QByteArray(126, 'p')), 1002);
    fails("nothing to continue", frame(Continuation, "x"), 1002);
    fails("new message in one", frame(Text, "a", true, false) + text, 1002);
    fails("length not shortest", QByteArray("\x81\xfe\x00\x05", 4) + QByteArray(9, 'x'), 1002);
    fails("close, one byte", frame(Close, "x"), 1002);
    fails("close, code 1005", RawWebSocket::close(1005), 1002);
    // Told by the header alone, before the payload comes.
    fails("too big", frame(Text, QByteArray(4097, 'x')).first(8), 1009);
    fails("too big in pieces",
          frame(Text, QByteArray(3000, 'x'), true, false) +
              frame(Continuation, QByteArray(3000, 'x')),
          1009);
    fails("not utf-8", frame(Text, "\xff"), 1007);
    fails("a surrogate", frame(Text, "\xed\xa0\x80"), 1007);
}

void tst_Web::frames()
{
    QFETCH(QByteArray, bytes);
    const auto read = [](const QList<QByteArrayView> &pieces) {
        static const QStringList kinds{"text", "binary", "ping", "pong", "close", "failed"};
        FrameReader reader(WebServer::LargestMessage);
        QStringList events;
        for (const QByteArrayView piece : pieces) {
            reader.add(piece);
            while (const std::optional<FrameReader::Event> event = reader.next()) {
                events << QStringLiteral("%1 %2 %3")
                              .arg(kinds[int(event->kind)])
                              .arg(event->code)
                              .arg(QString::fromUtf8(event->payload));
            }
            // Never more than a frame kept.
            if (reader.pending() > WebServer::LargestMessage + 14)
                return QStringList{"kept " + QString::number(reader.pending())};
        }
        return events;
    };
    QTEST(read({bytes}), "events");
    QList<QByteArrayView> bytewise;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytewise << QByteArrayView(bytes).sliced(i, 1);
    QTEST(read(bytewise), "events");
}

void tst_Web::pageSocketBounded()
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

void tst_Web::placesBounded()
{
    // The server alone, with four places, two to an address that are not joined pages, and
    // 600 ms to become a WebSocket; a request is answered once it is whole.
    BoundedTcpServer server({4, 2, std::chrono::milliseconds(600)}, "/ws",
                            [](QTcpSocket *socket, const RequestHead &) { socket->abort(); });
    QSignalSpy turnedAway(&server, &BoundedTcpServer::turnedAway);
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    connect(&server, &QTcpServer::newConnection, this, [&server] {
        while (QTcpSocket *socket = server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                if (socket->readAll().endsWith("\r\n\r\n"))
                    socket->write("HTTP/1.1 204 No Content\r\n\r\n");
            });
        }
    });
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    const auto from = [&](int address, const QByteArray &sends) {
        clients.push_back(connectFrom(address, server.serverPort()));
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

void tst_Web::endlessRequestClosed()
{
    // Headers that run on are closed once they pass the bound, before the HTTP server has
    // kept them whole; a page that joined sends far more than that over its WebSocket.
    auto joined = page(m_server->token());
    QVERIFY(joined->state() == QAbstractSocket::ConnectedState);
    QTcpSocket endless;
    bool closed = false;
    connect(&endless, &QTcpSocket::disconnected, this, [&closed] { closed = true; });
    endless.connectToHost(QHostAddress::LocalHost, m_server->port());
    QVERIFY(endless.waitForConnected(5000));
    endless.write("GET / HTTP/1.1\r\nHost: panel\r\nX-More: ");
    const QByteArray more(16 * 1024, 'a');
    for (int k = 0; k < 64 && !closed; ++k) {
        endless.write(more);
        QTest::qWait(5);
    }
    QVERIFY(QTest::qWaitFor([&] { return closed; }));
    QCOMPARE(m_server->counts().pagesTurnedAway, 1);
    // 160 messages of 500 bytes (padded with spaces), at the pace a page may send.
    for (int k = 0; k < 160; ++k) {
        const QString move =
            QStringLiteral(R"({"do": "channel", "n": %1, "v": %2})").arg(k % 8 + 1).arg(k % 100);
        joined->sendTextMessage(move + QString(500 - move.size(), QLatin1Char(' ')));
        QTest::qWait(8);
    }
    QVERIFY(QTest::qWaitFor([&] { return m_fixture->desk.channel(7) == 59; }));
    QCOMPARE(joined->state(), QAbstractSocket::ConnectedState);
}

void tst_Web::init()
{
    m_state = std::make_unique<QTemporaryDir>();
    m_fixture = std::make_unique<DeskFixture>();
    m_link = std::make_unique<SerialLink>();
    m_access = std::make_unique<DeskAccess>(m_fixture->desk, *m_link);
    m_server = std::make_unique<WebServer>(*m_access, m_state->path());
    QString problem;
    QVERIFY2(m_server->loadToken(&problem), qPrintable(problem));
    QVERIFY2(m_server->listen(QHostAddress(QHostAddress::LocalHost), 0, {}, &problem),
             qPrintable(problem));
    // As the panel does: every change of the desk reaches the server.
    Desk *desk = &m_fixture->desk;
    WebServer *server = m_server.get();
    const auto changed = [server] { server->panelChanged(); };
    connect(desk, &Desk::channelChanged, server, changed);
    connect(desk, &Desk::masterChanged, server, changed);
    connect(desk, &Desk::modeChanged, server, changed);
    connect(desk, &Desk::liveSceneChanged, server, changed);
    connect(desk, &Desk::blackoutChanged, server, changed);
    connect(desk, &Desk::fadeTimeChanged, server, changed);
}

void tst_Web::cleanup()
{
    m_received.clear();
    m_server.reset();
    m_access.reset();
    m_link.reset();
    m_fixture.reset();
    m_state.reset();
}

std::unique_ptr<QWebSocket> tst_Web::page(const QByteArray &token)
{
    auto socket = std::make_unique<QWebSocket>(origin());
    QWebSocket *raw = socket.get();
    m_received.erase(raw);
    connect(raw, &QWebSocket::textMessageReceived, this, [this, raw](const QString &text) {
        const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
        m_received[raw] << message;
    });
    socket->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(m_server->port())));
    if (!QTest::qWaitFor([raw] { return raw->state() == QAbstractSocket::ConnectedState; }))
        return socket;
    if (!token.isEmpty()) {
        raw->sendTextMessage(QStringLiteral(R"({"hello":"%1"})").arg(QString::fromLatin1(token)));
        if (!QTest::qWaitFor([this, raw] { return !m_received[raw].isEmpty(); }))
            qWarning("A page that gave the token was sent nothing.");
    }
    return socket;
}

std::unique_ptr<QTcpSocket> tst_Web::connectFrom(int n, quint16 port)
{
    auto socket = std::make_unique<QTcpSocket>();
    socket->bind(QHostAddress(quint32(0x7f000002 + n)));
    socket->connectToHost(QHostAddress::LocalHost, port ? port : m_server->port());
    return socket;
}

std::unique_ptr<QTcpSocket> tst_Web::ask(const QByteArray &request, QByteArray *answer)
{
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QHostAddress::LocalHost, m_server->port());
    socket->write(QByteArray(request).replace("PORT", QByteArray::number(m_server->port())));
    QTcpSocket *raw = socket.get();
    if (!QTest::qWaitFor([raw, answer] {
            *answer += raw->readAll();
            return answer->contains("\r\n\r\n");
        }))
        qWarning("No answer to %s", request.constData());
    return socket;
}

QJsonObject tst_Web::lastState(QWebSocket &socket)
{
    const QList<QJsonObject> &all = m_received[&socket];
    return all.isEmpty() ? QJsonObject() : all.last().value(QStringLiteral("state")).toObject();
}

void tst_Web::joinsAndControls_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<QString>("member"); // of the state that shows it
    QTest::addColumn<QJsonValue>("shown");
    QTest::newRow("channel") << QByteArray(R"({"do":"channel","n":3,"v":60})")
                             << Wire::setLevel(2, 60) << "ch"
                             << QJsonValue(QJsonArray{0, 0, 60, 0, 0, 0, 0, 0});
    QTest::newRow("master") << QByteArray(R"({"do":"master","v":40})") << Wire::master(40) << "m"
                            << QJsonValue(40);
    QTest::newRow("full on") << QByteArray(R"({"do":"fullon","n":8})") << Wire::setLevel(7, 99)
                             << "ch" << QJsonValue(QJsonArray{0, 0, 0, 0, 0, 0, 0, 99});
    QTest::newRow("mode") << QByteArray(R"({"do":"mode","n":4})") << Wire::selectMode(3) << "mode"
                          << QJsonValue(4);
    QTest::newRow("fade") << QByteArray(R"({"do":"fade","v":25})") << QByteArray() << "fade"
                          << QJsonValue(25);
}

void tst_Web::joinsAndControls()
{
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, wire);
    QFETCH(QString, member);
    QFETCH(QJsonValue, shown);
    auto one = page(m_server->token());
    auto other = page(m_server->token());
    QCOMPARE(m_server->counts().joined, 2);
    // Joined, each page has the whole state.
    QCOMPARE(lastState(*one).value(QStringLiteral("m")).toInt(), 0);
    QCOMPARE(lastState(*other).value(QStringLiteral("line")).toString(), QStringLiteral("closed"));

    one->sendTextMessage(QString::fromUtf8(message));
    QVERIFY(QTest::qWaitFor([&] { return lastState(*other).value(member) == shown; }));
    QCOMPARE(lastState(*one).value(member), shown);
    QCOMPARE(m_fixture->line.take(), wire);
    QCOMPARE(m_server->counts().taken, 1);
}

void tst_Web::refusedWithoutToken()
{
    auto stranger = page({});
    for (const char *text :
         {R"({"do":"fullon","n":1})", R"({"do":"master","v":99})", R"({"do":"blackout"})"})
        stranger->sendTextMessage(QString::fromLatin1(text));
    QVERIFY(QTest::qWaitFor([&] { return m_server->counts().withoutToken == 3; }));
    QVERIFY(m_fixture->line.take().isEmpty());
    QCOMPARE(m_fixture->desk.master(), 0);
    QVERIFY(!m_fixture->desk.isBlackout());
    // It was told why, and never shown the state.
    QVERIFY(QTest::qWaitFor([&] { return m_received[stranger.get()].size() == 3; }));
    QCOMPARE(m_received[stranger.get()].first().value(QStringLiteral("refused")).toString(),
             QStringLiteral("token"));
    QVERIFY(lastState(*stranger).isEmpty());
}

void tst_Web::wrongTokenClosed()
{
    QByteArray wrong = m_server->token();
    wrong[0] = wrong[0] == '0' ? '1' : '0';
    auto stranger = page(wrong);
    QVERIFY(
        QTest::qWaitFor([&] { return stranger->state() == QAbstractSocket::UnconnectedState; }));
    QCOMPARE(m_server->counts().wrongTokens, 1);
    QCOMPARE(m_server->counts().joined, 0);
    QCOMPARE(m_server->pageCount(), 0);
}

void tst_Web::heldWhileWindowUp()
{
    auto one = page(m_server->token());
    m_fixture->desk.holdInput(true);
    one->sendTextMessage(QStringLiteral(R"({"do":"alloff"})"));
    one->sendTextMessage(QStringLiteral(R"({"do":"channel","n":1,"v":9})"));
    QVERIFY(QTest::qWaitFor([&] { return m_server->counts().whileWindowUp == 2; }));
    QVERIFY(m_fixture->line.take().isEmpty());
}

void tst_Web::changesCoalesced()
{
    auto one = page(m_server->token());
    auto other = page(m_server->token());
    const qsizetype before = m_received[other.get()].size();
    // A master drag from the panel: a hundred changes in one go reach each page as one or
    // two states, the last one the desk's, well within 50 ms.
    for (int level = 0; level <= 99; ++level)
        m_fixture->desk.apply(want(Intent::Kind::Master, 0, level, Source::Kind::Window));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(QTest::qWaitFor([&] { return lastState(*other).value(QStringLiteral("m")) == 99; }));
    QVERIFY2(timer.elapsed() < 50, qPrintable(QString::number(timer.elapsed())));
    QTest::qWait(3 * int(WebServer::SendInterval.count()));
    QVERIFY(m_received[other.get()].size() - before <= 2);
    QCOMPARE(lastState(*one).value(QStringLiteral("ch")).toArray(),
             QJsonArray({99, 99, 99, 99, 99, 99, 99, 99}));
}

void tst_Web::renewDropsPages()
{
    auto one = page(m_server->token());
    const QByteArray old = m_server->token();
    QString problem;
    QVERIFY(m_server->renewToken(&problem));
    QVERIFY(QTest::qWaitFor([&] { return one->state() == QAbstractSocket::UnconnectedState; }));
    QCOMPARE(one->closeReason(), QStringLiteral("token renewed"));
    auto late = page(old);
    QVERIFY(QTest::qWaitFor([&] { return late->state() == QAbstractSocket::UnconnectedState; }));
    QCOMPARE(m_server->counts().wrongTokens, 1);
    auto renewed = page(m_server->token());
    QCOMPARE(m_server->counts().joined, 2);
    QCOMPARE(m_server->pageCount(), 1);
}

void tst_Web::boundsHold()
{
    auto one = page(m_server->token());
    // A flood from one page: what comes beyond its rate is ignored.
    for (int i = 0; i < 400; ++i)
        one->sendTextMessage(QStringLiteral(R"({"do":"channel","n":1,"v":%1})").arg(i % 100));
    QVERIFY(QTest::qWaitFor(
        [&] { return m_server->counts().taken + m_server->counts().tooFast == 400; }));
    QVERIFY(m_server->counts().tooFast >= 400 - MessageRate::MostPerSecond);

    // A message beyond the limit closes its page.
    one->sendTextMessage(QString(int(WebServer::LargestMessage) + 1, QLatin1Char(' ')));
    QVERIFY(QTest::qWaitFor([&] { return one->state() == QAbstractSocket::UnconnectedState; }));
    QCOMPARE(m_server->counts().oversized, 1);

    // Pages beyond the most at once are turned away; the others stay.
    std::vector<std::unique_ptr<QWebSocket>> crowd;
    for (int i = 0; i < WebServer::MostPages; ++i)
        crowd.push_back(page(m_server->token()));
    for (int i = 0; i < 3; ++i) {
        crowd.push_back(std::make_unique<QWebSocket>(origin()));
        crowd.back()->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(m_server->port())));
    }
    QVERIFY(QTest::qWaitFor([&] { return m_server->counts().pagesTurnedAway == 3; }));
    QCOMPARE(m_server->pageCount(), WebServer::MostPages);
}

void tst_Web::connectionsBounded()
{
    // Rounds of connections at once, from as many addresses (no more than the system's queue
    // of new connections takes at once), each round after the last has closed: twice as
    // many in all as may be open, and each one gets the page, as every connection that
    // closes gives its place back.
    const int round = WebServer::MostConnections / 2;
    const QByteArray request =
        "GET / HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(m_server->port()) + "\r\n\r\n";
    for (int rounds = 0; rounds < 4; ++rounds) {
        std::vector<std::unique_ptr<QTcpSocket>> sockets;
        std::vector<QByteArray> answers(round);
        for (int i = 0; i < round; ++i) {
            sockets.push_back(connectFrom(i));
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
        QVERIFY(QTest::qWaitFor([&] { return m_server->openConnections() == 0; }));
    }
    QCOMPARE(m_server->counts().pagesTurnedAway, 0);
    // Requests that never end, from many addresses, take places until none is left; one
    // more is refused.
    std::vector<std::unique_ptr<QTcpSocket>> stuck;
    for (int i = 0; i < WebServer::MostConnections; ++i) {
        stuck.push_back(connectFrom(i / WebServer::MostUnjoinedPerAddress));
        stuck.back()->write("GET / HTTP");
        if (i % 16 == 15)
            QTRY_COMPARE(m_server->openConnections(), i + 1);
    }
    QTest::qWait(100); // for the server to read what they sent: they are not idle
    stuck.push_back(connectFrom(WebServer::MostConnections));
    QVERIFY(QTest::qWaitFor([&] { return m_server->counts().pagesTurnedAway == 1; }));
    QCOMPARE(m_server->openConnections(), WebServer::MostConnections);
}

void tst_Web::hostsAndOriginsAnswered_data()
{
    QTest::addColumn<QByteArray>("request"); // PORT: the server's
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("turnedAway");
    const auto row = [](const char *name, const QByteArray &request, const char *answer) {
        QTest::newRow(name) << request << "HTTP/1.1 " + QByteArray(answer)
                            << (QByteArray("101 200 404").contains(answer) ? 0 : 1);
    };
    const auto get = [](const char *path, const char *host) {
        return "GET " + QByteArray(path) + " HTTP/1.1\r\nHost: " + host + "\r\n\r\n";
    };
    const QByteArray opening = RawWebSocket::opening("127.0.0.1:PORT", "http://127.0.0.1:PORT");
    row("the page", get("/", "127.0.0.1:PORT"), "200");
    row("an icon", get("/favicon.ico", "127.0.0.1:PORT"), "404");
    row("a rebound name", get("/", "evil.example:PORT"), "421");
    row("no host", "GET / HTTP/1.0\r\n\r\n", "421");
    row("opening", opening, "101");
    row("opening from another site",
        RawWebSocket::opening("127.0.0.1:PORT", "http://evil.example"), "403");
    row("opening under a rebound name",
        RawWebSocket::opening("evil.example:PORT", "http://evil.example:PORT"), "421");
    row("opening, another version", QByteArray(opening).replace("Version: 13", "Version: 8"),
        "426");
    row("opening, no key", QByteArray(opening).replace("Key: dGhl", "Key: "), "400");
}

void tst_Web::hostsAndOriginsAnswered()
{
    // Refusals are counted as pages turned away; a page, its files and an icon not found
    // are not.
    QFETCH(QByteArray, request);
    QByteArray answer;
    const auto client = ask(request, &answer);
    QTEST(answer.left(12), "answer");
    QTEST(int(m_server->counts().pagesTurnedAway), "turnedAway");
}

void tst_Web::unmaskedFrameRefused()
{
    QByteArray answer;
    const auto client =
        ask(RawWebSocket::opening("127.0.0.1:PORT", "http://127.0.0.1:PORT"), &answer);
    // The key and its answer of RFC 6455, 1.3.
    QVERIFY2(answer.startsWith("HTTP/1.1 101") &&
                 answer.contains("Sec-WebSocket-Accept: s3pPLMBiTxaQ9kYGzzhZRbK+xOo=\r\n"),
             answer.constData());
    answer.remove(0, answer.indexOf("\r\n\r\n") + 4);
    client->write(RawWebSocket::frame(RawWebSocket::Text,
                                      R"({"hello":")" + m_server->token() + R"("})", false));
    QVERIFY(QTest::qWaitFor([&] {
        answer += client->readAll();
        return client->state() == QAbstractSocket::UnconnectedState;
    }));
    // Closed as a protocol error, before the token was read.
    QCOMPARE(answer, QByteArray("\x88\x02\x03\xea", 4));
    QCOMPARE(m_server->counts().joined, 0);
    QCOMPARE(m_server->counts().malformed, 1);
    QVERIFY(QTest::qWaitFor([&] { return m_server->openConnections() == 0; }));
}

void tst_Web::closedSessionsGiveTheirPlaces()
{
    // Sessions opened and ended, five at a time, three times as many in all as there are
    // places: closed by their pages, dropped for a wrong token, or reset. Each gives its
    // place back, and a phone still joins.
    const QByteArray wrong = R"({"hello":"00000000000000000000000000000000"})";
    const linger reset{1, 0};
    const QByteArray opening = RawWebSocket::opening("127.0.0.1:PORT", "http://127.0.0.1:PORT")
                                   .replace("PORT", QByteArray::number(m_server->port()));
    for (int batch = 0; batch < 40; ++batch) {
        std::vector<std::unique_ptr<QTcpSocket>> sessions;
        std::vector<QByteArray> answers(5);
        for (int i = 0; i < 5; ++i) {
            sessions.push_back(connectFrom(0));
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
        QVERIFY2(QTest::qWaitFor([&] { return m_server->openConnections() == 0; }),
                 qPrintable(QStringLiteral("batch %1").arg(batch)));
    }
    auto phone = page(m_server->token());
    QVERIFY(!lastState(*phone).isEmpty());
    QCOMPARE(m_server->counts().pagesTurnedAway, 0);
}

void tst_Web::portTaken()
{
    WebServer second(*m_access, m_state->path());
    QString problem;
    QVERIFY(!second.listen(QHostAddress(QHostAddress::LocalHost), m_server->port(), {}, &problem));
    QVERIFY2(problem.contains(QStringLiteral("127.0.0.1:%1").arg(m_server->port())),
             qPrintable(problem));
}

QTEST_GUILESS_MAIN(tst_Web)
#include "tst_web.moc"
