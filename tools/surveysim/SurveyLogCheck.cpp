#include "tools/surveysim/SurveyLogCheck.h"

#include "platform/NumberText.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <tuple>

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(separator, start);
        parts.push_back(
            text.substr(start, end == std::string::npos ? std::string::npos : end - start));
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

// The script's soundings are one step, 50 ms, apart.
constexpr int64_t kSoundingMs = 50;
// How far a sounding's time may lie from what its neighbours' rows show, beyond their own
// spread: the program reads a port within 10 ms of a line, and Start opens the ports a few
// milliseconds before it logs "Realtime STARTED".
constexpr int64_t kEdgeAllowanceMs = 10;
// The rows near an edge whose times place the soundings beyond it: 10 s of them, so that the
// devices' clock and the program's drifting apart over a long recording does not blur them.
constexpr size_t kEdgeRows = 200;

// The program writes the end of a spell without a position just before the row logged with
// it, within a millisecond or two: a first row written half a step or more after the line is
// not that row.
constexpr int64_t kSpellRowMs = kSoundingMs / 2;
constexpr const char* kSpellTold = "Soundings not logged without a GNSS position: ";

// A time key "YYYY-MM-DD hhnnsszzz" as milliseconds on one scale with every other.
std::optional<int64_t> Milliseconds(const std::string& key) {
    if (key.size() != 20 || key[4] != '-' || key[7] != '-' || key[10] != ' ')
        return std::nullopt;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19})
        if (key[i] < '0' || key[i] > '9')
            return std::nullopt;
    const auto digits = [&](size_t at, size_t count) {
        return std::atoi(key.substr(at, count).c_str());
    };
    using namespace std::chrono;
    const year_month_day date{year{digits(0, 4)}, month{unsigned(digits(5, 2))},
                              day{unsigned(digits(8, 2))}};
    if (!date.ok() || digits(11, 2) > 23 || digits(13, 2) > 59 || digits(15, 2) > 59)
        return std::nullopt;
    return int64_t(sys_days{date}.time_since_epoch().count()) * 86400000 +
           int64_t(digits(11, 2)) * 3600000 + int64_t(digits(13, 2)) * 60000 +
           int64_t(digits(15, 2)) * 1000 + digits(17, 3);
}

// Rows of one recording that follow one pass of the script.
struct Span {
    long recording = -1;
    long first = 0;
    long last = 0;
    size_t rows = 0;
    // Each row's time less the script's time of its sounding: where the devices stood in the
    // script when the program logged it, plus how long the program took to read it.
    std::vector<int64_t> lags;
    // The sounding of each row that has a lag.
    std::vector<long> soundings;
};

// The least and the greatest lag of a span's first or last rows.
std::pair<int64_t, int64_t> EdgeLags(const std::vector<int64_t>& lags, bool atStart) {
    const size_t n = std::min(lags.size(), kEdgeRows);
    const auto begin = atStart ? lags.begin() : lags.end() - long(n);
    const auto [least, greatest] = std::minmax_element(begin, begin + long(n));
    return {*least, *greatest};
}

// The soundings before `first` (of the span `span`) that its first rows' lags place while a
// recording ran that started at `started`: {unsure, due}, those from `due` played later than the
// allowance after it, those from `unsure` to `due` within the allowance either side.
std::pair<long, long> BeforeFirstRow(const Span& span, long first, int64_t started) {
    const int64_t earliest = EdgeLags(span.lags, true).first;
    long k = first - 1;
    while (k >= 0 && earliest + kSoundingMs * k > started + kEdgeAllowanceMs)
        --k;
    const long due = k + 1;
    while (k >= 0 && earliest + kSoundingMs * k >= started - kEdgeAllowanceMs)
        --k;
    return {k + 1, due};
}

// The soundings after `last` (of the span `span`) that its last rows' lags place while
// `recording` ran, stopped at `stopped`: {due, unsure}, those up to `due` played before the
// receiver's port closed (less the allowance), those after it up to `unsure` about then.
std::pair<long, long> AfterLastRow(const Span& span, long last, long total,
                                   const SurveyRecording& recording, int64_t stopped) {
    const int64_t closing = Milliseconds(recording.portsClosing).value_or(stopped);
    const auto [earliest, latest] = EdgeLags(span.lags, false);
    long k = last + 1;
    while (k < total && latest + kSoundingMs * k < closing - kEdgeAllowanceMs)
        ++k;
    const long due = k - 1;
    while (k < total && earliest + kSoundingMs * k <= stopped + kEdgeAllowanceMs)
        ++k;
    return {due, k - 1};
}

