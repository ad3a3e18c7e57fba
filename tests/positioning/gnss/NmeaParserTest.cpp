// The sentence parser: dispatch, degree conversion, change rules, field counts, and the
// sentences it refuses so that a damaged line never moves the vessel.

#include "positioning/gnss/NmeaParser.h"
#include "positioning/gnss/NmeaChecksum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace {

std::string WithChecksum(const std::string& body) {
    return "$" + body + "*" + NmeaChecksum(body);
}

// A parser on its own fix, with every event written down.
class Parser : public ::testing::Test {
protected:
    Parser() {
        parser.onPositionChanged = [this](long double lat, long double lon, long double alt) {
            positions.push_back(
                {static_cast<double>(lat), static_cast<double>(lon), static_cast<double>(alt)});
            fixAtEvent = fix;
        };
        parser.onSpeedChanged = [this](long double kmh) {
            speeds.push_back(static_cast<double>(kmh));
            fixAtEvent = fix;
        };
    }
    NmeaParser::Outcome feed(const std::string& line) { return parser.DispatchSentence(line); }

    NmeaFix fix;
    NmeaParser parser{fix};
    std::vector<std::vector<double>> positions;
    std::vector<double> speeds;
    NmeaFix fixAtEvent;
};

using Outcome = NmeaParser::Outcome;

TEST(NmeaToDegrees, ConvertsAndRefuses) {
    struct Case {
        const char* value;
        const char* hemisphere;
        std::optional<double> degrees;
    };
    const Case cases[] = {
        {"4807.038", "N", 48.1173},
        {"4807.038", "S", -48.1173},
        {"4807.038", "s", 48.1173}, // hemisphere letters are case-sensitive
        {"4807.038", "", 48.1173},
        {"01131.000", "E", 11.0 + 31.0 / 60},
        {"01131.000", "W", -(11.0 + 31.0 / 60)},
        {"1131.000", "", 11.0 + 31.0 / 60}, // no hemisphere: two degree digits
        {"01131.000", "", std::nullopt},    // ... so a three-digit longitude is refused
        {"18000.000", "E", 180.0},
        {"0000.0000", "N", 0.0},
        {"4807.", "N", std::nullopt}, // a bare point: the minutes' digits are lost
        {"4805.1e1", "N", std::nullopt}, // an exponent in the minutes (read as 51)
        {"4805.1E-1", "N", std::nullopt},
        {"4805.+1", "N", std::nullopt},
        {"", "N", 0.0}, // no fix: an empty value reads as 0
        {"", "", 0.0},
        {"4807", "N", std::nullopt},     // no decimal point
        {".4807", "N", std::nullopt},    // point in the first place
        {"4.807", "N", std::nullopt},    // point in the second place
        {"480.7038", "N", std::nullopt}, // minutes with one digit before the point
        {"1131.000", "E", std::nullopt}, // a longitude that lost its leading zero
        {"4860.000", "N", std::nullopt}, // 60 minutes
        {"4899.999", "N", std::nullopt}, // 99 minutes
        {"4859.9999", "N", 48.0 + 59.9999 / 60},
        {"4A07.038", "N", std::nullopt},  // junk in the degrees
        {"48-7.038", "N", std::nullopt},  // a sign in the minutes
        {"4807.03x", "N", std::nullopt},  // junk in the minutes
        {"4807.0e9", "N", std::nullopt},  // an exponent making minutes huge
        {" 4807.038", "N", std::nullopt}, // blanks are not trimmed inside a field
        {"48nan.038", "N", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto result = NmeaParser::NmeaToDegrees(c.value, c.hemisphere);
        if (!c.degrees) {
            EXPECT_FALSE(result) << c.value << " " << c.hemisphere << " gave " << *result;
        } else {
            ASSERT_TRUE(result) << c.value << " " << c.hemisphere;
            EXPECT_NEAR(*result, *c.degrees, 1e-12) << c.value << " " << c.hemisphere;
        }
    }
}

TEST(NmeaFields, SplitKeepsEmptyFieldsInPlace) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"", {""}},
        {",", {"", ""}},
        {"$GPGGA,,1,,", {"$GPGGA", "", "1", "", ""}},
        {"a", {"a"}},
    };
    for (const auto& [text, expected] : cases) {
        const auto fields = NmeaParser::SplitFields(text, ',');
        EXPECT_EQ(std::vector<std::string>(fields.begin(), fields.end()), expected) << text;
    }
}

