#include "survey/LatencyMeter.h"

#include "platform/ManualClock.h"

#include <gtest/gtest.h>

TEST(LatencyMeter, MeasuresElapsedMillisecondsWhateverTheTimeOfDay) {
    const struct {
        LocalDateTime start;
        uint64_t duration;
    } cases[] = {
        {{2026, 12, 10, 12, 0, 30, 100}, 35},  // within a minute
        {{2026, 12, 10, 12, 0, 59, 990}, 20},  // across a minute: not 40020
        {{2026, 12, 10, 23, 59, 59, 995}, 12}, // across midnight: not negative
    };
    for (const auto& c : cases) {
        ManualClock clock(c.start, 86'400'000);
        LatencyMeter meter;
        meter.Start(clock.tickCount());
        clock.advance(c.duration);
        ASSERT_TRUE(meter.Finish(clock.tickCount()));
        EXPECT_EQ(meter.LatencyCurrent, int(c.duration));
        EXPECT_EQ(meter.LatencyCount, 1);
    }
}

TEST(LatencyMeter, RunningAverageOverEveryMeasuredTick) {
    LatencyMeter meter;
    uint64_t tick = 1000;
    for (int latency : {10, 20, 60}) {
        meter.Start(tick);
        tick += latency;
        ASSERT_TRUE(meter.Finish(tick));
        tick += 200;
    }
    EXPECT_EQ(meter.LatencyCount, 3);
    EXPECT_EQ(meter.LatencyCurrent, 60);
    EXPECT_DOUBLE_EQ(meter.LatencyAverage, 30.0);
    // An end without a start (the window was shown in the middle of a tick) is not counted.
    EXPECT_FALSE(meter.Finish(tick + 5));
    EXPECT_EQ(meter.LatencyCount, 3);
    EXPECT_DOUBLE_EQ(meter.LatencyAverage, 30.0);
}

TEST(LatencyMeter, ToleranceIsAWholeNumberOfMillisecondsUpToAMinute) {
    EXPECT_EQ(LatencyMeter::ParseTolerance("350"), 350);
    EXPECT_EQ(LatencyMeter::ParseTolerance("1"), 1);
    EXPECT_EQ(LatencyMeter::ParseTolerance("60000"), 60000);
    for (const char* text : {"", "abc", "0", "-5", "60001", "3.5", " 350", "350ms", "1e3"})
        EXPECT_FALSE(LatencyMeter::ParseTolerance(text)) << text;
    EXPECT_TRUE(LatencyMeter::WithinTolerance(499, 500));
    EXPECT_FALSE(LatencyMeter::WithinTolerance(500, 500));
}
