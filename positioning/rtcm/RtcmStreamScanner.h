#pragma once

#include "positioning/rtcm/RtcmLastBaseStation.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Scans one block of received correction data for the reference-station messages 1005 and
// 1006. A station that differs from `last` (another id, or more than 0.00001 degrees away in
// latitude or longitude; the height plays no part) is written to the NTRIP window's log
// through `addLogLine` ("Base #..."), gets a base-station entry in the day's events log and
// becomes `last`, so the next message, in this block or a later one, is compared with it.
//
// Frames are found only within the block: nothing is carried over, so a frame split across two
// blocks is not taken. A frame whose CRC-24Q is wrong is not decoded, and neither is an ARP
// outside the plausible shell around the Earth's centre. Returns the number of stations logged.
int ScanRtcmBlockForBaseStations(const uint8_t* data, size_t length, RtcmLastBaseStation& last,
                                 const std::function<void(const std::string&)>& addLogLine);
