#pragma once

#include "midi/midicounts.h"
#include "midi/midiinbox.h"
#include "midi/midilearn.h"
#include "midi/midiplugin.h"
#include "midi/midiport.h"
#include "midi/midiprofile.h"
#include "midi/surfacestate.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <array>
#include <memory>
#include <optional>
#include <vector>

// The panel's MIDI surfaces: the one whose name the operator gave, and the panel's own
// virtual port. Each surface's messages become the intents its profile maps them to, its
// faders wait for pickup where they have no motor, its motor faders and lights are told what
// changed; a surface that goes away is waited for and taken back, as the board's line is.
// While learning, the surfaces' messages pair with the panel's controls instead.
class MidiInput : public QObject, public MidiRemote
{
    Q_OBJECT

public:
    explicit MidiInput(MidiPanel &panel, QObject *parent = nullptr);
    ~MidiInput() override;

    bool start(const MidiSettings &settings, QString *errorMessage) override;
    void levelChanged(int target, int level, const Source &source) override;
    void panelChanged() override;
    void touched(const Intent &change) override;
    void setLearning(bool on) override;
    QString countsSummary() const override;

    const MidiProfile &profile() const { return m_profile; }
    MidiCounts counts() const;

    // How often the panel looks for a surface that went away or has not come yet.
    static constexpr std::chrono::milliseconds WatchInterval{500};
    // The longest a change waits before the motors and lights hear of it: a frame.
    static constexpr std::chrono::milliseconds FeedbackDelay{16};
    // The virtual port's name.
    static constexpr const char *VirtualName = "dimmer-panel";

    // The system settings ask for: the default is ALSA's sequencer where the machine has one.
    static MidiPort::System systemOf(MidiSettings::System asked);
    // The profile that settings name, or none with why.
    static std::optional<MidiProfile> profileOf(const MidiSettings &settings, QString *problem);

private:
    // A surface: where its bytes wait, its port, and where its faders and lights stand.
    struct Surface
    {
        explicit Surface(MidiInput &input, std::uint32_t client);

        MidiInbox inbox; // before the port, whose thread writes to it
        std::unique_ptr<MidiPort> port;
        std::unique_ptr<SurfaceState> state;
        Source source;
    };

    SurfaceState::Time now() const;
    void read(Surface &surface);
    void take(Surface &surface, const MidiMessage &message);
    void moveFader(Surface &surface, std::size_t mapping, int value);
    void press(Surface &surface, const MidiMapping &mapping);
    void watch();
    void opened(Surface &surface);
    void sendFeedback();
    void showPickups();
    void learnTouches();
    void learn(const MidiMapping &mapping);
    void restate();

    MidiPanel &m_panel;
    MidiProfile m_profile;
    QString m_operatorProfile;
    QString m_pattern;
    std::vector<std::unique_ptr<Surface>> m_surfaces; // the named one, then the virtual port
    // The fader move being applied, whose changes are its own and no one's to be told.
    struct Applying
    {
        const Surface *surface;
        std::size_t mapping;
    };
    std::optional<Applying> m_applying;
    std::array<MidiPanel::Pickup, SurfaceState::TargetCount> m_pickups{};
    MidiCounts m_counts;
    QElapsedTimer m_clock;
    QTimer m_watch;
    QTimer m_feedback;
    QTimer m_handOff; // a motor fader let go: it hears where its channel stands
    bool m_learning = false;
    MidiLearn m_learn;
    std::vector<Intent> m_touches; // of the panel's touch under way
};
