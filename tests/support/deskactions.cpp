#include "deskactions.h"

#include "support/deskfixture.h"

#include <QTest>

#include <functional>
#include <map>

std::optional<Intent> intentOf(const QString &action)
{
    using Kind = Intent::Kind;
    struct Verb
    {
        Kind kind;
        Source::Kind source;
    };
    // The window's own sliders report every position; everything else sets a level.
    const std::map<QString, Verb> verbs = {
        {"set", {Kind::Channel, Source::Kind::Key}},
        {"move", {Kind::Channel, Source::Kind::Window}},
        {"master", {Kind::Master, Source::Kind::Key}},
        {"moveMaster", {Kind::Master, Source::Kind::Window}},
        {"fullOn", {Kind::FullOn, Source::Kind::Window}},
        {"off", {Kind::Off, Source::Kind::Window}},
        {"masterFullOn", {Kind::MasterFullOn, Source::Kind::Window}},
        {"allOff", {Kind::AllOff, Source::Kind::Window}},
        {"mode", {Kind::Mode, Source::Kind::Window}},
        {"recall", {Kind::Recall, Source::Kind::Window}},
        {"store", {Kind::Store, Source::Kind::Window}},
        {"download", {Kind::Download, Source::Kind::Window}},
        {"blackout", {Kind::Blackout, Source::Kind::Window}},
        {"sendAll", {Kind::SendAll, Source::Kind::Window}},
        {"fade", {Kind::FadeTime, Source::Kind::Window}},
        {"undo", {Kind::Undo, Source::Kind::Window}},
        {"redo", {Kind::Redo, Source::Kind::Window}},
        {"go", {Kind::Go, Source::Kind::Key}},
        {"back", {Kind::Back, Source::Kind::Key}},
        {"pause", {Kind::Pause, Source::Kind::Key}},
        {"goto", {Kind::GotoCue, Source::Kind::Key}},
        {"recordCue", {Kind::RecordCue, Source::Kind::Key}},
    };
    const QStringList word = action.split(' ', Qt::SkipEmptyParts);
    const auto verb = verbs.find(word.value(0));
    if (verb == verbs.end())
        return std::nullopt;
    const Kind kind = verb->second.kind;
    const bool levelOnly = kind == Kind::Master || kind == Kind::FadeTime;
    Intent intent{kind, levelOnly ? 0 : word.value(1).toInt(),
                  levelOnly ? word.value(1).toInt() : word.value(2).toInt(), std::nullopt,
                  Source{verb->second.source, 0}};
    // "recall 2 15": scene 2 over 1.5 s of its own; "recordCue 25 20 10": cue 2.5, up 2 s,
    // down 1 s.
    if (kind == Kind::Recall && word.size() > 2)
        intent.fade = word.value(2).toInt();
    if (kind == Kind::RecordCue && word.size() > 3)
        intent.fade = word.value(3).toInt();
    return intent;
}

QString describe(const Intent &intent)
{
    static const char *const kinds[] = {
        "Channel", "Master", "FullOn",   "Off",     "MasterFullOn", "AllOff",   "Recall",
        "Store",   "Mode",   "Download", "SendAll", "Blackout",     "FadeTime", "Undo",
        "Redo",    "Go",     "Back",     "Pause",   "GotoCue",      "RecordCue"};
    QString text = QLatin1String(kinds[int(intent.kind)]);
    // Only the numbers that its kind takes.
    if (!Intent::indexes(intent.kind).isEmpty())
        text += QStringLiteral(" %1").arg(intent.index);
    if (!Intent::values(intent.kind).isEmpty())
        text += QStringLiteral(" %1").arg(intent.value);
    return intent.fade ? text + QStringLiteral(" fade %1").arg(*intent.fade) : text;
}

void perform(DeskFixture &f, const QString &actions)
{
    for (const QString &action : actions.split(';', Qt::SkipEmptyParts)) {
        const QStringList word = action.split(' ', Qt::SkipEmptyParts);
        if (word.value(0) == "at") {
            f.clock.set(std::chrono::milliseconds(word.value(1).toInt()));
            f.desk.stepFades();
        } else if (word.value(0) == "hold" || word.value(0) == "letGo") {
            f.desk.holdFader(word.value(0) == "hold");
        } else {
            const std::optional<Intent> intent = intentOf(action);
            if (!intent)
                QFAIL(qPrintable("unknown action " + action));
            f.desk.apply(*intent);
        }
    }
}
