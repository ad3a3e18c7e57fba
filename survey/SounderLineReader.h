#pragma once

#include <functional>
#include <optional>
#include <string>

// The echo sounder's message types, in the order the device settings offer them.
enum class SounderType { TavrinSMT, NmeaDPT, NmeaDBT, TavrinXdrHi, TavrinXdrLo, TavrinXdrHL, OdcHi, Other };

// The type named exactly (case-sensitive) by the device settings' type text.
std::optional<SounderType> SounderTypeFromName(const std::string& name);
// How many numbers a line of the type carries (depths, and the battery of "Tavrin SMT").
int SounderValueCount(SounderType type);
// The type's markers all occur in the line (case-sensitive).
bool SounderLineHasMarkers(SounderType type, const std::string& line);
// The type carries a high-frequency depth / a low-frequency depth.
bool SounderCarriesHigh(SounderType type);
bool SounderCarriesLow(SounderType type);

// The one restricted scanner of the program, reached through this signature: scans `line`
// with `format` and returns how many numbers it assigned into `out` (room for four).
using SounderScanFunction =
    std::function<int(const std::string& format, const std::string& line, double* out)>;

struct SounderReading {
    bool Taken = false; // the type is known and the line carries its markers
    bool Valid = false; // the scan assigned exactly the type's numbers
    double RawHigh = 0;
    double RawLow = 0;
    std::optional<double> Battery; // "Tavrin SMT", valid lines only
};

// Reads one sounder line. A type outside the eight, or a line without the type's markers, is
// not taken; a scan that assigns more or fewer numbers than the type carries is not valid and
// leaves both raw depths 0.
SounderReading ReadSounderLine(const std::string& typeName, const std::string& format,
                               const std::string& line, const SounderScanFunction& scan);
