#include "feedbackclients.h"

#include <algorithm>

namespace {

using Clock = FeedbackClients::Clock;

long long secondOf(Clock::time_point at)
{
    return std::chrono::duration_cast<std::chrono::seconds>(at.time_since_epoch()).count();
}

bool isLevel(int level) { return level >= Board::Off && level <= Board::FullOn; }

} // namespace

void FeedbackClients::Tally::add(Clock::time_point now)
{
    const long long second = secondOf(now);
    const std::size_t slot = std::size_t(second % (long long)Seconds);
    if (m_second[slot] != second) {
        m_second[slot] = second;
        m_counts[slot] = 0;
    }
    ++m_counts[slot];
}

int FeedbackClients::Tally::since(Clock::time_point now) const
{
    const long long second = secondOf(now);
    int total = 0;
    for (std::size_t slot = 0; slot < Seconds; ++slot) {
        if (second - m_second[slot] < (long long)Seconds)
            total += m_counts[slot];
    }
    return total;
}

FeedbackClients::Listener *FeedbackClients::find(const OscEndpoint &endpoint)
{
    const auto found = std::find_if(m_listeners.begin(), m_listeners.end(),
                                    [&](const Listener &l) { return l.endpoint == endpoint; });
    return found == m_listeners.end() ? nullptr : &*found;
}

const FeedbackClients::Listener *FeedbackClients::find(const OscEndpoint &endpoint) const
{
    return const_cast<FeedbackClients *>(this)->find(endpoint);
}

void FeedbackClients::addTarget(const OscEndpoint &target, const Levels &levels, Form form)
{
    if (Listener *known = find(target)) {
        known->named = true;
        known->form = form;
        return;
    }
    Listener listener;
    listener.endpoint = target;
    listener.named = true;
    listener.form = form;
    listener.shows = levels;
    const auto firstClient = std::find_if(m_listeners.begin(), m_listeners.end(),
                                          [](const Listener &l) { return !l.named; });
    m_listeners.insert(firstClient, listener);
}

bool FeedbackClients::isTarget(const OscEndpoint &endpoint) const
{
    const Listener *known = find(endpoint);
    return known && known->named;
}

void FeedbackClients::heard(const OscEndpoint &client, int address, int level,
                            const Levels &before, Clock::time_point now, std::optional<Form> form)
{
    forgetOld(now);
    Listener *listener = find(client);
    if (!listener) {
        const auto clients = std::count_if(m_listeners.begin(), m_listeners.end(),
                                           [](const Listener &l) { return !l.named; });
        if (std::size_t(clients) == MaximumClients) {
            const auto oldest = std::min_element(
                m_listeners.begin(), m_listeners.end(), [](const Listener &a, const Listener &b) {
                    return !a.named && (b.named || a.lastHeard < b.lastHeard);
                });
            m_listeners.erase(oldest);
        }
        Listener fresh;
        fresh.endpoint = client;
        fresh.shows = before;
        m_listeners.push_back(fresh);
        listener = &m_listeners.back();
    }
    listener->lastHeard = now;
    listener->messages.add(now);
    if (form && !listener->named)
        listener->form = *form;
    if (address >= 0 && address < AddressCount && isLevel(level))
        listener->shows[std::size_t(address)] = level;
}

bool FeedbackClients::isEcho(const OscEndpoint &client, int address, int level,
                             Clock::time_point now) const
{
    const Listener *listener = find(client);
    if (!listener || address < 0 || address >= AddressCount || !isLevel(level))
        return false;
    const Clock::time_point told = listener->toldAt[std::size_t(address)][std::size_t(level)];
    return told != Clock::time_point{} && now - told < EchoWindow;
}

void FeedbackClients::forgetOld(Clock::time_point now)
{
    std::erase_if(m_listeners,
                  [now](const Listener &l) { return !l.named && now - l.lastHeard > Lifetime; });
}

std::vector<FeedbackClients::Datagram> FeedbackClients::due(const Levels &levels,
                                                            Clock::time_point now, bool *rest)
{
    forgetOld(now);
    std::vector<Datagram> datagrams;
    bool waiting = false;
    for (Listener &listener : m_listeners) {
        const double elapsed = std::chrono::duration<double>(now - listener.allowedAt).count();
        listener.allowance =
            std::min<double>(MostPerSecond, listener.allowance + elapsed * MostPerSecond);
        listener.allowedAt = now;
        int byRate = int(listener.allowance);
        int byCredit = listener.named ? MostPerSecond
                                      : DatagramsPerMessage * listener.messages.since(now) -
                                            listener.told.since(now);
        // Channels first, then the master; a round cut short by the rate goes on where it
        // stopped, so that no address waits for ever.
        int next = listener.firstAddress;
        listener.firstAddress = 0;
        for (int k = 0; k < AddressCount; ++k) {
            const int address = (next + k) % AddressCount;
            const int level = levels[std::size_t(address)];
            if (listener.shows[std::size_t(address)] == level)
                continue;
            if (byCredit <= 0)
                break;
            if (byRate <= 0) {
                listener.firstAddress = address;
                waiting = true;
                break;
            }
            datagrams.push_back({listener.endpoint, address, level, listener.form});
            listener.shows[std::size_t(address)] = level;
            if (isLevel(level))
                listener.toldAt[std::size_t(address)][std::size_t(level)] = now;
            listener.told.add(now);
            listener.allowance -= 1;
            --byRate;
            --byCredit;
        }
    }
    if (rest)
        *rest = waiting;
    return datagrams;
}

QList<OscEndpoint> FeedbackClients::current(Clock::time_point now)
{
    forgetOld(now);
    QList<OscEndpoint> endpoints;
    for (const Listener &listener : m_listeners)
        endpoints << listener.endpoint;
    return endpoints;
}
