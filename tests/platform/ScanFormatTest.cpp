#include "platform/ScanFormat.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <random>
#include <string>
#include <vector>

// The C library's sscanf is the reference for every format the scanner accepts: the same count
// (an end-of-input result counts as none) and the same bits in every assigned number. It is
// called here only, with formats the scanner has accepted, never in the program.

namespace {

struct Scan {
    int count = 0;
    double values[ScanFormat::MaxNumbers] = {};
};

Scan OurScan(const std::string& line, const std::string& format) {
    Scan scan;
    scan.count = ScanSounderLine(line, format, scan.values);
    return scan;
}

Scan LibraryScan(const std::string& line, const std::string& format) {
    Scan scan;
    const int n = std::sscanf(line.c_str(), format.c_str(), &scan.values[0], &scan.values[1],
                              &scan.values[2], &scan.values[3]);
    scan.count = n < 0 ? 0 : n;
    return scan;
}

uint64_t Bits(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

void ExpectSameAsLibrary(const std::string& line, const std::string& format) {
    std::string error;
    ASSERT_TRUE(CompileSounderFormat(format, error).valid) << format << ": " << error;
    const Scan ours = OurScan(line, format);
    const Scan theirs = LibraryScan(line, format);
    ASSERT_EQ(ours.count, theirs.count) << "format [" << format << "] line [" << line << "]";
    for (int i = 0; i < ours.count; ++i)
        EXPECT_EQ(Bits(ours.values[i]), Bits(theirs.values[i]))
            << "number " << i << " format [" << format << "] line [" << line << "]: "
            << ours.values[i] << " vs " << theirs.values[i];
}

const std::vector<std::string> BuiltInFormats = {
    "%*8s,%lf,%lf",       "%*6s,%lf",           "%*6s,%*lf,%*1s,%lf", "%*8s,%lf",
    "%*42s,%lf",          "%*8s,%*lf,%*8s,%lf", "%*8s,%lf,%*8s,%lf",
};

const std::vector<std::string> OperatorFormats = {
    "%*[^,],%lf",      "%*3c%lf",         "%%%lf",         " %lf %lf",     "%lf,%lf,%lf,%lf",
    "%*s %lf",         "%*[A-Z$],%lf",    "%*[]x],%lf",    "%*[-0-9],%lf", "%*2[$A-Z]%*s",
    "%*[^,],%*lf,%lf", "X%*c%*c,%lf",     "%lf%%",         "%*c",          "",
    "  ",              "%*[a-c-e]%lf",    "%*[z-a]%lf",    "%*4096s%lf",   "%*8s ,%lf",
    "%*[^,], %lf,%lf", "%*s%*s%*s%lf",    "%*lf,%lf",      "%lf ",         "%*[^0-9]%lf",
};

const std::vector<std::string> Lines = {
    // Good lines of each sounder type.
    "$SMT0001,12.34,12.5",
    "$SMT0001,7,7",
    "$SDDPT,12.3,0.5*6A",
    "$SDDPT,5.25,",
    "$SDDBT,40.5,f,12.34,M,6.7,F*3C",
    "$XDRHI01,15.75",
    "$XDRLO01,3.5,$XDRLO02,4.25",
    "$XDRHL01,15.75,$XDRHL02,16.5",
    "ODC ECHOTRAC HEADER 1234567890 ABCDEFGHIJ,23.45",
    "0123456789012345678901234567890123456789AB,23.45",
    // Short, empty and damaged lines.
    "",
    " ",
    "$SMT0001",
    "$SMT0001,",
    "$SMT0001,,",
    "$SMT0001,12.34",
    "$SMT001,12.34,12.5",
    "$SMT00001,12.34,12.5",
    "$SDDPT,,0.5",
    "$SDDBT,,f,,M,,F",
    "$XDRLO01,3.5,",
    // Signs, exponents, decimals.
    "$SMT0001,-12.34,+12.5",
    "$SMT0001,1.5e2,2E-3",
    "$SMT0001,1e+2,-0.0",
    "$SMT0001,.5,5.",
    "$SMT0001,-.25e+1,000123.4500",
    "$SMT0001,1.2.3,4",
    "$SMT0001,+-1,2",
    "$SMT0001,-,2",
    "$SMT0001,.,2",
    "$SMT0001,0.1,0.30000000000000004",
    "$SMT0001,123456789012345678901234567890,1e-300",
    "$SMT0001,2.2250738585072014e-308,4.9e-324",
    "$SMT0001,1e-400,-1e-400",
    // Blanks in odd places.
    "   $SMT0001,12.34,12.5",
    "$SMT0001, 12.34, \t12.5",
    "$SMT0001 ,12.34,12.5",
    "\t$SDDPT,12.3",
    "$SDDPT,12.3 \r\n",
    // Operator formats' own material.
    "%12.5",
    "  %12.5",
    "12.5%",
    "ABC12.5",
    "1,2,3,4",
    "1 2 3 4 5",
    "X12,3.5",
    "-5-4,3",
    "]x,9",
    "zz-a9",
    "abcde1.5",
    "$GPGGA,123519,4807.038,N",
};

} // namespace

TEST(ScanFormat, BuiltInFormatsScanEveryLineAsTheCLibraryDoes) {
    for (const std::string& format : BuiltInFormats)
        for (const std::string& line : Lines)
            ExpectSameAsLibrary(line, format);
}

TEST(ScanFormat, OperatorFormatsScanEveryLineAsTheCLibraryDoes) {
    for (const std::string& format : OperatorFormats)
        for (const std::string& line : Lines)
            ExpectSameAsLibrary(line, format);
}

TEST(ScanFormat, BuiltInFormatsReadTheNumbersOfTheirLines) {
    double v[4] = {};
    ASSERT_EQ(ScanSounderLine("$SMT0001,12.34,12.5", "%*8s,%lf,%lf", v), 2);
    EXPECT_DOUBLE_EQ(v[0], 12.34);
    EXPECT_DOUBLE_EQ(v[1], 12.5);
    ASSERT_EQ(ScanSounderLine("$SDDBT,40.5,f,12.34,M,6.7,F*3C", "%*6s,%*lf,%*1s,%lf", v), 1);
    EXPECT_DOUBLE_EQ(v[0], 12.34);
    ASSERT_EQ(ScanSounderLine("$XDRHL01,15.75,$XDRHL02,16.5", "%*8s,%lf,%*8s,%lf", v), 2);
    EXPECT_DOUBLE_EQ(v[0], 15.75);
    EXPECT_DOUBLE_EQ(v[1], 16.5);
}

// Where the scanner deliberately parts from the C library: numbers a device never sends and
// that would otherwise enter the program as NaN, infinity or a surprise.
TEST(ScanFormat, NonFiniteHexadecimalAndOverflowingNumbersEndTheScan) {
    struct Case {
        const char* line;
        const char* format;
        int count;
        double first;
        bool notFinite; // the scan says it ended at a number that is not finite
    };
    const Case cases[] = {
        {"nan", "%lf", 0, 0, true},
        {"-NaN(1)", "%lf", 0, 0, true},
        {"inf", "%lf", 0, 0, true},
        {"infinity", "%lf", 0, 0, true},
        {"5,-Infinity", "%lf,%lf", 1, 5, true},
        {"5,+INF", "%*lf,%lf", 0, 0, true}, // a skipped number too
        {"0x1p3", "%lf", 0, 0, false},
        {"-0X10", "%lf", 0, 0, false},
        {"1e400", "%lf", 0, 0, true},
        {"7,-1e400", "%lf,%lf", 1, 7, true},
        {"7,n", "%lf,%lf", 1, 7, false},
        {"7,", "%lf,%lf", 1, 7, false},
        // A dangling exponent mark is not part of the number: the number is 1 and the scan
        // goes on from the "e".
        {"1e", "%lf", 1, 1, false},
        {"1e,2", "%lf,%lf", 1, 1, false},
        {"1e+", "%lf%*s", 1, 1, false},
        {"1ee", "%lf%*[e]", 1, 1, false},
    };
    for (const Case& c : cases) {
        double v[4] = {-99, -99, -99, -99};
        bool notFinite = !c.notFinite;
        EXPECT_EQ(ScanSounderLine(c.line, c.format, v, &notFinite), c.count) << c.line;
        EXPECT_EQ(notFinite, c.notFinite) << c.line;
        if (c.count > 0) {
            EXPECT_EQ(v[0], c.first) << c.line;
        }
    }
    // Too small for a double is zero, as the C library reads it.
    double v[4] = {};
    ASSERT_EQ(ScanSounderLine("1e-400 -1e-999999999999", "%lf%lf", v), 2);
    EXPECT_EQ(Bits(v[0]), Bits(0.0));
    EXPECT_EQ(Bits(v[1]), Bits(-0.0));
}

TEST(ScanFormat, FormatsOutsideTheAcceptedDirectivesAreRefusedWithPositionAndReason) {
    struct Case {
        std::string format;
        const char* expected; // start of the error text
    };
    const Case cases[] = {
        {"%s", "position 1: %s stores text"},
        {"%*8s,%d", "position 6: %d is not one of the accepted conversions"},
        {"%lf%n", "position 4: %n is not one"},
        {"%f", "position 1: %f is not one"},
        {"%5lf", "position 1: a number (%lf) takes no width"},
        {"%*5lf", "position 1: a number (%lf) takes no width"},
        {"%lf%lf%lf%lf%lf", "position 13: a format reads at most 4 numbers"},
        {"abc%", "position 4: a lone %"},
        {"%c", "position 1: %c stores text"},
        {"%[abc]", "position 1: %[ stores text"},
        {"%*0s", "position 3: a width runs from 1 to 4096"},
        {"%*4097c", "position 3: a width runs from 1 to 4096"},
        {"%*99999999999999999999s", "position 3: a width runs from 1 to 4096"},
        {"%*[abc", "position 1: the set %*[...] has no closing ]"},
        {"%*[]", "position 1: the set %*[...] has no closing ]"},
        {"%*[^]", "position 1: the set %*[...] has no closing ]"},
        {"%*", "position 1: the conversion is not finished"},
        {"%*l", "position 1: %*l is not one"},
        {"%Lf", "position 1: %Lf is not one"},
        {"%*hd", "position 1: %*hd is not one"},
        {std::string(257, 'x'), "a format holds at most 256 bytes"},
    };
    for (const Case& c : cases) {
        std::string error;
        const ScanFormat program = CompileSounderFormat(c.format, error);
        EXPECT_FALSE(program.valid) << c.format;
        EXPECT_EQ(error.rfind(c.expected, 0), 0u) << c.format << " -> " << error;
        double v[4] = {};
        EXPECT_EQ(ScanSounderLine("1 2 3 4 5", c.format, v), 0) << c.format;
    }
    std::string error;
    EXPECT_TRUE(CompileSounderFormat(std::string(256, 'x'), error).valid) << error;
    EXPECT_TRUE(CompileSounderFormat("%*4096s%*1c%*c%*s%*[^,]%%", error).valid) << error;
}

TEST(ScanFormat, DescriptionSaysHowManyNumbersOrWhy) {
    EXPECT_EQ(DescribeSounderFormat("%*8s,%lf,%lf"), "reads 2 numbers");
    EXPECT_EQ(DescribeSounderFormat("%*6s,%lf"), "reads 1 number");
    EXPECT_EQ(DescribeSounderFormat(""), "reads 0 numbers");
    EXPECT_EQ(DescribeSounderFormat("%*8s,%d").rfind("refused: position 6: %d", 0), 0u);
}

TEST(ScanFormat, ChangingFormatsOnOneThreadScansEachWithItsOwn) {
    double v[4] = {};
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 6; ++i) {
            const std::string format = std::string(size_t(i), ' ') + "%lf,%lf";
            EXPECT_EQ(ScanSounderLine("1,2", format, v), 2);
        }
        EXPECT_EQ(ScanSounderLine("1,2", "%lf", v), 1);
        EXPECT_EQ(ScanSounderLine("1,2", "%d", v), 0);
        EXPECT_EQ(ScanSounderLine("1,2", "", v), 0);
    }
}

