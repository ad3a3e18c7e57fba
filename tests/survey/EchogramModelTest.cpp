#include "survey/EchogramModel.h"
#include "survey/SensorSilenceWatch.h"

#include "platform/ManualClock.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

EchogramModel WithDepths(const std::vector<double>& depths, int count) {
    EchogramModel model;
    for (double depth : depths)
        model.Append(depth, count);
    return model;
}

std::vector<std::string> Labels(const EchogramPlan& plan) {
    std::vector<std::string> labels;
    for (const auto& line : plan.Grid)
        labels.push_back(line.Label);
    return labels;
}

} // namespace

TEST(EchogramModel, AppendShiftsTowardsTheOldestWithinCount) {
    EchogramModel model;
    model.Append(1, 3);
    model.Append(2, 3);
    model.Append(3, 3);
    model.Append(4, 3);
    EXPECT_EQ(std::vector<double>(model.Depths().begin(), model.Depths().begin() + 4),
              (std::vector<double>{2, 3, 4, 0}));
    // Counts outside the history are held to it; a depth that is no number is no depth.
    model.Append(5, 0);
    EXPECT_EQ(model.Depths()[0], 5);
    model.Append(std::nan(""), 1000);
    EXPECT_EQ(model.Depths().back(), 0);
    EXPECT_EQ(model.Capacity(), 200);
}

TEST(EchogramModel, GridExamples) {
    const struct {
        std::vector<double> depths;
        double top;
        double bottom;
        double step;
        std::vector<std::string> labels;
    } cases[] = {
        {{}, 0, 50, 20, {"0m", "20m", "40m"}},                          // fallback scale
        {{5, 10, 15, 20, 25}, 3, 27, 10, {"10m", "20m"}},               // margin 2
        {{10.0, 10.2, 10.3, 10.5}, 9.7, 10.8, 0.5, {"10.0m", "10.5m"}}, // margin raised to 0.3
        {{7, 8, 9}, 0, 50, 20, {"0m", "20m", "40m"}},                   // fewer than four
        {{6, 6, 6, 6, 6}, 0, 50, 20, {"0m", "20m", "40m"}},             // all equal
        {{0.2, 1, 1.5, 2}, 0, 2.3, 1, {"0m", "1m", "2m"}},              // top raised to 0
    };
    for (const auto& c : cases) {
        const EchogramPlan plan = WithDepths(c.depths, 50).Plan(388, 147, 50);
        EXPECT_NEAR(plan.Top, c.top, 1e-9);
        EXPECT_NEAR(plan.Bottom, c.bottom, 1e-9);
        EXPECT_DOUBLE_EQ(plan.GridStep, c.step);
        EXPECT_EQ(Labels(plan), c.labels);
    }
}

TEST(EchogramModel, BarsProfileAndBoxFollowTheDepths) {
    // 4 entries in 400 x 100: columns of 100 pixels, scale 0..50 (fewer than four depths).
    const EchogramPlan plan = WithDepths({10, 0, 20, 25}, 4).Plan(400, 100, 4);
    ASSERT_EQ(plan.Bars.size(), 3u); // the 0 entry has no bar
    EXPECT_EQ(plan.Bars[0].X0, 0);
    EXPECT_EQ(plan.Bars[0].X1, 100);
    EXPECT_EQ(plan.Bars[0].Y, 20);
    EXPECT_EQ(plan.Bars[1].X0, 200);
    EXPECT_EQ(plan.Bars[1].Y, 40);
    // No segment to or from the empty entry.
    ASSERT_EQ(plan.Profile.size(), 1u);
    EXPECT_EQ(plan.Profile[0].X0, 250);
    EXPECT_EQ(plan.Profile[0].Y0, 40);
    EXPECT_EQ(plan.Profile[0].X1, 350);
    EXPECT_EQ(plan.Profile[0].Y1, 50);
    ASSERT_TRUE(plan.DepthBox);
    EXPECT_EQ(plan.DepthBox->Text, "25.0m");
    EXPECT_TRUE(plan.DepthBox->Leader);
    EXPECT_EQ(plan.DepthBox->LeaderTop, 50);
    EXPECT_EQ(plan.DepthBox->Left, 322);
    EXPECT_EQ(plan.DepthBox->Bottom, 98);

    // Entries at or below 0 are no depth; a newest 0 draws no box.
    const EchogramPlan empty = WithDepths({10, -3, 20, 0}, 4).Plan(400, 100, 4);
    EXPECT_EQ(empty.Bars.size(), 2u);
    EXPECT_TRUE(empty.Profile.empty());
    EXPECT_FALSE(empty.DepthBox);

    // A seabed below the window is held at its edge; the box's leader is left out near it.
    const EchogramPlan deep = WithDepths({60}, 1).Plan(100, 100, 1);
    ASSERT_EQ(deep.Bars.size(), 1u);
    EXPECT_EQ(deep.Bars[0].Y, 100);
    EXPECT_FALSE(deep.DepthBox->Leader);
}

