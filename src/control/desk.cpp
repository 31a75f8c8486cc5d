#include "desk.h"

#include "control/cuelist.h"
#include "control/scenestore.h"
#include "link/linesink.h"
#include "protocol/boardnumbers.h"
#include "protocol/commandpacket.h"

#include <QScopedValueRollback>

#include <algorithm>
#include <utility>

namespace {

bool isLevel(int level) { return Intent::values(Intent::Kind::Channel).contains(level); }

// A fade moves its channels about fifty times a second: finer than the line carries when
// all eight move, and a waiting level gives way to a newer one of the same channel.
constexpr DeskClock::Time FadeStep{20};

} // namespace

Desk::Desk(LineSink &line, SceneStore &scenes, const DeskClock &clock, QObject *parent)
    : QObject(parent), m_line(line), m_scenes(scenes), m_clock(clock)
{
    m_fadeTimer.setInterval(FadeStep);
    m_fadeTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_fadeTimer, &QTimer::timeout, this, &Desk::stepFades);
}

Desk::Outcome Desk::apply(const Intent &intent)
{
    using Kind = Intent::Kind;
    // The one rule for a held panel: a window that takes all input is up, and only the store
    // it asks about goes, and the line's own resend, which changes no level.
    if (isInputHeld() && intent.kind != Kind::Store && intent.source.kind != Source::Kind::Line)
        return Outcome::Held;
    if (!intent.fits())
        return Outcome::Ignored;
    const QScopedValueRollback source(m_source, intent.source);
    // Whatever one intent sends is one action on the line: its packets go out whole.
    m_line.beginAction();
    const bool fromWindow = intent.source.kind == Source::Kind::Window;
    const int index = intent.index;
    switch (intent.kind) {
    case Kind::Channel:
        fromWindow ? moveChannel(index, intent.value) : setChannel(index, intent.value);
        break;
    case Kind::Master:
        fromWindow ? moveMaster(intent.value) : setMaster(intent.value);
        break;
    case Kind::FullOn:
        channelFullOn(index);
        break;
    case Kind::Off:
        channelOff(index);
        break;
    case Kind::MasterFullOn:
        masterFullOn();
        break;
    case Kind::AllOff:
        allOff();
        break;
    case Kind::Recall:
        recall(index, intent.fade);
        break;
    case Kind::Store:
        store(index);
        break;
    case Kind::Mode:
        selectMode(index);
        break;
    case Kind::Download:
        download();
        break;
    case Kind::SendAll:
        sendAll();
        break;
    case Kind::Blackout:
        toggleBlackout();
        break;
    case Kind::FadeTime:
        setFadeTime(intent.value);
        break;
    case Kind::Undo:
        undo();
        break;
    case Kind::Redo:
        redo();
        break;
    case Kind::Go:
        goCue();
        break;
    case Kind::Back:
        backCue();
        break;
    case Kind::Pause:
        pauseCue();
        break;
    case Kind::GotoCue:
        if (!m_cues || !m_cues->find(index))
            return Outcome::Ignored;
        startCue(index);
        break;
    case Kind::RecordCue:
        if (!m_cues)
            return Outcome::Ignored;
        recordCue(index, intent.value, intent.fade);
        break;
    }
    return Outcome::Taken;
}

void Desk::SendCommand()
{
    m_line.send(CommandPacket::Fields{m_registers.PktAddress, m_registers.PktCommand,
                                      m_registers.PktValue});
}

template<typename Change> void Desk::change(Gesture gesture, Change &&apply)
{
    // What a change does to other levels (a master copied into the channels) is part of it.
    if (m_changing) {
        apply();
        return;
    }
    const QScopedValueRollback changing(m_changing, true);
    const UndoHistory::Step before = undoStep();
    apply();
    updateLive();
    if (undoStep() == before)
        return;
    // A console on the network refreshes its levels many times a second: its changes are
    // its own, not the operator's to take back.
    if (m_source.kind == Source::Kind::Network)
        return;
    if (gesture.kind != Gesture::Kind::Press)
        gesture.hold = m_hold;
    m_history.record(before, gesture, m_clock.now());
    Q_EMIT undoChanged(canUndo(), canRedo());
}

