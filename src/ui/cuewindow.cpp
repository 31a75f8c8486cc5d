#include "cuewindow.h"

#include "control/cuelist.h"
#include "control/desk.h"
#include "ui/panelkeys.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int TenthsPerSecond = 10;

QString seconds(int tenths) { return QString::number(tenths / double(TenthsPerSecond), 'f', 1); }

// A time typed in seconds, with one decimal at most; empty is none where none is allowed.
std::optional<int> tenthsTyped(const QString &text, int highest)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    const long tenths = std::lround(value * TenthsPerSecond);
    // Written so that NaN and infinity fail it too.
    if (!ok || !(value >= 0 && value <= highest) || tenths > highest ||
        std::abs(value * TenthsPerSecond - double(tenths)) > 1e-6)
        return std::nullopt;
    return int(tenths);
}

} // namespace

CueWindow::CueWindow(Desk &desk, CueList &cues, QWidget *panel)
    : QDialog(panel, Qt::Window), m_desk(desk), m_cues(cues)
{
    setObjectName(QStringLiteral("CueWindow"));
    setWindowTitle(tr("Cue list"));
    setModal(false);
    resize(640, 420);

    auto *layout = new QVBoxLayout(this);
    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("CueState"));
    m_state->setTextFormat(Qt::PlainText);
    QFont bigger = m_state->font();
    bigger.setPointSizeF(bigger.pointSizeF() * 1.3);
    bigger.setBold(true);
    m_state->setFont(bigger);
    layout->addWidget(m_state);

    m_table = new QTableWidget(0, ColumnCount, this);
    m_table->setObjectName(QStringLiteral("Cues"));
    m_table->setHorizontalHeaderLabels({QString(), tr("Cue"), tr("Label"), tr("Up s"),
                                        tr("Down s"), tr("Wait s"), tr("Follow s")});
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->horizontalHeader()->setSectionResizeMode(Label, QHeaderView::Stretch);
    for (const int column : {Number, Up, Down, Wait, Follow})
        m_table->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    m_table->setColumnWidth(State, m_table->fontMetrics().horizontalAdvance(tr("standby")) + 16);
    m_table->setToolTip(tr("Double-click a cue's number, label or time to change it; an empty "
                           "follow time means the next cue waits for GO. Double-click left of "
                           "the number to run that cue now."));
    layout->addWidget(m_table);

    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("CueProblem"));
    m_problem->setTextFormat(Qt::PlainText);
    m_problem->setStyleSheet(QStringLiteral("color: #c00000;"));
    layout->addWidget(m_problem);

    const auto button = [this](const QString &text, const char *name, const QString &tip) {
        auto *pushButton = new QPushButton(text, this);
        pushButton->setObjectName(QString::fromLatin1(name));
        pushButton->setToolTip(tip);
        pushButton->setAutoDefault(false);
        return pushButton;
    };
    auto *go = button(tr("GO"), "Go", tr("Start the standby cue, or resume a paused one (G)"));
    go->setMinimumHeight(48);
    go->setStyleSheet(QStringLiteral("QPushButton { font-weight: bold; font-size: 16pt; }"));
    auto *back = button(tr("BACK"), "Back", tr("Go to the cue before the current one (Shift+G)"));
    m_pause = button(tr("PAUSE"), "Pause", tr("Hold the running cue where it stands (P)"));
    auto *recordNew = button(tr("Record new"), "RecordNew",
                             tr("Record the current levels as a new cue after the last"));
    auto *recordOver = button(tr("Record over"), "RecordOver",
                              tr("Record the current levels over the selected cue"));
    auto *remove = button(tr("Delete"), "Delete", tr("Delete the selected cue"));
    auto *row = new QHBoxLayout;
    for (QPushButton *each : {go, back, m_pause})
        row->addWidget(each);
    row->addStretch();
    for (QPushButton *each : {recordNew, recordOver, remove})
        row->addWidget(each);
    layout->addLayout(row);

    connect(go, &QPushButton::clicked, this, [this] { act(int(Intent::Kind::Go)); });
    connect(back, &QPushButton::clicked, this, [this] { act(int(Intent::Kind::Back)); });
    connect(m_pause, &QPushButton::clicked, this, [this] { act(int(Intent::Kind::Pause)); });
    connect(recordNew, &QPushButton::clicked, this, &CueWindow::recordNew);
    connect(recordOver, &QPushButton::clicked, this, &CueWindow::recordOver);
    connect(remove, &QPushButton::clicked, this, &CueWindow::removeSelected);
    connect(m_table, &QTableWidget::itemChanged, this, &CueWindow::edited);
    // The mark's column takes no typing: a double-click there runs that cue, as a console's
    // "go to cue" does, and makes it the current one.
    connect(m_table, &QTableWidget::itemDoubleClicked, this, [this](QTableWidgetItem *item) {
        if (item->column() == State)
            act(int(Intent::Kind::GotoCue), item->data(Qt::UserRole).toInt());
    });
    connect(&m_cues, &CueList::changed, this, &CueWindow::fill);
    connect(&m_desk, &Desk::cueChanged, this, &CueWindow::showPlayback);
    // GO, BACK and PAUSE from the keys here too.
    PanelKeys::addCueKeys(this, m_desk);
    fill();
}

void CueWindow::act(int kind, int index)
{
    m_desk.apply(
        Intent{Intent::Kind(kind), index, 0, std::nullopt, Source{Source::Kind::Window, 0}});
}

