#pragma once

#include <string>
#include <string_view>

// The XOR of every character of `body` (the text between "$" and "*" of an NMEA sentence).
unsigned NmeaXor(std::string_view body);

// The same as the two upper-case hexadecimal digits that follow the "*".
std::string NmeaChecksum(std::string_view body);
