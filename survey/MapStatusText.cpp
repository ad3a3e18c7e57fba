#include "survey/MapStatusText.h"

#include "platform/NumberText.h"

#include <cmath>
#include <cstdint>

std::string FixText(int fixQuality) {
    switch (fixQuality) {
    case 0:
        return "No Fix";
    case 1:
        return "GPS";
    case 2:
        return "DGPS";
    case 4:
        return "RTK Fix";
    case 5:
        return "RTK Float";
    default:
        return "Fix:" + std::to_string(fixQuality);
    }
}

std::string TideLabelText(bool setupWindowVisible, double rtkTide) {
    return setupWindowVisible ? std::string("-") : FormatFixed(rtkTide, 2, 20);
}

std::string StatusLineText(const StatusLineValues& values) {
    double speed = 0;
    if (!ParseNumber(values.speedLabel, speed))
        speed = 0;
    std::string text = FixText(values.fixQuality) + " | Spd: " + FormatFixed(speed, 1, 10) +
                       " kn | SV: " + std::to_string(values.satellites) +
                       " | Ant: " + FormatFixed(values.antennaHeight, 2, 10) +
                       " m | Tide: " + values.tideLabel + " m";
    if (values.sensorEnabled && values.trueDepthHigh > 0)
        text += " | Depth: " + FormatFixed(values.trueDepthHigh, 2) + " m";
    return text;
}

namespace {

constexpr int64_t ThousandthsPerMinute = 60 * 1000;
constexpr int64_t ThousandthsPerDegree = 60 * ThousandthsPerMinute;

// Degrees, minutes and seconds of one angle, rounded once to thousandths of a second.
std::string DmsPart(double angle, char positive, char negative) {
    const char hemisphere = angle >= 0 ? positive : negative;
    double magnitude = std::fabs(angle);
    if (!std::isfinite(magnitude) || magnitude > 1e6)
        magnitude = 0;
    const int64_t thousandths = std::llround(magnitude * double(ThousandthsPerDegree));
    const int64_t degrees = thousandths / ThousandthsPerDegree;
    const int64_t minutes = thousandths % ThousandthsPerDegree / ThousandthsPerMinute;
    const int64_t secondThousandths = thousandths % ThousandthsPerMinute;
    return std::to_string(degrees) + "\u00B0" + std::to_string(minutes) + "'" +
           FormatFixed(double(secondThousandths) / 1000.0, 3, 6) + "\"" + hemisphere;
}

} // namespace

std::string PositionDmsText(double latitude, double longitude) {
    return DmsPart(latitude, 'N', 'S') + ", " + DmsPart(longitude, 'E', 'W');
}

std::string GridPositionText(double easting, double northing) {
    return "E" + FormatFixed(easting, 2, 12) + ", N" + FormatFixed(northing, 2, 12);
}
