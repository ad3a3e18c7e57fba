#include "drawing_io/DxfText.h"
#include "drawing_io/DxfPairReader.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <unistd.h>
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

std::vector<std::string> LinesOf(DxfPairReader& reader) {
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.ReadLine(line))
        lines.emplace_back(line);
    return lines;
}

std::vector<std::string> Lines(std::string_view bytes) {
    DxfPairReader reader(bytes);
    return LinesOf(reader);
}

// A real file in a temporary folder, read through its descriptor as an import reads it.
class DxfFileOnDisk {
public:
    explicit DxfFileOnDisk(const std::string& bytes) {
        path_ = dir_.filePath(QStringLiteral("plan.dxf")).toStdString();
        std::ofstream(path_, std::ios::binary) << bytes;
        fd_ = ::open(path_.c_str(), O_RDONLY);
    }
    ~DxfFileOnDisk() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int fd() const { return fd_; }

private:
    QTemporaryDir dir_;
    std::string path_;
    int fd_ = -1;
};

// Text of `length` bytes that differs along its length, so that a lost or doubled piece shows.
std::string VaryingText(size_t length) {
    std::string text(length, ' ');
    for (size_t i = 0; i < length; ++i)
        text[i] = static_cast<char>('a' + (i * 7 + i / 4093) % 26);
    return text;
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

TEST(DxfText, ALineManyTimesTheStartingBufferIsReadWholeFromAFile) {
    const std::string longLine = VaryingText(5 * DxfPairReader::StartBufferBytes + 7);
    DxfFileOnDisk file("0\nTEXT\n1\n" + longLine + "\r\n0\nEOF\n");
    ASSERT_GE(file.fd(), 0);
    DxfPairReader reader(file.fd());
    const std::vector<std::string> lines = LinesOf(reader);
    EXPECT_EQ(reader.GetState(), DxfPairReader::State::End);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[2], "1");
    EXPECT_TRUE(lines[3] == longLine) << "a line of " << lines[3].size() << " bytes";
    EXPECT_EQ(lines[5], "EOF");
}

