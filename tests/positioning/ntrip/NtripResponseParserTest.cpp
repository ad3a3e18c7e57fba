#include "positioning/ntrip/NtripResponseParser.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

using Kind = NtripResponseParser::Outcome::Kind;

// What a parser reported for a whole conversation, block by block, gathered for comparison.
struct Transcript {
    std::vector<Kind> kinds;
    std::string status;
    std::string serverResponse;
    std::string data; // correction bytes, in order
    std::string table;
    bool truncated = false;
};

Transcript Feed(const std::vector<std::string>& blocks, bool closeAtEnd = false,
                const std::string& mountPoint = "MOUNT1") {
    NtripResponseParser parser(mountPoint);
    Transcript t;
    auto take = [&](const NtripResponseParser::Outcome& o) {
        t.kinds.push_back(o.kind);
        if (o.kind == Kind::Refused) {
            t.status = o.status;
            t.serverResponse = o.serverResponse;
        }
        if (o.kind == Kind::StreamStarted || o.kind == Kind::StreamData)
            t.data.append(o.data);
        if (o.kind == Kind::SourceTable) {
            t.table = o.sourceTable;
            t.truncated = o.truncated;
        }
    };
    for (const auto& block : blocks)
        take(parser.feed(block));
    if (closeAtEnd)
        take(parser.finish());
    return t;
}

const std::string Rtcm("\xd3\x00\x13\x3e\xd0\x00\x03\x00\x00", 9);

TEST(NtripResponse, IcyHeaderAndDataInOneBlock) {
    const auto t = Feed({"ICY 200 OK\r\n" + Rtcm});
    EXPECT_EQ(t.kinds, std::vector<Kind>{Kind::StreamStarted});
    EXPECT_EQ(t.data, Rtcm);
}

TEST(NtripResponse, IcyHeaderSplitAcrossBlocksAndDataLater) {
    const auto t = Feed({"IC", "Y 200 O", "K\r", "\n", Rtcm, "more"});
    EXPECT_EQ(t.kinds,
              (std::vector<Kind>{Kind::NeedMore, Kind::NeedMore, Kind::NeedMore,
                                 Kind::StreamStarted, Kind::StreamData, Kind::StreamData}));
    EXPECT_EQ(t.data, Rtcm + "more");
}

TEST(NtripResponse, IcyDataBeginRightAfterItsLineEvenWhenHeaderLinesFollow) {
    const auto t = Feed({"ICY 200 OK\r\nServer: x\r\n\r\n" + Rtcm});
    EXPECT_EQ(t.kinds, std::vector<Kind>{Kind::StreamStarted});
    EXPECT_EQ(t.data, "Server: x\r\n\r\n" + Rtcm);
}

TEST(NtripResponse, HttpOkStartsTheStreamAfterTheBlankLine) {
    const auto t = Feed({"HTTP/1.1 200 OK\r\nContent-Type: gnss/data\r\n", "\r\n" + Rtcm});
    EXPECT_EQ(t.kinds, (std::vector<Kind>{Kind::NeedMore, Kind::StreamStarted}));
    EXPECT_EQ(t.data, Rtcm);
}

TEST(NtripResponse, AnAcceptedAnswerWithoutSourceTableIsAStreamEvenForNoMountPoint) {
    const auto t = Feed({"ICY 200 OK\r\n"}, false, "");
    EXPECT_EQ(t.kinds, std::vector<Kind>{Kind::StreamStarted});
    EXPECT_TRUE(t.data.empty());
}

TEST(NtripResponse, SourceTableInOneBlock) {
    const std::string body = "STR;A;x\r\nSTR;B;y\r\nENDSOURCETABLE\r\n";
    const auto t = Feed({"SOURCETABLE 200 OK\r\nContent-Length: 30\r\n\r\n" + body});
    EXPECT_EQ(t.kinds, std::vector<Kind>{Kind::SourceTable});
    EXPECT_EQ(t.table, body);
    EXPECT_FALSE(t.truncated);
}

TEST(NtripResponse, SourceTableWhoseEndComesInALaterBlock) {
    const auto t =
        Feed({"SOURCETABLE 200 OK\r\n", "\r\nSTR;A;x\r\n", "STR;B;y\r\nENDSOURCE", "TABLE\r\n"});
    EXPECT_EQ(t.kinds, (std::vector<Kind>{Kind::NeedMore, Kind::NeedMore, Kind::NeedMore,
                                          Kind::SourceTable}));
    EXPECT_EQ(t.table, "STR;A;x\r\nSTR;B;y\r\nENDSOURCETABLE\r\n");
}

