#pragma once

#include "control/cuelist.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>
#include <vector>

// The cue list's file: readable text, one cue a line, versioned, beside the scene file unless
// named with --cues. Read once at start; written whole (see WholeFile) at every change of
// the list. A file the panel cannot read (damaged, not one of its own, from a newer version)
// is never overwritten: it is moved aside under a name of its own, with a message, and the
// list starts empty. A save that fails is told once and tried again, and at the end.
class CueFile : public QObject
{
    Q_OBJECT

public:
    static constexpr int Version = 1;
    // Far more than ten thousand cues: anything larger was not written by the panel.
    static constexpr qint64 LargestFile = 8 * 1024 * 1024;

    // The file's name beside the scene file.
    static QString fileName() { return QStringLiteral("lightLevel.cues"); }

    CueFile(const QString &path, CueList &cues, QObject *parent = nullptr);

    static constexpr int RetryMilliseconds = 5000;

    QString path() const { return m_path; }
    // Saves now what a failed save left unsaved.
    void flush();
    // Why the file could not be read at start, and where it went; empty when it could.
    QString problem() const { return m_problem; }

    static QByteArray toText(const std::vector<Cue> &cues);
    // None, with why, when the text is none that toText() writes.
    static std::optional<std::vector<Cue>> fromText(const QByteArray &text, QString *why);

Q_SIGNALS:
    // A save failed, with why; or, with an empty problem, works again.
    void keepingChanged(const QString &problem);

private:
    void read();
    void save();

    CueList &m_cues;
    QString m_path;
    QString m_problem;
    bool m_failing = false;
    QTimer m_retry;
    // A file that could not be read nor moved aside is never written over.
    bool m_mayWrite = true;
};
