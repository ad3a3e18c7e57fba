#include "canvas/CanvasToolController.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace {

constexpr double DegreesPerRadian = 180.0 / std::numbers::pi;

// Pixels the mouse must move before a pan follows it, and before a drag zoom steps.
constexpr int PanThreshold = 3;
constexpr int DragZoomThreshold = 4;
// Zoom per pixel of a drag-zoom step, and per wheel notch.
constexpr double DragZoomPerPixel = 0.01;
constexpr double WheelZoomStep = 0.1;
// The smallest zoom window, on either axis, that is taken as a window and not a slip.
constexpr double MinimumZoomWindow = 0.001;

} // namespace

double CanvasToolController::Bearing(double sx, double sy, double x, double y) {
    const double dx = x - sx;
    const double dy = y - sy;
    if (dx == 0.0 && dy == 0.0)
        return 0.0;
    double bearing = std::atan2(dx, dy) * DegreesPerRadian;
    if (bearing < 0.0)
        bearing += 360.0;
    // A hair west of north rounds up to 360 itself; adding 0 turns -0 into 0.
    if (bearing >= 360.0)
        bearing -= 360.0;
    return bearing + 0.0;
}

double CanvasToolController::Angle(double sx, double sy, double x, double y) {
    const double dx = x - sx;
    const double dy = y - sy;
    if (dx == 0.0 && dy == 0.0)
        return 0.0;
    return std::atan2(dy, dx) * DegreesPerRadian;
}

// ---- Presses --------------------------------------------------------------------------------

void CanvasToolController::MouseDown(int16_t button, int16_t shift, int px, int py) {
    double x = 0.0;
    double y = 0.0;
    Canvas.ScreenToWorld(px, py, x, y);

    if (button == RightButton && (Canvas.DrawingActive || Canvas.RubberBandActive)) {
        EndDrawing(x, y);
        return;
    }

    if (Canvas.OnWorldMouseDown)
        Canvas.OnWorldMouseDown(button, shift, static_cast<int16_t>(Canvas.ToolMode), x, y);

    if (button == RightButton) {
        // The press point stays where it was: the measure has its own start.
        Canvas.StartDistanceMeasure(x, y);
        return;
    }

    if (button == LeftButton) {
        if (Canvas.SkipNextLeftPress) {
            // A right-button ending swallows the next left press: a click meant to leave the
            // drawing must not start another one while the tool is still chosen.
            Canvas.SkipNextLeftPress = false;
        } else {
            if (!Canvas.DrawingActive && !Canvas.RubberBandActive &&
                (Canvas.ToolMode == 0 || Canvas.ToolMode == -1))
                SelectAt(shift, x, y);
            ToolStep(x, y, px, py);
        }
    } else {
        Canvas.PanActive = true;
        Canvas.PressPoint = TPoint{px, py};
        Canvas.CursorX = x;
        Canvas.CursorY = y;
        ShowCursor(CanvasModel::SizeAllCursor);
    }
    Canvas.LastPressX = x;
    Canvas.LastPressY = y;
}

void CanvasToolController::EndDrawing(double x, double y) {
    // Commits a polyline of two vertices or more, drops a shorter one, and records the result
    // either way for the host's draw-end handler.
    Canvas.CommitPendingPolyline();
    Canvas.DrawingActive = false;
    Canvas.RubberBandActive = false;
    Canvas.SkipNextLeftPress = true;
    if (Canvas.OnDrawEnd)
        Canvas.OnDrawEnd(static_cast<int16_t>(Canvas.ToolMode), x, y);
    // The handler may have changed it.
    if (!Canvas.KeepToolMode)
        Canvas.ToolMode = 0;
    ShowCursor(CanvasModel::DefaultCursor);
    Invalidate();
    Canvas.LastPressX = x;
    Canvas.LastPressY = y;
}

