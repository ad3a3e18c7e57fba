#pragma once

// A drawing on the map pauses the map tick while the operator draws, and the drawing's end
// resumes it. The mark below remembers that it was this drawing that stopped a running tick,
// so a drawing never starts the tick while no survey runs.
//
// Whatever stops the tick for good while a drawing is under way (Stop, the GNSS receiver's
// disconnection, "GPS is idle!") calls ClearMapTimerPausedByDrawing, so the drawing's end does
// not start the tick again.

// Called when a drawing begins and has stopped a running map tick.
void MarkMapTimerPausedByDrawing();
// Whether the drawing under way stopped a running map tick.
bool MapTimerPausedByDrawing();
// Forgets the pause: the drawing's end leaves the map tick as it is.
void ClearMapTimerPausedByDrawing();
