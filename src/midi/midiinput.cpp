#include "midiinput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <unistd.h>

namespace {

// The client number of each surface in the sources the desk tells its changes with.
constexpr std::uint32_t NamedClient = 1;
constexpr std::uint32_t VirtualClient = 2;

// ALSA's sequencer, where the machine has one.
constexpr const char *SequencerDevice = "/dev/snd/seq";

} // namespace

MidiInput::Surface::Surface(MidiInput &input, std::uint32_t client)
    : inbox([&input, this] {
          QMetaObject::invokeMethod(
              &input, [&input, this] { input.read(*this); }, Qt::QueuedConnection);
      }),
      source{Source::Kind::Midi, client}
{}

MidiInput::MidiInput(MidiPanel &panel, QObject *parent) : QObject(parent), m_panel(panel)
{
    m_clock.start();
    m_watch.setInterval(WatchInterval);
    connect(&m_watch, &QTimer::timeout, this, &MidiInput::watch);
    m_feedback.setSingleShot(true);
    m_feedback.setInterval(FeedbackDelay);
    connect(&m_feedback, &QTimer::timeout, this, &MidiInput::sendFeedback);
    m_handOff.setSingleShot(true);
    m_handOff.setInterval(SurfaceState::HandOff + FeedbackDelay);
    connect(&m_handOff, &QTimer::timeout, this, &MidiInput::sendFeedback);
}

MidiInput::~MidiInput() = default;

MidiPort::System MidiInput::systemOf(MidiSettings::System asked)
{
    switch (asked) {
    case MidiSettings::System::Alsa:
        return MidiPort::System::Alsa;
    case MidiSettings::System::Jack:
        return MidiPort::System::Jack;
    case MidiSettings::System::Default:
        break;
    }
    return ::access(SequencerDevice, R_OK | W_OK) == 0 ? MidiPort::System::Alsa
                                                       : MidiPort::System::Jack;
}

std::optional<MidiProfile> MidiInput::profileOf(const MidiSettings &settings, QString *problem)
{
    QString path = settings.profile;
    if (path.isEmpty() || MidiProfile::builtInNames().contains(path)) {
        if (path.isEmpty() && !QFileInfo::exists(settings.operatorProfile))
            path = MidiProfile::builtInNames().constFirst();
        if (!path.isEmpty())
            return MidiProfile::read(MidiProfile::builtInText(path), problem);
        path = settings.operatorProfile;
    }
    QFile file(path);
    QString why;
    std::optional<MidiProfile> profile;
    if (!QFileInfo(path).isFile())
        why = QFileInfo::exists(path) ? MidiProfile::tr("it is not a plain file")
                                      : MidiProfile::tr("there is no such file, and no built-in "
                                                        "profile of that name (%1)")
                                            .arg(MidiProfile::builtInNames().join(u", "));
    else if (!file.open(QIODevice::ReadOnly))
        why = file.errorString();
    else
        profile = MidiProfile::read(file.read(MidiProfile::LargestText + 1), &why);
    if (!profile)
        *problem = MidiProfile::tr("The MIDI profile %1 cannot be used: %2").arg(path, why);
    return profile;
}

bool MidiInput::start(const MidiSettings &settings, QString *errorMessage)
{
    const std::optional<MidiProfile> profile = profileOf(settings, errorMessage);
    if (!profile)
        return false;
    m_profile = *profile;
    m_operatorProfile = settings.operatorProfile;
    m_pattern = settings.pattern;
    const MidiPort::System system = systemOf(settings.system);
    // The virtual port's client first: on JACK, where names are unique, it gets the plain
    // name that other programs look for.
    for (const std::uint32_t client : {VirtualClient, NamedClient}) {
        auto surface = std::make_unique<Surface>(*this, client);
        surface->port = MidiPort::open(system,
                                       QString::fromLatin1(client == VirtualClient
                                                               ? MidiPort::ClientName
                                                               : MidiPort::SurfaceClientName),
                                       surface->inbox, errorMessage);
        if (!surface->port)
            return false;
        m_surfaces.insert(client == NamedClient ? m_surfaces.begin() : m_surfaces.end(),
                          std::move(surface));
    }
    Surface &virtualPort = *m_surfaces.back();
    if (!virtualPort.port->offerVirtual(QString::fromLatin1(VirtualName), errorMessage))
        return false;
    restate();
    opened(virtualPort);
    watch();
    if (!m_surfaces.front()->port->isOpen()) {
        m_panel.tell(tr("MIDI: no input's name holds \"%1\" yet; the panel takes it as soon as "
                        "it comes (--midi-list lists them).")
                         .arg(m_pattern));
    }
    m_watch.start();
    return true;
}

