#include "StartedProgram.h"

#include "app/settings_windows/TNavset.h"
#include "app/survey_windows/TOffsets.h"
#include "app/survey_windows/TfLatency.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/survey_windows/TfWaterfal.h"

#include "platform/DataPaths.h"
#include "platform/RecordingShell.h"

#include "positioning/gnss/TavrinSerialGPS.h"

#include "app/survey_windows/SurveyStateAccess.h"

#include <QAction>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <filesystem>

namespace {

class RealtimeWindow : public StartedProgram {
protected:
    void SetUp() override {
        StartedProgram::SetUp();
        SurveyAcquisitionState() = AcquisitionState();
        Shell::install(&shell);
    }
    void TearDown() override {
        Shell::install(nullptr);
        SurveyAcquisitionState() = AcquisitionState();
        StartedProgram::TearDown();
    }

    RecordingShell shell;
};

bool ChromeShown() {
    return FNav->tRealtime->isVisible() && FNav->tDraw->isVisible() && FNav->tShape->isVisible() &&
           FNav->pRealtime->isVisible() && FNav->menuBar()->isVisible() &&
           !(FNav->windowFlags() & Qt::FramelessWindowHint);
}

bool ChromeHidden() {
    return !FNav->tRealtime->isVisible() && !FNav->tDraw->isVisible() &&
           !FNav->tShape->isVisible() && !FNav->pRealtime->isVisible() &&
           !FNav->menuBar()->isVisible() && (FNav->windowFlags() & Qt::FramelessWindowHint);
}

} // namespace

TEST_F(RealtimeWindow, StartsWithItsDesignedControls) {
    start();
    EXPECT_FALSE(fRealtime->isVisible());
    EXPECT_EQ(fRealtime->windowTitle(), QStringLiteral("Realtime Data"));
    EXPECT_EQ(fRealtime->size(), QSize(192, 382));
    EXPECT_EQ(fRealtime->btHideImageIndex(), 0);
    for (QLabel* label :
         {fRealtime->Fixed, fRealtime->Speed, fRealtime->SatelliteLabel, fRealtime->LAntennaH,
          fRealtime->LTideHt, fRealtime->lDepthHi, fRealtime->lDepthLo})
        EXPECT_EQ(label->text(), QStringLiteral("---")) << label->objectName().toStdString();
    EXPECT_EQ(fRealtime->DepthFrameHi->palette().color(QPalette::Window), QColor(0, 255, 0));
    EXPECT_EQ(fRealtime->DepthFrameLo->palette().color(QPalette::Window), QColor(255, 255, 0));
    EXPECT_EQ(fRealtime->btOpenLogFolder->toolTip(), QStringLiteral("Open Log Folder"));
    // The frames stack so that the documented client heights show exactly what they hold.
    EXPECT_EQ(fRealtime->GPSGroupBox->geometry().bottom() + 3, TfRealtime::HeightWithoutDepths);
    EXPECT_EQ(fRealtime->DepthFrameHi->geometry().bottom() + 3, TfRealtime::HeightWithHighDepth);
    EXPECT_EQ(fRealtime->DepthFrameLo->geometry().bottom() + 3, TfRealtime::HeightWithBothDepths);
}

TEST_F(RealtimeWindow, CompactViewInAndOutThroughHideButton) {
    start();
    Navset->show();
    fRealtime->show();
    fWaterfal->show();
    ASSERT_TRUE(ChromeShown());

    fRealtime->btHide->click();
    EXPECT_TRUE(ChromeHidden());
    EXPECT_TRUE(FNav->isVisible());
    EXPECT_EQ(fRealtime->btHideImageIndex(), 1);
    EXPECT_FALSE(fRealtime->isVisible());
    EXPECT_FALSE(Navset->isVisible());
    EXPECT_FALSE(fWaterfal->isVisible());

    // At image 1 the same button leads back; the echogram stays away without sounder data.
    fRealtime->btHide->click();
    EXPECT_TRUE(ChromeShown());
    EXPECT_TRUE(FNav->isVisible());
    EXPECT_EQ(fRealtime->btHideImageIndex(), 0);
    EXPECT_TRUE(Navset->isVisible());
    EXPECT_FALSE(fWaterfal->isVisible());
}

