#include "lampmemory.h"

#include "app/userfiles.h"
#include "control/desk.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

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
    connect(&m_saveTimer, &QTimer::timeout, this, &LampMemory::save);
    read();
}

QByteArray LampMemory::toText(const QString &port, const DeskState &state)
{
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
    return text;
}

std::optional<DeskState> LampMemory::fromText(const QByteArray &text, QString *why)
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
    DeskState state;
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
    if (fields.count("blackout")) {
        state.beforeBlackout = levelsFrom(fields["blackout"]);
        if (!state.beforeBlackout)
            return fail(tr("a level or the mode is out of range"));
    }
    if (fields.size() != 4 + (state.beforeBlackout ? 1 : 0))
        return fail(tr("it has a field the panel does not write"));
    return state;
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
        if (!file.open(QIODevice::ReadOnly)) {
            why = file.errorString();
        } else if (const auto state = fromText(file.read(LargestFile), &why)) {
            m_recalled = state;
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

void LampMemory::follow(const Desk &desk)
{
    m_desk = &desk;
    // The first change starts the clock and later ones do not push it back, so that a
    // fader that never stops is still saved every second.
    const auto changed = [this] {
        if (!m_saveTimer.isActive())
            m_saveTimer.start();
    };
    connect(&desk, &Desk::channelChanged, this, changed);
    connect(&desk, &Desk::masterChanged, this, changed);
    connect(&desk, &Desk::modeChanged, this, changed);
    connect(&desk, &Desk::blackoutChanged, this, changed);
}

void LampMemory::flush()
{
    if (m_saveTimer.isActive()) {
        m_saveTimer.stop();
        save();
    }
}

void LampMemory::save()
{
    if (!m_desk)
        return;
    QString error;
    QSaveFile file(m_path);
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()))
        error = tr("the folder could not be made");
    else if (!file.open(QIODevice::WriteOnly))
        error = file.errorString();
    else if (file.write(toText(m_port, m_desk->state())) < 0 || !file.commit())
        error = file.errorString();
    if (error.isEmpty()) {
        m_failing = false;
        return;
    }
    if (std::exchange(m_failing, true))
        return;
    Q_EMIT failed(tr("What the board on %1 shows could not be kept in %2: %3. The panel "
                     "carries on; at its next start it will show every level at 0.")
                      .arg(m_port, m_path, error));
}
