// The main window's map tools: zooming, drawing tools, clearing groups of shapes, following
// the vessel, measuring with the right button, the clicked position, the two polygon selection
// modes and the Delete of their selection, the route handed to the run-line generator, and
// the keys of the main window.

#include "app/main_window/TFNav.h"

#include "app/main_window/TStatusBar.h"
#include "app/runlines/TfRunline1.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/widgets/HandlerBinding.h"
#include "canvas/MapToolFunctions.h"
#include "survey/MapTimerDrawingPause.h"

#include "canvas/TTavrinCanvas.h"

#include "platform/Dialogs.h"
#include "platform/ErrorBoundary.h"
#include "platform/EventLog.h"

#include <QAction>
#include <QCursor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QTimer>
#include <QToolButton>

#include <numbers>

namespace {

// Key preview: keys that reach the main window (those its controls leave unused) go to
// FormKeyDown first. Tool windows are windows of their own and keep their keys.
class MainWindowKeyPreview : public QObject {
public:
    explicit MainWindowKeyPreview(TFNav* form) : QObject(form), form_(form) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != form_ || event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        bool consumed = false;
        ErrorBoundary::run([&] { consumed = form_->FormKeyDown(key); });
        return consumed;
    }

private:
    TFNav* form_;
};

std::vector<TPointF> toPolygon(const std::vector<std::pair<double, double>>& points) {
    std::vector<TPointF> polygon;
    polygon.reserve(points.size());
    for (const auto& [x, y] : points)
        polygon.push_back({x, y});
    return polygon;
}

// Deletes the shapes of the named layer. A layer that does not exist clears nothing: the
// canvas takes -1 for "every shape on the map".
void clearLayerByName(TTavrinCanvas* canvas, const QString& name) {
    const int layer = canvas->LayerFindByName(name);
    if (layer != -1)
        canvas->CadClearShapes(layer);
}

void clearTrackLayer(TTavrinCanvas* canvas, const QString& question, const char* layerName,
                     const char* logText) {
    if (!canvas || !Dialogs::confirmYesNo(question))
        return;
    clearLayerByName(canvas, QString::fromLatin1(layerName));
    canvas->Update();
    AutoEventLog(logText, EventsLogPath());
}

} // namespace

void TFNav::BindMapTools() {
    BindClick(Zoomin, this, &TFNav::ZoominClick);
    BindAction(In1, this, &TFNav::ZoominClick);
    BindClick(Zoomout, this, &TFNav::ZoomoutClick);
    BindAction(Out1, this, &TFNav::ZoomoutClick);
    BindClick(Zoomextents, this, &TFNav::ZoomextentsClick);
    BindAction(Extents1, this, &TFNav::ZoomextentsClick);
    BindClick(Zoomwindow, this, &TFNav::ZoomwindowClick);
    BindAction(Window2, this, &TFNav::ZoomwindowClick);
    BindClick(Zoomdynamic, this, &TFNav::ZoomdynamicClick);
    BindAction(Dynamic1, this, &TFNav::ZoomdynamicClick);

    BindClick(bFollowVessel, this, &TFNav::bFollowVesselClick);
    BindAction(Followvessel1, this, &TFNav::bFollowVesselClick);
    BindClick(ToolButton13, this, &TFNav::ToolButton13Click);
    BindAction(Donotfollowvessel1, this, &TFNav::ToolButton13Click);

    BindClick(ToolButton11, this, &TFNav::ToolButton11Click);
    BindAction(Clearshapesuseradded1, this, &TFNav::ToolButton11Click);
    BindClick(tbFixed, this, &TFNav::tbFixedClick);
    BindAction(Cleartracksfixed1, this, &TFNav::tbFixedClick);
    BindClick(tbFloat, this, &TFNav::tbFloatClick);
    BindAction(Cleartracksunfixed1, this, &TFNav::tbFloatClick);
    BindClick(tbAuto, this, &TFNav::tbAutoClick);

    BindClick(ToolButton7, this, &TFNav::ToolButton10Click);
    BindClick(ToolButton12, this, &TFNav::ToolButton9Click);
    BindClick(ToolButton21, this, &TFNav::ToolButton16Click);
    BindClick(ToolButton23, this, &TFNav::ToolButton14Click);
    BindClick(ToolButton27, this, &TFNav::ToolButton19Click);
    BindClick(ToolButton28, this, &TFNav::ToolButton15Click);
    BindClick(ToolButton29, this, &TFNav::ToolButton17Click);
    BindClick(ToolButton30, this, &TFNav::ToolButton20Click);
    BindClick(ToolButton31, this, &TFNav::ToolButton18Click);

    BindClick(bMouseSelect, this, &TFNav::bMouseSelectClick);
    BindClick(bSelectTracks, this, &TFNav::bSelectTracksClick);
    BindClick(bDelSelected, this, &TFNav::bDelSelectedClick);

    if (fcad) {
        fcad->OnWorldMouseMove = [this](int16_t shift, double x, double y, double magnitude,
                                        double angle) {
            fcadWorldMouseMove(shift, x, y, magnitude, angle);
        };
        fcad->OnWorldMouseDown = [this](int16_t button, int16_t shift, int16_t action, double x,
                                        double y) {
            fcadWorldMouseDown(button, shift, action, x, y);
        };
        fcad->OnDrawBegin = [this](int16_t shapeType, double x, double y) {
            fcadDrawBegin(shapeType, x, y);
        };
        fcad->OnDrawEnd = [this](int16_t shapeType, double x, double y) {
            fcadDrawEnd(shapeType, x, y);
        };
        fcad->OnDblClick = [this] { fcadDblClick(); };
    }

    installEventFilter(new MainWindowKeyPreview(this));
}