// The recording whose start and stop hold `time`, -1 for none.
long RecordingAt(const std::vector<SurveyRecording>& recordings, const std::string& time) {
    long found = -1;
    for (size_t i = 0; i < recordings.size() && recordings[i].started <= time; ++i)
        found = long(i);
    if (found >= 0 && !recordings[size_t(found)].stopped.empty() &&
        time > recordings[size_t(found)].stopped)
        return -1;
    return found;
}

// The soundings that the rows of each recording show were played while it ran, beyond its
// first or last row: their count, each place named in `losses` (faults unless all of them are
// counted as not logged) and, in `unchecked`, those played too near a start or a stop to tell.
// A sounding is placed by the lags of the rows beside the edge: before the first row, one played
// later than "Realtime STARTED" was read while recording; after the last row, one read before
// the receiver's port closed (or "Realtime STOPPED") was read while the sounder's port was open.
// `placedBefore` and `placedAfter`, when given, hold for each recording how many soundings just
// before its first row and just after its last the events log counted as not logged: the edges
// lie beyond them.
uint64_t CheckRecordingEdges(const std::vector<SurveyRecording>& recordings,
                             const std::vector<Span>& spans, long total,
                             std::vector<std::string>& losses, std::vector<std::string>& unchecked,
                             const std::vector<long>& placedBefore = {},
                             const std::vector<long>& placedAfter = {}) {
    const auto them = [](long first, long last, const char* one, const char* more) {
        return std::string(first == last ? one : more);
    };
    uint64_t due = 0;
    for (size_t i = 0; i < recordings.size(); ++i) {
        const SurveyRecording& recording = recordings[i];
        const std::string name = "recording " + std::to_string(i + 1);
        const Span* first = nullptr;
        const Span* last = nullptr;
        for (const Span& span : spans) {
            if (span.recording == long(i) && !span.lags.empty()) {
                first = first ? first : &span;
                last = &span;
            }
        }
        const std::optional<int64_t> started = Milliseconds(recording.started);
        if (!first || !started) {
            unchecked.push_back(name + " (Realtime STARTED at " + recording.started +
                                "): no row with a time; what was played while it ran, the "
                                "logs do not say");
            continue;
        }

        const long before = i < placedBefore.size() ? placedBefore[i] : 0;
        const long edge = first->first - before;
        const auto [unsureFrom, dueFrom] = BeforeFirstRow(*first, edge, *started);
        if (dueFrom < edge) {
            due += uint64_t(edge - dueFrom);
            losses.push_back(
                name + ": " + Range(dueFrom, edge - 1) + ", played after Realtime STARTED at " +
                recording.started + ", " + them(dueFrom, edge - 1, "is", "are") +
                " not logged before its first row (sounding " + std::to_string(first->first) + ")" +
                (before > 0 ? " nor among the " + std::to_string(before) +
                                  " counted as not logged just before it"
                            : ""));
        }
        if (unsureFrom < dueFrom)
            unchecked.push_back(name + ": " + Range(unsureFrom, dueFrom - 1) + ", played within " +
                                std::to_string(kEdgeAllowanceMs) + " ms of Realtime STARTED at " +
                                recording.started + ": whether the program could read " +
                                them(unsureFrom, dueFrom - 1, "it", "them") +
                                " while recording, the row times cannot tell");

        const long after = i < placedAfter.size() ? placedAfter[i] : 0;
        const std::optional<int64_t> stopped = Milliseconds(recording.stopped);
        if (!stopped) {
            if (last->last + after < total - 1)
                unchecked.push_back(name + ": " + Range(last->last + after + 1, total - 1) +
                                    ", after its last row: the events log has no Realtime "
                                    "STOPPED for it, so whether they were played while it ran, "
                                    "the logs do not say");
            continue;
        }
        const long lastEdge = last->last + after;
        const auto [dueTo, unsureTo] = AfterLastRow(*last, lastEdge, total, recording, *stopped);
        if (dueTo > lastEdge) {
            due += uint64_t(dueTo - lastEdge);
            losses.push_back(
                name + ": " + Range(lastEdge + 1, dueTo) + ", played before Realtime STOPPED at " +
                recording.stopped + ", " + them(lastEdge + 1, dueTo, "is", "are") +
                " not logged after its last row (sounding " + std::to_string(last->last) + ")" +
                (after > 0
                     ? " nor among the " + std::to_string(after) + " counted as not logged at Stop"
                     : ""));
        }
        if (unsureTo > dueTo)
            unchecked.push_back(name + ": " + Range(dueTo + 1, unsureTo) +
                                ", played about when Realtime STOPPED at " + recording.stopped +
                                " ended it: whether the program read " +
                                them(dueTo + 1, unsureTo, "it", "them") +
                                " before its ports closed, the row times cannot tell");
    }
    return due;
}

