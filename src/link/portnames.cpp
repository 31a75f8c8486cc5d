#include "portnames.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace {

QString linkIn(const QString &folderPath, const QString &device)
{
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty())
        return {};
    const QDir folder(folderPath);
    for (const QFileInfo &link : folder.entryInfoList(QDir::System | QDir::Files)) {
        if (link.canonicalFilePath() == target)
            return link.absoluteFilePath();
    }
    return {};
}

} // namespace

namespace PortNames {

QString byId(const QString &device) { return linkIn(QStringLiteral("/dev/serial/by-id"), device); }

QString stable(const QString &device)
{
    if (QString name = byId(device); !name.isEmpty())
        return name;
    if (QString name = linkIn(QStringLiteral("/dev/serial/by-path"), device); !name.isEmpty())
        return name;
    return device;
}

bool isPseudoTerminal(const QString &device)
{
    const QString resolved = QFileInfo(device).canonicalFilePath();
    return (resolved.isEmpty() ? QDir::cleanPath(device) : resolved)
        .startsWith(QStringLiteral("/dev/pts/"));
}

QString identity(const QString &device)
{
    const QString resolved = QFileInfo(device).canonicalFilePath();
    if (resolved.isEmpty())
        return {};
    for (const QSerialPortInfo &port : QSerialPortInfo::availablePorts()) {
        if (port.systemLocation() != resolved)
            continue;
        QStringList parts;
        if (port.hasVendorIdentifier() && port.hasProductIdentifier()) {
            parts << QStringLiteral("%1:%2")
                         .arg(port.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                         .arg(port.productIdentifier(), 4, 16, QLatin1Char('0'));
        }
        for (const QString &part :
             {port.serialNumber(), port.manufacturer(), port.description()}) {
            if (!part.isEmpty())
                parts << part;
        }
        return parts.join(QLatin1Char(' '));
    }
    return {};
}

} // namespace PortNames
