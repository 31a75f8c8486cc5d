#include "joindialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QUrl>
#include <QVBoxLayout>

JoinDialog::JoinDialog(const QString &address, Encoder encoder, QWidget *parent)
    : QDialog(parent), m_encoder(std::move(encoder))
{
    setObjectName(QStringLiteral("JoinDialog"));
    setWindowTitle(tr("Phone remote"));
    auto *layout = new QVBoxLayout(this);
    auto *how = new QLabel(tr("Scan the code with the phone's camera and open the page. The "
                              "phone must be on a network that reaches this computer."),
                           this);
    how->setWordWrap(true);
    m_code = new QrCodeWidget(this);
    m_code->setObjectName(QStringLiteral("Code"));
    m_page = new QLabel(this);
    m_page->setObjectName(QStringLiteral("PageAddress"));
    m_token = new QLabel(this);
    m_token->setObjectName(QStringLiteral("Token"));
    for (QLabel *label : {m_page, m_token}) {
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    m_token->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_localOnly = new QLabel(tr("This address is reachable from this computer only. To join "
                                "from a phone, start the panel with --web ADDRESS:PORT, naming "
                                "its address on the phone's network."),
                             this);
    m_localOnly->setObjectName(QStringLiteral("LocalOnly"));
    m_localOnly->setWordWrap(true);
    m_localOnly->setStyleSheet(QStringLiteral("color: #a06400;"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *renew = buttons->addButton(tr("New token"), QDialogButtonBox::ResetRole);
    renew->setObjectName(QStringLiteral("Renew"));
    renew->setToolTip(tr("Make a new access token: every phone that joined with this one is "
                         "dropped and must scan the new code."));
    layout->addWidget(how);
    layout->addWidget(m_code, 1);
    layout->addWidget(m_page);
    layout->addWidget(m_token);
    layout->addWidget(m_localOnly);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(renew, &QPushButton::clicked, this, &JoinDialog::askRenew);
    setAddress(address);
}

void JoinDialog::setAddress(const QString &address)
{
    m_address = address;
    const QUrl url(address);
    m_code->setModules(m_encoder ? m_encoder(address.toUtf8()) : QrCodeWidget::Modules{});
    m_page->setText(tr("Page: %1").arg(url.toString(QUrl::RemoveFragment)));
    QString token = url.fragment();
    if (token.startsWith(QLatin1String("t=")))
        token.remove(0, 2);
    // In groups of four, as a person reads it out and types it; the page takes it so.
    QStringList groups;
    for (qsizetype at = 0; at < token.size(); at += 4)
        groups << token.mid(at, 4);
    m_token->setText(tr("Access token: %1").arg(groups.join(QLatin1Char(' '))));
    const QString host = url.host();
    m_localOnly->setVisible(host.startsWith(QLatin1String("127.")) ||
                            host == QLatin1String("::1") || host == QLatin1String("localhost"));
}

void JoinDialog::askRenew()
{
    const auto answer = QMessageBox::question(
        this, tr("New token"),
        tr("Make a new access token? Every phone that joined is dropped until it scans the new "
           "code."),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes)
        Q_EMIT renewAsked();
}
