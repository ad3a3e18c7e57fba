#include "platform/TimeZoneOffset.h"

#include "platform/Clock.h"
#include "platform/ManualClock.h"

#include "tests/support/ZoneScope.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>

namespace {

TEST(TimeZoneOffset, StandardOffsetOfTheLocalZoneWithoutDaylightSaving) {
    struct Case {
        const char* zone;
        int minutes;
    };
    // London and New York keep their winter offset all year.
    const Case cases[] = {
        {"Europe/London", 0},    {"Europe/Istanbul", 180},   {"America/New_York", -300},
        {"Asia/Kathmandu", 345}, {"America/St_Johns", -210}, {"UTC", 0},
    };
    for (const Case& c : cases) {
        if (!std::filesystem::exists(std::string("/usr/share/zoneinfo/") + c.zone)) {
            ADD_FAILURE() << "time-zone data missing for " << c.zone << " (package tzdata)";
            continue;
        }
        ZoneScope scope(c.zone);
        EXPECT_EQ(StandardUtcOffsetMinutes(), c.minutes) << c.zone;
    }
}

TEST(TimeZoneOffset, UtcReadingOfTheClockCrossesTheDateLineOfTheZone) {
    struct Case {
        const char* zone;
        LocalDateTime local;
        LocalDateTime utc;
    };
    // Istanbul is UTC+3 all year; New York keeps summer time in July (UTC-4).
    const Case cases[] = {
        {"Europe/Istanbul", {2026, 12, 11, 1, 30, 5, 42}, {2026, 12, 10, 22, 30, 5, 42}},
        {"America/New_York", {2026, 7, 31, 21, 0, 0, 0}, {2026, 8, 1, 1, 0, 0, 0}},
        {"UTC", {2026, 2, 28, 23, 59, 59, 999}, {2026, 2, 28, 23, 59, 59, 999}},
    };
    for (const Case& c : cases) {
        ZoneScope scope(c.zone);
        ManualClock clock(c.local);
        Clock::install(&clock);
        const LocalDateTime utc = Clock::utcNow();
        Clock::install(nullptr);
        EXPECT_EQ(std::tie(utc.year, utc.month, utc.day, utc.hour, utc.minute, utc.second,
                           utc.millisecond),
                  std::tie(c.utc.year, c.utc.month, c.utc.day, c.utc.hour, c.utc.minute,
                           c.utc.second, c.utc.millisecond))
            << c.zone;
    }
}

} // namespace
