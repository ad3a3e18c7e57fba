#include "canvas/MapToolFunctions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

TEST(MapToolFunctions, GridAzimuthIsClockwiseFromGridNorth) {
    const struct {
        double x, y, degrees;
    } cases[] = {
        {0, 10, 0},      {10, 0, 90},    {0, -10, 180}, {-10, 0, 270},  {10, 10, 45},
        {-10, -10, 225}, {-10, 10, 315}, {0, 0, 0},     {10, -10, 135},
    };
    for (const auto& c : cases) {
        const double azimuth = GridAzimuth(0, 0, c.x, c.y);
        EXPECT_NEAR(azimuth * 180 / std::numbers::pi, c.degrees, 1e-9) << c.x << ", " << c.y;
        EXPECT_GE(azimuth, 0);
        EXPECT_LT(azimuth, 2 * std::numbers::pi);
    }
}

TEST(MapToolFunctions, DistanceBetweenTwoPoints) {
    EXPECT_DOUBLE_EQ(DistanceBetween(0, 0, 3, 4), 5);
    EXPECT_DOUBLE_EQ(DistanceBetween(500003, 4500004, 500000, 4500000), 5);
    EXPECT_DOUBLE_EQ(DistanceBetween(1, 1, 1, 1), 0);
}

TEST(MapToolFunctions, ClickAndSelectionTexts) {
    EXPECT_EQ(ClickedPositionText(123.456, 7.891), "Clicked: E123.46, N7.89");
    EXPECT_EQ(ClickedPositionText(-0.004, 4500000.125), "Clicked: E0.00, N4500000.13");
    EXPECT_EQ(ClickedPositionText(-12.5, 0), "Clicked: E-12.50, N0.00");
    EXPECT_EQ(TracksSelectedText(3), "3 track(s) selected. Press Delete to remove.");
    EXPECT_EQ(ShapesSelectedText(190000), "190000 shape(s) selected. Press Delete to remove.");
}
