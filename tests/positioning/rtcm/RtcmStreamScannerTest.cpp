#include "positioning/rtcm/RtcmStreamScanner.h"
#include "platform/AppPaths.h"
#include "platform/DataPaths.h"
#include "platform/EventLog.h"
#include "platform/FileIO.h"
#include "platform/ManualClock.h"
#include "positioning/rtcm/RtcmBaseStationLog.h"
#include "tests/positioning/rtcm/RtcmTestFrames.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

const std::string Base2417 = "Base #2417: 41.01234567, 28.97654321, 45.12m";
const std::string Entry2417 =
    "Auto Event:\t2025-06-14 093015000\tNTRIP Base Station #2417: 41.01234567, 28.97654321, "
    "45.12m";

class RtcmStreamScannerTest : public ::testing::Test {
protected:
    ManualClock clock{LocalDateTime{2025, 6, 14, 9, 30, 15, 678}, 1000};
    RtcmLastBaseStation last;
    std::vector<std::string> logLines;
    std::string logFolder;
    std::string eventsLog;

    void SetUp() override {
        Clock::install(&clock);
        BuildDataPaths(); // the run starts on 2025-06-14
        fs::remove_all(AppPaths::dataRoot());
        logFolder = AppPaths::dataRoot() + "2025-06-14/LOG/";
        eventsLog = logFolder + "2025-06-14 Events.log";
        fs::create_directories(logFolder);
    }
    void TearDown() override { Clock::install(nullptr); }

    int scan(const std::string& block) {
        return ScanRtcmBlockForBaseStations(
            reinterpret_cast<const uint8_t*>(block.data()), block.size(), last,
            [this](const std::string& line) { logLines.push_back(line); });
    }
    std::string events() const { return ReadWholeFile(eventsLog).value_or("<missing>"); }
};

TEST_F(RtcmStreamScannerTest, NewStationIsLoggedRememberedAndEntered) {
    EXPECT_EQ(scan(RtcmFixture("base2417.rtcm3")), 1) << "1005 and 1006 of one station";
    EXPECT_EQ(logLines, std::vector<std::string>{Base2417});
    EXPECT_EQ(last.LastBaseId, 2417);
    EXPECT_NEAR(last.LastBaseLatitude, 41.01234567, 5e-9);
    EXPECT_NEAR(last.LastBaseLongitude, 28.97654321, 5e-9);
    EXPECT_NEAR(last.LastBaseHeight, 45.12, 5e-4);
    EXPECT_EQ(events(), "\n" + Entry2417) << "appended as every events-log entry is";
}

TEST_F(RtcmStreamScannerTest, StationIsLoggedOncePerRunUntilItMoves) {
    const std::string station = RtcmFixture("base2417.rtcm3");
    const std::string moved = RtcmFixture("base2417_moved.rtcm3");
    EXPECT_EQ(scan(station), 1);
    EXPECT_EQ(scan(station + station), 0);
    EXPECT_EQ(scan(moved), 1);
    EXPECT_EQ(scan(moved), 0);
    EXPECT_EQ(scan(station), 1) << "moving back is another change";
    EXPECT_EQ(logLines, (std::vector<std::string>{
                            Base2417, "Base #2417: 41.01236567, 28.97654321, 45.12m", Base2417}));

    // A change of height alone is not a new station; a change of id is.
    RtcmTestStation higher = RtcmStationAt(2417, 41.01234567, 28.97654321, 95.12);
    EXPECT_EQ(scan(RtcmStationFrame(higher)), 0);
    higher.id = 2418;
    EXPECT_EQ(scan(RtcmStationFrame(higher)), 1);
    EXPECT_EQ(last.LastBaseId, 2418);
    EXPECT_EQ(SplitLogLines(events()).size(), 5u) << "an empty first line and four entries";
}

TEST_F(RtcmStreamScannerTest, TwoStationsInOneBlockAreBothLoggedInBlockOrder) {
    const std::string block =
        RtcmFixture("base0100_southwest.rtcm3") + "junk\xD3" + RtcmFixture("base2417.rtcm3");
    EXPECT_EQ(scan(block), 2);
    EXPECT_EQ(logLines, (std::vector<std::string>{"Base #100: -33.86000000, -70.65000000, 600.00m",
                                                  Base2417}));
    const auto entries = SplitLogLines(events());
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], "");
    EXPECT_EQ(entries[1], "Auto Event:\t2025-06-14 093015000\tNTRIP Base Station #100: "
                          "-33.86000000, -70.65000000, 600.00m");
    EXPECT_EQ(entries[2], Entry2417);
    EXPECT_EQ(last.LastBaseId, 2417);
}

