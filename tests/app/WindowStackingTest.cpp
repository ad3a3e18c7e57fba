// Which window is in front and where windows open, under a real window manager (each test runs
// again in a process of its own on a virtual X server under openbox; see UnderAWindowManager).
#include "UnderAWindowManager.h"

#include "app/ntrip/TfrmNTRIPSettings.h"
#include "app/settings_windows/TNavset.h"
#include "app/sound_velocity/TfSVP.h"
#include "app/survey_windows/TOffsets.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/survey_windows/TfWaterfal.h"
#include "app/widgets/TfTheme.h"

#include "platform/Dialogs.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace {

TEST_F(UnderAWindowManager, TheSetUpWindowsNtripButtonOpensTheNtripWindowInFrontAndUsable) {
    if (!insideAWindowManager())
        return;
    ASSERT_NO_FATAL_FAILURE(startWithTheSetUpWindow());

    Offsets->bNTRIPShow->click();
    ASSERT_TRUE(framed(frmNTRIPSettings));
    EXPECT_TRUE(WaitUntil([] { return inFront(frmNTRIPSettings); })) << names(stackingOrder());
    EXPECT_TRUE(WaitUntil([] { return QApplication::activeWindow() == frmNTRIPSettings; }));

    // Closed, it is the ordinary window the menu command shows again.
    frmNTRIPSettings->btnClose->click();
    EXPECT_FALSE(frmNTRIPSettings->isModal());
    EXPECT_FALSE(frmNTRIPSettings->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(UnderAWindowManager, ADialogRaisedWhileTheSetUpWindowIsShownOpensInFrontOfIt) {
    if (!insideAWindowManager())
        return;
    ASSERT_NO_FATAL_FAILURE(startWithTheSetUpWindow());
    // Start is pressed on the main window; its refusal comes through the dialog facade.
    FNav->activateWindow();
    WaitUntil([] { return QApplication::activeWindow() == FNav; });

    bool boxInFront = false, boxActive = false;
    std::string stacking;
    int looks = 0;
    QTimer watch;
    // Looks every 50 ms, for at most 10 s, and closes the box once it is in front and active.
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (box->frameGeometry() != box->geometry()) {
            boxInFront = inFront(box);
            boxActive = QApplication::activeWindow() == box;
            stacking = names(stackingOrder());
        }
        if ((boxInFront && boxActive) || ++looks > 200)
            box->accept();
    });
    watch.start(50);
    Dialogs::install(nullptr);
    Dialogs::showError(QStringLiteral("Failed! Recheck offset A"));
    Dialogs::install(&TestEnvironment::dialogs());
    EXPECT_TRUE(boxInFront) << stacking;
    EXPECT_TRUE(boxActive);
}

TEST_F(UnderAWindowManager, AButtonThatShowsAnOpenWindowBringsItToTheFront) {
    if (!insideAWindowManager())
        return;
    ASSERT_NO_FATAL_FAILURE(startWithTheSetUpWindow());

    // The set-up window's "Sound Velocity Profile" with the sound velocity window under another.
    Offsets->bSVP->click();
    ASSERT_TRUE(framed(fSVP));
    FNav->NavigationSettings1Click();
    ASSERT_TRUE(WaitUntil([] { return inFront(Navset); })) << names(stackingOrder());
    Offsets->bSVP->click();
    EXPECT_TRUE(WaitUntil([] { return inFront(fSVP); })) << names(stackingOrder());

    // The realtime window's "Show Offsets" with the set-up window under it.
    FNav->mRealtimeWindow1Click();
    ASSERT_TRUE(framed(fRealtime));
    ASSERT_TRUE(WaitUntil([] { return inFront(fRealtime); })) << names(stackingOrder());
    fRealtime->btShowOffsets->click();
    EXPECT_TRUE(WaitUntil([] { return inFront(Offsets); })) << names(stackingOrder());
}

TEST_F(UnderAWindowManager, StoredPlacesOverTheMainWindowsControlsOrOffTheScreenOpenClearOfThem) {
    if (!insideAWindowManager())
        return;
    // What an earlier day stored: 0, 0 (Qt's place of a window never shown), over the menu and
    // tool bars, and a title bar below the bottom of the screen.
    const struct {
        const char* window;
        int left, top;
    } stored[] = {{"FNav", 0, 0},
                  {"Offsets", 0, 0},
                  {"fRealtime", 0, 0},
                  {"fWaterfal", 300, 40},
                  {"fSVP", 100, 1075}};
    for (const auto& s : stored) {
        writeSetting(QLatin1String(s.window), QStringLiteral("Left"), QString::number(s.left));
        writeSetting(QLatin1String(s.window), QStringLiteral("Top"), QString::number(s.top));
    }
    writeSetting(QStringLiteral("FNav"), QStringLiteral("Width"), QStringLiteral("1300"));
    writeSetting(QStringLiteral("FNav"), QStringLiteral("Height"), QStringLiteral("850"));
    ASSERT_NO_FATAL_FAILURE(startFramed());
    FNav->mRealtimeWindow1Click();
    fWaterfal->show(); // as at the first sounding
    FNav->SoundVelocityProfile1Click();

    for (QWidget* window : std::initializer_list<QWidget*>{Offsets, fRealtime, fSVP, fWaterfal}) {
        SCOPED_TRACE(window->objectName().toStdString());
        // The echogram has no frame of its own.
        if (window == fWaterfal)
            ASSERT_TRUE(WaitUntil([window] { return window->isVisible(); }));
        else
            ASSERT_TRUE(framed(window));
        RunEventsFor(300);
        for (const auto& [name, control] : mainWindowControls())
            EXPECT_FALSE(window->frameGeometry().intersects(control))
                << "covers the " << name << ": " << window->frameGeometry().x() << ","
                << window->frameGeometry().y();
        if (window != fWaterfal) {
            EXPECT_TRUE(titleBarOnScreen(window));
        }
    }
}

TEST_F(UnderAWindowManager, WindowsCentredOnTheMainWindowKeepTheirTitleBarsOnTheScreen) {
    if (!insideAWindowManager())
        return;
    // A main window at the top of the screen, shorter than the theme chooser.
    storeWindowPlace(QStringLiteral("FNav"), 0, 0, 1000, 520);
    ASSERT_NO_FATAL_FAILURE(startFramed());

    FNav->themeSelection1Click();
    ASSERT_TRUE(framed(fTheme));
    EXPECT_TRUE(titleBarOnScreen(fTheme)) << fTheme->frameGeometry().y();
    fTheme->close();

    FNav->TavrinNTRIPClient1Click();
    ASSERT_TRUE(framed(frmNTRIPSettings));
    EXPECT_TRUE(titleBarOnScreen(frmNTRIPSettings)) << frmNTRIPSettings->frameGeometry().y();
}

} // namespace
