#pragma once

#include "canvas/CanvasModel.h"

// A canvas model that counts the repaint requests and remembers the last cursor it was given,
// so that tests can tell "marked stale", "invalidated" and "nothing" apart.
class RecordingCanvas : public CanvasModel {
public:
    int Invalidations = 0;
    int LastCursor = 1;

    // Clears the stale flag, the store's change mark and the counter, as a paint would.
    void Painted() {
        NeedsRedraw = false;
        Shapes.ClearChangeMark();
        Invalidations = 0;
    }

protected:
    void InvalidateControl() override { ++Invalidations; }
    void SetScreenCursor(int cursor) override { LastCursor = cursor; }
};
