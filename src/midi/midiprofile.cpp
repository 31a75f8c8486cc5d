#include "midiprofile.h"

#include "protocol/boardnumbers.h"

#include <QFile>

#include <algorithm>
#include <array>

namespace {

const QByteArray Header = "dimmer-panel midi profile";
constexpr int Version = 1;

// The words of the actions, the intent each asks for, and the numbers it takes after it as
// people count them (none: it takes no number).
struct Action
{
    const char *word;
    Intent::Kind kind;
    int highest = 0; // 0: no number; otherwise 1..highest
    int offset = 0;  // from the number people write to the intent's index
};

constexpr std::array<Action, 16> Actions = {{
    {"channel", Intent::Kind::Channel, Board::ChannelCount, -1},
    {"master", Intent::Kind::Master},
    {"fullon", Intent::Kind::FullOn, Board::ChannelCount, -1},
    {"off", Intent::Kind::Off, Board::ChannelCount, -1},
    {"masterfullon", Intent::Kind::MasterFullOn},
    {"alloff", Intent::Kind::AllOff},
    {"scene", Intent::Kind::Recall, Board::SceneCount, 0},
    {"mode", Intent::Kind::Mode, Board::ModeCount, -1},
    {"blackout", Intent::Kind::Blackout},
    {"undo", Intent::Kind::Undo},
    {"redo", Intent::Kind::Redo},
    {"go", Intent::Kind::Go},
    {"back", Intent::Kind::Back},
    {"pause", Intent::Kind::Pause},
    {"sendall", Intent::Kind::SendAll},
    {"download", Intent::Kind::Download},
}};

const Action *actionOf(Intent::Kind kind)
{
    const auto found = std::find_if(Actions.begin(), Actions.end(),
                                    [kind](const Action &action) { return action.kind == kind; });
    return found == Actions.end() ? nullptr : &*found;
}

const Action *actionNamed(const QByteArray &word)
{
    const auto found = std::find_if(Actions.begin(), Actions.end(),
                                    [&word](const Action &action) { return word == action.word; });
    return found == Actions.end() ? nullptr : &*found;
}

// Whether a button of kind has a state for its light to show.
bool hasState(Intent::Kind kind)
{
    using Kind = Intent::Kind;
    return kind == Kind::FullOn || kind == Kind::Off || kind == Kind::MasterFullOn ||
           kind == Kind::AllOff || kind == Kind::Recall || kind == Kind::Mode ||
           kind == Kind::Blackout;
}

// The words of one line, read from the front.
class Words
{
public:
    explicit Words(const QList<QByteArray> &words) : m_words(words) {}

    bool atEnd() const { return m_next >= m_words.size(); }
    QByteArray peek() const { return atEnd() ? QByteArray() : m_words[m_next]; }
    QByteArray take() { return atEnd() ? QByteArray() : m_words[m_next++]; }
    // The next word as a whole number lowest..highest; none when it is not one.
    std::optional<int> number(int lowest, int highest)
    {
        bool ok = false;
        const QByteArray word = take();
        const int value = word.toInt(&ok);
        if (!ok || value < lowest || value > highest || word.startsWith('+'))
            return std::nullopt;
        return value;
    }

private:
    QList<QByteArray> m_words;
    qsizetype m_next = 0;
};

QByteArray controlText(const MidiControl &control)
{
    return (control.kind == MidiControl::Kind::Note ? "note " : "cc ") +
           QByteArray::number(control.channel + 1) + ' ' + QByteArray::number(control.number);
}

} // namespace

std::optional<MidiControl> MidiControl::of(const MidiMessage &message)
{
    switch (message.kind) {
    case MidiMessage::Kind::ControlChange:
        return MidiControl{Kind::ControlChange, message.channel, message.number};
    case MidiMessage::Kind::NoteOn:
    case MidiMessage::Kind::NoteOff:
        return MidiControl{Kind::Note, message.channel, message.number};
    default:
        return std::nullopt;
    }
}

MidiMessage MidiControl::message(int value) const
{
    return MidiMessage{kind == Kind::Note ? MidiMessage::Kind::NoteOn
                                          : MidiMessage::Kind::ControlChange,
                       channel, number, std::uint8_t(value)};
}

