#pragma once

#include <string>
#include <string_view>

// The XOR of every character of `body` (the text between "$" and "*" of an NMEA sentence).
unsigned NmeaXor(std::string_view body);

// The same as the two upper-case hexadecimal digits that follow the "*".
std::string NmeaChecksum(std::string_view body);

// The line carries a checksum that is not its own: the text after its last "*", blanks and tabs
// at the end aside, is anything but two hexadecimal digits (either case), or they are not the
// XOR of the text between a leading "$" and that "*". A "*" of a field before the checksum is
// part of the text the checksum covers. A line without "*" carries no checksum and is not wrong.
bool NmeaChecksumWrong(std::string_view line);