void Desk::moveChannel(int channel, int level)
{
    m_fade.stop(channel);
    change({Gesture::Kind::Channel, channel}, [&] { channelHandler(channel, level); });
}

void Desk::moveMaster(int level)
{
    stopFades();
    change({Gesture::Kind::Master}, [&] { masterHandler(level); });
}

void Desk::setChannel(int channel, int level)
{
    if (this->channel(channel) == level)
        return;
    m_fade.stop(channel);
    change({Gesture::Kind::Channel, channel}, [&] { channelHandler(channel, level); });
}

void Desk::setMaster(int level)
{
    if (m_master == level)
        return;
    stopFades();
    change({Gesture::Kind::Master}, [&] { masterHandler(level); });
}

void Desk::applyChannel(int channel, int level)
{
    if (this->channel(channel) != level)
        channelHandler(channel, level);
}

void Desk::channelHandler(int channel, int level)
{
    endBlackout();
    m_registers.LevelBuf[std::size_t(channel)] = std::uint8_t(level);
    Q_EMIT channelChanged(channel, level, m_source);
    // The registers are filled even when the master holds the send back.
    m_registers.PktAddress = std::uint8_t(channel);
    m_registers.PktValue = std::uint8_t(level);
    m_registers.PktCommand = CommandPacket::SetLevel;
    if (m_registers.MasterSync == 0)
        SendCommand();
}

void Desk::masterHandler(int level)
{
    endBlackout();
    m_registers.MasterSync = 1;
    m_master = level;
    Q_EMIT masterChanged(level, m_source);
    // Each channel that changes stays silent: the board sets all eight itself from the
    // one master packet below.
    for (int channel = 0; channel < Board::ChannelCount; ++channel)
        applyChannel(channel, level);
    m_registers.MasterSync = 0;
    sendLevel(CommandPacket::MasterAddress, level);
}

void Desk::channelFullOn(int channel)
{
    m_fade.stop(channel);
    change({}, [&] { applyChannel(channel, Board::FullOn); });
}

void Desk::channelOff(int channel)
{
    m_fade.stop(channel);
    change({}, [&] { applyChannel(channel, Board::Off); });
}

void Desk::masterFullOn()
{
    if (m_master == Board::FullOn)
        return;
    stopFades();
    change({}, [&] { masterHandler(Board::FullOn); });
}

void Desk::allOff()
{
    stopFades();
    change({}, [&] { applyAllOff(); });
}

void Desk::applyAllOff()
{
    // Channels first, in ascending order, each with its own packet; the master last,
    // whose copy then finds every channel off already.
    for (int channel = 0; channel < Board::ChannelCount; ++channel)
        applyChannel(channel, Board::Off);
    if (m_master != Board::Off)
        masterHandler(Board::Off);
}

void Desk::selectMode(int mode)
{
    m_mode = mode;
    m_registers.PktAddress = std::uint8_t(mode);
    m_registers.PktValue = 0;
    m_registers.PktCommand = CommandPacket::SelectMode;
    SendCommand();
    Q_EMIT modeChanged(mode, m_source);
}

void Desk::recall(int sceneNumber, std::optional<int> fadeTenths)
{
    SceneStore::Record record;
    QString error;
    if (!m_scenes.read(sceneNumber, record, &error)) {
        Q_EMIT failed(error);
        return;
    }
    // A file that this program did not write may hold a level that no channel takes.
    // The whole scene is checked before anything moves, so that the board never gets half
    // of it.
    for (int channel = 0; channel < Board::ChannelCount; ++channel) {
        if (!isLevel(record[std::size_t(channel)])) {
            Q_EMIT recallRefused(sceneNumber, channel, record[std::size_t(channel)]);
            return;
        }
    }
    // A recall during a fade starts from where the levels stand.
    stopFades();
    change({}, [&] {
        setLive(sceneNumber, record);
        const int tenths = fadeTenths.value_or(m_fadeTenths);
        if (tenths > 0) {
            m_fade =
                Fade(m_registers.LevelBuf, record, m_clock.now(), DeskClock::Time(tenths * 100));
            if (m_fade.isRunning()) {
                m_fadeTimer.start();
                m_fadeScene = sceneNumber;
                m_fadePercent = 0;
                Q_EMIT fadeProgressed(m_fadeScene, m_fadePercent);
            }
            return;
        }
        // In channel order; each channel that changes sends its own level.
        for (int channel = 0; channel < Board::ChannelCount; ++channel)
            applyChannel(channel, record[std::size_t(channel)]);
    });
    Q_EMIT sceneRecalled(sceneNumber, m_source);
}

