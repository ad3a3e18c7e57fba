#include "tools/surveysim/SurveyLogCheck.h"

#include "platform/NumberText.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

std::vector<std::string> Lines(const std::string& text, std::vector<std::string>& faults,
                               const char* name) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            faults.push_back(std::string(name) + ": last line without CR LF");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

double Number(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

// A row's "Date" column as a text that sorts by time: the log leaves the time out at exactly
// midnight.
std::string TimeKey(const std::string& date) {
    return date.size() == 10 ? date + " 000000000" : date;
}

std::string NextDay(const std::string& date) {
    using namespace std::chrono;
    const year_month_day day{year{std::atoi(date.substr(0, 4).c_str())},
                             month{unsigned(std::atoi(date.substr(5, 2).c_str()))},
                             std::chrono::day{unsigned(std::atoi(date.substr(8, 2).c_str()))}};
    const year_month_day next{sys_days{day} + days{1}};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", int(next.year()), unsigned(next.month()),
                  unsigned(next.day()));
    return text;
}

std::string Range(long first, long last) {
    return first == last ? "sounding " + std::to_string(first)
                         : "soundings " + std::to_string(first) + " to " + std::to_string(last);
}

// Rows of one recording that follow one pass of the script.
struct Span {
    long recording = -1;
    long first = 0;
    long last = 0;
    size_t rows = 0;
};

} // namespace

std::vector<std::string> RecordingStarts(const std::string& geodesyLog) {
    static const std::string header = "GEODETIC PARAMETERS LOG - ";
    static const std::string start = "=== SESSION START: ";
    std::vector<std::string> starts;
    std::string date, previousTime;
    std::istringstream lines(geodesyLog);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind(header, 0) == 0 && line.size() >= header.size() + 10) {
            date = line.substr(header.size(), 10);
        } else if (line.rfind(start, 0) == 0 && !date.empty() && line.size() >= start.size() + 9) {
            const std::string time = line.substr(start.size(), 9);
            if (!previousTime.empty() && time < previousTime)
                date = NextDay(date);
            previousTime = time;
            starts.push_back(date + " " + time);
        }
    }
    return starts;
}

