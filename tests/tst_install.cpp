#include "support/childoutput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLibrary>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

// What `cmake --install` puts where the desktop looks for it: both programs, their menu
// entries with the icons these name in every size, their AppStream metadata, and manual pages
// that document every option the programs accept. Installed once into a temporary prefix.
class tst_Install : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void programs_data();
    void programs();
    void icons_data();
    void icons();
    void scalableIcons_data();
    void scalableIcons();
    void desktopEntries_data();
    void desktopEntries();
    void metainfo_data();
    void metainfo();
    void manualPages_data();
    void manualPages();
    void debianFiles();
    void remoteModules_data();
    void remoteModules();

private:
    QString installed(const QString &path) const { return m_prefix + QLatin1Char('/') + path; }

    QTemporaryDir m_dir;
    QString m_prefix;
};

namespace {

const QString PanelId = QStringLiteral(DIMMER_PANEL_ID);
const QString BoardId = QStringLiteral(DIMMER_BOARD_ID);
const QString Version = QStringLiteral(DIMMER_VERSION);

struct Program
{
    QString name;
    QString id;
};

const Program Programs[] = {
    {QStringLiteral("dimmer-panel"), PanelId},
    {QStringLiteral("dimmer-board"), BoardId},
};

ChildOutput::Outcome run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    ChildOutput output(process);
    process.start(program, arguments);
    return output.finish(120000);
}

// The lines of one group of a desktop entry, key to value.
QMap<QString, QString> desktopGroup(const QString &path, const QString &group)
{
    QFile file(path);
    QMap<QString, QString> entries;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return entries;
    bool inside = false;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('[')))
            inside = line == QLatin1Char('[') + group + QLatin1Char(']');
        else if (inside && line.contains(QLatin1Char('=')))
            entries.insert(line.section(QLatin1Char('='), 0, 0),
                           line.section(QLatin1Char('='), 1));
    }
    return entries;
}

// Every option that a program's --help lists, long and short.
QStringList helpOptions(const QString &help)
{
    QStringList options;
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])(--?[a-z][a-z-]*)"));
    // An option starts a line at the option column; a wrapped description can also start
    // with a hyphen (a long path broken at one) and names no option.
    for (const QString &line : help.split(QLatin1Char('\n'))) {
        if (!line.startsWith(QStringLiteral("  -")))
            continue;
        const QString names = line.trimmed().section(QStringLiteral("  "), 0, 0);
        for (const QRegularExpressionMatch &match : option.globalMatch(names))
            options << match.captured(1);
    }
    return options;
}

} // namespace

void tst_Install::initTestCase()
{
    QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));
    m_prefix = m_dir.filePath(QStringLiteral("usr"));
    const ChildOutput::Outcome install =
        run(QStringLiteral(DIMMER_CMAKE),
            {QStringLiteral("--install"), QStringLiteral(DIMMER_BUILD_DIR),
             QStringLiteral("--prefix"), m_prefix});
    QVERIFY2(install.status == 0, qPrintable(install.out + install.err));
}

void tst_Install::programs_data()
{
    QTest::addColumn<QString>("name");
    for (const Program &program : Programs)
        QTest::newRow(qPrintable(program.name)) << program.name;
}

void tst_Install::programs()
{
    QFETCH(QString, name);
    const QFileInfo binary(installed(QStringLiteral("bin/") + name));
    QVERIFY2(binary.isFile() && binary.isExecutable(), qPrintable(binary.filePath()));
    // --version needs no display, so it shows that the installed program runs at all.
    const ChildOutput::Outcome version = run(binary.filePath(), {QStringLiteral("--version")});
    QCOMPARE(version.status, 0);
    QCOMPARE(version.out, name + QLatin1Char(' ') + Version + QLatin1Char('\n'));
}

void tst_Install::icons_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("size");
    // The sizes of the hicolor theme that menus, docks and task switchers ask for.
    for (const Program &program : Programs) {
        for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            QTest::addRow("%s %d", qPrintable(program.name), size) << program.id << size;
        }
    }
}

void tst_Install::icons()
{
    QFETCH(QString, id);
    QFETCH(int, size);
    const QString path =
        installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(id));
    const QImage icon(path);
    QVERIFY2(!icon.isNull(), qPrintable(path));
    QCOMPARE(icon.size(), QSize(size, size));
    // A shape on a clear ground: the corners see through, the middle does not.
    QVERIFY(icon.hasAlphaChannel());
    QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(icon.pixel(size - 1, size - 1)), 0);
    QCOMPARE(qAlpha(icon.pixel(size / 2, size / 2)), 255);
}

void tst_Install::scalableIcons_data()
{
    QTest::addColumn<QString>("id");
    for (const Program &program : Programs)
        QTest::newRow(qPrintable(program.name)) << program.id;
}

void tst_Install::scalableIcons()
{
    QFETCH(QString, id);
    QFile file(installed(QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(id)));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    QXmlStreamReader xml(&file);
    QVERIFY(xml.readNextStartElement());
    QCOMPARE(xml.name(), u"svg");
    QCOMPARE(xml.namespaceUri(), u"http://www.w3.org/2000/svg");
    QCOMPARE(xml.attributes().value(QStringLiteral("viewBox")), u"0 0 256 256");
    int paths = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"path")
            ++paths;
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY2(paths > 5, "the drawing is not there");
}

void tst_Install::desktopEntries_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QStringList>("groups");
    QTest::newRow("dimmer-panel") << QStringLiteral("dimmer-panel") << PanelId
                                  << QStringList{QStringLiteral("Desktop Entry"),
                                                 QStringLiteral("Desktop Action choose-port")};
    QTest::newRow("dimmer-board") << QStringLiteral("dimmer-board") << BoardId
                                  << QStringList{QStringLiteral("Desktop Entry")};
}

