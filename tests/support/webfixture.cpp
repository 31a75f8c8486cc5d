#include "webfixture.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

WebFixture::WebFixture()
{
    if (!server.loadToken(&m_failure) ||
        !server.listen(QHostAddress(QHostAddress::LocalHost), 0, {}, &m_failure))
        return;
    // As the panel does: every change of the desk reaches the server.
    connect(&f.desk, &Desk::channelChanged, &server, &WebServer::panelChanged);
    connect(&f.desk, &Desk::masterChanged, &server, &WebServer::panelChanged);
    connect(&f.desk, &Desk::modeChanged, &server, &WebServer::panelChanged);
    connect(&f.desk, &Desk::liveSceneChanged, &server, &WebServer::panelChanged);
    connect(&f.desk, &Desk::blackoutChanged, &server, &WebServer::panelChanged);
    connect(&f.desk, &Desk::fadeTimeChanged, &server, &WebServer::panelChanged);
}

std::unique_ptr<QWebSocket> WebFixture::page(const QByteArray &token)
{
    auto socket = std::make_unique<QWebSocket>(origin());
    QWebSocket *raw = socket.get();
    received.erase(raw);
    connect(raw, &QWebSocket::textMessageReceived, this, [this, raw](const QString &text) {
        received[raw] << QJsonDocument::fromJson(text.toUtf8()).object();
    });
    // Waited for by their signals, which end the wait as soon as they come.
    QSignalSpy connected(raw, &QWebSocket::connected);
    QSignalSpy told(raw, &QWebSocket::textMessageReceived);
    socket->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(server.port())));
    if (!connected.wait())
        return socket;
    if (!token.isEmpty()) {
        raw->sendTextMessage(QStringLiteral(R"({"hello":"%1"})").arg(QString::fromLatin1(token)));
        if (!told.wait())
            qWarning("A page that gave the token was sent nothing.");
    }
    return socket;
}

std::unique_ptr<QTcpSocket> WebFixture::connectFrom(int n, quint16 port)
{
    auto socket = std::make_unique<QTcpSocket>();
    socket->bind(QHostAddress(quint32(0x7f000002 + n)));
    socket->connectToHost(QHostAddress::LocalHost, port);
    return socket;
}

std::unique_ptr<QTcpSocket> WebFixture::ask(const QByteArray &request, QByteArray *answer)
{
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QHostAddress::LocalHost, server.port());
    socket->write(QByteArray(request).replace("PORT", QByteArray::number(server.port())));
    QTcpSocket *raw = socket.get();
    if (!QTest::qWaitFor([raw, answer] {
            *answer += raw->readAll();
            return answer->contains("\r\n\r\n");
        }))
        qWarning("No answer to %s", request.constData());
    return socket;
}

QJsonObject WebFixture::lastState(QWebSocket &socket)
{
    const QList<QJsonObject> &all = received[&socket];
    return all.isEmpty() ? QJsonObject() : all.last().value(QStringLiteral("state")).toObject();
}
