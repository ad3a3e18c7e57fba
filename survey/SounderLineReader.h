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

// Why a line that carries its type's markers is still not used: a depth from it could be
// wrong, so it is treated as a line that does not match the type.
enum class SounderRefusal {
    None,
    WrongChecksum,   // it ends in "*hh" and the checksum is not its own
    NulByte,         // a NUL inside: the byte it stands for is lost, the number with it
    DepthOutOfRange, // a corrected depth or elevation not finite, or deeper than any sea
};

struct SounderReading {
    bool Taken = false; // the type is known, the line carries its markers and is not refused
    SounderRefusal Refusal = SounderRefusal::None;
    bool Valid = false; // the scan assigned exactly the type's numbers
    double RawHigh = 0;
    double RawLow = 0;
    std::optional<double> Battery; // "Tavrin SMT", valid lines only
};

// Reads one sounder line. A type outside the eight, or a line without the type's markers, is
// not taken; nor is a line of the type that holds a NUL byte or ends in a checksum that is not
// its own (it is refused, and says why). A line without a checksum is read as it is. A scan
// that assigns more or fewer numbers than the type carries is not valid and leaves both raw
// depths 0.
SounderReading ReadSounderLine(const std::string& typeName, const std::string& format,
                               const std::string& line, const SounderScanFunction& scan);
