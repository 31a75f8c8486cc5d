#pragma once

#include "protocol/boarddecoder.h"
#include "protocol/boardnumbers.h"

#include <QWidget>

#include <array>

class EventLog;
class LampWidget;
class LinePlug;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QTableWidget;
class VirtualBoard;

// The virtual board as a person reads it: the eight lamps and the master in a row, the
// selected mode, the twelve stored scenes and the record of what arrived, all following
// the board as each event is applied. Its parts are named "device", "lamp_0".."lamp_7",
// "masterLamp", "mode", "counters", "scenes" and "log"; on the board's own line, "unplug"
// is the button (and U the key) that pulls the line out and plugs it in again.
class BoardWindow : public QWidget
{
    Q_OBJECT

public:
    // A line the board only listens to.
    BoardWindow(const VirtualBoard &board, const QString &devicePath, QWidget *parent = nullptr);
    // The board's own line, which the window can pull out.
    BoardWindow(const VirtualBoard &board, LinePlug &plug, QWidget *parent = nullptr);

private:
    void addUnplugButton(LinePlug &plug);
    void showDevice(const QString &devicePath);
    QWidget *createLampRow();
    QWidget *createScenesTable();
    void onEvent(const BoardDecoder::Event &event);
    void showLevels();
    void showScenes();
    void showCounters();

    const VirtualBoard &m_board;
    QHBoxLayout *m_header = nullptr;
    QLabel *m_device = nullptr;
    QPushButton *m_unplug = nullptr;
    std::array<LampWidget *, Board::ChannelCount> m_lamps{};
    LampWidget *m_master = nullptr;
    QLabel *m_mode = nullptr;
    QLabel *m_counters = nullptr;
    QTableWidget *m_scenes = nullptr;
    EventLog *m_log = nullptr;
};