QString MidiControl::name() const
{
    return kind == Kind::Note
               ? MidiProfile::tr("note %1 on channel %2").arg(number).arg(channel + 1)
               : MidiProfile::tr("CC %1 on channel %2").arg(number).arg(channel + 1);
}

bool MidiMapping::isFader() const
{
    return action == Intent::Kind::Channel || action == Intent::Kind::Master;
}

int MidiMapping::target() const { return action == Intent::Kind::Master ? MasterTarget : index; }

const MidiMapping *MidiProfile::find(const MidiControl &control) const
{
    const auto found =
        std::find_if(mappings.begin(), mappings.end(), [&control](const MidiMapping &mapping) {
            return mapping.control == control;
        });
    return found == mappings.end() ? nullptr : &*found;
}

void MidiProfile::learn(const MidiMapping &mapping)
{
    const auto found =
        std::find_if(mappings.begin(), mappings.end(), [&mapping](const MidiMapping &old) {
            return old.control == mapping.control;
        });
    if (found == mappings.end()) {
        mappings.push_back(mapping);
        return;
    }
    // What the control is stays what it was: a motor, a light, and where they are told.
    MidiMapping learned = mapping;
    if (found->isFader() && learned.isFader()) {
        learned.motor = found->motor;
        learned.feedback = found->feedback;
    } else if (found->led && !learned.isFader() && hasState(learned.action)) {
        learned.led = true;
        learned.lit = found->lit;
        learned.dark = found->dark;
        learned.changed = found->changed;
        learned.feedback = found->feedback;
    }
    *found = learned;
}

QString MidiProfile::describe(const MidiMapping &mapping)
{
    using Kind = Intent::Kind;
    const int number = mapping.action == Kind::Recall ? mapping.index : mapping.index + 1;
    switch (mapping.action) {
    case Kind::Channel:
        return tr("channel %1").arg(number);
    case Kind::Master:
        return tr("the master");
    case Kind::FullOn:
        return tr("channel %1 full on").arg(number);
    case Kind::Off:
        return tr("channel %1 off").arg(number);
    case Kind::MasterFullOn:
        return tr("master full on");
    case Kind::AllOff:
        return tr("all off");
    case Kind::Recall:
        return tr("scene %1").arg(number);
    case Kind::Mode:
        return tr("mode %1").arg(number);
    case Kind::Blackout:
        return tr("blackout");
    case Kind::Undo:
        return tr("undo");
    case Kind::Redo:
        return tr("redo");
    case Kind::Go:
        return tr("GO");
    case Kind::Back:
        return tr("BACK");
    case Kind::Pause:
        return tr("PAUSE");
    case Kind::SendAll:
        return tr("send all");
    case Kind::Download:
        return tr("send settings");
    default:
        return {};
    }
}

QByteArray MidiProfile::text() const
{
    QByteArray text = "# A MIDI surface's profile for dimmer-panel: one control a line.\n" +
                      Header + ' ' + QByteArray::number(Version) + '\n';
    if (!name.isEmpty())
        text += "name " + name.toUtf8() + '\n';
    for (const std::vector<std::uint8_t> &message : opening) {
        text += "send";
        for (const std::uint8_t byte : message)
            text += ' ' + QByteArray::number(byte, 16).rightJustified(2, '0').toUpper();
        text += '\n';
    }
    for (const MidiMapping &mapping : mappings) {
        const Action *action = actionOf(mapping.action);
        if (!action)
            continue;
        text += controlText(mapping.control) + ' ' + action->word;
        if (action->highest > 0)
            text += ' ' + QByteArray::number(mapping.index - action->offset);
        if (mapping.motor || mapping.led) {
            text += mapping.motor ? " motor" : " led";
            if (mapping.feedback)
                text += ' ' + controlText(*mapping.feedback);
        }
        if (mapping.led) {
            text += " lit " + QByteArray::number(mapping.lit) + " dark " +
                    QByteArray::number(mapping.dark);
            if (mapping.changed != mapping.lit)
                text += " changed " + QByteArray::number(mapping.changed);
        }
        text += '\n';
    }
    return text;
}

