#pragma once

#include "positioning/rtcm/RtcmLastBaseStation.h"

#include <functional>
#include <optional>
#include <string>

// The position the NTRIP client sends to the caster, as the report shows it.
struct RtcmVesselPosition {
    double latitude = 0;  // degrees
    double longitude = 0; // degrees
    double altitude = 0;  // metres
    bool manualPosition = false;
};

// What the NTRIP window's "RTCM Parsing" button does with the client's capture of the
// correction stream. `capture` is the caller's snapshot of the client's capture buffer (taken
// under the client's lock), nothing when there is no client. With fewer than 6 bytes it
// writes "No RTCM data to parse" through `addLogLine` and nothing else. Otherwise it makes the
// report window when there is none, clears and shows it, and fills it with the capture's
// report. When the report decoded a plausible station that differs from `last`
// (another id, no station remembered yet, or more than 0.00001 degrees away), it writes the
// "Base #" line through `addLogLine` and remembers the station; it writes no events-log entry.
// `standardOffsetMinutes` is the zone whose name the header shows.
void MakeRtcmReport(const std::optional<std::string>& capture, const RtcmVesselPosition& vessel,
                    RtcmLastBaseStation& last,
                    const std::function<void(const std::string&)>& addLogLine,
                    int standardOffsetMinutes);
