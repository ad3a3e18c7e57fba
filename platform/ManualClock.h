#pragma once

#include "platform/Clock.h"

#include <mutex>

// A clock that only moves when told to: for tests of dated names and time-outs.
class ManualClock : public ClockSource {
public:
    explicit ManualClock(LocalDateTime start = {}, uint64_t ticks = 0);

    LocalDateTime now() const override;
    uint64_t tickCount() const override;

    void setNow(const LocalDateTime& value);
    // Moves the tick count and the time of day forward together.
    void advance(uint64_t milliseconds);

private:
    mutable std::mutex mutex_;
    LocalDateTime now_;
    uint64_t ticks_;
};
