#include "snapshotfanout.h"

#include <algorithm>

void SnapshotFanout::add(Page page)
{
    if (!contains(page))
        m_pages.push_back({page, true});
}

void SnapshotFanout::remove(Page page)
{
    std::erase_if(m_pages, [page](const Entry &entry) { return entry.page == page; });
}

bool SnapshotFanout::contains(Page page) const
{
    return std::any_of(m_pages.begin(), m_pages.end(),
                       [page](const Entry &entry) { return entry.page == page; });
}

void SnapshotFanout::changed()
{
    for (Entry &entry : m_pages)
        entry.behind = true;
}

bool SnapshotFanout::anyBehind() const
{
    return std::any_of(m_pages.begin(), m_pages.end(),
                       [](const Entry &entry) { return entry.behind; });
}

std::vector<SnapshotFanout::Page> SnapshotFanout::due(const std::function<qint64(Page)> &unsent)
{
    std::vector<Page> pages;
    for (Entry &entry : m_pages) {
        if (entry.behind && unsent(entry.page) <= MostUnsent) {
            entry.behind = false;
            pages.push_back(entry.page);
        }
    }
    return pages;
}
