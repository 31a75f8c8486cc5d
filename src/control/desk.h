#pragma once

#include "control/cueplayback.h"
#include "control/deskclock.h"
#include "control/deskstate.h"
#include "control/fade.h"
#include "control/intent.h"
#include "control/module1.h"
#include "control/undohistory.h"

#include <QObject>
#include <QString>
#include <QTimer>

class CueList;
class LineSink;
class SceneStore;

// The lighting desk: the eight channel levels, the master and the selected mode as the
// panel has set them on the board, and the one place where a change becomes packets.
// Windows, keys and remote control turn what the operator wants into intents, which the
// desk applies in one place (apply()), and show what it reports with the source of each
// change; none of them keeps a level of its own.
//
// The board's byte rules hold here: a channel sends when its level changes; the master
// sets the eight channels silently and then sends its one packet; all-off turns off the
// channels that are on, in ascending order, then the master; a recall sends the channels
// that change, in ascending order. A channel or a level out of range is ignored. Each
// intent is one action on the line, whose packets go out whole and in their order.
//
// Beyond the board's own panel: a recall may fade over a time; the changes of levels can
// be taken back and brought back again; the scene last recalled or stored is live, and
// the desk tells whether the levels are still that scene.
class Desk : public QObject
{
    Q_OBJECT

public:
    static constexpr int NoMode = DeskState::NoMode;
    static constexpr int LongestFade = Intent::LongestFade;

    Desk(LineSink &line, SceneStore &scenes, const DeskClock &clock = DeskClock::steady(),
         QObject *parent = nullptr);

    int channel(int index) const { return m_registers.LevelBuf[std::size_t(index)]; }
    int master() const { return m_master; }
    // The selected mode, 0..11, or NoMode before one was chosen.
    int mode() const { return m_mode; }
    const Module1 &registers() const { return m_registers; }
    const SceneStore &scenes() const { return m_scenes; }
    bool isBlackout() const { return m_beforeBlackout.has_value(); }
    DeskState state() const;

    // What the board was last sent, from an earlier run: shown, and nothing sent, since
    // the lamps kept it while the panel was closed. A state out of range is ignored.
    void restore(const DeskState &state);

    using Outcome = Intent::Outcome;
    // What any input wants, applied as one action on the line:
    //
    // - Channel, Master: the window's own sliders report every position, and the end of a
    //   drag repeats the last, so from the window a level is taken and sent even when the
    //   channel holds it already, as the board's panel always did; from anywhere else a
    //   level held already changes nothing and sends nothing.
    // - Recall: scene n onto the channels, at once or over a fade time, the intent's own or
    //   else the desk's. A scene holding a level that no channel takes moves nothing, sends
    //   nothing and is refused.
    // - SendAll: the whole state again, for a board that lost it (a line that came back, a
    //   board switched off and on): the selected mode if one was chosen, then the eight
    //   channel levels. A lost line is tried first: it may be back by the operator's word.
    // - Blackout: every channel to 0, each sending its 0 whatever the desk believed the
    //   board held; again, the levels from before come back, each sent. Any other change of
    //   a level ends the blackout where it stands.
    // - Download: all twelve stored scenes to the board in one frame; no level changes.
    // - A change from the network (a console's DMX) is no step of undo: the console
    //   refreshes its levels many times a second, and they are not the operator's.
    Outcome apply(const Intent &intent);

    // The time a recall takes, in tenths of a second, 0..LongestFade; 0 cuts at once.
    int fadeTime() const { return m_fadeTenths; }

    // The show's cue list, which Go, Back, GotoCue and RecordCue work on; none: they do
    // nothing. Cues run on the fade engine, a rising channel over the cue's up time and a
    // falling one over its down time; the hand wins over a running cue per channel, as over
    // a fade; a recall, the master, all-off, blackout and undo stop it. A GO is one step of
    // undo.
    void setCueList(CueList *cues);
    CueList *cueList() const { return m_cues; }
    const CuePlayback &cues() const { return m_playback; }
    bool isFading() const { return m_fade.isRunning(); }
    // The scene a recall is fading to, 1..12, or 0 when none is under way; and how far its
    // time has come, 0..100. The scene is live only once it has landed.
    int fadeScene() const { return m_fadeScene; }
    int fadePercent() const { return m_fadePercent; }
    // Moves every fading channel to where it should stand now. Its timer calls it about
    // fifty times a second; a test calls it after moving its clock.
    void stepFades();

