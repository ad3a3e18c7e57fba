#pragma once

#include "platform/Clock.h"
#include "positioning/rtcm/RtcmCaptureWalk.h"

#include <string>
#include <string_view>
#include <vector>

// The readable report of a capture of the correction stream: the reference station's ARP in
// ECEF and WGS 84, its descriptors, the signals carried, the vessel position sent to the
// caster with the distance and bearing to the station, and a count of every message.

struct RtcmReportContext {
    LocalDateTime noted;           // when the report is made
    int standardOffsetMinutes = 0; // the local zone's standard offset east of Greenwich
    // The position the NTRIP client sends to the caster.
    double vesselLatitude = 0;  // degrees
    double vesselLongitude = 0; // degrees
    double vesselAltitude = 0;  // metres
    bool manualPosition = false;
};

// The report's lines for `capture`, already walked into `summary`.
std::vector<std::string> BuildRtcmReportLines(std::string_view capture,
                                              const RtcmCaptureSummary& summary,
                                              const RtcmReportContext& context);

// "GMT+03:00", "GMT-05:00", "GMT+05:45", "GMT-00:30": the zone's standard offset.
std::string RtcmTimeZoneText(int offsetMinutes);

struct RtcmDistanceAndBearing {
    double distance = 0; // metres, on a sphere of radius 6371 km
    double bearing = 0;  // degrees clockwise from north, 0 to 360
};

// Great-circle distance (haversine) and initial bearing from the vessel to the station.
RtcmDistanceAndBearing VesselToBaseDistanceAndBearing(double vesselLatitude, double vesselLongitude,
                                                      double baseLatitude, double baseLongitude);

// Degrees and minutes as in a GGA sentence, with the hemisphere: "3330.0000 S",
// "15115.0000 E". Minutes that round up to 60 stay 60.0000 (no carry into the degrees).
std::string GgaLatitudeText(double latitude);
std::string GgaLongitudeText(double longitude);
