// The generated survey played through pseudo-terminals into the real main window with the map
// timer ticking: what the map shows must be what the logs hold.
#include "MainWindowSurvey.h"

#include "app/main_window/TStatusBar.h"
#include "app/settings_windows/TNavset.h"
#include "platform/EventLog.h"
#include "platform/ManualClock.h"
#include "survey/MapStatusText.h"
#include "tests/support/EventLoopWait.h"

#include <QDir>
#include <QLineEdit>
#include <QTest>

#include <cmath>
#include <regex>

namespace {

std::vector<std::string> Fields(const std::string& row) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        const size_t comma = row.find(',', start);
        fields.push_back(row.substr(start, comma == std::string::npos ? comma : comma - start));
        if (comma == std::string::npos)
            return fields;
        start = comma + 1;
    }
}

// The survey log's rows (without the header), split into fields.
std::vector<std::vector<std::string>> SurveyRows() {
    const std::string text = ReadWholeFile(CoordinatesLogPath).value_or("");
    std::vector<std::vector<std::string>> rows;
    size_t start = text.find("\r\n");
    while (start != std::string::npos && start + 2 < text.size()) {
        const size_t end = text.find("\r\n", start + 2);
        if (end == std::string::npos)
            break;
        rows.push_back(Fields(text.substr(start + 2, end - start - 2)));
        start = end;
    }
    return rows;
}

// Devices in lock step with the program (each step waits until the program has handled its
// lines) on a manual clock moved 50 ms a step, and the map timer at its fastest: after every
// receiver epoch the test waits for a tick, so the map sees every fix, however loaded the
// machine.
class SurveyOnTheMap : public MainWindowSurvey {
protected:
    ManualClock clock{{2024, 6, 11, 10, 0, 0, 0}, 100000};

    void SetUp() override {
        MainWindowSurvey::SetUp();
        Clock::install(&clock);
        BuildDataPaths();
        QDir(QString::fromStdString(LogFolder + "..")).removeRecursively();
    }
    void TearDown() override {
        MainWindowSurvey::TearDown();
        Clock::install(nullptr);
        BuildDataPaths();
    }

    // Plays one step; false (with the reason) when the program did not handle it.
    ::testing::AssertionResult playStep(const SurveyStep& step, size_t index) {
        const std::string mark = std::to_string(index);
        if (!receiver.write(DeviceBytes(step.gnssLines, "$GPTXT,SYNC," + mark)) ||
            !WaitUntil([&] { return lastGnssLine == "$GPTXT,SYNC," + mark; }))
            return ::testing::AssertionFailure() << "GNSS step " << mark << " not handled";
        if (!echoSounder.write(DeviceBytes(step.sounderLines, "SYNC " + mark)) ||
            !WaitUntil([&] { return lastSounderLine == "SYNC " + mark; }))
            return ::testing::AssertionFailure() << "sounder step " << mark << " not handled";
        clock.advance(50);
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult waitForTick() {
        const uint64_t seen = mapTicks;
        if (!WaitUntil([&] { return mapTicks > seen; }))
            return ::testing::AssertionFailure() << "the map timer does not tick";
        return ::testing::AssertionSuccess();
    }
};

} // namespace

