#pragma once

#include "link/boarddecoder.h"
#include "link/boardnumbers.h"

#include <QWidget>

#include <array>

class EventLog;
class LampWidget;
class QLabel;
class QTableWidget;
class VirtualBoard;

// The virtual board as a person reads it: the eight lamps and the master in a row, the
// selected mode, the twelve stored scenes and the record of what arrived, all following
// the board as each event is applied. Its parts are named "lamp_0".."lamp_7",
// "masterLamp", "mode", "counters", "scenes" and "log".
class BoardWindow : public QWidget
{
    Q_OBJECT

public:
    BoardWindow(const VirtualBoard &board, const QString &devicePath, QWidget *parent = nullptr);

private:
    QWidget *createLampRow();
    QWidget *createScenesTable();
    void onEvent(const BoardDecoder::Event &event);
    void showLevels();
    void showScenes();
    void showCounters();

    const VirtualBoard &m_board;
    std::array<LampWidget *, Board::ChannelCount> m_lamps{};
    LampWidget *m_master = nullptr;
    QLabel *m_mode = nullptr;
    QLabel *m_counters = nullptr;
    QTableWidget *m_scenes = nullptr;
    EventLog *m_log = nullptr;
};
