#include "drawing_io/DxfText.h"
#include "drawing_io/DxfPairReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

TEST(DxfText, AciColoursFollowTheFixedTableAndTheFormula) {
    const struct {
        int index;
        int colour;
    } cases[] = {
        {1, 255},
        {3, 255 << 8},
        {7, 0xFFFFFF},
        {8, 128 + 128 * 256 + 128 * 65536},
        {10, 170 + 114 * 256 + 18 * 65536},
        {255, 239 + 219 * 256 + 203 * 65536},
        {0, -1},
        {256, -1},
        {-1, -1},
        {1000, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AciToColor(c.index), c.colour) << c.index;
}

TEST(DxfText, TrimBlanksRemovesSpacesTabsAndCarriageReturnsAtTheEndsOnly) {
    std::string s = " \t 10 20\r";
    TrimBlanks(s);
    EXPECT_EQ(s, "10 20");
    s = "\r\r";
    TrimBlanks(s);
    EXPECT_EQ(s, "");
}

TEST(DxfText, StripMTextCodesKeepsTheWordsAndDropsTheCodes) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"\\fArial|b0;Hello", "Hello"},
        // A paragraph break is one blank: the next line's words stay.
        {"Line1\\PLine2 end", "Line1 Line2 end"},
        {"{\\C1;red}", "{red}"},
        {"x\\yz", "x\\yz"},
        {"A\\\\B", "A\\B"},
        {"\\Lunder\\l \\Oover\\o \\Kstrike\\k", "under over strike"},
        {"\\H2.5x;big", "big"},
        {"deg\\U+00B0C", "deg\xC2\xB0"
                         "C"},
        {"\\U+00", "\\U+00"},
        {"\\P", " "},
        {"tail\\", "tail\\"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StripMTextCodes(c.in), c.out) << c.in;
}

TEST(DxfText, NumbersAreReadLenientlyAndNonFiniteOnesAreFlagged) {
    const struct {
        const char* text;
        double value;
        bool finite;
    } reals[] = {
        {"  12.5", 12.5, true}, {"-3e2xyz", -300.0, true}, {"+.5", 0.5, true},
        {"abc", 0.0, true},     {"", 0.0, true},           {"1e-400", 0.0, true},
        {"nan", 0.0, false},    {"-inf", 0.0, false},      {"1e400", 0.0, false},
        {"INF", 0.0, false},    {"7.", 7.0, true},
    };
    for (const auto& c : reals) {
        bool finite = true;
        const double value = DxfReal(c.text, finite);
        EXPECT_EQ(finite, c.finite) << c.text;
        EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    }
    EXPECT_EQ(DxfInteger("  62"), 62);
    EXPECT_EQ(DxfInteger("-3 x"), -3);
    EXPECT_EQ(DxfInteger("1.9"), 1);
    EXPECT_EQ(DxfInteger("x", -1), -1);
    EXPECT_EQ(DxfInteger("99999999999", -1), -1);
}

std::vector<std::string> Lines(std::string_view bytes) {
    DxfPairReader reader(bytes);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.ReadLine(line))
        lines.emplace_back(line);
    return lines;
}

TEST(DxfText, LinesEndInLfCrLfOrALoneCrAndTheBomIsSkipped) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Lines("0\nSECTION\n"), (V{"0", "SECTION"}));
    EXPECT_EQ(Lines("  0\r\nSECTION\r\n"), (V{"0", "SECTION"}));
    EXPECT_EQ(Lines("0\rSECTION\r2\r"), (V{"0", "SECTION", "2"}));
    EXPECT_EQ(Lines("\xEF\xBB\xBF"
                    "0\nEOF"),
              (V{"0", "EOF"}));
    EXPECT_EQ(Lines("a\n\nb"), (V{"a", "", "b"}));
}

TEST(DxfText, ALineBeyondTheCapStopsTheReader) {
    std::string bytes = "0\n" + std::string(DxfPairReader::MaxLineLength + 1, 'x') + "\n0\n";
    DxfPairReader reader(bytes);
    std::string_view line;
    EXPECT_TRUE(reader.ReadLine(line));
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_EQ(reader.GetState(), DxfPairReader::State::LineTooLong);
    EXPECT_EQ(reader.LineNumber(), 2);
}

} // namespace