namespace {

// A control written as "cc|note CHANNEL NUMBER" from kindWord on; why not, or empty.
QString readControl(const QByteArray &kindWord, Words &words, MidiControl &control)
{
    if (kindWord == "cc")
        control.kind = MidiControl::Kind::ControlChange;
    else if (kindWord == "note")
        control.kind = MidiControl::Kind::Note;
    else
        return MidiProfile::tr("a line starts with cc, note, send or name, not \"%1\"")
            .arg(QString::fromUtf8(kindWord));
    const std::optional<int> channel = words.number(1, MidiMessage::HighestChannel + 1);
    if (!channel)
        return MidiProfile::tr("a MIDI channel is 1 to 16");
    const std::optional<int> number = words.number(0, MidiMessage::HighestValue);
    if (!number)
        return MidiProfile::tr("a controller or note number is 0 to 127");
    control.channel = std::uint8_t(*channel - 1);
    control.number = std::uint8_t(*number);
    return {};
}

// The words after a control's action: motor, led, and the light's values.
QString readOptions(Words &words, MidiMapping &mapping)
{
    std::optional<int> lit;
    std::optional<int> changed;
    while (!words.atEnd()) {
        const QByteArray word = words.take();
        if (word == "motor" || word == "led") {
            const bool motor = word == "motor";
            if (motor != mapping.isFader()) {
                return motor ? MidiProfile::tr("motor is for a fader (channel or master)")
                             : MidiProfile::tr("led is for a button, not a fader");
            }
            if (!motor && !hasState(mapping.action))
                return MidiProfile::tr("led: %1 has no state for a light to show")
                    .arg(QString::fromLatin1(actionOf(mapping.action)->word));
            (motor ? mapping.motor : mapping.led) = true;
            if (words.peek() == "cc" || words.peek() == "note") {
                MidiControl to;
                const QByteArray kindWord = words.take();
                if (const QString why = readControl(kindWord, words, to); !why.isEmpty())
                    return why;
                mapping.feedback = to;
            }
        } else if (word == "lit" || word == "dark" || word == "changed") {
            if (!mapping.led)
                return MidiProfile::tr("%1 comes after led").arg(QString::fromLatin1(word));
            const std::optional<int> value = words.number(0, MidiMessage::HighestValue);
            if (!value)
                return MidiProfile::tr("a light's value is 0 to 127");
            if (word == "lit")
                lit = *value;
            else if (word == "dark")
                mapping.dark = *value;
            else
                changed = *value;
        } else {
            return MidiProfile::tr("\"%1\" is no option of a control (motor, led, lit, dark, "
                                   "changed)")
                .arg(QString::fromUtf8(word));
        }
    }
    mapping.lit = lit.value_or(mapping.lit);
    // A light with no colour of its own for a changed scene shows it as lit.
    mapping.changed = changed.value_or(mapping.lit);
    return {};
}

// A mapping line from its control on; why it is none, or empty.
QString readMapping(const QByteArray &kindWord, Words &words, MidiMapping &mapping)
{
    if (const QString why = readControl(kindWord, words, mapping.control); !why.isEmpty())
        return why;
    const QByteArray word = words.take();
    const Action *action = actionNamed(word);
    if (!action)
        return MidiProfile::tr("\"%1\" is no action of the panel").arg(QString::fromUtf8(word));
    mapping.action = action->kind;
    if (action->highest > 0) {
        const std::optional<int> number = words.number(1, action->highest);
        if (!number)
            return MidiProfile::tr("%1 takes a number from 1 to %2")
                .arg(QString::fromLatin1(action->word))
                .arg(action->highest);
        mapping.index = *number + action->offset;
    }
    if (mapping.isFader() && mapping.control.kind == MidiControl::Kind::Note)
        return MidiProfile::tr("a note is a button: a fader takes control changes");
    return readOptions(words, mapping);
}

// One whole MIDI message written in hexadecimal bytes; why it is none, or empty.
QString readOpening(Words &words, std::vector<std::uint8_t> &message)
{
    while (!words.atEnd()) {
        bool ok = false;
        const QByteArray word = words.take();
        const uint byte = word.toUInt(&ok, 16);
        if (!ok || word.size() > 2)
            return MidiProfile::tr("send takes bytes in hexadecimal, 00 to FF");
        if (message.size() == MidiProfile::LongestOpening)
            return MidiProfile::tr("a message to send is at most %1 bytes")
                .arg(MidiProfile::LongestOpening);
        message.push_back(std::uint8_t(byte));
    }
    // Exactly one message, whole: a channel message, or one system exclusive. The system
    // sends each as one event, and cuts a second one off.
    const auto dataOnly = [](auto from, auto to) {
        return std::all_of(from, to, [](std::uint8_t byte) { return byte < 0x80; });
    };
    const std::size_t size = message.size();
    const std::uint8_t status = size > 0 ? message.front() : 0;
    const bool channelMessage =
        status >= 0x80 && status < 0xF0 &&
        size == std::size_t(1 + MidiMessage::dataBytes(MidiMessage::Kind(status >> 4))) &&
        dataOnly(message.begin() + 1, message.end());
    const bool sysex = status == 0xF0 && size >= 2 && message.back() == 0xF7 &&
                       dataOnly(message.begin() + 1, message.end() - 1);
    if (!channelMessage && !sysex)
        return MidiProfile::tr("send takes one whole message: a channel message, or a system "
                               "exclusive from F0 to F7");
    return {};
}

} // namespace

