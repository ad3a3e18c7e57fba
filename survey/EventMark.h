#pragma once

#include "platform/Clock.h"

#include <QString>

#include <string>

class CanvasModel;

// Numbered event marks: a label on the map at the vessel's grid position and an entry in the
// day's events log. The number of the last mark lives in the settings file, [EVENTS]
// "Event Number", so numbering goes on across restarts and days until a reset.

// The events-log entry of one mark: a line feed, then "Event No:", the number, the date and
// time, easting, northing, both depth captions as the realtime window shows them and the grid
// heading, comma separated. The date stands alone at exactly midnight, as the program's
// date-time text does.
std::string EventMarkEntry(int number, const LocalDateTime& when, double easting, double northing,
                           const std::string& depthHigh, const std::string& depthLow,
                           double gridHeading);

struct EventMarkValues {
    double easting = 0;
    double northing = 0;
    double gridHeading = 0;
    std::string depthHigh = "---";
    std::string depthLow = "---";
};

struct EventMarkResult {
    int number = 0;
    bool logged = false; // the entry reached the events log
    std::string error;   // why it did not
};

// Takes the next number, puts its label on the map, stores the number and appends the entry
// to `eventsLogPath`. The label and the number stay even when the log cannot be written: the
// caller shows `error`.
EventMarkResult AddEventMark(CanvasModel& canvas, const QString& settingsFile,
                             const std::string& eventsLogPath, const EventMarkValues& values);

// Numbering starts at 1 again; labels and entries made so far stay. Writes the events-log
// entry "Event number was reset.". False when the settings file could not be written.
bool ResetEventNumber(const QString& settingsFile, const std::string& eventsLogPath);
