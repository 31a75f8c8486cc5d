#include "app/options.h"

#include <QCoreApplication>
#include <QTest>

// The panel's command line, as main reads it: what each option asks for, and the usage
// error, with its reason, for what cannot be used.
class tst_Options : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void parse_data();
    void parse();
    void inputs_data();
    void inputs();
    void argumentThatIsNoText();
};

namespace {

using Outcome = CommandLine::Outcome;

Options parsed(const QStringList &arguments)
{
    return Options::parse({QStringList{"dimmer-panel"} + arguments, {}});
}

} // namespace

void tst_Options::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("dimmer-panel"));
}

void tst_Options::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("outcome");
    // Runs: what the options ask, as "port choose osc feedback...";
    // otherwise a text of the help, version or usage error.
    QTest::addColumn<QString>("says");

    const int run = int(Outcome::Run);
    const int usage = int(Outcome::UsageError);
    const int exit = int(Outcome::ExitOk);
    QTest::newRow("nothing") << QStringList{} << run << "/dev/ttyS3 - - -";
    QTest::newRow("port") << QStringList{"--port", "/dev/ttyUSB0"} << run
                          << "/dev/ttyUSB0 given - -";
    QTest::newRow("choose") << QStringList{"--choose-port"} << run << "/dev/ttyS3 choose - -";
    QTest::newRow("osc-port-alone")
        << QStringList{"--osc", "9000"} << run << "/dev/ttyS3 - 127.0.0.1:9000 -";
    QTest::newRow("osc-with-feedback")
        << QStringList{"--osc",          "0.0.0.0:9000",   "--osc-feedback",
                       "localhost:9001", "--osc-feedback", "127.0.0.1:9002"}
        << run << "/dev/ttyS3 - 0.0.0.0:9000 127.0.0.1:9001,127.0.0.1:9002";
    QTest::newRow("osc-feedback-forms")
        << QStringList{"--osc",          "9000",          "--osc-feedback", "127.0.0.1:9001,float",
                       "--osc-feedback", "[::1]:9002,int"}
        << usage << "--osc-feedback [::1]:9002,int: [::1]:9002 cannot be reached";
    QTest::newRow("osc-feedback-float-and-int")
        << QStringList{"--osc",          "9000",
                       "--osc-feedback", "127.0.0.1:9001,float",
                       "--osc-feedback", "localhost:9002,int"}
        << run << "/dev/ttyS3 - 127.0.0.1:9000 127.0.0.1:9001,float,127.0.0.1:9002";
    QTest::newRow("osc-feedback-unknown-form")
        << QStringList{"--osc", "9000", "--osc-feedback", "127.0.0.1:9001,double"} << usage
        << "--osc-feedback 127.0.0.1:9001,double: the form after the comma is int or float, not "
           "double.";
    QTest::newRow("osc-feedback-form-alone")
        << QStringList{"--osc", "9000", "--osc-feedback", ",float"} << usage
        << "--osc-feedback ,float:";

    QTest::newRow("unknown") << QStringList{"--bogus"} << usage << "Unknown option 'bogus'";
    QTest::newRow("help-all-is-not-offered")
        << QStringList{"--help-all"} << usage << "Unknown option 'help-all'";
    QTest::newRow("missing-value") << QStringList{"--port"} << usage << "Missing value";
    QTest::newRow("empty-port") << QStringList{"--port="} << usage << "--port needs";
    QTest::newRow("empty-scene-file")
        << QStringList{"--scene-file="} << usage << "--scene-file needs a file name";
    QTest::newRow("stray-argument") << QStringList{"COM4"} << usage << "Unexpected argument";
    QTest::newRow("port-and-choose")
        << QStringList{"--port", "/dev/ttyS0", "--choose-port"} << usage << "give one";
    QTest::newRow("osc-port-out-of-range")
        << QStringList{"--osc", "70000"} << usage
        << "--osc 70000: the port must be a number from 1 to 65535.";
    QTest::newRow("osc-ipv6-without-brackets")
        << QStringList{"--osc", "::1:9000"} << usage << "an IPv6 address goes in brackets";
    QTest::newRow("osc-bad-host-name") << QStringList{"--osc", "desk one:9000"} << usage
                                       << "--osc desk one:9000: there is no host desk one";
    QTest::newRow("osc-feedback-without-osc")
        << QStringList{"--osc-feedback", "127.0.0.1:9001"} << usage << "give --osc too";
    QTest::newRow("osc-feedback-without-host")
        << QStringList{"--osc", "9000", "--osc-feedback", "9001"} << usage
        << "--osc-feedback 9001: the host and the port are needed";
    QTest::newRow("osc-feedback-out-of-reach")
        << QStringList{"--osc", "9000", "--osc-feedback", "[::1]:9001"} << usage
        << "--osc-feedback [::1]:9001: [::1]:9001 cannot be reached from 127.0.0.1";
    QTest::newRow("osc-feedback-off-the-loopback")
        << QStringList{"--osc", "9000", "--osc-feedback", "192.168.1.20:9000"} << usage
        << "192.168.1.20:9000 is not on this computer";
    QTest::newRow("osc-feedback-from-every-address")
        << QStringList{"--osc", "0.0.0.0:9000", "--osc-feedback", "192.168.1.20:9000"} << run
        << "/dev/ttyS3 - 0.0.0.0:9000 192.168.1.20:9000";
    QTest::newRow("osc-feedback-to-itself")
        << QStringList{"--osc", "9000", "--osc-feedback", "localhost:9000"} << usage
        << "--osc-feedback localhost:9000 is where the panel itself listens (--osc "
           "127.0.0.1:9000)";
    QTest::newRow("osc-feedback-to-itself-on-every-address")
        << QStringList{"--osc", "0.0.0.0:9000", "--osc-feedback", "127.0.0.1:9000"} << usage
        << "is where the panel itself listens";
    QTest::newRow("help") << QStringList{"--help"} << exit << "--scene-file <PATH>";
    QTest::newRow("version") << QStringList{"--version"} << exit << "dimmer-panel ";
}

