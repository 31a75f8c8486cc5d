#include "support/deskactions.h"
#include "support/rawwebsocket.h"
#include "support/webfixture.h"
#include "web/framereader.h"
#include "web/joinaddress.h"
#include "web/messagerate.h"
#include "web/snapshotfanout.h"
#include "web/tokenstore.h"
#include "web/webhosts.h"
#include "web/webmessage.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

// The web remote without a browser: each message as the intent it asks the desk for, the
// state that the pages get and when, the token file, the names and origins it answers, the
// frames it reads, and the server itself on the loopback with real WebSockets before the
// real desk.
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
    void joinsAndControls_data();
    void joinsAndControls();
    void refusedWithoutToken();
    void wrongTokenClosed();
    void heldWhileWindowUp();
    void changesCoalesced();
    void renewDropsPages();
    void hostsAndOriginsAnswered_data();
    void hostsAndOriginsAnswered();
    void pipelinedRequestsAnsweredInOrder();
    void connectionAfterAnswer_data();
    void connectionAfterAnswer();
    void unmaskedFrameRefused();
    void portTaken();
};

void tst_Web::reader_data()
{
    QTest::addColumn<QByteArray>("text");
    // The intent asked for, as the desk's tests write it; "hello"; or why it is refused.
    QTest::addColumn<QString>("asks");
    const auto row = [](const char *name, const QByteArray &text, const char *asks) {
        QTest::newRow(name) << text << QString::fromLatin1(asks);
    };
    row("hello", R"({"hello":"abc"})", "hello");
    row("channel", R"({"do":"channel","n":3,"v":60})", "set 2 60");
    row("channel 8 at 99", R"({"v":99,"n":8,"do":"channel"})", "set 7 99");
    row("master", R"({"do":"master","v":0})", "master 0");
    row("full on", R"({"do":"fullon","n":1})", "fullOn 0");
    row("off", R"({"do":"off","n":2})", "off 1");
    row("master full on", R"({"do":"masterfullon"})", "masterFullOn");
    row("all off", R"({"do":"alloff"})", "allOff");
    row("scene 12", R"({"do":"scene","n":12})", "recall 12");
    row("scene 3 over 2.5 s", R"({"do":"scene","n":3,"t":25})", "recall 3 25");
    row("scene 1 cut", R"({"t":0,"do":"scene","n":1})", "recall 1 0");
    row("mode 1", R"({"do":"mode","n":1})", "mode 0");
    row("download", R"({"do":"download"})", "download");
    row("send all", R"({"do":"sendall"})", "sendAll");
    row("blackout", R"({"do":"blackout"})", "blackout");
    row("fade 100", R"({"do":"fade","v":100})", "fade 100");
    row("undo", R"({"do":"undo"})", "undo");
    row("redo", R"({"do":"redo"})", "redo");
    row("go", R"({"do":"go"})", "go");
    row("back", R"({"do":"back"})", "back");
    row("pause", R"({"do":"pause"})", "pause");
    row("no cue by number from a page", R"({"do":"goto","n":2})", "unknown");
    row("go with a number", R"({"do":"go","n":1})", "wrong arguments");
    row("whole float", R"({"do":"channel","n":2.0,"v":5e1})", "set 1 50");

    row("empty", "", "malformed");
    row("not json", "channel 3 60", "malformed");
    row("array", R"([{"do":"alloff"}])", "malformed");
    row("cut short", R"({"do":"channel","n":3)", "malformed");
    row("too long", "{\"do\":\"alloff\",\"x\":\"" + QByteArray(600, 'x') + "\"}", "malformed");
    row("no action", R"({"n":3})", "unknown");
    row("no store from a page", R"({"do":"store","n":1})", "unknown");
    row("action not text", R"({"do":3})", "unknown");
    row("case differs", R"({"do":"AllOff"})", "unknown");
    row("level missing", R"({"do":"channel","n":3})", "wrong arguments");
    row("extra member", R"({"do":"alloff","n":1})", "wrong arguments");
    row("fraction", R"({"do":"master","v":49.5})", "wrong arguments");
    row("level as text", R"({"do":"master","v":"50"})", "wrong arguments");
    row("token not text", R"({"hello":1234})", "wrong arguments");
    row("hello with more", R"({"hello":"a","do":"alloff"})", "wrong arguments");
    row("fade time of a mode", R"({"do":"mode","n":2,"t":10})", "wrong arguments");
    row("fade time as text", R"({"do":"scene","n":2,"t":"10"})", "wrong arguments");
    row("channel 0", R"({"do":"channel","n":0,"v":1})", "out of range");
    row("channel 9", R"({"do":"fullon","n":9})", "out of range");
    row("level 100", R"({"do":"channel","n":1,"v":100})", "out of range");
    row("level -1", R"({"do":"master","v":-1})", "out of range");
    row("scene 13", R"({"do":"scene","n":13})", "out of range");
    row("fade 101", R"({"do":"fade","v":101})", "out of range");
    row("scene over 10.1 s", R"({"do":"scene","n":1,"t":101})", "out of range");
    row("huge", R"({"do":"master","v":1e300})", "out of range");
}

