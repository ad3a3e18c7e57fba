#pragma once

#include <QString>

// Saves the sound velocity window with the demo cast built into its velocity column
// ("fSVP.png") and the graph editor over its averaged values with the thermocline lassoed
// ("fSVPGraph.png"). Returns false when a picture could not be saved.
bool SaveSoundVelocityScreenshots(const QString& folder);