    // Undo takes back the last change of levels, sending the channels that change in
    // ascending order, as a recall does; redo brings it back again. Neither stores or
    // selects anything.
    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    // A fader held down: its moves until it is let go are one step of undo.
    void holdFader(bool held);

    // The scene last recalled or stored, 1..12, or 0 for none; and whether a level has
    // changed since (a channel still fading towards it has not).
    int liveScene() const { return m_liveScene; }
    bool isLiveChanged() const { return m_liveChanged; }

    // Frames PktAddress, PktCommand and PktValue into one command packet and sends it.
    void SendCommand();

    // While a window that takes all input is up (the scene key window, the question before
    // a store), no intent but the store itself is applied, whatever its source, so that no
    // hand or remote changes what the operator is storing; the line's own resend still
    // goes, and a fade or a cue under way runs on (the show goes on). Holds nest: each hold
    // is let go once.
    void holdInput(bool held) { m_inputHolds += held ? 1 : -1; }
    bool isInputHeld() const { return m_inputHolds > 0; }

Q_SIGNALS:
    // Each change with the source of the intent that made it.
    void channelChanged(int channel, int level, Source source);
    void masterChanged(int level, Source source);
    void modeChanged(int mode, Source source);
    void sceneRecalled(int sceneNumber, Source source);
    void blackoutChanged(bool on);
    void fadeTimeChanged(int tenths);
    void undoChanged(bool canUndo, bool canRedo);
    // scene 0: none is live.
    void liveSceneChanged(int sceneNumber, bool changed);
    // A fade to scene n has come percent of its time; scene 0: no fade is under way.
    void fadeProgressed(int sceneNumber, int percent);
    // The current or the standby cue changed, or a cue started, stopped or paused.
    void cueChanged();
    // Scene n holds level for channel, which no channel takes: nothing was recalled.
    void recallRefused(int sceneNumber, int channel, int level);
    // The scene store could not be read or written.
    void failed(const QString &message);

private:
    using Gesture = UndoHistory::Gesture;

    // The intents, each applied alone.
    void moveChannel(int channel, int level);
    void moveMaster(int level);
    void setChannel(int channel, int level);
    void setMaster(int level);
    void channelFullOn(int channel);
    void channelOff(int channel);
    void masterFullOn();
    void allOff();
    void selectMode(int mode);
    void recall(int sceneNumber, std::optional<int> fadeTenths);
    void store(int sceneNumber);
    void download();
    void sendAll();
    void toggleBlackout();
    void setFadeTime(int tenths);
    void undo();
    void redo();

    // One change of levels, kept for undo when it changed anything.
    template<typename Change> void change(Gesture gesture, Change &&apply);
    UndoHistory::Step undoStep() const;
    void goBackTo(const UndoHistory::Step &step);

    void channelHandler(int channel, int level);
    void masterHandler(int level);
    void applyChannel(int channel, int level);
    void applyAllOff();
    void sendLevel(int address, int level);
    void endBlackout();
    void stopFades();
    void endFade();
    void goCue();
    void backCue();
    void pauseCue();
    // followed: started by the follow of the cue before, as part of that GO.
    void startCue(int number, bool followed = false);
    void recordCue(int number, int up, std::optional<int> down);
    void stepCue(DeskClock::Time now);
    void setLive(int sceneNumber, const DeskState::Levels &levels);
    void updateLive();
    bool liveDiffers() const;

    LineSink &m_line;
    // Whose intent is being applied: every change it makes is told with it.
    Source m_source;
    SceneStore &m_scenes;
    const DeskClock &m_clock;
    Module1 m_registers;
    int m_master = 0;
    int m_mode = NoMode;
    int m_inputHolds = 0;
    std::optional<DeskState::Levels> m_beforeBlackout;
    bool m_switchingBlackout = false;

    int m_fadeTenths = 0;
    Fade m_fade;
    QTimer m_fadeTimer;
    int m_fadeScene = 0;
    int m_fadePercent = 0;

    CueList *m_cues = nullptr;
    CuePlayback m_playback;

    UndoHistory m_history;
    int m_hold = 0; // the number of the fader hold under way, 0 when none
    int m_holds = 0;
    bool m_changing = false;

    int m_liveScene = 0;
    DeskState::Levels m_liveLevels{};
    bool m_liveChanged = false;
};