TEST(NtripResponse, ASourceTableWithoutItsEndIsNeverHandedOver) {
    const auto t = Feed({"SOURCETABLE 200 OK\r\n\r\nSTR;A;x\r\n"}, true);
    EXPECT_EQ(t.kinds, (std::vector<Kind>{Kind::NeedMore, Kind::NeedMore}));
}

TEST(NtripResponse, ARefusedAnswerNamingASourceTableIsStillReadAsOne) {
    const auto t = Feed({"HTTP/1.0 404 Not Found SOURCETABLE\r\n\r\nSTR;A;x\r\nENDSOURCETABLE"});
    EXPECT_EQ(t.kinds, std::vector<Kind>{Kind::SourceTable});
    EXPECT_EQ(t.table, "STR;A;x\r\nENDSOURCETABLE\r\n");
}

TEST(NtripResponse, RefusalsAreNamedInOrder) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"HTTP/1.0 401 Unauthorized\r\n\r\n", "401 - Invalid username or password"},
        {"HTTP/1.0 404 Not Found\r\n\r\n", "404 - Mount point not found: MOUNT1"},
        {"HTTP/1.0 403 Forbidden\r\n\r\n", "403 - Access forbidden"},
        // 401 wins over 404 and 403 wherever they stand.
        {"HTTP/1.0 403 Forbidden\r\nX: 404 401\r\n\r\n", "401 - Invalid username or password"},
    };
    for (const auto& [answer, status] : cases) {
        const auto t = Feed({answer});
        EXPECT_EQ(t.kinds, std::vector<Kind>{Kind::Refused}) << answer;
        EXPECT_EQ(t.status, status);
        EXPECT_TRUE(t.serverResponse.empty());
    }
}

TEST(NtripResponse, AnUnknownAnswerQuotesItsFirstLine) {
    const auto t = Feed({"HTTP/1.0 500 Internal\r\nServer: x\r\n\r\n"});
    EXPECT_EQ(t.kinds, std::vector<Kind>{Kind::Refused});
    EXPECT_EQ(t.status, "Unknown server response");
    EXPECT_EQ(t.serverResponse, "HTTP/1.0 500 Internal");
}

TEST(NtripResponse, AConnectionClosedBeforeTheBlankLineStillReportsARefusal) {
    // What a real caster sends for wrong credentials: one line, then it hangs up.
    const auto refused = Feed({"HTTP/1.0 401 Unauthorized\r\n"}, true);
    EXPECT_EQ(refused.kinds, (std::vector<Kind>{Kind::NeedMore, Kind::Refused}));
    EXPECT_EQ(refused.status, "401 - Invalid username or password");

    const auto unknown = Feed({"HTTP/1.0 503 Busy"}, true);
    EXPECT_EQ(unknown.status, "Unknown server response");
    EXPECT_EQ(unknown.serverResponse, "HTTP/1.0 503 Busy");

    // An answer that was going well and then stopped is a plain closure; so is silence.
    EXPECT_EQ(Feed({"HTTP/1.0 200 OK\r\n"}, true).kinds.back(), Kind::NeedMore);
    EXPECT_EQ(Feed({}, true).kinds.back(), Kind::NeedMore);
}

TEST(NtripResponse, AHeaderThatNeverEndsIsCappedAndRefused) {
    const std::string junk(4095, 'x');
    std::vector<std::string> blocks(3, junk);
    const auto t = Feed(blocks);
    EXPECT_EQ(t.kinds.back(), Kind::Refused);
    EXPECT_EQ(t.status, "Unknown server response");
    EXPECT_EQ(t.serverResponse.size(), NtripResponseParser::MaxQuotedLineBytes);
}

TEST(NtripResponse, BinaryGarbageAsAHeaderIsQuotedPrintably) {
    const auto t = Feed({std::string("\x01\x02GARBAGE\0\x7f\r\n\r\n", 15)});
    EXPECT_EQ(t.status, "Unknown server response");
    EXPECT_EQ(t.serverResponse, "??GARBAGE??");
}

TEST(NtripResponse, GarbageAfterTheHeaderIsPassedOnAsData) {
    std::string garbage;
    for (int i = 0; i < 256; ++i)
        garbage += static_cast<char>(i);
    const auto t = Feed({"ICY 200 OK\r\n", garbage, "401 404 SOURCETABLE\r\n\r\n"});
    EXPECT_EQ(t.kinds,
              (std::vector<Kind>{Kind::StreamStarted, Kind::StreamData, Kind::StreamData}));
    EXPECT_EQ(t.data, garbage + "401 404 SOURCETABLE\r\n\r\n");
}

