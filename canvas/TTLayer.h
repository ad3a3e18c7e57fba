#pragma once

#include "canvas/TTShape.h"

#include <QString>

#include <cstdint>

// A named layer: its id, its visibility and the drawing attributes that new shapes copy.
struct TTLayer {
    int Id = 0;
    // Compared exactly and case-sensitively.
    QString Name;
    // Shapes of a hidden layer are not painted; hit-testing, fitting and selection ignore it.
    bool Visible = true;
    // Set by the drawing-exchange reader on its layers; no meaning to the canvas.
    uint8_t Locked = 0;
    // A number kept for the caller.
    int Action = 0;
    uint32_t PenFg = 0;
    int PenWidth = 1;
    int PenStyle = 0;
    uint32_t BrushFg = 0xFFFFFF;
    uint32_t BrushBg = 0xFFFFFF;
    uint8_t BrushStyle = BrushStyle::Clear;
    int BrushMode = 0;
};
