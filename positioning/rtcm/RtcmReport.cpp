#include "positioning/rtcm/RtcmReport.h"

#include "platform/DateTimeText.h"
#include "platform/NumberText.h"
#include "platform/PrintableText.h"
#include "positioning/rtcm/RtcmMessageName.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* Rule = "================================================";

// printf's "%0<width>.<decimals>f" without the C library's locale.
std::string ZeroPaddedFixed(double value, int width, int decimals) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    if (static_cast<int>(text.size()) < width)
        text.insert(text.begin(), static_cast<size_t>(width) - text.size(), '0');
    return text;
}

std::string GgaAngleText(double angle, int degreeDigits, const char* positive,
                         const char* negative) {
    const double magnitude = std::fabs(angle);
    const double degrees = std::floor(magnitude);
    return ZeroPaddedFixed(degrees, degreeDigits, 0) +
           ZeroPaddedFixed((magnitude - degrees) * 60, 7, 4) + (angle >= 0 ? positive : negative);
}

std::string TrimTrailingBlank(std::string text) {
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

void Title(std::vector<std::string>& lines, const std::string& title) {
    lines.push_back(title);
    lines.push_back(std::string(title.size(), '-'));
}

void HeaderLines(std::vector<std::string>& lines, std::string_view capture,
                 const RtcmReportContext& context) {
    const LocalDateTime& t = context.noted;
    lines.push_back("Tavrin Sounding Desk - RTCM Message Parser v1.0");
    lines.push_back(DateText(t) + " " + ClockTimeText(t) + " " +
                    RtcmTimeZoneText(context.standardOffsetMinutes));
    lines.push_back("Buffer size: " + std::to_string(capture.size()) + " bytes");
    lines.push_back(Rule);
    lines.push_back("");
}

void ReferencePointLines(std::vector<std::string>& lines, const RtcmCaptureSummary& s) {
    Title(lines, "ANTENNA REFERENCE POINT (ARP)");
    if (s.stationId > 0)
        lines.push_back("Station ID: " + std::to_string(s.stationId));
    if (s.itrfYearField > 0)
        lines.push_back("ITRF Realization: " + std::to_string(2000 + s.itrfYearField));
    if (s.gps || s.glonass || s.galileo) {
        std::string systems;
        if (s.gps)
            systems += "GPS ";
        if (s.glonass)
            systems += "GLONASS ";
        if (s.galileo)
            systems += "Galileo ";
        lines.push_back("Station Systems: " + TrimTrailingBlank(systems));
    }
    if (s.stationDecoded && !s.computedStation)
        lines.push_back("Reference Station: Physical (not virtual)");
    if (s.positionValid) {
        lines.push_back("");
        lines.push_back("ECEF Coordinates:");
        lines.push_back("  X: " + FormatFixed(s.x, 4, 15) + " m");
        lines.push_back("  Y: " + FormatFixed(s.y, 4, 15) + " m");
        lines.push_back("  Z: " + FormatFixed(s.z, 4, 15) + " m");
        lines.push_back("");
        lines.push_back("Geographic Coordinates (WGS84):");
        lines.push_back("  Latitude:  " + FormatFixed(s.position.latitude, 8, 15) + " deg");
        lines.push_back("  Longitude: " + FormatFixed(s.position.longitude, 8, 15) + " deg");
        lines.push_back("  Altitude:  " + FormatFixed(s.position.height, 3, 15) + " m");
    }
    if (s.antennaHeight > 0) {
        lines.push_back("");
        lines.push_back("Antenna Height (ARP to marker): " + FormatFixed(s.antennaHeight, 4, 10) +
                        " m");
    }
}

void DescriptorLines(std::vector<std::string>& lines, const RtcmDescriptors& d) {
    if (!d.antennaDescriptor.empty() || !d.antennaSerial.empty()) {
        lines.push_back("");
        Title(lines, "ANTENNA DESCRIPTOR");
        if (!d.antennaDescriptor.empty())
            lines.push_back("Antenna Type: " + PrintableText(d.antennaDescriptor));
        if (!d.antennaSerial.empty())
            lines.push_back("Antenna Serial: " + PrintableText(d.antennaSerial));
        if (d.setupId > 0)
            lines.push_back("Setup ID: " + std::to_string(d.setupId));
    }
    if (!d.receiverType.empty() || !d.receiverFirmware.empty() || !d.receiverSerial.empty()) {
        lines.push_back("");
        Title(lines, "RECEIVER & ANTENNA DESCRIPTORS");
        if (!d.receiverType.empty())
            lines.push_back("Receiver Type: " + PrintableText(d.receiverType));
        if (!d.receiverFirmware.empty())
            lines.push_back("Receiver Firmware: " + PrintableText(d.receiverFirmware));
        if (!d.receiverSerial.empty())
            lines.push_back("Receiver Serial: " + PrintableText(d.receiverSerial));
    }
}

void SignalLines(std::vector<std::string>& lines, const RtcmSignalMarks& s) {
    if (!s.any())
        return;
    lines.push_back("");
    Title(lines, "SIGNALS AVAILABLE");
    auto bands = [&](bool system, const char* name,
                     std::initializer_list<std::pair<bool, const char*>> marks) {
        if (!system)
            return;
        std::string line = std::string(name) + ": ";
        for (const auto& [set, band] : marks)
            if (set)
                line += std::string(band) + " ";
        lines.push_back(TrimTrailingBlank(line));
    };
    bands(s.gps, "GPS", {{s.gpsL1, "L1"}, {s.gpsL2, "L2"}, {s.gpsL5, "L5"}});
    bands(s.glonass, "GLONASS", {{s.glonassG1, "G1"}, {s.glonassG2, "G2"}});
    bands(s.galileo, "Galileo", {{s.galileoE1, "E1"}, {s.galileoE5, "E5"}});
    bands(s.beidou, "BeiDou", {{s.beidouB1, "B1"}, {s.beidouB2, "B2"}});
    if (s.qzss)
        lines.push_back("QZSS");
    if (s.sbas)
        lines.push_back("SBAS");
    if (s.navic)
        lines.push_back("NavIC/IRNSS");
}

void VesselLines(std::vector<std::string>& lines, const RtcmCaptureSummary& s,
                 const RtcmReportContext& c) {
    if (!s.positionValid)
        return;
    lines.push_back("");
    Title(lines, "VESSEL POSITION (sent to VRS)");
    lines.push_back("  Latitude:  " + FormatFixed(c.vesselLatitude, 8, 15) + " deg");
    lines.push_back("  Longitude: " + FormatFixed(c.vesselLongitude, 8, 15) + " deg");
    lines.push_back("  Altitude:  " + FormatFixed(c.vesselAltitude, 1, 10) + " m");
    lines.push_back(std::string("  Manual Position: ") + (c.manualPosition ? "Yes" : "No"));
    lines.push_back("  GGA Lat: " + GgaLatitudeText(c.vesselLatitude));
    lines.push_back("  GGA Lon: " + GgaLongitudeText(c.vesselLongitude));

    if (c.vesselLatitude == 0 && c.vesselLongitude == 0) {
        lines.push_back("");
        lines.push_back("(Vessel position not available - cannot calculate distance)");
        return;
    }
    const RtcmDistanceAndBearing db = VesselToBaseDistanceAndBearing(
        c.vesselLatitude, c.vesselLongitude, s.position.latitude, s.position.longitude);
    lines.push_back("");
    Title(lines, "DISTANCE TO BASE STATION");
    lines.push_back("");
    if (db.distance < 1000)
        lines.push_back("Distance to Base: " + FormatFixed(db.distance, 1, 10) + " m");
    else
        lines.push_back("Distance to Base: " + FormatFixed(db.distance / 1000, 2, 10) + " km");
    lines.push_back("Bearing to Base: " + FormatFixed(db.bearing, 1, 10) + " deg");
    if (db.distance > 35000) {
        lines.push_back("");
        lines.push_back("WARNING: Distance > 35 km - RTK accuracy may be degraded!");
    } else if (db.distance > 20000) {
        lines.push_back("");
        lines.push_back("NOTE: Distance > 20 km - Consider using closer base station");
    }
}

void MessageLines(std::vector<std::string>& lines, const RtcmCaptureSummary& s) {
    lines.push_back("");
    Title(lines, "RTCM MESSAGES RECEIVED");
    for (const auto& [number, count] : s.messageCounts)
        lines.push_back("  " + std::to_string(number) + " - " + RtcmMessageName(number) + " (x" +
                        std::to_string(count) + ")");
    if (s.damagedFrames > 0) {
        lines.push_back("");
        lines.push_back("Frames with a wrong CRC-24Q (not decoded): " +
                        std::to_string(s.damagedFrames));
    }
    lines.push_back("");
    lines.push_back(Rule);
    lines.push_back("Total: " + std::to_string(s.totalFrames) + " RTCM messages parsed");
}

} // namespace

