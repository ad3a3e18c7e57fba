#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct FixedCase {
    double value;
    int decimals;
    int precision;
    const char* expected;
};

TEST(NumberText, FixedFormat) {
    const FixedCase cases[] = {
        {0.0, 2, 15, "0.00"},
        {-0.0, 2, 15, "0.00"},
        {-0.001, 2, 15, "0.00"}, // rounds to zero: no minus sign
        {0.125, 2, 15, "0.13"},  // half away from zero on the decimal digits
        {2.675, 2, 15, "2.68"},  // 2.67499999... in binary, 2.675 at 15 digits
        {-1.5, 0, 15, "-2"},
        {9.999, 2, 15, "10.00"},
        {0.5, 0, 15, "1"},
        {4512345.678912, 3, 15, "4512345.679"},
        {41.0123456789, 8, 15, "41.01234568"},
        {123.456, 2, 4, "123.50"}, // 4 significant digits first
        {1e20, 2, 15, "1E20"},     // more digits before the point than the precision
        {12345.6, 1, 4, "1.235E4"},
        {0.0000042, 8, 15, "0.00000420"},
        {7, 3, 15, "7.000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFixed(c.value, c.decimals, c.precision), c.expected)
            << c.value << " with " << c.decimals << " decimals, " << c.precision << " digits";
}

TEST(NumberText, GeneralFormatWithFifteenDigits) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {1.0, "1"},
        {-2.5, "-2.5"},
        {0.1, "0.1"},
        {1.0 / 3.0, "0.333333333333333"},
        {0.0033528106647474, "0.0033528106647474"},
        {6378137.0, "6378137"},
        {4512345.6789, "4512345.6789"},
        {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1.23456789012346E15"},
        {1e20, "1E20"},
        {0.00001, "0.00001"},
        {0.0000015, "1.5E-6"},
        {-1.5e-7, "-1.5E-7"},
        {0.1 + 0.2, "0.3"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(FormatGeneral(value), expected) << value;
    EXPECT_EQ(FormatGeneral(std::numeric_limits<double>::quiet_NaN()), "NAN");
    EXPECT_EQ(FormatGeneral(-std::numeric_limits<double>::infinity()), "-INF");
}

TEST(NumberText, LogNumbersAreNeverWrittenInExponentForm) {
    const FixedCase fixed[] = {
        {1e20, 2, 15, "100000000000000000000.00"},
        {-1.02e300, 2, 15, nullptr}, // "-102" and 298 zeros, ".00"
        {12345.6, 1, 4, "12350.0"},
        {0.0000042, 8, 15, "0.00000420"},
        {-0.001, 2, 15, "0.00"},
        {4512345.678912, 3, 15, "4512345.679"}, // as FormatFixed wherever that has no exponent
        {-12000.004, 2, 15, "-12000.00"},
    };
    for (const auto& c : fixed) {
        const std::string expected =
            c.expected ? c.expected : "-102" + std::string(298, '0') + ".00";
        EXPECT_EQ(FormatLogFixed(c.value, c.decimals, c.precision), expected)
            << c.value << " with " << c.decimals << " decimals, " << c.precision << " digits";
    }
    const std::pair<double, const char*> general[] = {
        {0.0, "0"},
        {41.0123456789, "41.0123456789"},
        {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1234567890123460"},
        {1e20, "100000000000000000000"},
        {0.00001, "0.00001"},
        {1e-6, "0.000001"},
        {0.0000015, "0.0000015"},
        {-1.5e-7, "-0.00000015"},
    };
    for (const auto& [value, expected] : general)
        EXPECT_EQ(FormatLogGeneral(value), expected) << value;
    // Near the ends of the double range: every digit written, and the text reads back.
    for (const double value : {1e308, -1e308, std::numeric_limits<double>::denorm_min(),
                               -std::numeric_limits<double>::max()}) {
        for (const std::string& text : {FormatLogFixed(value, 2), FormatLogGeneral(value)}) {
            EXPECT_EQ(text.find_first_not_of("-.0123456789"), std::string::npos) << text;
            double back = 0;
            // The largest double rounds past itself at 15 digits: only its form is asked for.
            if (std::fabs(value) < 1.7e308) {
                EXPECT_TRUE(ParseNumber(text, back)) << text;
            }
        }
    }
}

TEST(NumberText, StrictConversionAcceptsPlainNumbers) {
    const std::pair<const char*, double> cases[] = {
        {"0", 0.0},
        {"-12.5", -12.5},
        {"+3", 3.0},
        {".5", 0.5},
        {"1e3", 1000.0},
        {"1E-3", 0.001},
        {"6378137", 6378137.0},
        {"0.0033528106647474", 0.0033528106647474},
    };
    for (const auto& [text, expected] : cases) {
        double value = -999;
        EXPECT_TRUE(ParseNumber(std::string_view(text), value)) << text;
        EXPECT_DOUBLE_EQ(value, expected) << text;
    }
}

TEST(NumberText, StrictConversionRefusesBlanksJunkAndNonFiniteValues) {
    const char* refused[] = {"",     " 1",       "1 ",    "0,5",    "1,000", "nan", "NaN",  "inf",
                             "-inf", "Infinity", "1e999", "-1e999", "12abc", "abc", "+",    "-",
                             "++1",  "0x10",     "1.2.3", "\t2",    "+-1",   "-+1", "+-inf"};
    for (const char* text : refused) {
        double value = 42;
        EXPECT_FALSE(ParseNumber(std::string_view(text), value)) << '"' << text << '"';
        EXPECT_EQ(value, 42) << "value changed for refused text \"" << text << '"';
    }
}

TEST(NumberText, IntegerConversion) {
    int value = 0;
    EXPECT_TRUE(ParseInteger(std::string_view("-42"), value));
    EXPECT_EQ(value, -42);
    EXPECT_TRUE(ParseInteger(QString("+7"), value));
    EXPECT_EQ(value, 7);
    for (const char* text : {"", "1.5", " 3", "99999999999", "3x", "--1", "+-1", "-+1", "+", "-"})
        EXPECT_FALSE(ParseInteger(std::string_view(text), value)) << text;
}

} // namespace
