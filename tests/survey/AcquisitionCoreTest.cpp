#include "survey/AcquisitionCore.h"
#include "SounderScanForTests.h"
#include "platform/FileIO.h"
#include "platform/ManualClock.h"
#include "positioning/gnss/NmeaChecksum.h"
#include "tools/surveysim/ExampleDatum.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {


// WGS 84 itself, on the example's grids.
GeodeticTexts Wgs84Utm36() {
    GeodeticTexts t = ExampleLocalDatum();
    t.edSMA = "6378137";
    t.edIF = "0.0033528106647474";
    t.edPPM = t.edRX = t.edRY = t.edRZ = t.edSX = t.edSY = t.edSZ = "0";
    return t;
}

size_t Lines(const std::string& text) {
    return size_t(std::count(text.begin(), text.end(), '\n'));
}

struct CoreFixture : ::testing::Test {
    ManualClock clock{{2024, 5, 3, 23, 59, 59, 0}, 5000};
    QTemporaryDir dir;
    std::vector<std::string> reports, events;
    AcquisitionCore core{[this](const std::string& t) { reports.push_back(t); },
                         [this](const std::string& t) { events.push_back(t); }, ScanForTests};
    std::string surveyPath, xyzPath;
    SounderLineInput dbt{"NMEA DBT", "%*6s,%*lf,%*1s,%lf", nullptr};

    void SetUp() override {
        Clock::install(&clock);
        surveyPath = dir.path().toStdString() + "/LOG/2024-05-03 Coordinates.csv";
        xyzPath = dir.path().toStdString() + "/XYZ/2024-05-03 Simple XYZ.csv";
        core.BeginRun({0.40, 1530, 1.5, 0.35}, *GeodeticSnapshot::Take(Wgs84Utm36()), surveyPath,
                      xyzPath);
    }
    void TearDown() override {
        core.EndRun();
        Clock::install(nullptr);
    }
    std::string Survey() { return ReadWholeFile(surveyPath).value_or(""); }
    std::string Xyz() { return ReadWholeFile(xyzPath).value_or(""); }
};

TEST_F(CoreFixture, LogsEachValidSoundingOnceWithThePositionOfItsOwnFix) {
    core.GgaApplied(40.5, 33.1, 12.0, 4, false, 90);
    ASSERT_TRUE(core.Position.Projected);
    const double easting = core.Position.Easting;
    EXPECT_GT(easting, 500000);
    EXPECT_NEAR(core.State.GridHeading, 90 + core.Position.Convergence, 1e-12);

    auto outcome = core.SounderLine("$SDDBT,32.8,f,10.0,M,5.4,F", dbt);
    EXPECT_TRUE(outcome.Logged);
    EXPECT_NEAR(outcome.TrueDepthHigh, 10.60, 1e-9);
    EXPECT_EQ(outcome.TrueDepthLow, 0.0);
    const std::string survey = Survey();
    EXPECT_EQ(Lines(survey), 2u);
    EXPECT_NE(survey.find("2024-05-03 235959000,40.5,33.1,"), std::string::npos) << survey;
    EXPECT_NE(survey.find(",-10.25,0.35,10.60,0.00,10,0,NMEA DBT,1530.00,0.40,4,"),
              std::string::npos)
        << survey;
    EXPECT_EQ(Lines(Xyz()), 2u);

    // Invalid lines and lines without the type's markers are not logged.
    EXPECT_FALSE(core.SounderLine("$SDDBT,32.8,f,,M,5.4,F", dbt).Logged);
    EXPECT_FALSE(core.SounderLine("$SDDPT,10.0,0.5", dbt).Taken);
    EXPECT_EQ(Lines(Survey()), 2u);
}

TEST_F(CoreFixture, AcrossMidnightTheRunKeepsItsFilesAndTheRowsTheRealDate) {
    core.GgaApplied(40.5, 33.1, 12.0, 4, false, 90);
    clock.advance(1000);
    ASSERT_TRUE(core.SounderLine("$SDDBT,32.8,f,10.0,M,5.4,F", dbt).Logged);
    const std::string survey = Survey();
    EXPECT_NE(survey.find("\r\n2024-05-04,40.5,"), std::string::npos) << survey;
}

