#include "deskclock.h"

namespace {

class SteadyClock final : public DeskClock
{
public:
    Time now() const override
    {
        return std::chrono::duration_cast<Time>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
};

} // namespace

const DeskClock &DeskClock::steady()
{
    static const SteadyClock clock;
    return clock;
}
