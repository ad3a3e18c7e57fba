#include "settings/NavigationSettings.h"
#include "settings/SettingsValues.h"
#include "settings/VesselShapeSettings.h"

#include "platform/IniFile.h"

#include "tests/support/TestEnvironment.h"

#include <QFile>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

const std::optional<double> No;

// The texts every field is tried with, in the order of the expectation rows below.
const std::vector<std::string> Texts = {
    "", " 3", "+3", "3.0", "1e1", "0x10", "nan", "inf", "0,5", "-0", "16", "99999999999",
    "\xD9\xA3", // ARABIC-INDIC DIGIT THREE
};

struct RuleRow {
    const ValueRule* rule;
    std::vector<std::optional<double>> expected;
};

void ExpectRow(const RuleRow& row) {
    ASSERT_EQ(row.expected.size(), Texts.size());
    for (size_t i = 0; i < Texts.size(); ++i) {
        const std::optional<double> value = CheckValue(*row.rule, Texts[i]);
        EXPECT_EQ(value, row.expected[i]) << row.rule->Field << " with \"" << Texts[i] << '"';
    }
}

} // namespace

TEST(SettingsValues, EachFieldTakesItsValuesAndRefusesTheRest) {
    const std::vector<RuleRow> rows = {
        //                     ""  " 3" "+3" "3.0" "1e1" "0x10" nan inf "0,5" "-0" "16" 1e11 arabic
        {&VesselWidthRule, {No, No, 3, No, No, No, No, No, No, 0, No, No, No}},
        {&TrackWidthRule, {No, No, 3, No, No, No, No, No, No, 0, No, No, No}},
        {&TrackDistanceRule, {No, No, 3, No, No, No, No, No, No, 0, 16, No, No}},
        {&UpdateRateRule, {No, No, 3, No, No, No, No, No, No, 0, 16, No, No}},
        {&DepthAlertRule, {No, No, 3, 3, 10, No, No, No, No, 0, 16, 99999999999.0, No}},
        {&ColorRule, {No, No, 3, No, No, No, No, No, No, 0, 16, No, No}},
        {&CircleCountRule, {No, No, 3, No, No, No, No, No, No, 0, 16, No, No}},
        {&FirstRadiusRule, {No, No, 3, 3, 10, No, No, No, No, 0, 16, No, No}},
        {&CircleStepRule, {No, No, 3, 3, 10, No, No, No, No, 0, 16, No, No}},
        {&SideLengthRule, {No, No, 3, 3, 10, No, No, No, No, 0, 16, No, No}},
        {&BowLengthRule, {No, No, 3, 3, 10, No, No, No, No, 0, 16, No, No}},
    };
    for (const RuleRow& row : rows)
        ExpectRow(row);
}

TEST(SettingsValues, BoundsAreInclusive) {
    const struct {
        const ValueRule* rule;
        const char* lowest;
        const char* belowLowest;
        const char* highest;
        const char* aboveHighest;
    } bounds[] = {
        {&VesselWidthRule, "0", "-1", "15", "16"},
        {&TrackDistanceRule, "0", "-1", "500", "501"},
        {&ColorRule, "0", "-1", "16777215", "16777216"},
        {&CircleCountRule, "0", "-1", "100", "101"},
        {&FirstRadiusRule, "0", "-0.001", "10000", "10000.001"},
        {&BowLengthRule, "0", "-1e-9", "1e4", "1e5"},
    };
    for (const auto& b : bounds) {
        EXPECT_TRUE(CheckValue(*b.rule, b.lowest)) << b.rule->Field;
        EXPECT_FALSE(CheckValue(*b.rule, b.belowLowest)) << b.rule->Field;
        EXPECT_TRUE(CheckValue(*b.rule, b.highest)) << b.rule->Field;
        EXPECT_FALSE(CheckValue(*b.rule, b.aboveHighest)) << b.rule->Field;
    }
    // The update rate has no lower bound (what is below 50 runs at 50) and the alert depth none
    // at all.
    EXPECT_EQ(CheckValue(UpdateRateRule, "-2147483648"), -2147483648.0);
    EXPECT_FALSE(CheckValue(UpdateRateRule, "5001"));
    EXPECT_EQ(CheckValue(DepthAlertRule, "-1e300"), -1e300);
    EXPECT_FALSE(CheckValue(DepthAlertRule, "1e999"));
}

