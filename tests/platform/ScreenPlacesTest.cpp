// Where a window may stand on the screens: the rules alone, without a window.
#include "platform/ScreenPlaces.h"

#include <gtest/gtest.h>

namespace {

// A desk of two monitors side by side, the second one lower.
const QRect Primary(0, 0, 1920, 1080);
const QRect Second(1920, 0, 1280, 1024);

TEST(ScreenPlaces, ATitleBarCountsWhenEnoughOfItToDragItLiesOnAnyScreen) {
    const struct {
        const char* what;
        QRect titleBar;
        bool reachable;
    } cases[] = {
        {"on the primary screen", {100, 100, 400, 24}, true},
        {"on the second monitor", {2500, 600, 400, 24}, true},
        {"across both monitors", {1800, 300, 400, 24}, true},
        {"100 pixels left on the right edge of the desk", {3100, 100, 400, 24}, true},
        {"99 pixels left on the right edge", {3101, 100, 400, 24}, false},
        {"100 pixels left on the left edge", {-300, 100, 400, 24}, true},
        {"99 pixels left on the left edge", {-301, 100, 400, 24}, false},
        {"a narrow window wholly on the screen", {10, 10, 60, 24}, true},
        {"a narrow window partly past the edge", {-1, 10, 60, 24}, false},
        {"partly above the top edge", {100, -1, 400, 24}, false},
        {"below the second monitor's bottom, beside the primary", {2500, 1030, 400, 24}, false},
        {"below the bottom edge", {100, 1080, 400, 24}, false},
        {"no title bar at all", {100, 100, 0, 0}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TitleBarWithinReach(c.titleBar, {Primary, Second}), c.reachable) << c.what;
    EXPECT_FALSE(TitleBarWithinReach({100, 100, 400, 24}, {})) << "no screen";
}

TEST(ScreenPlaces, AFrameIsBroughtWhollyOntoTheAreaWhenItFitsElseItsTitleBar) {
    const struct {
        const char* what;
        QRect frame;
        QRect area;
        QPoint corner;
    } cases[] = {
        {"already inside", {100, 100, 400, 300}, Primary, {100, 100}},
        {"past the bottom right corner", {1700, 900, 400, 300}, Primary, {1520, 780}},
        {"past the top left corner", {-50, -20, 400, 300}, Primary, {0, 0}},
        {"taller than the area: its top on the area's", {100, 500, 400, 1200}, Primary, {100, 0}},
        {"wider than the area: its left on the area's", {300, 100, 2000, 300}, Primary, {0, 100}},
        {"on the second monitor", {3000, 900, 400, 300}, Second, {2800, 724}},
        {"no area", {3000, 900, 400, 300}, QRect(), {3000, 900}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WhollyInside(c.frame, c.area), c.corner) << c.what;
}

} // namespace