TEST_F(CoreFixture, SoundingsWithoutACurrentPositionAreShownNotLoggedAndCounted) {
    // Before the run's first GGA.
    auto outcome = core.SounderLine("$SDDBT,32.8,f,10.0,M,5.4,F", dbt);
    EXPECT_TRUE(outcome.Valid);
    EXPECT_FALSE(outcome.Logged);
    EXPECT_TRUE(outcome.NotLoggedNoPosition);

    // No fix: the (0, 0) of an empty GGA.
    core.GgaApplied(0, 0, 0, 0, false, 0);
    EXPECT_TRUE(core.SounderLine("$SDDBT,32.8,f,10.1,M,5.4,F", dbt).NotLoggedNoPosition);
    clock.advance(3500);
    EXPECT_TRUE(core.SounderLine("$SDDBT,32.8,f,10.2,M,5.4,F", dbt).NotLoggedNoPosition);
    ASSERT_EQ(reports.size(), 1u) << "a spell over 3 s is shown once";
    EXPECT_TRUE(core.SounderLine("$SDDBT,32.8,f,10.3,M,5.4,F", dbt).NotLoggedNoPosition);
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_TRUE(events.empty());

    // A fix ends the spell: its count goes to the events log.
    core.GgaApplied(40.5, 33.1, 12.0, 1, false, 0);
    EXPECT_TRUE(core.SounderLine("$SDDBT,32.8,f,10.4,M,5.4,F", dbt).Logged);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], "Soundings not logged without a GNSS position: 4");

    // A GGA over 3 s old is not where the boat is.
    clock.advance(3001);
    EXPECT_TRUE(core.SounderLine("$SDDBT,32.8,f,10.5,M,5.4,F", dbt).NotLoggedNoPosition);
    // GPS idle ends the position at once.
    core.GgaApplied(40.5, 33.1, 12.0, 1, false, 0);
    core.GnssIdle();
    EXPECT_TRUE(core.SounderLine("$SDDBT,32.8,f,10.6,M,5.4,F", dbt).NotLoggedNoPosition);
    core.EndRun();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1], "Soundings not logged without a GNSS position: 2");
    EXPECT_EQ(core.SoundingsLogged() + core.SoundingsNotLogged(), 7u);
    EXPECT_EQ(Lines(Survey()), 2u);
}

TEST_F(CoreFixture, AFixFromAReceiverWhosePortHasClosedIsNoLongerCurrent) {
    core.GgaApplied(40.5, 33.1, 12.0, 4, false, 0);
    ASSERT_TRUE(core.SounderLine("$SDDBT,32.8,f,10.0,M,5.4,F", dbt).Logged);
    // Unplugged (or Stop): the fix is a moment old, but the receiver that gave it is gone.
    core.GnssPortClosed();
    EXPECT_TRUE(core.SounderLine("$SDDBT,32.8,f,10.1,M,5.4,F", dbt).NotLoggedNoPosition);
    EXPECT_TRUE(core.SounderLine("$SDDBT,32.8,f,10.2,M,5.4,F", dbt).NotLoggedNoPosition);
    EXPECT_NEAR(core.State.TrueDepthHigh, 10.2 * 1530 / 1500 + 0.4, 1e-9) << "still shown";
    EXPECT_EQ(Lines(Survey()), 2u);
    // A fix from the port opened again is current.
    core.GgaApplied(40.5, 33.1, 12.0, 4, false, 0);
    EXPECT_TRUE(core.SounderLine("$SDDBT,32.8,f,10.3,M,5.4,F", dbt).Logged);
    EXPECT_EQ(events, std::vector<std::string>{"Soundings not logged without a GNSS position: 2"});
    EXPECT_EQ(Lines(Survey()), 3u);
}

std::string WithChecksum(const std::string& line) {
    return line + "*" + NmeaChecksum(line.substr(1));
}