void Desk::store(int sceneNumber)
{
    QString error;
    if (!m_scenes.write(sceneNumber, m_registers.LevelBuf, &error)) {
        Q_EMIT failed(error);
        return;
    }
    setLive(sceneNumber, m_registers.LevelBuf);
}

void Desk::setFadeTime(int tenths)
{
    if (tenths == m_fadeTenths)
        return;
    m_fadeTenths = tenths;
    Q_EMIT fadeTimeChanged(tenths);
}

void Desk::stepFades()
{
    const QScopedValueRollback source(m_source, Source{Source::Kind::Fade, 0});
    m_line.beginAction();
    const DeskClock::Time now = m_clock.now();
    for (int channel = 0; channel < Board::ChannelCount; ++channel) {
        if (m_fade.isFading(channel))
            applyChannel(channel, m_fade.levelAt(channel, now));
    }
    if (m_fade.isOver(now) && !m_playback.isRunning()) {
        endFade();
    } else if (const int percent = m_fade.percentAt(now);
               m_fadeScene != 0 && percent != m_fadePercent) {
        m_fadePercent = percent;
        Q_EMIT fadeProgressed(m_fadeScene, m_fadePercent);
    }
    stepCue(now);
    updateLive();
}

void Desk::stepCue(DeskClock::Time now)
{
    if (m_playback.isRunning() && m_fade.isOver(now)) {
        const Cue *cue = m_cues ? m_cues->find(m_playback.current()) : nullptr;
        endFade();
        m_playback.completed(
            cue && cue->follow ? std::optional(DeskClock::Time(*cue->follow * 100)) : std::nullopt,
            now);
        Q_EMIT cueChanged();
    }
    if (m_cues && m_playback.followDue(now)) {
        if (const int next = m_playback.standby(*m_cues))
            startCue(next, true);
        else
            Q_EMIT cueChanged();
    }
    // The clock keeps going while a cue waits to start or to be followed.
    if (m_playback.isRunning() || m_playback.isFollowing())
        m_fadeTimer.start();
}

void Desk::stopFades()
{
    endFade();
    if (m_playback.isRunning() || m_playback.isFollowing()) {
        m_playback.stopped();
        Q_EMIT cueChanged();
    }
}

void Desk::endFade()
{
    m_fade.stopAll();
    m_fadeTimer.stop();
    if (m_fadeScene != 0) {
        m_fadeScene = 0;
        m_fadePercent = 0;
        Q_EMIT fadeProgressed(0, 0);
    }
}

void Desk::setCueList(CueList *cues)
{
    m_cues = cues;
    // The current cue keeps its place when it is given another number.
    if (m_cues) {
        connect(m_cues, &CueList::renumbered, this, [this](int from, int to) {
            if (m_playback.current() == from) {
                m_playback.renumber(to);
                Q_EMIT cueChanged();
            }
        });
    }
}

void Desk::goCue()
{
    if (!m_cues)
        return;
    const CuePlayback::Decision decision = m_playback.go(*m_cues, m_clock.now());
    if (decision.step == CuePlayback::Step::Resume) {
        m_fade.resume(m_clock.now());
        m_playback.resume(m_clock.now());
        m_fadeTimer.start();
        Q_EMIT cueChanged();
    } else if (decision.step == CuePlayback::Step::Start) {
        startCue(decision.number);
    }
}

