#include "deskactions.h"

#include "support/deskfixture.h"

#include <QTest>

#include <functional>
#include <map>

void perform(DeskFixture &f, const QString &actions)
{
    Desk &desk = f.desk;
    using Action = std::function<void(int, int)>;
    const std::map<QString, Action> verbs = {
        {"set", [&](int a, int b) { desk.setChannel(a, b); }},
        {"move", [&](int a, int b) { desk.moveChannel(a, b); }},
        {"master", [&](int a, int) { desk.setMaster(a); }},
        {"moveMaster", [&](int a, int) { desk.moveMaster(a); }},
        {"fullOn", [&](int a, int) { desk.channelFullOn(a); }},
        {"off", [&](int a, int) { desk.channelOff(a); }},
        {"masterFullOn", [&](int, int) { desk.masterFullOn(); }},
        {"allOff", [&](int, int) { desk.allOff(); }},
        {"mode", [&](int a, int) { desk.selectMode(a); }},
        {"recall", [&](int a, int) { desk.recall(a); }},
        {"store", [&](int a, int) { desk.store(a); }},
        {"download", [&](int, int) { desk.download(); }},
        {"blackout", [&](int, int) { desk.toggleBlackout(); }},
        {"sendAll", [&](int, int) { desk.sendAll(); }},
        {"fade", [&](int a, int) { desk.setFadeTime(a); }},
        {"at",
         [&](int a, int) {
             f.clock.set(std::chrono::milliseconds(a));
             desk.stepFades();
         }},
        {"undo", [&](int, int) { desk.undo(); }},
        {"redo", [&](int, int) { desk.redo(); }},
        {"hold", [&](int, int) { desk.holdFader(true); }},
        {"letGo", [&](int, int) { desk.holdFader(false); }},
    };
    for (const QString &action : actions.split(';', Qt::SkipEmptyParts)) {
        const QStringList word = action.split(' ', Qt::SkipEmptyParts);
        const auto verb = verbs.find(word.value(0));
        if (verb == verbs.end())
            QFAIL(qPrintable("unknown action " + action));
        verb->second(word.value(1).toInt(), word.value(2).toInt());
    }
}