void tst_Options::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, outcome);
    QFETCH(QString, says);
    const Options options = parsed(arguments);
    QCOMPARE(int(options.verdict.outcome), outcome);
    if (options.verdict.outcome != Outcome::Run) {
        QVERIFY2(options.verdict.output.contains(says), qPrintable(options.verdict.output));
        QVERIFY2(!options.verdict.output.contains("--help-all"),
                 qPrintable(options.verdict.output));
        if (options.verdict.outcome == Outcome::UsageError)
            QVERIFY2(options.verdict.output.contains("Usage: dimmer-panel"),
                     qPrintable(options.verdict.output));
        return;
    }
    QStringList feedback;
    for (const Options::FeedbackTarget &target : options.oscFeedback)
        feedback << target.to.toString() + (target.floats ? ",float" : "");
    const QString asked = QStringList{options.portName,
                                      options.portGiven    ? "given"
                                      : options.choosePort ? "choose"
                                                           : "-",
                                      options.osc ? options.osc->toString() : "-",
                                      feedback.isEmpty() ? "-" : feedback.join(',')}
                              .join(' ');
    QCOMPARE(asked, says);
}

void tst_Options::inputs_data()
{
    QTest::addColumn<QStringList>("arguments");
    // The inputs beside the window the options ask for: "web ADDRESS [named NAME]", the
    // network's patches "[on INTERFACE]", "midi PATTERN PROFILE SYSTEM [list]"; "-" for none;
    // or a text of the usage error.
    QTest::addColumn<QString>("says");
    QTest::newRow("none") << QStringList{} << "-";
    QTest::newRow("web-port-alone") << QStringList{"--web", "8080"} << "web 127.0.0.1:8080";
    QTest::newRow("web-every-address")
        << QStringList{"--web", "web 0.0.0.0:8080"} << "web 0.0.0.0:8080";
    QTest::newRow("web-ipv6") << QStringList{"--web", "web [::1]:8080"} << "web [::1]:8080";
    QTest::newRow("web-with-osc") << QStringList{"--osc", "9000", "--web", "9000"}
                                  << "web 127.0.0.1:9000";
    QTest::newRow("web-by-name") << QStringList{"--web", "localhost:8080"}
                                 << "web 127.0.0.1:8080 named localhost";
    QTest::newRow("web-port-out-of-range")
        << QStringList{"--web", "0"} << "--web 0: the port must be a number from 1 to 65535.";
    QTest::newRow("web-ipv6-without-brackets")
        << QStringList{"--web", "::1:80"} << "an IPv6 address goes in brackets";
    QTest::newRow("web-brackets-without-port")
        << QStringList{"--web", "[::1]"} << "must be followed by a colon and the port";
    QTest::newRow("web-ipv4-in-brackets")
        << QStringList{"--web", "[127.0.0.1]:80"} << "127.0.0.1 in brackets is not an IPv6";
    QTest::newRow("web-port-not-a-number")
        << QStringList{"--web", "127.0.0.1:www"} << "the port must be a number from 1 to 65535";
    QTest::newRow("sacn") << QStringList{"--sacn", "7"} << "sACN 7";
    QTest::newRow("both-on-an-interface")
        << QStringList{"--sacn", "1/17", "--artnet", "0:1:2", "--net-interface", "eth0"}
        << "sACN 1/17 Art-Net 0:1:2 on eth0";
    QTest::newRow("sacn-universe-0")
        << QStringList{"--sacn", "0"} << "--sacn 0: an sACN universe is 1..63999.";
    QTest::newRow("artnet-start-506")
        << QStringList{"--artnet", "1/506"} << "--artnet 1/506: the first slot is 1..505";
    QTest::newRow("interface-without-sacn")
        << QStringList{"--net-interface", "lo", "--artnet", "1"} << "give --sacn too";
    QTest::newRow("midi-pattern") << QStringList{"--midi", "nano"} << "midi nano - default";
    QTest::newRow("midi-profile") << QStringList{"--midi", "nano", "--midi-profile", "apc-mini"}
                                  << "midi nano apc-mini default";
    QTest::newRow("midi-jack") << QStringList{"--midi", "x", "--midi-api", "jack"}
                               << "midi x - jack";
    QTest::newRow("midi-alsa") << QStringList{"--midi", "x", "--midi-api", "alsa"}
                               << "midi x - alsa";
    QTest::newRow("midi-list") << QStringList{"--midi-list", "--midi-api", "jack"}
                               << "midi  - jack list";
    QTest::newRow("midi-empty-pattern") << QStringList{"--midi="} << "--midi needs a part of";
    QTest::newRow("midi-profile-alone")
        << QStringList{"--midi-profile", "generic"} << "give --midi too";
    QTest::newRow("midi-api-alone") << QStringList{"--midi-api", "jack"} << "give --midi too";
    QTest::newRow("midi-unknown-api") << QStringList{"--midi", "x", "--midi-api", "coremidi"}
                                      << "--midi-api is alsa or jack, not coremidi.";
}

