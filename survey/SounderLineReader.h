#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

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
// with `format` and returns how many numbers it assigned into `out` (room for four); sets
// `notFinite` when the scan ended at a number that is not finite ("nan", "inf", "1e400").
using SounderScanFunction = std::function<int(const std::string& format, const std::string& line,
                                              double* out, bool* notFinite)>;

// Why a line that carries its type's markers is still not used: a depth from it could be
// wrong, so it is treated as a line that does not match the type.
enum class SounderRefusal {
    None,
    WrongChecksum,   // the text after its last "*" is not the two hex digits of its checksum
    NulByte,         // a NUL inside: the byte it stands for is lost, the number with it
    StrayByte,       // another control byte (not a tab), DEL or a byte from 0x80 up inside
    DepthOutOfRange, // a depth not finite, or a corrected depth or elevation beyond any sea
};

// The sentence of a sounder line: the line without blanks and line ends at either end, and
// without the noise before its first "$" when only noise (control bytes, DEL, bytes from 0x80
// up, blanks) stands before it. Printable text before a "$" is kept: a device's own format may
// put it there.
std::string_view SounderSentence(std::string_view line);

struct SounderReading {
    bool Taken = false; // the type is known, the line carries its markers and is not refused
    SounderRefusal Refusal = SounderRefusal::None;
    bool Valid = false; // the scan assigned exactly the type's numbers
    double RawHigh = 0;
    double RawLow = 0;
    std::optional<double> Battery; // "Tavrin SMT", valid lines only
};

// Reads the sentence of one sounder line. A type outside the eight, or a sentence without the
// type's markers, is not taken; nor is a sentence of the type that holds a NUL byte, a checksum
// that is not its own, another byte that is no text (a control byte but a tab, DEL, a byte from
// 0x80 up) or a number that is not finite (it is refused, and says why). A sentence without
// "*" is read as it is. A scan that assigns more or fewer numbers than the type carries is not
// valid and leaves both raw depths 0.
SounderReading ReadSounderLine(const std::string& typeName, const std::string& format,
                               const std::string& line, const SounderScanFunction& scan);
