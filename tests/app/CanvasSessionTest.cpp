#include "StartedProgram.h"

#include "app/widgets/StyleManager.h"

#include "canvas/TTavrinCanvas.h"

#include <QFrame>
#include <QPointer>

namespace {

struct StandardLayer {
    const char* name;
    int* id;
};

const StandardLayer standardLayers[] = {
    {"Tavrin Grid", &GridLayerId},           {"track_fix", &TrackFixLayerId},
    {"track_nofix", &TrackNoFixLayerId},     {"track_float", &TrackFloatLayerId},
    {"tavrin_tempshape", &TempShapeLayerId}, {"tavrin_usershape", &UserShapeLayerId},
    {"event_number", &EventLayerId},         {"~~Tavrin Vessel", &VesselLayerId},
};

} // namespace

using CanvasSession = StartedProgram;

TEST_F(CanvasSession, MapFillsItsPanelWithTheStyleColour) {
    start();
    ASSERT_NE(FNav->fcad, nullptr);
    EXPECT_EQ(FNav->fcad->parentWidget(), static_cast<QWidget*>(FNav->Panel4));
    EXPECT_EQ(FNav->fcad->BackColor, StyleManager::panelColor());
    EXPECT_TRUE(FNav->fcad->isVisible());
    EXPECT_GT(FNav->fcad->width(), FNav->Panel4->width() - 10);
}

TEST_F(CanvasSession, StandardLayersAreOpenedInOrderAfterDefault) {
    start();
    const TTavrinCanvas& canvas = *FNav->fcad;
    ASSERT_EQ(canvas.Layers.size(), 9u);
    EXPECT_EQ(canvas.LayerFindByName(QStringLiteral("Default")), 0);
    for (size_t i = 0; i < std::size(standardLayers); ++i) {
        SCOPED_TRACE(standardLayers[i].name);
        EXPECT_EQ(*standardLayers[i].id, int(i) + 1);
        EXPECT_EQ(canvas.LayerFindByName(QString::fromLatin1(standardLayers[i].name)), int(i) + 1);
    }
}

TEST(StandardLayers, ExistingLayersAreFoundAndMissingOnesOpened) {
    TTavrinCanvas canvas;
    const int userShapes = canvas.LayerOpen(QStringLiteral("tavrin_usershape"));
    canvas.LayerOpen(QStringLiteral("survey area"));
    const int vessel = canvas.LayerOpen(QStringLiteral("~~Tavrin Vessel"));
    // A layer whose name differs only in case is a different layer.
    canvas.LayerOpen(QStringLiteral("TRACK_FIX"));

    EnsureStandardLayers(&canvas);
    EXPECT_EQ(UserShapeLayerId, userShapes);
    EXPECT_EQ(VesselLayerId, vessel);
    EXPECT_EQ(canvas.Layers.size(), 11u);
    EXPECT_EQ(canvas.LayerFindByName(QStringLiteral("track_fix")), TrackFixLayerId);
    EXPECT_NE(TrackFixLayerId, canvas.LayerFindByName(QStringLiteral("TRACK_FIX")));

    // Running it again opens nothing more and keeps the ids.
    std::vector<int> before;
    for (const StandardLayer& layer : standardLayers)
        before.push_back(*layer.id);
    EnsureStandardLayers(&canvas);
    EXPECT_EQ(canvas.Layers.size(), 11u);
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(*standardLayers[i].id, before[i]) << standardLayers[i].name;
}

TEST(StandardLayers, NothingHappensWithoutACanvas) {
    GridLayerId = 77;
    EnsureStandardLayers(nullptr);
    EXPECT_EQ(GridLayerId, 77);
}

TEST_F(CanvasSession, ViewDefaultsWithoutSettings) {
    start();
    const TTavrinCanvas& canvas = *FNav->fcad;
    EXPECT_DOUBLE_EQ(canvas.PlanWorldLeft, 0);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldRight, 1000);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldTop, 1000);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldBottom, 0);
    EXPECT_TRUE(canvas.GridAutoScale);
    EXPECT_EQ(canvas.DepthSpeedDisplayMode, 0);
    EXPECT_EQ(canvas.GGAOverlayPosition, 0);
}

