#include "app/ntrip/RtcmReportCommand.h"
#include "app/ntrip/TfRTCMParsing.h"
#include "platform/AppPaths.h"
#include "platform/FileIO.h"
#include "platform/ManualClock.h"
#include "positioning/rtcm/RtcmBaseStationLog.h"
#include "positioning/rtcm/RtcmCaptureWalk.h"
#include "positioning/rtcm/RtcmReport.h"
#include "positioning/rtcm/RtcmStreamScanner.h"
#include "tests/positioning/rtcm/RtcmTestFrames.h"
#include "tests/support/TestEnvironment.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

class RtcmReportWindowTest : public ::testing::Test {
protected:
    ManualClock clock{LocalDateTime{2025, 6, 14, 9, 30, 15, 0}, 1000};
    RtcmLastBaseStation last;
    std::vector<std::string> logLines;
    RtcmVesselPosition vessel{40.8, 28.75, 12.3, false};
    std::string reportPath;

    void SetUp() override {
        Clock::install(&clock);
        fs::remove_all(AppPaths::dataRoot());
        reportPath = AppPaths::dataRoot() + "2025-06-14/LOG/2025-06-14 Tavrin RTCM Parsing.log";
        TestEnvironment::dialogs().clear();
    }
    void TearDown() override {
        delete fRTCMParsing;
        fRTCMParsing = nullptr;
        Clock::install(nullptr);
    }

    void report(const std::optional<std::string>& capture) {
        MakeRtcmReport(
            capture, vessel, last, [this](const std::string& line) { logLines.push_back(line); },
            180);
    }
};

TEST_F(RtcmReportWindowTest, TooLittleDataOnlySaysSo) {
    report(std::nullopt);
    const std::string five(5, '\xD3');
    report(five);
    EXPECT_EQ(logLines,
              (std::vector<std::string>{"No RTCM data to parse", "No RTCM data to parse"}));
    EXPECT_EQ(fRTCMParsing, nullptr) << "the report window is not touched";

    fRTCMParsing = new TfRTCMParsing();
    fRTCMParsing->AddReportLine("an earlier report");
    report(five);
    EXPECT_EQ(fRTCMParsing->reportLines(), std::vector<std::string>{"an earlier report"});
    EXPECT_FALSE(fRTCMParsing->isVisible());
}

TEST_F(RtcmReportWindowTest, ReportReplacesTheWindowsContentAndRemembersTheStation) {
    const std::string capture = RtcmFixture("base2417.rtcm3");
    report(capture);
    ASSERT_NE(fRTCMParsing, nullptr) << "made when missing";
    EXPECT_TRUE(fRTCMParsing->isVisible());
    const std::vector<std::string> expected = SplitLogLines(RtcmFixture("base2417_report.txt"));
    EXPECT_EQ(fRTCMParsing->reportLines(), expected);
    EXPECT_EQ(fRTCMParsing->MemoRTCM->document()->blockCount(), int(expected.size()));
    EXPECT_EQ(logLines, std::vector<std::string>{"Base #2417: 41.01234567, 28.97654321, 45.12m"});
    EXPECT_EQ(last.LastBaseId, 2417);
    EXPECT_NEAR(last.LastBaseHeight, 45.12, 5e-4);
    EXPECT_FALSE(fs::exists(AppPaths::dataRoot())) << "no events-log entry from the report";

    // Again: one report in the window, no second log line; the scanner agrees.
    report(capture);
    EXPECT_EQ(fRTCMParsing->reportLines(), expected);
    EXPECT_EQ(logLines.size(), 1u);
    EXPECT_EQ(ScanRtcmBlockForBaseStations(reinterpret_cast<const uint8_t*>(capture.data()),
                                           capture.size(), last, nullptr),
              0);
}

TEST_F(RtcmReportWindowTest, StationLoggedByTheScannerIsNotLoggedAgainByTheReport) {
    const std::string capture = RtcmFixture("base2417.rtcm3");
    ASSERT_EQ(ScanRtcmBlockForBaseStations(reinterpret_cast<const uint8_t*>(capture.data()),
                                           capture.size(), last, nullptr),
              1);
    report(capture);
    EXPECT_TRUE(logLines.empty());

    // A moved station is new to the report as well.
    const std::string moved = RtcmFixture("base2417_moved.rtcm3");
    report(moved);
    EXPECT_EQ(logLines, std::vector<std::string>{"Base #2417: 41.01236567, 28.97654321, 45.12m"});
    EXPECT_NEAR(last.LastBaseLatitude, 41.01236567, 5e-9);
}

