#include "survey/MapTimerDrawingPause.h"

namespace {

// User-interface thread only, like the timer it speaks of.
bool pausedByDrawing = false;

} // namespace

void MarkMapTimerPausedByDrawing() {
    pausedByDrawing = true;
}

bool MapTimerPausedByDrawing() {
    return pausedByDrawing;
}

void ClearMapTimerPausedByDrawing() {
    pausedByDrawing = false;
}