TEST(SettingsValues, WholeValuesComeAsIntegers) {
    EXPECT_EQ(CheckWholeValue(TrackDistanceRule, "500"), 500);
    EXPECT_EQ(CheckWholeValue(TrackDistanceRule, "501"), std::nullopt);
    // A rule for any number gives no whole value, even for a whole text.
    EXPECT_EQ(CheckWholeValue(DepthAlertRule, "3"), std::nullopt);
}

TEST(SettingsValues, MapTimerIntervalRaisesSlowRatesAndTakesEmptyAsHalfASecond) {
    const struct {
        const char* text;
        std::optional<int> interval;
    } cases[] = {
        {"", 500},  {"10", 50},      {"0", 50},      {"-5", 50}, {"50", 50}, {"51", 51},
        {"750", 750}, {"5000", 5000}, {"5001", std::nullopt}, {"abc", std::nullopt},
        {"7.5", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MapTimerIntervalFor(c.text), c.interval) << '"' << c.text << '"';
}

TEST(SettingsValues, MessagesNameTheFieldTheTextAndTheRange) {
    EXPECT_EQ(RefusedTextMessage(VesselWidthRule, "16", "2"),
              "Vessel width: \"16\" is not accepted; give a whole number from 0 to 15. The field "
              "is back at \"2\".");
    EXPECT_EQ(StoredValueLine("VESSEL_SHAPE", "Number of circles", "3.7", CircleCountRule, "2"),
              "[VESSEL_SHAPE] Number of circles=\"3.7\" is not a whole number from 0 to 100; "
              "\"2\" is used instead.");
}

class StoredSettings : public ::testing::Test {
protected:
    void SetUp() override { QFile::remove(TestEnvironment::settingsFile()); }
    void TearDown() override { QFile::remove(TestEnvironment::settingsFile()); }

    static void write(const char* section, const char* key, const char* value) {
        IniFile ini(TestEnvironment::settingsFile());
        ini.writeString(QString::fromLatin1(section), QString::fromLatin1(key),
                        QString::fromUtf8(value));
    }
};

TEST_F(StoredSettings, NavigationFirstRunDefaults) {
    std::vector<std::string> refused;
    const NavigationSettings s =
        NavigationSettings::Read(IniFile(TestEnvironment::settingsFile()), refused);
    EXPECT_TRUE(refused.empty());
    EXPECT_EQ(s.VesselWidth, 3);
    EXPECT_EQ(s.TrackWidth, 3);
    EXPECT_EQ(s.TrackDistance, 20);
    EXPECT_EQ(s.VesselColor, 0u);
    EXPECT_EQ(s.TrackColorFixed, 0u);
    EXPECT_EQ(s.TrackColorFloat, 0u);
    EXPECT_EQ(s.BackgroundColor, 0u);
    EXPECT_TRUE(s.TrackAsLines);
    EXPECT_EQ(s.DepthAlert, 1.0);
}

TEST_F(StoredSettings, NavigationRefusedStoredValuesGiveDefaultsAndALineEach) {
    const struct {
        const char* key;
        const char* stored;
    } bad[] = {
        {"VesselWidth", "16"},         {"TrackWidth", "abc"},      {"TrackDistance", ""},
        {"VesselColor", "-1"},         {"ColorTracklines1", "16777216"},
        {"ColorTracklines0", "0x80"},  {"BackgroundColor", "99999999999"},
        {"edDepthAlert", "0,5"},
    };
    for (const auto& b : bad)
        write("NAVIGATION_SETTINGS", b.key, b.stored);
    std::vector<std::string> refused;
    const NavigationSettings s =
        NavigationSettings::Read(IniFile(TestEnvironment::settingsFile()), refused);
    ASSERT_EQ(refused.size(), std::size(bad));
    for (size_t i = 0; i < std::size(bad); ++i) {
        EXPECT_NE(refused[i].find(std::string(bad[i].key) + "=\"" + bad[i].stored + "\""),
                  std::string::npos)
            << refused[i];
    }
    EXPECT_EQ(s.VesselWidth, 3);
    EXPECT_EQ(s.TrackWidth, 3);
    EXPECT_EQ(s.TrackDistance, 20);
    EXPECT_EQ(s.VesselColor, 0u);
    EXPECT_EQ(s.TrackColorFixed, 0u);
    EXPECT_EQ(s.BackgroundColor, 0u);
    EXPECT_EQ(s.DepthAlert, 1.0);
}

TEST_F(StoredSettings, NavigationWriteReadsBackTheSameValues) {
    NavigationSettings s;
    s.VesselColor = 0x123456;
    s.VesselWidth = 15;
    s.BackgroundColor = 0xFFFFFF;
    s.TrackColorFixed = 0x008000;
    s.TrackColorFloat = 0x00FFFF;
    s.TrackAsLines = false;
    s.TrackWidth = 0;
    s.TrackDistance = 500;
    s.DepthAlert = 2.25;
    {
        IniFile ini(TestEnvironment::settingsFile());
        s.Write(ini);
        ASSERT_TRUE(ini.flush());
    }
    std::vector<std::string> refused;
    const NavigationSettings back =
        NavigationSettings::Read(IniFile(TestEnvironment::settingsFile()), refused);
    EXPECT_TRUE(refused.empty());
    EXPECT_EQ(back.VesselColor, s.VesselColor);
    EXPECT_EQ(back.VesselWidth, s.VesselWidth);
    EXPECT_EQ(back.BackgroundColor, s.BackgroundColor);
    EXPECT_EQ(back.TrackColorFixed, s.TrackColorFixed);
    EXPECT_EQ(back.TrackColorFloat, s.TrackColorFloat);
    EXPECT_EQ(back.TrackAsLines, s.TrackAsLines);
    EXPECT_EQ(back.TrackWidth, s.TrackWidth);
    EXPECT_EQ(back.TrackDistance, s.TrackDistance);
    EXPECT_EQ(back.DepthAlert, s.DepthAlert);
}

TEST_F(StoredSettings, VesselShapeDefaultsAndRefusedValues) {
    std::vector<std::string> refused;
    VesselShape shape = VesselShapeSettings::Read(IniFile(TestEnvironment::settingsFile()), refused);
    EXPECT_TRUE(refused.empty());
    // The sideward length reads 0 when missing, while "Default" restores 10.
    EXPECT_EQ(shape, (VesselShape{2, 10, 10, 0, 100}));
    EXPECT_EQ(VesselShapeSettings::Designed(), (VesselShape{2, 10, 10, 10, 100}));

    write("VESSEL_SHAPE", "Number of circles", "3.7");
    write("VESSEL_SHAPE", "Cirecle offset interval", "2.50");
    write("VESSEL_SHAPE", "Radious of first circle", "nan");
    write("VESSEL_SHAPE", "Arrow length to bow", "1e9");
    write("VESSEL_SHAPE", "Left right offset of arrow", "7");
    shape = VesselShapeSettings::Read(IniFile(TestEnvironment::settingsFile()), refused);
    EXPECT_EQ(shape, (VesselShape{2, 2.5, 10, 7, 100}));
    ASSERT_EQ(refused.size(), 3u);
    EXPECT_NE(refused[0].find("Number of circles=\"3.7\""), std::string::npos);
    EXPECT_NE(refused[1].find("Radious of first circle=\"nan\""), std::string::npos);
    EXPECT_NE(refused[2].find("Arrow length to bow=\"1e9\""), std::string::npos);
}
