// tavrin-surveysim's check of a day's logs against the scripts, over logs written by the
// program's own row writers: a whole run, a run stopped half-way, a day of two recordings and
// rows corrected by a sound velocity profile; and a whole day folder as `--check` reads it.
#include "tools/surveysim/SurveyLogCheck.h"
#include "platform/DateTimeText.h"
#include "platform/FileIO.h"
#include "platform/ManualClock.h"
#include "platform/NumberText.h"
#include "survey/GeodesyLog.h"
#include "survey/SurveyLogRows.h"
#include "tools/surveysim/SurveyDayCheck.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
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

// What the check never compares, said whenever there are rows.
const std::string RtkColumnsNotChecked = "the RTK Antenna Height and RTK Tide columns: which GGA "
                                         "height each row carries is not followed\n";
// Said for a day's run checked without the events log.
const std::string EdgesNotChecked =
    "the first and last rows of each recording: without the events log's Realtime STARTED and "
    "STOPPED a sounding lost at either edge cannot be told from one played while no recording "
    "ran\n";

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
        EXPECT_EQ(Joined(notChecked), RtkColumnsNotChecked);
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
                  ", after the last row: the run was stopped before the script's end\n" +
                  EdgesNotChecked + RtkColumnsNotChecked);

    // Started later, without knowing the count of soundings not logged: the ones before the
    // first row are said not to be checked.
    Logs later;
    AddRows(later, scripts, 100, 250);
    EXPECT_EQ(
        Joined(CheckSurveyLogs(scripts, later.survey, later.xyz, DaysRun(), nullptr, &notChecked)),
        "");
    ASSERT_EQ(notChecked.size(), 4u) << Joined(notChecked);
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
                  ", after the last row: the run was stopped before the script's end\n" +
                  EdgesNotChecked + RtkColumnsNotChecked);

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
        ASSERT_EQ(notChecked.size(), 2u) << Joined(notChecked);
        EXPECT_EQ(notChecked[1] + "\n", RtkColumnsNotChecked);
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

namespace {

LocalDateTime After(LocalDateTime start, int64_t milliseconds) {
    ManualClock clock(start);
    clock.advance(uint64_t(milliseconds));
    return clock.now();
}

// A day of three recordings, each pressed Start 25 ms before the sounding its first row holds
// and Stop 25 ms after its last, as `--check` finds it in the day's folder: the survey log, the
// simple XYZ log, the geodesy log and the events log.
struct DayOfThreeRecordings : ::testing::Test {
    QTemporaryDir dir;
    const std::string day = dir.path().toStdString() + "/2024-05-03/";
    const SurveyScripts scripts = Scripts();
    const std::vector<std::pair<long, long>> recordings{{20, 80}, {150, 220}, {300, 360}};
    Logs logs;
    std::string geodesy;
    // The events log's lines, each at its milliseconds after RunStart.
    std::vector<std::pair<int64_t, std::string>> told;

    void SetUp() override {
        for (const std::string& line : GeodesyLogHeader(RunStart))
            geodesy += line + "\r\n";
        for (const auto& [first, last] : recordings) {
            AddRows(logs, scripts, first, last);
            const int64_t started = first * 50 - 25, stopped = last * 50 + 25;
            for (const std::string& line :
                 GeodesyLogBlock(GeodeticTexts{}, After(RunStart, started - 5)))
                geodesy += line + "\r\n";
            for (const auto& [at, text] : std::vector<std::pair<int64_t, std::string>>{
                     {started - 3, "Connected to GPS on COM1"},
                     {started, "Realtime STARTED"},
                     {stopped - 1, "Disconnected from GPS on COM1"},
                     {stopped, "Realtime STOPPED"}})
                told.push_back({at, text});
        }
    }

    // Tells that the `soundings` before sounding `row` were read without a position: the program
    // writes it just before the row it logs next.
    void tellSpell(long row, int soundings) {
        told.push_back({row * 50, "Soundings not logged without a GNSS position: " +
                                      std::to_string(soundings)});
    }

