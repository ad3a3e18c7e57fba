// The periodic screenshots' names: monitor labels by their place and the dated file names.
#include "platform/ScreenshotNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Labels = std::vector<std::string>;

} // namespace

TEST(ScreenshotNames, MonitorLabelsFollowTheirPlaceAndStayUniqueWithinATick) {
    const struct {
        const char* layout;
        std::vector<MonitorRect> monitors;
        Labels labels;
    } cases[] = {
        {"one", {{0, 0, 1920, 1080}}, {"Primary"}},
        {"side by side", {{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}}, {"Left", "Right"}},
        {"right one first", {{1920, 0, 1920, 1080}, {0, 0, 1920, 1080}}, {"Right", "Left"}},
        {"three in a row",
         {{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}, {3840, 0, 1920, 1080}},
         {"Left", "Middle", "Right"}},
        {"stacked", {{0, 0, 1920, 1080}, {0, 1080, 1920, 1080}}, {"Top", "Bottom"}},
        {"L shape",
         {{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}, {0, 1080, 1920, 1080}},
         {"Left", "Right", "Left3"}},
        {"2 x 2",
         {{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}, {0, 1080, 1920, 1080}, {1920, 1080, 1920, 1080}},
         {"Left", "Right", "Left3", "Right4"}},
        {"same origin", {{0, 0, 1920, 1080}, {0, 0, 1280, 1024}}, {"Monitor1", "Monitor2"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MonitorLabels(c.monitors), c.labels) << c.layout;
}

TEST(ScreenshotNames, NameCarriesTheTicksDateTimeAndLabel) {
    const LocalDateTime when{2025, 3, 7, 14, 32, 5, 120};
    EXPECT_EQ(ScreenshotFileName("/d/2025-03-07/PNG/", when, "Primary"),
              "/d/2025-03-07/PNG/VXQ 2025-03-07 143205 Primary.png");
    EXPECT_EQ(ScreenshotFolder("/d/2025-03-07/"), "/d/2025-03-07/PNG/");
}
