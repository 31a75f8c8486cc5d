#pragma once

#include <QString>

// Where the panel keeps what it writes for itself, and the check it makes before it
// reads any of it back.
namespace UserFiles {

// $XDG_STATE_HOME/dimmer-panel, else ~/.local/state/dimmer-panel: what the panel
// remembers of the boards it ran, which is no setting and no document.
QString stateFolder();

// A file that the panel writes itself but that is no plain file (a FIFO would hold the
// start forever), or far larger than any it writes, is not read: it is moved aside, to
// the same name with ".set-aside" after it, so that nothing in it is lost.
struct SetAside
{
    QString why;     // empty when the file is absent or fit to read
    QString movedTo; // empty when it could not be moved
};
SetAside setAsideIfOdd(const QString &path, qint64 largestSize);

// Replaces the file at path with bytes, whole: written to a new file beside it, every write
// checked, synced to the disk, and only then put in its place, so that a full disk, a crash
// or a power cut leaves the old file or the new one, never a part of either. The folder is
// made when missing. False with the reason when the new file could not be made whole; the
// old one is then as it was.
bool replaceWhole(const QString &path, const QByteArray &bytes, QString *error);

} // namespace UserFiles
