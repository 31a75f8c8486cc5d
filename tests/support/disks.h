#pragma once

#include <QByteArray>

// A real filesystem that fills up, for what must hold when the disk is full. Both only in a
// child process of the test's: the mount is private to it and ends with it.
namespace Disks {

// Mounts a 16 KB tmpfs on folder, in a mount namespace of the process's own (as root, or in a
// user namespace where the system allows one). False when neither is allowed.
bool mountSmall(const char *folder);

// Writes the file until the filesystem takes no more.
void fill(const QByteArray &path);

} // namespace Disks