// Each recording's spells without a position placed where the events log tells they ended,
// and the soundings between its first and last rows that are neither logged nor placed: their
// count, each place named in `losses` (all of them faults) and, in `unchecked`, what the times
// cannot tell. Sets, for each recording, how many placed soundings lie just before its first row
// and just after its last, for the check of its edges.
uint64_t PlaceSpells(const std::vector<SurveyRecording>& recordings, const std::vector<Span>& spans,
                     long total, std::vector<std::string>& losses,
                     std::vector<std::string>& unchecked, std::vector<long>& placedBefore,
                     std::vector<long>& placedAfter) {
    placedBefore.assign(recordings.size(), 0);
    placedAfter.assign(recordings.size(), 0);
    uint64_t lost = 0;
    for (size_t i = 0; i < recordings.size(); ++i) {
        const SurveyRecording& recording = recordings[i];
        const std::string name = "recording " + std::to_string(i + 1);
        // The rows' times and soundings, counted on over each time the script played again.
        std::vector<std::pair<int64_t, long>> rows;
        long again = 0;
        for (const Span& span : spans) {
            if (span.recording != long(i))
                continue;
            for (size_t r = 0; r < span.lags.size(); ++r)
                rows.push_back({span.lags[r] + kSoundingMs * span.soundings[r],
                                span.soundings[r] + again * total});
            again += span.lags.empty() ? 0 : 1;
        }
        if (rows.empty())
            continue;
        const auto sounding = [total](long counted) { return counted % total; };
        const auto range = [&](long first, long last) {
            return Range(sounding(first), sounding(last));
        };
        std::set<long> logged, placed, missing;
        for (const auto& row : rows)
            logged.insert(row.second);
        const int64_t closing =
            Milliseconds(recording.portsClosing)
                .value_or(Milliseconds(recording.stopped).value_or(0) - kSpellRowMs);
        for (const NoPositionSpell& spell : recording.spells) {
            const std::optional<int64_t> told = Milliseconds(spell.told);
            const long count = long(spell.soundings);
            if (!told || count == 0)
                continue;
            const std::string line =
                "\"" + std::string(kSpellTold) + std::to_string(count) + "\" at " + spell.told;
            const auto place = [&](long before) {
                for (long k = before - count; k < before; ++k)
                    placed.insert(k);
            };
            size_t j = 0;
            while (j < rows.size() && rows[j].first < *told)
                ++j;
            if (j < rows.size() && rows[j].first - *told < kSpellRowMs) {
                // The row written with the line: the spell's soundings were read just before it.
                place(rows[j].second);
                if (j + 1 < rows.size() && rows[j + 1].first - *told < kSpellRowMs)
                    unchecked.push_back(
                        name + ": sounding " + std::to_string(sounding(rows[j].second - 1)) +
                        ", just before the rows of " + range(rows[j].second, rows[j + 1].second) +
                        " written together with " + line +
                        ": whether its row came with the line and was lost, the row times "
                        "cannot tell");
            } else if (j == rows.size() && *told >= closing) {
                // Ended by Stop: the last soundings read were not logged.
                place(rows.back().second + 1 + count);
            } else if (j < rows.size()) {
                // The row written with the line is missing, and those after it up to the first
                // row there is, by the time between them.
                const long steps = (rows[j].first - *told + kSoundingMs / 2) / kSoundingMs;
                const long gap = j > 0 ? rows[j].second - rows[j - 1].second - 1 - count : steps;
                const long gone = std::clamp(steps, 1L, std::max(gap, 1L));
                const long from = rows[j].second - gone;
                for (long k = from; k < rows[j].second; ++k)
                    missing.insert(k);
                place(from);
                losses.push_back(name + ": " + range(from, rows[j].second - 1) + ", read when " +
                                 line + " was written, " + (gone == 1 ? "is" : "are") +
                                 " not logged: the first row after the line (sounding " +
                                 std::to_string(sounding(rows[j].second)) + ") was written " +
                                 std::to_string(rows[j].first - *told) + " ms later");
            } else {
                missing.insert(rows.back().second + count + 1);
                place(rows.back().second + count + 1);
                losses.push_back(name + ": the row written with " + line +
                                 " is not logged: no row of the recording follows the line");
            }
        }
        lost += missing.size();
        // Between the first and the last row every sounding is logged or placed.
        long gapFrom = -1;
        for (long k = rows.front().second; k <= rows.back().second + 1; ++k) {
            const bool gone = k <= rows.back().second && !logged.count(k) && !placed.count(k) &&
                              !missing.count(k);
            if (gone && gapFrom < 0)
                gapFrom = k;
            if (!gone && gapFrom >= 0) {
                lost += uint64_t(k - gapFrom);
                losses.push_back(name + ": " + range(gapFrom, k - 1) + ", between its rows of " +
                                 "soundings " + std::to_string(sounding(gapFrom - 1)) + " and " +
                                 std::to_string(sounding(k)) + ", " +
                                 (k - 1 == gapFrom ? "is" : "are") +
                                 " neither logged nor counted as not logged");
                gapFrom = -1;
            }
        }
        for (long k : placed)
            if (logged.count(k))
                losses.push_back(name + ": sounding " + std::to_string(sounding(k)) +
                                 " is logged, yet a spell without a position told in the events "
                                 "log counts it as not logged");
        if (!placed.empty()) {
            placedBefore[i] = std::max(0L, rows.front().second - *placed.begin());
            placedAfter[i] = std::max(0L, *placed.rbegin() - rows.back().second);
        }
    }
    return lost;
}

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

