#include "StartedProgram.h"

#include "app/runlines/TfRunline1.h"
#include "app/widgets/DesignedColours.h"
#include "survey/RunlineGeometry.h"

#include "canvas/TTPolyline.h"
#include "canvas/TTavrinCanvas.h"

#include "platform/EventLog.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace {

const QString RouteLayer = QStringLiteral("Tavrin_Route");
const QString RunlineLayer = QStringLiteral("Tavrin_Runlines");

class RunlineWindow : public StartedProgram {
protected:
    void SetUp() override {
        StartedProgram::SetUp();
        QFile::remove(QString::fromStdString(EventsLogPath()));
    }
    void startProgram() {
        start();
        canvas = FNav->fcad;
        canvas->WorldSet(0, 1000, 1000, 0);
        window = fRunline1;
    }

    // Presses at the pixels of world points; returns the world points the canvas saw.
    std::vector<RunlinePoint> pressAt(const std::vector<RunlinePoint>& points) {
        std::vector<RunlinePoint> seen;
        for (const auto& [x, y] : points) {
            int sx = 0, sy = 0;
            canvas->WorldToScreen(x, y, sx, sy);
            press(Qt::LeftButton, {sx, sy});
            double wx = 0, wy = 0;
            canvas->ScreenToWorld(sx, sy, wx, wy);
            seen.emplace_back(wx, wy);
        }
        return seen;
    }
    void press(Qt::MouseButton button, QPoint at) {
        QMouseEvent down(QEvent::MouseButtonPress, QPointF(at), canvas->mapToGlobal(QPointF(at)),
                         button, button, Qt::NoModifier);
        QApplication::sendEvent(canvas, &down);
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(at), canvas->mapToGlobal(QPointF(at)),
                       button, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &up);
    }
    void finish() { press(Qt::RightButton, {5, 5}); }

    std::vector<RunlinePolyline> drawnOn(const QString& layerName) const {
        const int layer = canvas->LayerFindByName(layerName);
        std::vector<RunlinePolyline> lines;
        for (const auto& shape : canvas->Shapes) {
            if (shape->LayerId != layer)
                continue;
            const auto* line = dynamic_cast<const TTPolyline*>(shape.get());
            if (!line)
                continue;
            RunlinePolyline points;
            for (const TPointF& p : line->Points)
                points.emplace_back(p.X, p.Y);
            lines.push_back(points);
        }
        return lines;
    }
    std::vector<RunlinePolyline> expectedLayer(const std::vector<RunlinePoint>& route,
                                               double spacing, double length,
                                               RunlineType type) const {
        std::vector<RunlinePolyline> lines{route};
        for (const RunlinePolyline& line : GenerateRunlineGeometry(route, spacing, length, type))
            lines.push_back(line);
        return lines;
    }
    static QStringList logEntries() {
        QFile file(QString::fromStdString(EventsLogPath()));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList texts;
        for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
            if (!line.isEmpty())
                texts << line.section(QLatin1Char('\t'), 2);
        return texts;
    }
    // The colour the status was designed with; what shows is that colour made readable on the
    // window's background (checked where the status first shows).
    QColor statusColour() const {
        return window->lRouteStatus->property("designedTextColour").value<QColor>();
    }
    // Draws a route with the polyline tool, as "Draw Route" starts it.
    std::vector<RunlinePoint> drawRoute(const std::vector<RunlinePoint>& points) {
        window->bDrawRoute->click();
        const std::vector<RunlinePoint> seen = pressAt(points);
        finish();
        return seen;
    }

    TTavrinCanvas* canvas = nullptr;
    TfRunline1* window = nullptr;
};

const std::vector<RunlinePoint> BentRoute = {{200, 200}, {600, 200}, {600, 600}};

} // namespace