std::vector<std::string> BuildRtcmReportLines(std::string_view capture,
                                              const RtcmCaptureSummary& summary,
                                              const RtcmReportContext& context) {
    std::vector<std::string> lines;
    HeaderLines(lines, capture, context);
    // Each implausible station message on a line of its own, with what it said; the blocks
    // below all come from the last plausible one.
    for (const RtcmEcef& ecef : summary.implausibleStations)
        lines.push_back("  WARNING: ECEF magnitude invalid - parsing may be incorrect! (X " +
                        FormatFixed(ecef.x, 4) + ", Y " + FormatFixed(ecef.y, 4) + ", Z " +
                        FormatFixed(ecef.z, 4) + " m)");
    ReferencePointLines(lines, summary);
    DescriptorLines(lines, summary.descriptors);
    SignalLines(lines, summary.signalMarks);
    VesselLines(lines, summary, context);
    MessageLines(lines, summary);
    return lines;
}

std::string RtcmTimeZoneText(int offsetMinutes) {
    // The sign is written on its own: an offset of less than an hour west of Greenwich has
    // zero hours, which would otherwise lose it.
    const int hours = std::abs(offsetMinutes / 60);
    const int minutes = std::abs(offsetMinutes % 60);
    char text[32];
    std::snprintf(text, sizeof text, "GMT%c%02d:%02d", offsetMinutes < 0 ? '-' : '+', hours,
                  minutes);
    return text;
}