// ---- Zoom -----------------------------------------------------------------------------------

void TFNav::ZoominClick() {
    fcad->WorldZoom(0, 0.2, (fcad->PlanWorldLeft + fcad->PlanWorldRight) / 2,
                    (fcad->PlanWorldTop + fcad->PlanWorldBottom) / 2);
}

void TFNav::ZoomoutClick() {
    fcad->WorldZoom(0, -0.2, (fcad->PlanWorldLeft + fcad->PlanWorldRight) / 2,
                    (fcad->PlanWorldTop + fcad->PlanWorldBottom) / 2);
}

void TFNav::ZoomextentsClick() {
    fcad->WorldExtents();
}

void TFNav::ZoomwindowClick() {
    fcad->ToolMode = -3;
}

void TFNav::ZoomdynamicClick() {
    fcad->ToolMode = -4;
}

// ---- Following the vessel -------------------------------------------------------------------

void TFNav::bFollowVesselClick() {
    FollowVessel = true;
}

void TFNav::ToolButton13Click() {
    FollowVessel = false;
}

// ---- Clearing groups of shapes --------------------------------------------------------------

void TFNav::ToolButton11Click() {
    if (!Dialogs::confirmYesNo(QStringLiteral("User added shapes to be deleted! Continue?")))
        return;
    // -1 would delete every shape on the map.
    if (UserShapeLayerId >= 0)
        fcad->CadClearShapes(UserShapeLayerId);
}

void TFNav::tbFixedClick() {
    clearTrackLayer(fcad,
                    QStringLiteral("Fixed/Float/DGPS tracking points to be cleared. Continue?"),
                    "track_fix", "Cleared Fixed/Float/DGPS tracklines");
}

void TFNav::tbFloatClick() {
    clearTrackLayer(fcad, QStringLiteral("Autonomous tracking points to be cleared. Continue?"),
                    "track_float", "Cleared Autonomous tracklines");
}

void TFNav::tbAutoClick() {
    clearTrackLayer(fcad, QStringLiteral("NoFix tracking points to be cleared. Continue?"),
                    "track_nofix", "Cleared NoFix tracklines");
}

// ---- Drawing tools --------------------------------------------------------------------------

void TFNav::ToolButton10Click() {
    fcad->ToolMode = 17;
}

