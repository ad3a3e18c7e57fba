#pragma once

#include <string>

// The description of an RTCM 3 message number, "Unknown" for a number not in the table.
std::string RtcmMessageName(int number);