RtcmDistanceAndBearing VesselToBaseDistanceAndBearing(double vesselLatitude, double vesselLongitude,
                                                      double baseLatitude, double baseLongitude) {
    constexpr double toRadians = 3.141592653589793 / 180;
    const double phi1 = vesselLatitude * toRadians;
    const double lambda1 = vesselLongitude * toRadians;
    const double phi2 = baseLatitude * toRadians;
    const double lambda2 = baseLongitude * toRadians;
    const double dPhi = phi2 - phi1;
    const double dLambda = lambda2 - lambda1;

    const double sinHalfPhi = std::sin(dPhi / 2);
    const double sinHalfLambda = std::sin(dLambda / 2);
    const double a =
        sinHalfPhi * sinHalfPhi + std::cos(phi1) * std::cos(phi2) * sinHalfLambda * sinHalfLambda;
    const double c = 2 * std::atan2(std::sqrt(a), std::sqrt(1 - a));

    RtcmDistanceAndBearing result;
    result.distance = 6371000.0 * c;
    const double theta = std::atan2(std::sin(dLambda) * std::cos(phi2),
                                    std::cos(phi1) * std::sin(phi2) -
                                        std::sin(phi1) * std::cos(phi2) * std::cos(dLambda));
    result.bearing = std::fmod(theta * 180 / 3.141592653589793 + 360, 360);
    return result;
}

std::string GgaLatitudeText(double latitude) {
    return GgaAngleText(latitude, 2, " N", " S");
}

std::string GgaLongitudeText(double longitude) {
    return GgaAngleText(longitude, 3, " E", " W");
}
