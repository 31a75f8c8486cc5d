#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

// One UDP port of the lighting network on every IPv4 address, shared (SO_REUSEADDR) so that
// a monitor or another node on the same computer keeps working beside the panel; with, for
// sACN, the multicast groups joined on the interfaces. Read in batches, as remote control's
// port is: a wake-up costs far more than a datagram, and a console refreshes a universe up
// to 44 times a second, perhaps several consoles at once.
class DmxSocket : public QObject
{
    Q_OBJECT

public:
    // Addresses in host order.
    struct Datagram
    {
        QByteArrayView bytes;
        std::uint32_t from = 0;
        std::uint16_t fromPort = 0;
        std::uint32_t to = 0; // the local address it came to, or the interface's for a group
    };
    using Handler = std::function<void(const Datagram &)>;

    explicit DmxSocket(QObject *parent = nullptr);
    ~DmxSocket() override;

    // False with the system's reason when the port cannot be had.
    bool bind(std::uint16_t port, QString *reason);
    // Joins group on the interface named, or on every one that is up and takes multicast,
    // the loopback included; the interfaces joined. False with why when none was.
    bool join(std::uint32_t group, const QString &interface, QString *reason);
    QStringList joined() const { return m_joined; }

    void setHandler(Handler handler) { m_handler = std::move(handler); }
    // Sends at once from the port, from the local address given; not retried.
    void send(const QByteArray &datagram, std::uint32_t to, std::uint16_t port,
              std::uint32_t from);

private:
    void onReadable();
    void readWaiting();

    int m_socket = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    Handler m_handler;
    QStringList m_joined;
    bool m_waiting = false;
};
