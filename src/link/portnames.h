#pragma once

#include <QString>

// The names a serial device goes by.
namespace PortNames {

// Its link in /dev/serial/by-id, named after the adapter's maker, model and serial
// number, which stays the same when the adapter is plugged in again elsewhere and comes
// back under another ttyUSB number; empty when it has none.
QString byId(const QString &device);

// The name to remember the device by: its /dev/serial/by-id link, else the path given.
QString stable(const QString &device);

} // namespace PortNames