    SurveyDayCheck check(const Logs& checked, bool notLoggedFromEventsLog = false) {
        std::filesystem::create_directories(day + "LOG");
        std::filesystem::create_directories(day + "XYZ");
        EXPECT_TRUE(WriteFileAtomically(day + "LOG/2024-05-03 Coordinates.csv", checked.survey));
        EXPECT_TRUE(WriteFileAtomically(day + "XYZ/2024-05-03 Simple XYZ.csv", checked.xyz));
        EXPECT_TRUE(WriteFileAtomically(day + "LOG/2024-05-03 Geodesy.txt", geodesy));
        std::stable_sort(told.begin(), told.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::string events;
        for (const auto& [at, text] : told)
            events += "\nAuto Event:\t" + DateTimeText(After(RunStart, at)) + "\t" + text;
        EXPECT_TRUE(WriteFileAtomically(day + "LOG/2024-05-03 Events.log", events));
        return CheckSurveyDay(scripts, day, DaysRun(), notLoggedFromEventsLog);
    }

    // The logs (or `from`) with the row of sounding `index` taken out of both.
    Logs without(long index, const Logs* from = nullptr) const {
        const std::string raw =
            "," + FormatGeneral(double(scripts.soundings[size_t(index)].rawMillimetres) / 1000) +
            ",0,NMEA DBT,";
        Logs cut = from ? *from : logs;
        const size_t at = cut.survey.find(raw);
        EXPECT_NE(at, std::string::npos) << raw;
        const size_t begin = cut.survey.rfind("\r\n", at) + 2;
        const size_t row =
            size_t(std::count(cut.survey.begin(), cut.survey.begin() + long(begin), '\n'));
        cut.survey.erase(begin, cut.survey.find("\r\n", at) + 2 - begin);
        size_t xyzBegin = 0;
        for (size_t i = 0; i < row; ++i)
            xyzBegin = cut.xyz.find("\r\n", xyzBegin) + 2;
        cut.xyz.erase(xyzBegin, cut.xyz.find("\r\n", xyzBegin) + 2 - xyzBegin);
        return cut;
    }
};

} // namespace

TEST_F(DayOfThreeRecordings, MatchesItsScriptsAndItsEventsLog) {
    const SurveyDayCheck found = check(logs);
    EXPECT_EQ(Joined(found.faults), "");
    // The soundings played before, between and after the recordings are known not to be due
    // from the events log: only the columns the check does not follow are left.
    EXPECT_EQ(Joined(found.notChecked),
              "the RTK Antenna Height and RTK Tide columns: which GGA height each row carries is "
              "not followed\n");
}

TEST_F(DayOfThreeRecordings, ALowFrequencyColumnUnlikeTheScriptIsAFault) {
    // The script's sounder sends NMEA DBT, one depth: the low-frequency columns hold none.
    const struct {
        int column;
        const char* name;
        const char* value;
    } cases[] = {{6, "Elevation (Lo)", "-0.05"},
                 {8, "True Depth (Lo)", "0.40"},
                 {10, "Raw Depth (Lo)", "1.25"}};
    for (const auto& damage : cases) {
        SCOPED_TRACE(damage.name);
        Logs changed = logs;
        // Row 30 of the survey log (the header is line 0).
        size_t begin = 0;
        for (int i = 0; i < 30; ++i)
            begin = changed.survey.find("\r\n", begin) + 2;
        const size_t end = changed.survey.find("\r\n", begin);
        std::vector<std::string> fields;
        std::string line = changed.survey.substr(begin, end - begin);
        for (size_t from = 0, comma;; from = comma + 1) {
            comma = line.find(',', from);
            fields.push_back(line.substr(from, comma == std::string::npos ? comma : comma - from));
            if (comma == std::string::npos)
                break;
        }
        ASSERT_EQ(fields.size(), 18u);
        ASSERT_NE(fields[size_t(damage.column)], damage.value);
        fields[size_t(damage.column)] = damage.value;
        line.clear();
        for (const std::string& field : fields)
            line += (line.empty() ? "" : ",") + field;
        changed.survey.replace(begin, end - begin, line);
        const auto faults = check(changed).faults;
        ASSERT_FALSE(faults.empty());
        EXPECT_EQ(faults[0].find(std::string("row 30: ") + damage.name + " " + damage.value), 0u)
            << Joined(faults);
    }
}

TEST_F(DayOfThreeRecordings, ARowLostAtTheFirstOrLastEdgeOfARecordingIsAFault) {
    const struct {
        long sounding;
        const char* said;
    } cases[] = {
        {20, "recording 1: sounding 20, played after Realtime STARTED at 2024-05-03 100000975, "
             "is not logged before its first row (sounding 21)"},
        {150, "recording 2: sounding 150, played after Realtime STARTED at 2024-05-03 "
              "100007475, is not logged before its first row (sounding 151)"},
        {220, "recording 2: sounding 220, played before Realtime STOPPED at 2024-05-03 "
              "100011025, is not logged after its last row (sounding 219)"},
        {360, "recording 3: sounding 360, played before Realtime STOPPED at 2024-05-03 "
              "100018025, is not logged after its last row (sounding 359)"},
    };
    for (const auto& lost : cases) {
        SCOPED_TRACE(lost.sounding);
        const auto faults = check(without(lost.sounding)).faults;
        EXPECT_EQ(Joined(faults),
                  "1 soundings played while recording (from Realtime STARTED to STOPPED) are not "
                  "logged, and 0 were counted as not logged\n" +
                      std::string(lost.said) + "\n");
    }
    // A sounding the program told it did not log (no position yet just after Start) is no
    // loss: without --not-logged the count comes from the events log.
    tellSpell(151, 1);
    EXPECT_EQ(Joined(check(without(150), true).faults), "");
    const Logs lostOnce = without(150);
    EXPECT_NE(Joined(check(without(220, &lostOnce), true).faults), "") << "one told, two lost";
}

TEST_F(DayOfThreeRecordings, EachSpellWithoutAPositionStandsOnlyForTheSoundingsBeforeItsRow) {
    // Each recording began without a position: the sounding read as its ports opened, played
    // before Realtime STARTED, was not logged; and recording 1 lost its position for three
    // soundings, 47 to 49.
    for (const auto& [first, last] : recordings)
        tellSpell(first, 1);
    tellSpell(50, 3);
    const Logs lost49 = without(49), lost48 = without(48, &lost49);
    const Logs spelled = without(47, &lost48);
    const SurveyDayCheck whole = check(spelled, true);
    EXPECT_EQ(Joined(whole.faults), "");
    EXPECT_EQ(Joined(whole.notChecked), RtkColumnsNotChecked);

    const std::string header =
        "1 soundings played while recording (from Realtime STARTED to "
        "STOPPED) are not logged, and none of the 6 the events log counted "
        "as not logged (each placed where its spell ended) stands for them\n";
    const struct {
        long lost;
        const char* said;
    } cases[] = {
        // The row written with a spell's line is missing: the next row came a step later.
        {20, "recording 1: sounding 20, read when \"Soundings not logged without a GNSS "
             "position: 1\" at 2024-05-03 100001000 was written, is not logged: the first row "
             "after the line (sounding 21) was written 50 ms later"},
        {150, "recording 2: sounding 150, read when \"Soundings not logged without a GNSS "
              "position: 1\" at 2024-05-03 100007500 was written, is not logged: the first row "
              "after the line (sounding 151) was written 50 ms later"},
        {300, "recording 3: sounding 300, read when \"Soundings not logged without a GNSS "
              "position: 1\" at 2024-05-03 100015000 was written, is not logged: the first row "
              "after the line (sounding 301) was written 50 ms later"},
        {50, "recording 1: sounding 50, read when \"Soundings not logged without a GNSS "
             "position: 3\" at 2024-05-03 100002500 was written, is not logged: the first row "
             "after the line (sounding 51) was written 50 ms later"},
        // The soundings counted at the starts cannot stand for a row lost at another edge.
        {220, "recording 2: sounding 220, played before Realtime STOPPED at 2024-05-03 "
              "100011025, is not logged after its last row (sounding 219)"},
        {360, "recording 3: sounding 360, played before Realtime STOPPED at 2024-05-03 "
              "100018025, is not logged after its last row (sounding 359)"},
        {60, "recording 1: sounding 60, between its rows of soundings 59 and 61, is neither "
             "logged nor counted as not logged"},
    };
    for (const auto& lost : cases) {
        SCOPED_TRACE(lost.lost);
        EXPECT_EQ(Joined(check(without(lost.lost, &spelled), true).faults),
                  header + lost.said + "\n");
    }
}

TEST_F(DayOfThreeRecordings, SoundingsCountedAtStopLieAfterTheLastRow) {
    // Recording 2 lost its position for its last two soundings: the program tells them at Stop,
    // between the receiver's port closing and Realtime STOPPED.
    told.push_back({220 * 50 + 24, "Soundings not logged without a GNSS position: 2"});
    const Logs lost220 = without(220), spelled = without(219, &lost220);
    EXPECT_EQ(Joined(check(spelled, true).faults), "");
    // One more missing is a loss beyond them.
    const auto faults = check(without(218, &spelled), true).faults;
    ASSERT_EQ(faults.size(), 2u) << Joined(faults);
    EXPECT_EQ(faults[1], "recording 2: sounding 220, played before Realtime STOPPED at 2024-05-03 "
                         "100011025, is not logged after its last row (sounding 217) nor among "
                         "the 2 counted as not logged at Stop");
}
