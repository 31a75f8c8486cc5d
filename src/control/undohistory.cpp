#include "undohistory.h"

void UndoHistory::record(const Step &before, Gesture gesture, DeskClock::Time now)
{
    const bool continues = m_last == gesture && gesture.kind != Gesture::Kind::Press &&
                           (gesture.hold != 0 || now - m_lastAt < GestureGap);
    m_last = gesture;
    m_lastAt = now;
    if (continues)
        return;
    m_undo.push_back(before);
    if (m_undo.size() > std::size_t(Depth))
        m_undo.pop_front();
    m_redo.clear();
}

std::optional<UndoHistory::Step> UndoHistory::undo(const Step &current)
{
    if (m_undo.empty())
        return std::nullopt;
    const Step step = m_undo.back();
    m_undo.pop_back();
    m_redo.push_back(current);
    cut();
    return step;
}

std::optional<UndoHistory::Step> UndoHistory::redo(const Step &current)
{
    if (m_redo.empty())
        return std::nullopt;
    const Step step = m_redo.back();
    m_redo.pop_back();
    m_undo.push_back(current);
    cut();
    return step;
}
