#include "StartedProgram.h"

#include "app/main_window/TStatusBar.h"
#include "app/runlines/TfRunline1.h"
#include "app/settings_windows/TNavset.h"
#include "app/survey_windows/TfRealtime.h"
#include "survey/MapTimerDrawingPause.h"
#include "survey/RunlineGeometry.h"

#include "canvas/MapDisplaySettings.h"
#include "canvas/TTPolyline.h"
#include "canvas/TTavrinCanvas.h"

#include "platform/EventLog.h"
#include "platform/NumberText.h"

#include "tests/support/EventLoopWait.h"
#include "tests/support/LayerShapes.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <cmath>
#include <map>
#include <numbers>

namespace {

// The map driven as the operator drives it: presses at the pixels of world points.
class MapTools : public StartedProgram {
protected:
    void SetUp() override {
        StartedProgram::SetUp();
        QFile::remove(QString::fromStdString(EventsLogPath()));
        ClearMapTimerPausedByDrawing();
        FollowVessel = true;
        MeasureActive = false;
        MeasureOriginX = MeasureOriginY = 0;
        SelectTracksMode = SelectShapesMode = false;
        start();
        canvas = FNav->fcad;
        canvas->WorldSet(0, 1000, 1000, 0);
    }
    void TearDown() override {
        // No map tick runs into the next test.
        FNav->tMap->stop();
        ClearMapTimerPausedByDrawing();
        StartedProgram::TearDown();
    }

    void mouse(QEvent::Type type, Qt::MouseButton button, QPoint at) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::MouseButtons() : Qt::MouseButtons(button);
        QMouseEvent event(type, QPointF(at), canvas->mapToGlobal(QPointF(at)), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(canvas, &event);
    }
    QPoint pixelOf(double x, double y) const {
        int sx = 0, sy = 0;
        canvas->WorldToScreen(x, y, sx, sy);
        return {sx, sy};
    }
    // Clicks at the pixel of a world point; returns the world point the canvas saw.
    std::pair<double, double> click(Qt::MouseButton button, double x, double y) {
        const QPoint at = pixelOf(x, y);
        mouse(QEvent::MouseButtonPress, button, at);
        mouse(QEvent::MouseButtonRelease, button, at);
        double wx = 0, wy = 0;
        canvas->ScreenToWorld(at.x(), at.y(), wx, wy);
        return {wx, wy};
    }
    void key(QWidget* target, int qtKey) {
        QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }

