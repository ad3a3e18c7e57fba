// tavrin-surveysim's check of a day's logs against the scripts, over logs written by the
// program's own row writers: a whole run, a run stopped half-way, a day of two recordings and
// rows corrected by a sound velocity profile.
#include "tools/surveysim/SurveyLogCheck.h"
#include "platform/ManualClock.h"
#include "survey/GeodesyLog.h"
#include "survey/SurveyLogRows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>

namespace {

const LocalDateTime RunStart{2024, 5, 3, 10, 0, 0, 0};

struct Logs {
    std::string survey = kSurveyLogHeader;
    std::string xyz = kSimpleXyzHeader;
};

// The rows the program writes for soundings `from` to `to` (those before the first GGA and
// those in `lost` left out), sounding i at 50 ms × i after `start`, each corrected with the
// velocity `velocityAt` gives for its raw depth.
void AddRows(
    Logs& logs, const SurveyScripts& scripts, long from, long to,
    const LocalDateTime& start = RunStart,
    const std::function<double(double)>& velocityAt = [](double) { return 1530.0; },
    const std::set<long>& lost = {}) {
    ManualClock clock(start);
    clock.advance(uint64_t(from) * 50);
    for (long i = from; i <= to; ++i, clock.advance(50)) {
        const ScriptSounding& sounding = scripts.soundings[size_t(i) % scripts.soundings.size()];
        if (sounding.lastFix < 0 || lost.count(i))
            continue;
        const ScriptFix& fix = scripts.fixes[size_t(sounding.lastFix)];
        SurveyLogRow row;
        row.Time = clock.now();
        row.Latitude = fix.latitude;
        row.Longitude = fix.longitude;
        row.Easting = 500000 + sounding.lastFix;
        row.Northing = 4480000 + sounding.lastFix;
        row.RawDepthHigh = double(sounding.rawMillimetres) / 1000;
        row.SoundVelocity = velocityAt(row.RawDepthHigh);
        row.TrueDepthHigh = row.RawDepthHigh * row.SoundVelocity / 1500 + 0.40;
        row.MessageFormat = "NMEA DBT";
        row.TransducerDraft = 0.40;
        row.FixQuality = fix.quality;
        row.ManualTide = 0.35;
        logs.survey += SurveyLogLine(row);
        logs.xyz += SimpleXyzLine(row);
    }
}

SurveyScripts Scripts(int steps = 400) {
    SurveyScriptOptions options;
    options.seed = 5;
    options.steps = steps;
    return GenerateSurveyScripts(options);
}

// A day's run as `tavrin-surveysim --check` sees it.
SurveyLogExpectation DaysRun(uint64_t notLogged = 0) {
    SurveyLogExpectation expected;
    expected.wholeScript = false;
    expected.notLogged = notLogged;
    return expected;
}

std::string Joined(const std::vector<std::string>& texts) {
    std::string all;
    for (const std::string& text : texts)
        all += text + "\n";
    return all;
}

} // namespace

TEST(SurveyLogCheck, AWholeRunIsCheckedExactly) {
    const SurveyScripts scripts = Scripts();
    const long last = long(scripts.soundings.size()) - 1;
    for (bool wholeScript : {true, false}) {
        SCOPED_TRACE(wholeScript ? "the tests' runs" : "a day's run");
        SurveyLogExpectation expected = DaysRun(10); // the lead-in before the first GGA
        expected.wholeScript = wholeScript;
        Logs logs;
        AddRows(logs, scripts, 0, last);
        std::vector<std::string> notChecked{"stale"};
        EXPECT_EQ(
            Joined(CheckSurveyLogs(scripts, logs.survey, logs.xyz, expected, nullptr, &notChecked)),
            "");
        EXPECT_EQ(Joined(notChecked), "");
    }
    // The tests' runs play the whole script: a run that lost its last rows is a fault there.
    SurveyLogExpectation whole = DaysRun(10);
    whole.wholeScript = true;
    Logs cut;
    AddRows(cut, scripts, 0, last - 5);
    const auto faults = CheckSurveyLogs(scripts, cut.survey, cut.xyz, whole);
    ASSERT_EQ(faults.size(), 1u) << Joined(faults);
    EXPECT_NE(faults[0].find("not logged, of"), std::string::npos) << faults[0];
}

