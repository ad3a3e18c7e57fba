#include "platform/Clock.h"

#include <atomic>
#include <chrono>
#include <ctime>

namespace {

LocalDateTime FromFields(const std::tm& fields, int millisecond) {
    LocalDateTime t;
    t.year = fields.tm_year + 1900;
    t.month = fields.tm_mon + 1;
    t.day = fields.tm_mday;
    t.hour = fields.tm_hour;
    t.minute = fields.tm_min;
    t.second = fields.tm_sec;
    t.millisecond = millisecond;
    return t;
}

class SystemClock : public ClockSource {
public:
    LocalDateTime now() const override {
        using namespace std::chrono;
        const auto stamp = system_clock::now();
        const std::time_t seconds = system_clock::to_time_t(stamp);
        std::tm local{};
        localtime_r(&seconds, &local);
        return FromFields(
            local,
            static_cast<int>(duration_cast<milliseconds>(stamp.time_since_epoch()).count() % 1000));
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

LocalDateTime ToUtc(const LocalDateTime& local) {
    std::tm fields{};
    fields.tm_year = local.year - 1900;
    fields.tm_mon = local.month - 1;
    fields.tm_mday = local.day;
    fields.tm_hour = local.hour;
    fields.tm_min = local.minute;
    fields.tm_sec = local.second;
    fields.tm_isdst = -1;
    const std::time_t stamp = std::mktime(&fields);
    std::tm utc{};
    if (stamp == static_cast<std::time_t>(-1) || !gmtime_r(&stamp, &utc))
        return local;
    return FromFields(utc, local.millisecond);
}

LocalDateTime Clock::now() {
    return installed.load()->now();
}

LocalDateTime Clock::utcNow() {
    return ToUtc(now());
}

uint64_t Clock::tickCount() {
    return installed.load()->tickCount();
}

void Clock::install(const ClockSource* source) {
    installed.store(source ? source : &systemClock);
}
