#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

// The web remote's access token: 128 random bits from the system's generator, written as
// 32 hex digits, kept in a file of its own in the state folder that only its owner may
// read, so that a phone that joined once still gets in after a restart. Whoever holds it
// controls the lights: it is never logged, and the file is never reached through a
// symbolic link.
class TokenStore
{
    Q_DECLARE_TR_FUNCTIONS(TokenStore)

public:
    static constexpr int Bytes = 16;

    explicit TokenStore(const QString &folder);

    // The kept token, made private to its owner, or a new one written when there is none
    // fit to use (absent, or not as written here). false, with why, when no token could be
    // read or written, or when the file is a symbolic link.
    bool load(QString *errorMessage);
    // A new token in place of the old one, written atomically.
    bool renew(QString *errorMessage);

    QByteArray token() const { return m_token; }
    QString path() const { return m_path; }
    // Whether text is the token, compared in constant time.
    bool matches(QByteArrayView text) const;

    static bool isWellFormed(QByteArrayView text);

private:
    bool write(const QByteArray &token, QString *errorMessage);
    bool refuseLink(QString *errorMessage) const;
    QString cannotKeep(const QString &why) const;

    QString m_path;
    QByteArray m_token;
};
