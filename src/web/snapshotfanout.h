#pragma once

#include <QtGlobal>

#include <functional>
#include <vector>

// Which pages get the panel's state, and when. A change marks every page behind; a page
// behind gets the whole newest state the next time the panel sends, unless its socket
// still holds more than a little unsent: a slow or stalled page then skips states until
// it has taken what it had, and never makes anything wait or pile up. Whatever it
// missed is in the state it gets next.
class SnapshotFanout
{
public:
    using Page = quint64;
    // Unsent bytes beyond which a page is skipped: a few states' worth.
    static constexpr qint64 MostUnsent = 4096;

    void add(Page page);
    void remove(Page page);
    bool contains(Page page) const;
    // The state changed: every page is behind.
    void changed();
    bool anyBehind() const;

    // The pages to send the newest state to now, given each one's unsent bytes; they are
    // no longer behind. The others stay behind.
    std::vector<Page> due(const std::function<qint64(Page)> &unsent);

private:
    struct Entry
    {
        Page page = 0;
        bool behind = true; // a page that just joined has seen nothing yet
    };
    std::vector<Entry> m_pages;
};
