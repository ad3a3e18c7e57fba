#pragma once

#include <QString>

#include <cstdint>
#include <string_view>

class CanvasModel;

// Draws an x y z text file on a layer, coloured by z: a regular lattice as filled cells of one
// lattice step, anything else as single-pixel points. The view is fitted afterwards.
//
// Lines: empty, or starting with '#' or ';', are skipped; commas count as blanks; three
// numbers (locale-free, after blanks and tabs) give a point, more are ignored. A UTF-8
// byte-order mark at the start is skipped. Non-finite numbers refuse the line.
// zMin = zMax = 0 takes the colour range from the file. `layerId` is stored unchecked.
// The file is opened without blocking and only when it is a regular file; a file whose shapes
// would pass the import budget (drawing_io/ImportBudget.h) adds nothing.
// True when at least one shape was added.
bool XYZLoad(CanvasModel& canvas, const QString& fileName, int layerId, double zMin, double zMax);
// The same over bytes in memory.
bool XYZLoadBytes(CanvasModel& canvas, std::string_view bytes, int layerId, double zMin,
                  double zMax);

// Red at `low`, through yellow, green and cyan to blue at `high` (0x00BBGGRR). A span of zero
// or less counts as 1.
uint32_t ValueColorRamp(double value, double low, double high);
