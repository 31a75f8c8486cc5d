#include "scenes/scenefile.h"
#include "support/files.h"
#include "support/wire.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// The scene file's exact bytes: where each record lands, what a save leaves alone, what
// a record that the file does not hold reads as, and the files that cannot be used.
class tst_SceneFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void save_data();
    void save();
    void read_data();
    void read();
    void openCreatesEmptyFile();
    void defaultPathIsPerUser();
    void createsMissingFolder();
    void unusable_data();
    void unusable();

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_path;
};

namespace {

using Record = SceneFile::Record;

QByteArray bytesOf(const Record &record) { return Wire::bytes(record); }

QByteArray noise(int size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(size);
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

const Record Levels2 = {0, 10, 20, 30, 40, 50, 60, 70};

} // namespace

void tst_SceneFile::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY2(m_folder->isValid(), qPrintable(m_folder->errorString()));
    m_path = m_folder->filePath("lightLevel.co");
}

void tst_SceneFile::save_data()
{
    QTest::addColumn<QByteArray>("before"); // "<missing>": no file
    QTest::addColumn<QList<int>>("scenes"); // saved one after the other, with Levels2 + k
    QTest::addColumn<QByteArray>("after");

    const QByteArray l2 = bytesOf(Levels2);
    auto plus = [](const QByteArray &bytes, int k) {
        QByteArray shifted = bytes;
        for (char &b : shifted)
            b = char(b + k);
        return shifted;
    };
    const QByteArray full = noise(96);
    const QByteArray longer = noise(120);
    QTest::newRow("scene-3-into-missing")
        << QByteArray("<missing>") << QList<int>{3} << QByteArray(16, '\0') + l2;
    QTest::newRow("scene-12-into-missing")
        << QByteArray("<missing>") << QList<int>{12} << QByteArray(88, '\0') + l2;
    QTest::newRow("scene-2-into-full")
        << full << QList<int>{2} << full.left(8) + l2 + full.mid(16);
    QTest::newRow("scene-12-then-1")
        << QByteArray("<missing>") << QList<int>{12, 1} << plus(l2, 1) + QByteArray(80, '\0') + l2;
    QTest::newRow("same-scene-twice")
        << QByteArray("<missing>") << QList<int>{4, 4} << QByteArray(24, '\0') + plus(l2, 1);
    QTest::newRow("beyond-96-kept")
        << longer << QList<int>{5} << longer.left(32) + l2 + longer.mid(40);
    QTest::newRow("extends-short-file")
        << QByteArray("\x01\x02\x03", 3) << QList<int>{2}
        << QByteArray("\x01\x02\x03", 3) + QByteArray(5, '\0') + l2;
}

void tst_SceneFile::save()
{
    QFETCH(QByteArray, before);
    QFETCH(QList<int>, scenes);
    QFETCH(QByteArray, after);
    if (before != "<missing>")
        QVERIFY(Files::write(m_path, before));
    const SceneFile file(m_path);
    for (int k = 0; k < scenes.size(); ++k) {
        Record levels = Levels2;
        for (auto &level : levels)
            level = std::uint8_t(level + k);
        SceneFile::Access access = file.open();
        QVERIFY2(access.writeRecord(scenes[k], levels), qPrintable(access.errorMessage()));
        QVERIFY2(access.close(), qPrintable(access.errorMessage()));
    }
    QCOMPARE(Files::bytes(m_path).toHex(), after.toHex());
}

void tst_SceneFile::read_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("scene");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray full = noise(96);
    QTest::newRow("first") << full << 1 << full.left(8);
    QTest::newRow("last") << full << 12 << full.mid(88, 8);
    QTest::newRow("beyond-end") << full.left(16) << 5 << QByteArray(8, '\0');
    QTest::newRow("cut-short") << full.left(13) << 2 << full.mid(8, 5) + QByteArray(3, '\0');
    QTest::newRow("empty") << QByteArray() << 1 << QByteArray(8, '\0');
    QTest::newRow("any-byte") << QByteArray("\xfa\xfb\xf1\xff\x00\x63\x64\x80", 8) << 1
                              << QByteArray("\xfa\xfb\xf1\xff\x00\x63\x64\x80", 8);
}

void tst_SceneFile::read()
{
    QFETCH(QByteArray, contents);
    QFETCH(int, scene);
    QFETCH(QByteArray, expected);
    QVERIFY(Files::write(m_path, contents));
    const SceneFile file(m_path);
    Record record;
    record.fill(0x55); // a read that left the array alone would show
    SceneFile::Access access = file.open();
    QVERIFY2(access.readRecord(scene, record), qPrintable(access.errorMessage()));
    QVERIFY(access.close());
    QCOMPARE(bytesOf(record).toHex(), expected.toHex());
    QCOMPARE(Files::bytes(m_path), contents);
}

void tst_SceneFile::openCreatesEmptyFile()
{
    const SceneFile file(m_path);
    {
        SceneFile::Access access = file.open();
        QVERIFY(access.isOpen());
        Record record;
        QVERIFY(access.readRecord(4, record));
        QCOMPARE(bytesOf(record), QByteArray(8, '\0'));
    }
    QVERIFY(QFile::exists(m_path));
    QCOMPARE(QFileInfo(m_path).size(), 0);
}

void tst_SceneFile::defaultPathIsPerUser()
{
    QStandardPaths::setTestModeEnabled(false);
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_folder->path()));
    QCoreApplication::setApplicationName("dimmer-panel");
    QCOMPARE(SceneFile::defaultPath(), m_folder->filePath("dimmer-panel/lightLevel.co"));
}

void tst_SceneFile::createsMissingFolder()
{
    const QString path = m_folder->filePath("a/b/lightLevel.co");
    const SceneFile file(path, true);
    SceneFile::Access access = file.open();
    QVERIFY2(access.isOpen(), qPrintable(access.errorMessage()));
    QVERIFY(access.close());
    QVERIFY(QFile::exists(path));
}

void tst_SceneFile::unusable_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("folder") << "folder"
                            << "Is a directory";
    QTest::newRow("parent-is-a-file") << "parent-file"
                                      << "Not a directory";
    QTest::newRow("parent-cannot-be-created") << "create-parent"
                                              << "folder";
    QTest::newRow("cannot-create") << "sysfs"
                                   << "Permission denied";
    QTest::newRow("disk-full") << "full"
                               << "No space left on device";
}

void tst_SceneFile::unusable()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QString path = m_path;
    bool createFolder = false;
    if (kind == "folder") {
        QVERIFY(QDir().mkpath(m_path));
    } else if (kind == "parent-file" || kind == "create-parent") {
        QVERIFY(Files::write(m_folder->filePath("plain"), "x"));
        path = m_folder->filePath("plain/sub/lightLevel.co");
        createFolder = kind == "create-parent";
    } else if (kind == "sysfs") {
        path = "/sys/lightLevel.co"; // no one may create files there, root included
    } else if (kind == "full") {
        path = "/dev/full";
    }
    const SceneFile file(path, createFolder);
    SceneFile::Access access = file.open();
    const bool opened = access.isOpen();
    if (opened)
        QVERIFY(!access.writeRecord(1, Levels2));
    const QString message = access.errorMessage();
    QVERIFY2(message.contains(QFileInfo(path).path()), qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
    if (kind == "folder")
        QVERIFY(QFileInfo(m_path).isDir());
}

QTEST_GUILESS_MAIN(tst_SceneFile)
#include "tst_scenefile.moc"
