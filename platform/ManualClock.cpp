#include "platform/ManualClock.h"

#include <ctime>

ManualClock::ManualClock(LocalDateTime start, uint64_t ticks) : now_(start), ticks_(ticks) {}

LocalDateTime ManualClock::now() const {
    std::lock_guard lock(mutex_);
    return now_;
}

uint64_t ManualClock::tickCount() const {
    std::lock_guard lock(mutex_);
    return ticks_;
}

void ManualClock::setNow(const LocalDateTime& value) {
    std::lock_guard lock(mutex_);
    now_ = value;
}

void ManualClock::advance(uint64_t milliseconds) {
    std::lock_guard lock(mutex_);
    ticks_ += milliseconds;
    // Normalise through the C calendar so that midnight and month ends roll over.
    const uint64_t totalMs = static_cast<uint64_t>(now_.millisecond) + milliseconds;
    std::tm t = CalendarFields(now_);
    t.tm_sec += static_cast<int>(totalMs / 1000);
    const std::time_t seconds = timegm(&t);
    std::tm normal{};
    gmtime_r(&seconds, &normal);
    now_ = FromCalendarFields(normal, static_cast<int>(totalMs % 1000));
}
