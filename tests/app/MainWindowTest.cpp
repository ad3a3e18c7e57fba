#include "StartedProgram.h"

#include "app/devices/TFGPS.h"
#include "app/devices/TfJoystick.h"
#include "app/main_window/TStatusBar.h"
#include "app/runlines/TfRunline1.h"
#include "app/settings_windows/TNavset.h"
#include "app/sound_velocity/TfSVP.h"
#include "app/survey_windows/TOffsets.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/survey_windows/TfWaterfal.h"

#include "platform/AppPaths.h"
#include "platform/DataPaths.h"

#include "app/survey_windows/SurveyStateAccess.h"

#include <QCloseEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <filesystem>

namespace {

QStringList buttonTexts(QToolBar* bar) {
    QStringList texts;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator()) {
            texts << QStringLiteral("|");
            continue;
        }
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
        texts << (button ? button->objectName() + QLatin1Char('=') + button->text() : QString());
    }
    return texts;
}

// Counts the close requests a window receives.
class CloseCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close)
            ++count;
        return false;
    }
};

} // namespace

using MainWindow = StartedProgram;

TEST_F(MainWindow, FirstStartWithoutSettingsFile) {
    start();
    EXPECT_EQ(Translator->CurrentLanguage, "en");
    EXPECT_EQ(FNav->sStatusBar->PanelText(4), QStringLiteral("EN"));
    EXPECT_EQ(FNav->windowTitle(), QStringLiteral("Tavrin Iskandil Masasi - "));
    EXPECT_TRUE(FNav->tScreenshot->isActive());
    EXPECT_EQ(FNav->tScreenshot->interval(), 60000);
    EXPECT_FALSE(FNav->tMap->isActive());
    EXPECT_EQ(FNav->tMap->interval(), 200);
    EXPECT_TRUE(FNav->tEchogram->isActive());
    EXPECT_EQ(FNav->tEchogram->interval(), 200);
    EXPECT_TRUE(FNav->PortMonitorActive);
    EXPECT_TRUE(FNav->DatumParameters.empty());
    EXPECT_FALSE(SurveyAcquisitionState().EchogramActive);
}

TEST_F(MainWindow, CreatesTheDayFolders) {
    start();
    for (const std::string& folder : {DayFolder, ProjectFolder, LogFolder, XyzFolder, SvpFolder,
                                      DayFolder + "JPG", DayFolder + "MP4"})
        EXPECT_TRUE(std::filesystem::is_directory(folder)) << folder;
}

TEST_F(MainWindow, StoredLanguageShowsInTheLanguagePanel) {
    writeSetting(QStringLiteral("SETTINGS"), QStringLiteral("Language"), QStringLiteral("tr"));
    start();
    EXPECT_EQ(Translator->CurrentLanguage, "tr");
    EXPECT_EQ(FNav->sStatusBar->PanelText(4), QStringLiteral("TR"));
    const int textWidth =
        QFontMetrics(FNav->sStatusBar->font()).horizontalAdvance(QStringLiteral("EN"));
    EXPECT_EQ(FNav->sStatusBar->PanelWidth(4), textWidth + 16);
    EXPECT_EQ(FNav->sStatusBar->PanelCount(), 7);
    EXPECT_EQ(FNav->sStatusBar->PanelWidth(3), 100);
}

TEST_F(MainWindow, PaddedLastFileSavedKeyIsReadBare) {
    // Saving writes the key with seven trailing blanks.
    writeSetting(QStringLiteral("FILE"), QStringLiteral("Last File Saved       "),
                 QStringLiteral("/data/2025-03-07/WJT/2025-03-07 0915.wjt"));
    start();
    EXPECT_EQ(FNav->windowTitle(),
              QStringLiteral("Tavrin Iskandil Masasi - /data/2025-03-07/WJT/2025-03-07 0915.wjt"));
}

