#include "../survey/SounderScanForTests.h"
#include "AcquisitionWindowsForTests.h"
#include "platform/DataPaths.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/ManualClock.h"
#include "positioning/gnss/TavrinSerialGPS.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/TestEnvironment.h"
#include "tools/devsim/PseudoTerminal.h"
#include "tools/surveysim/SurveyLogCheck.h"

#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// What of the scripts a run records, and how its logs are checked.
struct Recorded {
    size_t firstStep = 0;
    size_t endStep = SIZE_MAX;
    bool wholeScript = true;
    std::vector<std::string>* notChecked = nullptr;
};

// A generated survey played through real pseudo-terminals into the acquisition with its real
// ports and timers. The devices are played in lock step with the program (each step waits until
// its lines were handled) and the clock is a manual one moved 50 ms a step, so what the logs
// must hold is exact, however loaded the machine.
struct SurveyEndToEnd : ::testing::Test {
    QTemporaryDir dir;
    ManualClock clock{{2024, 5, 3, 10, 0, 0, 0}, 100000};
    AcquisitionWindowsForTests windows;
    TTavrinSerialGPS gnss, sounder;
    QTimer map, echogram;
    PseudoTerminal receiver, echoSounder;

    void SetUp() override {
        Clock::install(&clock);
        const std::string root = dir.path().toStdString() + "/2024-05-03/";
        LogFolder = root + "LOG/";
        XyzFolder = root + "XYZ/";
        TodayText = "2024-05-03";
        CoordinatesLogPath = LogFolder + "2024-05-03 Coordinates.csv";
        IniFile ini(TestEnvironment::settingsFile());
        ini.writeString(QStringLiteral("SERIAL_PORTS"), QStringLiteral("COM1"),
                        QString::fromStdString(receiver.devicePath()));
        ini.writeString(QStringLiteral("SERIAL_PORTS"), QStringLiteral("COM2"),
                        QString::fromStdString(echoSounder.devicePath()));
        gnss.PortNumber = 1;
        sounder.PortNumber = 2;
        gnss.PollInterval = sounder.PollInterval = 2;
    }
    void TearDown() override {
        Clock::install(nullptr);
        BuildDataPaths();
    }

    // Plays the scripts and returns the faults the check finds.
    std::vector<std::string> Run(const SurveyScripts& scripts, uint64_t* notLogged = nullptr,
                                 const Recorded& recorded = {}) {
        AcquisitionSession session(&gnss, &sounder, &map, &echogram, &windows, &windows,
                                   ScanForTests);
        session.BindPorts();
        if (!session.Start())
            return {"Start refused"};
        for (size_t i = recorded.firstStep; i < std::min(recorded.endStep, scripts.steps.size());
             ++i) {
            const SurveyStep& step = scripts.steps[i];
            const std::string mark = std::to_string(i);
            if (!receiver.write(DeviceBytes(step.gnssLines, "$GPTXT,SYNC," + mark)) ||
                !WaitUntil([&] { return !windows.gnssLines.empty() &&
                                        windows.gnssLines.back() == "$GPTXT,SYNC," + mark; }))
                return {"GNSS step " + mark + " not handled"};
            if (!echoSounder.write(DeviceBytes(step.sounderLines, "SYNC " + mark)) ||
                !WaitUntil([&] { return !windows.sounderLines.empty() &&
                                        windows.sounderLines.back() == "SYNC " + mark; }))
                return {"sounder step " + mark + " not handled"};
            clock.advance(50);
        }
        if (notLogged)
            *notLogged = session.Core().SoundingsNotLogged();
        SurveyLogExpectation expected;
        expected.notLogged = session.Core().SoundingsNotLogged();
        expected.wholeScript = recorded.wholeScript;
        const GridProjector projector(*session.Core().Geodetic());
        expected.project = [&](const ScriptFix& fix) -> std::optional<std::pair<double, double>> {
            const auto grid = projector.project(fix.latitude, fix.longitude, fix.altitude);
            if (!grid)
                return std::nullopt;
            return std::make_pair(grid->Easting, grid->Northing);
        };
        session.Stop();
        return CheckSurveyLogs(scripts, ReadWholeFile(CoordinatesLogPath).value_or(""),
                               ReadWholeFile(XyzFolder + "2024-05-03 Simple XYZ.csv").value_or(""),
                               expected, nullptr, recorded.notChecked);
    }
};

