#pragma once

#include <cstddef>

// The longest line of a drawing file the program reads, project files and DXF alike, and so
// the longest it writes: a text of the map a hundred times the longest a survey drawing needs
// (an imported DXF note, a placemark's name), so that whatever the canvas holds from an import
// is saved, exported and opened again. Save refuses, before replacing anything, a drawing with
// a longer line.
constexpr size_t DrawingFileMaxLineBytes = size_t(64) << 20;
