#pragma once

#include <string>
#include <string_view>

// The XOR of every character of `body` (the text between "$" and "*" of an NMEA sentence).
unsigned NmeaXor(std::string_view body);

// The same as the two upper-case hexadecimal digits that follow the "*".
std::string NmeaChecksum(std::string_view body);

// The line carries "*" and what follows is not the two hexadecimal digits of its checksum (the
// XOR of the text between a leading "$" and the "*"). A line without "*" is not wrong.
bool NmeaChecksumWrong(std::string_view line);

// The line ends in "*" and two hexadecimal digits that are not the XOR of the text before that
// "*" (after a leading "$"). A line that does not end so is not wrong: a device's own format may
// carry no checksum, or a "*" of its own.
bool NmeaTrailingChecksumWrong(std::string_view line);
