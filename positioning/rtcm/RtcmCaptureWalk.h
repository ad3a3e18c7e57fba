#pragma once

#include "positioning/rtcm/RtcmDescriptors.h"
#include "positioning/rtcm/RtcmStation.h"

#include <cstdint>
#include <map>
#include <vector>
#include <string_view>

struct RtcmEcef {
    double x = 0, y = 0, z = 0;
};

// Which signals the stream carries, judged by its message numbers.
struct RtcmSignalMarks {
    bool gps = false, gpsL1 = false, gpsL2 = false, gpsL5 = false;
    bool glonass = false, glonassG1 = false, glonassG2 = false;
    bool galileo = false, galileoE1 = false, galileoE5 = false;
    bool beidou = false, beidouB1 = false, beidouB2 = false;
    bool qzss = false;
    bool sbas = false;
    bool navic = false;

    bool any() const { return gps || glonass || galileo || beidou || qzss || sbas || navic; }
};

// What one walk over a capture of the correction stream found. A later message of a kind
// replaces what an earlier one set.
struct RtcmCaptureSummary {
    int32_t stationId = 0; // from 1005, 1006, 1007, 1008 and 1033

    // From the last decoded 1005 or 1006.
    bool stationDecoded = false;
    int itrfYearField = 0;
    bool gps = false, glonass = false, galileo = false;
    bool computedStation = false;

    // The ARP in ECEF and WGS 84, both from the last 1005 or 1006 whose ARP was plausible, so
    // that the two never describe different stations; the mark stays once set.
    bool positionValid = false;
    double x = 0, y = 0, z = 0;
    Wgs84Position position;
    // The ARPs of station messages that were not plausible, in capture order.
    std::vector<RtcmEcef> implausibleStations;

    double antennaHeight = 0; // from a 1006 of at least 21 bytes
    RtcmDescriptors descriptors;
    RtcmSignalMarks signalMarks;

    std::map<int, int> messageCounts; // message number -> intact frames
    int totalFrames = 0;              // intact frames
    // Frames refused because their CRC-24Q is wrong, counted where the stream expects a frame
    // (see WalkRtcmCapture).
    int damagedFrames = 0;
};

// Walks a capture as a sequence of frames. An intact frame is decoded, counted and stepped
// over whole; anywhere else the walk moves on by one byte, looking for the next preamble.
// A frame whose CRC-24Q is wrong is never decoded. It is counted as damaged when it starts
// where a frame is expected: at the capture's first byte, right after an intact frame, or
// right after the bytes that the previous damaged frame claimed. Preambles met while the walk
// looks for its footing (in the tail of a frame cut off at the capture's start, or inside a
// damaged frame) are not counted. A frame that reaches past the end of the capture is neither
// decoded nor counted.
RtcmCaptureSummary WalkRtcmCapture(std::string_view capture);
