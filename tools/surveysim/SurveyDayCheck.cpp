#include "tools/surveysim/SurveyDayCheck.h"

#include "platform/FileIO.h"

#include <algorithm>
#include <filesystem>

SurveyDayCheck CheckSurveyDay(const SurveyScripts& scripts, const std::string& dayFolder,
                              SurveyLogExpectation expected) {
    const std::string day =
        !dayFolder.empty() && dayFolder.back() == '/' ? dayFolder : dayFolder + "/";
    std::string date = day.substr(0, day.size() - 1);
    date = date.substr(date.find_last_of('/') + 1);
    const auto read = [](const std::string& path) { return ReadWholeFile(path).value_or(""); };
    expected.wholeScript = false;
    expected.recordingStarts = RecordingStarts(read(day + "LOG/" + date + " Geodesy.txt"));
    // After midnight the events go on in a file of the new date in the same folder.
    std::vector<std::string> eventsLogs;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(day + "LOG", error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 11 && name.compare(name.size() - 11, 11, " Events.log") == 0)
            eventsLogs.push_back(entry.path().string());
    }
    std::sort(eventsLogs.begin(), eventsLogs.end());
    if (!eventsLogs.empty()) {
        std::string events;
        for (const std::string& path : eventsLogs)
            events += read(path) + "\n";
        expected.recordings = RecordingsInEventsLog(events);
    }
    SurveyDayCheck check;
    check.faults = CheckSurveyLogs(scripts, read(day + "LOG/" + date + " Coordinates.csv"),
                                   read(day + "XYZ/" + date + " Simple XYZ.csv"), expected, nullptr,
                                   &check.notChecked);
    return check;
}
