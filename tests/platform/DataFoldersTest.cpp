#include "platform/AppPaths.h"
#include "platform/DataPaths.h"
#include "platform/EventLog.h"
#include "platform/FileIO.h"
#include "platform/ManualClock.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

class DataFoldersTest : public ::testing::Test {
protected:
    // 2025-03-07 23:59:59.990, a few milliseconds before midnight.
    ManualClock clock{LocalDateTime{2025, 3, 7, 23, 59, 59, 990}, 1000};
    std::string root;

    void SetUp() override {
        Clock::install(&clock);
        root = AppPaths::dataRoot();
        fs::remove_all(root);
        BuildDataPaths();
    }
    void TearDown() override {
        Clock::install(nullptr);
        BuildDataPaths();
    }
};

TEST_F(DataFoldersTest, PathsAreFixedFromTheStartDate) {
    EXPECT_EQ(root, TestEnvironment::home().toStdString() + "/WJT/");
    EXPECT_EQ(DayFolder, root + "2025-03-07/");
    EXPECT_EQ(ProjectFolder, root + "2025-03-07/WJT/");
    EXPECT_EQ(LogFolder, root + "2025-03-07/LOG/");
    EXPECT_EQ(XyzFolder, root + "2025-03-07/XYZ/");
    EXPECT_EQ(SvpFolder, root + "2025-03-07/SVP/");
    EXPECT_EQ(TodayText, "2025-03-07");
    EXPECT_EQ(CoordinatesLogPath, root + "2025-03-07/LOG/2025-03-07 Coordinates.csv");
    EXPECT_EQ(TimeStampHHMM(), "2359");
    EXPECT_FALSE(fs::exists(root)) << "building the paths must not create anything";
}

TEST_F(DataFoldersTest, DatesAndTimesArePaddedAsDescribed) {
    clock.setNow(LocalDateTime{987, 1, 2, 9, 5, 0, 0});
    EXPECT_EQ(TodayString(), "987-01-02");
    EXPECT_EQ(TimeStampHHMM(), "0905");
}

TEST_F(DataFoldersTest, CreatesTheDayTreeButNotTheXyzFolder) {
    CreateDataFolders();
    for (const char* folder :
         {"", "2025-03-07", "2025-03-07/WJT", "2025-03-07/LOG", "2025-03-07/SVP"})
        EXPECT_TRUE(fs::is_directory(root + folder)) << folder;
    EXPECT_FALSE(fs::exists(root + "2025-03-07/XYZ"));
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
}

TEST_F(DataFoldersTest, AfterMidnightEventsGoToTheNewDateInTheStartFolder) {
    CreateDataFolders();
    clock.advance(20); // 2025-03-08 00:00:00.010
    EXPECT_EQ(EventsLogPath(), root + "2025-03-07/LOG/2025-03-08 Events.log");
    EXPECT_EQ(CoordinatesLogPath, root + "2025-03-07/LOG/2025-03-07 Coordinates.csv");

    // Created after midnight: the new day's folders, which this run's paths do not use.
    CreateDataFolders();
    EXPECT_TRUE(fs::is_directory(root + "2025-03-08/LOG"));
    EXPECT_EQ(LogFolder, root + "2025-03-07/LOG/");
}

TEST_F(DataFoldersTest, EventEntriesAreLineFeedAutoEventTabTimeTabText) {
    CreateDataFolders();
    const std::string log = EventsLogPath();
    ASSERT_TRUE(AutoEventLog("Realtime STARTED", log));
    clock.advance(1234);
    ASSERT_TRUE(AutoEventLog("Realtime STOPPED", log));
    EXPECT_EQ(ReadWholeFile(log).value_or(""),
              "\nAuto Event:\t2025-03-07 235959990\tRealtime STARTED"
              "\nAuto Event:\t2025-03-08 000001224\tRealtime STOPPED");
}

TEST_F(DataFoldersTest, EntryForAMissingFolderIsDroppedQuietly) {
    EXPECT_FALSE(AutoEventLog("lost", root + "nowhere/x Events.log"));
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
    EXPECT_TRUE(WaitingEventsLogLines().empty()) << "only an entry that finds no room waits";
}

TEST_F(DataFoldersTest, AFolderThatCannotBeCreatedIsPassedOver) {
    // A file where the day folder should be: its subfolders cannot be made, and no error is
    // raised for that.
    fs::create_directories(root);
    ASSERT_TRUE(AppendToFile(root + "2025-03-07", "not a folder"));
    CreateDataFolders();
    EXPECT_TRUE(fs::is_regular_file(root + "2025-03-07"));
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
}

TEST_F(DataFoldersTest, AFolderThatCannotBeReadIsNamedAsItIsHere) {
    // A day folder that links to itself cannot even be looked at (too many links).
    fs::create_directories(root);
    fs::create_directory_symlink(root + "2025-03-07", root + "2025-03-07");
    TestEnvironment::dialogs().clear();
    CreateDataFolders();
    const auto& messages = TestEnvironment::dialogs().messages;
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith(
        QStringLiteral("Cannot create log folder %1").arg(QString::fromStdString(root + "2025-03-07"))))
        << messages[0].text.toStdString();
    EXPECT_FALSE(messages[0].text.contains(QStringLiteral("C:\\")));
    fs::remove(root + "2025-03-07");
    TestEnvironment::dialogs().clear();
}

} // namespace
