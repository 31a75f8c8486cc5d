#include "portdialog.h"

#include "link/portnames.h"
#include "link/seriallink.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { Device, Description, Manufacturer, SerialNumber, ById, ColumnCount };

// Refreshed this often, so that a plugged adapter shows within a second.
constexpr int RefreshMilliseconds = 1000;

} // namespace

PortDialog::PortDialog(SerialLink &link, const QString &lastTried, const QString &why,
                       QWidget *parent)
    : QDialog(parent), m_link(link)
{
    setObjectName(QStringLiteral("PortDialog"));
    setWindowTitle(tr("The dimmer board's serial port"));

    auto *intro = new QLabel(tr("Choose the serial port of the dimmer board, or type the path "
                                "of its device, and press Open."),
                             this);
    intro->setWordWrap(true);
    m_problem = new QLabel(this);
    // It names paths and the system's errors: plain text, never markup.
    m_problem->setTextFormat(Qt::PlainText);
    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->setWordWrap(true);
    m_problem->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_problem->setStyleSheet(QStringLiteral("color: #b00020"));

    m_ports = new QTreeWidget(this);
    m_ports->setObjectName(QStringLiteral("ports"));
    m_ports->setColumnCount(ColumnCount);
    m_ports->setHeaderLabels({tr("Device"), tr("Description"), tr("Manufacturer"),
                              tr("Serial number"), tr("Name in /dev/serial/by-id")});
    m_ports->setRootIsDecorated(false);
    m_ports->setAllColumnsShowFocus(true);
    m_ports->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_ports->setMinimumSize(640, 160);

    auto *pathLabel = new QLabel(tr("&Device:"), this);
    m_path = new QLineEdit(lastTried, this);
    m_path->setObjectName(QStringLiteral("path"));
    m_path->setPlaceholderText(tr("for example /dev/ttyUSB0 or /dev/pts/3"));
    m_path->setClearButtonEnabled(true);
    pathLabel->setBuddy(m_path);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    QPushButton *open = buttons->button(QDialogButtonBox::Open);
    open->setDefault(true);

    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(pathLabel);
    pathRow->addWidget(m_path, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_problem);
    layout->addWidget(m_ports, 1);
    layout->addLayout(pathRow);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &PortDialog::tryOpen);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_ports, &QTreeWidget::currentItemChanged, this, &PortDialog::onRowChosen);
    connect(m_ports, &QTreeWidget::itemActivated, this, &PortDialog::tryOpen);
    connect(&m_refresh, &QTimer::timeout, this, &PortDialog::refresh);

    showProblem(why);
    refresh();
    m_refresh.start(RefreshMilliseconds);
    // Typing a path and pressing Enter is the quickest way, and the only one for a
    // device the system does not list.
    m_path->setFocus();
    m_path->selectAll();
}

void PortDialog::refresh()
{
    QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    QStringList listed;
    for (const QSerialPortInfo &port : ports)
        listed << port.systemLocation();
    if (listed == m_listed)
        return;
    m_listed = listed;
    const QString chosen =
        m_ports->currentItem() ? m_ports->currentItem()->text(Device) : QString();
    const QSignalBlocker quiet(m_ports);
    m_ports->clear();
    for (const QSerialPortInfo &port : ports) {
        auto *row = new QTreeWidgetItem(m_ports);
        row->setText(Device, port.systemLocation());
        row->setText(Description, port.description());
        row->setText(Manufacturer, port.manufacturer());
        row->setText(SerialNumber, port.serialNumber());
        row->setText(ById, PortNames::byId(port.systemLocation()));
        if (row->text(Device) == chosen)
            m_ports->setCurrentItem(row);
    }
}

void PortDialog::onRowChosen(QTreeWidgetItem *item)
{
    if (!item)
        return;
    // The stable name where there is one, so that the port is remembered by it.
    const QString byId = item->text(ById);
    m_path->setText(byId.isEmpty() ? item->text(Device) : byId);
}

void PortDialog::tryOpen()
{
    const QString device = m_path->text().trimmed();
    if (device.isEmpty()) {
        showProblem(tr("Choose a port in the list or type the path of a device."));
        m_path->setFocus();
        return;
    }
    QString error;
    if (!m_link.open(device, &error)) {
        showProblem(error);
        m_path->setFocus();
        m_path->selectAll();
        return;
    }
    m_opened = device;
    accept();
}

void PortDialog::showProblem(const QString &message)
{
    m_problem->setText(message);
    m_problem->setVisible(!message.isEmpty());
}
