#include "positioning/rtcm/RtcmCaptureWalk.h"

#include "positioning/rtcm/RtcmFrame.h"

namespace {

bool InRange(int number, int first, int last) {
    return number >= first && number <= last;
}

void MarkSignals(int number, RtcmSignalMarks& s) {
    if (InRange(number, 1001, 1002)) {
        s.gps = s.gpsL1 = true;
    } else if (InRange(number, 1003, 1004)) {
        s.gps = s.gpsL1 = s.gpsL2 = true;
    } else if (InRange(number, 1071, 1077)) {
        s.gps = s.gpsL1 = s.gpsL2 = s.gpsL5 = true;
    } else if (InRange(number, 1009, 1010)) {
        s.glonass = s.glonassG1 = true;
    } else if (InRange(number, 1011, 1012) || InRange(number, 1081, 1087)) {
        s.glonass = s.glonassG1 = s.glonassG2 = true;
    } else if (InRange(number, 1091, 1097)) {
        s.galileo = s.galileoE1 = s.galileoE5 = true;
    } else if (InRange(number, 1121, 1127)) {
        s.beidou = s.beidouB1 = s.beidouB2 = true;
    } else if (InRange(number, 1111, 1117)) {
        s.qzss = true;
    } else if (InRange(number, 1101, 1107)) {
        s.sbas = true;
    } else if (InRange(number, 1131, 1137)) {
        s.navic = true;
    }
}

void DecodeStation(const uint8_t* message, size_t length, RtcmCaptureSummary& summary) {
    RtcmStationArp arp;
    if (!DecodeRtcmStationArp(message, length, arp))
        return; // shorter than 19 bytes: counted, not decoded
    summary.stationId = arp.stationId;
    summary.stationDecoded = true;
    summary.itrfYearField = arp.itrfYearField;
    summary.gps = arp.gps;
    summary.glonass = arp.glonass;
    summary.galileo = arp.galileo;
    summary.computedStation = arp.computed;
    if (IsPlausibleStationVector(arp.x, arp.y, arp.z)) {
        summary.x = arp.x;
        summary.y = arp.y;
        summary.z = arp.z;
        summary.position = StationEcefToWgs84(arp.x, arp.y, arp.z);
        summary.positionValid = true;
    } else {
        summary.implausibleStations.push_back({arp.x, arp.y, arp.z});
    }
    if (arp.hasAntennaHeight)
        summary.antennaHeight = arp.antennaHeight;
}

void Decode(const uint8_t* message, size_t length, RtcmCaptureSummary& summary) {
    const int number = RtcmMessageNumber(message, length);
    if (number == 1005 || number == 1006) {
        DecodeStation(message, length, summary);
    } else {
        summary.descriptors.hasStationId = false;
        if (ApplyRtcmDescriptorMessage(message, length, summary.descriptors) &&
            summary.descriptors.hasStationId)
            summary.stationId = summary.descriptors.stationId;
    }
    MarkSignals(number, summary.signalMarks);
    ++summary.messageCounts[number];
    ++summary.totalFrames;
}

} // namespace

RtcmCaptureSummary WalkRtcmCapture(std::string_view capture) {
    RtcmCaptureSummary summary;
    const auto* data = reinterpret_cast<const uint8_t*>(capture.data());
    const size_t size = capture.size();
    size_t expected = 0; // where the next frame should start
    size_t p = 0;
    while (p + RtcmFrameOverhead <= size) {
        size_t messageLength = 0;
        const RtcmFrameCheck check = CheckRtcmFrame(data, size, p, messageLength);
        if (check == RtcmFrameCheck::Intact) {
            Decode(data + p + 3, messageLength, summary);
            p += messageLength + RtcmFrameOverhead;
            expected = p;
            continue;
        }
        if (check == RtcmFrameCheck::BadParity && p == expected) {
            ++summary.damagedFrames;
            expected = p + messageLength + RtcmFrameOverhead;
        }
        ++p;
    }
    return summary;
}
