// The map tick over the real main window: the vessel, the status line and panels and the
// track come from the position record of the last GGA, and nothing is drawn without one.
#include "StartedProgram.h"

#include "app/devices/TFGPS.h"
#include "app/main_window/TStatusBar.h"
#include "app/survey_windows/AcquisitionSession.h"
#include "app/survey_windows/TfRealtime.h"
#include "canvas/MapDisplaySettings.h"
#include "canvas/RenderPlan.h"
#include "canvas/TTavrinCanvas.h"
#include "platform/Clock.h"
#include "platform/EventLog.h"
#include "platform/FileIO.h"
#include "tests/support/LayerShapes.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QToolButton>

namespace {

class MapTick : public StartedProgram {
protected:
    int ShapesOn(const char* layer) const {
        return ShapesOnLayer(*FNav->fcad, QString::fromLatin1(layer));
    }
    void GiveFix(double easting, double northing) {
        PositionRecord& record = FNav->Acquisition->Core().Position;
        record.HasGga = true;
        record.Latitude = -12.5;
        record.Longitude = 30.25;
        record.Projected = true;
        record.Easting = easting;
        record.Northing = northing;
        record.FixQuality = 4;
        record.GgaTick = Clock::tickCount();
    }
};

} // namespace

TEST_F(MapTick, WithoutAPositionNothingIsDrawnButTheStatusLineIsWritten) {
    start();
    FNav->fcad->DrawPoint(1, 1, FNav->fcad->LayerFindByName("Default"));
    FNav->tMapTimer();
    EXPECT_EQ(ShapesOn("~~Tavrin Vessel"), 0);
    EXPECT_EQ(ShapesOn("track_nofix"), 0);
    EXPECT_EQ(FNav->fcad->Shapes.size(), 1u);
    EXPECT_EQ(OverlayStatusText.rfind("No Fix | Spd: ", 0), 0u) << OverlayStatusText;
}

TEST_F(MapTick, ACurrentFixDrawsTheVesselThePanelsAndTheTrack) {
    start();
    const int userLayer = FNav->fcad->LayerFindByName("Default");
    FNav->fcad->DrawPoint(5, 5, userLayer);
    GiveFix(512.126, 45.5);
    FNav->tMapTimer();
    // Five lines and the default circles on the vessel layer, nothing else touched.
    EXPECT_GE(ShapesOn("~~Tavrin Vessel"), 5);
    EXPECT_EQ(ShapesOn("Default"), 1);
    EXPECT_EQ(FNav->sStatusBar->PanelText(1), "E512.13, N45.50");
    EXPECT_EQ(FNav->sStatusBar->PanelText(0), QString::fromUtf8("12°30'0.000\"S, 30°15'0.000\"E"));
    // The vessel redrawn, not accumulated.
    const int vesselShapes = ShapesOn("~~Tavrin Vessel");
    FNav->tMapTimer();
    EXPECT_EQ(ShapesOn("~~Tavrin Vessel"), vesselShapes);
    // A track point once the vessel has moved the track distance.
    GiveFix(512.126, 45.5 + 100);
    FNav->tMapTimer();
    EXPECT_EQ(ShapesOn("track_fix"), 1);

    // An old fix is no position: the tick draws nothing new.
    FNav->Acquisition->Core().Position.GgaTick = Clock::tickCount() - 10000;
    FNav->fcad->CadClearShapes(FNav->fcad->LayerFindByName("~~Tavrin Vessel"));
    FNav->tMapTimer();
    EXPECT_EQ(ShapesOn("~~Tavrin Vessel"), 0);
}

TEST_F(MapTick, F12MarksAnEventAtTheVesselsGridPosition) {
    start();
    GiveFix(500100.25, 4500200.5);
    FNav->tMapTimer();
    FNav->MarkEvent1->trigger();
    ASSERT_EQ(FNav->fcad->EventLabels.size(), 1u);
    EXPECT_DOUBLE_EQ(FNav->fcad->EventLabels[0].X, 500100.25);
    EXPECT_EQ(FNav->fcad->EventLabels[0].Number, 1);
    const std::string log = ReadWholeFile(EventsLogPath()).value_or("");
    EXPECT_NE(log.find("\nEvent No:1,"), std::string::npos);
    EXPECT_NE(log.find(",Easting:500100.25,Northing:4500200.50,"), std::string::npos);

    TestEnvironment::dialogs().answer(DialogAnswer::Yes);
    FNav->btEventResetClick();
    FNav->btEventAddClick();
    EXPECT_EQ(FNav->fcad->EventLabels.back().Number, 1);
}

// The map's read-out shows what the sounder measures whether or not the realtime window is open:
// the low-frequency depth follows the sounder type (the realtime window's low-frequency frame
// as the type sets it), not whether that window is on the screen.
TEST_F(MapTick, TheReadOutShowsTheSoundersDepthsWithTheRealtimeWindowClosed) {
    start();
    FGPS->SensorEnabled->setChecked(true);
    const struct {
        const char* type;
        double high, low;
        const char* big;
        const char* small;
    } cases[] = {
        {"Tavrin XDR H/L", 6.28, 8.06, "6.2", "8m / 8.06m"},
        {"Tavrin XDR LO", 0, 8.06, "--.-", "m / 8.06m"},
        {"NMEA DBT", 6.48, 0, "6.4", "8m"},
    };
    const auto expectReadOut = [](const char* big, const char* small) {
        FNav->tMapTimer();
        const DepthSpeedTexts texts =
            BuildDepthSpeedTexts(FNav->fcad->CurrentDepth, FNav->fcad->CurrentDepthLow,
                                 FNav->fcad->DepthValid, 0, false);
        EXPECT_EQ(texts.Big, big);
        EXPECT_EQ(texts.Small, small);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        FGPS->cSBESMessage->setCurrentText(QString::fromLatin1(c.type));
        AcquisitionState& state = FNav->Acquisition->State();
        state.TrueDepthHigh = c.high;
        state.TrueDepthLow = c.low;

        ASSERT_FALSE(fRealtime->isVisible());
        expectReadOut(c.big, c.small);

        // The compact view hides the realtime window, and the map keeps both depths.
        fRealtime->show();
        fRealtime->btHide->click();
        ASSERT_FALSE(fRealtime->isVisible());
        expectReadOut(c.big, c.small);
        FNav->RestoreChrome();
    }
}
