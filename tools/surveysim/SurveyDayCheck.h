#pragma once

#include "tools/surveysim/SurveyLogCheck.h"

#include <string>
#include <vector>

// What the check of a day's logs found: faults, and the parts it could not check.
struct SurveyDayCheck {
    std::vector<std::string> faults;
    std::vector<std::string> notChecked;
};

// Checks the logs of the day folder `dayFolder` (".../WJT/YYYY-MM-DD", with or without a
// trailing "/") against the scripts, as a day's run that may have started late, stopped early or
// recorded more than once. The recordings are told apart by the day's events logs (all of
// " Events.log" in its LOG folder; by its geodesy log when there is none), which also bound
// each with its "Realtime STARTED" and "Realtime STOPPED". `expected` gives the set-up, the
// projection and the soundings counted as not logged; with `notLoggedFromEventsLog` those are
// the events logs' "Soundings not logged without a GNSS position: N" instead, each placed where
// its line was written (`SurveyLogExpectation::spellsPlaced`).
SurveyDayCheck CheckSurveyDay(const SurveyScripts& scripts, const std::string& dayFolder,
                              SurveyLogExpectation expected, bool notLoggedFromEventsLog = false);
