#include "tools/surveysim/SurveyLogCheck.h"

#include <cmath>
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

} // namespace

std::vector<std::string> CheckSurveyLogs(const SurveyScripts& scripts, const std::string& surveyLog,
                                         const std::string& xyzLog,
                                         const SurveyLogExpectation& expected,
                                         std::vector<int>* fixOfRow) {
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
    long previous = -1;
    long previousFix = -1;
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
        if (index <= previous)
            fault(r, "sounding " + std::to_string(index) + " out of order or twice");
        previous = index;
        const ScriptSounding& sounding = scripts.soundings[size_t(index)];
        const double trueDepth = raw * expected.soundVelocity / 1500 + expected.draft;
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
            std::ostringstream elevation;
            const auto x = Split(xyz[r], ',');
            if (x.size() != 3 || x[0] != f[3] || x[1] != f[4] || x[2] != f[5])
                fault(r, "simple XYZ row " + xyz[r] + " does not match");
        }
    }
    const size_t logged = survey.empty() ? 0 : survey.size() - 1;
    if (logged + expected.notLogged != scripts.soundings.size())
        faults.push_back(std::to_string(logged) + " logged and " +
                         std::to_string(expected.notLogged) + " not logged, of " +
                         std::to_string(scripts.soundings.size()) + " well-formed soundings");
    return faults;
}
