// Where the program's windows stand under a real window manager: a window the operator put
// somewhere stays there whatever the program hides and shows, and a window the program places
// lies wholly on the screen.
#include "DevicePagesForTests.h"
#include "UnderAWindowManager.h"

#include "app/ntrip/TfrmNTRIPSettings.h"
#include "app/survey_windows/AcquisitionSession.h"
#include "app/survey_windows/SurveyStateAccess.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/survey_windows/TfWaterfal.h"
#include "app/widgets/TfTheme.h"
#include "canvas/MapDisplaySettings.h"
#include "canvas/TTavrinCanvas.h"
#include "positioning/gnss/TavrinSerialGPS.h"
#include "tools/devsim/PseudoTerminal.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>

#include <xcb/xcb.h>

namespace {

class WindowPlaces : public UnderAWindowManager {
protected:
    // The GNSS status box shows once the receiver has told a fix.
    std::string statusText = OverlayStatusText;

    void SetUp() override {
        UnderAWindowManager::SetUp();
        SurveyAcquisitionState() = AcquisitionState();
        OverlayStatusText = "RTK FIXED  Sat: 12";
    }
    void TearDown() override {
        UnderAWindowManager::TearDown();
        SurveyAcquisitionState() = AcquisitionState();
        OverlayStatusText = statusText;
    }

    // A main window of 1000 x 600 at the top left: the places below lie clear of its controls.
    static void storeTheMainWindowAtTheTopLeft() {
        storeWindowPlace(QStringLiteral("FNav"), 0, 0, 1000, 600);
    }

    // The window is shown and has kept still for a while. The echogram has no frame of its
    // own, so `framed` cannot tell when it stands.
    static bool settled(QWidget* window) {
        return WaitUntil([window] { return window->isVisible(); }) && keptStill(window, 6);
    }

    // What the operator does by dragging the window to `corner`.
    static bool movedByHand(QWidget* window, QPoint corner) {
        window->move(corner);
        return WaitUntil([&] { return window->frameGeometry().topLeft() == corner; }) &&
               settled(window);
    }

    // A double-click on the map's GNSS status box, as the operator enters or leaves the
    // compact view.
    static bool doubleClickTheGnssBox() {
        TTavrinCanvas* canvas = FNav->fcad;
        for (int y = 0; y < canvas->height(); y += 4)
            for (int x = 0; x < canvas->width(); x += 4)
                if (canvas->IsPointInGGAOverlay(x, y)) {
                    const QPoint at = canvas->mapToGlobal(QPoint(x, y));
                    QCursor::setPos(at);
                    if (!WaitUntil([at] { return QCursor::pos() == at; }))
                        return false;
                    FNav->fcadDblClick();
                    return true;
                }
        return false;
    }

    static void pressEscape() {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(FNav, &press);
    }

    static QPoint standsAt(QWidget* window) { return window->frameGeometry().topLeft(); }

    static QPoint storedPlace(const char* window) {
        const IniFile ini(TestEnvironment::settingsFile());
        return QPoint(ini.readInteger(QLatin1String(window), QStringLiteral("Left"), -1),
                      ini.readInteger(QLatin1String(window), QStringLiteral("Top"), -1));
    }

    // The window lies wholly on its screen.
    static bool whollyOnTheScreen(QWidget* window) {
        return window->screen()->availableGeometry().contains(window->frameGeometry());
    }
};

// Where the operator puts the echogram and the realtime window: below and right of the main
// window.
const QPoint EchogramPlace(600, 700);
const QPoint RealtimePlace(1300, 250);

TEST_F(WindowPlaces, AWindowMovedByHandKeepsItsPlaceThroughTheCompactView) {
    if (!insideAWindowManager())
        return;
    storeTheMainWindowAtTheTopLeft();
    ASSERT_NO_FATAL_FAILURE(startFramed());
    // As while recording: the echogram shows, and comes back with the main window's controls.
    SurveyAcquisitionState().EchogramActive = true;
    fWaterfal->show();
    FNav->mRealtimeWindow1Click();
    ASSERT_TRUE(framed(fRealtime));
    ASSERT_TRUE(settled(fWaterfal));
    ASSERT_TRUE(movedByHand(fWaterfal, EchogramPlace))
        << standsAt(fWaterfal).x() << "," << standsAt(fWaterfal).y();
    ASSERT_TRUE(movedByHand(fRealtime, RealtimePlace));

    // In and out by double-clicks: the realtime window stays hidden, the echogram comes back.
    ASSERT_TRUE(doubleClickTheGnssBox());
    ASSERT_TRUE(FNav->ChromeHidden());
    ASSERT_TRUE(WaitUntil([] { return !fWaterfal->isVisible(); }));
    EXPECT_TRUE(WaitUntil([] { return FNav->frameGeometry() == FNav->geometry(); }))
        << "the map without the window's border";
    ASSERT_TRUE(doubleClickTheGnssBox());
    ASSERT_FALSE(FNav->ChromeHidden());
    ASSERT_TRUE(framed(FNav));
    ASSERT_TRUE(settled(fWaterfal));
    EXPECT_EQ(standsAt(fWaterfal), EchogramPlace)
        << standsAt(fWaterfal).x() << "," << standsAt(fWaterfal).y();

    // In by a double-click, out by Escape: both come back.
    ASSERT_TRUE(doubleClickTheGnssBox());
    ASSERT_TRUE(FNav->ChromeHidden());
    pressEscape();
    ASSERT_FALSE(FNav->ChromeHidden());
    ASSERT_TRUE(framed(FNav));
    ASSERT_TRUE(framed(fRealtime));
    ASSERT_TRUE(settled(fWaterfal));
    EXPECT_EQ(standsAt(fWaterfal), EchogramPlace)
        << standsAt(fWaterfal).x() << "," << standsAt(fWaterfal).y();
    EXPECT_EQ(standsAt(fRealtime), RealtimePlace)
        << standsAt(fRealtime).x() << "," << standsAt(fRealtime).y();

    // What stands is what the close stores.
    FNav->close();
    EXPECT_EQ(storedPlace("fWaterfal"), EchogramPlace);
    EXPECT_EQ(storedPlace("fRealtime"), RealtimePlace);
}

class WindowPlacesWhileSurveying : public WindowPlaces {
protected:
    PseudoTerminal receiver, echoSounder;

