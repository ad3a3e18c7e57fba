#include "positioning/rtcm/RtcmStation.h"

#include "positioning/rtcm/RtcmFrame.h"

#include <cmath>

bool DecodeRtcmStationArp(const uint8_t* message, size_t length, RtcmStationArp& arp) {
    if (length < RtcmStationMessageLength)
        return false;
    const int number = RtcmMessageNumber(message, length);
    if (number != 1005 && number != 1006)
        return false;
    RtcmStationArp decoded;
    decoded.number = number;
    decoded.stationId = static_cast<int32_t>(RtcmUnsignedBits(message, 12, 12));
    decoded.itrfYearField = static_cast<int>(RtcmUnsignedBits(message, 24, 6));
    decoded.gps = RtcmUnsignedBits(message, 30, 1) != 0;
    decoded.glonass = RtcmUnsignedBits(message, 31, 1) != 0;
    decoded.galileo = RtcmUnsignedBits(message, 32, 1) != 0;
    decoded.computed = RtcmUnsignedBits(message, 33, 1) != 0;
    decoded.x = static_cast<double>(RtcmSignedBits(message, 34, 38)) * 0.0001;
    decoded.y = static_cast<double>(RtcmSignedBits(message, 74, 38)) * 0.0001;
    decoded.z = static_cast<double>(RtcmSignedBits(message, 114, 38)) * 0.0001;
    if (number == 1006 && length >= RtcmStationWithHeightLength) {
        decoded.hasAntennaHeight = true;
        decoded.antennaHeight = static_cast<double>(RtcmUnsignedBits(message, 152, 16)) * 0.0001;
    }
    arp = decoded;
    return true;
}

bool IsPlausibleStationVector(double x, double y, double z) {
    const double r = std::sqrt(x * x + y * y + z * z);
    return r > 6000000.0 && r < 7000000.0;
}

Wgs84Position StationEcefToWgs84(double x, double y, double z) {
    constexpr double a = 6378137.0;
    constexpr double f = 0.0033528106647474805;
    constexpr double e2 = 2 * f - f * f;

    const double p = std::sqrt(x * x + y * y);
    Wgs84Position position;
    position.longitude = std::atan2(y, x) * 180.0 / 3.141592653589793;
    double phi = std::atan2(z, p * (1 - e2));
    for (int i = 0; i < 10; ++i) {
        const double s = std::sin(phi);
        const double n = a / std::sqrt(1 - e2 * s * s);
        phi = std::atan2(z + e2 * n * s, p);
    }
    const double s = std::sin(phi);
    const double n = a / std::sqrt(1 - e2 * s * s);
    position.latitude = phi * 180.0 / 3.141592653589793;
    // Valid at every latitude: p / cos(phi) - n loses all precision near the poles (on the
    // axis it reads some 6,400 km below the ground).
    position.height = p * std::cos(phi) + z * s - a * a / n;
    return position;
}
