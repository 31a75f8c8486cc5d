#pragma once

#include "control/scenestore.h"
#include "protocol/boardnumbers.h"

#include <QCoreApplication>
#include <QString>

#include <array>
#include <cstdint>

// The scene file: twelve 8-byte records, record n at offset 8(n-1), no header.
// Every use opens the file, does its reads or its one write, and closes it again, so the
// file is never held open between events. A record that the file does not hold, wholly
// or in part, reads as zeros, exactly like the unwritten gap before a later record.
class SceneFile : public SceneStore
{
    Q_DECLARE_TR_FUNCTIONS(SceneFile)

public:
    static constexpr int SceneCount = Board::SceneCount;
    // One level for each channel.
    static constexpr int RecordSize = Board::ChannelCount;

    // The file name that the board's software has always used.
    static QString fileName() { return QStringLiteral("lightLevel.co"); }
    // lightLevel.co in the user's application data folder.
    static QString defaultPath();

    explicit SceneFile(QString path, bool createFolder = false);

    QString path() const { return m_path; }

    QString location() const override;
    bool read(int sceneNumber, Record &record, QString *error) const override;
    // The download's reads: one open, twelve records in order, one close.
    bool readAll(Records &records, QString *error) const override;
    bool write(int sceneNumber, const Record &record, QString *error) override;

    // Why the file could not serve, found without creating it: a file that is there must
    // be readable and writable, and a missing one's folder must be there or, for the
    // default file, creatable. Empty when it can.
    QString problem() const;

    // One open of the file, closed when it goes out of scope. The file is created,
    // empty, when it does not exist; it is never truncated.
    class Access
    {
    public:
        ~Access();
        Access(const Access &) = delete;
        Access &operator=(const Access &) = delete;

        bool isOpen() const { return m_fd >= 0; }
        QString errorMessage() const { return m_error; }

        bool readRecord(int sceneNumber, Record &record);
        // Written, flushed and synced to the disk before it returns.
        bool writeRecord(int sceneNumber, const Record &record);
        bool close();

    private:
        friend class SceneFile;
        enum class Step { Open, Read, Write, Close };

        explicit Access(const SceneFile &file);
        bool failWith(Step step);

        const SceneFile &m_file;
        int m_fd = -1;
        QString m_error;
    };

    Access open() const { return Access(*this); }

private:
    QString m_path;
    bool m_createFolder;
};