SurfaceState::Time MidiInput::now() const { return SurfaceState::Time(m_clock.elapsed()); }

void MidiInput::read(Surface &surface)
{
    for (const MidiMessage &message : surface.inbox.take())
        take(surface, message);
    showPickups();
}

void MidiInput::take(Surface &surface, const MidiMessage &message)
{
    if (m_learning) {
        ++m_counts.whileLearning;
        if (const std::optional<MidiMapping> pair = m_learn.moved(message, now()))
            learn(*pair);
        return;
    }
    const std::optional<MidiControl> control = MidiControl::of(message);
    const MidiMapping *mapping = control ? m_profile.find(*control) : nullptr;
    if (!mapping) {
        ++m_counts.unknown;
        return;
    }
    if (mapping->isFader())
        moveFader(surface, std::size_t(mapping - m_profile.mappings.data()), message.value);
    else if (message.kind == MidiMessage::Kind::NoteOff || message.value == 0)
        ++m_counts.releases;
    else
        press(surface, *mapping);
}

void MidiInput::moveFader(Surface &surface, std::size_t mapping, int value)
{
    const MidiMapping &fader = m_profile.mappings[mapping];
    const std::optional<int> level = surface.state->moved(mapping, value, now());
    if (fader.motor)
        m_handOff.start();
    if (!level) {
        ++m_counts.waiting;
        return;
    }
    m_applying = Applying{&surface, mapping};
    const Intent::Outcome outcome =
        m_panel.act(Intent{fader.action, fader.index, *level, std::nullopt, surface.source});
    m_applying.reset();
    m_counts.add(outcome);
    // The panel kept its level: the fader stands elsewhere now, and waits for it again.
    if (outcome == Intent::Outcome::Held) {
        const int target = fader.target();
        surface.state->levelChanged(target, m_panel.view().levels[std::size_t(target)]);
    }
}

void MidiInput::press(Surface &surface, const MidiMapping &mapping)
{
    m_counts.add(
        m_panel.act(Intent{mapping.action, mapping.index, 0, std::nullopt, surface.source}));
}

void MidiInput::levelChanged(int target, int level, const Source &source)
{
    for (const std::unique_ptr<Surface> &surface : m_surfaces) {
        std::optional<std::size_t> by;
        if (m_applying && m_applying->surface == surface.get() && source == surface->source)
            by = m_applying->mapping;
        surface->state->levelChanged(target, level, by);
    }
    if (!m_feedback.isActive())
        m_feedback.start();
}

void MidiInput::panelChanged()
{
    const MidiPanelView view = m_panel.view();
    for (const std::unique_ptr<Surface> &surface : m_surfaces)
        surface->state->panelChanged(view);
    if (!m_feedback.isActive())
        m_feedback.start();
}

void MidiInput::sendFeedback()
{
    const SurfaceState::Time at = now();
    for (const std::unique_ptr<Surface> &surface : m_surfaces) {
        if (!surface->port->isOpen())
            continue;
        for (const MidiMessage &message : surface->state->feedback(at))
            surface->port->send(message);
    }
    showPickups();
}

