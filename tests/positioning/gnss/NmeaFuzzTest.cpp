// Whatever a device sends, the parser and the line cutter never crash and never store a value
// that is not finite or not a place on the earth. Seeded, so every run feeds the same bytes.

#include "positioning/gnss/NmeaChecksum.h"
#include "positioning/gnss/NmeaParser.h"
#include "positioning/gnss/TavrinSerialGPS.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

std::string WithChecksum(const std::string& body) {
    return "$" + body + "*" + NmeaChecksum(body);
}

// A fix is sane when every value is finite and the position is on the earth.
::testing::AssertionResult Sane(const NmeaFix& fix) {
    for (const double value : {fix.Latitude, fix.Longitude, fix.Altitude, fix.Speed, fix.Course})
        if (!std::isfinite(value))
            return ::testing::AssertionFailure() << "non-finite value " << value;
    if (std::fabs(fix.Latitude) > 90 || std::fabs(fix.Longitude) > 180)
        return ::testing::AssertionFailure()
               << "off the earth: " << fix.Latitude << ", " << fix.Longitude;
    if (fix.Speed < 0 || fix.FixQuality < 0 || fix.Satellites < 0)
        return ::testing::AssertionFailure() << "negative speed or count";
    return ::testing::AssertionSuccess();
}

std::string RandomBytes(std::mt19937& random, size_t length) {
    std::string bytes(length, '\0');
    std::uniform_int_distribution<int> byte(0, 255);
    for (char& c : bytes)
        c = static_cast<char>(byte(random));
    return bytes;
}

// Field values that have hurt parsers: signs, exponents, non-finite words, huge and tiny
// numbers, stray points.
std::string NastyField(std::mt19937& random) {
    static const std::vector<std::string> words = {
        "",      "nan",      "NaN",        "inf",        "-inf",       "infinity", "1e308",
        "1e999", "-1e999",   "1e-320",     "-0",         "+5",         ".",        "-",
        "0x1p3", "4807.038", "01131.000",  "9000.000",   "9000.0001",  "18000.01", "00000.000",
        "99.",   "5960.000", "4807.038e2", " 12",        "12 ",        "1,2",      "N",
        "E",     "W",        "S",          "2147483648", "-2147483649"};
    std::uniform_int_distribution<size_t> pick(0, words.size());
    const size_t index = pick(random);
    if (index < words.size())
        return words[index];
    std::uniform_int_distribution<int> digits(1, 12);
    std::string number = std::to_string(std::uniform_int_distribution<long>(0, 99999999)(random));
    number.insert(std::min(number.size(), static_cast<size_t>(digits(random) % 6)), ".");
    return number;
}

TEST(NmeaFuzz, RandomBytesNeverCrashOrStoreNonsense) {
    std::mt19937 random(20260101);
    NmeaFix fix;
    NmeaParser parser(fix);
    std::uniform_int_distribution<size_t> length(0, 200);
    for (int i = 0; i < 20000; ++i) {
        std::string line = RandomBytes(random, length(random));
        if (i % 2 == 0)
            line.insert(0, i % 4 == 0 ? "$GPGGA," : "$GNRMC,");
        line.insert(0, "$");
        parser.DispatchSentence(line);
        ASSERT_TRUE(Sane(fix)) << "after line " << i;
    }
}

TEST(NmeaFuzz, MutatedSentencesNeverStoreNonsense) {
    std::mt19937 random(7);
    NmeaFix fix;
    NmeaParser parser(fix);
    const std::vector<std::string> templates = {
        "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
        "GNRMC,123519,A,4807.038,N,01131.000,E,010.0,084.4,230394,003.1,W",
        "GPVTG,054.7,T,034.4,M,005.5,N,010.2,K",
    };
    int applied = 0;
    for (int i = 0; i < 30000; ++i) {
        auto fields = NmeaParser::SplitFields(templates[i % templates.size()], ',');
        std::vector<std::string> mutated(fields.begin(), fields.end());
        const int changes = 1 + i % 3;
        for (int c = 0; c < changes; ++c)
            mutated[1 + random() % (mutated.size() - 1)] = NastyField(random);
        std::string body = mutated[0];
        for (size_t f = 1; f < mutated.size(); ++f)
            body += "," + mutated[f];
        const auto outcome = parser.DispatchSentence(i % 5 ? WithChecksum(body) : "$" + body);
        applied += outcome == NmeaParser::Outcome::Applied;
        ASSERT_TRUE(Sane(fix)) << body;
    }
    // The mutations leave enough sentences whole for the values to move around.
    EXPECT_GT(applied, 3000);
    EXPECT_GT(parser.refusedSentences(), 3000u);
}

