#include "midiaccess.h"

#include "app/errorreport.h"
#include "control/desk.h"
#include "ui/midimarks.h"

namespace {

// The panel's own hand on a control, which learn pairs with a surface's.
bool byHand(const Source &source)
{
    return source.kind == Source::Kind::Window || source.kind == Source::Kind::Key;
}

Intent touch(Intent::Kind kind, int index, int value, const Source &source)
{
    return Intent{kind, index, value, std::nullopt, source};
}

} // namespace

MidiAccess::MidiAccess(Desk &desk, QObject *parent) : QObject(parent), m_desk(desk) {}

void MidiAccess::follow(MidiRemote &remote)
{
    m_remote = &remote;
    connect(&m_desk, &Desk::channelChanged, this, [this](int channel, int level, Source source) {
        m_remote->levelChanged(channel, level, source);
        if (byHand(source))
            m_remote->touched(touch(Intent::Kind::Channel, channel, level, source));
    });
    connect(&m_desk, &Desk::masterChanged, this, [this](int level, Source source) {
        m_remote->levelChanged(Board::ChannelCount, level, source);
        if (byHand(source))
            m_remote->touched(touch(Intent::Kind::Master, 0, level, source));
    });
    connect(&m_desk, &Desk::modeChanged, this, [this](int mode, Source source) {
        m_remote->panelChanged();
        if (byHand(source))
            m_remote->touched(touch(Intent::Kind::Mode, mode, 0, source));
    });
    connect(&m_desk, &Desk::sceneRecalled, this, [this](int sceneNumber, Source source) {
        if (byHand(source))
            m_remote->touched(touch(Intent::Kind::Recall, sceneNumber, 0, source));
    });
    // Blackout is told without its source: whichever input pressed it, no surface did, since
    // their messages go to learn while it learns.
    connect(&m_desk, &Desk::blackoutChanged, this, [this] {
        m_remote->panelChanged();
        m_remote->touched(touch(Intent::Kind::Blackout, 0, 0, {}));
    });
    connect(&m_desk, &Desk::liveSceneChanged, this, [this] { m_remote->panelChanged(); });
}

void MidiAccess::showOn(MidiMarks *marks)
{
    m_marks = marks;
    connect(marks, &MidiMarks::learningToggled, this,
            [this](bool on) { m_remote->setLearning(on); });
}

MidiPanelView MidiAccess::view() const
{
    MidiPanelView view;
    for (int channel = 0; channel < Board::ChannelCount; ++channel)
        view.levels[std::size_t(channel)] = m_desk.channel(channel);
    view.levels.back() = m_desk.master();
    view.mode = m_desk.mode() == Desk::NoMode ? -1 : m_desk.mode();
    view.liveScene = m_desk.liveScene();
    view.liveChanged = m_desk.isLiveChanged();
    view.blackout = m_desk.isBlackout();
    return view;
}

Intent::Outcome MidiAccess::act(const Intent &intent) { return m_desk.apply(intent); }

void MidiAccess::showPickup(int target, Pickup pickup)
{
    if (m_marks)
        m_marks->showPickup(target, pickup == Pickup::Below   ? MidiMarks::Pickup::Below
                                    : pickup == Pickup::Above ? MidiMarks::Pickup::Above
                                                              : MidiMarks::Pickup::None);
}

void MidiAccess::showLearned(const QString &pair)
{
    if (m_marks)
        m_marks->showLearned(pair);
    ErrorReport::print(pair);
}

void MidiAccess::tell(const QString &message) { ErrorReport::print(message); }
