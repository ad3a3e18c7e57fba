#include "survey/MapStatusText.h"

#include <gtest/gtest.h>

TEST(MapStatusText, FixTextNamesTheKnownQualitiesAndNumbersTheRest) {
    const std::pair<int, const char*> cases[] = {
        {0, "No Fix"}, {1, "GPS"}, {2, "DGPS"}, {4, "RTK Fix"}, {5, "RTK Float"},
        {3, "Fix:3"},  {6, "Fix:6"}, {-1, "Fix:-1"}};
    for (const auto& [quality, text] : cases)
        EXPECT_EQ(FixText(quality), text) << quality;
}

TEST(MapStatusText, StatusLineHoldsTheValuesInTheirPlaces) {
    StatusLineValues values;
    values.fixQuality = 4;
    values.speedLabel = "2.5";
    values.satellites = 12;
    values.antennaHeight = 45.678;
    values.tideLabel = TideLabelText(false, 1.234);
    EXPECT_EQ(StatusLineText(values), "RTK Fix | Spd: 2.5 kn | SV: 12 | Ant: 45.68 m | Tide: 1.23 m");

    values.sensorEnabled = true;
    values.trueDepthHigh = 7.456;
    EXPECT_EQ(StatusLineText(values),
              "RTK Fix | Spd: 2.5 kn | SV: 12 | Ant: 45.68 m | Tide: 1.23 m | Depth: 7.46 m");

    // No sounding yet: no depth part even with the sensor on.
    values.trueDepthHigh = 0;
    EXPECT_EQ(StatusLineText(values).find("Depth"), std::string::npos);
}

TEST(MapStatusText, TideShowsADashWhileTheSetUpWindowIsOpenAndSpeedTextThatIsNoNumberReadsZero) {
    StatusLineValues values;
    values.speedLabel = "--";
    values.tideLabel = TideLabelText(true, 1.234);
    EXPECT_EQ(StatusLineText(values), "No Fix | Spd: 0.0 kn | SV: 0 | Ant: 0.00 m | Tide: - m");
}

TEST(MapStatusText, DmsPanelWritesHemispheresAndCarriesRoundedSeconds) {
    const struct {
        double latitude, longitude;
        const char* text;
    } cases[] = {
        {-12.5, 30.25, "12\u00B030'0.000\"S, 30\u00B015'0.000\"E"},
        {0.0, -0.5, "0\u00B00'0.000\"N, 0\u00B030'0.000\"W"},
        // 41.05 is 41.0499999... in binary: the seconds round to 60.000 and carry.
        {41.05, 29.05, "41\u00B03'0.000\"N, 29\u00B03'0.000\"E"},
        // 59'59.9996" rounds to a whole degree.
        {40.0 + 59.0 / 60 + 59.9996 / 3600, 1.0, "41\u00B00'0.000\"N, 1\u00B00'0.000\"E"},
        {40.123456, 29.987654, "40\u00B07'24.442\"N, 29\u00B059'15.554\"E"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PositionDmsText(c.latitude, c.longitude), c.text) << c.latitude;
}

TEST(MapStatusText, SecondsNeverReadSixty) {
    for (int i = 0; i < 100000; ++i) {
        const double latitude = 40.0 + i * 0.00001;
        EXPECT_EQ(PositionDmsText(latitude, 0).find("'60.000"), std::string::npos) << latitude;
    }
}

TEST(MapStatusText, GridPanelHasTwoDecimals) {
    EXPECT_EQ(GridPositionText(512.126, 45.5), "E512.13, N45.50");
    EXPECT_EQ(GridPositionText(500123.4, 4512345.678), "E500123.40, N4512345.68");
}
