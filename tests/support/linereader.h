#pragma once

#include "protocol/linerate.h"

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// The far side of a pseudo-terminal as the board's UART is: a thread that takes the bytes
// from the master one byte time (10 bits at 9600 baud) apart, never faster, and notes when
// the last bit of each would have arrived. Bytes that are left waiting stay in the kernel,
// as they stay in the sender's UART on a real line.
class LineReader
{
public:
    using Clock = std::chrono::steady_clock;

    struct Arrival
    {
        std::uint8_t byte;
        Clock::time_point at;
    };

    // Reads masterFd (non-blocking) from now until destroyed.
    explicit LineReader(int masterFd);
    ~LineReader();
    LineReader(const LineReader &) = delete;
    LineReader &operator=(const LineReader &) = delete;

    QByteArray bytes() const;
    std::vector<Arrival> arrivals() const;
    qsizetype count() const;

private:
    void run();

    int m_master;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<Arrival> m_arrivals;
    std::thread m_thread;
};