void CueWindow::fill()
{
    m_filling = true;
    const int keep = selectedNumber();
    m_table->setRowCount(int(m_cues.cues().size()));
    int row = 0;
    for (const Cue &cue : m_cues.cues()) {
        const QStringList texts = {QString(),
                                   CueList::numberText(cue.number),
                                   cue.label,
                                   seconds(cue.up),
                                   seconds(cue.down),
                                   seconds(cue.wait),
                                   cue.follow ? seconds(*cue.follow) : QString()};
        for (int column = 0; column < ColumnCount; ++column) {
            auto *item = new QTableWidgetItem(texts[column]);
            item->setData(Qt::UserRole, cue.number);
            if (column == State)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            if (column >= Up || column == Number)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(row, column, item);
        }
        if (cue.number == keep)
            m_table->selectRow(row);
        ++row;
    }
    m_filling = false;
    showPlayback();
}

void CueWindow::showPlayback()
{
    const CuePlayback &playback = m_desk.cues();
    const int current = playback.current();
    const int standby = playback.standby(m_cues);
    m_filling = true;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        QTableWidgetItem *mark = m_table->item(row, State);
        const int number = mark->data(Qt::UserRole).toInt();
        QString text;
        QColor shade;
        // The panel's colours, pale enough to read the cue's text on: green what the levels
        // are (or go to), amber what GO starts next.
        if (number == current) {
            text = playback.isPaused()    ? tr("paused")
                   : playback.isRunning() ? tr("running")
                                          : tr("current");
            shade = QColor(0xc6, 0xea, 0xcf);
        } else if (number == standby) {
            text = tr("standby");
            shade = QColor(0xfc, 0xe7, 0xb0);
        }
        mark->setText(text);
        for (int column = 0; column < ColumnCount; ++column) {
            QTableWidgetItem *item = m_table->item(row, column);
            item->setBackground(shade.isValid() ? QBrush(shade) : QBrush());
            QFont font = item->font();
            font.setBold(shade.isValid());
            item->setFont(font);
        }
    }
    m_filling = false;
    const Cue *now = m_cues.find(current);
    const Cue *next = m_cues.find(standby);
    const auto name = [](const Cue *cue) {
        return cue ? CueList::numberText(cue->number) +
                         (cue->label.isEmpty() ? QString() : QStringLiteral(" ") + cue->label)
                   : QStringLiteral("—");
    };
    m_state->setText(tr("Current: %1    Standby: %2").arg(name(now), name(next)));
    m_pause->setEnabled((playback.isRunning() || playback.isFollowing()) && !playback.isPaused());
}

int CueWindow::selectedNumber() const
{
    const QList<QTableWidgetItem *> selected = m_table->selectedItems();
    return selected.isEmpty() ? 0 : selected.first()->data(Qt::UserRole).toInt();
}

void CueWindow::edited(QTableWidgetItem *item)
{
    if (m_filling)
        return;
    // The list's changes fill the table anew, and the item goes with it: read it first.
    const int number = item->data(Qt::UserRole).toInt();
    const int column = item->column();
    const QString text = item->text();
    const Cue *found = m_cues.find(number);
    if (!found)
        return;
    Cue cue = *found;
    bool ok = true;
    switch (column) {
    case Number:
        if (const auto to = tenthsTyped(text, CueList::HighestNumber); to && *to > 0)
            ok = *to == number || m_cues.renumber(number, *to);
        else
            ok = false;
        break;
    case Label:
        cue.label = text;
        break;
    case Up:
    case Down:
    case Wait:
        if (const auto tenths = tenthsTyped(text, CueList::LongestTime))
            (column == Up ? cue.up : column == Down ? cue.down : cue.wait) = *tenths;
        else
            ok = false;
        break;
    case Follow:
        if (text.trimmed().isEmpty())
            cue.follow.reset();
        else if (const auto tenths = tenthsTyped(text, CueList::LongestTime))
            cue.follow = *tenths;
        else
            ok = false;
        break;
    default:
        return;
    }
    m_problem->setText(ok ? QString()
                          : tr("\"%1\" is no number or time for this cue (numbers 0.1 to "
                               "9999.9, free; times 0 to 600 seconds, in tenths).")
                                .arg(text));
    if (ok && column != Number)
        ok = m_cues.record(cue);
    if (!ok)
        fill();
}

void CueWindow::recordNew()
{
    // Whole numbers by default, so that a cue can go between two later.
    const int last = m_cues.isEmpty() ? 0 : m_cues.cues().back().number;
    const int next = (last / 10 + 1) * 10;
    if (next > CueList::HighestNumber)
        return;
    m_desk.apply(
        Intent{Intent::Kind::RecordCue, next, 0, std::nullopt, Source{Source::Kind::Window, 0}});
}

void CueWindow::recordOver()
{
    const Cue *cue = m_cues.find(selectedNumber());
    if (!cue)
        return;
    m_desk.apply(Intent{Intent::Kind::RecordCue, cue->number, cue->up, cue->down,
                        Source{Source::Kind::Window, 0}});
}

void CueWindow::removeSelected()
{
    const int number = selectedNumber();
    if (number == 0)
        return;
    QMessageBox question(QMessageBox::Question, windowTitle(),
                         tr("Delete cue %1?").arg(CueList::numberText(number)),
                         QMessageBox::Yes | QMessageBox::No, this);
    question.setDefaultButton(QMessageBox::No);
    if (question.exec() == QMessageBox::Yes)
        m_cues.remove(number);
}
