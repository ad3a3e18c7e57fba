#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// The project and drawing files promise the bytes of "%.6f": the same rounding of the exact
// binary value, ties included, and no exponent however large or small the value.
TEST(PrintfFixed, WritesTheBytesOfPrintfFixedInTheCLocale) {
    const double values[] = {0.0,        -0.0,        0.5,          -0.5,     1000.0,
                             0.0000005,  0.0000015,   0.0000025,    2.5e-7,   -4e-7,
                             0.1234565,  4500000.1234565, 4500000.123456, 1e15, -1e15,
                             1e300,      123456789.0000005, 0.3,    -2.675,   1.0 / 3.0};
    for (const double value : values) {
        char expected[400];
        std::snprintf(expected, sizeof expected, "%.6f", value);
        std::string written;
        AppendPrintfFixed(written, value, 6);
        EXPECT_EQ(written, expected) << "for " << value;
    }
    std::string two = "x";
    AppendPrintfFixed(two, 2.345, 2);
    EXPECT_EQ(two, "x2.35"); // 2.345 is stored just above the tie
}

} // namespace
