#pragma once

#include <QDialog>

class CueList;
class Desk;
class QLabel;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

// The cue list, for a show that runs in order: each cue's number, label and times, the
// current cue and the standby cue (the one GO starts) marked; GO, BACK and PAUSE; the current
// levels recorded as a new cue or over the selected one; a cue's label, times and number
// edited in place; a cue deleted after a question. Not modal: the panel, its keys and every
// remote go on working beside it.
class CueWindow : public QDialog
{
    Q_OBJECT

public:
    CueWindow(Desk &desk, CueList &cues, QWidget *panel);

    // The table's columns.
    enum Column { State, Number, Label, Up, Down, Wait, Follow, ColumnCount };

private:
    void fill();
    void showPlayback();
    void edited(QTableWidgetItem *item);
    void recordNew();
    void recordOver();
    void removeSelected();
    int selectedNumber() const;
    void act(int kind, int index = 0);

    Desk &m_desk;
    CueList &m_cues;
    QTableWidget *m_table = nullptr;
    QLabel *m_state = nullptr;
    QLabel *m_problem = nullptr;
    QPushButton *m_pause = nullptr;
    bool m_filling = false;
};
