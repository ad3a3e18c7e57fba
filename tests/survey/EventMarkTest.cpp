#include "survey/EventMark.h"

#include "canvas/CanvasModel.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/ManualClock.h"
#include "tests/support/TestEnvironment.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class EventMarkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        settings = folder.filePath("TavrinSD.INI");
        log = folder.filePath("2025-03-07 Events.log").toStdString();
        Clock::install(&clock);
    }
    void TearDown() override { Clock::install(nullptr); }

    std::string LogText() const { return ReadWholeFile(log).value_or("<missing>"); }

    QTemporaryDir folder;
    QString settings;
    std::string log;
    ManualClock clock{LocalDateTime{2025, 3, 7, 14, 32, 5, 120}};
    CanvasModel canvas;
};

} // namespace

TEST_F(EventMarkTest, EntryBytes) {
    EXPECT_EQ(EventMarkEntry(7, {2025, 3, 7, 14, 32, 5, 120}, 512345.678, 4512345.6, "12.34",
                             "---", -0.354),
              "\nEvent No:7,Date & Time:2025-03-07 143205120,Easting:512345.68,"
              "Northing:4512345.60,True Depth:12.34,True Depth:---,Heading:-0.35");
    // Exactly midnight: the date alone.
    EXPECT_EQ(EventMarkEntry(1, {2025, 3, 8, 0, 0, 0, 0}, 0, 0, "---", "---", 0),
              "\nEvent No:1,Date & Time:2025-03-08,Easting:0.00,Northing:0.00,"
              "True Depth:---,True Depth:---,Heading:0.00");
}

TEST_F(EventMarkTest, NumbersRunOnFromTheSettingsFileAndRestartAfterAReset) {
    EventMarkValues values{512000.5, 4500000.25, 12.5, "7.46", "---"};
    EXPECT_EQ(AddEventMark(canvas, settings, log, values).number, 1); // no [EVENTS] yet
    EXPECT_EQ(AddEventMark(canvas, settings, log, values).number, 2);
    EXPECT_EQ(IniFile(settings).readInteger("EVENTS", "Event Number", -1), 2);

    ASSERT_TRUE(ResetEventNumber(settings, log));
    const EventMarkResult again = AddEventMark(canvas, settings, log, values);
    EXPECT_EQ(again.number, 1);
    EXPECT_TRUE(again.logged);

    // The labels made before the reset stay: two labels carry number 1.
    ASSERT_EQ(canvas.EventLabels.size(), 3u);
    EXPECT_EQ(canvas.EventLabels[0].Number, 1);
    EXPECT_EQ(canvas.EventLabels[2].Number, 1);
    EXPECT_DOUBLE_EQ(canvas.EventLabels[2].X, 512000.5);

    const std::string text = LogText();
    EXPECT_NE(text.find("\nEvent No:2,"), std::string::npos);
    EXPECT_NE(text.find("\tEvent number was reset."), std::string::npos);
    EXPECT_EQ(text.rfind("\nEvent No:1,Date & Time:2025-03-07 143205120,Easting:512000.50,"
                         "Northing:4500000.25,True Depth:7.46,True Depth:---,Heading:12.50"),
              text.size() - std::string("\nEvent No:1,Date & Time:2025-03-07 143205120,"
                                        "Easting:512000.50,Northing:4500000.25,True Depth:7.46,"
                                        "True Depth:---,Heading:12.50")
                                .size());
}

TEST_F(EventMarkTest, AnUnreadableCounterStartsAtOne) {
    IniFile(settings).writeString("EVENTS", "Event Number", "abc");
    EXPECT_EQ(AddEventMark(canvas, settings, log, {}).number, 1);
}

TEST_F(EventMarkTest, ALogThatCannotBeWrittenIsReportedAndTheMarkStays) {
    std::filesystem::create_directories(log); // a folder in the log's place
    const EventMarkResult result = AddEventMark(canvas, settings, log, {});
    EXPECT_FALSE(result.logged);
    EXPECT_NE(result.error.find("Event 1 was not written"), std::string::npos);
    EXPECT_EQ(canvas.EventLabels.size(), 1u);
    EXPECT_EQ(IniFile(settings).readInteger("EVENTS", "Event Number", -1), 1);
}
