#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Whether what arrived on the line is a faithful paced form of the messages written: an
// empty string when it is, otherwise what is wrong.
//
// - every byte arrived in a whole packet or frame: nothing cut, nothing stray;
// - what arrived is a part of what was written, in the order written: nothing made up,
//   nothing sent twice, nothing passed another;
// - the board ends as every message written would have left it.
namespace LineRules {

QString check(const QList<QByteArray> &written, const QByteArray &arrived);

} // namespace LineRules
