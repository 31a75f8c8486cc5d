#pragma once

#include "link/seriallink.h"
#include "support/ptypair.h"

#include <QString>
#include <QTemporaryDir>

// A serial device that will not open, made for real: "missing", a "folder", a plain
// "file", a path too "long" to lock, a path with "markup" in it, a device that is no line
// (the "terminal" /dev/tty, the "multiplexer" /dev/ptmx, "no-driver" /dev/null), "busy"
// (held by another link) or "busy-link" (the same, reached through a symbolic link), or
// forbidden to an ordinary user by its owner, group and mode: "owner-only" (root:root
// 0600) or "group" (root:dialout 0660), or locked by root's program that has ended
// ("stale-lock").
class UnusableDevice
{
public:
    explicit UnusableDevice(const QString &kind);
    ~UnusableDevice();

    // Empty when the device is ready; otherwise why it could not be made.
    QString problem() const { return m_problem; }
    // Making a device forbidden to others takes root; the test skips without.
    bool needsRoot() const { return m_needsRoot; }
    // Meet it as nobody: root opens anything.
    bool forNobody() const { return m_forNobody; }

    QString path() const { return m_path; }
    // A folder beside it for the test's other files; nobody may write in it too.
    QString filePath(const QString &name) const { return m_folder.filePath(name); }
    PtyPair &line() { return m_line; }

private:
    QTemporaryDir m_folder;
    PtyPair m_line;
    SerialLink m_holder;
    QString m_path;
    QString m_lock; // a lock file left behind, removed again
    QString m_problem;
    bool m_needsRoot = false;
    bool m_forNobody = false;
};
