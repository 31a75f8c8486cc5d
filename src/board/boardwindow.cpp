#include "boardwindow.h"

#include "board/eventlog.h"
#include "board/lampwidget.h"
#include "board/lineplug.h"
#include "board/virtualboard.h"

#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QPalette darkPalette(QPalette palette)
{
    palette.setColor(QPalette::Window, QColor(30, 32, 38));
    palette.setColor(QPalette::WindowText, QColor(222, 226, 232));
    palette.setColor(QPalette::Base, QColor(20, 22, 27));
    palette.setColor(QPalette::AlternateBase, QColor(27, 29, 35));
    palette.setColor(QPalette::Text, QColor(222, 226, 232));
    palette.setColor(QPalette::PlaceholderText, QColor(110, 116, 126));
    palette.setColor(QPalette::Button, QColor(44, 47, 55));
    palette.setColor(QPalette::ButtonText, QColor(222, 226, 232));
    palette.setColor(QPalette::Highlight, QColor(120, 100, 30));
    palette.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    return palette;
}

QGroupBox *group(const QString &title, QWidget *content, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    auto *layout = new QVBoxLayout(box);
    content->setParent(box);
    layout->addWidget(content);
    return box;
}

} // namespace

BoardWindow::BoardWindow(const VirtualBoard &board, const QString &devicePath, QWidget *parent)
    : QWidget(parent), m_board(board)
{
    setWindowTitle(tr("Virtual Dimmer Board"));
    setPalette(darkPalette(palette()));
    setAutoFillBackground(true);

    m_device = new QLabel(this);
    m_device->setObjectName(QStringLiteral("device"));
    m_device->setTextFormat(Qt::PlainText);
    m_device->setTextInteractionFlags(Qt::TextSelectableByMouse);
    showDevice(devicePath);
    m_counters = new QLabel(this);
    m_counters->setObjectName(QStringLiteral("counters"));
    m_counters->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_header = new QHBoxLayout;
    m_header->addWidget(m_device);
    m_header->addStretch();
    m_header->addWidget(m_counters);

    m_log = new EventLog(this);
    m_log->setObjectName(QStringLiteral("log"));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(m_header);
    layout->addWidget(createLampRow());
    layout->addWidget(group(tr("Scenes"), createScenesTable(), this), 3);
    layout->addWidget(group(tr("Log"), m_log, this), 2);
    resize(920, 820);

    connect(&board, &VirtualBoard::eventDecoded, this, &BoardWindow::onEvent);
    showLevels();
    showScenes();
    showCounters();
}

BoardWindow::BoardWindow(const VirtualBoard &board, LinePlug &plug, QWidget *parent)
    : BoardWindow(board, plug.devicePath(), parent)
{
    addUnplugButton(plug);
}

void BoardWindow::addUnplugButton(LinePlug &plug)
{
    m_unplug = new QPushButton(tr("Unplug the Line"), this);
    m_unplug->setObjectName(QStringLiteral("unplug"));
    m_unplug->setCheckable(true);
    m_unplug->setShortcut(Qt::Key_U);
    m_unplug->setToolTip(tr("As a USB serial adapter pulled out: the line at the panel's end "
                            "goes at once. Press again to plug it back in, as a new device "
                            "(U)"));
    m_header->insertWidget(1, m_unplug);

    connect(m_unplug, &QPushButton::toggled, this, [this, &plug](bool pulledOut) {
        plug.setPluggedIn(!pulledOut);
        // A plug-in that failed leaves the line out, and the button must say so.
        showDevice(plug.devicePath());
    });
    connect(&plug, &LinePlug::pluggedIn, this, &BoardWindow::showDevice);
    connect(&plug, &LinePlug::unplugged, this, [this] { showDevice(QString()); });
    showDevice(plug.devicePath());
}

void BoardWindow::showDevice(const QString &devicePath)
{
    const bool pulledOut = devicePath.isEmpty();
    m_device->setText(pulledOut ? tr("Device: the line is pulled out")
                                : tr("Device: %1").arg(devicePath));
    // The dark palette barely shows a button held down: a line that is out must be seen
    // from across the room, so both the name and the button turn red. A palette with one
    // role set takes every other role from the window.
    QPalette device;
    if (pulledOut)
        device.setColor(QPalette::WindowText, QColor(255, 107, 107));
    m_device->setPalette(device);
    if (!m_unplug)
        return;
    const QSignalBlocker blocker(m_unplug);
    m_unplug->setChecked(pulledOut);
    QPalette button;
    if (pulledOut)
        button.setColor(QPalette::Button, QColor(130, 40, 40));
    m_unplug->setPalette(button);
}