TEST(AcquisitionCore, ASounderLineThatCannotBeRightIsNeitherLoggedNorShown) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::string nul(1, '\0');
    struct Case {
        std::string what;
        std::string line;
        SetupValues setup; // draft, velocity, antenna height, tide
        SounderRefusal refusal;
        double trueDepth; // when used
    };
    const SetupValues plain{0, 1500, 1.5, 0};
    const Case cases[] = {
        {"raw depth 1e308, its checksum right",
         WithChecksum("$SDDBT,1.0,f,1e308,M,1.0,F"),
         {0.4, 1530, 1.5, 0.35},
         SounderRefusal::DepthOutOfRange,
         0},
        {"exactly 12000 m", WithChecksum("$SDDBT,1.0,f,12000,M,1.0,F"), plain, SounderRefusal::None,
         12000},
        {"12000.01 m", WithChecksum("$SDDBT,1.0,f,12000.01,M,1.0,F"), plain,
         SounderRefusal::DepthOutOfRange, 0},
        {"-12000.01 m", WithChecksum("$SDDBT,1.0,f,-12000.01,M,1.0,F"), plain,
         SounderRefusal::DepthOutOfRange, 0},
        {"-12001 m raw, right checksum",
         WithChecksum("$SDDBT,1.0,f,-12001,M,1.0,F"),
         {0.4, 1530, 1.5, 0.35},
         SounderRefusal::DepthOutOfRange,
         0},
        {"-1e300 m, right checksum",
         WithChecksum("$SDDBT,1.0,f,-1e300,M,1.0,F"),
         {0.4, 1530, 1.5, 0.35},
         SounderRefusal::DepthOutOfRange,
         0},
        {"exactly -12000 m", WithChecksum("$SDDBT,1.0,f,-12000,M,1.0,F"), plain,
         SounderRefusal::None, -12000},
        {"12000 m raw, deeper once corrected",
         "$SDDBT,1.0,f,12000,M,1.0,F",
         {0.4, 1500, 1.5, 0},
         SounderRefusal::DepthOutOfRange,
         0},
        {"NaN from the correction",
         "$SDDBT,1.0,f,1e308,M,1.0,F",
         {-inf, 1530, 1.5, 0},
         SounderRefusal::DepthOutOfRange,
         0},
        {"elevation not finite",
         "$SDDBT,1.0,f,-1e308,M,1.0,F",
         {0, 1500, 1.5, 1e308},
         SounderRefusal::DepthOutOfRange,
         0},
        {"wrong checksum", "$SDDBT,1.0,f,7.5,M,1.0,F*00", plain, SounderRefusal::WrongChecksum, 0},
        {"right checksum", WithChecksum("$SDDBT,1.0,f,7.5,M,1.0,F"), plain, SounderRefusal::None,
         7.5},
        {"right checksum in lower case",
         "$SDDBT,1.0,f,7.5,M,1.0,F*" +
             [] {
                 std::string sum = NmeaChecksum("SDDBT,1.0,f,7.5,M,1.0,F");
                 for (char& c : sum)
                     c = char(std::tolower(c));
                 return sum;
             }(),
         plain, SounderRefusal::None, 7.5},
        {"no checksum", "$SDDBT,1.0,f,7.5,M,1.0,F", plain, SounderRefusal::None, 7.5},
        {"NUL inside, wrong checksum", "$SDDBT,1.0,f,7" + nul + ".5,M,1.0,F*00", plain,
         SounderRefusal::NulByte, 0},
        {"NUL inside, no checksum", "$SDDBT,1.0,f,7" + nul + ".5,M,1.0,F", plain,
         SounderRefusal::NulByte, 0},
        // A NUL adds nothing to the XOR: the checksum cannot tell it.
        {"NUL inside, checksum right", WithChecksum("$SDDBT,1.0,f,7" + nul + ".5,M,1.0,F"), plain,
         SounderRefusal::NulByte, 0},
    };
    ManualClock clock({2024, 5, 3, 10, 0, 0, 0}, 10000);
    Clock::install(&clock);
    const SounderLineInput dbt{"NMEA DBT", "%*6s,%*lf,%*1s,%lf", nullptr};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const std::string survey = dir.path().toStdString() + "/c.csv";
        const std::string xyz = dir.path().toStdString() + "/x.csv";
        std::vector<std::string> reports, events;
        AcquisitionCore core([&](const std::string& t) { reports.push_back(t); },
                             [&](const std::string& t) { events.push_back(t); }, ScanForTests);
        core.BeginRun(c.setup, *GeodeticSnapshot::Take(Wgs84Utm36()), survey, xyz);
        core.GgaApplied(40.5, 33.1, 12.0, 4, false, 0);
        // A good sounding before, as the read-outs and the echogram took it.
        core.State.CopiedOffsetA = 0;
        ASSERT_TRUE(core.SounderLine("$SDDBT,1.0,f,3.25,M,1.0,F", dbt).Logged);
        core.State.CopiedOffsetA = c.setup.OffsetA;
        core.State.NewDepthPending = false;
        const double shownBefore = core.State.TrueDepthHigh;

        const SounderLineOutcome outcome = core.SounderLine(c.line, dbt);
        EXPECT_EQ(outcome.Refusal, c.refusal);
        core.EndRun();
        const std::string rows = ReadWholeFile(survey).value_or("");
        if (c.refusal == SounderRefusal::None) {
            EXPECT_TRUE(outcome.Logged);
            EXPECT_DOUBLE_EQ(outcome.TrueDepthHigh, c.trueDepth);
            EXPECT_EQ(Lines(rows), 3u) << rows;
            EXPECT_TRUE(reports.empty());
            EXPECT_TRUE(events.empty());
            continue;
        }
        EXPECT_FALSE(outcome.Taken) << "refused like a line that does not match the type";
        EXPECT_FALSE(outcome.Valid);
        EXPECT_FALSE(outcome.Logged);
        EXPECT_FALSE(outcome.AlertDepth);
        EXPECT_FALSE(core.State.NewDepthPending) << "nothing new for the echogram";
        EXPECT_EQ(core.State.TrueDepthHigh, shownBefore) << "the read-outs keep the last depth";
        EXPECT_EQ(Lines(rows), 2u) << rows;
        EXPECT_EQ(Lines(ReadWholeFile(xyz).value_or("")), 2u);
        EXPECT_EQ(core.SounderLinesRefused(), 1u);
        EXPECT_EQ(core.SoundingsNotLogged(), 0u) << "a refused line is no sounding";
        EXPECT_EQ(reports.size(), 1u);
        EXPECT_EQ(events.size(), 1u);
    }
    Clock::install(nullptr);
}