void tst_Web::reader()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, asks);
    const WebMessage message = WebMessage::read(text);
    static const char *const refusals[] = {"", "unknown", "wrong arguments", "out of range",
                                           "malformed"};
    const QString read = message.acts()  ? describe(message.intent)
                         : message.hello ? QStringLiteral("hello")
                                         : QString::fromLatin1(refusals[int(message.refusal)]);
    const std::optional<Intent> intent = intentOf(asks);
    QCOMPARE(read, intent ? describe(*intent) : asks);
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

void tst_Web::joinsAndControls_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QString>("member"); // of the state that shows it
    QTest::addColumn<QJsonValue>("shown");
    QTest::newRow("channel") << QByteArray(R"({"do":"channel","n":3,"v":60})") << "ch"
                             << QJsonValue(QJsonArray{0, 0, 60, 0, 0, 0, 0, 0});
    QTest::newRow("mode") << QByteArray(R"({"do":"mode","n":4})") << "mode" << QJsonValue(4);
    QTest::newRow("fade") << QByteArray(R"({"do":"fade","v":25})") << "fade" << QJsonValue(25);
}

void tst_Web::joinsAndControls()
{
    QFETCH(QByteArray, message);
    QFETCH(QString, member);
    QFETCH(QJsonValue, shown);
    WebFixture web;
    QVERIFY2(web.failure().isEmpty(), qPrintable(web.failure()));
    auto one = web.page(web.server.token());
    auto other = web.page(web.server.token());
    QCOMPARE(web.server.counts().joined, 2);
    // Joined, each page has the whole state.
    QCOMPARE(web.lastState(*one).value(QStringLiteral("m")).toInt(), 0);
    QCOMPARE(web.lastState(*other).value(QStringLiteral("line")).toString(),
             QStringLiteral("closed"));

    one->sendTextMessage(QString::fromUtf8(message));
    QVERIFY(QTest::qWaitFor([&] { return web.lastState(*other).value(member) == shown; }));
    QCOMPARE(web.lastState(*one).value(member), shown);
    QCOMPARE(web.server.counts().taken, 1);
}

void tst_Web::refusedWithoutToken()
{
    WebFixture web;
    QVERIFY2(web.failure().isEmpty(), qPrintable(web.failure()));
    auto stranger = web.page({});
    for (const char *text :
         {R"({"do":"fullon","n":1})", R"({"do":"master","v":99})", R"({"do":"blackout"})"})
        stranger->sendTextMessage(QString::fromLatin1(text));
    QVERIFY(QTest::qWaitFor([&] { return web.server.counts().withoutToken == 3; }));
    QVERIFY(web.f.line.take().isEmpty());
    QCOMPARE(web.f.desk.master(), 0);
    QVERIFY(!web.f.desk.isBlackout());
    // It was told why, and never shown the state.
    QVERIFY(QTest::qWaitFor([&] { return web.received[stranger.get()].size() == 3; }));
    QCOMPARE(web.received[stranger.get()].first().value(QStringLiteral("refused")).toString(),
             QStringLiteral("token"));
    QVERIFY(web.lastState(*stranger).isEmpty());
}

void tst_Web::wrongTokenClosed()
{
    WebFixture web;
    QVERIFY2(web.failure().isEmpty(), qPrintable(web.failure()));
    QByteArray wrong = web.server.token();
    wrong[0] = wrong[0] == '0' ? '1' : '0';
    auto stranger = web.page(wrong);
    QVERIFY(
        QTest::qWaitFor([&] { return stranger->state() == QAbstractSocket::UnconnectedState; }));
    QCOMPARE(web.server.counts().wrongTokens, 1);
    QCOMPARE(web.server.counts().joined, 0);
    QCOMPARE(web.server.pageCount(), 0);
}

void tst_Web::heldWhileWindowUp()
{
    WebFixture web;
    QVERIFY2(web.failure().isEmpty(), qPrintable(web.failure()));
    auto one = web.page(web.server.token());
    web.f.desk.holdInput(true);
    one->sendTextMessage(QStringLiteral(R"({"do":"alloff"})"));
    one->sendTextMessage(QStringLiteral(R"({"do":"channel","n":1,"v":9})"));
    // The desk's answer: it took neither.
    QVERIFY(QTest::qWaitFor([&] { return web.server.counts().held == 2; }));
    QVERIFY(web.f.line.take().isEmpty());
}

