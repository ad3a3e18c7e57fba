#include "SounderScanForTests.h"
#include "positioning/gnss/NmeaChecksum.h"
#include "survey/DepthCorrection.h"
#include "survey/GnssLineReader.h"
#include "survey/SounderLineReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

std::string WithChecksum(const std::string& body) {
    return "$" + body + "*" + NmeaChecksum(body);
}

TEST(GnssLineReader, ReadsTheFieldsByPosition) {
    const std::string gga4 = "$GPGGA,123519,4807.038,N,01131.000,E,4,08,0.9,545.4,M,46.9,M,,";
    auto r = ReadGnssLine(gga4);
    ASSERT_TRUE(r.HasGga);
    EXPECT_EQ(r.FixQuality, 4);
    ASSERT_TRUE(RtkAntennaHeight(r));
    EXPECT_NEAR(*RtkAntennaHeight(r), 592.3, 1e-9);

    r = ReadGnssLine("$GPGGA,123519,4807.038,N,01131.000,E,5,08,0.9,545.4,M,46.9,M,,");
    EXPECT_FALSE(RtkAntennaHeight(r)) << "only RTK fixed gives the antenna height";

    r = ReadGnssLine("$GPGGA,123519,4807.038,N,01131.000,E,4,08,0.9,545.4,M,,M,,");
    ASSERT_TRUE(RtkAntennaHeight(r));
    EXPECT_NEAR(*RtkAntennaHeight(r), 545.4, 1e-9);

    // An empty position (no fix) no longer hides the later fields.
    r = ReadGnssLine("$GPGGA,123519,,,,,4,08,0.9,545.4,M,46.9,M,,");
    EXPECT_NEAR(RtkAntennaHeight(r).value_or(0), 592.3, 1e-9);

    r = ReadGnssLine("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
    EXPECT_DOUBLE_EQ(r.SpeedKnots.value_or(-1), 22.4);
    r = ReadGnssLine("$GPRMC,123519,V,,,,,,,230394,,");
    EXPECT_DOUBLE_EQ(r.SpeedKnots.value_or(-1), 0.0);

    // The magnetic track is usually empty: the knots still count.
    r = ReadGnssLine("$GPVTG,054.7,T,,M,005.5,N,010.2,K");
    EXPECT_DOUBLE_EQ(r.SpeedKnots.value_or(-1), 5.5);
    r = ReadGnssLine("$GPVTG,054.7,T,034.4,M,,N,,K");
    EXPECT_DOUBLE_EQ(r.SpeedKnots.value_or(-1), 0.0);

    r = ReadGnssLine("$HEHDT,123.4,T");
    EXPECT_DOUBLE_EQ(r.Heading.value_or(-1), 123.4);
    r = ReadGnssLine("$HEHDT,,T");
    EXPECT_TRUE(r.HasHdt);
    EXPECT_FALSE(r.Heading);

    // Three letters anywhere: a proprietary line that carries GGA is read as one.
    r = ReadGnssLine("$PXXXGGA,1,2,3,4,5,4,7,8,10.5,M,1.5,M");
    EXPECT_NEAR(RtkAntennaHeight(r).value_or(0), 12.0, 1e-9);
}

TEST(GnssLineReader, ReadsNothingOfALineWithAWrongChecksumOrNonFiniteNumbers) {
    const std::string body = "GPGGA,123519,4807.038,N,01131.000,E,4,08,0.9,545.4,M,46.9,M,,";
    EXPECT_TRUE(RtkAntennaHeight(ReadGnssLine(WithChecksum(body))));
    std::string wrong = WithChecksum(body);
    wrong.back() = wrong.back() == '0' ? '1' : '0';
    const auto r = ReadGnssLine(wrong);
    EXPECT_TRUE(r.ChecksumWrong);
    EXPECT_FALSE(r.HasGga);
    EXPECT_FALSE(RtkAntennaHeight(r));

    EXPECT_FALSE(ReadGnssLine("$HEHDT,nan,T").Heading);
    EXPECT_FALSE(ReadGnssLine("$HEHDT,inf,T").Heading);
    EXPECT_FALSE(RtkAntennaHeight(
        ReadGnssLine("$GPGGA,123519,4807.038,N,01131.000,E,4,08,0.9,1e400,M,46.9,M,,")));
}

TEST(GnssLineReader, SurvivesHostileLines) {
    std::mt19937 random(16);
    std::vector<std::string> lines = {std::string(10000, ','), "GGA" + std::string(100000, '9'),
                                      "$GPRMC" + std::string(100000, ','), "*", "$*", "GGA*zz"};
    for (int i = 0; i < 2000; ++i) {
        std::string line(random() % 200, ' ');
        for (char& c : line)
            c = char(random() % 256);
        if (i % 3 == 0)
            line.insert(0, "$GPGGA,");
        lines.push_back(line);
    }
    for (const std::string& line : lines) {
        const auto r = ReadGnssLine(line);
        if (r.Heading)
            EXPECT_TRUE(std::isfinite(*r.Heading));
        if (r.SpeedKnots)
            EXPECT_TRUE(std::isfinite(*r.SpeedKnots));
        if (const auto h = RtkAntennaHeight(r))
            EXPECT_TRUE(std::isfinite(*h));
    }
}

TEST(SounderLineReader, ReadsALinePerType) {
    struct Case {
        std::string type, format, line;
        bool valid;
        double high, low;
    };
    const Case cases[] = {
        {"Tavrin SMT", "%*8s,%lf,%lf", "SMT00001,12.34,12.6", true, 12.34, 0},
        {"NMEA DPT", "%*6s,%lf", "$SDDPT,12.34,0.5", true, 12.34, 0},
        {"NMEA DBT", "%*6s,%*lf,%*1s,%lf", "$SDDBT,40.49,f,12.34,M,6.75,F", true, 12.34, 0},
        {"Tavrin XDR HI", "%*8s,%lf", "$XDHI001,12.34", true, 12.34, 0},
        {"Tavrin XDR LO", "%*8s,%*lf,%*8s,%lf", "$XDHI001,12.34,$XDLO001,13.10", true, 0, 13.10},
        {"Tavrin XDR H/L", "%*8s,%lf,%*8s,%lf", "$XDHI001,12.34,$XDLO001,13.10", true, 12.34,
         13.10},
        {"OTHER", "%lf", "12.34", true, 12.34, 0},
        {"OTHER", "", "12.34", false, 0, 0},
        // Battery missing: not valid, no depth.
        {"Tavrin SMT", "%*8s,%lf,%lf", "SMT00001,12.34,", false, 0, 0},
        // A format that reads more than the type carries is not valid either.
        {"NMEA DPT", "%*6s,%lf,%lf", "$SDDPT,12.34,0.5", false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type + " " + c.line);
        const auto r = ReadSounderLine(c.type, c.format, c.line, ScanForTests);
        EXPECT_TRUE(r.Taken);
        EXPECT_EQ(r.Valid, c.valid);
        EXPECT_DOUBLE_EQ(r.RawHigh, c.high);
        EXPECT_DOUBLE_EQ(r.RawLow, c.low);
    }
    EXPECT_DOUBLE_EQ(
        ReadSounderLine("Tavrin SMT", "%*8s,%lf,%lf", "SMT00001,12.34,12.6", ScanForTests)
            .Battery.value_or(0),
        12.6);
}

TEST(SounderLineReader, TakesNoLineWithoutItsTypesMarkersOrWithAnUnknownType) {
    EXPECT_FALSE(ReadSounderLine("NMEA DBT", "%*6s,%lf", "$SDDPT,12.34", ScanForTests).Taken);
    EXPECT_FALSE(ReadSounderLine("nmea dbt", "%*6s,%lf", "$SDDBT,12.34", ScanForTests).Taken);
    EXPECT_FALSE(ReadSounderLine("Tavrin XDR LO", "%*8s,%lf", "$XDHI001,12.34", ScanForTests).Taken);
    EXPECT_FALSE(ReadSounderLine("ODC HI", "%*42s,%lf", "12.34", ScanForTests).Taken);
}

// One sounder line of a reader table, and what the reader makes of it.
struct SounderLineCase {
    std::string what;
    std::string line;
    SounderRefusal refusal; // None: read, with this depth
    double depth = 0;
};

void ExpectReadings(const std::string& type, const std::string& format,
                    const std::vector<SounderLineCase>& cases) {
    for (const SounderLineCase& c : cases) {
        SCOPED_TRACE(c.what);
        const SounderReading r = ReadSounderLine(type, format, c.line, ScanForTests);
        EXPECT_EQ(r.Refusal, c.refusal);
        if (c.refusal == SounderRefusal::None) {
            EXPECT_TRUE(r.Taken);
            EXPECT_TRUE(r.Valid);
            EXPECT_DOUBLE_EQ(r.RawHigh, c.depth);
        } else {
            EXPECT_FALSE(r.Taken);
            EXPECT_FALSE(r.Valid);
            EXPECT_EQ(r.RawHigh, 0.0);
        }
    }
}

const char* const kDbtFormat = "%*6s,%*lf,%*1s,%lf";

TEST(SounderLineReader, ASounderLineWhoseTextAfterItsLastStarIsNotTwoHexDigitsIsAWrongChecksum) {
    const std::string body = "SDDBT,16.40,f,8.10,M,2.74,F";
    const std::string good = WithChecksum(body);
    const std::string sum = good.substr(good.size() - 2);
    const std::string wrong = "$" + body + (sum == "00" ? "*01" : "*00");
    std::string lower = good;
    for (size_t i = lower.size() - 2; i < lower.size(); ++i)
        lower[i] = char(std::tolower(static_cast<unsigned char>(lower[i])));
    const std::string starInField = "SDDBT,16.40,f,8.10,M,2*74,F";
    const std::vector<SounderLineCase> cases = {
        {"one hex digit", "$" + body + "*" + sum.substr(0, 1), SounderRefusal::WrongChecksum},
        {"three hex digits", good + "A", SounderRefusal::WrongChecksum},
        {"not hex", "$" + body + "*G1", SounderRefusal::WrongChecksum},
        {"a bare star", "$" + body + "*", SounderRefusal::WrongChecksum},
        {"wrong, then X", wrong + "X", SounderRefusal::WrongChecksum},
        {"wrong, then 0xFF", wrong + "\xFF", SounderRefusal::WrongChecksum},
        {"wrong, then DEL", wrong + "\x7F", SounderRefusal::WrongChecksum},
        {"right, then X", good + "X", SounderRefusal::WrongChecksum},
        {"wrong", wrong, SounderRefusal::WrongChecksum},
        {"right", good, SounderRefusal::None, 8.1},
        {"right in small letters", lower, SounderRefusal::None, 8.1},
        {"right, blanks after it", good + " \t ", SounderRefusal::None, 8.1},
        {"a star inside a field, the checksum right", WithChecksum(starInField),
         SounderRefusal::None, 8.1},
        {"a star inside a field, the checksum wrong", "$" + starInField + "*00",
         SounderRefusal::WrongChecksum},
        {"no star", "$" + body, SounderRefusal::None, 8.1},
    };
    ASSERT_NE(lower, good) << "the checksum needs a letter for this case";
    ExpectReadings("NMEA DBT", kDbtFormat, cases);
    // A device format that is not NMEA keeps the rule: after its last star, two hex digits.
    ExpectReadings(
        "Tavrin SMT", "%*8s,%lf,%lf",
        {{"no star", "SMT00001,12.34,12.6", SounderRefusal::None, 12.34},
         {"a star, not a checksum", "SMT00001,12.34,12.6*", SounderRefusal::WrongChecksum},
         {"a checksum", "SMT00001,12.34,12.6*" + NmeaChecksum("SMT00001,12.34,12.6"),
          SounderRefusal::None, 12.34}});
}

TEST(SounderLineReader, BytesThatCannotBeInASounderSentenceRefuseTheLine) {
    const std::string nul(1, '\0'), ff(1, '\xFF'), del(1, '\x7F');
    const std::string body = "SDDBT,16.40,f,8.10,M,2.74,F";
    const std::vector<SounderLineCase> cases = {
        {"a NUL where the line was cut", "$SDDBT,16.40,f,8.10" + nul, SounderRefusal::NulByte},
        {"0xFF inside a number", "$SDDBT,16.40,f,8.1" + ff + "09,M,2.74,F",
         SounderRefusal::StrayByte},
        {"DEL inside", "$SDDBT,16.40,f,8.1" + del + "09,M,2.74,F", SounderRefusal::StrayByte},
        {"0x80 inside", "$SDDBT,16.40,f,8.10,M,2.74\x80,F", SounderRefusal::StrayByte},
        {"SOH inside", "$SDDBT,16.40,f,8.10\x01,M,2.74,F", SounderRefusal::StrayByte},
        {"a carriage return inside", "$SDDBT,16.40,f,8.10\r,M,2.74,F", SounderRefusal::StrayByte},
        {"a stray byte after the last field", "$" + body + "\x03", SounderRefusal::StrayByte},
        {"a stray byte the checksum covers", WithChecksum("SDDBT,16.40,f,8.1" + ff + "0,M,2.74,F"),
         SounderRefusal::StrayByte},
        {"a tab inside", "$SDDBT,16.40,f,\t8.10,M,2.74,F", SounderRefusal::None, 8.1},
        // Noise before the "$" is not part of the sentence.
        {"0xFF before the $", "\xFF" + WithChecksum(body), SounderRefusal::None, 8.1},
        {"DEL before the $", "\x7F" + WithChecksum(body), SounderRefusal::None, 8.1},
        {"NUL, SOH and STX before the $", nul + "\x01\x02" + WithChecksum(body),
         SounderRefusal::None, 8.1},
        {"noise and blanks before the $, no checksum", "\xFE \x7F\t$" + body, SounderRefusal::None,
         8.1},
        {"blanks and line ends around it", " \t" + WithChecksum(body) + "\r\n \r",
         SounderRefusal::None, 8.1},
        // Printable text before the "$" may be a device's own: it stays, and the checksum
        // does not cover it.
        {"text before the $", "X" + WithChecksum(body), SounderRefusal::WrongChecksum},
    };
    ExpectReadings("NMEA DBT", kDbtFormat, cases);
    // Sentences without a "$" are read whole, from their first byte.
    ExpectReadings("Tavrin SMT", "%*8s,%lf,%lf",
                   {{"no $", "SMT00001,12.34,12.6", SounderRefusal::None, 12.34},
                    {"0xFF before it", "\xFFSMT00001,12.34,12.6", SounderRefusal::StrayByte},
                    {"a NUL before it", nul + "SMT00001,12.34,12.6", SounderRefusal::NulByte}});
    ExpectReadings(
        "Tavrin XDR H/L", "%*8s,%lf,%*8s,%lf",
        {{"two $ in one line", "\xFF$XDHI001,12.34,$XDLO001,13.10", SounderRefusal::None, 12.34}});
}

TEST(SounderLineReader, ADepthTextThatIsNotAFiniteNumberRefusesTheLine) {
    std::vector<SounderLineCase> cases;
    for (const char* depth :
         {"nan", "NaN", "inf", "-inf", "Infinity", "1e400", "-1e400", "nan(123)", "+INF"}) {
        cases.push_back({std::string(depth) + " metres",
                         WithChecksum("SDDBT,16.40,f," + std::string(depth) + ",M,2.74,F"),
                         SounderRefusal::DepthOutOfRange});
        cases.push_back({std::string(depth) + " metres, no checksum",
                         "$SDDBT,16.40,f," + std::string(depth) + ",M,2.74,F",
                         SounderRefusal::DepthOutOfRange});
        // The feet the format skips are the same depth: the line is damaged.
        cases.push_back({std::string(depth) + " feet",
                         WithChecksum("SDDBT," + std::string(depth) + ",f,8.10,M,2.74,F"),
                         SounderRefusal::DepthOutOfRange});
    }
    cases.push_back(
        {"too small for a double: 0", "$SDDBT,16.40,f,1e-400,M,2.74,F", SounderRefusal::None, 0});
    cases.push_back({"a plain number", "$SDDBT,16.40,f,8.10,M,2.74,F", SounderRefusal::None, 8.1});
    ExpectReadings("NMEA DBT", kDbtFormat, cases);
    // A field that is no number at all is a line that does not scan, not a refused one.
    const SounderReading empty =
        ReadSounderLine("NMEA DBT", kDbtFormat, "$SDDBT,16.40,f,,M,2.74,F", ScanForTests);
    EXPECT_TRUE(empty.Taken);
    EXPECT_FALSE(empty.Valid);
    EXPECT_EQ(empty.Refusal, SounderRefusal::None);
}

TEST(DepthCorrection, ADepthBeyondAnySeaEitherWayIsNotUsable) {
    const struct {
        double depth;
        bool usable;
    } cases[] = {{12000, true},      {-12000, true}, {12000.01, false}, {-12000.01, false},
                 {-1.02e300, false}, {1e300, false}, {0, true}};
    for (const auto& c : cases) {
        CorrectedDepths depths;
        depths.TrueHigh = c.depth;
        depths.VelocityHigh = 1500;
        EXPECT_EQ(CorrectedDepthsUsable(depths, 0.35), c.usable) << c.depth;
        std::swap(depths.TrueHigh, depths.TrueLow);
        EXPECT_EQ(CorrectedDepthsUsable(depths, 0.35), c.usable) << c.depth << " low";
    }
}

TEST(DepthCorrection, CorrectsForVelocityAndDraft) {
    EXPECT_NEAR(CorrectDepth(10.0, 1530, 0.40), 10.60, 1e-12);
    SounderReading reading;
    reading.Taken = reading.Valid = true;
    reading.RawHigh = 10.0;
    DepthCorrector corrector;
    auto d = corrector.correct(SounderType::NmeaDBT, reading, 1530, 0.40, nullptr);
    EXPECT_NEAR(d.TrueHigh, 10.60, 1e-12);
    EXPECT_EQ(d.TrueLow, 0.0) << "a depth the type does not carry is 0, not the draft";

    reading.RawHigh = 0;
    reading.RawLow = 10.0;
    d = corrector.correct(SounderType::TavrinXdrLo, reading, 1530, 0.40, nullptr);
    EXPECT_EQ(d.TrueHigh, 0.0);
    EXPECT_NEAR(d.TrueLow, 10.60, 1e-12);
}

TEST(DepthCorrection, ReadsTheProfileLineOfTheRoundedDepthWithinTheColumn) {
    EXPECT_EQ(ProfileLineIndex(12.5, 100), 13u);
    EXPECT_EQ(ProfileLineIndex(12.49, 100), 12u);
    EXPECT_EQ(ProfileLineIndex(0, 100), 0u);
    EXPECT_EQ(ProfileLineIndex(-3, 100), 0u);
    EXPECT_EQ(ProfileLineIndex(1e300, 100), 99u);
    EXPECT_EQ(ProfileLineIndex(NAN, 100), 0u);

    std::vector<std::string> column;
    for (int i = 0; i < 20; ++i)
        column.push_back(std::to_string(1500 + i));
    SounderReading reading;
    reading.Taken = reading.Valid = true;
    reading.RawHigh = 12.5;
    DepthCorrector corrector;
    auto d = corrector.correct(SounderType::NmeaDBT, reading, 1530, 0.4, &column);
    EXPECT_DOUBLE_EQ(d.VelocityHigh, 1513);
    EXPECT_FALSE(corrector.profileFault());

    // Beyond the column: its deepest line.
    reading.RawHigh = 55;
    d = corrector.correct(SounderType::NmeaDBT, reading, 1530, 0.4, &column);
    EXPECT_DOUBLE_EQ(d.VelocityHigh, 1519);

    // A line that does not convert keeps the last good velocity and says so.
    column[19] = "abc";
    d = corrector.correct(SounderType::NmeaDBT, reading, 1530, 0.4, &column);
    EXPECT_DOUBLE_EQ(d.VelocityHigh, 1519);
    EXPECT_TRUE(corrector.profileFault());

    // An emptied column before any good line: the single velocity.
    DepthCorrector fresh;
    const std::vector<std::string> empty;
    d = fresh.correct(SounderType::NmeaDBT, reading, 1530, 0.4, &empty);
    EXPECT_DOUBLE_EQ(d.VelocityHigh, 1530);
    EXPECT_TRUE(fresh.profileFault());
}

} // namespace