TEST_F(CoreFixture, RefusedSounderLinesAreToldOnceForEachReasonAndCountedAtTheEnd) {
    core.GgaApplied(40.5, 33.1, 12.0, 4, false, 0);
    const std::string nul(1, '\0');
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(core.SounderLine("$SDDBT,1.0,f,7.5,M,1.0,F*00", dbt).Refusal,
                  SounderRefusal::WrongChecksum);
        EXPECT_TRUE(core.SounderLine("$SDDBT,1.0,f,7.5,M,1.0,F", dbt).Logged);
        EXPECT_EQ(core.SounderLine("$SDDBT,1.0,f,1e308,M,1.0,F", dbt).Refusal,
                  SounderRefusal::DepthOutOfRange);
    }
    EXPECT_EQ(core.SounderLine("$SDDBT,1.0,f,7" + nul + ".5,M,1.0,F", dbt).Refusal,
              SounderRefusal::NulByte);
    for (const char* depth : {"nan", "-inf", "1e400"})
        EXPECT_EQ(core.SounderLine("$SDDBT,1.0,f," + std::string(depth) + ",M,1.0,F", dbt).Refusal,
                  SounderRefusal::DepthOutOfRange)
            << depth;
    EXPECT_EQ(core.SounderLine("$SDDBT,1.0,f,7.5\xFF,M,1.0,F", dbt).Refusal,
              SounderRefusal::StrayByte);
    // A line of another type is not refused: it does not match.
    EXPECT_EQ(core.SounderLine("$SDDPT,7.5,0.5*00", dbt).Refusal, SounderRefusal::None);
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_EQ(reports[0], "Sounder line refused, not logged or shown: its checksum is not its "
                          "own; such lines are counted in the events log at Stop");
    EXPECT_EQ(reports[1], "Sounder line refused, not logged or shown: its depth is not finite "
                          "or is beyond 12000 m either way; such lines are counted in the events "
                          "log at Stop");
    EXPECT_EQ(reports[2], "Sounder line refused, not logged or shown: it holds a NUL byte; such "
                          "lines are counted in the events log at Stop");
    EXPECT_EQ(reports[3], "Sounder line refused, not logged or shown: it holds a control byte, "
                          "DEL or a byte from 0x80 up; such lines are counted in the events log "
                          "at Stop");
    EXPECT_TRUE(events.empty());
    core.EndRun();
    EXPECT_EQ(events, std::vector<std::string>{"Sounder lines refused: 11 (wrong checksum 3, NUL "
                                               "byte 1, stray byte 1, depth out of range 6)"});
    EXPECT_EQ(core.SounderLinesRefused(), 11u);
    EXPECT_EQ(Lines(Survey()), 4u);
    EXPECT_EQ(Survey().find("INF"), std::string::npos);
}