void tst_Install::desktopEntries()
{
    QFETCH(QString, name);
    QFETCH(QString, id);
    QFETCH(QStringList, groups);
    const QString path = installed(QStringLiteral("share/applications/%1.desktop").arg(id));
    const QMap<QString, QString> entry = desktopGroup(path, QStringLiteral("Desktop Entry"));
    QVERIFY2(!entry.isEmpty(), qPrintable(path));
    QCOMPARE(entry.value(QStringLiteral("Icon")), id);
    QVERIFY(!entry.value(QStringLiteral("Name[zh_TW]")).isEmpty());
    QVERIFY(!entry.value(QStringLiteral("GenericName[zh_TW]")).isEmpty());
    QVERIFY(!entry.value(QStringLiteral("Comment[zh_TW]")).isEmpty());
    // The menu starts the program by name from the PATH, where it was installed.
    for (const QString &group : groups) {
        const QString exec = desktopGroup(path, group).value(QStringLiteral("Exec"));
        QCOMPARE(exec.section(QLatin1Char(' '), 0, 0), name);
        QVERIFY(QFileInfo(installed(QStringLiteral("bin/") + name)).isExecutable());
    }
}

void tst_Install::metainfo_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("id");
    for (const Program &program : Programs)
        QTest::newRow(qPrintable(program.name)) << program.name << program.id;
}

void tst_Install::metainfo()
{
    QFETCH(QString, name);
    QFETCH(QString, id);
    QFile file(installed(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(id)));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    QMap<QString, QString> found;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"release")
            found.insert(QStringLiteral("release"),
                         xml.attributes().value(QStringLiteral("version")).toString());
        else if (xml.name() == u"id" || xml.name() == u"launchable" || xml.name() == u"binary")
            found.insert(xml.name().toString(), xml.readElementText());
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(found.value(QStringLiteral("id")), id);
    QCOMPARE(found.value(QStringLiteral("launchable")), id + QStringLiteral(".desktop"));
    QCOMPARE(found.value(QStringLiteral("binary")), name);
    QCOMPARE(found.value(QStringLiteral("release")), Version);
}

void tst_Install::manualPages_data()
{
    QTest::addColumn<QString>("name");
    for (const Program &program : Programs)
        QTest::newRow(qPrintable(program.name)) << program.name;
}

void tst_Install::manualPages()
{
    QFETCH(QString, name);
    const QString path = installed(QStringLiteral("share/man/man1/%1.1.gz").arg(name));
    QVERIFY2(QFileInfo::exists(path), qPrintable(path));
    const ChildOutput::Outcome page = run(QStringLiteral("gzip"), {QStringLiteral("-dc"), path});
    QCOMPARE(page.status, 0);
    // Troff writes a hyphen that is meant as a minus sign as \-.
    const QString text = QString(page.out).replace(QStringLiteral("\\-"), QStringLiteral("-"));
    // Both pages belong to the one package, whose name and version their header shows.
    QVERIFY2(text.contains(QStringLiteral("\"dimmer-panel %1\"").arg(Version)),
             "the page's header names another version");

    const ChildOutput::Outcome help =
        run(installed(QStringLiteral("bin/") + name), {QStringLiteral("--help")});
    QCOMPARE(help.status, 0);
    const QStringList options = helpOptions(help.out);
    QVERIFY2(options.contains(QStringLiteral("--version")), qPrintable(help.out));
    for (const QString &option : options) {
        const QRegularExpression documented(
            QStringLiteral("(?<![\\w-])%1(?![\\w-])").arg(QRegularExpression::escape(option)));
        QVERIFY2(text.contains(documented),
                 qPrintable(option + QStringLiteral(" is undocumented")));
    }
}

void tst_Install::debianFiles()
{
    QFile copyright(installed(QStringLiteral("share/doc/dimmer-panel/copyright")));
    QVERIFY2(copyright.open(QIODevice::ReadOnly), qPrintable(copyright.fileName()));
    QFile licence(QStringLiteral(DIMMER_SOURCE_DIR "/LICENSE"));
    QVERIFY2(licence.open(QIODevice::ReadOnly), qPrintable(licence.fileName()));
    // The copyright file carries the licence's own words, in its indented form.
    const QByteArray text = copyright.readAll();
    for (const QByteArray &line : licence.readAll().split('\n')) {
        if (line.startsWith("Permission") || line.startsWith("THE SOFTWARE"))
            QVERIFY2(text.contains(" " + line + "\n"), line.constData());
    }
    QVERIFY(QFileInfo::exists(
        installed(QStringLiteral("share/doc/dimmer-panel/changelog.Debian.gz"))));
}

void tst_Install::remoteModules_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("entry");
    QTest::newRow("osc") << "dimmer-panel-osc.so" << QByteArray("dimmer_osc_create");
    QTest::newRow("web") << "dimmer-panel-web.so" << QByteArray("dimmer_web_create");
}

void tst_Install::remoteModules()
{
    // Where the installed panel looks for them, beside its own folder, and what it looks for.
    QFETCH(QString, file);
    QFETCH(QByteArray, entry);
    const QString path = QDir(installed(QStringLiteral("bin")))
                             .filePath(QStringLiteral(DIMMER_MODULE_FOLDER "/") + file);
    QVERIFY2(QFileInfo(path).isFile(), qPrintable(path));
    QLibrary module(path);
    QVERIFY2(module.resolve(entry.constData()), qPrintable(module.errorString()));
}

QTEST_GUILESS_MAIN(tst_Install)
#include "tst_install.moc"
