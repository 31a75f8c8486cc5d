#pragma once

#include "control/inputcounts.h"

#include <QCoreApplication>
#include <QString>

// What became of the web remote's pages and their messages in a run: besides what every
// input counts, the pages that joined and what was refused before the token, beyond a
// page's rate or size, or not text. Every text message counts exactly once; pages turned
// away and oversized messages are counted apart.
struct WebCounts : InputCounts
{
    Q_DECLARE_TR_FUNCTIONS(WebCounts)

public:
    qint64 joined = 0;          // pages that gave the token
    qint64 wrongTokens = 0;     // hellos with another token
    qint64 withoutToken = 0;    // controls from a page that had not joined
    qint64 tooFast = 0;         // beyond what a page may send in a second
    qint64 oversized = 0;       // messages or frames beyond the limit: the page is closed
    qint64 binary = 0;          // binary messages: the pages speak text
    qint64 pagesTurnedAway = 0; // pages, or connections, beyond the most at once

    bool operator==(const WebCounts &other) const = default;

    // One line: "Web: 40 messages taken, 2 pages joined; ignored: ...".
    QString summary() const;
};
