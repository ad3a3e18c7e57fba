#pragma once

#include <QString>

// Saves the survey windows as they look with values in them: "Offsets.png" (the set-up window
// filled in), "fRealtime.png", "fLatency.png" and "fWaterfal.png" (the echogram with a demo
// history of a sloping seabed), "fSVP.png" and "fSVPGraph.png" (a cast built into a velocity
// column and its graph). Returns false when a picture could not be saved.
bool SaveSurveyWindowScreenshots(const QString& folder);
