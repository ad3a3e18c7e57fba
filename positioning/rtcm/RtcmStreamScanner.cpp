#include "positioning/rtcm/RtcmStreamScanner.h"

#include "positioning/rtcm/RtcmBaseStationLog.h"
#include "positioning/rtcm/RtcmFrame.h"
#include "positioning/rtcm/RtcmStation.h"

#include <cmath>

namespace {

constexpr double SameStationTolerance = 0.00001; // degrees

bool IsNewStation(const RtcmLastBaseStation& last, int32_t id, const Wgs84Position& position) {
    return id != last.LastBaseId ||
           std::fabs(position.latitude - last.LastBaseLatitude) > SameStationTolerance ||
           std::fabs(position.longitude - last.LastBaseLongitude) > SameStationTolerance;
}

} // namespace

int ScanRtcmBlockForBaseStations(const uint8_t* data, size_t length, RtcmLastBaseStation& last,
                                 const std::function<void(const std::string&)>& addLogLine) {
    int logged = 0;
    // Every position is tried, also inside a frame already taken: a 0xD3 there starts a
    // candidate only if it passes the same tests, and the CRC-24Q makes that a near miracle.
    for (size_t i = 0; i + RtcmFrameOverhead <= length; ++i) {
        if (data[i] != RtcmPreamble)
            continue;
        size_t messageLength = 0;
        if (LocateRtcmFrame(data, length, i, messageLength) != RtcmFrameCheck::Complete)
            continue;
        const uint8_t* message = data + i + 3;
        const int number = RtcmMessageNumber(message, messageLength);
        if (number != 1005 && number != 1006)
            continue;
        if (messageLength < RtcmStationMessageLength ||
            !RtcmFrameParityIsRight(data + i, messageLength))
            continue;

        RtcmStationArp arp;
        if (!DecodeRtcmStationArp(message, messageLength, arp) ||
            !IsPlausibleStationVector(arp.x, arp.y, arp.z))
            continue;
        const Wgs84Position position = StationEcefToWgs84(arp.x, arp.y, arp.z);
        if (!IsNewStation(last, arp.stationId, position))
            continue;

        if (addLogLine)
            addLogLine(BaseStationLogLine(arp.stationId, position));
        // A lost entry is not retried: the station is remembered all the same.
        WriteBaseStationEntry(arp.stationId, position);
        last.LastBaseId = arp.stationId;
        last.LastBaseLatitude = position.latitude;
        last.LastBaseLongitude = position.longitude;
        last.LastBaseHeight = position.height;
        ++logged;
    }
    return logged;
}
