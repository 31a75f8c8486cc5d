#include "app/deskaccess.h"
#include "link/seriallink.h"
#include "support/deskfixture.h"
#include "support/wire.h"
#include "web/boundedtcpserver.h"
#include "web/joinaddress.h"
#include "web/messagerate.h"
#include "web/snapshotfanout.h"
#include "web/tokenstore.h"
#include "web/webmessage.h"
#include "web/webserver.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QWebSocket>

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
    void idleConnectionsClosed();
    void portTaken();

private:
    // A page's socket, joined with token unless empty; its state messages are kept.
    std::unique_ptr<QWebSocket> page(const QByteArray &token);
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
    const QString target = folder.filePath(QStringLiteral("elsewhere"));
    QFile other(target);
    if (targetExists) {
        QVERIFY(other.open(QIODevice::WriteOnly) && other.write("not a token\n") == 12);
        other.close();
        QVERIFY(other.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                     QFileDevice::ReadOther));
    }
    TokenStore store(folder.path());
    QVERIFY(QFile::link(target, store.path()));
    QString problem;
    QVERIFY(!store.load(&problem));
    QVERIFY2(problem.contains(store.path()) && problem.contains(QStringLiteral("symbolic link")),
             qPrintable(problem));
    QVERIFY(!store.renew(&problem));
    QVERIFY(store.token().isEmpty());
    // The link's target is as it was, or still not there.
    QCOMPARE(other.exists(), targetExists);
    if (targetExists) {
        QVERIFY(other.open(QIODevice::ReadOnly));
        QCOMPARE(other.readAll(), QByteArray("not a token\n"));
        QVERIFY(other.permissions().testFlag(QFileDevice::ReadOther));
    }
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

void tst_Web::idleConnectionsClosed()
{
    // The server alone, with a short idle limit: a connection that says nothing is closed
    // and gives its place back; one that keeps talking stays.
    int closedByServer = 0;
    BoundedTcpServer server(2, std::chrono::milliseconds(300), [&] { ++closedByServer; });
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    connect(&server, &QTcpServer::newConnection, this, [&server] {
        while (QTcpSocket *socket = server.nextPendingConnection())
            socket->readAll();
    });
    QTcpSocket idle;
    QTcpSocket talking;
    idle.connectToHost(QHostAddress::LocalHost, server.serverPort());
    talking.connectToHost(QHostAddress::LocalHost, server.serverPort());
    QVERIFY(idle.waitForConnected(5000) && talking.waitForConnected(5000));
    QVERIFY(QTest::qWaitFor([&] { return server.open() == 2; }));
    for (int k = 0; k < 8; ++k) {
        talking.write("x");
        QTest::qWait(100);
    }
    QCOMPARE(idle.state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(talking.state(), QAbstractSocket::ConnectedState);
    QCOMPARE(closedByServer, 1);
    QCOMPARE(server.open(), 1);
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
    QVERIFY2(m_server->listen(QHostAddress(QHostAddress::LocalHost), 0, &problem),
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
    auto socket = std::make_unique<QWebSocket>();
    QWebSocket *raw = socket.get();
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
    m_fixture->desk.setInputHeld(true);
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
        m_fixture->desk.moveMaster(level);
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
    for (int i = 0; i < WebServer::MostPages + 3; ++i) {
        crowd.push_back(std::make_unique<QWebSocket>());
        crowd.back()->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(m_server->port())));
    }
    QVERIFY(QTest::qWaitFor([&] { return m_server->counts().pagesTurnedAway == 3; }));
    QCOMPARE(m_server->pageCount(), WebServer::MostPages);
}

void tst_Web::connectionsBounded()
{
    // Rounds of connections at once (no more than the system's queue of new connections
    // takes at once), each round after the last has closed: twice as many in all as may
    // be open, and each one gets the page, as every connection that closes gives its place
    // back.
    const int round = WebServer::MostConnections / 2;
    for (int rounds = 0; rounds < 4; ++rounds) {
        std::vector<std::unique_ptr<QTcpSocket>> sockets;
        std::vector<QByteArray> answers(round);
        for (int i = 0; i < round; ++i) {
            sockets.push_back(std::make_unique<QTcpSocket>());
            QTcpSocket *socket = sockets.back().get();
            connect(socket, &QTcpSocket::connected, this,
                    [socket] { socket->write("GET / HTTP/1.1\r\nHost: panel\r\n\r\n"); });
            connect(socket, &QTcpSocket::readyRead, this,
                    [socket, &answers, i] { answers[std::size_t(i)] += socket->readAll(); });
            socket->connectToHost(QHostAddress::LocalHost, m_server->port());
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
    // Connections that say nothing take places until none is left; one more is closed.
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < WebServer::MostConnections + 2; ++i) {
        idle.push_back(std::make_unique<QTcpSocket>());
        idle.back()->connectToHost(QHostAddress::LocalHost, m_server->port());
        if (i % 16 == 15) {
            QVERIFY(QTest::qWaitFor([&] {
                return m_server->openConnections() + m_server->counts().pagesTurnedAway == i + 1;
            }));
        }
    }
    QVERIFY(QTest::qWaitFor([&] { return m_server->counts().pagesTurnedAway == 2; }));
    QCOMPARE(m_server->openConnections(), WebServer::MostConnections);
}

void tst_Web::portTaken()
{
    WebServer second(*m_access, m_state->path());
    QString problem;
    QVERIFY(!second.listen(QHostAddress(QHostAddress::LocalHost), m_server->port(), &problem));
    QVERIFY2(problem.contains(QStringLiteral("127.0.0.1:%1").arg(m_server->port())),
             qPrintable(problem));
}

QTEST_GUILESS_MAIN(tst_Web)
#include "tst_web.moc"
