#pragma once

#include <string>

// The texts the map tick shows of the GNSS state: the status line the canvas draws in its
// corner and the two position panels of the main window's status bar. Built without the
// user's locale, so they read the same on every machine.

// "No Fix", "GPS", "DGPS", "RTK Fix", "RTK Float", or "Fix:" and the number for the others.
std::string FixText(int fixQuality);

// The tide as the realtime window and the status line show it: "-" while the survey set-up
// window is open (its values are being edited), else the tide with two decimals.
std::string TideLabelText(bool setupWindowVisible, double rtkTide);

struct StatusLineValues {
    int fixQuality = 0;
    std::string speedLabel;   // the realtime window's speed text, knots; 0 when not a number
    int satellites = 0;
    double antennaHeight = 0; // metres
    std::string tideLabel;    // as TideLabelText made it
    bool sensorEnabled = false;
    double trueDepthHigh = 0; // metres; a depth part only when the sensor is on and above 0
};

// "RTK Fix | Spd: 2.5 kn | SV: 12 | Ant: 45.68 m | Tide: 1.23 m | Depth: 7.46 m".
std::string StatusLineText(const StatusLineValues& values);

// Status panel 0: 12°30'0.000"S, 30°15'0.000"E. Seconds are rounded to the shown
// thousandths before the text is made, so 60.000 seconds carry into the minutes and 60
// minutes into the degrees: a position never reads 41°2'60.000".
std::string PositionDmsText(double latitude, double longitude);

// Status panel 1: "E512.13, N45.50".
std::string GridPositionText(double easting, double northing);
