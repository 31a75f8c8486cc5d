#include "lampmemory.h"

#include "app/userfiles.h"
#include "control/desk.h"
#include "link/deviceholders.h"
#include "link/portnames.h"
#include "link/seriallink.h"
#include "scenes/wholefile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <climits>
#include <map>
#include <utility>

namespace {

// A few dozen bytes are written; anything far larger was not written by the panel.
constexpr qint64 LargestFile = 4096;
// File names stay well inside the 255 bytes a name may have.
constexpr int LongestName = 160;

QString fileNameFor(const QString &port)
{
    const QString name = QString::fromLatin1(QUrl::toPercentEncoding(port));
    if (name.size() <= LongestName)
        return name + QStringLiteral(".state");
    return QString::fromLatin1(
               QCryptographicHash::hash(port.toUtf8(), QCryptographicHash::Sha256).toHex()) +
           QStringLiteral(".state");
}

QByteArray levelsText(const DeskState::Levels &levels)
{
    QByteArrayList numbers;
    for (const std::uint8_t level : levels)
        numbers << QByteArray::number(level);
    return numbers.join(' ');
}

std::optional<int> number(const QByteArray &text, int lowest, int highest)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < lowest || value > highest || QByteArray::number(value) != text)
        return std::nullopt;
    return value;
}

// A pseudo-terminal named by its number, not through a link.
bool isRawPseudoTerminal(const QString &port)
{
    return PortNames::isPseudoTerminal(port) && !QFileInfo(port).isSymLink();
}

std::optional<LampMemory::FarSide> farSideOf(const QString &pseudoTerminal)
{
    const QList<DeviceHolders::Holder> holders = DeviceHolders::ofPseudoTerminal(pseudoTerminal);
    if (holders.isEmpty())
        return std::nullopt;
    const qint64 started = DeviceHolders::startTimeOf(holders.first().pid);
    if (started <= 0)
        return std::nullopt;
    return LampMemory::FarSide{holders.first().pid, started};
}

std::optional<DeskState::Levels> levelsFrom(const QByteArray &text)
{
    const QByteArrayList numbers = text.split(' ');
    if (numbers.size() != Board::ChannelCount)
        return std::nullopt;
    DeskState::Levels levels{};
    for (int channel = 0; channel < Board::ChannelCount; ++channel) {
        const auto level = number(numbers[channel], Board::Off, Board::FullOn);
        if (!level)
            return std::nullopt;
        levels[std::size_t(channel)] = std::uint8_t(*level);
    }
    return levels;
}

} // namespace

LampMemory::LampMemory(const QString &port, const QString &folder, QObject *parent)
    : QObject(parent), m_port(port), m_path(QDir(folder).filePath(fileNameFor(port)))
{
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(SaveDelayMilliseconds);
    connect(&m_saveTimer, &QTimer::timeout, this, [this] { save(false); });
    read();
}

QByteArray LampMemory::toText(const QString &port, const Record &record)
{
    const DeskState &state = record.state;
    QByteArray text = "# What dimmer-panel last set on the board behind this port.\n";
    text += "port=" + port.toUtf8() + '\n';
    text += "channels=" + levelsText(state.channels) + '\n';
    text += "master=" + QByteArray::number(state.master) + '\n';
    text += "mode=" +
            (state.mode == DeskState::NoMode ? QByteArray("none")
                                             : QByteArray::number(state.mode + 1)) +
            '\n';
    if (state.beforeBlackout)
        text += "blackout=" + levelsText(*state.beforeBlackout) + '\n';
    if (record.farSide) {
        text += "far-side=" + QByteArray::number(record.farSide->pid) + ' ' +
                QByteArray::number(record.farSide->started) + '\n';
    }
    if (record.unsent > 0)
        text += "unsent=" + QByteArray::number(record.unsent) + '\n';
    return text;
}