void CanvasToolController::SelectAt(int16_t shift, double x, double y) {
    const bool adding = (shift & (ShiftHeld | CtrlHeld)) != 0;
    const int32_t id = Canvas.GetShapeAt(x, y);
    if (!adding)
        Canvas.ClearSelection();
    if (TTShape* shape = Canvas.FindShape(id)) {
        shape->Selected = true;
        Canvas.SelectedIds.push_back(id);
        if (Canvas.OnShapeNumberSelected)
            Canvas.OnShapeNumberSelected(static_cast<int16_t>(shape->Type), id);
    }
    Canvas.NeedsRedraw = true;
    Invalidate();
}

void CanvasToolController::ToolStep(double x, double y, int px, int py) {
    const bool waiting = Canvas.DrawingActive;
    const bool differs = x != Canvas.AnchorX || y != Canvas.AnchorY;
    switch (Canvas.ToolMode) {
    case ShapeType::Rectangle:
        if (!waiting) {
            Start(x, y);
            return;
        }
        if (differs) {
            Canvas.DrawRectangle(Canvas.AnchorX, Canvas.AnchorY, x, y, Canvas.CurrentLayer);
            Canvas.NeedsRedraw = true;
            Invalidate();
        }
        EndWaiting();
        return;
    case ShapeType::Line:
        if (!waiting) {
            Start(x, y);
            return;
        }
        if (differs) {
            Canvas.DrawLine(Canvas.AnchorX, Canvas.AnchorY, x, y, Canvas.CurrentLayer);
            Canvas.AnchorX = x;
            Canvas.AnchorY = y;
            Canvas.NeedsRedraw = true;
            Invalidate();
        }
        return;
    case ShapeType::EllipseTool:
        if (!waiting) {
            Start(x, y);
            return;
        }
        if (x != Canvas.AnchorX && y != Canvas.AnchorY) {
            Canvas.DrawTwoPointEllipse(Canvas.AnchorX, Canvas.AnchorY, x, y, Canvas.CurrentLayer);
            Canvas.NeedsRedraw = true;
            Invalidate();
        }
        EndWaiting();
        return;
    case ShapeType::Polyline:
    case ShapeType::Polygon:
    case ShapeType::Spline:
        if (!waiting)
            StartWithPolyline(x, y);
        else if (differs)
            AddPolylineVertex(x, y);
        return;
    case ShapeType::ThreePointArc:
        if (!waiting)
            StartWithPolyline(x, y);
        else
            CommitArcPoint(x, y);
        return;
    case ShapeType::Point:
        PlacePoint(x, y);
        return;
    case ShapeType::Circle: {
        if (!waiting) {
            Start(x, y);
            return;
        }
        const double radius = std::hypot(x - Canvas.AnchorX, y - Canvas.AnchorY);
        if (radius > 0.0) {
            Canvas.DrawCircle(Canvas.AnchorX, Canvas.AnchorY, radius, Canvas.CurrentLayer);
            Canvas.NeedsRedraw = true;
            Invalidate();
        }
        EndWaiting();
        return;
    }
    case -3:
        ZoomWindowPress(x, y);
        return;
    case -4:
        Canvas.DragZoomActive = true;
        Canvas.PressPoint = TPoint{px, py};
        return;
    default:
        // Select, click selection, text and unknown modes place nothing.
        return;
    }
}

void CanvasToolController::Start(double x, double y) {
    Canvas.DrawingActive = true;
    Canvas.RubberBandActive = true;
    Canvas.AnchorX = Canvas.CursorX = x;
    Canvas.AnchorY = Canvas.CursorY = y;
    ShowCursor(CanvasModel::CrossCursor);
    if (Canvas.OnDrawBegin)
        Canvas.OnDrawBegin(static_cast<int16_t>(Canvas.ToolMode), x, y);
}

void CanvasToolController::StartWithPolyline(double x, double y) {
    // The layer is the one current now; a handler that changes it in the begin event does not
    // move this drawing.
    Canvas.StartPendingPolyline(Canvas.ToolMode, x, y);
    Start(x, y);
}

