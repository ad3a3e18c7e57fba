#pragma once

#include "platform/Clock.h"
#include "survey/GeodeticSnapshot.h"

#include <optional>
#include <string>
#include <vector>

// The 26 lines one start of acquisition adds to the day's geodesy log (" Geodesy.txt"), from
// the geodetic values the run projects with.
std::vector<std::string> GeodesyLogBlock(const GeodeticTexts& texts, const LocalDateTime& now);

// The three lines that head a new geodesy log.
std::vector<std::string> GeodesyLogHeader(const LocalDateTime& now);

// Appends the block to the file at `path` (made with its header when missing or empty) and
// replaces the file atomically, every line ended by CR LF. The block's start time is `now`, or
// `sessionStart` when a run's block is written again later. False with `error` when the file
// cannot be read (or is too large to be a geodesy log) or cannot be written.
bool WriteGeodesyLog(const std::string& path, const GeodeticTexts& texts, const LocalDateTime& now,
                     std::string* error = nullptr,
                     const std::optional<LocalDateTime>& sessionStart = std::nullopt);