std::vector<SurveyRecording> RecordingsInEventsLog(const std::string& eventsLog) {
    std::vector<SurveyRecording> recordings;
    bool running = false;
    std::istringstream lines(eventsLog);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto f = Split(line, '\t');
        if (f.size() != 3 || f[0] != "Auto Event:")
            continue;
        const std::string time = TimeKey(f[1]);
        if (f[2] == "Realtime STARTED") {
            recordings.push_back({time, {}, {}, {}});
            running = true;
        } else if (running && f[2].rfind(kSpellTold, 0) == 0) {
            recordings.back().spells.push_back(
                {time, std::strtoull(f[2].c_str() + std::strlen(kSpellTold), nullptr, 10)});
        } else if (running && f[2].rfind("Disconnected from GPS on ", 0) == 0) {
            recordings.back().portsClosing = time;
        } else if (running && f[2] == "Realtime STOPPED") {
            recordings.back().stopped = time;
            running = false;
        }
    }
    return recordings;
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
        const std::optional<int64_t> at = Milliseconds(time);
        long rowRecording = long(std::upper_bound(expected.recordingStarts.begin(),
                                                  expected.recordingStarts.end(), time) -
                                 expected.recordingStarts.begin()) -
                            1;
        if (expected.recordings) {
            rowRecording = RecordingAt(*expected.recordings, time);
            if (!at)
                fault(r, "date " + f[0] + " is no date and time");
            else if (rowRecording < 0)
                fault(r, "written at " + f[0] +
                             ", while no recording ran (from Realtime STARTED to STOPPED in the "
                             "events log)");
        }
        const bool scriptAgain =
            previous >= 0 && index + long(scripts.soundings.size() / 2) < previous;
        if (spans.empty() ||
            (!expected.wholeScript && (rowRecording != recording || scriptAgain))) {
            spans.push_back({rowRecording, index, index, 0, {}, {}});
            recording = rowRecording;
            previous = -1;
            previousFix = -1;
        }
        if (index <= previous) {
            fault(r, "sounding " + std::to_string(index) + " out of order or twice");
        } else {
            spans.back().last = index;
            ++spans.back().rows;
            if (at) {
                spans.back().lags.push_back(*at - kSoundingMs * index);
                spans.back().soundings.push_back(index);
            }
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
        const std::string noLow = ": the script's sounder sends no low-frequency depth";
        if (Number(f[10]) != 0)
            fault(r, "Raw Depth (Lo) " + f[10] + ", expected 0" + noLow);
        if (std::fabs(Number(f[8])) > 0.005)
            fault(r, "True Depth (Lo) " + f[8] + ", expected 0.00" + noLow);
        // Each elevation is the manual tide less the true depth beside it, both rounded to
        // centimetres.
        for (const auto& [column, depthColumn, name] :
             {std::tuple{5, 7, "Elevation (Hi)"}, std::tuple{6, 8, "Elevation (Lo)"}}) {
            const double elevation = expected.tide - Number(f[size_t(depthColumn)]);
            if (std::fabs(Number(f[size_t(column)]) - elevation) > 0.0101)
                fault(r, std::string(name) + " " + f[size_t(column)] + ", expected " +
                             FormatFixed(elevation, 2));
        }
        if (f[11] != expected.messageFormat)
            fault(r, "Message Format " + f[11] + ", expected " + expected.messageFormat);
        if (std::fabs(Number(f[13]) - expected.draft) > 0.005)
            fault(r, "Transducer Draft " + f[13] + ", expected " + FormatFixed(expected.draft, 2));
        if (std::fabs(Number(f[16]) - expected.tide) > 0.005)
            fault(r, "Manual Tide " + f[16] + ", expected " + FormatFixed(expected.tide, 2));
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
                fault(r, "position " + f[1] + " " + f[2] +
                             " is not the GGA written last before it" +
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
        // ran; what was played before, between and after recordings the logs cannot tell
        // without the events log.
        if (expected.recordings && expected.spellsPlaced) {
            // Every sounding counted as not logged is placed where its spell ended: whatever
            // else is missing is lost.
            std::vector<std::string> losses;
            std::vector<long> before, after;
            uint64_t told = 0;
            for (const SurveyRecording& recording : *expected.recordings)
                for (const NoPositionSpell& spell : recording.spells)
                    told += spell.soundings;
            uint64_t lost =
                PlaceSpells(*expected.recordings, spans, total, losses, unchecked, before, after);
            lost += CheckRecordingEdges(*expected.recordings, spans, total, losses, unchecked,
                                        before, after);
            if (!losses.empty()) {
                faults.push_back(std::to_string(lost) +
                                 " soundings played while recording (from Realtime STARTED to "
                                 "STOPPED) are not logged, and none of the " +
                                 std::to_string(told) +
                                 " the events log counted as not logged (each placed where its "
                                 "spell ended) stands for them");
                faults.insert(faults.end(), losses.begin(), losses.end());
            }
        } else {
            uint64_t missing = 0;
            for (size_t i = 0; i < spans.size(); ++i) {
                missing += uint64_t(spans[i].last - spans[i].first + 1) - spans[i].rows;
                // The script begun again within one recording: its end and its beginning were
                // played while it ran.
                if (i > 0 && spans[i].recording == spans[i - 1].recording)
                    missing += uint64_t(total - 1 - spans[i - 1].last) + uint64_t(spans[i].first);
            }
            std::vector<std::string> edgeLosses;
            if (expected.recordings)
                missing +=
                    CheckRecordingEdges(*expected.recordings, spans, total, edgeLosses, unchecked);
            if (missing > expected.notLogged) {
                faults.push_back(std::to_string(missing) + " soundings played while recording (" +
                                 (expected.recordings
                                      ? "from Realtime STARTED to STOPPED"
                                      : "between the first and the last row of a recording") +
                                 ") are not logged, and " + std::to_string(expected.notLogged) +
                                 " were counted as not logged");
                faults.insert(faults.end(), edgeLosses.begin(), edgeLosses.end());
            } else if (expected.notLogged > missing) {
                unchecked.push_back(std::to_string(expected.notLogged - missing) + " of the " +
                                    std::to_string(expected.notLogged) +
                                    " soundings counted as not logged " +
                                    (expected.recordings ? "were played about when a recording "
                                                           "started or stopped, or while none ran"
                                                         : "were played before the first row or "
                                                           "after the last row of a recording") +
                                    ": which ones, the logs do not say");
            }
            if (!expected.recordings) {
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
                        unchecked.push_back(
                            "the soundings after " + std::to_string(before.last) + " and before " +
                            std::to_string(after.first) +
                            ", played between two recordings (the devices began the "
                            "script again meanwhile)");
                }
                if (spans.back().last < total - 1)
                    unchecked.push_back(Range(spans.back().last + 1, total - 1) +
                                        ", after the last row: the run was stopped before the "
                                        "script's end");
                unchecked.push_back("the first and last rows of each recording: without the events "
                                    "log's Realtime STARTED and STOPPED a sounding lost at either "
                                    "edge cannot be told from one played while no recording ran");
            }
        }
    }
    if (logged > 0)
        unchecked.push_back("the RTK Antenna Height and RTK Tide columns: which GGA height each "
                            "row carries is not followed");
    if (notChecked)
        *notChecked = std::move(unchecked);
    return faults;
}
