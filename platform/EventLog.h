#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The day's events log: LogFolder + TodayString() + " Events.log" (the date of writing).
std::string EventsLogPath();

// Appends one entry to `fileName`: a line feed, "Auto Event:", a tab, the date and time
// ("YYYY-MM-DD hhnnsszzz"), a tab and the text. Returns false when the entry is not in the
// file: one that finds no room (a full disk or quota, a file system remounted read-only) waits
// in memory for the same file, as a survey row does, and goes in, in order, once there is room;
// one that cannot be written for another reason (no folder) is dropped. There is no message:
// the events log is where messages would go.
bool AutoEventLog(const std::string& text, const std::string& fileName);

// Appends one entry line that its writer has formatted itself, the way every entry of the
// events log is appended: a line feed, then `line`, checked that every byte was written, or
// waiting as above.
bool AppendEventsLogLine(const std::string& line, const std::string& fileName);

// Writes the entries that wait, when a second has passed since the last try (or `force`).
void RetryWaitingEventsLogLines(bool force = false);

struct WaitingEventsLog {
    std::string path;
    size_t lines = 0;
};
// The events logs whose entries wait in memory.
std::vector<WaitingEventsLog> WaitingEventsLogLines();