QWidget *BoardWindow::createLampRow()
{
    auto *row = new QFrame(this);
    row->setFrameShape(QFrame::StyledPanel);
    auto *layout = new QHBoxLayout(row);
    for (std::size_t channel = 0; channel < m_lamps.size(); ++channel) {
        m_lamps[channel] = new LampWidget(EventLog::channelName(int(channel)), row);
        m_lamps[channel]->setObjectName(QStringLiteral("lamp_%1").arg(channel));
        layout->addWidget(m_lamps[channel]);
    }
    auto *divider = new QFrame(row);
    divider->setFrameShape(QFrame::VLine);
    layout->addWidget(divider);
    m_master = new LampWidget(EventLog::masterName(), row);
    m_master->setObjectName(QStringLiteral("masterLamp"));
    m_master->setRingColor(QColor(230, 140, 40));
    layout->addWidget(m_master);

    auto *modeBox = new QWidget(row);
    auto *modeLayout = new QVBoxLayout(modeBox);
    auto *modeCaption = new QLabel(tr("Mode"), modeBox);
    modeCaption->setAlignment(Qt::AlignCenter);
    m_mode = new QLabel(modeBox);
    m_mode->setObjectName(QStringLiteral("mode"));
    m_mode->setAlignment(Qt::AlignCenter);
    QFont modeFont = m_mode->font();
    modeFont.setPointSizeF(modeFont.pointSizeF() * 2.6);
    modeFont.setBold(true);
    m_mode->setFont(modeFont);
    m_mode->setMinimumWidth(72);
    modeLayout->addWidget(modeCaption);
    modeLayout->addWidget(m_mode, 1);
    layout->addWidget(modeBox);
    return row;
}

QWidget *BoardWindow::createScenesTable()
{
    m_scenes = new QTableWidget(int(SceneDownloadFrame::SceneCount), int(m_lamps.size()), this);
    m_scenes->setObjectName(QStringLiteral("scenes"));
    m_scenes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_scenes->setSelectionMode(QAbstractItemView::NoSelection);
    m_scenes->setFocusPolicy(Qt::NoFocus);
    QStringList columns;
    for (std::size_t channel = 0; channel < m_lamps.size(); ++channel)
        columns << EventLog::channelName(int(channel));
    m_scenes->setHorizontalHeaderLabels(columns);
    QStringList rows;
    for (std::size_t scene = 1; scene <= SceneDownloadFrame::SceneCount; ++scene)
        rows << tr("Scene %1").arg(scene);
    m_scenes->setVerticalHeaderLabels(rows);
    m_scenes->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_scenes->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_scenes->verticalHeader()->setMinimumSectionSize(18);
    for (int row = 0; row < m_scenes->rowCount(); ++row) {
        for (int column = 0; column < m_scenes->columnCount(); ++column) {
            auto *item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            m_scenes->setItem(row, column, item);
        }
    }
    return m_scenes;
}

void BoardWindow::onEvent(const BoardDecoder::Event &event)
{
    if (std::holds_alternative<BoardDecoder::Packet>(event))
        showLevels();
    else if (std::holds_alternative<BoardDecoder::Frame>(event))
        showScenes();
    m_log->append(event);
    showCounters();
}

void BoardWindow::showLevels()
{
    const BoardState &state = m_board.state();
    for (std::size_t channel = 0; channel < m_lamps.size(); ++channel)
        m_lamps[channel]->setLevel(state.level(int(channel)));
    m_master->setLevel(state.master());
    m_mode->setText(state.mode() ? QString::number(*state.mode()) : QStringLiteral("—"));
}

void BoardWindow::showScenes()
{
    const auto &scenes = m_board.state().scenes();
    for (int row = 0; row < m_scenes->rowCount(); ++row) {
        for (int column = 0; column < m_scenes->columnCount(); ++column) {
            QTableWidgetItem *item = m_scenes->item(row, column);
            if (!scenes) {
                item->setText(QStringLiteral("—"));
                continue;
            }
            const int level = (*scenes)[std::size_t(row)][std::size_t(column)];
            item->setText(QString::number(level));
            // A scene reads like the lamp row it would light: the cell glows dimly.
            QColor shade = LampWidget::colorAt(std::min(level, LampWidget::MaximumLevel));
            shade.setAlphaF(0.45);
            item->setBackground(shade);
            item->setForeground(level > LampWidget::MaximumLevel ? QColor(255, 107, 107)
                                                                 : QColor(240, 240, 240));
        }
    }
}

void BoardWindow::showCounters()
{
    const BoardDecoder &decoder = m_board.decoder();
    m_counters->setText(tr("Bytes: %1 received, %2 decoded, %3 dropped")
                            .arg(decoder.bytesFed())
                            .arg(decoder.bytesDecoded())
                            .arg(decoder.bytesDropped()));
}
