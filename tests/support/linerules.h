#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Whether what arrived on the line is a faithful paced form of the messages written: a
// waiting level may give way to a newer one of the same address, and nothing else. Gives
// an empty string when it is, otherwise what is wrong.
//
// - every byte arrived in a whole packet or frame: nothing cut, nothing stray;
// - every message that is not a SetLevel packet (modes, frames) arrived exactly once, in
//   order, and the board held the same levels when it came as if everything had been sent;
// - each master packet that arrived left the board as one of the master packets written
//   left it, in the order written, so no channel passed a master packet or the reverse;
// - no address got more level packets than were written for it;
// - the board ends as every message written would have left it.
namespace LineRules {

QString check(const QList<QByteArray> &written, const QByteArray &arrived);

} // namespace LineRules