// Random formats of accepted and refused pieces over random lines: nothing crashes, and every
// accepted format agrees with the C library on lines without the deliberate differences.
TEST(ScanFormat, RandomFormatsAndLinesNeverCrashAndAgreeWithTheCLibrary) {
    std::mt19937 random(20261210);
    const std::vector<std::string> pieces = {
        "%lf",   "%*lf", "%*s",  "%*3s", "%*c",   "%*2c", "%*[^,]", "%*[0-9]", "%*[]a-c]",
        "%%",    ",",    " ",    "\t",   "$",     "A",    "%*1s",   "%*[^ ]",  "%*2[,]",
        "%d",    "%",    "%5lf", "%s",   "%*[ab", "%n",   "-",      ".",       "%*4096c"};
    const std::string lineBytes = "0123456789.,+- \t$ABC*%]";
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string format;
        const int count = int(random() % 7);
        for (int i = 0; i < count; ++i)
            format += pieces[random() % pieces.size()];
        std::string line;
        const int length = int(random() % 30);
        for (int i = 0; i < length; ++i)
            line += lineBytes[random() % lineBytes.size()];
        std::string error;
        const ScanFormat program = CompileSounderFormat(format, error);
        double v[4] = {};
        const int n = ScanSounderLine(line, program, v);
        ASSERT_GE(n, 0);
        ASSERT_LE(n, program.numberCount);
        if (program.valid) {
            ++accepted;
            ExpectSameAsLibrary(line, format);
            if (HasFailure())
                return;
        } else {
            EXPECT_FALSE(error.empty()) << format;
        }
    }
    EXPECT_GT(accepted, 1000);
    // Arbitrary bytes in format and line.
    for (int round = 0; round < 20000; ++round) {
        std::string format(random() % 40, '\0');
        for (char& c : format)
            c = char(random() % 256);
        std::string line(random() % 60, '\0');
        for (char& c : line)
            c = char(random() % 256);
        double v[4] = {};
        const int n = ScanSounderLine(line, format, v);
        ASSERT_GE(n, 0);
        ASSERT_LE(n, ScanFormat::MaxNumbers);
    }
}

// The fuzz target's seeds and every input that once crashed it, replayed through the same
// checks.
TEST(ScanFormat, FuzzSeedsAndKeptInputsScanSafely) {
    int inputs = 0;
    for (const char* folder : {TEST_DATA_DIR "/sounder-scan", TEST_DATA_DIR "/fuzz"}) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().extension() == ".md")
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            const std::string input = bytes.str();
            const size_t end = input.find('\n');
            const std::string format = input.substr(0, end);
            const std::string line = end == std::string::npos ? std::string() : input.substr(end + 1);
            std::string error;
            const ScanFormat program = CompileSounderFormat(format, error);
            double v[4] = {};
            const int n = ScanSounderLine(line, program, v);
            EXPECT_LE(n, program.numberCount) << entry.path();
            for (int i = 0; i < n; ++i)
                EXPECT_TRUE(std::isfinite(v[i])) << entry.path();
            if (program.valid)
                ExpectSameAsLibrary(line, format);
            ++inputs;
        }
    }
    EXPECT_GE(inputs, 4);
}