void TFNav::ToolButton9Click() {
    fcad->ToolMode = 3;
}

void TFNav::ToolButton16Click() {
    fcad->ToolMode = 1;
}

void TFNav::ToolButton14Click() {
    fcad->ToolMode = 5;
}

void TFNav::ToolButton19Click() {
    fcad->ToolMode = 4;
}

void TFNav::ToolButton15Click() {
    fcad->ToolMode = 6;
}

void TFNav::ToolButton17Click() {
    fcad->ToolMode = 8;
}

void TFNav::ToolButton20Click() {
    fcad->ToolMode = 10;
}

void TFNav::ToolButton18Click() {
    fcad->ToolMode = 19;
}

// ---- Selection modes ------------------------------------------------------------------------

namespace {

// Opens the selection polygon's layer or empties it, and starts a polygon drawing on it.
void startSelectionPolygon(TTavrinCanvas* canvas) {
    int layer = canvas->LayerFindByName(CanvasModel::SelectPolyLayerName);
    if (layer == -1)
        layer = canvas->LayerOpen(CanvasModel::SelectPolyLayerName);
    else
        canvas->CadClearShapes(layer);
    canvas->CurrentLayer = layer;
    canvas->ToolMode = 6;
    canvas->KeepToolMode = false;
}

} // namespace

void TFNav::bMouseSelectClick() {
    SelectTracksMode = false;
    SelectShapesMode = true;
    startSelectionPolygon(fcad);
    sStatusBar->SetPanelText(
        0, QStringLiteral("Draw polygon to select shapes (right-click to finish)"));
}

void TFNav::bSelectTracksClick() {
    SelectTracksMode = true;
    startSelectionPolygon(fcad);
    sStatusBar->SetPanelText(
        0, QStringLiteral("Draw polygon to select tracks (right-click to finish)"));
}

void TFNav::bDelSelectedClick() {
    if (fcad->SelectedShapeCount() < 1)
        return;
    fcad->CadClearSelectedShapes();
    fcad->update();
}

// ---- Canvas events --------------------------------------------------------------------------

void TFNav::fcadWorldMouseMove(int16_t, double x, double y, double, double) {
    if (!MeasureActive || MeasureOriginX == 0 || MeasureOriginY == 0)
        return;
    const double distance = DistanceBetween(MeasureOriginX, MeasureOriginY, x, y);
    const double azimuth =
        GridAzimuth(MeasureOriginX, MeasureOriginY, x, y) * 180 / std::numbers::pi;
    fcad->UpdateDistanceMeasure(x, y, distance, azimuth);
}

void TFNav::fcadWorldMouseDown(int16_t button, int16_t, int16_t action, double x, double y) {
    if (button == 2) {
        if (MeasureActive) {
            MeasureActive = false;
            fcad->EndDistanceMeasure();
            MeasureOriginX = 0;
            MeasureOriginY = 0;
        } else {
            MeasureActive = true;
            MeasureOriginX = x;
            MeasureOriginY = y;
            fcad->StartDistanceMeasure(x, y);
        }
        return;
    }

    // A line chain commits no polyline: its vertices are kept here, by the canvas's rule for
    // adding a line (a press on the last point adds none), for the run-line route.
    if (button == 1 && action == 3 && fcad->DrawingActive &&
        (lineChainPoints_.empty() || lineChainPoints_.back() != std::pair{x, y}))
        lineChainPoints_.emplace_back(x, y);

    if (sStatusBar->PanelCount() >= 3) {
        const QString text = QString::fromStdString(ClickedPositionText(x, y));
        sStatusBar->SetPanelText(2, text);
        sStatusBar->SetPanelWidth(2, QFontMetrics(sStatusBar->font()).horizontalAdvance(text) + 20);
    }
}

