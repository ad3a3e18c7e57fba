#include "tools/surveysim/SurveyDayCheck.h"

#include "platform/FileIO.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace {

// The soundings the program counted as not logged for want of a position, told in the events
// log at the end of each spell.
uint64_t SoundingsNotLogged(const std::string& events) {
    static const std::string told = "\tSoundings not logged without a GNSS position: ";
    uint64_t count = 0;
    for (size_t at = events.find(told); at != std::string::npos; at = events.find(told, at + 1))
        count += std::strtoull(events.c_str() + at + told.size(), nullptr, 10);
    return count;
}

} // namespace

SurveyDayCheck CheckSurveyDay(const SurveyScripts& scripts, const std::string& dayFolder,
                              SurveyLogExpectation expected, bool notLoggedFromEventsLog) {
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
        if (notLoggedFromEventsLog) {
            expected.notLogged = SoundingsNotLogged(events);
            expected.spellsPlaced = true;
        }
    }
    SurveyDayCheck check;
    check.faults = CheckSurveyLogs(scripts, read(day + "LOG/" + date + " Coordinates.csv"),
                                   read(day + "XYZ/" + date + " Simple XYZ.csv"), expected, nullptr,
                                   &check.notChecked);
    return check;
}