void Desk::backCue()
{
    if (!m_cues)
        return;
    if (const CuePlayback::Decision decision = m_playback.back(*m_cues);
        decision.step == CuePlayback::Step::Start)
        startCue(decision.number);
}

void Desk::pauseCue()
{
    if (m_playback.isPaused() || !(m_playback.isRunning() || m_playback.isFollowing()))
        return;
    m_fade.pause(m_clock.now());
    m_playback.pause(m_clock.now());
    Q_EMIT cueChanged();
}

void Desk::startCue(int number, bool followed)
{
    const Cue *found = m_cues->find(number);
    if (!found)
        return;
    const Cue cue = *found;
    // From where the levels stand, whatever ran before.
    stopFades();
    const DeskClock::Time now = m_clock.now();
    const auto start = [&] {
        m_fade = Fade(m_registers.LevelBuf, cue.levels, now + DeskClock::Time(cue.wait * 100),
                      DeskClock::Time(cue.up * 100), DeskClock::Time(cue.down * 100));
        m_playback.started(number);
    };
    // A GO is one step of undo, with every cue that follows it by itself.
    if (followed)
        start();
    else
        change({}, start);
    Q_EMIT cueChanged();
    // Whatever is due at once (no wait, no time) lands now, in this action, as a recall
    // without a fade does; the rest, and the cue's end, on the fade engine's steps.
    for (int channel = 0; channel < Board::ChannelCount; ++channel) {
        if (m_fade.isFading(channel))
            applyChannel(channel, m_fade.levelAt(channel, now));
    }
    // A cue of no time has landed with that; its follow, if any, comes on the steps.
    if (m_fade.isOver(now)) {
        endFade();
        m_playback.completed(
            cue.follow ? std::optional(DeskClock::Time(*cue.follow * 100)) : std::nullopt, now);
        Q_EMIT cueChanged();
    }
    m_fadeTimer.start();
}

void Desk::recordCue(int number, int up, std::optional<int> down)
{
    Cue cue;
    if (const Cue *over = m_cues->find(number))
        cue = *over;
    cue.number = number;
    cue.levels = m_registers.LevelBuf;
    cue.up = up;
    cue.down = down.value_or(up);
    m_cues->record(cue);
    Q_EMIT cueChanged();
}

void Desk::setLive(int sceneNumber, const DeskState::Levels &levels)
{
    m_liveScene = sceneNumber;
    m_liveLevels = levels;
    m_liveChanged = liveDiffers();
    Q_EMIT liveSceneChanged(m_liveScene, m_liveChanged);
}

bool Desk::liveDiffers() const
{
    if (m_liveScene == 0)
        return false;
    for (int channel = 0; channel < Board::ChannelCount; ++channel) {
        if (!m_fade.isFading(channel) &&
            this->channel(channel) != m_liveLevels[std::size_t(channel)])
            return true;
    }
    return false;
}

void Desk::updateLive()
{
    if (liveDiffers() == m_liveChanged)
        return;
    m_liveChanged = !m_liveChanged;
    Q_EMIT liveSceneChanged(m_liveScene, m_liveChanged);
}

void Desk::holdFader(bool held) { m_hold = held ? ++m_holds : 0; }

UndoHistory::Step Desk::undoStep() const
{
    return {state(), m_liveScene, m_liveLevels, m_playback.current()};
}

void Desk::undo()
{
    stopFades();
    if (const auto step = m_history.undo(undoStep()))
        goBackTo(*step);
}

void Desk::redo()
{
    stopFades();
    if (const auto step = m_history.redo(undoStep()))
        goBackTo(*step);
}

