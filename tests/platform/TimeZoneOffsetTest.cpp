#include "platform/TimeZoneOffset.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

namespace {

// Puts the process's zone back however the test ends.
class ZoneScope {
public:
    explicit ZoneScope(const char* zone) {
        if (const char* old = std::getenv("TZ"))
            old_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneScope() {
        if (old_)
            setenv("TZ", old_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> old_;
};

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

} // namespace
