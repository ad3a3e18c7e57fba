#pragma once

#include "positioning/rtcm/RtcmStation.h"

#include <cstdint>
#include <string>
#include <vector>

// Texts and the events-log entry written when a new reference station shows up.

// "Base #2417: 41.01234567, 28.97654321, 45.12m": the line of the NTRIP window's log.
std::string BaseStationLogLine(int32_t stationId, const Wgs84Position& position);

// Adds the entry "Auto Event:", tab, "yyyy-mm-dd hhnnss000", tab,
// "NTRIP Base Station #<id>: <lat>, <lon>, <height>m" to the run's events log (EventsLogPath()),
// beside the run's other entries and event marks, through the events log's checked append: the
// entries already there are left byte for byte as they are. Nothing is written when the log's
// folder does not exist. Returns whether the entry was written; callers go on either way.
bool WriteBaseStationEntry(int32_t stationId, const Wgs84Position& position);

// The lines of a text whose line breaks are LF or CR LF; a break at the very end does not
// start another line.
std::vector<std::string> SplitLogLines(const std::string& text);
