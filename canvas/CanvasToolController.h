#pragma once

#include "canvas/CanvasModel.h"

#include <cstdint>

// The mouse and keyboard tools of the map: one state machine that turns presses, moves,
// releases, keys and wheel steps (in client pixels) into picking, drawing, zooming, panning
// and measuring on the canvas model, and raises the model's five events. It keeps no state of
// its own: everything it works on lives in the model's fields, where painting reads it. The
// control hands it translated Qt input; tests drive it with a model alone.
//
// Every event runs synchronously inside the step that raises it, so a host handler may change
// the tool mode, the current layer or the drawing state, and the step goes on with what the
// handler left.
class CanvasToolController {
public:
    // Mouse buttons: left, right, and the middle button (any other button is not passed in).
    static constexpr int16_t LeftButton = 1;
    static constexpr int16_t RightButton = 2;
    static constexpr int16_t MiddleButton = 4;

    // Bits of the shift code.
    static constexpr int16_t ShiftHeld = 1;
    static constexpr int16_t CtrlHeld = 2;
    static constexpr int16_t AltHeld = 4;

    // Key codes the tools act on; any other code is ignored.
    static constexpr int EscapeKey = 27;
    static constexpr int DeleteKey = 46;

    // The most zoom steps one wheel call makes, however far the wheel was spun.
    static constexpr int MaximumWheelSteps = 10;

    explicit CanvasToolController(CanvasModel& canvas) : Canvas(canvas) {}

    void MouseDown(int16_t button, int16_t shift, int x, int y);
    void MouseMove(int16_t shift, int x, int y);
    void MouseUp(int16_t button, int16_t shift, int x, int y);
    // Never throws: a failure while handling a key is dropped.
    void KeyDown(int key, int16_t shift);
    // Whole wheel notches at the client pixel: forward (positive) zooms in by 10 % per notch,
    // backward out, about the world point under the cursor.
    void Wheel(int notches, int x, int y);

    // Measure bearing from (sx, sy) to (x, y): degrees clockwise from grid north, 0 up to but
    // not including 360, and 0 when the points coincide.
    static double Bearing(double sx, double sy, double x, double y);
    // Direction of the vector from (sx, sy) to (x, y): degrees counter-clockwise from east,
    // -180 to 180, and 0 when the points coincide.
    static double Angle(double sx, double sy, double x, double y);

private:
    void EndDrawing(double x, double y);
    void SelectAt(int16_t shift, double x, double y);
    void ToolStep(double x, double y, int px, int py);
    void Start(double x, double y);
    void StartWithPolyline(double x, double y);
    void AddPolylineVertex(double x, double y);
    void CommitArcPoint(double x, double y);
    void PlacePoint(double x, double y);
    void ZoomWindowPress(double x, double y);
    // A two-click shape committed (or refused): back to armed, no point placed.
    void EndWaiting();

    void Invalidate() { Canvas.InvalidateControl(); }
    void ShowCursor(int cursor) { Canvas.SetScreenCursor(cursor); }

    CanvasModel& Canvas;
};