TEST_F(RunlineWindow, DefaultsWithoutStoredKeys) {
    startProgram();
    EXPECT_EQ(window->objectName(), QStringLiteral("fRunline1"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Runline Generator"));
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window->eSpacing->text(), QStringLiteral("10"));
    EXPECT_EQ(window->eLength->text(), QStringLiteral("100"));
    EXPECT_TRUE(window->rbPerpendicular->isChecked());
    EXPECT_FALSE(window->rbParallel->isChecked());
    EXPECT_EQ(window->lRouteStatus->text(), QStringLiteral("No route drawn"));
    EXPECT_EQ(statusColour(), QColor(0x80, 0x80, 0x80));
    EXPECT_GE(ContrastRatio(window->lRouteStatus->palette().color(QPalette::WindowText),
                            BackgroundBehind(window->lRouteStatus)),
              4.5);
    EXPECT_FALSE(window->RouteReady);
    EXPECT_EQ(window->RunlineLayer, -1);
    window->show();
    EXPECT_EQ(window->size(), QSize(320, 280));
}

TEST_F(RunlineWindow, StoredKeysFillTheControls) {
    writeSetting(QStringLiteral("RUNLINE"), QStringLiteral("Spacing"), QStringLiteral("25.5"));
    writeSetting(QStringLiteral("RUNLINE"), QStringLiteral("Length"), QStringLiteral("abc"));
    writeSetting(QStringLiteral("RUNLINE"), QStringLiteral("Perpendicular"), QStringLiteral("0"));
    startProgram();
    EXPECT_EQ(window->eSpacing->text(), QStringLiteral("25.5"));
    EXPECT_EQ(window->eLength->text(), QStringLiteral("abc"));
    EXPECT_FALSE(window->rbPerpendicular->isChecked());
    EXPECT_TRUE(window->rbParallel->isChecked());
}

TEST_F(RunlineWindow, DrawRouteEmptiesBothLayersAndStartsThePolylineTool) {
    startProgram();
    const int route = canvas->LayerOpen(RouteLayer);
    const int runlines = canvas->LayerOpen(RunlineLayer);
    canvas->DrawLine(0, 0, 1, 1, route);
    canvas->DrawLine(0, 0, 1, 1, runlines);
    canvas->DrawLine(0, 0, 1, 1, UserShapeLayerId);
    window->show();
    window->bDrawRoute->click();
    EXPECT_EQ(canvas->CurrentLayer, route);
    EXPECT_EQ(canvas->ToolMode, 5);
    EXPECT_FALSE(canvas->KeepToolMode);
    EXPECT_EQ(canvas->ShapeCount, 1);
    EXPECT_EQ(window->lRouteStatus->text(), QStringLiteral("Drawing... (right-click to finish)"));
    EXPECT_EQ(statusColour(), QColor(0, 0, 255));
}

TEST_F(RunlineWindow, ARouteDrawnOnTheMapGivesItsLines) {
    startProgram();
    window->show();
    const std::vector<RunlinePoint> route = drawRoute(BentRoute);
    EXPECT_EQ(window->RoutePoints, route);
    EXPECT_TRUE(window->RouteReady);
    EXPECT_EQ(window->lRouteStatus->text(), QStringLiteral("Route: 3 points"));
    EXPECT_EQ(statusColour(), QColor(0, 0x80, 0));
    EXPECT_EQ(drawnOn(RunlineLayer), expectedLayer(route, 10, 100, RunlineType::Perpendicular));
    EXPECT_EQ(drawnOn(RouteLayer), std::vector<RunlinePolyline>{route});
    EXPECT_EQ(logEntries(),
              QStringList{QStringLiteral("Runlines generated - Spacing: 10, Length: 100")});

    // The line type switches at once.
    window->rbParallel->click();
    EXPECT_EQ(drawnOn(RunlineLayer), expectedLayer(route, 10, 100, RunlineType::Parallel));
    EXPECT_EQ(logEntries().size(), 2);
}

TEST_F(RunlineWindow, ALineChainThroughTheSamePointsGivesTheSameLines) {
    startProgram();
    window->show();
    const std::vector<RunlinePoint> route = drawRoute(BentRoute);
    const std::vector<RunlinePolyline> byPolyline = drawnOn(RunlineLayer);

    window->bClear->click();
    FNav->ToolButton12->click();
    pressAt({{50, 50}}); // taken by the canvas after the right press that ended the route
    EXPECT_EQ(pressAt(BentRoute), route);
    finish();
    EXPECT_EQ(window->lRouteStatus->text(), QStringLiteral("Route: 3 points"));
    EXPECT_EQ(drawnOn(RunlineLayer), byPolyline);
}

TEST_F(RunlineWindow, ARouteDrawnWhileTheWindowIsHiddenHandsNothingOver) {
    startProgram();
    window->bDrawRoute->click();
    pressAt(BentRoute);
    finish();
    EXPECT_TRUE(window->RoutePoints.empty());
    EXPECT_FALSE(window->RouteReady);
    EXPECT_EQ(canvas->LayerFindByName(RunlineLayer), -1);
}

TEST_F(RunlineWindow, EveryKeystrokeRegeneratesAndLogs) {
    startProgram();
    window->show();
    // Before any route, a change does nothing.
    window->eSpacing->setText(QStringLiteral("20"));
    EXPECT_TRUE(logEntries().isEmpty());

    window->SetRoutePoints({{0, 0}, {100, 0}});
    window->eSpacing->selectAll();
    for (const QChar c : QStringLiteral("25")) {
        QKeyEvent typed(QEvent::KeyPress, Qt::Key_0 + c.digitValue(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(window->eSpacing, &typed);
    }
    const QStringList entries = logEntries();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[1], QStringLiteral("Runlines generated - Spacing: 2, Length: 100"));
    EXPECT_EQ(entries[2], QStringLiteral("Runlines generated - Spacing: 25, Length: 100"));
    EXPECT_EQ(drawnOn(RunlineLayer),
              expectedLayer({{0, 0}, {100, 0}}, 25, 100, RunlineType::Perpendicular));
}

TEST_F(RunlineWindow, TextsThatAreNotPositiveNumbersTakeTheDefaults) {
    startProgram();
    window->show();
    const std::vector<RunlinePoint> route = {{0, 0}, {35, 0}};
    window->SetRoutePoints(route);
    const auto tenMetreLines = expectedLayer(route, 10, 100, RunlineType::Perpendicular);
    for (const QString& text :
         {QString(), QStringLiteral("0"), QStringLiteral("-5"), QStringLiteral("abc"),
          QStringLiteral("nan"), QStringLiteral("inf"), QStringLiteral("1e999")}) {
        window->eSpacing->setText(text);
        EXPECT_EQ(drawnOn(RunlineLayer), tenMetreLines) << text.toStdString();
    }
    window->eSpacing->setText(QString());
    EXPECT_EQ(logEntries().last(), QStringLiteral("Runlines generated - Spacing: , Length: 100"));
    window->eSpacing->setText(QStringLiteral("10"));
    window->eLength->setText(QStringLiteral("-1"));
    EXPECT_EQ(drawnOn(RunlineLayer), tenMetreLines);
}

TEST_F(RunlineWindow, GenerateWithoutARouteAsksForOneAndStoresNothing) {
    startProgram();
    window->show();
    window->bGenerate->click();
    ASSERT_EQ(TestEnvironment::dialogs().messages.size(), 1u);
    EXPECT_EQ(TestEnvironment::dialogs().messages[0].text,
              QStringLiteral("Please draw a route first."));
    const IniFile ini(TestEnvironment::settingsFile());
    EXPECT_EQ(ini.readString(QStringLiteral("RUNLINE"), QStringLiteral("Spacing"),
                             QStringLiteral("none")),
              QStringLiteral("none"));
    EXPECT_TRUE(logEntries().isEmpty());
}

TEST_F(RunlineWindow, GenerateWithARouteStoresTheThreeKeys) {
    startProgram();
    window->show();
    window->SetRoutePoints({{0, 0}, {35, 0}});
    window->eSpacing->setText(QStringLiteral("30"));
    window->eLength->setText(QStringLiteral("25"));
    window->rbParallel->click();
    window->bGenerate->click();
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
    const IniFile ini(TestEnvironment::settingsFile());
    const QString section = QStringLiteral("RUNLINE");
    EXPECT_EQ(ini.readString(section, QStringLiteral("Spacing")), QStringLiteral("30"));
    EXPECT_EQ(ini.readString(section, QStringLiteral("Length")), QStringLiteral("25"));
    EXPECT_EQ(ini.readString(section, QStringLiteral("Perpendicular")), QStringLiteral("0"));
    // Length below the spacing: the route alone.
    EXPECT_EQ(drawnOn(RunlineLayer).size(), 1u);
}

TEST_F(RunlineWindow, ClearKeepsTheDrawnRoute) {
    startProgram();
    window->show();
    const std::vector<RunlinePoint> route = drawRoute(BentRoute);
    window->bClear->click();
    EXPECT_TRUE(drawnOn(RunlineLayer).empty());
    EXPECT_EQ(drawnOn(RouteLayer), std::vector<RunlinePolyline>{route});
    EXPECT_FALSE(window->RouteReady);
    EXPECT_TRUE(window->RoutePoints.empty());
    EXPECT_EQ(window->lRouteStatus->text(), QStringLiteral("No route drawn"));
}

TEST_F(RunlineWindow, TooFewPointsAreTold) {
    startProgram();
    window->SetRoutePoints({{1, 1}});
    EXPECT_FALSE(window->RouteReady);
    EXPECT_EQ(window->lRouteStatus->text(), QStringLiteral("Need at least 2 points"));
    EXPECT_EQ(statusColour(), QColor(255, 0, 0));
}

TEST_F(RunlineWindow, GenerationsBeyondTenThousandLinesAreRefused) {
    startProgram();
    window->show();
    const std::vector<RunlinePoint> route = {{0, 0}, {100, 0}};
    window->rbParallel->setChecked(true);
    window->eSpacing->setText(QStringLiteral("1"));
    window->eLength->setText(QStringLiteral("5000"));
    window->SetRoutePoints(route);
    EXPECT_EQ(drawnOn(RunlineLayer).size(), 10001u);
    EXPECT_EQ(logEntries().size(), 1);

    // A keystroke that goes beyond: the route alone, a red status, no log line, no box.
    window->eLength->setText(QStringLiteral("5001"));
    EXPECT_EQ(drawnOn(RunlineLayer), std::vector<RunlinePolyline>{route});
    EXPECT_EQ(window->lRouteStatus->text(), QStringLiteral("Too many lines (more than 10000)"));
    EXPECT_EQ(statusColour(), QColor(255, 0, 0));
    EXPECT_EQ(logEntries().size(), 1);
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());

    // Generate also says it in a box, and stores nothing.
    window->bGenerate->click();
    ASSERT_EQ(TestEnvironment::dialogs().messages.size(), 1u);
    EXPECT_EQ(TestEnvironment::dialogs().messages[0].text,
              QStringLiteral("Too many lines (more than 10000)"));
    const IniFile ini(TestEnvironment::settingsFile());
    EXPECT_TRUE(ini.readString(QStringLiteral("RUNLINE"), QStringLiteral("Length")).isEmpty());

    // Back within bounds, the route's status returns.
    window->eLength->setText(QStringLiteral("10"));
    EXPECT_EQ(drawnOn(RunlineLayer).size(), 21u);
    EXPECT_EQ(window->lRouteStatus->text(), QStringLiteral("Route: 2 points"));
}

TEST_F(RunlineWindow, ClearAfterAReplacingLoadLeavesOtherLayersAlone) {
    startProgram();
    window->show();
    window->SetRoutePoints({{0, 0}, {35, 0}});
    const int oldId = window->RunlineLayer;
    ASSERT_GE(oldId, 0);
    // A replacing load starts layer ids again; the old id now names another layer.
    canvas->ResetDrawing();
    while (canvas->NextLayerId <= oldId)
        canvas->LayerOpen(QStringLiteral("layer %1").arg(canvas->NextLayerId));
    canvas->DrawPoint(1, 1, oldId);
    window->bClear->click();
    EXPECT_EQ(canvas->ShapeCount, 1);
}
