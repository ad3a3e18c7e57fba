#include "tools/surveysim/SurveyDayCheck.h"

#include "platform/FileIO.h"

SurveyDayCheck CheckSurveyDay(const SurveyScripts& scripts, const std::string& dayFolder,
                              SurveyLogExpectation expected) {
    const std::string day =
        !dayFolder.empty() && dayFolder.back() == '/' ? dayFolder : dayFolder + "/";
    std::string date = day.substr(0, day.size() - 1);
    date = date.substr(date.find_last_of('/') + 1);
    const auto read = [](const std::string& path) { return ReadWholeFile(path).value_or(""); };
    expected.wholeScript = false;
    expected.recordingStarts = RecordingStarts(read(day + "LOG/" + date + " Geodesy.txt"));
    SurveyDayCheck check;
    check.faults = CheckSurveyLogs(scripts, read(day + "LOG/" + date + " Coordinates.csv"),
                                   read(day + "XYZ/" + date + " Simple XYZ.csv"), expected, nullptr,
                                   &check.notChecked);
    return check;
}
