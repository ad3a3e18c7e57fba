#include "positioning/ntrip/NtripProtocol.h"
#include "platform/Clock.h"
#include "positioning/gnss/NmeaChecksum.h"
#include "positioning/ntrip/NtripCaptureBuffer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

TEST(NtripRequest, ExactBytesWithCredentialsAndMountPoint) {
    EXPECT_EQ(BuildNtripRequest("MOUNT1", "user", "pass"),
              "GET /MOUNT1 HTTP/1.0\r\n"
              "User-Agent: NTRIP TavrinNTRIPClient/1.0\r\n"
              "Authorization: Basic dXNlcjpwYXNz\r\n"
              "\r\n");
}

TEST(NtripRequest, ExactBytesWithoutCredentials) {
    EXPECT_EQ(BuildNtripRequest("MOUNT1", "", "ignored"),
              "GET /MOUNT1 HTTP/1.0\r\n"
              "User-Agent: NTRIP TavrinNTRIPClient/1.0\r\n"
              "\r\n");
}

TEST(NtripRequest, AnEmptyMountPointAsksForTheSourceTable) {
    EXPECT_EQ(BuildNtripRequest("", "", ""), "GET / HTTP/1.0\r\n"
                                             "User-Agent: NTRIP TavrinNTRIPClient/1.0\r\n"
                                             "\r\n");
}

TEST(NtripRequest, AnEmptyPasswordStillSendsTheUserNameAndTheColon) {
    EXPECT_NE(BuildNtripRequest("M", "user", "")
                  .find("Authorization: Basic " + Base64Encode("user:") + "\r\n"),
              std::string::npos);
}

TEST(NtripRequest, AMountPointCannotAddHeaderLines) {
    EXPECT_EQ(BuildNtripRequest("M\r\nX-Evil: 1", "", ""),
              "GET /MX-Evil: 1 HTTP/1.0\r\n"
              "User-Agent: NTRIP TavrinNTRIPClient/1.0\r\n"
              "\r\n");
}

TEST(Base64, EncodesTheStandardVectorsAndHighBytes) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {"\xff\xfe", "//4="},
        {std::string("\0\0\0", 3), "AAAA"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(Base64Encode(bytes), text) << bytes;
}

// The checksum of a whole sentence, recomputed independently of the builder.
bool ChecksumHolds(const std::string& sentence) {
    const size_t star = sentence.find('*');
    if (sentence.empty() || sentence[0] != '$' || star == std::string::npos ||
        star + 3 != sentence.size())
        return false;
    unsigned sum = 0;
    for (size_t i = 1; i < star; ++i)
        sum ^= static_cast<unsigned char>(sentence[i]);
    return std::strtoul(sentence.substr(star + 1).c_str(), nullptr, 16) == sum;
}

TEST(GgaSentence, MatchesAKnownSentence) {
    const std::string gga = BuildGGASentence(41.0123456, 28.9876543, 12.34, {10, 20, 30});
    EXPECT_EQ(gga, "$GPGGA,102030,4100.7407,N,02859.2593,E,1,10,1.0,12.3,M,0.0,M,,*48");
    EXPECT_TRUE(ChecksumHolds(gga));
}

TEST(GgaSentence, HemispheresZeroAndSigns) {
    struct Case {
        double latitude, longitude, altitude;
        UtcTimeOfDay utc;
        std::string body;
    };
    const std::vector<Case> cases = {
        {0.0, 0.0, 0.0, {0, 0, 0}, "GPGGA,000000,0000.0000,N,00000.0000,E,1,10,1.0,0.0,M,0.0,M,,"},
        {-33.5,
         -70.25,
         -5.06,
         {23, 59, 59},
         "GPGGA,235959,3330.0000,S,07015.0000,W,1,10,1.0,-5.1,M,0.0,M,,"},
        {-0.5,
         179.999,
         1234.56,
         {7, 5, 9},
         "GPGGA,070509,0030.0000,S,17959.9400,E,1,10,1.0,1234.6,M,0.0,M,,"},
        // Minutes round on their own and never carry into the degrees.
        {10.9999999,
         0.0,
         0.0,
         {12, 0, 0},
         "GPGGA,120000,1060.0000,N,00000.0000,E,1,10,1.0,0.0,M,0.0,M,,"},
    };
    for (const auto& c : cases) {
        const std::string gga = BuildGGASentence(c.latitude, c.longitude, c.altitude, c.utc);
        EXPECT_EQ(gga, "$" + c.body + "*" + NmeaChecksum(c.body));
        EXPECT_TRUE(ChecksumHolds(gga)) << gga;
    }
}

TEST(GgaSentence, TheLocalClockIsTurnedIntoUtc) {
    setenv("TZ", "TRT-3", 1); // three hours east of Greenwich, no summer time
    tzset();
    const UtcTimeOfDay utc = ToUtcTimeOfDay(LocalDateTime{2024, 6, 1, 1, 30, 15, 0});
    EXPECT_EQ(utc.hour, 22);
    EXPECT_EQ(utc.minute, 30);
    EXPECT_EQ(utc.second, 15);
    unsetenv("TZ");
    tzset();
}

TEST(SourceTable, TakesTheNamesOfTheStreamLinesInOrder) {
    const std::string table = "CAS;caster;2101;x\r\n"
                              "STR;MOUNT1;Identifier;RTCM 3.2\r\n"
                              "NET;NETWORK;x\n"
                              "STR;MOUNT2;y\r"
                              "STR;MOUNT1;duplicate kept\r\n"
                              "STR;;empty name kept\r\n"
                              "STR;NoSecondSemicolon\r\n"
                              " STR;NotAtTheStart;x\r\n"
                              "str;lowercase;x\r\n"
                              "ENDSOURCETABLE\r\n";
    EXPECT_EQ(ParseSourceTableMountPoints(table),
              (std::vector<std::string>{"MOUNT1", "MOUNT2", "MOUNT1", ""}));
    EXPECT_TRUE(ParseSourceTableMountPoints("").empty());
    EXPECT_EQ(ParseSourceTableMountPoints("STR;LAST;no line end"),
              std::vector<std::string>{"LAST"});
}

TEST(CaptureBuffer, KeepsTheLast8192BytesWithEveryByteValue) {
    NtripCaptureBuffer buffer;
    std::string all;
    for (int block = 0; block < 5; ++block) {
        std::string bytes(3000, '\0');
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>((block * 3000 + i) % 256);
        buffer.append(bytes.data(), bytes.size());
        all += bytes;
        const std::string expected = all.size() > 8192 ? all.substr(all.size() - 8192) : all;
        ASSERT_EQ(buffer.snapshot(), expected) << "after block " << block;
    }
    EXPECT_EQ(buffer.size(), 8192u);
}

TEST(CaptureBuffer, ABlockLargerThanTheBufferKeepsItsTail) {
    NtripCaptureBuffer buffer;
    buffer.append("old", 3);
    std::string big(10000, 'a');
    big.replace(big.size() - 4, 4, "tail");
    buffer.append(big.data(), big.size());
    const std::string kept = buffer.snapshot();
    EXPECT_EQ(kept.size(), 8192u);
    EXPECT_EQ(kept.substr(kept.size() - 4), "tail");
    EXPECT_EQ(kept, big.substr(big.size() - 8192));
}

} // namespace
