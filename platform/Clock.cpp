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
        return FromCalendarFields(
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

std::tm CalendarFields(const LocalDateTime& t) {
    std::tm fields{};
    fields.tm_year = t.year - 1900;
    fields.tm_mon = t.month - 1;
    fields.tm_mday = t.day;
    fields.tm_hour = t.hour;
    fields.tm_min = t.minute;
    fields.tm_sec = t.second;
    return fields;
}

LocalDateTime FromCalendarFields(const std::tm& fields, int millisecond) {
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

LocalDateTime ToUtc(const LocalDateTime& local) {
    std::tm fields = CalendarFields(local);
    fields.tm_isdst = -1;
    const std::time_t stamp = std::mktime(&fields);
    std::tm utc{};
    if (stamp == static_cast<std::time_t>(-1) || !gmtime_r(&stamp, &utc))
        return local;
    return FromCalendarFields(utc, local.millisecond);
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
