#pragma once

#include <QString>

// The port the panel opened last, kept in the user's configuration folder
// (~/.config/dimmer-panel/dimmer-panel.conf) for the next start: by its /dev/serial/by-id
// name where it has one, so that the same adapter is found after a replug that gives it
// another ttyUSB number.
class PortMemory
{
public:
    QString remembered() const;
    void remember(const QString &device);
};
