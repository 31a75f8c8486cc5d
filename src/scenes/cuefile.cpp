#include "cuefile.h"

#include "scenes/wholefile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace {

const QByteArray Header = "dimmer-panel cues";

QByteArray seconds(int tenths)
{
    return QByteArray::number(tenths / 10) + '.' + QByteArray::number(tenths % 10);
}

// "2.5" as tenths, or none.
std::optional<int> tenthsOf(const QByteArray &text, int highest)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || text.isEmpty() || !(value >= 0) || value * 10 > highest + 0.001)
        return std::nullopt;
    const long tenths = std::lround(value * 10);
    // One decimal at most: 2.55 is no time of a cue.
    if (std::abs(value * 10 - double(tenths)) > 0.001)
        return std::nullopt;
    return int(tenths);
}

} // namespace

CueFile::CueFile(const QString &path, CueList &cues, QObject *parent)
    : QObject(parent), m_cues(cues), m_path(path)
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(RetryMilliseconds);
    connect(&m_retry, &QTimer::timeout, this, &CueFile::save);
    read();
    connect(&m_cues, &CueList::changed, this, &CueFile::save);
}

void CueFile::flush()
{
    if (m_failing)
        save();
}

QByteArray CueFile::toText(const std::vector<Cue> &cues)
{
    QByteArray text = "# The cue list of dimmer-panel: one cue a line, the fields separated by "
                      "tabs:\n# number, up, down, wait, follow (seconds; - for none), the "
                      "eight levels, the label.\n";
    text += Header + ' ' + QByteArray::number(CueFile::Version) + '\n';
    for (const Cue &cue : cues) {
        QByteArrayList levels;
        for (const std::uint8_t level : cue.levels)
            levels << QByteArray::number(level);
        QByteArray label = cue.label.toUtf8();
        label.replace('\t', ' ').replace('\n', ' ').replace('\r', ' ');
        text += CueList::numberText(cue.number).toLatin1() + '\t' + seconds(cue.up) + '\t' +
                seconds(cue.down) + '\t' + seconds(cue.wait) + '\t' +
                (cue.follow ? seconds(*cue.follow) : QByteArray("-")) + '\t' + levels.join(' ') +
                '\t' + label + '\n';
    }
    return text;
}

std::optional<std::vector<Cue>> CueFile::fromText(const QByteArray &text, QString *why)
{
    const auto fail = [why](const QString &reason) {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    std::vector<Cue> cues;
    bool headed = false;
    int lineNumber = 0;
    for (const QByteArray &line : text.split('\n')) {
        ++lineNumber;
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (!headed) {
            if (!line.startsWith(Header + ' '))
                return fail(tr("it is not a cue list of the panel's"));
            bool ok = false;
            const int version = line.mid(Header.size() + 1).toInt(&ok);
            if (!ok || version < 1)
                return fail(tr("it is not a cue list of the panel's"));
            if (version > Version)
                return fail(tr("a newer version of the panel wrote it (version %1; this one "
                               "reads %2)")
                                .arg(version)
                                .arg(Version));
            headed = true;
            continue;
        }
        const QByteArrayList field = line.split('\t');
        const QByteArrayList levels = field.value(5).split(' ');
        Cue cue;
        const auto number = tenthsOf(field.value(0), CueList::HighestNumber);
        const auto up = tenthsOf(field.value(1), CueList::LongestTime);
        const auto down = tenthsOf(field.value(2), CueList::LongestTime);
        const auto wait = tenthsOf(field.value(3), CueList::LongestTime);
        const auto follow = field.value(4) == "-" ? std::optional<int>(-1)
                                                  : tenthsOf(field.value(4), CueList::LongestTime);
        bool levelsFit = levels.size() == Board::ChannelCount;
        for (int k = 0; levelsFit && k < Board::ChannelCount; ++k) {
            bool ok = false;
            const int level = levels[k].toInt(&ok);
            levelsFit = ok && level >= Board::Off && level <= Board::FullOn;
            cue.levels[std::size_t(k)] = std::uint8_t(level);
        }
        if (field.size() != 7 || !number || !up || !down || !wait || !follow || !levelsFit ||
            *number < CueList::LowestNumber)
            return fail(tr("line %1 is no cue as the panel writes it").arg(lineNumber));
        cue.number = *number;
        cue.up = *up;
        cue.down = *down;
        cue.wait = *wait;
        if (*follow >= 0)
            cue.follow = *follow;
        cue.label = QString::fromUtf8(field.value(6));
        if (!cues.empty() && cues.back().number >= cue.number)
            return fail(tr("line %1 is out of the order of the cues' numbers").arg(lineNumber));
        cues.push_back(cue);
    }
    if (!headed)
        return fail(tr("it is not a cue list of the panel's"));
    return cues;
}

void CueFile::read()
{
    QFile file(m_path);
    const QFileInfo info(m_path);
    if (!info.exists() && !info.isSymLink())
        return;
    QString why;
    std::optional<std::vector<Cue>> cues;
    if (!info.isFile())
        why = tr("it is not a plain file");
    else if (info.size() > LargestFile)
        why = tr("it holds %1 bytes, far more than any cue list").arg(info.size());
    else if (!file.open(QIODevice::ReadOnly))
        why = file.errorString();
    else
        cues = fromText(file.readAll(), &why);
    if (cues) {
        m_cues.replaceAll(*cues);
        return;
    }
    // Kept whole under a name that takes nothing's place, so that nothing in it is lost.
    const QString aside = m_path + QStringLiteral(".set-aside-") +
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    if (QFile::rename(m_path, aside)) {
        m_problem = tr("The cue list %1 could not be read: %2. It was moved to %3, and the "
                       "cue list starts empty.")
                        .arg(m_path, why, aside);
        return;
    }
    m_mayWrite = false;
    m_problem = tr("The cue list %1 could not be read: %2. It could not be moved aside either, "
                   "so the panel will not write over it: cues recorded now are not kept.")
                    .arg(m_path, why);
}

void CueFile::save()
{
    if (!m_mayWrite)
        return;
    QString error;
    if (WholeFile::replace(m_path, toText(m_cues.cues()), &error)) {
        m_retry.stop();
        if (std::exchange(m_failing, false))
            Q_EMIT keepingChanged(QString());
        return;
    }
    m_retry.start();
    if (!std::exchange(m_failing, true))
        Q_EMIT keepingChanged(tr("The cue list could not be kept in %1: %2.").arg(m_path, error));
}