TEST(NmeaChecksum, IsTheXorOfTheBodyInUpperCaseHex) {
    EXPECT_EQ(NmeaChecksum("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,"
                           "46.9,M,,"),
              "47");
    EXPECT_EQ(NmeaChecksum(""), "00");
    EXPECT_EQ(NmeaChecksum("A"), "41");
    EXPECT_EQ(NmeaChecksum("AB"), "03");
    EXPECT_EQ(NmeaChecksum("\xfa"), "FA");
    EXPECT_EQ(NmeaChecksum("\xff"), "FF");
}

TEST_F(Parser, ChecksumPresentAndWrongDropsTheSentence) {
    const std::string body = "GPRMC,123520,A,4807.038,N,01131.000,E,010.0,084.4,230394,,";
    const std::string good = WithChecksum(body);
    std::string lower = good;
    for (size_t i = lower.size() - 2; i < lower.size(); ++i)
        lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(lower[i])));
    ASSERT_NE(lower, good) << "the checksum needs a letter for this case";
    struct Case {
        std::string line;
        Outcome outcome;
    };
    const Case cases[] = {
        {"$" + body + "*00", Outcome::ChecksumError},
        {"$" + body + "*", Outcome::ChecksumError},
        {"$" + body + "*4", Outcome::ChecksumError},
        {"$" + body + "*4G", Outcome::ChecksumError},
        {good + "X", Outcome::ChecksumError},
        {good + "A", Outcome::ChecksumError}, // three hex digits
        {"$" + body + "*G1", Outcome::ChecksumError},
        {"$" + body + "*00\xFF", Outcome::ChecksumError}, // a stray byte after a wrong one
        {"$" + body + "*00\x7F", Outcome::ChecksumError},
        {"$" + body + "*00*" + good.substr(good.size() - 2), Outcome::ChecksumError},
        {"$" + body.substr(0, 20) + "9" + body.substr(21) + good.substr(good.size() - 3),
         Outcome::ChecksumError}, // one damaged digit
    };
    for (const Case& c : cases)
        EXPECT_EQ(feed(c.line), c.outcome) << c.line;
    EXPECT_EQ(parser.checksumErrors(), std::size(cases));
    EXPECT_TRUE(speeds.empty());
    EXPECT_EQ(fix.Speed, 0);

    EXPECT_EQ(feed(lower), Outcome::Applied);      // hex digits in either case
    EXPECT_EQ(feed("$" + body), Outcome::Applied); // no checksum: accepted
    EXPECT_EQ(speeds.size(), 1u);
    EXPECT_EQ(parser.checksumErrors(), std::size(cases));
}

TEST_F(Parser, DispatchReadsTheTypeOfAStandardAddressOnly) {
    const std::string rmcFields = ",123519,A,4807.038,N,01131.000,E,010.0,084.4,230394,,";
    struct Case {
        std::string address;
        Outcome outcome;
    };
    const Case cases[] = {
        {"$GPRMC", Outcome::Applied}, {"$GNRMC", Outcome::Applied},
        {"$INRMC", Outcome::Applied}, {"$PSRMC", Outcome::Ignored}, // proprietary
        {"$GPrmc", Outcome::Ignored},                               // the type is case-sensitive
        {"$GRMC", Outcome::Ignored},  {"$GPRMCX", Outcome::Ignored},
        {"$GPHDT", Outcome::Ignored}, {"GPRMC", Outcome::Ignored}, // no "$"
    };
    for (const Case& c : cases) {
        fix = NmeaFix{};
        EXPECT_EQ(feed(c.address + rmcFields), c.outcome) << c.address;
        EXPECT_EQ(fix.Speed, c.outcome == Outcome::Applied ? 18.52 : 0.0) << c.address;
    }
    EXPECT_EQ(feed("$GPGG*" + NmeaChecksum("GPGG")), Outcome::Ignored);
    EXPECT_EQ(feed("$GPZDA,123519,15,06,2026,00,00"), Outcome::Applied);
    EXPECT_EQ(feed("$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"), Outcome::Applied);
    EXPECT_EQ(fix.Latitude, 0); // ZDA and GSA change nothing
    EXPECT_EQ(fix.FixQuality, 0);
}