TEST_F(RtcmReportWindowTest, ReportTakesAStationNewWhileNothingIsRemembered) {
    // Station 0 within the tolerance of 0, 0: the scanner passes it over, the report, which
    // treats a remembered 0, 0 as nothing remembered, logs it.
    const std::string capture = RtcmStationFrame(RtcmStationAt(0, 0.000001, 0.000001, 3));
    EXPECT_EQ(ScanRtcmBlockForBaseStations(reinterpret_cast<const uint8_t*>(capture.data()),
                                           capture.size(), last, nullptr),
              0);
    report(capture);
    EXPECT_EQ(logLines, std::vector<std::string>{"Base #0: 0.00000100, 0.00000100, 3.00m"});
}

TEST_F(RtcmReportWindowTest, ReportWithoutAPlausibleStationLeavesTheMemoryAlone) {
    const std::string capture = RtcmNumberFrame(1077, 20) + RtcmNumberFrame(1230);
    last.LastBaseId = 5;
    report(capture);
    EXPECT_TRUE(logLines.empty());
    EXPECT_EQ(last.LastBaseId, 5);
    EXPECT_EQ(fRTCMParsing->reportLines().back(), "Total: 2 RTCM messages parsed");
}

TEST_F(RtcmReportWindowTest, SaveAndCloseWritesTheDaysReportAndHides) {
    TfRTCMParsing window;
    window.show();
    window.AddReportLine("first");
    window.AddReportLine("");
    window.AddReportLine("T\xFCrk\xE7"
                         "e bytes");
    window.btnClose->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(TfRTCMParsing::ReportFilePath(), reportPath);
    EXPECT_EQ(ReadWholeFile(reportPath).value_or("<missing>"), "first\r\n\r\nT\xFCrk\xE7"
                                                               "e bytes\r\n");

    // A second save on the same day replaces the first.
    window.ClearReport();
    window.AddReportLine("second");
    window.show();
    window.btnClose->click();
    EXPECT_EQ(ReadWholeFile(reportPath).value_or("<missing>"), "second\r\n");
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
}

TEST_F(RtcmReportWindowTest, SaveAndCloseWithAnEmptyReportOnlyHides) {
    TfRTCMParsing window;
    window.show();
    window.AddReportLine("to be cleared");
    window.btnClear->click();
    EXPECT_TRUE(window.reportLines().empty());
    EXPECT_TRUE(window.MemoRTCM->toPlainText().isEmpty());
    window.btnClose->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(fs::exists(AppPaths::dataRoot()));
}

TEST_F(RtcmReportWindowTest, FailedSaveIsReportedAndTheWindowStaysOpen) {
    fs::create_directories(reportPath + "/in-the-way");
    TfRTCMParsing window;
    window.show();
    window.AddReportLine("report");
    window.btnClose->click();
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(TestEnvironment::dialogs().messages.size(), 1u);
    EXPECT_EQ(TestEnvironment::dialogs().messages[0].kind, MessageKind::Error);
    EXPECT_TRUE(fs::is_directory(reportPath + "/in-the-way"));
}

TEST_F(RtcmReportWindowTest, ControlsKeepTheirAnchorsWhenResized) {
    TfRTCMParsing window;
    EXPECT_EQ(window.windowTitle(), "RTCM Message Parser");
    EXPECT_EQ(window.btnClose->text(), "Save && Close"); // shown with one ampersand
    EXPECT_TRUE(window.MemoRTCM->isReadOnly());
    window.show();
    EXPECT_EQ(window.MemoRTCM->geometry(), QRect(8, 8, 608, 393));
    EXPECT_EQ(window.btnClear->geometry(), QRect(8, 407, 75, 25));
    EXPECT_EQ(window.btnClose->geometry(), QRect(488, 407, 128, 25));
    window.resize(824, 541);
    EXPECT_EQ(window.MemoRTCM->geometry(), QRect(8, 8, 808, 493));
    EXPECT_EQ(window.btnClear->geometry(), QRect(8, 507, 75, 25));
    EXPECT_EQ(window.btnClose->geometry(), QRect(688, 507, 128, 25));
    // The title bar's close hides the window without saving.
    window.AddReportLine("unsaved");
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(fs::exists(reportPath));
}

} // namespace