    int shapesOn(const QString& layerName) const { return ShapesOnLayer(*canvas, layerName); }
    std::vector<const TTPolyline*> polylinesOn(const QString& layerName) const {
        const int layer = canvas->LayerFindByName(layerName);
        std::vector<const TTPolyline*> lines;
        for (const auto& shape : canvas->Shapes)
            if (shape->LayerId == layer)
                if (auto* line = dynamic_cast<const TTPolyline*>(shape.get()))
                    lines.push_back(line);
        return lines;
    }
    static QString eventsLog() {
        QFile file(QString::fromStdString(EventsLogPath()));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    static QString panel(int index) { return FNav->sStatusBar->PanelText(index); }

    TTavrinCanvas* canvas = nullptr;
};

const QString RouteLayer = QStringLiteral("Tavrin_Route");
const QString RunlineLayer = QStringLiteral("Tavrin_Runlines");
const QString SelectPolyLayer = QStringLiteral("Tavrin_SelectPoly");

void expectSameLines(const std::vector<const TTPolyline*>& drawn,
                     const std::vector<RunlinePoint>& route,
                     const std::vector<RunlinePolyline>& expected) {
    ASSERT_EQ(drawn.size(), expected.size() + 1);
    // The route itself comes first, then the lines in drawing order (ids ascending).
    std::vector<RunlinePolyline> all{route};
    all.insert(all.end(), expected.begin(), expected.end());
    for (size_t i = 0; i < drawn.size(); ++i) {
        if (i > 0)
            EXPECT_LT(drawn[i - 1]->Id, drawn[i]->Id);
        ASSERT_EQ(drawn[i]->Points.size(), all[i].size()) << "line " << i;
        for (size_t j = 0; j < all[i].size(); ++j) {
            EXPECT_DOUBLE_EQ(drawn[i]->Points[j].X, all[i][j].first);
            EXPECT_DOUBLE_EQ(drawn[i]->Points[j].Y, all[i][j].second);
        }
    }
}

} // namespace

TEST_F(MapTools, DrawingButtonsChooseTheirTools) {
    const std::map<QToolButton*, int> tools = {
        {FNav->ToolButton7, 17}, {FNav->ToolButton12, 3},  {FNav->ToolButton21, 1},
        {FNav->ToolButton23, 5}, {FNav->ToolButton27, 4},  {FNav->ToolButton28, 6},
        {FNav->ToolButton29, 8}, {FNav->ToolButton30, 10}, {FNav->ToolButton31, 19},
        {FNav->Zoomwindow, -3},  {FNav->Zoomdynamic, -4},
    };
    for (const auto& [button, tool] : tools) {
        canvas->ToolMode = 0;
        button->click();
        EXPECT_EQ(canvas->ToolMode, tool) << button->objectName().toStdString();
    }
    canvas->ToolMode = 0;
    FNav->Window2->trigger();
    EXPECT_EQ(canvas->ToolMode, -3);
}

TEST_F(MapTools, ZoomStepsAboutTheViewCentre) {
    CanvasModel expected;
    expected.Resize(canvas->ClientWidth, canvas->ClientHeight);
    expected.WorldSet(0, 1000, 1000, 0);
    const WorldView start = canvas->View();
    expected.SetView(start);
    expected.WorldZoom(0, 0.2, 500, 500);
    FNav->Zoomin->click();
    EXPECT_DOUBLE_EQ(canvas->PlanWorldLeft, expected.PlanWorldLeft);
    EXPECT_DOUBLE_EQ(canvas->PlanWorldRight, expected.PlanWorldRight);
    EXPECT_DOUBLE_EQ(canvas->PlanWorldTop, expected.PlanWorldTop);
    EXPECT_DOUBLE_EQ(canvas->PlanWorldBottom, expected.PlanWorldBottom);
    EXPECT_LT(canvas->GetWorldWidth(), 1000);

    const double zoomedWidth = canvas->GetWorldWidth();
    FNav->Out1->trigger();
    EXPECT_GT(canvas->GetWorldWidth(), zoomedWidth);

    canvas->DrawLine(5000, 5000, 6000, 7000, UserShapeLayerId);
    FNav->Extents1->trigger();
    EXPECT_GE(canvas->PlanWorldRight, 6000);
}

TEST_F(MapTools, FollowButtonsAndMenuItems) {
    FNav->ToolButton13->click();
    EXPECT_FALSE(FollowVessel);
    FNav->Followvessel1->trigger();
    EXPECT_TRUE(FollowVessel);
    FNav->Donotfollowvessel1->trigger();
    EXPECT_FALSE(FollowVessel);
    FNav->bFollowVessel->click();
    EXPECT_TRUE(FollowVessel);
}

TEST_F(MapTools, EachClearDeletesOnlyItsLayerAndLogsItsText) {
    struct Clear {
        QToolButton* button;
        const char* layer;
        QString question;
        QString logText; // empty: the clear logs nothing
    };
    const Clear clears[] = {
        {FNav->ToolButton11, "tavrin_usershape", "User added shapes to be deleted! Continue?", ""},
        {FNav->tbFixed, "track_fix", "Fixed/Float/DGPS tracking points to be cleared. Continue?",
         "Cleared Fixed/Float/DGPS tracklines"},
        {FNav->tbFloat, "track_float", "Autonomous tracking points to be cleared. Continue?",
         "Cleared Autonomous tracklines"},
        {FNav->tbAuto, "track_nofix", "NoFix tracking points to be cleared. Continue?",
         "Cleared NoFix tracklines"},
    };
    const char* layers[] = {"tavrin_usershape", "track_fix", "track_float", "track_nofix",
                            "event_number"};
    for (const Clear& clear : clears) {
        SCOPED_TRACE(clear.layer);
        canvas->CadClearShapes(-1);
        QFile::remove(QString::fromStdString(EventsLogPath()));
        for (const char* name : layers)
            for (int i = 0; i < 2; ++i)
                canvas->DrawPoint(i, i, canvas->LayerFindByName(QString::fromLatin1(name)));

        TestEnvironment::dialogs().clear();
        TestEnvironment::dialogs().answer(DialogAnswer::No);
        clear.button->click();
        EXPECT_EQ(TestEnvironment::dialogs().questions, QStringList{clear.question});
        EXPECT_EQ(canvas->ShapeCount, 10);
        EXPECT_TRUE(eventsLog().isEmpty());

        TestEnvironment::dialogs().answer(DialogAnswer::Yes);
        clear.button->click();
        for (const char* name : layers)
            EXPECT_EQ(shapesOn(QString::fromLatin1(name)), std::string(name) == clear.layer ? 0 : 2)
                << name;
        if (clear.logText.isEmpty())
            EXPECT_TRUE(eventsLog().isEmpty());
        else
            EXPECT_TRUE(eventsLog().endsWith(QLatin1Char('\t') + clear.logText));
    }
    // The menu items reach the same clears.
    TestEnvironment::dialogs().clear();
    FNav->Cleartracksfixed1->trigger();
    FNav->Cleartracksunfixed1->trigger();
    FNav->Clearshapesuseradded1->trigger();
    EXPECT_EQ(TestEnvironment::dialogs().questions.size(), 3);
}

TEST_F(MapTools, TrackClearWithoutTrackLayersLeavesEveryShape) {
    canvas->ResetDrawing();
    for (int i = 0; i < 5; ++i)
        canvas->DrawPoint(i, i, 0);
    for (QToolButton* button : {FNav->tbFixed, FNav->tbFloat, FNav->tbAuto}) {
        TestEnvironment::dialogs().answer(DialogAnswer::Yes);
        button->click();
    }
    EXPECT_EQ(canvas->ShapeCount, 5);
    EXPECT_EQ(canvas->NextShapeId, 6);
    // Still logged, as a clear of an empty layer is.
    EXPECT_EQ(eventsLog().count(QStringLiteral("Cleared ")), 3);
}

TEST_F(MapTools, RightClicksMeasureAndOtherClicksShowThePosition) {
    // The measure shows while the right button is held.
    const QPoint from = pixelOf(100, 200);
    mouse(QEvent::MouseButtonPress, Qt::RightButton, from);
    double ox = 0, oy = 0;
    canvas->ScreenToWorld(from.x(), from.y(), ox, oy);
    EXPECT_TRUE(MeasureActive);
    EXPECT_EQ(MeasureOriginX, ox);
    EXPECT_EQ(MeasureOriginY, oy);

    const QPoint to = pixelOf(400, 600);
    mouse(QEvent::MouseMove, Qt::NoButton, to);
    double wx = 0, wy = 0;
    canvas->ScreenToWorld(to.x(), to.y(), wx, wy);
    EXPECT_TRUE(canvas->Measuring);
    EXPECT_NEAR(canvas->MeasureDistance, std::hypot(wx - ox, wy - oy), 1e-9);
    EXPECT_NEAR(canvas->MeasureBearing, std::atan2(wx - ox, wy - oy) * 180 / std::numbers::pi,
                1e-9);
    mouse(QEvent::MouseButtonRelease, Qt::RightButton, to);
    EXPECT_TRUE(MeasureActive);

    click(Qt::RightButton, 300, 300);
    EXPECT_FALSE(MeasureActive);
    EXPECT_EQ(MeasureOriginX, 0);
    EXPECT_EQ(MeasureOriginY, 0);

    const auto clicked = click(Qt::LeftButton, 123.456, 7.891);
    const QString text = QString::fromStdString("Clicked: E" + FormatFixed(clicked.first, 2) +
                                                ", N" + FormatFixed(clicked.second, 2));
    EXPECT_EQ(panel(2), text);
    EXPECT_EQ(FNav->sStatusBar->PanelWidth(2),
              QFontMetrics(FNav->sStatusBar->font()).horizontalAdvance(text) + 20);
}

TEST_F(MapTools, SelectionModesSelectTheirLayersAndTellTheCount) {
    const int fix = canvas->LayerFindByName(QStringLiteral("track_fix"));
    const int nofix = canvas->LayerFindByName(QStringLiteral("track_nofix"));
    canvas->DrawPoint(500, 500, fix);
    canvas->DrawLine(450, 450, 900, 900, nofix);
    canvas->DrawPoint(520, 520, UserShapeLayerId);
    canvas->DrawPoint(900, 100, fix); // outside

    FNav->bSelectTracks->click();
    EXPECT_TRUE(SelectTracksMode);
    EXPECT_EQ(canvas->ToolMode, 6);
    EXPECT_EQ(canvas->CurrentLayer, canvas->LayerFindByName(SelectPolyLayer));
    EXPECT_EQ(panel(0), QStringLiteral("Draw polygon to select tracks (right-click to finish)"));
    click(Qt::LeftButton, 400, 400);
    click(Qt::LeftButton, 600, 400);
    click(Qt::LeftButton, 600, 600);
    click(Qt::LeftButton, 400, 600);
    click(Qt::RightButton, 400, 600);
    EXPECT_FALSE(SelectTracksMode);
    EXPECT_EQ(canvas->SelectedShapeCount(), 2);
    EXPECT_EQ(panel(0), QStringLiteral("2 track(s) selected. Press Delete to remove."));
    EXPECT_EQ(shapesOn(SelectPolyLayer), 0);
    EXPECT_EQ(canvas->ToolMode, 0);

    FNav->bMouseSelect->click();
    EXPECT_TRUE(SelectShapesMode);
    EXPECT_EQ(panel(0), QStringLiteral("Draw polygon to select shapes (right-click to finish)"));
    click(Qt::LeftButton, 400, 400);
    click(Qt::LeftButton, 600, 400);
    click(Qt::LeftButton, 600, 600);
    click(Qt::RightButton, 600, 600);
    EXPECT_FALSE(SelectShapesMode);
    // The triangle below the diagonal holds the track point at (500, 500) on its edge and the
    // user point at (520, 520) outside; the line starts inside.
    EXPECT_EQ(panel(0), QString::fromStdString(std::to_string(canvas->SelectedShapeCount()) +
                                               " shape(s) selected. Press Delete to remove."));
    EXPECT_GE(canvas->SelectedShapeCount(), 1);
}

TEST_F(MapTools, ShapeModeSelectsOnEveryLayerAndDeleteRemovesTheSelection) {
    canvas->DrawPoint(500, 500, canvas->LayerFindByName(QStringLiteral("track_float")));
    canvas->DrawPoint(510, 510, UserShapeLayerId);
    canvas->DrawPoint(520, 490, 0);
    canvas->DrawPoint(100, 100, UserShapeLayerId);
    FNav->bMouseSelect->click();
    for (const auto& [x, y] :
         {std::pair{300.0, 300.0}, {700.0, 300.0}, {700.0, 700.0}, {300.0, 700.0}})
        click(Qt::LeftButton, x, y);
    click(Qt::RightButton, 300, 700);
    EXPECT_EQ(panel(0), QStringLiteral("3 shape(s) selected. Press Delete to remove."));

    key(canvas, Qt::Key_Delete);
    EXPECT_EQ(canvas->ShapeCount, 1);
    EXPECT_EQ(canvas->SelectedShapeCount(), 0);
    // The text stays until something else writes the panel.
    EXPECT_EQ(panel(0), QStringLiteral("3 shape(s) selected. Press Delete to remove."));
    // Nothing selected: Delete deletes nothing.
    FNav->bDelSelected->click();
    EXPECT_EQ(canvas->ShapeCount, 1);
}

TEST_F(MapTools, PolygonOfFewerThanThreePointsSelectsNothing) {
    canvas->DrawPoint(500, 500, canvas->LayerFindByName(QStringLiteral("track_fix")));
    FNav->bSelectTracks->click();
    click(Qt::LeftButton, 400, 400);
    click(Qt::LeftButton, 600, 600);
    click(Qt::RightButton, 600, 600);
    EXPECT_FALSE(SelectTracksMode);
    EXPECT_EQ(canvas->SelectedShapeCount(), 0);
    EXPECT_EQ(panel(0), QStringLiteral("Draw polygon to select tracks (right-click to finish)"));
    EXPECT_EQ(canvas->ToolMode, 0);
}

TEST_F(MapTools, SelectTrackAfterTheShapeButtonKeepsBothModes) {
    const int fix = canvas->LayerFindByName(QStringLiteral("track_fix"));
    canvas->DrawPoint(500, 500, fix);
    canvas->DrawPoint(510, 510, UserShapeLayerId);
    FNav->bMouseSelect->click();
    FNav->bSelectTracks->click();
    EXPECT_TRUE(SelectShapesMode);
    EXPECT_TRUE(SelectTracksMode);
    const auto drawSquare = [&] {
        for (const auto& [x, y] :
             {std::pair{300.0, 300.0}, {700.0, 300.0}, {700.0, 700.0}, {300.0, 700.0}})
            click(Qt::LeftButton, x, y);
        click(Qt::RightButton, 300, 700);
    };
    drawSquare();
    EXPECT_EQ(panel(0), QStringLiteral("1 track(s) selected. Press Delete to remove."));
    EXPECT_TRUE(SelectShapesMode);
    EXPECT_EQ(canvas->ToolMode, 0);
    // The next polygon selects shapes; its layer is still the selection polygon's.
    canvas->ToolMode = 6;
    canvas->CurrentLayer = canvas->LayerFindByName(SelectPolyLayer);
    drawSquare();
    EXPECT_EQ(panel(0), QStringLiteral("2 shape(s) selected. Press Delete to remove."));
    EXPECT_FALSE(SelectShapesMode);
}

TEST_F(MapTools, EscapeEndsTheSelectionModesAndRepaints) {
    canvas->DrawPoint(500, 500, UserShapeLayerId);
    canvas->ShapeSelect(1, false);
    FNav->bSelectTracks->click();
    FNav->bMouseSelect->click();
    canvas->NeedsRedraw = false;
    key(canvas, Qt::Key_Escape);
    EXPECT_FALSE(SelectTracksMode);
    EXPECT_FALSE(SelectShapesMode);
    EXPECT_EQ(canvas->SelectedShapeCount(), 0);
    EXPECT_TRUE(canvas->NeedsRedraw);
    EXPECT_EQ(panel(0), QString());

    // With no mode and the chrome shown, Escape changes nothing.
    panel(0);
    FNav->sStatusBar->SetPanelText(0, QStringLiteral("kept"));
    key(FNav, Qt::Key_Escape);
    EXPECT_EQ(panel(0), QStringLiteral("kept"));
    EXPECT_FALSE(FNav->ChromeHidden());
}

TEST_F(MapTools, EscapeStillAbandonsTheCanvasDrawing) {
    FNav->ToolButton23->click();
    click(Qt::LeftButton, 100, 100);
    click(Qt::LeftButton, 200, 100);
    ASSERT_TRUE(canvas->DrawingActive);
    key(canvas, Qt::Key_Escape);
    EXPECT_FALSE(canvas->DrawingActive);
    EXPECT_EQ(canvas->ShapeCount, 0);
}

TEST_F(MapTools, FunctionKeysToggleTheOverlays) {
    const int mode = canvas->DepthSpeedDisplayMode;
    const int corner = canvas->GGAOverlayPosition;
    key(canvas, Qt::Key_F2);
    EXPECT_NE(canvas->DepthSpeedDisplayMode, mode);
    key(canvas, Qt::Key_F3);
    EXPECT_NE(canvas->GGAOverlayPosition, corner);
}

TEST_F(MapTools, ToolWindowEditsKeepTheirDeleteKey) {
    canvas->DrawPoint(500, 500, UserShapeLayerId);
    canvas->ShapeSelect(1, false);
    fRunline1->show();
    fRunline1->eSpacing->setText(QStringLiteral("123"));
    fRunline1->eSpacing->setCursorPosition(0);
    key(fRunline1->eSpacing, Qt::Key_Delete);
    EXPECT_EQ(fRunline1->eSpacing->text(), QStringLiteral("23"));
    EXPECT_EQ(canvas->ShapeCount, 1);
}

TEST_F(MapTools, ADrawingPausesARunningMapTickAndResumesIt) {
    // Stopped stays stopped.
    FNav->ToolButton21->click();
    click(Qt::LeftButton, 100, 100);
    click(Qt::LeftButton, 200, 200);
    click(Qt::RightButton, 200, 200);
    EXPECT_FALSE(FNav->tMap->isActive());
    EXPECT_EQ(shapesOn(QStringLiteral("tavrin_usershape")), 1);

    // Running is paused while drawing and resumed at its end.
    FNav->tMap->start();
    FNav->ToolButton23->click();
    click(Qt::LeftButton, 50, 50); // taken by the canvas after the right press that ended
    click(Qt::LeftButton, 100, 100);
    EXPECT_FALSE(FNav->tMap->isActive());
    EXPECT_TRUE(MapTimerPausedByDrawing());
    click(Qt::LeftButton, 200, 100);
    click(Qt::RightButton, 200, 100);
    EXPECT_TRUE(FNav->tMap->isActive());
    EXPECT_FALSE(MapTimerPausedByDrawing());

    // A point raises no draw begin and leaves the tick alone, running or not.
    FNav->ToolButton7->click();
    click(Qt::LeftButton, 50, 50); // taken by the canvas after the right press that ended
    click(Qt::LeftButton, 300, 300);
    EXPECT_EQ(shapesOn(QStringLiteral("tavrin_usershape")), 3);
    EXPECT_TRUE(FNav->tMap->isActive());
    FNav->tMap->stop();
    FNav->ToolButton7->click();
    click(Qt::LeftButton, 300, 300);
    EXPECT_EQ(shapesOn(QStringLiteral("tavrin_usershape")), 4);
    EXPECT_FALSE(FNav->tMap->isActive());
}

TEST_F(MapTools, StopDuringADrawingKeepsTheTickStoppedAtItsEnd) {
    FNav->tMap->start();
    FNav->ToolButton23->click();
    click(Qt::LeftButton, 100, 100);
    // What acquisition does at Stop, a lost receiver or an idle one.
    ClearMapTimerPausedByDrawing();
    click(Qt::LeftButton, 200, 100);
    click(Qt::RightButton, 200, 100);
    EXPECT_FALSE(FNav->tMap->isActive());
}

TEST_F(MapTools, ADrawingAbandonedWithEscapeResumesTheTickItPaused) {
    FNav->tMap->start();
    FNav->ToolButton23->click();
    click(Qt::LeftButton, 100, 100);
    ASSERT_FALSE(FNav->tMap->isActive());
    key(canvas, Qt::Key_Escape);
    EXPECT_TRUE(FNav->tMap->isActive());
    EXPECT_FALSE(MapTimerPausedByDrawing());
}

TEST_F(MapTools, DoubleClickInTheGnssBoxTogglesTheCompactView) {
    const std::string statusText = OverlayStatusText;
    OverlayStatusText = "RTK FIXED  Sat: 12";
    struct Restore {
        std::string text;
        ~Restore() { OverlayStatusText = text; }
    } restore{statusText};
    Navset->show();
    fRealtime->show();
    // Find a pixel inside the GNSS box and one outside it.
    QPoint inside(-1, -1), outside(-1, -1);
    for (int y = 0; y < canvas->height() && (inside.x() < 0 || outside.x() < 0); y += 4)
        for (int x = 0; x < canvas->width(); x += 4) {
            if (canvas->IsPointInGGAOverlay(x, y)) {
                if (inside.x() < 0)
                    inside = {x, y};
            } else if (outside.x() < 0) {
                outside = {x, y};
            }
        }
    ASSERT_GE(inside.x(), 0);
    ASSERT_GE(outside.x(), 0);
    const auto doubleClick = [&](QPoint at) {
        QCursor::setPos(canvas->mapToGlobal(at));
        mouse(QEvent::MouseButtonDblClick, Qt::LeftButton, at);
        mouse(QEvent::MouseButtonRelease, Qt::LeftButton, at);
    };
    if (canvas->mapFromGlobal(QCursor::pos()) != inside) {
        QCursor::setPos(canvas->mapToGlobal(inside));
        if (canvas->mapFromGlobal(QCursor::pos()) != inside)
            GTEST_SKIP() << "the platform cannot place the cursor";
    }

    doubleClick(outside);
    EXPECT_FALSE(FNav->ChromeHidden());

    doubleClick(inside);
    EXPECT_TRUE(FNav->ChromeHidden());
    EXPECT_TRUE(FNav->tRealtime->isHidden());
    EXPECT_TRUE(FNav->tShape->isHidden());
    EXPECT_TRUE(FNav->pRealtime->isHidden());
    EXPECT_TRUE(FNav->menuBar()->isHidden());
    EXPECT_TRUE(FNav->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(Navset->isVisible());
    EXPECT_FALSE(fRealtime->isVisible());
    EXPECT_TRUE(FNav->isVisible());

    // Back by a double-click: the realtime window stays hidden.
    doubleClick(inside);
    EXPECT_FALSE(FNav->ChromeHidden());
    EXPECT_FALSE(FNav->tRealtime->isHidden());
    EXPECT_FALSE(FNav->menuBar()->isHidden());
    EXPECT_FALSE(FNav->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(Navset->isVisible());
    EXPECT_FALSE(fRealtime->isVisible());

    // Back by Escape: the realtime window comes back too.
    doubleClick(inside);
    ASSERT_TRUE(FNav->ChromeHidden());
    key(FNav, Qt::Key_Escape);
    EXPECT_FALSE(FNav->ChromeHidden());
    EXPECT_FALSE(FNav->tDraw->isHidden());
    EXPECT_TRUE(fRealtime->isVisible());
}

TEST_F(MapTools, ARightClickThatEndsAPolygonStartsNoMeasure) {
    FNav->ToolButton28->click();
    click(Qt::LeftButton, 100, 100);
    click(Qt::LeftButton, 300, 100);
    click(Qt::LeftButton, 300, 300);
    click(Qt::RightButton, 300, 300);
    EXPECT_FALSE(MeasureActive);
    EXPECT_EQ(canvas->ShapeCount, 1);
}

TEST_F(MapTools, AMeasureStartedOnAZeroCoordinateShowsNoLiveDistance) {
    // Kept as it always was: a zero origin reads as "no measure running".
    FNav->fcadWorldMouseDown(2, 0, 0, 0.0, 50.0);
    ASSERT_TRUE(MeasureActive);
    FNav->fcadWorldMouseMove(0, 30, 90, 0, 0);
    EXPECT_EQ(canvas->MeasureDistance, 0);
    FNav->fcadWorldMouseDown(2, 0, 0, 0.0, 50.0);
    FNav->fcadWorldMouseDown(2, 0, 0, 10.0, 50.0);
    FNav->fcadWorldMouseMove(0, 13, 54, 0, 0);
    EXPECT_DOUBLE_EQ(canvas->MeasureDistance, 5);
    EXPECT_NEAR(canvas->MeasureBearing, std::atan2(3.0, 4.0) * 180 / std::numbers::pi, 1e-9);
}
