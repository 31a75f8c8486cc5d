#pragma once

#include <QString>

// The names a serial device goes by, and what tells one device from another.
namespace PortNames {

// Its link in /dev/serial/by-id, named after the adapter's maker, model and serial
// number, which stays the same when the adapter is plugged in again elsewhere and comes
// back under another ttyUSB number; empty when it has none.
QString byId(const QString &device);

// The name to remember and to watch the device by: its /dev/serial/by-id link, else its
// /dev/serial/by-path link (the same socket of the same hub), else the path given.
QString stable(const QString &device);

// A pseudo-terminal's far side, by the name it resolves to: its number goes to the next
// terminal that asks for one.
bool isPseudoTerminal(const QString &device);

// What the system knows of the device behind the path: maker and model numbers, serial
// number, description; empty when it knows none of them (a built-in port, a
// pseudo-terminal, a path with nothing behind it).
QString identity(const QString &device);

} // namespace PortNames
