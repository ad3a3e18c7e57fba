#include "positioning/geodesy/GeodesyNumberScanner.h"
#include "platform/NumericLocale.h"
#include "positioning/geodesy/GeodesyText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

TEST(GeodesyNumberScanner, ReadsNumbersSeparatedByWhiteSpace) {
    double v[4] = {0, 0, 0, 0};
    EXPECT_EQ(ScanLeadingNumbers("  41.5\t-29\n+0.25 1e3", v, 4), 4u);
    EXPECT_EQ(v[0], 41.5);
    EXPECT_EQ(v[1], -29);
    EXPECT_EQ(v[2], 0.25);
    EXPECT_EQ(v[3], 1000);
    EXPECT_EQ(ScanLeadingNumbers(".5 5. -.5", v, 4), 3u);
    EXPECT_EQ(v[0], 0.5);
    EXPECT_EQ(v[1], 5);
    EXPECT_EQ(v[2], -0.5);
    // Reading stops at the first token that is not a whole number.
    const std::pair<const char*, std::size_t> cases[] = {
        {"41 29,5 0", 1}, {"41 nan 0", 1}, {"inf 1 2", 0}, {"41abc 29", 0},  {"0x10 1", 0}, {"", 0},
        {"   \t ", 0},    {"41 - 2", 1},   {"1e999 2", 0}, {"41 29 0 7", 3}, {"41 29", 2},
    };
    for (const auto& [text, count] : cases)
        EXPECT_EQ(ScanLeadingNumbers(text, v, 3), count) << '"' << text << '"';
}

TEST(GeodesyNumberScanner, ExactCountRefusesMissingAndSurplusTokens) {
    double v[3];
    EXPECT_TRUE(ScanExactNumbers(" 1 2 3 ", v, 3));
    EXPECT_FALSE(ScanExactNumbers("1 2", v, 3));
    EXPECT_FALSE(ScanExactNumbers("1 2 3 4", v, 3));
    EXPECT_FALSE(ScanExactNumbers("1 2 3 x", v, 3));
    EXPECT_FALSE(ScanExactNumbers("1 2 NaN", v, 3));
}

// Restores the C numeric locale however the test ends.
struct LocaleScope {
    ~LocaleScope() { ResetNumericLocale(); }
};

TEST(GeodesyNumberScanner, TextsDoNotDependOnTheLocale) {
    const std::string datum = "6378137.0  0.0033528106647474  0.0  0.0  0.0  0.0  0.0  0.0  0.0 "
                              "6378388 0.003367003367003367 1.2 -0.8 -0.3 0.6 -84.12 -101.75 "
                              "-129.33";
    const std::string ellipsoid = "6378137.0 0.0033528106647474 6378388 0.003367003367003367";
    const std::string inC = GeodeticToGrid("41.2 29.1", datum, "30 0 1 500000 0", ellipsoid);
    const std::string blhInC = DatumTransform("BLH", "41.2 29.1 12.5", datum);
    ASSERT_NE(inC, "0");
    LocaleScope scope;
    ASSERT_NE(std::setlocale(LC_ALL, "tr_TR.UTF-8"), nullptr)
        << "the tr_TR.UTF-8 locale is missing; `make deps` generates it";
    // Under a decimal comma locale a prepared parameter set must not hide a scan: change the
    // texts by a blank so that they are read again here.
    EXPECT_EQ(GeodeticToGrid("41.2 29.1", datum + " ", "30 0 1 500000 0 ", ellipsoid + " "), inC);
    EXPECT_EQ(DatumTransform("BLH", "41.2 29.1 12.5", " " + datum), blhInC);
    EXPECT_EQ(blhInC.find(','), std::string::npos);
}

} // namespace