TEST(NtripResponse, AnOversizedSourceTableIsCutAtALineEnd) {
    NtripResponseParser parser("");
    parser.feed("SOURCETABLE 200 OK\r\n\r\n");
    const std::string line = "STR;MOUNTPOINT;some description of the stream;RTCM 3.2\r\n";
    std::string block;
    while (block.size() + line.size() <= 4095)
        block += line;
    NtripResponseParser::Outcome last;
    int blocks = 0;
    while (last.kind == Kind::NeedMore && blocks < 10000) {
        last = parser.feed(block);
        ++blocks;
    }
    ASSERT_EQ(last.kind, Kind::SourceTable);
    EXPECT_TRUE(last.truncated);
    EXPECT_LE(last.sourceTable.size(), NtripResponseParser::MaxSourceTableBytes);
    EXPECT_TRUE(last.sourceTable.ends_with("\r\n"));
    EXPECT_EQ(last.sourceTable.size() % line.size(), 0u);
}

// The same bytes cut every way: whole, byte by byte, and at seeded random points.
std::vector<std::vector<std::string>> Cuttings(const std::string& answer) {
    std::vector<std::vector<std::string>> cuttings{{answer}, {}};
    for (const char c : answer)
        cuttings[1].push_back(std::string(1, c));
    std::mt19937 random(27);
    for (int round = 0; round < 20; ++round) {
        std::vector<std::string> blocks;
        size_t at = 0;
        while (at < answer.size()) {
            const size_t length = std::uniform_int_distribution<size_t>(1, 9)(random);
            blocks.push_back(answer.substr(at, length));
            at += length;
        }
        cuttings.push_back(blocks);
    }
    return cuttings;
}

std::string ReadFixture(const std::string& name) {
    std::ifstream file(std::string(TEST_DATA_DIR) + "/fuzz/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Answers that were once read differently in one block than in several (data/fuzz/F8*): the
// stream bytes, the table text or the refusal are those of the answer, whatever the cuts.
TEST(NtripResponse, TheAnswerDependsOnlyOnItsBytesNotOnHowTheyWereCut) {
    const std::string rtcm("\xd3\x00\x13", 3);
    struct Case {
        const char* what;
        std::string answer;
        std::string data;
        std::string table;
        std::string status;
    };
    const Case cases[] = {
        {"HTTP answer whose data hold ICY 200 OK (F8a)", ReadFixture("F8a-ntrip-answer-icy-after-blank.bin"),
         "ABICY 200 OK\r\nCD", "", ""},
        {"ICY answer whose data hold SOURCETABLE and a blank line (F8b)",
         ReadFixture("F8b-ntrip-answer-icy-data-read-as-table.bin"),
         std::string("xSOURCETABLEx\r\n\r\n\xd3\0", 19), "", ""},
        {"table holding an ICY 200 OK line",
         "SOURCETABLE 200 OK\r\nContent-Type: text/plain\r\n\r\nICY 200 OK\r\nSTR;A;\r\n"
         "ENDSOURCETABLE\r\nafter",
         "", "ICY 200 OK\r\nSTR;A;\r\nENDSOURCETABLE\r\n", ""},
        {"ICY answer whose data hold a blank line", "ICY 200 OK\r\n\r\n\r\n" + rtcm,
         "\r\n\r\n" + rtcm, "", ""},
        {"refusal with data after it", "HTTP/1.0 401 Unauthorized\r\n\r\nICY 200 OK\r\n", "", "",
         "401 - Invalid username or password"},
        {"header over the cap", "HTTP/1.1 200 OK\r\nX: " + std::string(9000, 'y') + "\r\n\r\n" + rtcm,
         "", "", "Unknown server response"},
    };
    for (const Case& c : cases) {
        ASSERT_FALSE(c.answer.empty()) << c.what;
        for (const auto& blocks : Cuttings(c.answer)) {
            const auto t = Feed(blocks, true);
            EXPECT_EQ(t.data, c.data) << c.what << " in " << blocks.size() << " blocks";
            EXPECT_EQ(t.table, c.table) << c.what << " in " << blocks.size() << " blocks";
            EXPECT_EQ(t.status, c.status) << c.what << " in " << blocks.size() << " blocks";
        }
    }
    // A table whose header never ends (F8c, no blank line) is never handed over, cut or not.
    for (const auto& blocks : Cuttings(ReadFixture("F8c-ntrip-answer-icy-table-tail-lost.bin"))) {
        const auto t = Feed(blocks, true);
        EXPECT_TRUE(t.table.empty() && t.data.empty() && t.status.empty());
    }
}

} // namespace