void MidiInput::showPickups()
{
    for (int target = 0; target < SurfaceState::TargetCount; ++target) {
        // The named surface first: it is the one on the operator's desk.
        MidiPanel::Pickup pickup = MidiPanel::Pickup::None;
        for (const std::unique_ptr<Surface> &surface : m_surfaces) {
            if (pickup == MidiPanel::Pickup::None && surface->port->isOpen())
                pickup = surface->state->waiting(target);
        }
        if (pickup != m_pickups[std::size_t(target)]) {
            m_pickups[std::size_t(target)] = pickup;
            m_panel.showPickup(target, pickup);
        }
    }
}

void MidiInput::watch()
{
    Surface &named = *m_surfaces.front();
    if (named.port->isOpen()) {
        if (named.port->isThere())
            return;
        const QString name = named.port->input();
        named.port->close();
        named.inbox.cut();
        named.state->forget();
        ++m_counts.lost;
        m_panel.tell(tr("MIDI: %1 went away; the panel takes it back when it returns.").arg(name));
        showPickups();
        return;
    }
    if (named.port->openNamed(m_pattern))
        opened(named);
}

void MidiInput::opened(Surface &surface)
{
    surface.state->forget();
    surface.state->panelChanged(m_panel.view());
    if (surface.source.client == NamedClient) {
        m_panel.tell(surface.port->output().isEmpty()
                         ? tr("MIDI: %1 opened, with no output for its lights and motors.")
                               .arg(surface.port->input())
                         : tr("MIDI: %1 opened, its lights and motors on %2.")
                               .arg(surface.port->input(), surface.port->output()));
    }
    for (const std::vector<std::uint8_t> &message : m_profile.opening)
        surface.port->send(message);
    m_feedback.start();
}

void MidiInput::touched(const Intent &change)
{
    if (!m_learning)
        return;
    // Everything one touch changed comes in one go: it is read as a whole once it is over.
    if (m_touches.empty())
        QTimer::singleShot(0, this, &MidiInput::learnTouches);
    m_touches.push_back(change);
}

void MidiInput::learnTouches()
{
    const std::vector<Intent> touches = std::move(m_touches);
    m_touches.clear();
    if (const std::optional<MidiMapping> pair = m_learn.touched(touches, now()))
        learn(*pair);
}

void MidiInput::setLearning(bool on)
{
    m_learning = on;
    m_learn.reset();
    m_touches.clear();
}

void MidiInput::learn(const MidiMapping &mapping)
{
    m_profile.learn(mapping);
    ++m_counts.learned;
    restate();
    const QString pair = tr("%1: %2").arg(mapping.control.name(), MidiProfile::describe(mapping));
    QString problem;
    QDir().mkpath(QFileInfo(m_operatorProfile).absolutePath());
    QSaveFile file(m_operatorProfile);
    if (!file.open(QIODevice::WriteOnly) || file.write(m_profile.text()) < 0 || !file.commit())
        problem = file.errorString();
    m_panel.showLearned(problem.isEmpty()
                            ? tr("Learned %1, kept in %2.").arg(pair, m_operatorProfile)
                            : tr("Learned %1 for this run; it cannot be kept in %2: %3")
                                  .arg(pair, m_operatorProfile, problem));
    if (!problem.isEmpty())
        m_panel.tell(
            tr("MIDI: the pair learned cannot be kept in %1: %2").arg(m_operatorProfile, problem));
}

void MidiInput::restate()
{
    const MidiPanelView view = m_panel.view();
    for (const std::unique_ptr<Surface> &surface : m_surfaces) {
        surface->state = std::make_unique<SurfaceState>(m_profile);
        surface->state->panelChanged(view);
    }
    showPickups();
}

MidiCounts MidiInput::counts() const
{
    MidiCounts counts = m_counts;
    for (const std::unique_ptr<Surface> &surface : m_surfaces) {
        const MidiReader::Counts read = surface->inbox.counts();
        counts.sysex += read.sysex;
        counts.realtime += read.realtime + read.common;
        counts.strays += read.strays;
        counts.cut += read.cut;
        counts.dropped += surface->inbox.dropped();
    }
    return counts;
}

QString MidiInput::countsSummary() const { return counts().summary(); }