TEST_F(CanvasSession, StoredViewIsRestoredAtStart) {
    const QString section = QStringLiteral("CANVAS");
    writeSetting(section, QStringLiteral("PlanWorldLeft"), QStringLiteral("500123.25"));
    writeSetting(section, QStringLiteral("PlanWorldRight"), QStringLiteral("501123.75"));
    writeSetting(section, QStringLiteral("PlanWorldTop"), QStringLiteral("4500800.5"));
    // Not a number: that value alone takes its default.
    writeSetting(section, QStringLiteral("PlanWorldBottom"), QStringLiteral("4,500,000"));
    writeSetting(section, QStringLiteral("GridAutoScale"), QStringLiteral("0"));
    writeSetting(section, QStringLiteral("DepthSpeedDisplayMode"), QStringLiteral("2"));
    writeSetting(section, QStringLiteral("GGAOverlayPosition"), QStringLiteral("1"));
    start();
    const TTavrinCanvas& canvas = *FNav->fcad;
    EXPECT_DOUBLE_EQ(canvas.PlanWorldLeft, 500123.25);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldRight, 501123.75);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldTop, 4500800.5);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldBottom, 0);
    EXPECT_FALSE(canvas.GridAutoScale);
    EXPECT_EQ(canvas.DepthSpeedDisplayMode, 2);
    EXPECT_EQ(canvas.GGAOverlayPosition, 1);
}

TEST_F(CanvasSession, ViewIsStoredAtCloseAndComesBackAtTheNextStart) {
    start();
    TTavrinCanvas& canvas = *FNav->fcad;
    canvas.PlanWorldLeft = 412345.125;
    canvas.PlanWorldRight = 413345.875;
    canvas.PlanWorldTop = 4512000.5;
    canvas.PlanWorldBottom = 4511000.25;
    canvas.GridAutoScale = false;
    canvas.DepthSpeedDisplayMode = 1;
    canvas.GGAOverlayPosition = 3;
    FNav->close();

    const IniFile ini(TestEnvironment::settingsFile());
    const QString section = QStringLiteral("CANVAS");
    EXPECT_EQ(ini.readString(section, QStringLiteral("PlanWorldLeft")),
              QStringLiteral("412345.125"));
    EXPECT_EQ(ini.readString(section, QStringLiteral("GridAutoScale")), QStringLiteral("0"));
    EXPECT_EQ(ini.readString(section, QStringLiteral("GGAOverlayPosition")), QStringLiteral("3"));

    DestroyApplicationWindows();
    start();
    EXPECT_DOUBLE_EQ(FNav->fcad->PlanWorldLeft, 412345.125);
    EXPECT_DOUBLE_EQ(FNav->fcad->PlanWorldRight, 413345.875);
    EXPECT_DOUBLE_EQ(FNav->fcad->PlanWorldTop, 4512000.5);
    EXPECT_DOUBLE_EQ(FNav->fcad->PlanWorldBottom, 4511000.25);
    EXPECT_FALSE(FNav->fcad->GridAutoScale);
    EXPECT_EQ(FNav->fcad->DepthSpeedDisplayMode, 1);
    EXPECT_EQ(FNav->fcad->GGAOverlayPosition, 3);
}

TEST_F(CanvasSession, TheMapGoesWithTheMainWindow) {
    start();
    QPointer<TTavrinCanvas> canvas = FNav->fcad;
    DestroyApplicationWindows();
    EXPECT_TRUE(canvas.isNull());
}

TEST_F(CanvasSession, VesselAndGridLayersComeBackEmptyOthersKeepTheirShapes) {
    CreateApplicationWindows();
    TTavrinCanvas& canvas = *FNav->fcad;
    const int vessel = canvas.LayerOpen(QStringLiteral("~~Tavrin Vessel"));
    const int grid = canvas.LayerOpen(QStringLiteral("Tavrin Grid"));
    const int track = canvas.LayerOpen(QStringLiteral("track_fix"));
    canvas.DrawCircle(10, 10, 5, vessel);
    canvas.DrawLine(0, 0, 100, 0, grid);
    const int32_t kept = canvas.DrawPoint(20, 20, track);
    FNav->show();
    QApplication::processEvents();
    EXPECT_EQ(canvas.ShapeCount, 1);
    EXPECT_EQ(canvas.GetShapeOnLayer(kept), track);
    EXPECT_EQ(VesselLayerId, vessel);
    EXPECT_EQ(GridLayerId, grid);
}
