#include "portnames.h"

#include <QDir>
#include <QFileInfo>

namespace PortNames {

QString byId(const QString &device)
{
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty())
        return {};
    const QDir folder(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo &link : folder.entryInfoList(QDir::System | QDir::Files)) {
        if (link.canonicalFilePath() == target)
            return link.absoluteFilePath();
    }
    return {};
}

QString stable(const QString &device)
{
    const QString name = byId(device);
    return name.isEmpty() ? device : name;
}

} // namespace PortNames
