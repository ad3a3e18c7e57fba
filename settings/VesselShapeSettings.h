#pragma once

#include "canvas/VesselSymbol.h"

#include <string>
#include <vector>

class IniFile;

// The vessel symbol's numbers in the settings file, section [VESSEL_SHAPE], under their
// historical key names.
namespace VesselShapeSettings {

extern const char* const Section;

// What the window is designed with and what "Default" restores.
VesselShape Designed();

// Reads the five keys. A missing key gives its default (2 circles, step 10, first radius 10,
// bow 100, sides 0); a stored text the window would refuse gives that default too, with a line
// for the operator in `refused`.
VesselShape Read(const IniFile& ini, std::vector<std::string>& refused);

// Writes the five keys in their historical order.
void Write(IniFile& ini, const VesselShape& shape);

} // namespace VesselShapeSettings
