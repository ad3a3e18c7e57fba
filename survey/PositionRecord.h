#pragma once

#include <cstdint>

// One GNSS fix as a sounding is logged with it: the GGA's position, its grid position computed
// when it arrived, its fix quality and when it arrived.
struct PositionRecord {
    bool HasGga = false; // the run has had a GGA since Start
    double Latitude = 0;
    double Longitude = 0;
    double Altitude = 0;
    bool Projected = false; // Easting, Northing and Convergence belong to this position
    double Easting = 0;
    double Northing = 0;
    double Convergence = 0;
    int FixQuality = 0;
    uint64_t GgaTick = 0;
    // The port that gave the fix has closed since: the receiver is gone, whatever its age.
    bool PortClosed = false;
};

// A position older than this is no longer where the boat is.
inline constexpr uint64_t kPositionMaxAgeMs = 3000;

// A sounding may be logged with the record: the run has had a GGA, it has a fix and not the
// no-fix (0, 0), it projected, it arrived at most 3 s before `nowTick`, and its port is still
// open.
bool IsCurrentPosition(const PositionRecord& record, uint64_t nowTick);
