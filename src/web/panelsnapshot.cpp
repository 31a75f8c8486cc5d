#include "panelsnapshot.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString lineName(PanelSnapshot::Line line)
{
    switch (line) {
    case PanelSnapshot::Line::Closed:
        return QStringLiteral("closed");
    case PanelSnapshot::Line::Up:
        return QStringLiteral("up");
    case PanelSnapshot::Line::Waiting:
        return QStringLiteral("waiting");
    case PanelSnapshot::Line::Lost:
        return QStringLiteral("lost");
    }
    return {};
}

} // namespace

QByteArray PanelSnapshot::toJson() const
{
    QJsonArray levels;
    for (const int level : channels)
        levels.append(level);
    const QJsonObject state{
        {QStringLiteral("ch"), levels},           {QStringLiteral("m"), master},
        {QStringLiteral("mode"), mode},           {QStringLiteral("live"), liveScene},
        {QStringLiteral("changed"), liveChanged}, {QStringLiteral("to"), fadingTo},
        {QStringLiteral("pc"), fadePercent},      {QStringLiteral("bo"), blackout},
        {QStringLiteral("fade"), fadeTenths},     {QStringLiteral("port"), port},
        {QStringLiteral("line"), lineName(line)}, {QStringLiteral("cue"), cue},
        {QStringLiteral("next"), nextCue},        {QStringLiteral("run"), cueRunning},
        {QStringLiteral("held"), cuePaused},
    };
    return QJsonDocument(QJsonObject{{QStringLiteral("state"), state}})
        .toJson(QJsonDocument::Compact);
}