void TFNav::fcadDrawBegin(int16_t shapeType, double x, double y) {
    fcad->CurrentLayer = UserShapeLayerId;
    // The tick is paused while the operator draws; only a tick this drawing paused resumes at
    // its end, so a drawing never starts the tick while no survey runs.
    if (tMap->isActive()) {
        tMap->stop();
        MarkMapTimerPausedByDrawing();
    }
    if (shapeType == 3)
        lineChainPoints_.assign(1, {x, y});
}

void TFNav::fcadDrawEnd(int16_t shapeType, double, double) {
    fcad->KeepToolMode = false;
    if (MapTimerPausedByDrawing()) {
        ClearMapTimerPausedByDrawing();
        tMap->start();
    }

    const bool tracks = SelectTracksMode && shapeType == 6;
    const bool shapes = !tracks && SelectShapesMode && shapeType == 6;
    if (tracks || shapes) {
        if (tracks)
            SelectTracksMode = false;
        else
            SelectShapesMode = false;
        try {
            const std::vector<TPointF> polygon = toPolygon(fcad->GetLastPolylinePoints());
            clearLayerByName(fcad, CanvasModel::SelectPolyLayerName);
            std::vector<int32_t> layers;
            if (tracks) {
                for (const char* name : {"track_fix", "track_nofix", "track_float"}) {
                    const int id = fcad->LayerFindByName(QString::fromLatin1(name));
                    if (id != -1)
                        layers.push_back(id);
                }
            }
            if ((shapes || !layers.empty()) && polygon.size() >= 3) {
                if (tracks)
                    fcad->SelectShapesInPolygon(polygon, layers);
                else
                    fcad->SelectAllShapesInPolygon(polygon);
                // Selected shapes are painted red: the back buffer must be rebuilt.
                fcad->Refresh();
                const int count = fcad->SelectedShapeCount();
                const std::string text = count < 1 ? std::string()
                                         : tracks  ? TracksSelectedText(count)
                                                   : ShapesSelectedText(count);
                sStatusBar->SetPanelText(0, QString::fromStdString(text));
            }
            fcad->ToolMode = 0;
            fcad->ClearDrawingState();
        } catch (...) {
            fcad->ClearDrawingState();
        }
        return;
    }

    if (fRunline1 && fRunline1->isVisible() &&
        (shapeType == 3 || shapeType == 5 || shapeType == 6)) {
        const std::vector<std::pair<double, double>> points =
            shapeType == 3 ? lineChainPoints_ : fcad->GetLastPolylinePoints();
        if (points.size() >= 2)
            fRunline1->SetRoutePoints(points);
    }
    if (shapeType == 3)
        lineChainPoints_.clear();
}

void TFNav::fcadDblClick() {
    const QPoint at = fcad->mapFromGlobal(QCursor::pos());
    if (!fcad->IsPointInGGAOverlay(at.x(), at.y()))
        return;
    if (ChromeHidden())
        RestoreChrome();
    else
        HideChrome();
}

// ---- Keys -----------------------------------------------------------------------------------

bool TFNav::FormKeyDown(int key) {
    switch (key) {
    case Qt::Key_Escape:
        if (ChromeHidden()) {
            RestoreChrome();
            if (fRealtime)
                fRealtime->show();
        }
        if (SelectTracksMode) {
            SelectTracksMode = false;
            fcad->ClearSelection();
            fcad->Refresh();
            sStatusBar->SetPanelText(0, QString());
        }
        if (SelectShapesMode) {
            SelectShapesMode = false;
            fcad->ClearSelection();
            fcad->Refresh();
            sStatusBar->SetPanelText(0, QString());
        }
        // The canvas abandons a drawing on Escape without an end: the tick it paused resumes.
        if (MapTimerPausedByDrawing() && !fcad->DrawingActive && !fcad->RubberBandActive) {
            ClearMapTimerPausedByDrawing();
            tMap->start();
        }
        return false;
    case Qt::Key_F2:
        fcad->ToggleDepthSpeedDisplayMode();
        return false;
    case Qt::Key_F3:
        fcad->ToggleGGAOverlayPosition();
        return false;
    case Qt::Key_Delete:
        bDelSelectedClick();
        return true;
    default:
        return false;
    }
}
