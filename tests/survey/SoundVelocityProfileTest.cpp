#include "survey/SlotScan.h"
#include "survey/SoundVelocityProfile.h"
#include "survey/VelocityColumn.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace {

std::vector<std::string> ReadLines(const std::string& name)
{
    std::ifstream in(std::string(TEST_DATA_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

struct AskRecorder {
    std::vector<std::string> questions;
    bool answer = true;
    SvpAskOkCancel callback()
    {
        return [this](const std::string& q) {
            questions.push_back(q);
            return answer;
        };
    }
};

std::vector<std::string> BuildFromCast(const std::vector<std::string>& raw, int maxDepth)
{
    AskRecorder ask;
    const SvpExtractResult ex = ExtractSoundVelocities(raw, DefaultSvpSearchString, true, true, ask.callback());
    EXPECT_FALSE(ex.refused);
    const auto averaged = AverageSoundVelocities(ex.extracted, maxDepth);
    const SvpColumnResult col = BuildVelocityColumn(averaged, maxDepth, true);
    EXPECT_TRUE(col.ok) << col.message;
    return col.column;
}

} // namespace

TEST(SlotScan, CountsStoredValuesLikeTheCLibrary)
{
    int d = -7, c = -7;
    double v = -7;
    EXPECT_EQ(ScanDepthVelocity("12,1500.5", d, v), 2);
    EXPECT_EQ(d, 12);
    EXPECT_DOUBLE_EQ(v, 1500.5);
    d = -7;
    EXPECT_EQ(ScanDepthVelocity("12.5,1500", d, v), 1);
    EXPECT_EQ(d, 12);
    EXPECT_EQ(ScanDepthVelocity("99999999999,1500", d, v), 0);
    EXPECT_EQ(ScanDepthVelocity("", d, v), 0);
    EXPECT_EQ(ScanDepthVelocity("  7, 1501", d, v), 2); // %lf skips blanks, %d too
    EXPECT_EQ(ScanDepthVelocity("7 ,1501", d, v), 1);   // the literal comma does not
    EXPECT_EQ(ScanDepthVelocity("7,nan", d, v), 1);
    EXPECT_EQ(ScanDepthVelocity("7,1e999", d, v), 1);
    EXPECT_EQ(ScanDepthVelocityCount("5,1500.50,2", d, v, c), 3);
    EXPECT_EQ(c, 2);
    EXPECT_EQ(ScanDepthVelocityCount("5,1500.50", d, v, c), 2);
    EXPECT_EQ(ScanSkipDepthVelocity("80,1512.25,3", v), 1);
    EXPECT_DOUBLE_EQ(v, 1512.25);
    EXPECT_EQ(ScanSkipDepthVelocity("x,1512.25", v), 0);
}

TEST(SoundVelocityExtract, RoundsDepthsAndVelocitiesHalfAwayFromZero)
{
    const std::vector<std::string> raw = {"1500.12345,12.5", "1500.0005,12.49", "1350,3", "1600,4"};
    const auto r = ExtractSoundVelocities(raw, "%lf,%lf", true, true, nullptr);
    ASSERT_FALSE(r.refused);
    EXPECT_EQ(r.extracted, (std::vector<std::string>{"13,1500.123", "12,1500.001", "3,1350.000", "4,1600.000"}));
    EXPECT_TRUE(r.message.empty());
}

TEST(SoundVelocityExtract, DepthFirstOrderSwapsTheValues)
{
    const auto r = ExtractSoundVelocities({"12,1500"}, "%lf,%lf", false, true, nullptr);
    EXPECT_EQ(r.extracted, std::vector<std::string>{"12,1500.000"});
}

TEST(SoundVelocityExtract, ImplausibleVelocitiesAreAskedAboutOncePerStep)
{
    const std::vector<std::string> raw = {"1349.99,1", "1500,2", "1600.01,3", "1400,4", "343,5"};
    AskRecorder ask;
    const auto r = ExtractSoundVelocities(raw, "%lf,%lf", true, true, ask.callback());
    ASSERT_EQ(ask.questions.size(), 1u);
    EXPECT_EQ(ask.questions[0], "Value exceeds SV range! Please correct 1349.99 value at line 1 in source file. "
                                "This line will be skipped.\nand 2 more lines");
    EXPECT_EQ(r.extracted, (std::vector<std::string>{"2,1500.000", "4,1400.000"}));
    EXPECT_EQ(r.implausibleLines, 3);

    AskRecorder cancel;
    cancel.answer = false;
    const auto c = ExtractSoundVelocities({"1500,1", "1601,2", "1500,3"}, "%lf,%lf", true, false, cancel.callback());
    EXPECT_TRUE(c.cancelled);
    EXPECT_EQ(c.extracted, std::vector<std::string>{"1,1500.000"});
    ASSERT_EQ(cancel.questions.size(), 1u);
    EXPECT_NE(cancel.questions[0].find("satır 2"), std::string::npos);
}

TEST(SoundVelocityExtract, SearchStringNeedsExactlyTwoStoringConversions)
{
    for (const char* format : {"%lf", "%lf,%lf,%lf", "%d,%lf", "%s %lf,%lf"}) {
        const auto r = ExtractSoundVelocities({"1500,1,2"}, format, true, true, nullptr);
        EXPECT_TRUE(r.refused) << format;
        EXPECT_FALSE(r.message.empty()) << format;
        EXPECT_TRUE(r.extracted.empty());
    }
}

TEST(SoundVelocityExtract, NeverEndsSilentlyWhenLinesFailToScan)
{
    const auto none = ExtractSoundVelocities({"header", "1500;1", "1500;2"}, "%lf,%lf", true, true, nullptr);
    EXPECT_TRUE(none.extracted.empty());
    EXPECT_NE(none.message.find("None of the 3 lines"), std::string::npos) << none.message;
    EXPECT_NE(none.message.find("\"header\""), std::string::npos);

    const auto some = ExtractSoundVelocities({"SV,Depth", "1500,1", "1500 2", "1500,3", "junk"},
                                             "%lf,%lf", true, true, nullptr);
    EXPECT_EQ(some.extracted.size(), 2u);
    EXPECT_NE(some.message.find("2 of the data lines"), std::string::npos) << some.message;
    EXPECT_NE(some.message.find("line 3"), std::string::npos);

    const auto far = ExtractSoundVelocities({"1500,1", "1500,250000", "1500,-1e9"}, "%lf,%lf", true, true, nullptr);
    EXPECT_EQ(far.extracted, std::vector<std::string>{"1,1500.000"});
    EXPECT_EQ(far.farDepthLines, 2);
    EXPECT_NE(far.message.find("2 lines with a depth beyond 100000 m"), std::string::npos);
}

TEST(SoundVelocityAveraging, SlotFiveSequenceKeepsTheTextAsTheStoreOfTheMean)
{
    std::vector<std::string> ex = {"5,1500.000"};
    EXPECT_EQ(AverageSoundVelocities(ex, 5)[5], "5,1500.000,1");
    ex.push_back("5,1501.000");
    EXPECT_EQ(AverageSoundVelocities(ex, 5)[5], "5,1500.50,2");
    ex.push_back("5,1502.000");
    EXPECT_EQ(AverageSoundVelocities(ex, 5)[5], "5,1501.00,3");
    // 1500.005 is written rounded (1500.01); the next sample averages the rounded value.
    const auto rounded = AverageSoundVelocities({"5,1500.000", "5,1500.010", "5,1500.020"}, 5);
    EXPECT_EQ(rounded[5], "5,1500.01,3");
}

// The extracted list is a file the operator may edit: a sample with text after its velocity
// (or a third number) once became a slot that the next sample of its depth replaced instead of
// averaging with it (data/fuzz/text-after-velocity.txt).
TEST(SoundVelocityAveraging, ASampleWithTextAfterItsVelocityIsAveragedWithTheOthers)
{
    EXPECT_EQ(AverageSoundVelocities({"5,1500.0 m/s", "5,1502.0"}, 5)[5], "5,1501.00,2");
    EXPECT_EQ(AverageSoundVelocities({"5,1500,9", "5,1502", "5,1504"}, 5)[5], "5,1502.00,3");
    EXPECT_EQ(AverageSoundVelocities({"5,1500.5x"}, 5)[5], "5,1500.500,1");
    // A line the slot reads back as itself is kept as it stands.
    EXPECT_EQ(AverageSoundVelocities({" 5,1500.25"}, 5)[5], " 5,1500.25,1");

    // Every slot of the kept finding reads as its depth, a finite mean and a count.
    const std::vector<std::string> slots =
        AverageSoundVelocities(ReadLines("fuzz/text-after-velocity.txt"), 200);
    ASSERT_EQ(slots.size(), 201u);
    size_t filled = 0;
    for (size_t k = 0; k < slots.size(); ++k) {
        if (slots[k].empty())
            continue;
        ++filled;
        int depth = -1, count = -1;
        double velocity = NAN;
        EXPECT_EQ(ScanDepthVelocityCount(slots[k], depth, velocity, count), 3) << slots[k];
        EXPECT_EQ(depth, static_cast<int>(k));
        EXPECT_TRUE(std::isfinite(velocity));
    }
    EXPECT_GT(filled, 20u);
}

TEST(SoundVelocityAveraging, FillsBelowTheDeepestSampleOnlyWhenItIsAboveMaxDepth)
{
    std::vector<std::string> ex;
    for (int d = 0; d <= 80; ++d)
        ex.push_back(std::to_string(d) + ",1510.250");
    const auto filled = AverageSoundVelocities(ex, 200);
    ASSERT_EQ(filled.size(), 201u);
    EXPECT_EQ(filled[80], "80,1510.250,1");
    EXPECT_EQ(filled[81], "81,1510.25,0");
    EXPECT_EQ(filled[200], "200,1510.25,0");

    ex.push_back("200,1520.000");
    ex.push_back("250,1530.000");
    const auto deep = AverageSoundVelocities(ex, 200);
    EXPECT_EQ(deep[200], "200,1520.000,1");
    EXPECT_EQ(deep[150], "");
    EXPECT_TRUE(AverageSoundVelocities({"x", "-3,1500"}, 3) == std::vector<std::string>(4));
}

TEST(SoundVelocityColumnStep, EmptySlotsRepeatTheLastReadableSlot)
{
    std::vector<std::string> avg(11);
    avg[0] = "0,1500.00,1";
    avg[10] = "10,1510.00,1";
    const auto r = BuildVelocityColumn(avg, 10, true);
    ASSERT_TRUE(r.ok) << r.message;
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(r.column[k], "1500.00");
    EXPECT_EQ(r.column[10], "1500.91");
}

TEST(SoundVelocityColumnStep, StopsOnBlankSurfaceAndOutOfRangeValues)
{
    const auto blank = BuildVelocityColumn({"", "1,1500.00,1"}, 1, true);
    EXPECT_FALSE(blank.ok);
    EXPECT_TRUE(blank.column.empty());
    EXPECT_EQ(blank.message, "SV value at 0 depth cannot be blank. Consider manually adding a value for 0 depth.Example 0,1500.");
    EXPECT_TRUE(BuildVelocityColumn({"0,1500", "", "1,1500.00,1"}, 1, true).ok);

    struct Case { std::vector<std::string> avg; int stopAt; };
    const Case cases[] = {
        {{"0,1500", "1,1500", "2,1700"}, 2},
        {{"0,1300.00"}, 0},
        {{"0,1400", "1,1200"}, 1},
    };
    for (const Case& c : cases) {
        const auto r = BuildVelocityColumn(c.avg, static_cast<int>(c.avg.size()) - 1, true);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.column.empty());
        EXPECT_EQ(r.message, "SV value at " + std::to_string(c.stopAt) + " is out of range. Please check, correct retry.");
    }
    const auto tr = BuildVelocityColumn({"0,1700"}, 0, false);
    EXPECT_EQ(tr.message, "Sıra 0 ses hızı değeri hatalı. Lütfen kontrol edin, düzeltin ve tekrar deneyin");
}

TEST(SoundVelocityColumnStep, PlacesEachLineAtItsOwnDepthNotItsIndex)
{
    std::vector<std::string> aligned(11);
    aligned[0] = "0,1500.00,1";
    aligned[4] = "4,1520.00,1";
    aligned[10] = "10,1510.00,1";
    const std::vector<std::string> compact = {"0,1500.00,1", "4,1520.00,1", "10,1510.00,1"};
    const auto a = BuildVelocityColumn(aligned, 10, true);
    const auto b = BuildVelocityColumn(compact, 10, true);
    ASSERT_TRUE(a.ok && b.ok);
    EXPECT_EQ(a.column, b.column);
}

TEST(SoundVelocityColumnStep, RefusesDuplicateDepthsAndUnreadableLines)
{
    const auto dup = BuildVelocityColumn({"0,1500", "3,1501", "3,1502"}, 5, true);
    EXPECT_FALSE(dup.ok);
    EXPECT_NE(dup.message.find("depth 3 m"), std::string::npos) << dup.message;
    const auto bad = BuildVelocityColumn({"0,1500", "x", "9,1500", "-1,1500"}, 5, true);
    EXPECT_FALSE(bad.ok);
    EXPECT_NE(bad.message.find(": 2, 3, 4."), std::string::npos) << bad.message;
}

TEST(SoundVelocityMaxDepth, OnlyWholeNumbersFromZeroTo12000)
{
    int m = -5;
    std::string message;
    for (const char* bad : {"-1", "12001", "abc", "2147483647", "20.5", ""}) {
        EXPECT_FALSE(ParseSvpMaxDepth(bad, m, message)) << bad;
        EXPECT_EQ(m, -5);
    }
    EXPECT_TRUE(ParseSvpMaxDepth("200", m, message));
    EXPECT_EQ(m, 200);
    EXPECT_TRUE(ParseSvpMaxDepth("0", m, message));
    EXPECT_TRUE(ParseSvpMaxDepth("12000", m, message));
}

TEST(SoundVelocityFormatDetection, BuildsSearchStringsTheScannerTakes)
{
    const auto header = ReadLines("cast_header.csv");
    const auto d = DetectSvpFormat(header, true, "cast_header.csv");
    ASSERT_TRUE(d.ok) << d.message;
    EXPECT_EQ(d.searchString, "%*[^,],%lf,%*[^,],%lf");
    EXPECT_FALSE(d.svFirst);
    EXPECT_EQ(d.message, "Auto-detected format:\n- Header at line: 1\n- Delimiter: ,\n- SV column: 4\n"
                         "- Pressure column: 2\n- Search string: %*[^,],%lf,%*[^,],%lf");
    const auto ex = ExtractSoundVelocities(header, d.searchString, d.svFirst, true, nullptr);
    EXPECT_EQ(ex.extracted.size(), 50u);
    EXPECT_TRUE(ex.message.empty()) << ex.message;

    const auto tab = ReadLines("cast_tab.txt");
    const auto t = DetectSvpFormat(tab, false, "cast_tab.txt");
    ASSERT_TRUE(t.ok) << t.message;
    EXPECT_EQ(t.searchString, "%lf\t%lf");
    EXPECT_FALSE(t.svFirst);
    EXPECT_EQ(t.message, "Otomatik algilanan format:\n- Baslik satiri: 1\n- Ayirici: TAB\n- SV sutunu: 2\n"
                         "- Basinc sutunu: 1\n- Arama dizesi: %lf\t%lf");
    EXPECT_EQ(ExtractSoundVelocities(tab, t.searchString, t.svFirst, true, nullptr).extracted.size(), 50u);
}

TEST(SoundVelocityFormatDetection, RefusesWithoutDataHeaderOrWithDecimalCommas)
{
    EXPECT_EQ(DetectSvpFormat({}, true, "x").message, "No data loaded. Please load a file first.");
    const auto none = DetectSvpFormat({"1500,1", "1501,2"}, true, "x");
    EXPECT_FALSE(none.ok);
    EXPECT_EQ(none.message, "Could not find header line with SV and Pressure/Depth columns.\nPlease set search string manually.");
    const auto comma = DetectSvpFormat(ReadLines("cast_decimal_comma.csv"), true, "cast_decimal_comma.csv");
    EXPECT_FALSE(comma.ok);
    EXPECT_NE(comma.message.find("\"cast_decimal_comma.csv\""), std::string::npos) << comma.message;
    EXPECT_NE(comma.message.find("decimal comma"), std::string::npos);
}

TEST(SoundVelocityExtract, MissingValuesAreAskedOnceAndTheRestExtracted)
{
    const auto raw = ReadLines("cast_missing.csv");
    const auto d = DetectSvpFormat(raw, true, "cast_missing.csv");
    ASSERT_TRUE(d.ok);
    AskRecorder ask;
    const auto r = ExtractSoundVelocities(raw, d.searchString, d.svFirst, true, ask.callback());
    ASSERT_EQ(ask.questions.size(), 1u);
    EXPECT_NE(ask.questions[0].find("-9999 value at line 9"), std::string::npos) << ask.questions[0];
    EXPECT_NE(ask.questions[0].find("and 3 more lines"), std::string::npos);
    EXPECT_EQ(r.implausibleLines, 4);
    EXPECT_EQ(r.extracted.size(), 40u - 12u); // blank, NaN and -9999 rows skipped
    EXPECT_NE(r.message.find("8 of the data lines"), std::string::npos) << r.message;
}

TEST(SoundVelocityCast, DefaultCastGivesTheExpectedColumnAndTrueDepths)
{
    const auto raw = ReadLines("cast_default.txt");
    AskRecorder ask;
    const auto ex = ExtractSoundVelocities(raw, DefaultSvpSearchString, true, true, ask.callback());
    EXPECT_EQ(ask.questions.size(), 1u);
    EXPECT_EQ(ex.implausibleLines, 40);
    const auto averaged = AverageSoundVelocities(ex.extracted, 200);
    const auto col = BuildVelocityColumn(averaged, 200, true);
    ASSERT_TRUE(col.ok) << col.message;
    EXPECT_EQ(col.column, ReadLines("expected_column.txt"));

    // A write-back that drops empty slots gives the same column.
    std::vector<std::string> compact;
    for (const auto& s : averaged)
        if (!s.empty())
            compact.push_back(s);
    EXPECT_EQ(BuildVelocityColumn(compact, 200, true).column, col.column);

    std::string error;
    const VelocityColumn column = VelocityColumn::FromLines(col.column, &error);
    ASSERT_TRUE(column.valid()) << error;
    const auto depths = ReadLines("expected_depths.csv");
    ASSERT_EQ(depths.size(), 196u);
    for (size_t i = 1; i < depths.size(); ++i) {
        const size_t comma = depths[i].find(',');
        const double z = std::stod(depths[i].substr(0, comma));
        const double raw = std::stod(depths[i].substr(comma + 1));
        const auto at = column.velocityAt(raw);
        EXPECT_FALSE(at.clamped);
        const double corrected = raw * at.velocity / 1500.0;
        EXPECT_NEAR(corrected, z, z * 0.0003 + 0.005) << "z " << z;
    }
}

TEST(VelocityColumnLookup, RoundsToTheNearestLineAndFlagsClamps)
{
    const VelocityColumn column = VelocityColumn::FromLines({"1500.00", "1501.00", "1502.00"});
    ASSERT_TRUE(column.valid());
    struct Case { double raw; int line; bool clamped; };
    const Case cases[] = {{0.0, 0, false}, {0.49, 0, false}, {0.5, 1, false}, {1.49, 1, false},
                          {2.4, 2, false}, {2.5, 2, true}, {250, 2, true}, {-0.4, 0, false},
                          {-0.6, 0, true}, {-50, 0, true}, {NAN, 0, true}};
    for (const Case& c : cases) {
        const auto at = column.velocityAt(c.raw);
        EXPECT_EQ(at.line, c.line) << c.raw;
        EXPECT_EQ(at.clamped, c.clamped) << c.raw;
        EXPECT_DOUBLE_EQ(at.velocity, 1500.0 + c.line);
    }
}

TEST(VelocityColumnLookup, ValidOnlyWhenEveryLineIsStrictlyInsideTheLimits)
{
    std::string error;
    EXPECT_FALSE(VelocityColumn::FromLines({}, &error).valid());
    EXPECT_FALSE(VelocityColumn::FromLines({"1500", ""}).valid());
    EXPECT_FALSE(VelocityColumn::FromLines({"1500", "1700"}).valid());
    EXPECT_FALSE(VelocityColumn::FromLines({"1300"}).valid());
    EXPECT_FALSE(VelocityColumn::FromLines({"nan"}).valid());
    EXPECT_FALSE(VelocityColumn::FromLines({"1500,5"}, &error).valid());
    EXPECT_NE(error.find("line 0"), std::string::npos);
    EXPECT_TRUE(VelocityColumn::FromLines({" 1300.01", "1699.99 "}).valid());
    EXPECT_EQ(VelocityColumn::FromLines({"1500", "1501"}).maxDepth(), 1);
}
