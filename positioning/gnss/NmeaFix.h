#pragma once

// What a port keeps from the sentences it has parsed: the last position, speed, course, fix
// quality and satellite count. All zero until the first sentence that sets them.
struct NmeaFix {
    double Latitude = 0;  // degrees, north positive
    double Longitude = 0; // degrees, east positive
    double Altitude = 0;  // metres, antenna altitude as the receiver sends it
    double Speed = 0;     // km/h over ground
    double Course = 0;    // degrees over ground, as sent
    int FixQuality = 0;   // GGA fix quality
    int Satellites = 0;   // GGA satellites in use

    void clearFix() { *this = NmeaFix{}; }
};
