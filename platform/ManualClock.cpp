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
    std::tm t{};
    t.tm_year = now_.year - 1900;
    t.tm_mon = now_.month - 1;
    t.tm_mday = now_.day;
    t.tm_hour = now_.hour;
    t.tm_min = now_.minute;
    t.tm_sec = now_.second + static_cast<int>(totalMs / 1000);
    t.tm_isdst = 0;
    const std::time_t seconds = timegm(&t);
    std::tm normal{};
    gmtime_r(&seconds, &normal);
    now_.year = normal.tm_year + 1900;
    now_.month = normal.tm_mon + 1;
    now_.day = normal.tm_mday;
    now_.hour = normal.tm_hour;
    now_.minute = normal.tm_min;
    now_.second = normal.tm_sec;
    now_.millisecond = static_cast<int>(totalMs % 1000);
}