TEST(SurveyLogCheck, ARunStoppedHalfWayIsCheckedOverTheSoundingsPlayedWhileRecording) {
    const SurveyScripts scripts = Scripts();
    const long total = long(scripts.soundings.size());
    // Started at the devices' first line, stopped half-way.
    Logs logs;
    AddRows(logs, scripts, 0, total / 2);
    std::vector<std::string> notChecked;
    EXPECT_EQ(
        Joined(CheckSurveyLogs(scripts, logs.survey, logs.xyz, DaysRun(10), nullptr, &notChecked)),
        "");
    EXPECT_EQ(Joined(notChecked),
              "10 of the 10 soundings counted as not logged were played before the first row or "
              "after the last row of a recording: which ones, the logs do not say\n"
              "soundings 0 to 9, played before the first row: whether a recording ran then, the "
              "logs do not say\n"
              "soundings " +
                  std::to_string(total / 2 + 1) + " to " + std::to_string(total - 1) +
                  ", after the last row: the run was stopped before the script's end\n");

    // Started later, without knowing the count of soundings not logged: the ones before the
    // first row are said not to be checked.
    Logs later;
    AddRows(later, scripts, 100, 250);
    EXPECT_EQ(
        Joined(CheckSurveyLogs(scripts, later.survey, later.xyz, DaysRun(), nullptr, &notChecked)),
        "");
    ASSERT_EQ(notChecked.size(), 2u) << Joined(notChecked);
    EXPECT_EQ(notChecked[0], "soundings 0 to 99, played before the first row: whether a "
                             "recording ran then, the logs do not say");

    // A sounding lost while recording is a fault, unless it was counted as not logged.
    Logs lost;
    AddRows(lost, scripts, 100, 250, RunStart, [](double) { return 1530.0; }, {140, 141});
    const auto faults = CheckSurveyLogs(scripts, lost.survey, lost.xyz, DaysRun(1));
    ASSERT_EQ(faults.size(), 1u) << Joined(faults);
    EXPECT_EQ(faults[0], "2 soundings played while recording (between the first and the last "
                         "row of a recording) are not logged, and 1 were counted as not logged");
    EXPECT_TRUE(CheckSurveyLogs(scripts, lost.survey, lost.xyz, DaysRun(2)).empty());
    // Counted but not between rows: the check cannot place them, and says so.
    EXPECT_TRUE(
        CheckSurveyLogs(scripts, lost.survey, lost.xyz, DaysRun(5), nullptr, &notChecked).empty());
    EXPECT_NE(Joined(notChecked)
                  .find("3 of the 5 soundings counted as not logged were played "
                        "before the first row or after the last row"),
              std::string::npos)
        << Joined(notChecked);
}

TEST(SurveyLogCheck, RecordingsOfOneDayAreToldApartByTheStartsInTheGeodesyLog) {
    const SurveyScripts scripts = Scripts();
    const long total = long(scripts.soundings.size());
    // Start, Stop, and Start again 5 s later while the devices played on.
    Logs logs;
    AddRows(logs, scripts, 20, 60);
    AddRows(logs, scripts, 160, 220);
    std::string geodesy;
    for (const std::string& line : GeodesyLogHeader(RunStart))
        geodesy += line + "\r\n";
    for (const LocalDateTime& start : {RunStart, LocalDateTime{2024, 5, 3, 10, 0, 5, 0}})
        for (const std::string& line : GeodesyLogBlock(GeodeticTexts{}, start))
            geodesy += line + "\r\n";
    SurveyLogExpectation expected = DaysRun();
    expected.recordingStarts = RecordingStarts(geodesy);
    ASSERT_EQ(expected.recordingStarts,
              std::vector<std::string>({"2024-05-03 100000000", "2024-05-03 100005000"}));
    std::vector<std::string> notChecked;
    EXPECT_EQ(
        Joined(CheckSurveyLogs(scripts, logs.survey, logs.xyz, expected, nullptr, &notChecked)),
        "");
    EXPECT_EQ(Joined(notChecked),
              "soundings 0 to 19, played before the first row: whether a recording ran then, "
              "the logs do not say\n"
              "soundings 61 to 159, played between two recordings\n"
              "soundings 221 to " +
                  std::to_string(total - 1) +
                  ", after the last row: the run was stopped before the script's end\n");

    // Without the starts the gap is soundings lost while recording.
    const auto faults = CheckSurveyLogs(scripts, logs.survey, logs.xyz, DaysRun());
    ASSERT_EQ(faults.size(), 1u) << Joined(faults);
    EXPECT_EQ(faults[0].find("99 soundings played while recording"), 0u) << faults[0];
}

