#pragma once

#include <QByteArray>
#include <QString>

// Files the panel keeps for the operator (what the lamps hold, the cue list) are replaced
// whole: written to a new file beside the old one, every write checked, synced to the disk,
// and only then put in its place, so that a full disk, a crash or a power cut leaves the old
// file or the new one, never a part of either.
namespace WholeFile {

// Replaces the file at path with bytes; the folder is made when missing. False with the
// reason when the new file could not be made whole: the old one is then as it was.
bool replace(const QString &path, const QByteArray &bytes, QString *error);

} // namespace WholeFile