TEST_F(Parser, GgaRaisesPositionOnlyWhenItChanges) {
    const std::string a = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
    const std::string altitudeOnly = "$GPGGA,123520,4807.038,N,01131.000,E,1,08,0.9,546.0,M,,M,,";
    const std::string emptyAltitude = "$GPGGA,123521,4807.038,N,01131.000,E,1,08,0.9,,M,,M,,";
    const std::string noFix = "$GPGGA,123522,,,,,0,00,99.9,,M,,M,,";
    EXPECT_EQ(feed(a), Outcome::Applied);
    EXPECT_EQ(feed(a), Outcome::Applied);
    ASSERT_EQ(positions.size(), 1u);
    EXPECT_NEAR(positions[0][0], 48.1173, 1e-12);
    EXPECT_NEAR(positions[0][1], 11.516666666666667, 1e-12);
    EXPECT_EQ(positions[0][2], 545.4);
    feed(altitudeOnly);
    ASSERT_EQ(positions.size(), 2u);
    EXPECT_EQ(positions[1][2], 546.0);
    feed(emptyAltitude); // keeps the previous altitude: no change
    EXPECT_EQ(positions.size(), 2u);
    EXPECT_EQ(fix.Altitude, 546.0);
    feed(noFix);
    ASSERT_EQ(positions.size(), 3u);
    EXPECT_EQ(positions[2], (std::vector<double>{0, 0, 546.0}));
    EXPECT_EQ(fix.FixQuality, 0);
    feed(noFix);
    EXPECT_EQ(positions.size(), 3u);
}

TEST_F(Parser, GgaStoresFixQualityAndSatellitesBeforeItsEvent) {
    feed("$GNGGA,123519,4807.038,N,01131.000,E,4,12,0.9,545.4,M,46.9,M,1.0,0001");
    ASSERT_EQ(positions.size(), 1u);
    EXPECT_EQ(fixAtEvent.FixQuality, 4);
    EXPECT_EQ(fixAtEvent.Satellites, 12);
    // Empty fix quality and satellites keep what was there; they never raise anything.
    feed("$GNGGA,123520,4807.038,N,01131.000,E,,,0.9,545.4,M,46.9,M,,");
    EXPECT_EQ(fix.FixQuality, 4);
    EXPECT_EQ(fix.Satellites, 12);
    feed("$GNGGA,123520,4807.038,N,01131.000,E,5,07,0.9,545.4,M,46.9,M,,");
    EXPECT_EQ(fix.FixQuality, 5);
    EXPECT_EQ(fix.Satellites, 7);
    EXPECT_EQ(positions.size(), 1u);
}