TEST(SurveyLogCheck, TheScriptPlayedAgainWithinOneRecordingIsOneRun) {
    // The demo's devices play their scripts in a loop.
    const SurveyScripts scripts = Scripts(200);
    const long total = long(scripts.soundings.size());
    Logs logs;
    AddRows(logs, scripts, 150, total + 60);
    EXPECT_EQ(Joined(CheckSurveyLogs(scripts, logs.survey, logs.xyz, DaysRun(10))), "")
        << "the soundings before the first GGA, played again";
    Logs lost;
    AddRows(lost, scripts, 150, total + 60, RunStart, [](double) { return 1530.0; }, {total + 30});
    EXPECT_EQ(Joined(CheckSurveyLogs(scripts, lost.survey, lost.xyz, DaysRun(10))),
              "11 soundings played while recording (between the first and the last row of a "
              "recording) are not logged, and 10 were counted as not logged\n");
}

TEST(SurveyLogCheck, RowsCorrectedByASoundVelocityProfileAreCheckedWithTheVelocityTheyCarry) {
    const SurveyScripts scripts = Scripts();
    const long last = long(scripts.soundings.size()) - 1;
    // A profile's velocity for each whole metre of depth.
    const auto profile = [](double raw) { return 1480.0 + 2.5 * std::trunc(raw + 0.5); };
    Logs logs;
    AddRows(logs, scripts, 0, last, RunStart, profile);
    std::vector<std::string> notChecked;
    for (bool wholeScript : {true, false}) {
        SurveyLogExpectation expected = DaysRun(10);
        expected.wholeScript = wholeScript;
        EXPECT_EQ(
            Joined(CheckSurveyLogs(scripts, logs.survey, logs.xyz, expected, nullptr, &notChecked)),
            "");
        ASSERT_EQ(notChecked.size(), 1u) << Joined(notChecked);
        EXPECT_EQ(notChecked[0].find(std::to_string(last + 1 - 10) +
                                     " rows were corrected with sound velocities from 1492.50 to"),
                  0u)
            << notChecked[0];
        EXPECT_NE(notChecked[0].find("not whether it is the profile's velocity for that depth"),
                  std::string::npos);
    }

    // A true depth that does not follow the velocity of its own row is a fault.
    Logs wrong;
    AddRows(wrong, scripts, 0, last, RunStart, profile);
    const std::string velocity = ",1492.50,";
    const size_t at = wrong.survey.find(velocity);
    ASSERT_NE(at, std::string::npos);
    wrong.survey.replace(at, velocity.size(), ",1530.00,");
    const auto faults = CheckSurveyLogs(scripts, wrong.survey, wrong.xyz, DaysRun(10));
    ASSERT_EQ(faults.size(), 1u) << Joined(faults);
    EXPECT_NE(faults[0].find("true depth"), std::string::npos) << faults[0];
}

TEST(SurveyLogCheck, RecordingStartsPastMidnightTakeTheNextDay) {
    std::string geodesy;
    for (const std::string& line : GeodesyLogHeader({2024, 12, 31, 23, 0, 0, 0}))
        geodesy += line + "\r\n";
    for (const LocalDateTime& start :
         {LocalDateTime{2024, 12, 31, 23, 0, 0, 0}, LocalDateTime{2024, 12, 31, 23, 59, 59, 999},
          LocalDateTime{2025, 1, 1, 0, 10, 0, 0}, LocalDateTime{2025, 1, 1, 2, 0, 0, 0}})
        for (const std::string& line : GeodesyLogBlock(GeodeticTexts{}, start))
            geodesy += line + "\r\n";
    EXPECT_EQ(RecordingStarts(geodesy),
              std::vector<std::string>({"2024-12-31 230000000", "2024-12-31 235959999",
                                        "2025-01-01 001000000", "2025-01-01 020000000"}));
    EXPECT_TRUE(RecordingStarts("").empty());
}