    // The receiver on COM1 and an NMEA DBT sounder on COM2.
    void storeTheDevices() {
        StoreSurveySetUp();
        writeSetting(QStringLiteral("SERIAL_PORTS"), QStringLiteral("COM1"),
                     QString::fromStdString(receiver.devicePath()));
        writeSetting(QStringLiteral("SERIAL_PORTS"), QStringLiteral("COM2"),
                     QString::fromStdString(echoSounder.devicePath()));
        StorePortPage(true, 1);
        StorePortPage(false, 2);
        writeSetting("SENSOR COMUNICATION SETTINGS", "Sensor Enabled     ", "1");
        writeSetting("SENSOR COMUNICATION SETTINGS", "cSBESMessage", "NMEA DBT");
        writeSetting("SENSOR COMUNICATION SETTINGS", "eSBESFormat", "%*6s,%*lf,%*1s,%lf");
    }

    // Start, and the first sounding, which shows the echogram.
    ::testing::AssertionResult startRecording() {
        if (FNav->Realtime->isChecked())
            return ::testing::AssertionFailure() << "already recording";
        FNav->Realtime->click();
        if (!FNav->ZSENSOR || !FNav->ZSENSOR->Connected) {
            ::testing::AssertionResult refused = ::testing::AssertionFailure();
            refused << "the sounder's port is closed: "
                    << (FNav->ZSENSOR ? FNav->ZSENSOR->LastError : std::string());
            for (const auto& shown : TestEnvironment::dialogs().messages)
                refused << "\n" << shown.text.toStdString();
            return refused;
        }
        if (!echoSounder.write("$SDDBT,32.8,f,10.0,M,5.4,F\r\n") || !settled(fWaterfal))
            return ::testing::AssertionFailure() << "the sounding showed no echogram";
        return ::testing::AssertionSuccess();
    }

