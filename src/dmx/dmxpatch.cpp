#include "dmxpatch.h"

#include <QStringList>

namespace {

// A whole decimal number in first..last, or none.
std::optional<int> number(const QString &text, int first, int last)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    // toInt takes a sign and spaces; a universe is written with digits alone.
    if (!ok || text.isEmpty() || !std::all_of(text.begin(), text.end(), [](QChar c) {
            return c.isDigit() && c.unicode() < 128;
        }))
        return std::nullopt;
    if (value < first || value > last)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<DmxPatch> DmxPatch::parse(Protocol protocol, const QString &text, QString *problem)
{
    DmxPatch patch;
    patch.protocol = protocol;
    const QStringList parts = text.split(QLatin1Char('/'));
    if (parts.size() > 2) {
        *problem = tr("one slash at most, before the first slot");
        return std::nullopt;
    }
    if (parts.size() == 2) {
        const std::optional<int> start = number(parts[1], 1, LastStart);
        if (!start) {
            *problem = tr("the first slot is 1..%1, so that all eight channels fit in the "
                          "universe's %2 slots")
                           .arg(LastStart)
                           .arg(SlotCount);
            return std::nullopt;
        }
        patch.start = *start;
    }
    std::optional<int> universe;
    if (protocol == Protocol::Sacn) {
        universe = number(parts[0], FirstSacnUniverse, LastSacnUniverse);
        if (!universe)
            *problem = tr("an sACN universe is 1..%1").arg(LastSacnUniverse);
    } else if (const QStringList fields = parts[0].split(QLatin1Char(':')); fields.size() == 3) {
        const std::optional<int> net = number(fields[0], 0, 127);
        const std::optional<int> sub = number(fields[1], 0, 15);
        const std::optional<int> uni = number(fields[2], 0, 15);
        if (net && sub && uni)
            universe = *net << 8 | *sub << 4 | *uni;
        else
            *problem = tr("in NET:SUB:UNI, NET is 0..127, SUB and UNI 0..15");
    } else {
        universe = number(parts[0], 0, LastPortAddress);
        if (!universe)
            *problem = tr("an Art-Net port-address is 0..%1, or NET:SUB:UNI").arg(LastPortAddress);
    }
    if (!universe)
        return std::nullopt;
    patch.universe = *universe;
    return patch;
}

QString DmxPatch::universeText() const
{
    if (protocol == Protocol::Sacn)
        return QString::number(universe);
    return QStringLiteral("%1:%2:%3")
        .arg(universe >> 8)
        .arg(universe >> 4 & 15)
        .arg(universe & 15);
}

QString DmxPatch::toString() const
{
    const QString name =
        protocol == Protocol::Sacn ? QStringLiteral("sACN") : QStringLiteral("Art-Net");
    QString text = name + QLatin1Char(' ') + universeText();
    if (start != 1)
        text += QLatin1Char('/') + QString::number(start);
    return text;
}
