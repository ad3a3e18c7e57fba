#pragma once

#include <QString>

// Saves "ntrip.png" once the NTRIP window's caption reads "Receiving Data" (the screenshot
// script starts a caster and stores an auto-connect set-up), then "rtcm-report.png" of the
// report over what was received. Returns false when a picture could not be taken.
bool SaveNtripScreenshots(const QString& folder);
