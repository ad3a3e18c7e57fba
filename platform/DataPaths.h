#pragma once

#include <string>

// The day's folders under the data root, fixed from the date at start: a run that goes past
// midnight keeps writing into the start day's folders (the survey logs keep the start date),
// while names built with TodayString() when a file is written carry the date of writing.
// All paths end with '/'.
extern std::string DayFolder;          // <root>/YYYY-MM-DD/
extern std::string ProjectFolder;      // <root>/YYYY-MM-DD/WJT/   auto-saved projects
extern std::string LogFolder;          // <root>/YYYY-MM-DD/LOG/   logs and reports
extern std::string XyzFolder;          // <root>/YYYY-MM-DD/XYZ/   the simple XYZ survey log
extern std::string SvpFolder;          // <root>/YYYY-MM-DD/SVP/   sound velocity files
extern std::string TodayText;          // the start date
extern std::string CoordinatesLogPath; // LogFolder + date + " Coordinates.csv"

// Fills the paths above from today's date. Called once at start; nothing is created on disk.
void BuildDataPaths();

// Today as "YYYY-MM-DD".
std::string TodayString();
// The time of day as "HHMM".
std::string TimeStampHHMM();

// Creates the data root and the current day's folders (WJT, LOG, SVP), one level at a time,
// passing over a folder that cannot be created. Only an error raised while doing so is shown.
void CreateDataFolders();