std::optional<LampMemory::Record> LampMemory::fromText(const QByteArray &text, QString *why)
{
    const auto fail = [why](const QString &reason) {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    std::map<QByteArray, QByteArray> fields;
    for (const QByteArray &line : text.split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const qsizetype equals = line.indexOf('=');
        const QByteArray key = line.left(equals);
        if (equals < 0 || !fields.emplace(key, line.mid(equals + 1)).second)
            return fail(tr("the line \"%1\" is no field, or a field twice")
                            .arg(QString::fromUtf8(line.left(40))));
    }
    for (const char *required : {"port", "channels", "master", "mode"}) {
        if (!fields.count(required))
            return fail(tr("it has no %1").arg(QString::fromLatin1(required)));
    }
    Record record;
    DeskState &state = record.state;
    const auto channels = levelsFrom(fields["channels"]);
    const auto master = number(fields["master"], Board::Off, Board::FullOn);
    const QByteArray modeText = fields["mode"];
    const auto mode =
        modeText == "none" ? std::optional<int>(0) : number(modeText, 1, Board::ModeCount);
    if (!channels || !master || !mode)
        return fail(tr("a level or the mode is out of range"));
    state.channels = *channels;
    state.master = *master;
    state.mode = *mode - 1;
    std::size_t known = 4;
    if (fields.count("blackout")) {
        ++known;
        state.beforeBlackout = levelsFrom(fields["blackout"]);
        if (!state.beforeBlackout)
            return fail(tr("a level or the mode is out of range"));
    }
    if (fields.count("far-side")) {
        ++known;
        const QByteArrayList parts = fields["far-side"].split(' ');
        const auto pid = parts.size() == 2 ? number(parts[0], 1, INT_MAX) : std::nullopt;
        bool ok = false;
        const qint64 started = parts.size() == 2 ? parts[1].toLongLong(&ok) : 0;
        if (!pid || !ok || started <= 0)
            return fail(tr("the program on the far side is not told as the panel writes it"));
        record.farSide = FarSide{*pid, started};
    }
    if (fields.count("unsent")) {
        ++known;
        const auto unsent = number(fields["unsent"], 1, Board::ChannelCount + 2);
        if (!unsent)
            return fail(tr("the count of changes not sent is out of range"));
        record.unsent = *unsent;
    }
    if (fields.size() != known)
        return fail(tr("it has a field the panel does not write"));
    return record;
}

void LampMemory::read()
{
    const UserFiles::SetAside odd = UserFiles::setAsideIfOdd(m_path, LargestFile);
    QString why = odd.why;
    QString movedTo = odd.movedTo;
    if (why.isEmpty()) {
        QFile file(m_path);
        if (!file.exists())
            return;
        std::optional<Record> record;
        if (!file.open(QIODevice::ReadOnly))
            why = file.errorString();
        else
            record = fromText(file.read(LargestFile), &why);
        // A pseudo-terminal's number is given to whoever asks next: what its far side showed
        // is only the lamps' own while the same program still holds it. Another program
        // behind the number, or one the panel may not see, starts dark.
        if (record && isRawPseudoTerminal(m_port) && (!farSide() || record->farSide != farSide()))
            return;
        if (record) {
            m_recalled = record->state;
            m_keptBlackout = record->state.beforeBlackout;
            m_unsentLastTime = record->unsent;
        }
        if (!why.isEmpty()) {
            const QString aside = m_path + QStringLiteral(".set-aside");
            QFile::remove(aside);
            if (QFile::rename(m_path, aside))
                movedTo = aside;
        }
    }
    if (why.isEmpty())
        return;
    m_problem = movedTo.isEmpty()
                    ? tr("What the board on %1 last showed could not be read from %2: %3. The "
                         "panel starts with every level at 0.")
                          .arg(m_port, m_path, why)
                    : tr("What the board on %1 last showed could not be read from %2: %3. It "
                         "was moved to %4, and the panel starts with every level at 0.")
                          .arg(m_port, m_path, why, movedTo);
}

void LampMemory::follow(const Desk &desk, const SerialLink &link)
{
    m_desk = &desk;
    m_link = &link;
    // What the line takes is what the lamps hold; what the desk changes while the line is
    // lost is counted as not sent; the blackout's memory is the desk's.
    connect(&link, &SerialLink::boardChanged, this, &LampMemory::changed);
    connect(&link, &SerialLink::stateChanged, this, &LampMemory::changed);
    connect(&desk, &Desk::channelChanged, this, &LampMemory::changed);
    connect(&desk, &Desk::modeChanged, this, &LampMemory::changed);
    connect(&desk, &Desk::blackoutChanged, this, &LampMemory::changed);
    // The operator took a pseudo-terminal back by its number: whoever holds its far side now
    // is the board.
    connect(&link, &SerialLink::restored, this, [this] { m_farSideLooked = false; });
}

const std::optional<LampMemory::FarSide> &LampMemory::farSide()
{
    // Looked for only when a kept file asks or one is written: finding who holds a
    // pseudo-terminal's far side means looking through every process's descriptors, which
    // a first start need not do before its window shows. Until the line is lost, the far
    // side cannot change: its closing is a hang-up for the panel.
    if (!std::exchange(m_farSideLooked, true) && isRawPseudoTerminal(m_port))
        m_farSide = farSideOf(m_port);
    return m_farSide;
}

void LampMemory::changed()
{
    // The first change starts the clock and later ones do not push it back, so that a
    // fader that never stops is still saved every second.
    if (!m_saveTimer.isActive())
        m_saveTimer.start(SaveDelayMilliseconds);
}

int LampMemory::flush()
{
    m_saveTimer.stop();
    return save(true);
}

LampMemory::Record LampMemory::record(bool last)
{
    Record record;
    record.state = DeskState::of(m_link->board());
    const DeskState wanted = m_desk->state();
    // The levels a blackout brings back belong with the levels it holds at 0: kept while the
    // board holds what the desk shows, else the ones that went with what the board holds.
    if (wanted.channels == record.state.channels)
        m_keptBlackout = wanted.beforeBlackout;
    record.state.beforeBlackout = m_keptBlackout;
    // While the line is up, what waits for it goes within a fraction of a second; only a
    // line that is lost or takes nothing, or the end of the run, leaves changes unsent.
    if (last || m_link->state() != SerialLink::State::Up)
        record.unsent = wanted.changesFrom(record.state) + (m_link->isDownloadOwed() ? 1 : 0);
    record.farSide = farSide();
    return record;
}

int LampMemory::save(bool last)
{
    if (!m_desk || !m_link)
        return 0;
    QString error;
    const Record kept = record(last);
    if (WholeFile::replace(m_path, toText(m_port, kept), &error)) {
        if (std::exchange(m_failing, false))
            Q_EMIT keepingChanged(QString());
        return kept.unsent;
    }
    // Tried again while it fails, changed or not: a full disk gets room again.
    if (!last)
        m_saveTimer.start(RetryMilliseconds);
    if (!std::exchange(m_failing, true))
        Q_EMIT keepingChanged(tr("What the board on %1 shows could not be kept in %2: %3. The "
                                 "panel carries on and tries again; were it closed now, its next "
                                 "start would not know what the lamps show.")
                                  .arg(m_port, m_path, error));
    return kept.unsent;
}