std::vector<std::string> CheckSurveyLogs(const SurveyScripts& scripts, const std::string& surveyLog,
                                         const std::string& xyzLog,
                                         const SurveyLogExpectation& expected,
                                         std::vector<int>* fixOfRow,
                                         std::vector<std::string>* notChecked) {
    std::vector<std::string> faults;
    auto fault = [&](size_t row, const std::string& what) {
        if (faults.size() < 50)
            faults.push_back("row " + std::to_string(row) + ": " + what);
    };
    std::map<int64_t, size_t> soundingByRaw;
    for (size_t i = 0; i < scripts.soundings.size(); ++i)
        soundingByRaw[scripts.soundings[i].rawMillimetres] = i;

    const auto survey = Lines(surveyLog, faults, "survey log");
    const auto xyz = Lines(xyzLog, faults, "simple XYZ log");
    if (survey.empty() || survey[0].rfind("Date,Lat,Lon,", 0) != 0)
        faults.push_back("survey log: no header");
    if (xyz.empty() || xyz[0] != "Easting,Northing,Elevation")
        faults.push_back("simple XYZ log: no header");
    if (survey.size() != xyz.size())
        faults.push_back("the two logs have " + std::to_string(survey.size()) + " and " +
                         std::to_string(xyz.size()) + " lines");

    if (fixOfRow)
        fixOfRow->assign(survey.size(), -1);
    std::vector<Span> spans;
    long recording = -2; // the recording of the row before, -1 before the first start
    long previous = -1;
    long previousFix = -1;
    size_t profileRows = 0;
    double lowestVelocity = 0, highestVelocity = 0;
    for (size_t r = 1; r < survey.size(); ++r) {
        const auto f = Split(survey[r], ',');
        if (f.size() != 18) {
            fault(r, "has " + std::to_string(f.size()) + " fields");
            continue;
        }
        const double raw = Number(f[9]);
        const auto found = soundingByRaw.find(std::llround(raw * 1000));
        if (found == soundingByRaw.end() || std::fabs(raw * 1000 - double(found->first)) > 1e-6) {
            fault(r, "raw depth " + f[9] + " is no well-formed sounding of the script");
            continue;
        }
        const long index = long(found->second);
        // A new recording, or the devices' script begun again (it falls back by more than half
        // of itself, where a row written twice falls back by a few), starts a new span.
        const std::string time = TimeKey(f[0]);
        const long rowRecording = long(std::upper_bound(expected.recordingStarts.begin(),
                                                        expected.recordingStarts.end(), time) -
                                       expected.recordingStarts.begin()) -
                                  1;
        const bool scriptAgain =
            previous >= 0 && index + long(scripts.soundings.size() / 2) < previous;
        if (spans.empty() ||
            (!expected.wholeScript && (rowRecording != recording || scriptAgain))) {
            spans.push_back({rowRecording, index, index, 0});
            recording = rowRecording;
            previous = -1;
            previousFix = -1;
        }
        if (index <= previous) {
            fault(r, "sounding " + std::to_string(index) + " out of order or twice");
        } else {
            spans.back().last = index;
            ++spans.back().rows;
            previous = index;
        }
        const ScriptSounding& sounding = scripts.soundings[size_t(index)];
        // The velocity the row was corrected with: the single one, or the profile's for its
        // depth.
        const double velocity = Number(f[12]);
        if (!std::isfinite(velocity) || velocity <= 0) {
            fault(r, "sound velocity " + f[12]);
            continue;
        }
        if (std::fabs(velocity - expected.soundVelocity) > 0.005) {
            lowestVelocity = profileRows ? std::min(lowestVelocity, velocity) : velocity;
            highestVelocity = profileRows ? std::max(highestVelocity, velocity) : velocity;
            ++profileRows;
        }
        const double trueDepth = raw * velocity / 1500 + expected.draft;
        if (std::fabs(Number(f[7]) - trueDepth) > 0.01)
            fault(r, "true depth " + f[7] + ", expected " + std::to_string(trueDepth));
        const double latitude = Number(f[1]), longitude = Number(f[2]);
        auto isFix = [&](long i) {
            return i >= 0 && i < long(scripts.fixes.size()) &&
                   std::fabs(latitude - scripts.fixes[size_t(i)].latitude) <= 1e-9 &&
                   std::fabs(longitude - scripts.fixes[size_t(i)].longitude) <= 1e-9;
        };
        long fixIndex = -1;
        for (long d = 0; d <= expected.fixSlack && fixIndex < 0; ++d) {
            if (isFix(sounding.lastFix - d))
                fixIndex = sounding.lastFix - d;
            else if (d > 0 && isFix(sounding.lastFix + d))
                fixIndex = sounding.lastFix + d;
        }
        if (fixIndex < 0) {
            if (sounding.lastFix < 0 && expected.fixSlack == 0)
                fault(r, "logged before the first GGA");
            else
                fault(r, "position " + f[1] + " " + f[2] + " is not the GGA written last before it" +
                             (expected.fixSlack ? " nor one of its neighbours" : ""));
            continue;
        }
        if (fixIndex < previousFix)
            fault(r, "logged with an older fix than the row before it");
        previousFix = fixIndex;
        if (fixOfRow)
            (*fixOfRow)[r] = int(fixIndex);
        const ScriptFix& fix = scripts.fixes[size_t(fixIndex)];
        if (std::stoi(f[14]) != fix.quality)
            fault(r, "fix quality " + f[14]);
        if (expected.project) {
            const auto grid = expected.project(fix);
            // The log keeps centimetres: 5 mm of rounding on top of the 2 mm allowed.
            if (!grid || std::fabs(Number(f[3]) - grid->first) > 0.007 ||
                std::fabs(Number(f[4]) - grid->second) > 0.007)
                fault(r, "grid position " + f[3] + " " + f[4]);
        }
        if (r < xyz.size()) {
            const auto x = Split(xyz[r], ',');
            if (x.size() != 3 || x[0] != f[3] || x[1] != f[4] || x[2] != f[5])
                fault(r, "simple XYZ row " + xyz[r] + " does not match");
        }
    }

    std::vector<std::string> unchecked;
    if (profileRows > 0) {
        unchecked.push_back(
            std::to_string(profileRows) + " rows were corrected with sound velocities from " +
            FormatFixed(lowestVelocity, 2) + " to " + FormatFixed(highestVelocity, 2) +
            " m/s, not the single " + FormatFixed(expected.soundVelocity, 2) +
            " m/s (a sound velocity profile): their true depths were checked "
            "with the velocity each row carries, not whether it is the "
            "profile's velocity for that depth");
    }
    const size_t logged = survey.empty() ? 0 : survey.size() - 1;
    const long total = long(scripts.soundings.size());
    if (expected.wholeScript ||
        (spans.size() <= 1 && logged + expected.notLogged == size_t(total))) {
        // The whole script played while one recording ran: every sounding is accounted for.
        if (logged + expected.notLogged != size_t(total))
            faults.push_back(std::to_string(logged) + " logged and " +
                             std::to_string(expected.notLogged) + " not logged, of " +
                             std::to_string(total) + " well-formed soundings");
    } else if (spans.empty()) {
        faults.push_back("no row holds a sounding of the script (" + std::to_string(total) +
                         " well-formed soundings)");
    } else {
        // Between the first and the last row of a recording every sounding played while it
        // ran; what was played before, between and after recordings the logs cannot tell.
        uint64_t missing = 0;
        for (size_t i = 0; i < spans.size(); ++i) {
            missing += uint64_t(spans[i].last - spans[i].first + 1) - spans[i].rows;
            // The script begun again within one recording: its end and its beginning were
            // played while it ran.
            if (i > 0 && spans[i].recording == spans[i - 1].recording)
                missing += uint64_t(total - 1 - spans[i - 1].last) + uint64_t(spans[i].first);
        }
        if (missing > expected.notLogged) {
            faults.push_back(std::to_string(missing) +
                             " soundings played while recording (between the first and the last "
                             "row of a recording) are not logged, and " +
                             std::to_string(expected.notLogged) + " were counted as not logged");
        } else if (expected.notLogged > missing) {
            unchecked.push_back(
                std::to_string(expected.notLogged - missing) + " of the " +
                std::to_string(expected.notLogged) +
                " soundings counted as not logged were played before the first row or after "
                "the last row of a recording: which ones, the logs do not say");
        }
        if (spans.front().first > 0)
            unchecked.push_back(Range(0, spans.front().first - 1) +
                                ", played before the first row: whether a recording ran "
                                "then, the logs do not say");
        for (size_t i = 1; i < spans.size(); ++i) {
            const Span& before = spans[i - 1];
            const Span& after = spans[i];
            if (after.recording == before.recording)
                continue;
            if (after.first > before.last + 1)
                unchecked.push_back(Range(before.last + 1, after.first - 1) +
                                    ", played between two recordings");
            else if (after.first <= before.last)
                unchecked.push_back("the soundings after " + std::to_string(before.last) +
                                    " and before " + std::to_string(after.first) +
                                    ", played between two recordings (the devices began the "
                                    "script again meanwhile)");
        }
        if (spans.back().last < total - 1)
            unchecked.push_back(Range(spans.back().last + 1, total - 1) +
                                ", after the last row: the run was stopped before the "
                                "script's end");
    }
    if (notChecked)
        *notChecked = std::move(unchecked);
    return faults;
}