TEST(EchogramModel, NarrowWindowShowsTheNewestUpToItsRightEdge) {
    std::vector<double> depths;
    for (int i = 1; i <= 200; ++i)
        depths.push_back(i);
    const EchogramPlan plan = WithDepths(depths, 200).Plan(100, 147, 200);
    ASSERT_EQ(plan.Bars.size(), 100u);
    EXPECT_EQ(plan.Bars.front().X0, 0);
    EXPECT_EQ(plan.Bars.back().X1, 100);
    // The scale is that of the entries shown, 101..200, and the box holds the newest.
    EXPECT_NEAR(plan.Top, 101 - 9.9, 1e-9);
    EXPECT_EQ(plan.DepthBox->Text, "200.0m");
    EXPECT_EQ(plan.Bars.back().Y, int((200 - plan.Top) * 147 / (plan.Bottom - plan.Top)));
}

TEST(EchogramModel, HugeDepthsEndTheGridAndStayInPixels) {
    // Near 1e18 a step of 50 m no longer moves the value: the grid still ends.
    const EchogramPlan plan = WithDepths({1e18, 1e18 + 128, 1e18, 1e18 + 128}, 4).Plan(388, 147, 4);
    EXPECT_LE(plan.Grid.size(), size_t(EchogramLimits::MaxGridLines));
    const EchogramPlan far = WithDepths({1, 2, 3, 1e300}, 4).Plan(388, 147, 4);
    for (const auto& bar : far.Bars) {
        EXPECT_GE(bar.Y, 0);
        EXPECT_LE(bar.Y, 147);
    }
    EXPECT_LE(far.Grid.size(), size_t(EchogramLimits::MaxGridLines));
    EXPECT_TRUE(WithDepths({5}, 1).Plan(0, 147, 1).Bars.empty());
}

TEST(EchogramModel, SettingsAreHeldToWhatTheHistoryAndTimerTake) {
    const struct {
        int value;
        int dataWidth;
        int interval;
    } cases[] = {{0, 1, 20},        {-5, 1, 20},     {1, 1, 20},      {50, 50, 50},
                 {200, 200, 200},   {201, 200, 201}, {500, 200, 500}, {1000, 200, 1000},
                 {1001, 200, 1000}, {19, 19, 20}};
    for (const auto& c : cases) {
        EXPECT_EQ(EchogramModel::ClampDataWidth(c.value), c.dataWidth) << c.value;
        EXPECT_EQ(EchogramModel::ClampInterval(c.value), c.interval) << c.value;
    }
}

TEST(SensorSilenceWatch, ReportsMoreThan5000MsOnceAndIsReArmedByALine) {
    ManualClock clock({}, 1'000'000);
    const std::optional<uint64_t> start = clock.tickCount();
    std::optional<uint64_t> last;
    bool reported = false;
    const auto tick = [&] {
        if (SensorSilenceWatch::SilenceToReport(start, last, reported, clock.tickCount())) {
            reported = true;
            return true;
        }
        return false;
    };
    // Measured from Start before any line.
    clock.advance(5000);
    EXPECT_FALSE(tick());
    clock.advance(1);
    EXPECT_TRUE(tick());
    clock.advance(10000);
    EXPECT_FALSE(tick()); // once per spell
    // A line re-arms the watch.
    last = clock.tickCount();
    reported = false;
    clock.advance(5000);
    EXPECT_FALSE(tick());
    clock.advance(1);
    EXPECT_TRUE(tick());
    // Off without a Start.
    EXPECT_FALSE(SensorSilenceWatch::SilenceToReport(std::nullopt, std::nullopt, false, 1u << 30));
    // A Start at tick 0 still watches.
    EXPECT_TRUE(SensorSilenceWatch::SilenceToReport(0, std::nullopt, false, 5001));
}
