#pragma once

#include <QCoreApplication>
#include <QString>

// The symbolic link that gives the board's pseudo-terminal a fixed name for the panel.
// It goes when the board ends or its line is pulled out, unless another board has put its
// own link there since.
class DeviceLink
{
    Q_DECLARE_TR_FUNCTIONS(DeviceLink)

public:
    DeviceLink() = default;
    DeviceLink(const DeviceLink &) = delete;
    DeviceLink &operator=(const DeviceLink &) = delete;
    ~DeviceLink();

    // Replaces a symbolic link already at linkPath, but no other kind of file.
    bool create(const QString &linkPath, const QString &target, QString *errorMessage);
    void remove();

private:
    QString m_linkPath;
    QString m_target;
};