void CanvasToolController::AddPolylineVertex(double x, double y) {
    // A host may switch to a polyline tool while another tool waits for its point: there is
    // no polyline to extend then.
    if (!Canvas.PendingPolyline)
        return;
    Canvas.PendingPolyline->AddPoint(x, y);
    Canvas.AnchorX = x;
    Canvas.AnchorY = y;
    Canvas.NeedsRedraw = true;
    Invalidate();
}

void CanvasToolController::CommitArcPoint(double x, double y) {
    if (!Canvas.PendingPolyline)
        return;
    Canvas.PendingPolyline->AddPoint(x, y);
    if (Canvas.PendingPolyline->PointCount() < 3) {
        Canvas.AnchorX = x;
        Canvas.AnchorY = y;
        Invalidate();
        return;
    }
    Canvas.CommitPendingPolyline();
    Canvas.DrawingActive = false;
    Canvas.AnchorX = 0.0;
    Canvas.AnchorY = 0.0;
    Canvas.NeedsRedraw = true;
    Invalidate();
}

void CanvasToolController::PlacePoint(double x, double y) {
    Canvas.DrawPoint(x, y, Canvas.CurrentLayer);
    // A point is a drawing of its own that commits no polyline; a polyline still under way
    // (the host switched tools mid-drawing) is left to its own ending.
    if (!Canvas.PendingPolyline)
        Canvas.CommitPendingPolyline();
    if (Canvas.OnDrawEnd)
        Canvas.OnDrawEnd(static_cast<int16_t>(Canvas.ToolMode), x, y);
    if (!Canvas.KeepToolMode)
        Canvas.ToolMode = 0;
    Invalidate();
}

void CanvasToolController::EndWaiting() {
    Canvas.DrawingActive = false;
    Canvas.AnchorX = Canvas.CursorX = 0.0;
    Canvas.AnchorY = Canvas.CursorY = 0.0;
}

void CanvasToolController::ZoomWindowPress(double x, double y) {
    if (!Canvas.DrawingActive) {
        Canvas.DrawingActive = true;
        Canvas.RubberBandActive = true;
        Canvas.AnchorX = Canvas.CursorX = x;
        Canvas.AnchorY = Canvas.CursorY = y;
        ShowCursor(CanvasModel::CrossCursor);
        return;
    }
    double left = std::min(Canvas.AnchorX, x);
    double right = std::max(Canvas.AnchorX, x);
    double bottom = std::min(Canvas.AnchorY, y);
    double top = std::max(Canvas.AnchorY, y);
    double width = right - left;
    double height = top - bottom;
    if (width > MinimumZoomWindow && height > MinimumZoomWindow) {
        const double clientWidth = Canvas.ClientWidth > 0 ? Canvas.ClientWidth : 1;
        const double clientHeight = Canvas.ClientHeight > 0 ? Canvas.ClientHeight : 1;
        const double aspect = clientWidth / clientHeight;
        if (width / height > aspect)
            height = width / aspect;
        else
            width = height * aspect;
        const double cx = (left + right) / 2.0;
        const double cy = (bottom + top) / 2.0;
        left = cx - width / 2.0;
        right = cx + width / 2.0;
        bottom = cy - height / 2.0;
        top = cy + height / 2.0;
        Canvas.WorldSet(left, top, right, bottom);
    }
    Canvas.DrawingActive = false;
    Canvas.RubberBandActive = false;
    ShowCursor(CanvasModel::DefaultCursor);
    if (!Canvas.KeepToolMode)
        Canvas.ToolMode = 0;
    Invalidate();
}

// ---- Moves and releases ---------------------------------------------------------------------