TEST_F(SurveyOnTheMap, TheMapShowsWhatTheLogsHoldAndF12MarksALoggedFix) {
    SurveyScriptOptions options;
    options.seed = 18;
    options.steps = 810; // 400 fixes: about 103 m along the first line
    const SurveyScripts scripts = GenerateSurveyScripts(options);
    const int trackDistance = 5;
    startSurvey(trackDistance);
    if (HasFatalFailure())
        return;
    // The operator sets the fastest map update.
    Navset->eVesselUpdateRate->setText(QStringLiteral("50"));
    const QString panelBefore = FNav->sStatusBar->PanelText(1);

    const size_t markStep = scripts.steps.size() / 2;
    bool ggaSent = false;
    for (size_t i = 0; i < scripts.steps.size(); ++i) {
        const SurveyStep& step = scripts.steps[i];
        ASSERT_TRUE(playStep(step, i));
        ggaSent = ggaSent || !step.gnssLines.empty();
        if (!ggaSent || !step.gnssLines.empty()) {
            ASSERT_TRUE(waitForTick());
        }
        if (!ggaSent) {
            // The timer runs from the receiver's first line, but without a GGA there is no
            // vessel to draw, follow or track.
            ASSERT_EQ(shapesOn("~~Tavrin Vessel"), 0) << "step " << i;
            ASSERT_EQ(trackShapes(), 0) << "step " << i;
            ASSERT_EQ(FNav->sStatusBar->PanelText(1), panelBefore) << "step " << i;
        }
        if (i == markStep) {
            QApplication::setActiveWindow(FNav);
            QTest::keyClick(FNav, Qt::Key_F12);
        }
    }
    ASSERT_TRUE(waitForTick());
    EXPECT_GE(shapesOn("~~Tavrin Vessel"), 5) << "the vessel symbol's lines";

    // Nothing lost, every row where its fix puts it: the check of the acquisition alone.
    for (const std::string& fault : checkLogs(scripts, 0))
        ADD_FAILURE() << fault;
    EXPECT_EQ(FNav->Acquisition->Core().SoundingsNotLogged(), size_t(options.leadInSteps));

    // The status bar shows the position of the last logged row.
    const auto rows = SurveyRows();
    ASSERT_FALSE(rows.empty());
    const auto& last = rows.back();
    ASSERT_EQ(last.size(), 18u);
    EXPECT_EQ(FNav->sStatusBar->PanelText(1).toStdString(), "E" + last[3] + ", N" + last[4]);
    EXPECT_EQ(FNav->sStatusBar->PanelText(0).toStdString(),
              PositionDmsText(std::stod(last[1]), std::stod(last[2])));

    // The track: the map saw every fix, so each piece is at least the track distance long and
    // shorter by less than one fix spacing more; the vessel ends less than the track distance
    // past the last point. Along a straight line of length P, with spacing s and distance D,
    // that leaves (P - D) / (D + s) < pieces <= P / D.
    const GridProjector projector(*GeodeticSnapshot::Take(ExampleLocalDatum()));
    double path = 0, spacing = 0;
    for (size_t k = 1; k < scripts.fixes.size(); ++k) {
        const auto& a = scripts.fixes[k - 1];
        const auto& b = scripts.fixes[k];
        const auto pa = projector.project(a.latitude, a.longitude, a.altitude);
        const auto pb = projector.project(b.latitude, b.longitude, b.altitude);
        ASSERT_TRUE(pa && pb);
        const double step = std::hypot(pb->Easting - pa->Easting, pb->Northing - pa->Northing);
        path += step;
        spacing = std::max(spacing, step);
    }
    const int pieces = trackShapes();
    EXPECT_GT(pieces, (path - trackDistance) / (trackDistance + spacing)) << "path " << path;
    EXPECT_LE(pieces, path / trackDistance) << "path " << path;
    EXPECT_EQ(shapesOn("track_nofix"), 0) << "every fix was RTK fixed or float";

    // F12 marked the fix the map showed at that moment: a fix some row was logged with.
    ASSERT_EQ(FNav->fcad->EventLabels.size(), 1u);
    const std::string events = ReadWholeFile(EventsLogPath()).value_or("");
    std::smatch mark;
    ASSERT_TRUE(std::regex_search(events, mark,
                                  std::regex("Event No:1,.*Easting:([0-9.]+),Northing:([0-9.]+),")))
        << events;
    const bool logged = std::any_of(rows.begin(), rows.end(), [&](const auto& row) {
        return row.size() > 4 && row[3] == mark[1].str() && row[4] == mark[2].str();
    });
    EXPECT_TRUE(logged) << "mark at " << mark[1] << " " << mark[2];
}
