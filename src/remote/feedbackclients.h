#pragma once

#include "protocol/boardnumbers.h"
#include "remote/oscendpoint.h"

#include <QList>

#include <array>
#include <chrono>
#include <optional>
#include <vector>

// Who hears the panel's levels, and what each has been told. Every remote control whose
// message took effect within the last ten minutes is a client; the targets named at start
// hear everything. Each hears a level only when it differs from what it shows: what it was
// last told, or what it set itself. A remote UDP lets anyone forge, so the panel is no
// amplifier: a client hears at most a few datagrams for each one it sent in the last ten
// seconds (nine: all that one message can change), and nobody more than the line carries,
// 192 a second.
//
// A message that repeats a level the panel told that client within the last second is its
// echo (a remote control, or another panel, telling back what it was told), and is not
// taken: that rule, and not telling a client what it set itself, settle every loop of
// panels and remotes. The clock is the caller's, and monotonic.
//
// Each hears levels in the form it uses: a client whose last level was a float (a tablet's
// fader, 0.0..1.0) hears floats, one whose last level was an int hears ints 0..99, and one
// that sent no level yet hears ints. A target hears the form it was named with.
class FeedbackClients
{
public:
    using Clock = std::chrono::steady_clock;

    // A channel's address is its index, 0..7; the master's comes after them.
    static constexpr int MasterAddress = Board::ChannelCount;
    static constexpr int AddressCount = MasterAddress + 1;
    using Levels = std::array<int, AddressCount>;

    static constexpr std::chrono::minutes Lifetime{10};
    // Senders beyond this many push out the one heard from longest ago.
    static constexpr std::size_t MaximumClients = 64;
    // What a client may hear for each message of its in the last CreditMemory: as much as
    // one message can change, all nine levels (a master moves every channel).
    static constexpr int DatagramsPerMessage = AddressCount;
    static constexpr std::chrono::seconds CreditMemory{10};
    static constexpr int MostPerSecond = 192;
    static constexpr std::chrono::seconds EchoWindow{1};

    enum class Form {
        Int,   // 0..99
        Float, // 0.0..1.0
    };

    struct Datagram
    {
        OscEndpoint to;
        int address = 0;
        int level = 0;
        Form form = Form::Int;
    };

    // A target hears every change from now on; it is taken to show levels now.
    void addTarget(const OscEndpoint &target, const Levels &levels, Form form = Form::Int);
    bool isTarget(const OscEndpoint &endpoint) const;

    // A message of client took effect on the levels that stood before it, before. It set
    // address to level, which it therefore shows already; address -1 for a button, which
    // leaves it knowing nothing new. A new client is taken to show before: it hears of the
    // changes from its own message on. form: the form of the level it sent, if it sent one.
    void heard(const OscEndpoint &client, int address, int level, const Levels &before,
               Clock::time_point now, std::optional<Form> form = std::nullopt);
    // Whether level for address is the echo of what client was told within EchoWindow.
    bool isEcho(const OscEndpoint &client, int address, int level, Clock::time_point now) const;

    // What to tell whom now of levels, each endpoint within its allowance, noted as told.
    // rest: set when some differing level waits for an allowance of time (not of credit).
    std::vector<Datagram> due(const Levels &levels, Clock::time_point now, bool *rest);

    // The endpoints that hear now: the targets, then the clients within their lifetime.
    QList<OscEndpoint> current(Clock::time_point now);

private:
    // How many things happened in each second of the last CreditMemory.
    class Tally
    {
    public:
        void add(Clock::time_point now);
        int since(Clock::time_point now) const; // within CreditMemory

    private:
        static constexpr std::size_t Seconds = std::size_t(CreditMemory.count());
        std::array<int, Seconds> m_counts{};
        std::array<long long, Seconds> m_second{}; // which second each count is of
    };

    struct Listener
    {
        OscEndpoint endpoint;
        bool named = false;
        Form form = Form::Int;
        Clock::time_point lastHeard{};
        Levels shows = unknownLevels();
        // When each level of each address was last told, for echoes.
        std::array<std::array<Clock::time_point, Board::FullOn + 1>, AddressCount> toldAt{};
        Tally messages; // heard
        Tally told;     // datagrams sent to it
        // What may be sent now at the line's rate: refilled by MostPerSecond a second.
        double allowance = MostPerSecond;
        Clock::time_point allowedAt{};
        int firstAddress = 0; // where the next round of telling starts, so that none waits
    };

    static constexpr Levels unknownLevels()
    {
        Levels levels{};
        levels.fill(-1);
        return levels;
    }
    Listener *find(const OscEndpoint &endpoint);
    const Listener *find(const OscEndpoint &endpoint) const;
    void forgetOld(Clock::time_point now);

    std::vector<Listener> m_listeners; // the targets first
};