TEST_F(RtcmStreamScannerTest, OnlyFramesWhollyInsideOneBlockAreTaken) {
    const std::string frame = RtcmFixture("base2417_moved.rtcm3");
    const std::string block = "\x01\x02" + frame; // the last parity byte is the block's last
    EXPECT_EQ(scan(block.substr(0, block.size() - 1)), 0) << "one byte missing";
    for (size_t cut = 1; cut < frame.size(); ++cut) {
        EXPECT_EQ(scan(frame.substr(0, cut)), 0) << cut;
        EXPECT_EQ(scan(frame.substr(cut)), 0) << cut;
    }
    EXPECT_TRUE(logLines.empty());
    EXPECT_EQ(scan(block), 1);
}

TEST_F(RtcmStreamScannerTest, CorruptedStationFrameNeverWritesABaseStationEntry) {
    const std::string frame = RtcmFixture("base2417_moved.rtcm3");
    // Every single flipped bit after the preamble: in the length, the message or the parity.
    for (size_t bit = 8; bit < frame.size() * 8; ++bit) {
        last = RtcmLastBaseStation{};
        EXPECT_EQ(scan(FlipBit(frame, bit)), 0) << "bit " << bit;
    }
    EXPECT_TRUE(logLines.empty());
    EXPECT_FALSE(fs::exists(eventsLog));
    EXPECT_EQ(last.LastBaseId, 0);
    // The intact frame after a damaged one is still found.
    EXPECT_EQ(scan(FlipBit(frame, 100) + frame), 1);
}

TEST_F(RtcmStreamScannerTest, StationMessagesNeedNineteenBytes) {
    const std::string message = RtcmStationMessage(RtcmStationAt(5, 40, 30, 10));
    ASSERT_EQ(message.size(), 19u);
    EXPECT_EQ(scan(RtcmTestFrame(message.substr(0, 18))), 0);
    // Longer messages are taken; the extra bytes are not read.
    EXPECT_EQ(scan(RtcmTestFrame(message + std::string(6, '\xFF'))), 1);
    EXPECT_EQ(logLines, std::vector<std::string>{"Base #5: 40.00000000, 30.00000000, 10.00m"});
    // A 1006 is taken like a 1005, its antenna height left aside.
    RtcmTestStation withHeight = RtcmStationAt(6, 40, 30, 10, 1006);
    withHeight.antennaHeight = 2;
    EXPECT_EQ(scan(RtcmStationFrame(withHeight)), 1);
    EXPECT_NEAR(last.LastBaseHeight, 10, 1e-3);
    // Other message numbers are passed over, whatever their content.
    RtcmTestStation other = RtcmStationAt(7, 40, 30, 10);
    other.number = 1004;
    EXPECT_EQ(scan(RtcmStationFrame(other)), 0);
}

TEST_F(RtcmStreamScannerTest, ImplausibleVectorsAreIgnoredSilently) {
    RtcmTestStation inner;
    inner.id = 9;
    inner.x = 6000000;
    RtcmTestStation outer;
    outer.id = 9;
    outer.z = -7000000;
    RtcmTestStation zero;
    zero.id = 9;
    const std::string block = RtcmStationFrame(inner) + RtcmStationFrame(outer) +
                              RtcmStationFrame(zero) + RtcmFixture("base2417_moved.rtcm3");
    EXPECT_EQ(scan(block), 1) << "the rest of the block is still scanned";
    EXPECT_EQ(logLines.size(), 1u);
    EXPECT_EQ(last.LastBaseId, 2417);
}

TEST_F(RtcmStreamScannerTest, StationZeroIsLoggedAsTheFirstOfTheRun) {
    EXPECT_EQ(scan(RtcmStationFrame(RtcmStationAt(0, 0.5, 0.5, 0))), 1);
    EXPECT_EQ(logLines, std::vector<std::string>{"Base #0: 0.50000000, 0.50000000, 0.00m"});
    // At 0, 0 with id 0 it matches the untouched memory and is not logged.
    last = RtcmLastBaseStation{};
    EXPECT_EQ(scan(RtcmStationFrame(RtcmStationAt(0, 0, 0, 0))), 0);
}

