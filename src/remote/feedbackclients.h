#pragma once

#include "remote/oscendpoint.h"

#include <QList>

#include <chrono>
#include <vector>

// Where the panel tells its levels: every client heard from within the last ten minutes,
// and the targets named at start. A client is forgotten lazily, when the targets are
// next asked for; the clock is the caller's, and monotonic.
class FeedbackClients
{
public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::chrono::minutes Lifetime{10};
    // Senders beyond this many push out the one heard from longest ago, so that a flood
    // of senders cannot grow the list without end.
    static constexpr std::size_t MaximumClients = 64;

    void addTarget(const OscEndpoint &target);
    void heard(const OscEndpoint &client, Clock::time_point now);

    // The targets, then the clients heard from within the lifetime, each once.
    QList<OscEndpoint> current(Clock::time_point now);

private:
    struct Client
    {
        OscEndpoint endpoint;
        Clock::time_point lastHeard;
    };

    QList<OscEndpoint> m_targets;
    std::vector<Client> m_clients;
};
