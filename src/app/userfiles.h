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

} // namespace UserFiles