TEST_F(RtcmStreamScannerTest, ShortBlocksAndTinyFramesYieldNothing) {
    const std::string frame = RtcmFixture("base2417_moved.rtcm3");
    for (size_t size = 0; size < frame.size(); ++size)
        EXPECT_EQ(scan(frame.substr(0, size)), 0) << size;
    for (size_t length = 0; length < 19; ++length)
        EXPECT_EQ(scan(RtcmTestFrame(std::string(length, '\x3E'))), 0) << length;
    EXPECT_EQ(scan(std::string(64, '\xD3')), 0);
    EXPECT_EQ(ScanRtcmBlockForBaseStations(nullptr, 0, last, nullptr), 0);
    EXPECT_TRUE(logLines.empty());
}

TEST_F(RtcmStreamScannerTest, WithoutTheRunsLogFolderNoEntryButTheStationIsRemembered) {
    fs::remove_all(AppPaths::dataRoot());
    EXPECT_EQ(scan(RtcmFixture("base2417.rtcm3")), 1);
    EXPECT_EQ(logLines, std::vector<std::string>{Base2417});
    EXPECT_EQ(last.LastBaseId, 2417);
    EXPECT_FALSE(fs::exists(AppPaths::dataRoot())) << "the folder is not created";
    EXPECT_EQ(scan(RtcmFixture("base2417.rtcm3")), 0) << "the lost entry is not retried";
}

TEST_F(RtcmStreamScannerTest, AnEntryWrittenAcrossMidnightGoesIntoTheRunsEventsLog) {
    ASSERT_TRUE(AutoEventLog("Realtime STARTED", EventsLogPath()));
    clock.setNow(LocalDateTime{2025, 6, 15, 0, 0, 5, 0});
    // The new day's folder exists (another start would use it), but this run does not.
    fs::create_directories(AppPaths::dataRoot() + "2025-06-15/LOG");
    const std::string runLog = EventsLogPath();
    ASSERT_TRUE(AutoEventLog("Event before the station", runLog));
    EXPECT_EQ(scan(RtcmFixture("base2417.rtcm3")), 1);
    ASSERT_TRUE(AutoEventLog("Event after the station", runLog));

    EXPECT_EQ(runLog, logFolder + "2025-06-15 Events.log");
    EXPECT_EQ(ReadWholeFile(runLog).value_or("<missing>"),
              "\nAuto Event:\t2025-06-15 000005000\tEvent before the station"
              "\nAuto Event:\t2025-06-15 000005000\tNTRIP Base Station #2417: 41.01234567, "
              "28.97654321, 45.12m"
              "\nAuto Event:\t2025-06-15 000005000\tEvent after the station");
    EXPECT_TRUE(fs::is_empty(AppPaths::dataRoot() + "2025-06-15/LOG"));
}

TEST_F(RtcmStreamScannerTest, EntriesAlreadyInTheLogStayByteForByte) {
    const std::string before =
        "\nAuto Event:\t2025-06-14 080000000\tRealtime STARTED"
        "\nEvent No:1,Date & Time:2025-06-14 08:10:00,...\r\nAuto Event:\t2025-06-14 090000000\tT\xFCrk\xE7"
        "e";
    ASSERT_TRUE(WriteFileAtomically(eventsLog, before));
    EXPECT_EQ(scan(RtcmFixture("base2417.rtcm3")), 1);
    EXPECT_EQ(events(), before + "\n" + Entry2417);
    EXPECT_EQ(scan(RtcmFixture("base0100_southwest.rtcm3")), 1);
    EXPECT_EQ(events().substr(0, before.size() + 1 + Entry2417.size()), before + "\n" + Entry2417);
    EXPECT_EQ(SplitLogLines(events()).size(), 6u);
}

TEST_F(RtcmStreamScannerTest, UnwritableLogLosesTheEntryAndTheStationIsStillRemembered) {
    // Something that exists under the log's name but cannot be written as a file.
    fs::create_directories(eventsLog + "/keep");
    EXPECT_EQ(scan(RtcmFixture("base2417.rtcm3")), 1);
    EXPECT_EQ(last.LastBaseId, 2417);
    EXPECT_TRUE(fs::is_directory(eventsLog + "/keep"));
    EXPECT_FALSE(WriteBaseStationEntry(1, Wgs84Position{1, 2, 3}));
}

} // namespace