TEST(NmeaFuzz, TenThousandCommasAndHundredKilobyteFields) {
    NmeaFix fix;
    NmeaParser parser(fix);
    const std::string commas(10000, ',');
    const std::string digits(100 * 1024, '9');
    const std::string zeros(100 * 1024, '0');
    const std::vector<std::string> lines = {
        "$GPGGA" + commas,
        "$GPRMC" + commas,
        "$GPVTG" + commas,
        WithChecksum("GPGGA" + commas),
        "$GPGGA,1," + digits + ",N,01131.000,E,1,08,0.9,1,M",
        "$GPGGA,1,4807.038,N,01131.000,E,1,08,0.9," + digits + ",M",
        "$GPGGA,1,4807.038,N,01131.000,E," + digits + ",08,0.9,1,M",
        "$GPRMC,1,A,,,,," + digits + ",1,",
        "$GPRMC,1,A,,,,,1," + digits + "." + digits + ",",
        "$GPVTG,1,T,,M,,N," + zeros + "." + digits + ",K",
        "$GPGGA,1,48" + zeros + ".5,N,01131.000,E,1,08,0.9,1,M",
        "$" + std::string(100 * 1024, 'G'),
        "$GPGGA," + std::string(100 * 1024, '*'),
    };
    for (const auto& line : lines) {
        parser.DispatchSentence(line);
        ASSERT_TRUE(Sane(fix)) << line.substr(0, 40);
    }
    // Only the VTG's 0.999... km/h is a real number (it rounds to 1); the rest was refused.
    EXPECT_EQ(fix.Speed, 1.0);
    EXPECT_EQ(fix.Latitude, 0);
    EXPECT_EQ(fix.Altitude, 0);
    EXPECT_EQ(parser.checksumErrors(), 1u); // the field of stars
}

TEST(NmeaFuzz, TheLineCutterStaysBoundedUnderRandomBytes) {
    std::mt19937 random(99);
    TTavrinSerialGPS port;
    size_t lines = 0;
    size_t longest = 0;
    port.OnNewCommand = [&](QObject*, const std::string& line) {
        ++lines;
        longest = std::max(longest, line.size());
        if (line.empty() || static_cast<unsigned char>(line.front()) <= 32 ||
            static_cast<unsigned char>(line.back()) <= 32)
            throw std::logic_error("line not trimmed");
        if (line.find('\n') != std::string::npos || line.find('\0') != std::string::npos)
            throw std::logic_error("line feed or NUL inside a line");
    };
    int reports = 0;
    RepeatedErrorGuard::setSink([&](const QString&) { ++reports; });
    std::uniform_int_distribution<size_t> length(0, 9000);
    std::bernoulli_distribution sparse(0.3);
    for (int i = 0; i < 3000; ++i) {
        std::string chunk = RandomBytes(random, length(random));
        if (sparse(random)) // long stretches without a line feed
            for (char& c : chunk)
                if (c == '\n')
                    c = 'x';
        port.AcceptBytes(chunk.data(), chunk.size());
        ASSERT_LE(port.RxBuffer.size(), 4096u);
        ASSERT_TRUE(Sane(port));
    }
    RepeatedErrorGuard::setSink(nullptr);
    EXPECT_EQ(reports, 0);
    EXPECT_GT(lines, 1000u);
    EXPECT_LE(longest, TTavrinSerialGPS::MaxLineLength);
}

// The inputs a fuzzing campaign found (data/fuzz/): each line is refused and leaves the fix
// bit for bit as it was.
TEST(NmeaFuzz, KeptReproducersAreRefusedAndLeaveTheFixUntouched) {
    int lines = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TEST_DATA_DIR "/fuzz")) {
        if (entry.path().extension() != ".nmea")
            continue;
        std::ifstream file(entry.path(), std::ios::binary);
        std::string line;
        while (std::getline(file, line)) {
            NmeaFix fix;
            fix.Latitude = -33.5;
            fix.Longitude = 151.25;
            fix.Course = 12.0;
            fix.Speed = 3.0;
            const NmeaFix before = fix;
            NmeaParser parser(fix);
            EXPECT_EQ(parser.DispatchSentence(line), NmeaParser::Outcome::Refused) << line;
            EXPECT_EQ(std::memcmp(&fix, &before, sizeof fix), 0) << line;
            ++lines;
        }
    }
    EXPECT_GE(lines, 4);
}

} // namespace
