#pragma once

#include <string>

// The day's events log: LogFolder + TodayString() + " Events.log" (the date of writing).
std::string EventsLogPath();

// Appends one entry to `fileName`: a line feed, "Auto Event:", a tab, the date and time
// ("YYYY-MM-DD hhnnsszzz"), a tab and the text. The file is opened for this entry only.
// Returns false when the entry could not be written (it is dropped without a message: the
// events log is where messages would go).
bool AutoEventLog(const std::string& text, const std::string& fileName);

// Appends one entry line that its writer has formatted itself, the way every entry of the
// events log is appended: a line feed, then `line`, checked that every byte was written.
bool AppendEventsLogLine(const std::string& line, const std::string& fileName);
