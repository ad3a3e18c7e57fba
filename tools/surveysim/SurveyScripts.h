#pragma once

#include "tools/devsim/DeviceScript.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

// A survey run as a GNSS receiver and an echo sounder would send it, generated from a seed:
// GGA, RMC, VTG and HDT at 10 Hz along 1 km lines at 5 knots, RTK fixed with float spells, NMEA
// DBT soundings at 20 Hz with a unique raw depth each (some before the first GGA), and
// malformed lines in both streams: wrong checksums with a far position, truncated sentences,
// "nan", empty fields, 5,000-byte lines and noise. It also says what a correct survey log holds.
struct SurveyScriptOptions {
    uint32_t seed = 1;
    int steps = 1200;            // 50 ms each: a minute
    int leadInSteps = 10;        // soundings before the receiver's first epoch
    double startLatitude = 40.5; // within a degree of the grid's central meridian
    double startLongitude = 32.7;
    double lineLengthMetres = 1000;
    double lineSpacingMetres = 50;
    double speedKnots = 5;
    double altitude = 38.0;
};

struct ScriptFix {
    double latitude = 0; // degrees as the GGA's text gives them
    double longitude = 0;
    double altitude = 0;
    int quality = 4;
};

struct ScriptSounding {
    int64_t rawMillimetres = 0; // raw depth, unique per sounding
    int lastFix = -1;           // the GGA written before it, -1 before the first
};

// One 50 ms step: what each device sends in it, GNSS first.
struct SurveyStep {
    std::vector<std::string> gnssLines;
    std::vector<std::string> sounderLines;
};

struct SurveyScripts {
    std::vector<SurveyStep> steps;
    std::vector<ScriptFix> fixes;            // the GGAs that carry a position, in order
    std::vector<ScriptSounding> soundings;   // the well-formed soundings, in order
    size_t malformedGnssLines = 0;
    size_t malformedSounderLines = 0;

    // The streams as device scripts: GNSS epochs every 100 ms, soundings every 50 ms.
    DeviceScript gnssScript() const;
    DeviceScript sounderScript() const;
};

// The run one 50 ms step at a time, the same as GenerateSurveyScripts makes it whole, so a run
// of hours is played without holding its lines in memory.
class SurveyStepGenerator {
public:
    explicit SurveyStepGenerator(const SurveyScriptOptions& options);
    // The next step (false after the last). Its fixes, soundings and malformed-line counts join
    // `record` when one is given.
    bool next(SurveyStep& step, SurveyScripts* record = nullptr);
    int stepsDone() const { return step_; }

private:
    SurveyScriptOptions options_;
    std::mt19937 random_;
    double speed_;  // m/s
    double cosLat_;
    int quality_ = 4;
    int spellLeft_ = 0;
    int64_t rawMillimetres_ = 5000;
    int lastFix_ = -1;
    int step_ = 0;
};

SurveyScripts GenerateSurveyScripts(const SurveyScriptOptions& options);

// The lines as the device sends them, each ended by CR LF, and `lastLine` after them when given
// (a marker the program's handling of the step can be recognised by).
std::string DeviceBytes(const std::vector<std::string>& lines, const std::string& lastLine = {});
