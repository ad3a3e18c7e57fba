#pragma once

#include <array>
#include <string>
#include <vector>

// What the device settings window's port pages and geodetic page hold, checked without any
// window: the eleven texts of a port page become the port's fields only when every one of them
// is a setting the port can honour, and the geodetic edits reach the map only when each holds
// the one number its place in the datum text expects.

// The eleven texts of a port page, as they stand in its editable lists.
struct PortPageTexts {
    std::string port;      // "COM3" or "3"
    std::string baudRate;  // "9600"
    std::string dataWidth; // "5" .. "8"
    std::string stopBits;  // "1", "1.5", "2"
    std::string parity;    // "None", "Odd", "Even", "Mark", "Space"
    std::string priority;  // stored and shown only
    std::string delay;     // poll interval, ms
    std::string nmeaLog;   // "True"/"False" or a number
    std::string logTime;
    std::string enableDtr;
    std::string enableRts;
};

// The fields of the port object that a page sets (the port's own names and codes).
struct PortPageFields {
    int PortNumber = 1;
    int BaudRate = 9600;
    int DataBitsIndex = 4; // data bits minus 4
    int StopBitsIndex = 1; // 1 one, 2 one and a half, 3 two
    int ParityIndex = 0;   // 0 none, 1 odd, 2 even, 3 mark, 4 space
    int PollInterval = 50;
    bool NmeaLog = false;
    bool LogTimestamps = false;
    bool DTR = false;
    bool RTS = false;
};

// Why a page was refused: the setting's name as the page labels it, and the text it held.
struct PortPageRefusal {
    std::string setting;
    std::string text;
    std::string reason;
};

// The rates the baud-rate lists offer, in list order; every one opens at that rate.
const std::vector<int>& OfferedBaudRates();
// The texts of the other lists, in list order.
const std::vector<std::string>& OfferedParities();   // "Even", "Mark", "None", "Odd", "Space"
const std::vector<std::string>& OfferedPriorities(); // "Higher" .. "TimeCritical"
const std::vector<std::string>& OfferedDelays();     // "1" .. "100000"

// "COMn" or "n", blanks around it and letter case ignored; 0 when it is neither.
int PortNumberFromText(const std::string& text);
// "True"/"False" in any letter case, or a number (0 false, any other true).
bool BooleanFromText(const std::string& text, bool& value);

// Converts the eleven texts. `offeredPorts` are the port numbers the port list offers. Returns
// false with the first setting that cannot be honoured; `fields` is then left untouched, so a
// page is applied whole or not at all.
bool ConvertPortPage(const PortPageTexts& texts, const std::vector<int>& offeredPorts,
                     PortPageFields& fields, PortPageRefusal& refusal);

// The message for a refused page, naming the page, the setting and its text.
std::string PortPageRefusalMessage(const std::string& page, const PortPageRefusal& refusal);

// The raw device log of a port: the day's LOG folder, the date of the copy and the port's name.
std::string PortLogFileName(const std::string& logFolder, const std::string& today, bool gnss);

// The 21 geodetic edits in the order of the page: ellipsoid (semi-major axis, flattening), the
// seven datum parameters (rotations, shifts, scale), transverse Mercator (central meridian,
// reference latitude, scale factor, false easting, false northing) and Lambert (standard
// parallels 1 and 2, scale factor, central parallel, central meridian, false easting, false
// northing).
constexpr int GeodeticEditCount = 21;
struct GeodeticEdit {
    const char* control; // "edSMA"
    const char* label;   // "Semi Major Axis"
};
const std::array<GeodeticEdit, GeodeticEditCount>& GeodeticEdits();

// Checks one edit (its index in GeodeticEdits()); `reason` names it when it fails.
bool CheckGeodeticText(int index, const std::string& text, std::string& reason);
// True when each edit holds exactly one finite number, the flattening lies in [0, 0.01) and
// the semi-major axis and both scale factors are above 0; otherwise `reason` names the first
// edit that fails and why (and `failedIndex`, when given, its index in GeodeticEdits()).
bool CheckGeodeticTexts(const std::array<std::string, GeodeticEditCount>& texts,
                        std::string& reason, int* failedIndex = nullptr);