void tst_Options::inputs()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, says);
    const Options options = parsed(arguments);
    if (options.verdict.outcome != CommandLine::Outcome::Run) {
        QVERIFY2(options.verdict.outcome == CommandLine::Outcome::UsageError &&
                     options.verdict.output.contains(says),
                 qPrintable(options.verdict.output));
        return;
    }
    QStringList asked;
    if (options.web)
        asked << "web " + options.web->toString() +
                     (options.web->name.isEmpty() ? QString() : " named " + options.web->name);
    for (const std::optional<DmxPatch> &patch : {options.sacn, options.artNet}) {
        if (patch)
            asked << patch->toString();
    }
    if (!options.netInterface.isEmpty())
        asked << "on " + options.netInterface;
    if (options.midi) {
        const char *systems[] = {"default", "alsa", "jack"};
        asked << "midi" << options.midi->pattern
              << (options.midi->profile.isEmpty() ? "-" : options.midi->profile)
              << systems[int(options.midi->system)];
        if (options.midiList)
            asked << "list";
    }
    QCOMPARE(asked.isEmpty() ? QStringLiteral("-") : asked.join(' '), says);
}

void tst_Options::argumentThatIsNoText()
{
    // Bytes that are no UTF-8 would name another file or device once made text.
    QByteArray program("dimmer-panel");
    QByteArray option("--port");
    QByteArray device("/tmp/\xff\xfe");
    char *argv[] = {program.data(), option.data(), device.data()};
    const Options options = Options::parse(CommandLine::argumentsOf(3, argv));
    QCOMPARE(options.verdict.outcome, Outcome::UsageError);
    QVERIFY2(options.verdict.output.contains("\"/tmp/\\xff\\xfe\" is not valid text"),
             qPrintable(options.verdict.output));
}

QTEST_GUILESS_MAIN(tst_Options)
#include "tst_options.moc"
