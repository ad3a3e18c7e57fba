// A survey day as the surveyor records it: the real main window, two devices on
// pseudo-terminals playing the generated survey at real time on their own clock, Start and Stop
// pressed three times while they play on, and the day's folder checked as `tavrin-surveysim
// --check` does, each recording bounded by the events log the program wrote.
#include "MainWindowSurvey.h"

#include "platform/EventLog.h"
#include "tools/surveysim/SurveyDayCheck.h"

#include <QEventLoop>
#include <QTemporaryDir>
#include <QToolButton>

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

using SteadyClock = std::chrono::steady_clock;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end == std::string::npos ? end : end - at));
        at = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::string Listed(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += "\n  " + line;
    return text;
}

// Whether one of `lines` names, for recording `recording` (from 1), sounding `sounding` or a
// range holding it ("recording 2: sounding 91, ..." or "recording 2: soundings 90 to 92, ...").
bool Names(const std::vector<std::string>& lines, size_t recording, long sounding) {
    const std::string prefix = "recording " + std::to_string(recording) + ": sounding";
    for (const std::string& line : lines) {
        if (line.rfind(prefix, 0) != 0)
            continue;
        long first = -1, last = -1;
        if (std::sscanf(line.c_str() + prefix.size(), "s %ld to %ld,", &first, &last) == 2 ||
            std::sscanf(line.c_str() + prefix.size(), " %ld,", &first) == 1) {
            if (last < 0)
                last = first;
            if (first <= sounding && sounding <= last)
                return true;
        }
    }
    return false;
}

class SurveyDay : public MainWindowSurvey {
protected:
    static SurveyLogExpectation expectation() {
        SurveyLogExpectation expected;
        // Paced by their own clocks, a receiver epoch and the sounding that takes it are read
        // from two ports one after the other.
        expected.fixSlack = 50;
        expected.project = [](const ScriptFix& fix) -> std::optional<std::pair<double, double>> {
            static const GridProjector projector(*GeodeticSnapshot::Take(ExampleLocalDatum()));
            const auto grid = projector.project(fix.latitude, fix.longitude, fix.altitude);
            if (!grid)
                return std::nullopt;
            return std::make_pair(grid->Easting, grid->Northing);
        };
        return expected;
    }
};

} // namespace

