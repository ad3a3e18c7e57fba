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

// Whether `faults` name a loss of recording `recording` (from 1) at the edge `edge`.
bool FaultAtEdge(const std::vector<std::string>& faults, size_t recording, const char* edge) {
    for (const std::string& fault : faults)
        if (fault.rfind("recording " + std::to_string(recording) + ": ", 0) == 0 &&
            fault.find(edge) != std::string::npos)
            return true;
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
    size_t spare = 0;
    for (const std::string& part : whole.notChecked)
        if (part.find(" soundings counted as not logged were played about when") !=
            std::string::npos)
            spare = std::strtoul(part.c_str(), nullptr, 10);
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
        ASSERT_GT(last, first + 2 * spare + 4);

        // Rows taken out at either edge. The soundings the program counted as not logged are
        // told for the day, not placed: those the check could not place at an edge stand for as
        // many lost ones anywhere, so that many more are taken out. Of the last two rows, the
        // last may hold a sounding read about when Stop closed the ports; the one before was
        // read 50 ms earlier.
        const SurveyDayCheck lastLost = checkWithout(last - spare - 1, spare + 2);
        EXPECT_TRUE(FaultAtEdge(lastLost.faults, r + 1, "after its last row"))
            << "the last " << spare + 2 << " rows taken out:" << Listed(lastLost.faults)
            << "\nnot checked:" << Listed(lastLost.notChecked);
        // Of the first two, the second was played 50 ms after the first, itself played after
        // the sounder's port opened just before Realtime STARTED.
        const SurveyDayCheck firstLost = checkWithout(first, spare + 2);
        EXPECT_TRUE(FaultAtEdge(firstLost.faults, r + 1, "before its first row"))
            << "the first " << spare + 2 << " rows taken out:" << Listed(firstLost.faults)
            << "\nnot checked:" << Listed(firstLost.notChecked);
    }
}
