#pragma once

#include <QString>

#include <functional>
#include <string>
#include <string_view>

class CanvasModel;

// Writing the map as an AutoCAD Release 12 ASCII DXF file: the LAYER table of the layers the
// shapes use and the visible shapes as LINE, CIRCLE, POINT, TEXT and POLYLINE entities. Names
// and texts are written in cp1254 (announced by $DWGCODEPAGE), characters it lacks as
// "\U+XXXX", control characters as blanks; a shape holding a non-finite number is left out.

// Takes the next piece of the file; false stops the writing.
using DxfSink = std::function<bool(std::string_view bytes)>;

// Streams the file to `sink`; false as soon as the sink refuses a piece, or a text is longer
// than a line the drawing readers take (DrawingLineLimit.h; `reason` then says so).
bool DXFWrite(const CanvasModel& canvas, const DxfSink& sink, std::string* reason = nullptr);

// Replaces `fileName` atomically: on any failure the result is false, `error` says why and an
// existing file of that name stays as it was.
bool DXFSave(const CanvasModel& canvas, const QString& fileName, std::string* error = nullptr);
