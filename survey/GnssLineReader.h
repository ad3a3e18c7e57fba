#pragma once

#include <optional>
#include <string>

// What the acquisition takes from one GNSS line beyond what the port's own parser keeps: the
// gyro heading (HDT), the speed in knots (RMC, VTG) and, from a GGA, the fix quality, the
// altitude and the geoid separation. Sentences are recognised by their three letters anywhere
// in the line, as receivers have always been matched; fields are read by their position, so an
// empty field reads as missing instead of ending the reading of every later one.
struct GnssLineReading {
    bool ChecksumWrong = false; // "*hh" present and wrong: nothing of the line is read
    bool HasHdt = false;
    std::optional<double> Heading;
    // RMC or VTG: the speed in knots, 0 when the field is empty or not a number.
    std::optional<double> SpeedKnots;
    bool HasGga = false;
    std::optional<int> FixQuality;
    std::optional<double> Altitude;
    std::optional<double> GeoidSeparation;
};

GnssLineReading ReadGnssLine(const std::string& line);

// The RTK antenna height a GGA gives: altitude plus geoid separation (the altitude alone when
// the separation is empty) with fix quality 4; nothing otherwise.
std::optional<double> RtkAntennaHeight(const GnssLineReading& reading);
