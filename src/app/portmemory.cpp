#include "portmemory.h"

#include "link/portnames.h"

#include <QSettings>

namespace {

QSettings settings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("dimmer-panel"),
                     QStringLiteral("dimmer-panel"));
}

const QString PortKey = QStringLiteral("port");

} // namespace

QString PortMemory::remembered() const { return settings().value(PortKey).toString(); }

void PortMemory::remember(const QString &device)
{
    QSettings store = settings();
    store.setValue(PortKey, PortNames::stable(device));
}
