#pragma once

#include <cstdint>
#include <ctime>

// A local calendar date and time of day, as the clock reads it.
struct LocalDateTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// The C library's calendar fields of `t` (tm_isdst left at 0 for the caller to set), and a
// date and time from such fields, for conversions and normalising through the C calendar.
std::tm CalendarFields(const LocalDateTime& t);
LocalDateTime FromCalendarFields(const std::tm& fields, int millisecond);

// The same instant in UTC: `local` read as a time of the process's time zone (whose rules say
// whether daylight saving applies on that date). A time the C library cannot place comes back
// unchanged.
LocalDateTime ToUtc(const LocalDateTime& local);

// Where the current time comes from. The program uses the system clock; tests install a
// ManualClock so that dated file names and time-outs can be checked.
class ClockSource {
public:
    virtual ~ClockSource() = default;
    virtual LocalDateTime now() const = 0;
    // Milliseconds from an arbitrary start, never going backwards.
    virtual uint64_t tickCount() const = 0;
};

// The one place the program asks for the date, the time and elapsed milliseconds.
class Clock {
public:
    static LocalDateTime now();
    // now() in UTC (ToUtc).
    static LocalDateTime utcNow();
    static uint64_t tickCount();
    // Installs another source; nullptr puts the system clock back. The caller keeps ownership.
    static void install(const ClockSource* source);
};
