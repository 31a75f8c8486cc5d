#include "pagesocket.h"

#include <QTcpSocket>
#include <QtEndian>

#include <array>
#include <utility>

namespace {

enum Opcode : quint8 {
    Text = 0x1,
    Close = 0x8,
    Ping = 0x9,
    Pong = 0xA,
};

} // namespace

PageSocket::PageSocket(QTcpSocket *socket, qsizetype largestMessage, QObject *parent)
    : QObject(parent), m_socket(socket), m_reader(largestMessage)
{
    socket->setParent(this);
    socket->setReadBufferSize(LargestUnread);
    connect(socket, &QTcpSocket::readyRead, this, &PageSocket::read);
    connect(socket, &QTcpSocket::bytesWritten, this, &PageSocket::bytesWritten);
    connect(socket, &QTcpSocket::disconnected, this, [this] {
        m_closingTimer.stop();
        if (!std::exchange(m_ended, true))
            Q_EMIT ended();
    });
    m_closingTimer.setSingleShot(true);
    connect(&m_closingTimer, &QTimer::timeout, this, &PageSocket::cut);
    // Frames sent right behind the opening are already here.
    if (socket->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &PageSocket::read, Qt::QueuedConnection);
}

qint64 PageSocket::bytesToWrite() const { return m_socket->bytesToWrite(); }

void PageSocket::sendText(const QByteArray &utf8)
{
    if (!m_closing)
        write(Text, utf8);
}

void PageSocket::close(quint16 code, const QByteArray &reason)
{
    if (m_closing)
        return;
    closeFrame(code, reason);
    m_closing = true;
    // The page answers with its own close; whatever happens, the connection ends soon.
    m_closingTimer.start(ClosingTime);
}

void PageSocket::read()
{
    m_reader.add(m_socket->readAll());
    while (const std::optional<FrameReader::Event> event = m_reader.next()) {
        switch (event->kind) {
        case FrameReader::Kind::Text:
            if (!m_closing)
                Q_EMIT textReceived(event->payload);
            break;
        case FrameReader::Kind::Binary:
            if (!m_closing)
                Q_EMIT binaryReceived();
            break;
        case FrameReader::Kind::Ping:
            // The RFC lets a pong answer only the last of several pings.
            if (!m_closing && m_pings.take(MessageRate::Clock::now()) &&
                bytesToWrite() <= MostUnsentForPong)
                write(Pong, event->payload);
            break;
        case FrameReader::Kind::Pong:
            break;
        case FrameReader::Kind::Close:
            // The page's close, answered with its own code; or the answer to the panel's.
            if (!m_closing)
                closeFrame(event->code == FrameReader::NoStatus ? 0 : event->code, {});
            finish();
            break;
        case FrameReader::Kind::Failed:
            if (!m_closing) {
                closeFrame(event->code, {});
                Q_EMIT failed(event->code);
            }
            finish();
            break;
        }
    }
}

void PageSocket::write(quint8 opcode, const QByteArray &payload)
{
    if (m_ended)
        return;
    // The panel's frames go unmasked, as a server's must.
    QByteArray frame(1, char(0x80 | opcode));
    const qsizetype length = payload.size();
    if (length < 126) {
        frame += char(length);
    } else if (length <= 0xFFFF) {
        frame += char(126);
        std::array<uchar, 2> size{};
        qToBigEndian<quint16>(quint16(length), size.data());
        frame.append(reinterpret_cast<const char *>(size.data()), 2);
    } else {
        frame += char(127);
        std::array<uchar, 8> size{};
        qToBigEndian<quint64>(quint64(length), size.data());
        frame.append(reinterpret_cast<const char *>(size.data()), 8);
    }
    m_socket->write(frame + payload);
    if (m_socket->bytesToWrite() > LargestUnsent)
        cut();
}

void PageSocket::closeFrame(quint16 code, const QByteArray &reason)
{
    QByteArray payload;
    if (code != 0) {
        std::array<uchar, 2> bytes{};
        qToBigEndian<quint16>(code, bytes.data());
        payload = QByteArray(reinterpret_cast<const char *>(bytes.data()), 2) + reason;
    }
    write(Close, payload);
}

void PageSocket::finish()
{
    // The server ends the TCP connection once the close has gone both ways; a page that
    // does not take what is left is cut after ClosingTime.
    m_closing = true;
    m_socket->disconnectFromHost();
    if (m_socket->state() != QAbstractSocket::UnconnectedState && !m_closingTimer.isActive())
        m_closingTimer.start(ClosingTime);
}

void PageSocket::cut()
{
    m_closing = true;
    m_closingTimer.stop();
    m_socket->abort();
    // A socket already closed says nothing more.
    if (!std::exchange(m_ended, true))
        Q_EMIT ended();
}
