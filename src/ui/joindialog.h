#pragma once

#include "ui/qrcodewidget.h"

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;

// How a phone joins the web remote: the code of the page's address with its access token,
// the address and the token to type in by hand, and a button that renews the token, which
// drops every page that joined with the old one. What makes the code and the token is the
// caller's.
class JoinDialog : public QDialog
{
    Q_OBJECT

public:
    using Encoder = std::function<QrCodeWidget::Modules(const QByteArray &text)>;

    // address: "http://HOST:PORT/#t=TOKEN".
    JoinDialog(const QString &address, Encoder encoder, QWidget *parent = nullptr);

    void setAddress(const QString &address);
    QString address() const { return m_address; }

Q_SIGNALS:
    // The operator confirmed a new token.
    void renewAsked();

private:
    void askRenew();

    Encoder m_encoder;
    QString m_address;
    QrCodeWidget *m_code = nullptr;
    QLabel *m_page = nullptr;
    QLabel *m_token = nullptr;
    QLabel *m_localOnly = nullptr;
};