void tst_Web::changesCoalesced()
{
    WebFixture web;
    QVERIFY2(web.failure().isEmpty(), qPrintable(web.failure()));
    auto one = web.page(web.server.token());
    auto other = web.page(web.server.token());
    const qsizetype before = web.received[other.get()].size();
    QSignalSpy told(other.get(), &QWebSocket::textMessageReceived);
    // A master drag from the panel: a hundred changes in one go reach each page as one or
    // two states, the last one the desk's, well within 50 ms.
    for (int level = 0; level <= 99; ++level)
        web.f.desk.apply(want(Intent::Kind::Master, 0, level, Source::Kind::Window));
    QElapsedTimer timer;
    timer.start();
    while (web.lastState(*other).value(QStringLiteral("m")) != 99 && told.wait(100)) {
    }
    QVERIFY2(timer.elapsed() < 50, qPrintable(QString::number(timer.elapsed())));
    QTest::qWait(3 * int(WebServer::SendInterval.count()));
    QVERIFY(web.received[other.get()].size() - before <= 2);
    QCOMPARE(web.lastState(*one).value(QStringLiteral("ch")).toArray(),
             QJsonArray({99, 99, 99, 99, 99, 99, 99, 99}));
}

void tst_Web::renewDropsPages()
{
    WebFixture web;
    QVERIFY2(web.failure().isEmpty(), qPrintable(web.failure()));
    auto one = web.page(web.server.token());
    const QByteArray old = web.server.token();
    QString problem;
    QVERIFY(web.server.renewToken(&problem));
    QVERIFY(QTest::qWaitFor([&] { return one->state() == QAbstractSocket::UnconnectedState; }));
    QCOMPARE(one->closeReason(), QStringLiteral("token renewed"));
    auto late = web.page(old);
    QVERIFY(QTest::qWaitFor([&] { return late->state() == QAbstractSocket::UnconnectedState; }));
    QCOMPARE(web.server.counts().wrongTokens, 1);
    auto renewed = web.page(web.server.token());
    QCOMPARE(web.server.counts().joined, 2);
    QCOMPARE(web.server.pageCount(), 1);
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
    row("the page's head", "HEAD / HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\n\r\n", "200");
    row("a form sent", "POST / HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\nContent-Length: 3\r\n\r\na=1",
        "405");
    row("another method", "DELETE / HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\n\r\n", "405");
    row("chunked", "GET / HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\nTransfer-Encoding: chunked\r\n\r\n",
        "405");
    row("another protocol", "GET / HTTP/2.0\r\nHost: 127.0.0.1:PORT\r\n\r\n", "400");
    row("an empty body", "GET / HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\nContent-Length: 0\r\n\r\n",
        "200");
    row("a TLS greeting", QByteArray::fromHex("160301020001"), "400");
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
    WebFixture web;
    QVERIFY2(web.failure().isEmpty(), qPrintable(web.failure()));
    QByteArray answer;
    const auto client = web.ask(request, &answer);
    QTEST(answer.left(12), "answer");
    QTEST(int(web.server.counts().pagesTurnedAway), "turnedAway");
}

void tst_Web::pipelinedRequestsAnsweredInOrder()
{
    // A browser's requests on one connection, sent before the first answer: each answered in
    // turn, a HEAD with no body, and the connection kept for the next.
    WebFixture web;
    QVERIFY2(web.failure().isEmpty(), qPrintable(web.failure()));
    const QByteArray host = "Host: 127.0.0.1:PORT\r\n\r\n";
    QByteArray answer;
    const auto client =
        web.ask("GET /board.js HTTP/1.1\r\n" + host + "HEAD /app.css HTTP/1.1\r\n" + host +
                    "GET /favicon.ico HTTP/1.1\r\n" + host,
                &answer);
    QVERIFY(QTest::qWaitFor([&] {
        answer += client->readAll();
        return answer.count("HTTP/1.1 ") == 3 && answer.endsWith("\r\n\r\n");
    }));
    const QList<QByteArray> statuses = {answer.left(12),
                                        answer.mid(answer.indexOf("HTTP/1.1 ", 12), 12),
                                        answer.mid(answer.lastIndexOf("HTTP/1.1 "), 12)};
    QCOMPARE(statuses, (QList<QByteArray>{"HTTP/1.1 200", "HTTP/1.1 200", "HTTP/1.1 404"}));
    QVERIFY2(answer.contains("\r\n\r\nconst BOARD = {") &&
                 answer.contains("Cache-Control: no-cache\r\n\r\nHTTP/1.1 404"),
             answer.constData());
    QCOMPARE(client->state(), QAbstractSocket::ConnectedState);
    QCOMPARE(web.server.counts().pagesTurnedAway, 0);
}

