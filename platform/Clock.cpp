#include "platform/Clock.h"

#include <atomic>
#include <chrono>
#include <ctime>

namespace {

class SystemClock : public ClockSource {
public:
    LocalDateTime now() const override {
        using namespace std::chrono;
        const auto stamp = system_clock::now();
        const std::time_t seconds = system_clock::to_time_t(stamp);
        std::tm local{};
        localtime_r(&seconds, &local);
        LocalDateTime t;
        t.year = local.tm_year + 1900;
        t.month = local.tm_mon + 1;
        t.day = local.tm_mday;
        t.hour = local.tm_hour;
        t.minute = local.tm_min;
        t.second = local.tm_sec;
        t.millisecond =
            static_cast<int>(duration_cast<milliseconds>(stamp.time_since_epoch()).count() % 1000);
        return t;
    }

    uint64_t tickCount() const override {
        using namespace std::chrono;
        return static_cast<uint64_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
};

const SystemClock systemClock;
std::atomic<const ClockSource*> installed{&systemClock};

} // namespace

LocalDateTime Clock::now() {
    return installed.load()->now();
}

LocalDateTime Clock::utcNow() {
    const LocalDateTime local = now();
    std::tm fields{};
    fields.tm_year = local.year - 1900;
    fields.tm_mon = local.month - 1;
    fields.tm_mday = local.day;
    fields.tm_hour = local.hour;
    fields.tm_min = local.minute;
    fields.tm_sec = local.second;
    // The zone's rules say whether daylight saving applies on that date.
    fields.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&fields);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    LocalDateTime t;
    t.year = utc.tm_year + 1900;
    t.month = utc.tm_mon + 1;
    t.day = utc.tm_mday;
    t.hour = utc.tm_hour;
    t.minute = utc.tm_min;
    t.second = utc.tm_sec;
    t.millisecond = local.millisecond;
    return t;
}

uint64_t Clock::tickCount() {
    return installed.load()->tickCount();
}

void Clock::install(const ClockSource* source) {
    installed.store(source ? source : &systemClock);
}