TEST(DxfText, AFileLineAtTheCapIsReadAndOneByteMoreStopsTheReader) {
    const struct {
        size_t length;
        bool read;
    } cases[] = {{DxfPairReader::MaxLineLength, true}, {DxfPairReader::MaxLineLength + 1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        std::string bytes = "1\n" + std::string(c.length, 'x') + "\r\n0\nEOF\n";
        // The line's last byte, so that a cut line shows.
        bytes[2 + c.length - 1] = 'y';
        DxfFileOnDisk file(bytes);
        bytes.clear();
        ASSERT_GE(file.fd(), 0);
        DxfPairReader reader(file.fd());
        std::string_view line;
        ASSERT_TRUE(reader.ReadLine(line));
        if (c.read) {
            ASSERT_TRUE(reader.ReadLine(line));
            EXPECT_EQ(line.size(), c.length);
            EXPECT_EQ(line.back(), 'y');
            ASSERT_TRUE(reader.ReadPair());
            EXPECT_EQ(reader.Value(), "EOF");
            EXPECT_EQ(reader.LineNumber(), 4);
        } else {
            EXPECT_FALSE(reader.ReadLine(line));
            EXPECT_EQ(reader.GetState(), DxfPairReader::State::LineTooLong);
            EXPECT_EQ(reader.LineNumber(), 2);
        }
        // A line at or over the limit grows the buffer to the limit and one read, no further.
        EXPECT_LE(reader.BufferBytes(),
                  DxfPairReader::MaxLineLength + DxfPairReader::ReadChunkBytes);
    }
}

// Through a pipe each write arrives as one read: the first piece is all in the buffer before
// the second is written.
TEST(DxfText, LinesAndLineEndsSplitBetweenTwoReadsAreJoined) {
    using V = std::vector<std::string>;
    const struct {
        const char* name;
        std::string first;
        std::string second;
        V lines;
    } cases[] = {
        {"a line cut in two", "0\nSEC", "TION\n2\n", V{"0", "SECTION", "2"}},
        {"a line end cut in two", "0\r\nSECTION\r", "\n2\r\n", V{"0", "SECTION", "2"}},
        {"a lone CR ending a read", "0\nSECTION\r", "2\n", V{"0", "SECTION", "2"}},
        {"two CRs across the reads", "0\nSECTION\r", "\r\n2", V{"0", "SECTION", "", "2"}},
        {"a CR ending the file", "0\nSECTION\r", "", V{"0", "SECTION"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int ends[2];
        ASSERT_EQ(::pipe(ends), 0);
        ASSERT_EQ(::write(ends[1], c.first.data(), c.first.size()), ssize_t(c.first.size()));
        DxfPairReader reader(ends[0]);
        std::string_view line;
        ASSERT_TRUE(reader.ReadLine(line));
        V lines{std::string(line)};
        ASSERT_EQ(::write(ends[1], c.second.data(), c.second.size()), ssize_t(c.second.size()));
        ::close(ends[1]);
        for (std::string& rest : LinesOf(reader))
            lines.push_back(std::move(rest));
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(reader.LineNumber(), int64_t(c.lines.size()));
        EXPECT_EQ(reader.GetState(), DxfPairReader::State::End);
        ::close(ends[0]);
    }
}

// A file read in chunks: a CR LF whose CR is a chunk's last byte, and a line across the next
// chunk's end.
TEST(DxfText, AFileReadInChunksLosesNoLineAtAChunkEnd) {
    const size_t chunk = DxfPairReader::ReadChunkBytes;
    std::vector<std::string> written;
    std::string bytes;
    const auto add = [&](const std::string& line) {
        written.push_back(line);
        bytes += line + "\r\n";
    };
    add("0");
    add(VaryingText(chunk - bytes.size() - 1));
    ASSERT_EQ(bytes.substr(chunk - 1, 2), "\r\n") << "the CR is the first chunk's last byte";
    add("2");
    add(VaryingText(2 * chunk - bytes.size() - 10));
    add(VaryingText(20));
    add("EOF");
    ASSERT_GT(bytes.size(), 2 * chunk);
    DxfFileOnDisk file(bytes);
    ASSERT_GE(file.fd(), 0);
    DxfPairReader reader(file.fd());
    EXPECT_EQ(LinesOf(reader), written);
    EXPECT_EQ(reader.GetState(), DxfPairReader::State::End);
}

// However large the file, short lines are read through the starting buffer.
TEST(DxfText, AFileOfShortLinesKeepsTheStartingBuffer) {
    std::string bytes = "0\nSECTION\n2\nENTITIES\n";
    size_t points = 0;
    while (bytes.size() < 8 * DxfPairReader::StartBufferBytes) {
        bytes += "0\nPOINT\n8\nSOUNDINGS\n10\n" + std::to_string(500000.125 + points) +
                 "\r\n20\n4500000.5\r\n30\n-12.75\n";
        ++points;
    }
    bytes += "0\nENDSEC\n0\nEOF\n";
    DxfFileOnDisk file(bytes);
    ASSERT_GE(file.fd(), 0);
    DxfPairReader reader(file.fd());
    EXPECT_EQ(LinesOf(reader).size(), 4 + 10 * points + 4);
    EXPECT_EQ(reader.GetState(), DxfPairReader::State::End);
    EXPECT_EQ(reader.BufferBytes(), DxfPairReader::StartBufferBytes);
    EXPECT_LE(reader.BufferBytes(), size_t(128) << 10)
        << "a file of short lines costs a small buffer";
}

// The buffer doubles only while the line and its line end do not fit, and the short lines
// after it do not grow it further.
TEST(DxfText, ALongLineGrowsTheBufferNoFurtherThanThePowerOfTwoThatHoldsItAndItsLineEnd) {
    const size_t start = DxfPairReader::StartBufferBytes;
    const size_t mib = size_t(1) << 20;
    const struct {
        const char* name;
        size_t length;
        const char* end;
        size_t buffer;
    } cases[] = {
        {"a line and its LF that fill the starting buffer", start - 1, "\n", start},
        {"a line and its CR LF that fill the starting buffer", start - 2, "\r\n", start},
        {"a line one byte too long for the starting buffer", start, "\n", 2 * start},
        {"a line and its LF that fill 1 MiB", mib - 1, "\n", mib},
        {"a line whose LF is the byte past 1 MiB", mib, "\n", 2 * mib},
        {"a line whose CR LF ends past 1 MiB", mib - 1, "\r\n", 2 * mib},
        {"a line of 3 MiB", 3 * mib, "\r\n", 4 * mib},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string longLine = VaryingText(c.length);
        std::string bytes = "0\nTEXT\n1\n" + longLine + c.end;
        while (bytes.size() < c.length + 4 * start)
            bytes += "0\nPOINT\n10\n12.5\n";
        bytes += "0\nEOF\n";
        DxfFileOnDisk file(bytes);
        ASSERT_GE(file.fd(), 0);
        DxfPairReader reader(file.fd());
        const std::vector<std::string> lines = LinesOf(reader);
        EXPECT_EQ(reader.GetState(), DxfPairReader::State::End);
        ASSERT_GT(lines.size(), 4u);
        EXPECT_TRUE(lines[3] == longLine) << "a line of " << lines[3].size() << " bytes";
        EXPECT_EQ(lines.back(), "EOF");
        EXPECT_EQ(reader.BufferBytes(), c.buffer);
    }
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