TEST_F(SurveyDay, ThreeRecordingsAtRealTimePassTheirCheckAndARowLostAtAnEdgeIsFound) {
    // Start and Stop of each recording, in milliseconds from the devices' first step: at no
    // particular moment of a step, with gaps of half a second and more between them.
    const std::vector<std::pair<int, int>> presses{{1000, 3510}, {4530, 7025}, {8010, 10490}};
    SurveyScriptOptions options;
    options.seed = 1;
    options.steps = (presses.back().second + 500) / 50;
    const SurveyScripts scripts = GenerateSurveyScripts(options);

    ASSERT_TRUE(WriteSurveySettings(TestEnvironment::settingsFile(), receiver.devicePath(),
                                    echoSounder.devicePath(), 20));
    start();
    // The day's folder holds this run's logs only.
    const std::filesystem::path day = std::filesystem::path(LogFolder).parent_path().parent_path();
    std::filesystem::remove_all(day);

    QEventLoop loop;
    const auto begin = SteadyClock::now();
    for (const auto& [startAt, stopAt] : presses)
        for (int at : {startAt, stopAt})
            QTimer::singleShot(std::chrono::milliseconds(at), Qt::PreciseTimer, FNav,
                               [this] { FNav->Realtime->click(); });
    // The devices play on whether the program reads them or not, as on a boat: what finds the
    // pseudo-terminal full is dropped.
    std::thread player([&] {
        for (size_t i = 0; i < scripts.steps.size(); ++i) {
            std::this_thread::sleep_until(begin + i * std::chrono::milliseconds(50));
            const SurveyStep& step = scripts.steps[i];
            if (!step.gnssLines.empty())
                receiver.write(DeviceBytes(step.gnssLines), 0);
            echoSounder.write(DeviceBytes(step.sounderLines), 0);
        }
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    loop.exec();
    player.join();
    ASSERT_FALSE(FNav->Acquisition->Running());
    const std::string events = ReadWholeFile(EventsLogPath()).value_or("");
    const std::vector<SurveyRecording> recordings = RecordingsInEventsLog(events);
    ASSERT_EQ(recordings.size(), 3u) << events;
    for (const SurveyRecording& recording : recordings)
        ASSERT_FALSE(recording.stopped.empty()) << events;

    const SurveyDayCheck whole = CheckSurveyDay(scripts, day.string(), expectation(), true);
    EXPECT_TRUE(whole.faults.empty())
        << Listed(whole.faults) << "\nnot checked:" << Listed(whole.notChecked) << "\n"
        << events;

    // Damaged copies of the day, each with rows taken out of both survey logs.
    const std::string date = day.filename().string();
    const std::string surveyName = "LOG/" + date + " Coordinates.csv";
    const std::string xyzName = "XYZ/" + date + " Simple XYZ.csv";
    const std::vector<std::string> survey =
        Lines(ReadWholeFile((day / surveyName).string()).value_or(""));
    const std::vector<std::string> xyz =
        Lines(ReadWholeFile((day / xyzName).string()).value_or(""));
    ASSERT_EQ(survey.size(), xyz.size());
    QTemporaryDir copies;
    const auto checkWithout = [&](size_t from, size_t count) {
        const std::filesystem::path copy =
            std::filesystem::path(copies.path().toStdString()) / date;
        std::filesystem::remove_all(copy);
        std::filesystem::copy(day, copy, std::filesystem::copy_options::recursive);
        std::vector<std::string> cutSurvey = survey, cutXyz = xyz;
        cutSurvey.erase(cutSurvey.begin() + long(from), cutSurvey.begin() + long(from + count));
        cutXyz.erase(cutXyz.begin() + long(from), cutXyz.begin() + long(from + count));
        EXPECT_TRUE(WriteFileAtomically((copy / surveyName).string(), Joined(cutSurvey)));
        EXPECT_TRUE(WriteFileAtomically((copy / xyzName).string(), Joined(cutXyz)));
        return CheckSurveyDay(scripts, copy.string(), expectation(), true);
    };
    // The sounding a row of the survey log holds, by its raw depth.
    const auto soundingOf = [&](const std::string& row) {
        size_t at = 0;
        for (int comma = 0; comma < 9; ++comma)
            at = row.find(',', at) + 1;
        const long raw = std::lround(std::strtod(row.c_str() + at, nullptr) * 1000);
        for (size_t i = 0; i < scripts.soundings.size(); ++i)
            if (scripts.soundings[i].rawMillimetres == raw)
                return long(i);
        return -1L;
    };
    for (size_t r = 0; r < recordings.size(); ++r) {
        SCOPED_TRACE("recording " + std::to_string(r + 1));
        // The rows after the header that this recording wrote.
        size_t first = 0, last = 0;
        for (size_t i = 1; i < survey.size(); ++i) {
            const std::string time = survey[i].substr(0, survey[i].find(','));
            if (time >= recordings[r].started && time <= recordings[r].stopped) {
                first = first ? first : i;
                last = i;
            }
        }
        ASSERT_GT(last, first + 4);

        // The first row taken out. A recording begins without a position, so the row is
        // normally the one the program wrote with the end of that spell in the events log, and
        // its loss is certain. Only if the row was read together with the next ones, or no spell
        // ended at it, may the times leave it unsure, and then the check says so.
        const long firstSounding = soundingOf(survey[first]);
        const SurveyDayCheck firstLost = checkWithout(first, 1);
        EXPECT_TRUE(Names(firstLost.faults, r + 1, firstSounding) ||
                    Names(firstLost.notChecked, r + 1, firstSounding))
            << "the first row taken out:" << Listed(firstLost.faults)
            << "\nnot checked:" << Listed(firstLost.notChecked) << "\n"
            << events;

        // The last row taken out: a fault when the row times place its sounding before the
        // ports closed; when it was read about then, listed as not checked, never passed over.
        const long lastSounding = soundingOf(survey[last]);
        const SurveyDayCheck lastLost = checkWithout(last, 1);
        EXPECT_TRUE(Names(lastLost.faults, r + 1, lastSounding) ||
                    Names(lastLost.notChecked, r + 1, lastSounding))
            << "the last row taken out:" << Listed(lastLost.faults)
            << "\nnot checked:" << Listed(lastLost.notChecked);
    }
}
