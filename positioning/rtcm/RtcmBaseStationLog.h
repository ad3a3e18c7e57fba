#pragma once

#include "positioning/rtcm/RtcmStation.h"

#include <cstdint>
#include <string>
#include <vector>

// Texts and the events-log entry written when a new reference station shows up.

// "Base #2417: 41.01234567, 28.97654321, 45.12m": the line of the NTRIP window's log.
std::string BaseStationLogLine(int32_t stationId, const Wgs84Position& position);

// The day's events log of the current date, in the current date's LOG folder (not the folder
// fixed at start): <data root>/<date>/LOG/<date> Events.log.
std::string BaseStationEventsLogPath();

// Adds the entry "Auto Event:", tab, "yyyy-mm-dd hhnnss000", tab,
// "NTRIP Base Station #<id>: <lat>, <lon>, <height>m" to the current day's events log.
// The log is read, the entry appended as its last line, and the whole file written back with
// CR LF after every line, atomically: a failed write leaves the old log as it was. Nothing is
// written when the LOG folder of the day does not exist or the existing log cannot be read.
// Returns whether the entry was written; callers go on either way.
bool WriteBaseStationEntry(int32_t stationId, const Wgs84Position& position);

// The lines of a text whose line breaks are LF or CR LF; a break at the very end does not
// start another line.
std::vector<std::string> SplitLogLines(const std::string& text);