TEST_F(Parser, DamagedGgaChangesNothingAtAll) {
    feed("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    const NmeaFix before = fix;
    const char* damaged[] = {
        "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9",     // 9 fields
        "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,",    // 10 fields, altitude empty: fine
        "$GPGGA,123519,9100.000,N,01131.000,E,4,08,0.9,1,M", // latitude beyond 90
        "$GPGGA,123519,4807.038,N,18100.000,W,4,08,0.9,1,M", // longitude beyond 180
        "$GPGGA,123519,4860.000,N,01131.000,E,4,08,0.9,1,M", // 60 minutes
        "$GPGGA,123519,4807.038,N,01131.000,E,x,08,0.9,1,M", // fix quality not a number
        "$GPGGA,123519,4807.038,N,01131.000,E,4,-1,0.9,1,M", // negative satellites
        "$GPGGA,123519,4807.038,N,01131.000,E,4,08,0.9,nan,M",
        "$GPGGA,123519,4807.038,N,01131.000,E,4,08,0.9,inf,M",
        "$GPGGA,123519,4807.038,N,01131.000,E,4,08,0.9,1e999,M",
        "$GPGGA,123519,4807.038,N,01131.000,E,4,08,0.9,1.5.5,M",
        "$GPGGA,123519,4807,N,01131.000,E,4,08,0.9,1,M", // no decimal point
    };
    for (const char* line : damaged) {
        const Outcome outcome = feed(line);
        if (std::string(line).ends_with("0.9,")) {
            EXPECT_EQ(outcome, Outcome::Applied);
            continue;
        }
        EXPECT_EQ(outcome, Outcome::Refused) << line;
        EXPECT_EQ(fix.Latitude, before.Latitude) << line;
        EXPECT_EQ(fix.Longitude, before.Longitude) << line;
        EXPECT_EQ(fix.Altitude, before.Altitude) << line;
        EXPECT_EQ(fix.FixQuality, before.FixQuality) << line;
        EXPECT_EQ(fix.Satellites, before.Satellites) << line;
    }
    EXPECT_EQ(parser.refusedSentences(), std::size(damaged) - 1);
    EXPECT_EQ(positions.size(), 1u);
}

// Damaged positions that once moved the vessel: a hemisphere other than N/S or E/W read as
// north or east, and a position with one coordinate empty read that one as 0. The lines are
// those kept in data/fuzz/ (F1, F3) and their relatives.
TEST_F(Parser, GgaAndRmcWithADamagedHemisphereOrHalfAPositionAreRefused) {
    const std::string good = "$GPGGA,123519,4807.038,S,01131.000,W,1,08,0.9,545.4,M,46.9,M,,";
    ASSERT_EQ(feed(good), Outcome::Applied);
    ASSERT_EQ(feed("$GPRMC,123519,A,4807.038,S,01131.000,W,010.0,084.4,230394,003.1,W"),
              Outcome::Applied);
    const NmeaFix before = fix;
    const std::string damaged[] = {
        "$GPGGA,123519,4807.038,s,01131.000,W,1,08,0.9,545.4,M,46.9,M,,",
        "$GPGGA,123519,4807.038,Q,01131.000,W,1,08,0.9,545.4,M,46.9,M,,",
        "$GPGGA,123519,4807.038,,01131.000,W,1,08,0.9,545.4,M,46.9,M,,",
        "$GPGGA,123519,4807.038,C,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
        "$GPGGA,123519,4807.038,X,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
        "$GPGGA,123519,4807.038,S,01131.000,w,1,08,0.9,545.4,M,46.9,M,,",
        "$GPGGA,123519,4807.038,S,01131.000,,1,08,0.9,545.4,M,46.9,M,,",
        "$GPGGA,123519,4807.038,S,01131.000,N,1,08,0.9,545.4,M,46.9,M,,",
        "$GPGGA,123519,4807.038,E,01131.000,S,1,08,0.9,545.4,M,46.9,M,,",
        "$GPGGA,123519,,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
        "$GPGGA,123519,4807.038,N,,E,1,08,0.9,545.4,M,46.9,M,,",
        WithChecksum("GPGGA,123519,,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"),
        "$GPGGA,123519,4805.1e1,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
        "$GPRMC,123519,A,4807.038,s,01131.000,W,011.0,084.4,230394,003.1,W",
        "$GPRMC,123519,A,4807.038,S,01131.000,,011.0,084.4,230394,003.1,W",
        "$GPRMC,123519,A,,,01131.000,W,011.0,084.4,230394,003.1,W",
        "$GPRMC,123519,A,4807.038,S,,,011.0,084.4,230394,003.1,W",
    };
    for (const std::string& line : damaged) {
        EXPECT_EQ(feed(line), Outcome::Refused) << line;
        EXPECT_EQ(fix.Latitude, before.Latitude) << line;
        EXPECT_EQ(fix.Longitude, before.Longitude) << line;
        EXPECT_EQ(fix.Speed, before.Speed) << line;
        EXPECT_EQ(fix.Course, before.Course) << line;
        EXPECT_EQ(fix.Satellites, before.Satellites) << line;
    }
    EXPECT_EQ(positions.size(), 1u);
    EXPECT_EQ(speeds.size(), 1u);
    // Both empty is the receiver's "no fix" and still reads as 0.
    EXPECT_EQ(feed("$GPGGA,123520,,,,,0,00,,,M,,M,,"), Outcome::Applied);
    EXPECT_EQ(fix.Latitude, 0.0);
    EXPECT_EQ(fix.Longitude, 0.0);
}

TEST_F(Parser, ACourseOutsideZeroTo360IsRefused) {
    feed("$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K");
    struct Case {
        const char* line;
        Outcome outcome;
        double course;
    };
    const Case cases[] = {
        {"$GPVTG,-054.7,T,034.4,M,005.5,N,010.2,K", Outcome::Refused, 54.7}, // data/fuzz F4
        {"$GPVTG,1e300,T,034.4,M,005.5,N,010.2,K", Outcome::Refused, 54.7},
        {"$GPVTG,360.1,T,,M,,N,010.2,K", Outcome::Refused, 54.7},
        {"$GPRMC,1,A,,,,,10.0,1e300,", Outcome::Refused, 54.7},
        {"$GPRMC,1,A,,,,,10.0,-0.5,", Outcome::Refused, 54.7},
        {"$GPVTG,360.0,T,,M,,N,010.2,K", Outcome::Applied, 360.0},
        {"$GPRMC,1,A,,,,,10.0,0.0,", Outcome::Applied, 0.0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(feed(c.line), c.outcome) << c.line;
        EXPECT_EQ(fix.Course, c.course) << c.line;
    }
}

TEST_F(Parser, ExtremeButValidPositionsAreAccepted) {
    feed("$GPGGA,0,9000.000,S,18000.000,W,1,04,1,-12.5,M,,M,,");
    ASSERT_EQ(positions.size(), 1u);
    EXPECT_EQ(positions[0], (std::vector<double>{-90.0, -180.0, -12.5}));
}

TEST_F(Parser, RmcSpeedInKnotsBecomesKmhAndRaisesOncePerChange) {
    const std::string rmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,010.0,084.4,230394,003.1,W";
    feed(rmc);
    feed(rmc);
    ASSERT_EQ(speeds.size(), 1u);
    EXPECT_NEAR(speeds[0], 18.52, 1e-12);
    EXPECT_NEAR(fix.Course, 84.4, 1e-12);
    // The speed event comes before the new course is stored.
    feed("$GPRMC,123520,A,4807.038,N,01131.000,E,011.0,090.0,230394,003.1,W");
    ASSERT_EQ(speeds.size(), 2u);
    EXPECT_NEAR(fixAtEvent.Course, 84.4, 1e-12);
    EXPECT_NEAR(fix.Course, 90.0, 1e-12);
}

TEST_F(Parser, RmcFieldCounts) {
    struct Case {
        const char* line;
        Outcome outcome;
        double speed, course;
    };
    const Case cases[] = {
        {"$GPRMC,1,A,4807.038,N,01131.000,E", Outcome::Refused, 0, 0},        // 7 fields
        {"$GPRMC,1,A,4807.038,N,01131.000,E,5.0", Outcome::Applied, 9.26, 0}, // 8: no course
        {"$GPRMC,1,A,,,,,,", Outcome::Applied, 0, 0},                         // 9, all empty
        {"$GPRMC,1,V,,,,,2.0,45.0,", Outcome::Applied, 3.704, 45},            // void: still read
    };
    for (const Case& c : cases) {
        fix = NmeaFix{};
        EXPECT_EQ(feed(c.line), c.outcome) << c.line;
        EXPECT_NEAR(fix.Speed, c.speed, 1e-12) << c.line;
        EXPECT_NEAR(fix.Course, c.course, 1e-12) << c.line;
    }
}

TEST_F(Parser, VtgStoresTheCourseBeforeItsSpeedEvent) {
    feed("$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K");
    ASSERT_EQ(speeds.size(), 1u);
    EXPECT_EQ(speeds[0], 10.2);
    EXPECT_EQ(fixAtEvent.Course, 54.7);
    feed("$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K"); // same speed: no event
    EXPECT_EQ(speeds.size(), 1u);
    EXPECT_EQ(feed("$GPVTG,054.7,T,034.4,M,005.5,N"), Outcome::Refused); // 7 fields
    feed("$GPVTG,,T,,M,,N,,K");                                          // empty: no change
    EXPECT_EQ(fix.Course, 54.7);
    EXPECT_EQ(fix.Speed, 10.2);
}

TEST_F(Parser, DamagedSpeedOrCourseChangesNothing) {
    feed("$GPRMC,1,A,,,,,10.0,84.4,");
    const NmeaFix before = fix;
    const char* damaged[] = {
        "$GPRMC,1,A,,,,,abc,90.0,", "$GPRMC,1,A,,,,,11.0,east,",  "$GPRMC,1,A,,,,,-1.0,90.0,",
        "$GPRMC,1,A,,,,,nan,90.0,", "$GPRMC,1,A,,,,,1e308,90.0,", // finite knots, infinite km/h
        "$GPVTG,x,T,,M,,N,12.0,K",  "$GPVTG,90.0,T,,M,,N,inf,K",  "$GPRMC,1,A,,,,,11.0,1e999,",
    };
    for (const char* line : damaged) {
        EXPECT_EQ(feed(line), Outcome::Refused) << line;
        EXPECT_EQ(fix.Speed, before.Speed) << line;
        EXPECT_EQ(fix.Course, before.Course) << line;
    }
    EXPECT_EQ(speeds.size(), 1u);
}

} // namespace