void CanvasToolController::MouseMove(int16_t shift, int px, int py) {
    double x = 0.0;
    double y = 0.0;
    Canvas.ScreenToWorld(px, py, x, y);

    if (Canvas.OnWorldMouseMove) {
        const double magnitude = std::hypot(x - Canvas.LastPressX, y - Canvas.LastPressY);
        const double angle = Angle(Canvas.LastPressX, Canvas.LastPressY, x, y);
        Canvas.OnWorldMouseMove(shift, x, y, magnitude, angle);
    }

    if (Canvas.PanActive) {
        const TPoint press = Canvas.PressPoint;
        if (std::abs(px - press.X) >= PanThreshold || std::abs(py - press.Y) >= PanThreshold) {
            double pressX = 0.0;
            double pressY = 0.0;
            Canvas.ScreenToWorld(press.X, press.Y, pressX, pressY);
            // The map point that was under the press point follows the mouse.
            Canvas.WorldPan(pressX - x, pressY - y);
            Canvas.PressPoint = TPoint{px, py};
        }
    } else if (Canvas.DragZoomActive) {
        const int drag = Canvas.PressPoint.Y - py;
        if (std::abs(drag) >= DragZoomThreshold) {
            const double cx = (Canvas.PlanWorldLeft + Canvas.PlanWorldRight) / 2.0;
            const double cy = (Canvas.PlanWorldTop + Canvas.PlanWorldBottom) / 2.0;
            Canvas.WorldZoom(0, drag * DragZoomPerPixel, cx, cy);
            Canvas.PressPoint = TPoint{px, py};
        }
    } else if (Canvas.RubberBandActive) {
        Canvas.CursorX = x;
        Canvas.CursorY = y;
        Invalidate();
    } else if (Canvas.Measuring) {
        Canvas.UpdateDistanceMeasure(x, y,
                                     std::hypot(x - Canvas.MeasureStartX, y - Canvas.MeasureStartY),
                                     Bearing(Canvas.MeasureStartX, Canvas.MeasureStartY, x, y));
    }

    Canvas.LastMouseX = px;
    Canvas.LastMouseY = py;
}

void CanvasToolController::MouseUp(int16_t button, int16_t, int, int) {
    if (button == MiddleButton) {
        if (Canvas.PanActive) {
            Canvas.PanActive = false;
            ShowCursor(CanvasModel::DefaultCursor);
        }
    } else if (button == RightButton) {
        if (Canvas.Measuring)
            Canvas.EndDistanceMeasure();
    } else if (button == LeftButton) {
        if (Canvas.PanActive) {
            Canvas.PanActive = false;
            ShowCursor(CanvasModel::DefaultCursor);
        } else if (Canvas.DragZoomActive) {
            Canvas.DragZoomActive = false;
        }
    }
}

// ---- Keys and wheel -------------------------------------------------------------------------

void CanvasToolController::KeyDown(int key, int16_t) {
    try {
        if (key == DeleteKey) {
            if (Canvas.DeleteKeyEnabled)
                Canvas.ShapeSelectDelete();
        } else if (key == EscapeKey) {
            if (Canvas.DrawingActive || Canvas.RubberBandActive) {
                Canvas.DiscardPendingPolyline();
                Canvas.DrawingActive = false;
                Canvas.RubberBandActive = false;
                ShowCursor(CanvasModel::DefaultCursor);
                Invalidate();
            }
        }
    } catch (...) {
        // A key must never take the program down; the key simply did nothing.
    }
}

void CanvasToolController::Wheel(int notches, int px, int py) {
    if (notches == 0)
        return;
    double x = 0.0;
    double y = 0.0;
    Canvas.ScreenToWorld(px, py, x, y);
    const double factor = notches > 0 ? WheelZoomStep : -WheelZoomStep;
    const int steps = std::min(std::abs(notches), MaximumWheelSteps);
    // The point under the cursor stays put through every step, so it stays the centre.
    for (int i = 0; i < steps; ++i)
        Canvas.WorldZoom(0, factor, x, y);
}
