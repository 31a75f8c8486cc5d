#pragma once

#include "remote/oscendpoint.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <functional>
#include <memory>

// The UDP socket of remote control, read in batches. Waking up for a datagram costs far
// more than reading it, so the port waits a moment after the first datagram arrives and
// then takes every one that came meanwhile with one system call: a flood of thousands a
// second costs a few wake-ups a frame, not one per datagram.
class DatagramPort : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(QByteArrayView datagram, const OscEndpoint &sender)>;

    explicit DatagramPort(QObject *parent = nullptr);
    ~DatagramPort() override;

    // Binds the port for this program alone; false with the system's reason when the
    // address or port cannot be had.
    bool bind(const OscEndpoint &at, QString *reason);
    bool isBound() const { return m_socket >= 0; }
    OscEndpoint localEndpoint() const { return m_local; }

    // Handed every datagram that arrives, in order, a moment after the first of a batch.
    void setHandler(Handler handler) { m_handler = std::move(handler); }

    // Sends at once; what the system cannot take now is not retried.
    void send(const QByteArray &datagram, const OscEndpoint &to);

    // Reads and hands on what waits now.
    void readWaiting();

private:
    void onReadable();

    int m_socket = -1;
    OscEndpoint m_local;
    std::unique_ptr<QSocketNotifier> m_notifier;
    Handler m_handler;
    bool m_waiting = false;
};
