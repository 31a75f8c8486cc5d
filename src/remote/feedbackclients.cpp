#include "feedbackclients.h"

#include <algorithm>

void FeedbackClients::addTarget(const OscEndpoint &target)
{
    if (!m_targets.contains(target))
        m_targets << target;
}

void FeedbackClients::heard(const OscEndpoint &client, Clock::time_point now)
{
    const auto known = std::find_if(m_clients.begin(), m_clients.end(),
                                    [&](const Client &c) { return c.endpoint == client; });
    if (known != m_clients.end()) {
        known->lastHeard = now;
        return;
    }
    if (m_clients.size() == MaximumClients) {
        m_clients.erase(std::min_element(
            m_clients.begin(), m_clients.end(),
            [](const Client &a, const Client &b) { return a.lastHeard < b.lastHeard; }));
    }
    m_clients.push_back({client, now});
}

QList<OscEndpoint> FeedbackClients::current(Clock::time_point now)
{
    std::erase_if(m_clients, [now](const Client &c) { return now - c.lastHeard > Lifetime; });
    QList<OscEndpoint> targets = m_targets;
    for (const Client &client : m_clients) {
        if (!targets.contains(client.endpoint))
            targets << client.endpoint;
    }
    return targets;
}