TEST_F(RealtimeWindow, RestoreChromeBringsTheEchogramBackWhileSounderDataCome) {
    start();
    fRealtime->show();
    fRealtime->btHide->click();
    ASSERT_TRUE(ChromeHidden());
    EXPECT_TRUE(FNav->ChromeHidden());
    SurveyAcquisitionState().EchogramActive = true;
    FNav->RestoreChrome();
    EXPECT_TRUE(ChromeShown());
    EXPECT_EQ(fRealtime->btHideImageIndex(), 0);
    EXPECT_TRUE(fWaterfal->isVisible());
    EXPECT_FALSE(fRealtime->isVisible()); // the realtime window is not brought back
    EXPECT_TRUE(Navset->isVisible());
}

TEST_F(RealtimeWindow, OpenLogFolderOpensTheDayFolder) {
    start();
    const QString day = QString::fromStdString(DayFolder);
    auto dayOf = [](const QString& folder) {
        QString trimmed = folder;
        trimmed.chop(1);
        return trimmed;
    };

    // Without a raw log: the folder above the day's log folder.
    fRealtime->btOpenLogFolder->click();
    ASSERT_EQ(shell.openedFolders.size(), 1);
    EXPECT_EQ(shell.openedFolders[0], dayOf(day));

    // With a raw log under another day's LOG folder: that day, created when missing.
    // Any day but the one the run started on, whose folder the start may have made.
    const QString otherDayName = TodayText == "2026-01-02" ? QStringLiteral("2026-01-03")
                                                           : QStringLiteral("2026-01-02");
    const QString otherDay = TestEnvironment::home() + QStringLiteral("/WJT/") + otherDayName;
    FNav->ZGPS1->LogFileName = (otherDay + QStringLiteral("/LOG/COM3 raw.log")).toStdString();
    ASSERT_FALSE(QDir(otherDay).exists());
    fRealtime->btOpenLogFolder->click();
    ASSERT_EQ(shell.openedFolders.size(), 2);
    EXPECT_EQ(shell.openedFolders[1], otherDay);
    EXPECT_TRUE(QDir(otherDay).exists());
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
}

TEST_F(RealtimeWindow, OpenLogFolderReportsAFolderItCannotCreateOrOpen) {
    start();
    // A file where a folder should be: no one can create the folder below it.
    const QString blocker = TestEnvironment::home() + QStringLiteral("/blocker");
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    FNav->ZGPS1->LogFileName = (blocker + QStringLiteral("/day/LOG/COM3 raw.log")).toStdString();
    fRealtime->btOpenLogFolder->click();
    auto& dialogs = TestEnvironment::dialogs();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("The folder %1/day cannot be created.").arg(blocker));
    EXPECT_TRUE(shell.openedFolders.isEmpty());

    dialogs.clear();
    FNav->ZGPS1->LogFileName.clear();
    shell.succeeds = false;
    fRealtime->btOpenLogFolder->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.endsWith(QStringLiteral(" cannot be opened.")));
}

TEST_F(RealtimeWindow, ShowOffsetsShowsTheSetUpWindow) {
    start();
    Offsets->hide();
    fRealtime->btShowOffsets->click();
    EXPECT_TRUE(Offsets->isVisible());
}

TEST_F(RealtimeWindow, MenuItemsShowTheSurveyWindows) {
    start();
    Offsets->hide();
    FNav->mRealtimeWindow1->trigger();
    FNav->LatencyWatchSet1->trigger();
    FNav->OffsetsandValues1->trigger();
    EXPECT_TRUE(fRealtime->isVisible());
    EXPECT_TRUE(fLatency->isVisible());
    EXPECT_TRUE(Offsets->isVisible());
}
