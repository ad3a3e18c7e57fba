#pragma once

#include "canvas/CanvasModel.h"
#include "survey/TrackRecorder.h"

// A day of surveying as the map benchmarks sail it: 864,000 fixes (10 Hz for 24 h) at 5 kn
// back and forth along 1 km lines 25 m apart, the turn sailed along the next line's start,
// ten minutes of float every two hours.

namespace DaySurvey {

constexpr int FixesPerDay = 864000;
constexpr double MetresPerFix = 5 * 1852.0 / 3600.0 / 10;
constexpr double LineLength = 1000;
constexpr double LineSpacing = 25;

struct GridFix {
    double east, north;
    int quality;
};

// Fix `i` of the day, the first line starting at (east0, north0).
inline GridFix Fix(int i, double east0, double north0) {
    const double travelled = i * MetresPerFix;
    const double lap = LineLength + LineSpacing;
    const int line = int(travelled / lap);
    const double along = travelled - line * lap;
    GridFix fix{};
    if (along < LineLength) {
        fix.east = east0 + (line % 2 == 0 ? along : LineLength - along);
        fix.north = north0 + line * LineSpacing;
    } else {
        fix.east = east0 + (line % 2 == 0 ? LineLength : 0);
        fix.north = north0 + line * LineSpacing + (along - LineLength);
    }
    fix.quality = (i / 10 / 60) % 120 < 10 ? 5 : 4;
    return fix;
}

// The whole day offered to a fresh track recorder on `canvas`, as the map tick offers fixes.
inline void LayTrack(CanvasModel& canvas, const TrackSettings& settings, double east0,
                     double north0) {
    TrackRecorder recorder;
    for (int i = 0; i < FixesPerDay; ++i) {
        const GridFix fix = Fix(i, east0, north0);
        recorder.Offer(canvas, fix.east, fix.north, fix.quality, settings);
    }
}

} // namespace DaySurvey
