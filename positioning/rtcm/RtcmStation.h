#pragma once

#include <cstddef>
#include <cstdint>

// The reference-station position messages 1005 and 1006: the antenna reference point (ARP)
// in ECEF, and for 1006 the antenna height above the marker.
struct RtcmStationArp {
    int number = 0;        // 1005 or 1006
    int32_t stationId = 0; // DF003
    int itrfYearField = 0; // DF021: realization year - 2000, 0 when not given
    bool gps = false;      // DF022
    bool glonass = false;  // DF023
    bool galileo = false;  // DF024
    bool computed = false; // DF141: 0 a physical station, 1 a virtual (computed) one
    double x = 0;          // DF025, metres
    double y = 0;          // DF026, metres
    double z = 0;          // DF027, metres
    bool hasAntennaHeight = false;
    double antennaHeight = 0; // DF028, metres (1006 of at least 21 bytes only)
};

// A 1005 or 1006 message needs 19 bytes; the antenna height of a 1006 two more.
constexpr size_t RtcmStationMessageLength = 19;
constexpr size_t RtcmStationWithHeightLength = 21;

// Decodes a 1005 or 1006 message of `length` bytes. False for any other number or a message
// shorter than 19 bytes (extra bytes are not read).
bool DecodeRtcmStationArp(const uint8_t* message, size_t length, RtcmStationArp& arp);

// An ARP is believed only when it lies between 6,000 and 7,000 km from the Earth's centre
// (both bounds excluded): a vector outside that shell is a decoding accident.
bool IsPlausibleStationVector(double x, double y, double z);

struct Wgs84Position {
    double latitude = 0;  // degrees
    double longitude = 0; // degrees
    double height = 0;    // ellipsoidal, metres
};

// ECEF metres to WGS 84 latitude, longitude and ellipsoidal height (ten fixed iterations).
Wgs84Position StationEcefToWgs84(double x, double y, double z);