TEST_F(CoreFixture, LowFrequencyOnlyTypeIsLoggedByItsLowDepth) {
    core.GgaApplied(40.5, 33.1, 12.0, 4, false, 0);
    const SounderLineInput lo{"Tavrin XDR LO", "%*8s,%*lf,%*8s,%lf", nullptr};
    const auto outcome = core.SounderLine("$XDHI001,12.34,$XDLO001,10.00", lo);
    EXPECT_TRUE(outcome.Logged);
    EXPECT_EQ(outcome.TrueDepthHigh, 0.0);
    EXPECT_NEAR(outcome.AlertDepth.value_or(0), 10.60, 1e-9);
    EXPECT_NE(Survey().find(",0.35,-10.25,0.00,10.60,0,10,Tavrin XDR LO,1530.00,"),
              std::string::npos)
        << Survey();
    EXPECT_NE(Xyz().find(",-10.25\r\n"), std::string::npos);
}

TEST_F(CoreFixture, BatteryFailureGivesNoFalseShoal) {
    core.GgaApplied(40.5, 33.1, 12.0, 4, false, 0);
    const SounderLineInput smt{"Tavrin SMT", "%*8s,%lf,%lf", nullptr};
    const auto outcome = core.SounderLine("SMT00001,12.34,", smt);
    EXPECT_FALSE(outcome.Valid);
    EXPECT_FALSE(outcome.Logged);
    EXPECT_EQ(Xyz(), "");
}

TEST_F(CoreFixture, SetUpRefreshKeepsTheLastGoodValuesAndReportsOncePerSpell) {
    const SetupTexts bad{"0.5", "1600", "2.0", "0.35 m"};
    core.GnssLine("$GPHDT,10,T", &bad);
    core.GnssLine("$GPHDT,11,T", &bad);
    EXPECT_DOUBLE_EQ(core.State.CopiedOffsetA, 0.40);
    EXPECT_DOUBLE_EQ(core.State.CopiedSoundVelocity, 1530);
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_DOUBLE_EQ(core.State.GyroHeading, 11);

    const SetupTexts good{"0.5", "1600", "2.0", "0.30"};
    core.GnssLine("$GPGGA,1,4030.0,N,03306.0,E,4,12,0.8,45.4,M,10.0,M,,", &good);
    EXPECT_DOUBLE_EQ(core.State.CopiedOffsetA, 0.5);
    EXPECT_DOUBLE_EQ(core.State.CopiedSoundVelocity, 1600);
    EXPECT_NEAR(core.State.AntennaHeight, 55.4, 1e-9);
    EXPECT_NEAR(core.State.RtkTide, 53.4, 1e-9);
    core.GnssLine("$GPHDT,11,T", &bad);
    EXPECT_EQ(reports.size(), 2u) << "a new spell is reported again";

    // A line whose checksum is wrong changes nothing.
    core.GnssLine("$GPHDT,99,T*00", nullptr);
    EXPECT_DOUBLE_EQ(core.State.GyroHeading, 11);
}