void Desk::goBackTo(const UndoHistory::Step &step)
{
    {
        // The blackout's memory comes back with the levels, not ended by them.
        const QScopedValueRollback switching(m_switchingBlackout, true);
        for (int channel = 0; channel < Board::ChannelCount; ++channel)
            applyChannel(channel, step.state.channels[std::size_t(channel)]);
    }
    // The board keeps no master of its own: the slider comes back, nothing is sent.
    if (std::exchange(m_master, step.state.master) != step.state.master)
        Q_EMIT masterChanged(m_master, m_source);
    if (std::exchange(m_beforeBlackout, step.state.beforeBlackout) != step.state.beforeBlackout)
        Q_EMIT blackoutChanged(isBlackout());
    // A GO taken back: the cue it started is the standby again.
    if (step.cue != m_playback.current()) {
        m_playback.setCurrent(step.cue);
        Q_EMIT cueChanged();
    }
    if (step.liveScene != m_liveScene || step.liveLevels != m_liveLevels)
        setLive(step.liveScene, step.liveLevels);
    else
        updateLive();
    Q_EMIT undoChanged(canUndo(), canRedo());
}

void Desk::sendAll()
{
    // A line that comes back sends everything itself.
    if (m_line.retry())
        return;
    if (m_mode != NoMode) {
        m_registers.PktAddress = std::uint8_t(m_mode);
        m_registers.PktValue = 0;
        m_registers.PktCommand = CommandPacket::SelectMode;
        SendCommand();
    }
    for (int channel = 0; channel < Board::ChannelCount; ++channel)
        sendLevel(channel, m_registers.LevelBuf[std::size_t(channel)]);
}

void Desk::sendLevel(int address, int level)
{
    m_registers.PktAddress = std::uint8_t(address);
    m_registers.PktValue = std::uint8_t(level);
    m_registers.PktCommand = CommandPacket::SetLevel;
    SendCommand();
}

void Desk::toggleBlackout()
{
    stopFades();
    change({}, [this] {
        const QScopedValueRollback switching(m_switchingBlackout, true);
        const bool on = !m_beforeBlackout;
        const DeskState::Levels levels =
            on ? DeskState::Levels{} : *std::exchange(m_beforeBlackout, std::nullopt);
        if (on)
            m_beforeBlackout = m_registers.LevelBuf;
        // Every channel is sent, changed or not: the board may hold what the desk does not
        // know (switched off and on, or set by another panel).
        for (int channel = 0; channel < Board::ChannelCount; ++channel) {
            m_registers.LevelBuf[std::size_t(channel)] = levels[std::size_t(channel)];
            Q_EMIT channelChanged(channel, levels[std::size_t(channel)], m_source);
            sendLevel(channel, levels[std::size_t(channel)]);
        }
        Q_EMIT blackoutChanged(on);
    });
}

void Desk::endBlackout()
{
    if (m_switchingBlackout || !m_beforeBlackout)
        return;
    m_beforeBlackout.reset();
    Q_EMIT blackoutChanged(false);
}

DeskState Desk::state() const
{
    return DeskState{m_registers.LevelBuf, m_master, m_mode, m_beforeBlackout};
}

void Desk::restore(const DeskState &state)
{
    const auto levelsFit = [](const DeskState::Levels &levels) {
        return std::all_of(levels.begin(), levels.end(), [](int level) { return isLevel(level); });
    };
    if (!levelsFit(state.channels) || !isLevel(state.master) || state.mode < NoMode ||
        state.mode >= Board::ModeCount ||
        (state.beforeBlackout && !levelsFit(*state.beforeBlackout)))
        return;
    const QScopedValueRollback source(m_source, Source{Source::Kind::Line, 0});
    m_registers.LevelBuf = state.channels;
    m_master = state.master;
    m_mode = state.mode;
    m_beforeBlackout = state.beforeBlackout;
    for (int channel = 0; channel < Board::ChannelCount; ++channel)
        Q_EMIT channelChanged(channel, m_registers.LevelBuf[std::size_t(channel)], m_source);
    Q_EMIT masterChanged(m_master, m_source);
    if (m_mode != NoMode)
        Q_EMIT modeChanged(m_mode, m_source);
    Q_EMIT blackoutChanged(isBlackout());
}

void Desk::download()
{
    SceneStore::Records records{};
    QString error;
    if (!m_scenes.readAll(records, &error)) {
        Q_EMIT failed(error);
        return;
    }
    m_line.send(records);
}