std::optional<MidiProfile> MidiProfile::read(const QByteArray &text, QString *problem)
{
    if (text.size() > LargestText) {
        *problem =
            tr("it holds %1 bytes, more than a profile's %2").arg(text.size()).arg(LargestText);
        return std::nullopt;
    }
    MidiProfile profile;
    bool headerRead = false;
    int lineNumber = 0;
    for (QByteArray line : text.split('\n')) {
        ++lineNumber;
        if (const qsizetype comment = line.indexOf('#'); comment >= 0)
            line.truncate(comment);
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        const auto fail = [&](const QString &why) {
            *problem = tr("line %1: %2").arg(lineNumber).arg(why);
            return std::nullopt;
        };
        if (!headerRead) {
            if (!line.startsWith(Header + ' '))
                return fail(tr("a profile begins with \"%1 %2\"")
                                .arg(QString::fromLatin1(Header))
                                .arg(Version));
            bool ok = false;
            const int version = line.mid(Header.size() + 1).trimmed().toInt(&ok);
            if (!ok || version < 1)
                return fail(tr("a profile begins with \"%1 %2\"")
                                .arg(QString::fromLatin1(Header))
                                .arg(Version));
            if (version > Version)
                return fail(
                    tr("written by a newer version of the panel (profile %1)").arg(version));
            headerRead = true;
            continue;
        }
        if (line.startsWith("name ")) {
            profile.name = QString::fromUtf8(line.mid(5).trimmed());
            continue;
        }
        Words words(line.simplified().split(' '));
        const QByteArray first = words.take();
        if (first == "send") {
            if (profile.opening.size() == MostOpenings)
                return fail(tr("at most %1 messages to send").arg(MostOpenings));
            std::vector<std::uint8_t> message;
            if (const QString why = readOpening(words, message); !why.isEmpty())
                return fail(why);
            profile.opening.push_back(std::move(message));
            continue;
        }
        MidiMapping mapping;
        if (const QString why = readMapping(first, words, mapping); !why.isEmpty())
            return fail(why);
        if (profile.find(mapping.control))
            return fail(tr("%1 is mapped twice").arg(mapping.control.name()));
        profile.mappings.push_back(mapping);
    }
    if (!headerRead) {
        *problem = tr("it is empty: a profile begins with \"%1 %2\"")
                       .arg(QString::fromLatin1(Header))
                       .arg(Version);
        return std::nullopt;
    }
    return profile;
}

QStringList MidiProfile::builtInNames()
{
    return {QStringLiteral("generic"), QStringLiteral("nanokontrol2"),
            QStringLiteral("xtouch-mini"), QStringLiteral("apc-mini")};
}

QByteArray MidiProfile::builtInText(const QString &name)
{
    if (!builtInNames().contains(name))
        return {};
    QFile file(QStringLiteral(":/midi/%1.profile").arg(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