TEST(AcquisitionCore, LambertPositionOutsideTheConeIsReportedOnceAndNotLogged) {
    QTemporaryDir dir;
    std::vector<std::string> reports;
    AcquisitionCore core([&](const std::string& t) { reports.push_back(t); }, {}, ScanForTests);
    GeodeticTexts texts = Wgs84Utm36();
    texts.UseLcc = true;
    core.BeginRun({0.4, 1530, 1.5, 0}, *GeodeticSnapshot::Take(texts),
                  dir.path().toStdString() + "/c.csv", dir.path().toStdString() + "/x.csv");
    core.GgaApplied(40.5, 33.1, 12.0, 4, false, 0);
    ASSERT_TRUE(core.Position.Projected);
    // The pole the cone does not reach: the Lambert routine's code, reported once.
    core.GgaApplied(-90, 33.1, 12.0, 4, false, 0);
    core.GgaApplied(-90, 33.1, 12.0, 4, false, 0);
    EXPECT_FALSE(core.Position.Projected);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("Lambert"), std::string::npos);
    const SounderLineInput dbt{"NMEA DBT", "%*6s,%*lf,%*1s,%lf", nullptr};
    EXPECT_TRUE(core.SounderLine("$SDDBT,32.8,f,10.0,M,5.4,F", dbt).NotLoggedNoPosition)
        << "no grid position, no row";
    core.EndRun();
}

} // namespace

namespace {

TEST(AcquisitionCore, HostileDeviceLinesNeverCrashNorWriteNonFiniteNumbers) {
    ManualClock clock({2024, 5, 3, 10, 0, 0, 0}, 10000);
    Clock::install(&clock);
    QTemporaryDir dir;
    AcquisitionCore core({}, {}, ScanForTests);
    const std::string survey = dir.path().toStdString() + "/c.csv";
    core.BeginRun({0.4, 1530, 1.5, 0.35}, *GeodeticSnapshot::Take(Wgs84Utm36()), survey,
                  dir.path().toStdString() + "/x.csv");
    std::mt19937 random(20240503);
    std::vector<std::string> lines = {std::string(10000, ','),
                                      "$SDDBT,1," + std::string(100000, '9') + ",M",
                                      "$SDDBT,1,f,1e400,M", "$SDDBT,1,f,nan,M", "$SDDBT,1,f,-inf,M",
                                      "$GPGGA," + std::string(100000, '4'),
                                      "$GPGGA,1,4030.0,N,03306.0,E,4,12,0.8,nan,M,inf,M,,"};
    for (int i = 0; i < 3000; ++i) {
        std::string line(random() % 300, ' ');
        for (char& c : line)
            c = char(random() % 256);
        const char* prefixes[] = {"$SDDBT,", "$GPGGA,", "$HEHDT,", "$GPVTG,", ""};
        lines.push_back(prefixes[i % 5] + line);
    }
    const SounderLineInput dbt{"NMEA DBT", "%*6s,%*lf,%*1s,%lf", nullptr};
    for (const std::string& line : lines) {
        core.GnssLine(line, nullptr);
        core.GgaApplied(40.5, 33.1, 10, 4, false, 0);
        core.SounderLine(line, dbt);
        clock.advance(50);
    }
    core.SounderLine("$SDDBT,1,f,12.5,M", dbt);
    core.EndRun();
    const std::string content = ReadWholeFile(survey).value_or("");
    EXPECT_NE(content.find(",12.5,0,NMEA DBT,"), std::string::npos);
    for (const char* bad : {"nan", "inf", "NAN", "INF"})
        EXPECT_EQ(content.find(bad), std::string::npos) << bad;
    for (const double value : {core.State.GyroHeading, core.State.SpeedKnots,
                               core.State.AntennaHeight, core.State.RtkTide,
                               core.State.TrueDepthHigh})
        EXPECT_TRUE(std::isfinite(value));
    Clock::install(nullptr);
}

} // namespace
