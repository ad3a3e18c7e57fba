#include "positioning/rtcm/RtcmStreamScanner.h"
#include "platform/AppPaths.h"
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
    EXPECT_EQ(events(), Entry2417 + "\r\n");
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
    EXPECT_EQ(SplitLogLines(events()).size(), 4u);
}

TEST_F(RtcmStreamScannerTest, TwoStationsInOneBlockAreBothLoggedInBlockOrder) {
    const std::string block =
        RtcmFixture("base0100_southwest.rtcm3") + "junk\xD3" + RtcmFixture("base2417.rtcm3");
    EXPECT_EQ(scan(block), 2);
    EXPECT_EQ(logLines, (std::vector<std::string>{"Base #100: -33.86000000, -70.65000000, 600.00m",
                                                  Base2417}));
    const auto entries = SplitLogLines(events());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], "Auto Event:\t2025-06-14 093015000\tNTRIP Base Station #100: "
                          "-33.86000000, -70.65000000, 600.00m");
    EXPECT_EQ(entries[1], Entry2417);
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

TEST_F(RtcmStreamScannerTest, WithoutTodaysLogFolderNoEntryButTheStationIsRemembered) {
    fs::remove_all(AppPaths::dataRoot());
    EXPECT_EQ(scan(RtcmFixture("base2417.rtcm3")), 1);
    EXPECT_EQ(logLines, std::vector<std::string>{Base2417});
    EXPECT_EQ(last.LastBaseId, 2417);
    EXPECT_FALSE(fs::exists(AppPaths::dataRoot())) << "the folder is not created";
    EXPECT_EQ(scan(RtcmFixture("base2417.rtcm3")), 0) << "the lost entry is not retried";
}

TEST_F(RtcmStreamScannerTest, EntriesGoToTheLogOfTheDateOfWriting) {
    clock.setNow(LocalDateTime{2025, 6, 15, 0, 0, 5, 0});
    fs::create_directories(AppPaths::dataRoot() + "2025-06-15/LOG");
    EXPECT_EQ(scan(RtcmFixture("base2417.rtcm3")), 1);
    EXPECT_EQ(BaseStationEventsLogPath(),
              AppPaths::dataRoot() + "2025-06-15/LOG/2025-06-15 Events.log");
    EXPECT_EQ(ReadWholeFile(BaseStationEventsLogPath()).value_or(""),
              "Auto Event:\t2025-06-15 000005000\tNTRIP Base Station #2417: 41.01234567, "
              "28.97654321, 45.12m\r\n");
    EXPECT_FALSE(fs::exists(eventsLog));
}

TEST_F(RtcmStreamScannerTest, LineFeedEntriesOfTheLogBecomeCrLfLinesOfTheirOwn) {
    const std::string before =
        "\nAuto Event:\t2025-06-14 080000000\tRealtime STARTED"
        "\nEvent No: 1\t...\r\nAuto Event:\t2025-06-14 090000000\tT\xFCrk\xE7"
        "e";
    ASSERT_TRUE(WriteFileAtomically(eventsLog, before));
    EXPECT_EQ(scan(RtcmFixture("base2417.rtcm3")), 1);
    EXPECT_EQ(events(), "\r\nAuto Event:\t2025-06-14 080000000\tRealtime STARTED\r\nEvent No: "
                        "1\t...\r\nAuto Event:\t2025-06-14 090000000\tT\xFCrk\xE7"
                        "e\r\n" +
                            Entry2417 + "\r\n");
    // A second rewrite keeps every line as it is.
    EXPECT_EQ(scan(RtcmFixture("base0100_southwest.rtcm3")), 1);
    EXPECT_EQ(SplitLogLines(events()).size(), 6u);
    EXPECT_EQ(events().substr(0, 2), "\r\n");
}

TEST_F(RtcmStreamScannerTest, BaseStationEntryReplacesTheLogInsteadOfTruncatingIt) {
    const std::string before = "\nAuto Event:\t2025-06-14 080000000\tRealtime STARTED";
    ASSERT_TRUE(WriteFileAtomically(eventsLog, before));
    // A second name for the old file: a rewrite in place would change what it shows.
    const std::string snapshot = AppPaths::dataRoot() + "snapshot.log";
    fs::create_hard_link(eventsLog, snapshot);
    EXPECT_EQ(scan(RtcmFixture("base2417.rtcm3")), 1);
    EXPECT_EQ(ReadWholeFile(snapshot).value_or(""), before);
    EXPECT_EQ(events(),
              "\r\nAuto Event:\t2025-06-14 080000000\tRealtime STARTED\r\n" + Entry2417 + "\r\n");
    for (const auto& entry : fs::directory_iterator(logFolder))
        EXPECT_EQ(entry.path().filename(), "2025-06-14 Events.log") << "no temporary left";
}

TEST_F(RtcmStreamScannerTest, UnreadableLogIsLeftAloneAndTheStationStillRemembered) {
    // Something that exists under the log's name but cannot be read as a file.
    fs::create_directories(eventsLog + "/keep");
    EXPECT_EQ(scan(RtcmFixture("base2417.rtcm3")), 1);
    EXPECT_EQ(last.LastBaseId, 2417);
    EXPECT_TRUE(fs::is_directory(eventsLog + "/keep"));
    EXPECT_FALSE(WriteBaseStationEntry(1, Wgs84Position{1, 2, 3}));
}

} // namespace