TEST_F(MainWindow, ScreenshotIntervalFromSettings) {
    struct Case {
        const char* stored;
        bool active;
        int intervalMs;
    };
    const Case cases[] = {
        {"5", true, 5000},
        {"0", false, -1},
        {"-3", false, -1},
        {"junk", true, 60000},
        // Too long for the timer: the longest interval it holds.
        {"3000000", true, (2147483647 / 1000) * 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        writeSetting(QStringLiteral("SCREENSHOT"), QStringLiteral("Interval"),
                     QString::fromLatin1(c.stored));
        start();
        EXPECT_EQ(FNav->tScreenshot->isActive(), c.active);
        if (c.active) {
            EXPECT_EQ(FNav->tScreenshot->interval(), c.intervalMs);
        }
        DestroyApplicationWindows();
    }
}

TEST_F(MainWindow, RestoresItsStoredPositionAndSize) {
    storeWindowPlace(QStringLiteral("FNav"), 40, 30, 700, 500);
    start();
    EXPECT_EQ(FNav->pos(), QPoint(40, 30));
    EXPECT_EQ(FNav->size(), QSize(700, 500));
}

TEST_F(MainWindow, SessionIsRestoredOncePerRunNotOnEveryShow) {
    start();
    ASSERT_TRUE(Offsets->isVisible());
    Offsets->hide();
    writeSetting(QStringLiteral("FILE"), QStringLiteral("Last File Saved"),
                 QStringLiteral("x.wjt"));
    FNav->hide();
    FNav->show();
    QApplication::processEvents();
    EXPECT_FALSE(Offsets->isVisible());
    EXPECT_EQ(FNav->windowTitle(), QStringLiteral("Tavrin Iskandil Masasi - "));
}

TEST_F(MainWindow, StartStopButtonIsFormattedAtCreation) {
    start();
    QToolButton* button = FNav->Realtime;
    // The first show's translation walk names it by its key, "Realtime", while it is up.
    EXPECT_EQ(button->text(), QStringLiteral("Realtime"));
    EXPECT_EQ(button->size(), QSize(70, 28));
    EXPECT_TRUE(button->font().bold());
    EXPECT_EQ(button->font().pointSize(), 10);
    EXPECT_EQ(button->palette().color(QPalette::ButtonText), QColor(0, 0, 0x80));
    EXPECT_TRUE(button->isCheckable());
    EXPECT_FALSE(button->autoRaise());
    EXPECT_TRUE(button->isEnabled());
}

TEST_F(MainWindow, ToolBarsHoldTheirButtonsInOrder) {
    start();
    EXPECT_EQ(buttonTexts(FNav->tRealtime),
              // After the first show's translation walk, which sets these buttons to the texts
              // of their fixed keys.
              QStringList({"Realtime=Realtime", "tbRunline=Runline", "ConnectIcon=Connect",
                           "tbFixed=Fixed", "tbFloat=Float", "tbAuto=Auto", "|",
                           "bSelectTracks=Select Tracks", "bDelSelected=Delete Selected", "|",
                           "bFollowVessel=Follow Vessel", "ToolButton13=Do Not Follow"}));
    EXPECT_EQ(
        buttonTexts(FNav->tDraw),
        QStringList({"bOpen=Open", "bSave=Save", "|", "Zoomin=Zoom In", "Zoomout=Zoom Out",
                     "Zoomextents=", "Zoomwindow=", "Zoomdynamic=", "Zoompan=", "|",
                     "bMouseSelect=", "ToolButton11=Clear Shapes", "|", "btEventAdd=Add Event",
                     "btEventReset=Reset Event", "|", "bExit=", "bRestart="}));
    EXPECT_EQ(buttonTexts(FNav->tShape),
              QStringList({"ToolButton7=", "ToolButton12=", "ToolButton21=", "ToolButton23=",
                           "ToolButton27=", "ToolButton28=", "ToolButton29=", "ToolButton30=",
                           "ToolButton31="}));
    for (QToolBar* bar : {FNav->tDraw, FNav->tShape}) {
        for (QAction* action : bar->actions()) {
            auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
            if (button && button->text().isEmpty()) {
                EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
            }
        }
    }
    EXPECT_EQ(FNav->tbRunline->width(), 97);
    EXPECT_EQ(FNav->bOpen->width(), 115);
}

TEST_F(MainWindow, ClosingStoresWindowPositionsAndClosesToolWindows) {
    start();
    fRealtime->show();
    fWaterfal->show();
    FNav->move(25, 35);
    FNav->close();
    EXPECT_FALSE(FNav->Realtime->isEnabled());
    for (QWidget* closed : {static_cast<QWidget*>(Navset), static_cast<QWidget*>(Offsets),
                            static_cast<QWidget*>(FGPS), static_cast<QWidget*>(fRealtime),
                            static_cast<QWidget*>(fRunline1), static_cast<QWidget*>(fWaterfal)})
        EXPECT_FALSE(closed->isVisible()) << closed->objectName().toStdString();
    // The battery window's position is stored, but it stays open.
    EXPECT_TRUE(fJoystick->isVisible());

    const IniFile ini(TestEnvironment::settingsFile());
    for (const char* section :
         {"Offsets", "Navset", "FNav", "fRealtime", "fWaterfal", "fJoystick"}) {
        SCOPED_TRACE(section);
        for (const char* key : {"WindowState", "Left", "Top", "Width", "Height"})
            EXPECT_TRUE(ini.valueExists(QString::fromLatin1(section), QString::fromLatin1(key)))
                << key;
    }
    EXPECT_EQ(ini.readInteger(QStringLiteral("FNav"), QStringLiteral("Left"), -1), 25);
    EXPECT_EQ(ini.readInteger(QStringLiteral("FNav"), QStringLiteral("Top"), -1), 35);
    EXPECT_FALSE(ini.sectionExists(QStringLiteral("FGPS")));
}

TEST_F(MainWindow, AWindowNeverShownInARunKeepsThePositionStoredBefore) {
    // The sound velocity window was left at 900, 200 on an earlier day; the run-line window
    // never had a place. Neither is shown in this run.
    writeSetting(QStringLiteral("fSVP"), QStringLiteral("Left"), QStringLiteral("900"));
    writeSetting(QStringLiteral("fSVP"), QStringLiteral("Top"), QStringLiteral("200"));
    start();
    FNav->close();

    const IniFile ini(TestEnvironment::settingsFile());
    EXPECT_EQ(ini.readInteger(QStringLiteral("fSVP"), QStringLiteral("Left"), -1), 900);
    EXPECT_EQ(ini.readInteger(QStringLiteral("fSVP"), QStringLiteral("Top"), -1), 200);
    EXPECT_FALSE(ini.sectionExists(QStringLiteral("fRunline1")));
    EXPECT_TRUE(ini.valueExists(QStringLiteral("Offsets"), QStringLiteral("Left")))
        << "the set-up window is shown by every start";
}

TEST_F(MainWindow, SettingsThatCannotBeWrittenAtCloseAreReportedOnce) {
    // The settings file's folder is missing: every write of the closing fails.
    const QString unwritable = TestEnvironment::home() + QStringLiteral("/missing/TavrinSD.INI");
    AppPaths::setSettingsFile(unwritable);
    start();
    FNav->close();
    AppPaths::setSettingsFile(TestEnvironment::settingsFile());

    EXPECT_FALSE(FNav->isVisible());
    EXPECT_FALSE(Navset->isVisible()) << "the closing steps go on after the failed writes";
    const auto& messages = TestEnvironment::dialogs().messages;
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, MessageKind::Error);
    EXPECT_TRUE(messages[0].text.contains(unwritable)) << messages[0].text.toStdString();
}

TEST_F(MainWindow, CloseWithAWritableSettingsFileShowsNoMessage) {
    start();
    FNav->close();
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
}

TEST_F(MainWindow, CloseRequestDuringClosingDoesNotRunTheStepsTwice) {
    start();
    CloseCounter navsetCloses;
    Navset->installEventFilter(&navsetCloses);
    // A second close request is waiting when the closing steps process pending events.
    bool secondRequestAccepted = true;
    QTimer::singleShot(0, [&secondRequestAccepted] {
        QCloseEvent again;
        QApplication::sendEvent(FNav, &again);
        secondRequestAccepted = again.isAccepted();
    });
    FNav->close();
    EXPECT_FALSE(secondRequestAccepted);
    EXPECT_FALSE(FNav->isVisible());
    EXPECT_EQ(navsetCloses.count, 1);
    // Once closed, a late request finds nothing more to do.
    FNav->close();
    EXPECT_EQ(navsetCloses.count, 1);
    Navset->removeEventFilter(&navsetCloses);
}