    static ::testing::AssertionResult stopRecording() {
        if (!FNav->Realtime->isChecked())
            return ::testing::AssertionFailure() << "not recording";
        FNav->Realtime->click();
        if (!WaitUntil([] { return !fWaterfal->isVisible(); }))
            return ::testing::AssertionFailure() << "the echogram stays after Stop";
        return ::testing::AssertionSuccess();
    }
};

TEST_F(WindowPlacesWhileSurveying,
       AWindowMovedByHandKeepsItsPlaceThroughStopAndStartALanguageSwitchAndARestart) {
    if (!insideAWindowManager())
        return;
    storeTheMainWindowAtTheTopLeft();
    storeTheDevices();
    ASSERT_NO_FATAL_FAILURE(startFramed());
    FNav->mRealtimeWindow1Click();
    ASSERT_TRUE(framed(fRealtime));
    ASSERT_TRUE(startRecording());
    ASSERT_TRUE(movedByHand(fWaterfal, EchogramPlace));
    ASSERT_TRUE(movedByHand(fRealtime, RealtimePlace));
    const auto bothWhereMoved = [] {
        EXPECT_EQ(standsAt(fWaterfal), EchogramPlace)
            << standsAt(fWaterfal).x() << "," << standsAt(fWaterfal).y();
        EXPECT_EQ(standsAt(fRealtime), RealtimePlace)
            << standsAt(fRealtime).x() << "," << standsAt(fRealtime).y();
    };

    {
        SCOPED_TRACE("Stop and Start");
        ASSERT_TRUE(stopRecording());
        ASSERT_TRUE(startRecording());
        bothWhereMoved();
    }
    {
        SCOPED_TRACE("a language switch, and Stop and Start in it");
        FNav->LanguageToggle();
        ASSERT_TRUE(settled(fWaterfal));
        ASSERT_TRUE(framed(fRealtime));
        bothWhereMoved();
        ASSERT_TRUE(stopRecording());
        ASSERT_TRUE(startRecording());
        bothWhereMoved();
        FNav->LanguageToggle();
    }

    // Stopped, the echogram hidden, and the program closed: the places it stood are stored,
    // and the next start uses them.
    ASSERT_TRUE(stopRecording());
    FNav->close();
    EXPECT_EQ(storedPlace("fWaterfal"), EchogramPlace);
    EXPECT_EQ(storedPlace("fRealtime"), RealtimePlace);
    DestroyApplicationWindows();
    QApplication::processEvents();
    {
        SCOPED_TRACE("the next start");
        ASSERT_NO_FATAL_FAILURE(startFramed());
        FNav->mRealtimeWindow1Click();
        ASSERT_TRUE(framed(fRealtime));
        ASSERT_TRUE(startRecording());
        bothWhereMoved();
        ASSERT_TRUE(stopRecording());
    }
}

// The window manager may place a window mapped again by its own rules after the program has put
// it back, as on a busy machine: it is put back where it stood once more.
TEST_F(WindowPlaces, AWindowShownAgainStaysWhereItStoodWhenTheWindowManagerPlacesItAnew) {
    if (!insideAWindowManager())
        return;
    storeTheMainWindowAtTheTopLeft();
    ASSERT_NO_FATAL_FAILURE(startFramed());
    fWaterfal->show();
    ASSERT_TRUE(settled(fWaterfal));
    ASSERT_TRUE(movedByHand(fWaterfal, EchogramPlace));

    fWaterfal->hide();
    fWaterfal->show();
    // The X server asked to move the window, behind the widget's back: the window manager moves
    // it, and the widget hears of it as of any move it did not make.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    ASSERT_TRUE(x11);
    const uint32_t corner[] = {0, 0};
    xcb_configure_window(x11->connection(), xcb_window_t(fWaterfal->winId()),
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, corner);
    xcb_flush(x11->connection());
    ASSERT_TRUE(settled(fWaterfal));
    EXPECT_EQ(standsAt(fWaterfal), EchogramPlace)
        << standsAt(fWaterfal).x() << "," << standsAt(fWaterfal).y();
}

TEST_F(WindowPlaces, WindowsCentredOnAMainWindowAtTheLowerRightLieWhollyOnTheScreen) {
    if (!insideAWindowManager())
        return;
    // Both windows fit on the screen, but centred on this main window they would reach below
    // it.
    storeWindowPlace(QStringLiteral("FNav"), 1100, 650, 800, 400);
    ASSERT_NO_FATAL_FAILURE(startFramed());

    FNav->themeSelection1Click();
    ASSERT_TRUE(framed(fTheme));
    EXPECT_TRUE(whollyOnTheScreen(fTheme))
        << fTheme->frameGeometry().x() << "," << fTheme->frameGeometry().y() << " "
        << fTheme->frameGeometry().width() << "x" << fTheme->frameGeometry().height();
    for (QPushButton* button : {fTheme->bSaveExit, fTheme->bCancel})
        EXPECT_TRUE(fTheme->screen()->availableGeometry().contains(
            QRect(button->mapToGlobal(QPoint(0, 0)), button->size())))
            << button->text().toStdString();
    fTheme->close();

    FNav->TavrinNTRIPClient1Click();
    ASSERT_TRUE(framed(frmNTRIPSettings));
    EXPECT_TRUE(whollyOnTheScreen(frmNTRIPSettings))
        << frmNTRIPSettings->frameGeometry().x() << "," << frmNTRIPSettings->frameGeometry().y()
        << " " << frmNTRIPSettings->frameGeometry().width() << "x"
        << frmNTRIPSettings->frameGeometry().height();
}

TEST_F(WindowPlaces, AStoredPlacePartlyPastAnEdgeWithEnoughTitleBarOnTheScreenIsRestored) {
    if (!insideAWindowManager())
        return;
    storeTheMainWindowAtTheTopLeft();
    // 150 pixels of the realtime window's title bar on the screen, at its right edge.
    const QPoint partlyPast(1920 - 150, 300);
    writeSetting(QStringLiteral("fRealtime"), QStringLiteral("Left"),
                 QString::number(partlyPast.x()));
    writeSetting(QStringLiteral("fRealtime"), QStringLiteral("Top"),
                 QString::number(partlyPast.y()));
    ASSERT_NO_FATAL_FAILURE(startFramed());
    FNav->mRealtimeWindow1Click();
    ASSERT_TRUE(framed(fRealtime));
    EXPECT_EQ(standsAt(fRealtime), partlyPast)
        << standsAt(fRealtime).x() << "," << standsAt(fRealtime).y();
}

} // namespace