void tst_Web::connectionAfterAnswer_data()
{
    QTest::addColumn<QByteArray>("request"); // PORT: the server's
    QTest::addColumn<bool>("halfClose");     // the client ends its side once it has sent
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<bool>("ends"); // the server ends the connection after it
    const QByteArray page = "GET / HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\n\r\n";
    QTest::newRow("kept") << page << false << QByteArray("HTTP/1.1 200") << false;
    QTest::newRow("half closed") << page << true << QByteArray("HTTP/1.1 200") << true;
    QTest::newRow("head, half closed")
        << QByteArray(page).replace("GET", "HEAD") << true << QByteArray("HTTP/1.1 200") << true;
    QTest::newRow("misdirected") << QByteArray(page).replace("127.0.0.1:PORT", "evil.example")
                                 << false << QByteArray("HTTP/1.1 421") << true;
    QTest::newRow("asked to close")
        << QByteArray(page).replace("\r\n\r\n", "\r\nConnection: close\r\n\r\n") << false
        << QByteArray("HTTP/1.1 200") << true;
}

void tst_Web::connectionAfterAnswer()
{
    QFETCH(QByteArray, request);
    QFETCH(bool, halfClose);
    WebFixture web;
    QVERIFY2(web.failure().isEmpty(), qPrintable(web.failure()));
    // A plain socket of the system's: Qt's sockets cannot end one side alone.
    const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    QVERIFY(client >= 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(web.server.port());
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QVERIFY(::connect(client, reinterpret_cast<const sockaddr *>(&to), sizeof to) == 0);
    request.replace("PORT", QByteArray::number(web.server.port()));
    QVERIFY(::write(client, request.constData(), size_t(request.size())) == request.size());
    if (halfClose)
        QVERIFY(::shutdown(client, SHUT_WR) == 0);
    QFETCH(bool, ends);
    QByteArray answer;
    bool ended = false;
    const auto read = [&] {
        pollfd readable{client, POLLIN, 0};
        while (!ended && ::poll(&readable, 1, 0) == 1) {
            char bytes[4096];
            const ssize_t got = ::read(client, bytes, sizeof bytes);
            ended = got <= 0;
            answer.append(bytes, got > 0 ? got : 0);
        }
        return answer.contains("\r\n\r\n") && (ended || !ends);
    };
    QVERIFY(QTest::qWaitFor(read, 3000));
    QTest::qWait(200); // a connection kept stays so
    read();
    ::close(client);
    QTEST(answer.left(12), "status");
    QCOMPARE(ended, ends);
}

void tst_Web::unmaskedFrameRefused()
{
    WebFixture web;
    QVERIFY2(web.failure().isEmpty(), qPrintable(web.failure()));
    QByteArray answer;
    const auto client =
        web.ask(RawWebSocket::opening("127.0.0.1:PORT", "http://127.0.0.1:PORT"), &answer);
    // The key and its answer of RFC 6455, 1.3.
    QVERIFY2(answer.startsWith("HTTP/1.1 101") &&
                 answer.contains("Sec-WebSocket-Accept: s3pPLMBiTxaQ9kYGzzhZRbK+xOo=\r\n"),
             answer.constData());
    answer.remove(0, answer.indexOf("\r\n\r\n") + 4);
    client->write(RawWebSocket::frame(RawWebSocket::Text,
                                      R"({"hello":")" + web.server.token() + R"("})", false));
    QVERIFY(QTest::qWaitFor([&] {
        answer += client->readAll();
        return client->state() == QAbstractSocket::UnconnectedState;
    }));
    // Closed as a protocol error, before the token was read.
    QCOMPARE(answer, QByteArray("\x88\x02\x03\xea", 4));
    QCOMPARE(web.server.counts().joined, 0);
    QCOMPARE(web.server.counts().malformed, 1);
    QVERIFY(QTest::qWaitFor([&] { return web.server.openConnections() == 0; }));
}

void tst_Web::portTaken()
{
    WebFixture web;
    QVERIFY2(web.failure().isEmpty(), qPrintable(web.failure()));
    WebServer second(web.access, web.state.path());
    QString problem;
    QVERIFY(
        !second.listen(QHostAddress(QHostAddress::LocalHost), web.server.port(), {}, &problem));
    QVERIFY2(problem.contains(QStringLiteral("127.0.0.1:%1").arg(web.server.port())),
             qPrintable(problem));
}

QTEST_GUILESS_MAIN(tst_Web)
#include "tst_web.moc"
