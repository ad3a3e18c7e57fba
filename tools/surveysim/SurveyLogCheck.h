#pragma once

#include "tools/surveysim/SurveyScripts.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// A spell without a GNSS position as the events log tells its end: when the program wrote
// "Soundings not logged without a GNSS position: N" and N. The program writes it just before the
// first row logged after the spell (in the same millisecond or the next), or at Stop when the
// spell is still on.
struct NoPositionSpell {
    std::string told;
    uint64_t soundings = 0;
};

// One recording as the day's events log tells it: the times of its "Realtime STARTED", of the
// last "Disconnected from GPS on" before its stop (the receiver's port closes just before the
// sounder's) and of its "Realtime STOPPED", each "YYYY-MM-DD hhnnsszzz"; empty when not logged.
// `spells` are the spells without a position that ended while it ran, in order.
struct SurveyRecording {
    std::string started;
    std::string portsClosing;
    std::string stopped;
    std::vector<NoPositionSpell> spells;
};

// What the survey logs of a generated run must hold, given how the run was set up.
struct SurveyLogExpectation {
    double soundVelocity = 1530;
    double draft = 0.40;
    double tide = 0.35;
    // The sounder type the rows name. The script's sounder sends one depth, so the low-frequency
    // columns hold none: raw depth 0, true depth 0.00 and the manual tide as elevation.
    std::string messageFormat = "NMEA DBT";
    // The grid position of a fix (the program's projection, itself checked against PROJ).
    std::function<std::optional<std::pair<double, double>>(const ScriptFix&)> project;
    // Soundings the run counted as not logged for want of a position.
    uint64_t notLogged = 0;
    // Devices paced by their own clocks: the program reads the two ports one after the other,
    // so a sounding may take any fix up to this many epochs either side of the GGA written last
    // before it (0: exactly that one, as in lock step). The fixes of the rows never go back.
    int fixSlack = 0;
    // The run recorded the whole script, as the tests' runs do: every sounding is logged or
    // counted as not logged. False for a day's run, which may have started after the script
    // began, stopped before its end or recorded more than once while the devices played on.
    bool wholeScript = true;
    // When each recording began, "YYYY-MM-DD hhnnsszzz" in order (RecordingStarts): the rows
    // written between two starts are one recording. Empty: the logs hold one.
    std::vector<std::string> recordingStarts;
    // The recordings of the day from its events log, in order; when given they tell the
    // recordings apart in place of `recordingStarts`, every row must have been written while one
    // ran, and each recording's first and last rows must hold the first and last soundings
    // played while it ran (or those between be counted as not logged).
    std::optional<std::vector<SurveyRecording>> recordings;
    // The soundings counted as not logged are those of the recordings' spells, each placed
    // where the events log tells it ended (`notLogged` is then not used): the N soundings just
    // before the row written with the spell's line, or just after the last row for a spell
    // ended by Stop. A spell whose row is missing is a row lost.
    bool spellsPlaced = false;
};

// The recordings that a day's events logs hold, read in the order of their dates.
std::vector<SurveyRecording> RecordingsInEventsLog(const std::string& eventsLog);

// The starts of recording that a day's geodesy log holds, dated by its header and counted into
// the next day where the time of day falls back past midnight.
std::vector<std::string> RecordingStarts(const std::string& geodesyLog);

// Compares the day's survey log and simple XYZ log with the scripts: every well-formed sounding
// once and in order, logged and counted-without-position adding up, the true depth of each
// (with the sound velocity its row carries), the low-frequency columns, both elevations, the
// sounder type, draft and manual tide, its position the GGA written last before it (never one
// with a wrong checksum), easting and northing within 2 mm of the projection (plus the log's
// centimetre rounding), the XYZ rows matching, and no row from a malformed line. Returns the
// faults found, empty when none.
//
// A run that was started after the script began or stopped before its end, or that recorded
// more than once while the devices played on, is checked over what was played while it
// recorded: with the events log's recordings, from each "Realtime STARTED" to its "Realtime
// STOPPED" (the soundings beyond a recording's first and last rows placed by the time the rows
// show for each sounding); without them, from the first to the last row of each recording.
// Every sounding in there is logged or counted as not logged. `notChecked`, when given, gets a
// plain sentence for each part the logs cannot place (a sounding played too near a start or a
// stop to tell which side it fell, or, without the events log, whatever lies outside the rows),
// for rows corrected by a sound velocity profile (whose velocity for the depth the logs do not
// hold) and for the columns not compared.
// `fixOfRow`, when given, gets the index of the fix each row was logged with (-1 for a row
// that is none of the script's).
std::vector<std::string> CheckSurveyLogs(const SurveyScripts& scripts, const std::string& surveyLog,
                                         const std::string& xyzLog,
                                         const SurveyLogExpectation& expected,
                                         std::vector<int>* fixOfRow = nullptr,
                                         std::vector<std::string>* notChecked = nullptr);
