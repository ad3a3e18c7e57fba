#pragma once

#include <string>
#include <string_view>

// Text from a device or the network made fit for a log line or a report: each control
// character (below 0x20, and DEL) becomes "?", so a line feed or an escape in the bytes cannot
// break the line or drive the terminal. Other bytes are kept as they are.
std::string PrintableText(std::string_view text);