TEST_F(SurveyEndToEnd, TransverseMercatorOnALocalDatum) {
    SurveyScriptOptions options;
    options.seed = 16;
    options.steps = 600;
    const SurveyScripts scripts = GenerateSurveyScripts(options);
    ASSERT_GT(scripts.malformedGnssLines, 10u);
    ASSERT_GT(scripts.malformedSounderLines, 10u);
    uint64_t notLogged = 0;
    const auto faults = Run(scripts, &notLogged);
    for (const std::string& f : faults)
        ADD_FAILURE() << f;
    EXPECT_EQ(notLogged, size_t(options.leadInSteps)) << "the soundings before the first GGA";
}

TEST_F(SurveyEndToEnd, LambertWithTwoParallelsAcrossMidnight) {
    windows.geodetic.UseLcc = true;
    clock.setNow({2024, 5, 3, 23, 59, 55, 0});
    SurveyScriptOptions options;
    options.seed = 17;
    options.steps = 400; // 20 s: over midnight
    const SurveyScripts scripts = GenerateSurveyScripts(options);
    const auto faults = Run(scripts);
    for (const std::string& f : faults)
        ADD_FAILURE() << f;
    const std::string survey = ReadWholeFile(CoordinatesLogPath).value_or("");
    EXPECT_NE(survey.find("\r\n2024-05-03 2359"), std::string::npos);
    EXPECT_NE(survey.find("\r\n2024-05-04 0000"), std::string::npos)
        << "one file across midnight, the Date column has the real date";
}

TEST_F(SurveyEndToEnd, ARunStoppedHalfWayIsCheckedOverWhatItRecorded) {
    SurveyScriptOptions options;
    options.seed = 18;
    options.steps = 600;
    const SurveyScripts scripts = GenerateSurveyScripts(options);
    // Start pressed while the devices were at step 100, Stop at step 300.
    std::vector<std::string> notChecked;
    const auto faults = Run(scripts, nullptr, {100, 300, false, &notChecked});
    for (const std::string& f : faults)
        ADD_FAILURE() << f;
    ASSERT_EQ(notChecked.size(), 4u);
    EXPECT_EQ(notChecked[0].find("soundings 0 to 99, played before the first row"), 0u)
        << notChecked[0];
    EXPECT_EQ(notChecked[1].find("soundings 300 to 599, after the last row"), 0u) << notChecked[1];
    EXPECT_EQ(notChecked[2].find("the first and last rows of each recording: without the events "
                                 "log"),
              0u)
        << notChecked[2];
    EXPECT_EQ(notChecked[3].find("the RTK Antenna Height and RTK Tide columns"), 0u)
        << notChecked[3];
    // The tests' exact check refuses the same logs.
    SurveyLogExpectation whole;
    EXPECT_FALSE(
        CheckSurveyLogs(scripts, ReadWholeFile(CoordinatesLogPath).value_or(""),
                        ReadWholeFile(XyzFolder + "2024-05-03 Simple XYZ.csv").value_or(""), whole)
            .empty());
}

TEST_F(SurveyEndToEnd, RowsCorrectedByASoundVelocityProfileMatchTheScripts) {
    // One velocity per whole metre of depth, as the sound velocity window builds the column.
    std::vector<std::string> column;
    for (int metre = 0; metre <= 20; ++metre)
        column.push_back(std::to_string(1480 + 2 * metre) + ".5");
    windows.profile = &column;
    SurveyScriptOptions options;
    options.seed = 19;
    options.steps = 400;
    const SurveyScripts scripts = GenerateSurveyScripts(options);
    std::vector<std::string> notChecked;
    const auto faults = Run(scripts, nullptr, {0, SIZE_MAX, true, &notChecked});
    for (const std::string& f : faults)
        ADD_FAILURE() << f;
    ASSERT_EQ(notChecked.size(), 2u);
    EXPECT_NE(notChecked[0].find("rows were corrected with sound velocities from 1490.50 to"),
              std::string::npos)
        << notChecked[0];
    EXPECT_EQ(notChecked[1].find("the RTK Antenna Height and RTK Tide columns"), 0u)
        << notChecked[1];
}

} // namespace
