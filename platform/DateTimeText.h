#pragma once

#include "platform/Clock.h"

#include <string>

// The program's fixed date and time texts, independent of the user's locale.

// "YYYY-MM-DD": the year without leading zeros, month and day two digits.
std::string DateText(const LocalDateTime& t);
// "hhnnsszzz": hours, minutes, seconds two digits each, milliseconds three.
std::string TimeText(const LocalDateTime& t);
// "hh:nn:ss", the time of day as people read it.
std::string ClockTimeText(const LocalDateTime& t);
// "HHMM".
std::string HourMinuteText(const LocalDateTime& t);
// The default date-time text: the date, a blank and the time ("2025-03-07 093015042").
std::string DateTimeText(const LocalDateTime& t);
