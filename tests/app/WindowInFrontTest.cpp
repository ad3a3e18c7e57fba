// The window a command or an alert shows is the window seen, and the on-screen keyboards belong
// to their field, under a real window manager (each test runs again in a process of its own on
// a virtual X server under openbox; see UnderAWindowManager).
#include "DevicePagesForTests.h"
#include "UnderAWindowManager.h"

#include "app/ntrip/TfrmNTRIPSettings.h"
#include "app/survey_windows/SurveyStateAccess.h"
#include "app/survey_windows/TOffsets.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/translation/TfTranslationEditor.h"
#include "app/widgets/TavrinKeyboard.h"
#include "positioning/ntrip/TavrinNTRIPClient.h"

#include "platform/Dialogs.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

QRect OnScreen(const QWidget* widget) {
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

bool StaysOnTop(const QWidget* window) {
    return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

TEST_F(UnderAWindowManager, AWindowShownByAMenuCommandOrALostStreamHasNoWindowOfTheProgramOverIt) {
    if (!insideAWindowManager())
        return;
    ASSERT_NO_FATAL_FAILURE(startWithTheSetUpWindow());
    // The realtime window stays on top of the program's other windows, as the set-up window does.
    const auto realtimeWindowInFront = [] {
        FNav->mRealtimeWindow1Click();
        return framed(fRealtime) && WaitUntil([] { return inFront(fRealtime); });
    };

    const struct {
        const char* name;
        std::function<void()> command;
        std::function<QWidget*()> window;
    } commands[] = {{"NTRIP window", [] { FNav->TavrinNTRIPClient1Click(); },
                     [] { return static_cast<QWidget*>(frmNTRIPSettings); }},
                    {"translation editor", [] { FNav->TranslationEditor1Click(); },
                     [] { return static_cast<QWidget*>(fTranslationEditor); }}};
    for (const auto& c : commands) {
        SCOPED_TRACE(c.name);
        // Opened, then asked for again once the realtime window has come in front of it.
        for (int time = 0; time < 2; ++time) {
            ASSERT_TRUE(realtimeWindowInFront()) << names(stackingOrder());
            c.command();
            QWidget* window = c.window();
            ASSERT_TRUE(framed(window));
            EXPECT_TRUE(WaitUntil([window] { return inFront(window); })) << names(stackingOrder());
            EXPECT_TRUE(WaitUntil([window] { return QApplication::activeWindow() == window; }));
        }
        c.window()->close();
    }

    // The NTRIP window's own showing when the correction stream is lost.
    ASSERT_TRUE(WaitUntil([] { return !frmNTRIPSettings->isVisible(); }));
    ASSERT_TRUE(realtimeWindowInFront()) << names(stackingOrder());
    frmNTRIPSettings->DataWatchArmed = true;
    frmNTRIPSettings->NtripStatusChanged(TTavrinNTRIPClient::Disconnected, "Connection closed");
    ASSERT_TRUE(framed(frmNTRIPSettings));
    EXPECT_TRUE(WaitUntil([] { return inFront(frmNTRIPSettings); })) << names(stackingOrder());

    // Closed, it is the ordinary window it was.
    frmNTRIPSettings->btnClose->click();
    EXPECT_FALSE(StaysOnTop(frmNTRIPSettings));
}

TEST_F(UnderAWindowManager, AnOpenWindowAskedForAgainComesInFrontWhereTheOperatorMovedIt) {
    if (!insideAWindowManager())
        return;
    ASSERT_NO_FATAL_FAILURE(startWithTheSetUpWindow());
    // Opened from the menu while no window that stays on top is shown, and moved by hand.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != FNav && window->isVisible())
            window->close();
    FNav->TavrinNTRIPClient1Click();
    ASSERT_TRUE(framed(frmNTRIPSettings));
    frmNTRIPSettings->move(700, 300);
    ASSERT_TRUE(framed(frmNTRIPSettings));
    const QPoint moved = frmNTRIPSettings->frameGeometry().topLeft();

    // The realtime window, which stays on top, comes over it; the menu asks for it again.
    FNav->mRealtimeWindow1Click();
    ASSERT_TRUE(framed(fRealtime));
    ASSERT_TRUE(WaitUntil([] { return inFront(fRealtime); })) << names(stackingOrder());
    FNav->TavrinNTRIPClient1Click();
    ASSERT_TRUE(framed(frmNTRIPSettings));
    EXPECT_TRUE(WaitUntil([] { return inFront(frmNTRIPSettings); })) << names(stackingOrder());
    EXPECT_TRUE(WaitUntil([] { return QApplication::activeWindow() == frmNTRIPSettings; }));
    EXPECT_EQ(frmNTRIPSettings->frameGeometry().topLeft(), moved);
}

TEST_F(UnderAWindowManager,
       AWindowShownModallyAgainAfterAWindowThatStaysOnTopAppearedIsOrdinaryOnceClosed) {
    if (!insideAWindowManager())
        return;
    ASSERT_NO_FATAL_FAILURE(startWithTheSetUpWindow());
    // No window that stays on top is shown (the start shows the set-up window and others).
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && StaysOnTop(window))
            window->close();
    ASSERT_TRUE(WaitUntil([] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && StaysOnTop(window))
                return false;
        return true;
    }));

    // The set-up window's NTRIP button shows it modally; the realtime window comes while it is
    // shown, and the button is pressed again.
    frmNTRIPSettings->ShowModally();
    ASSERT_TRUE(framed(frmNTRIPSettings));
    ASSERT_FALSE(StaysOnTop(frmNTRIPSettings));
    FNav->mRealtimeWindow1Click();
    ASSERT_TRUE(framed(fRealtime));
    frmNTRIPSettings->ShowModally();
    ASSERT_TRUE(framed(frmNTRIPSettings));
    EXPECT_TRUE(frmNTRIPSettings->isModal());
    EXPECT_TRUE(WaitUntil([] { return inFront(frmNTRIPSettings); })) << names(stackingOrder());

    frmNTRIPSettings->btnClose->click();
    EXPECT_FALSE(frmNTRIPSettings->isModal());
    EXPECT_FALSE(StaysOnTop(frmNTRIPSettings));
    // The menu command's showing blocks nothing.
    FNav->TavrinNTRIPClient1Click();
    ASSERT_TRUE(framed(frmNTRIPSettings));
    EXPECT_FALSE(frmNTRIPSettings->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(WaitUntil([] { return inFront(frmNTRIPSettings); })) << names(stackingOrder());
}

TEST_F(UnderAWindowManager,
       TheOnScreenKeyboardsStandClearOfTheStatusBarAndHideWithTheirFieldsWindow) {
    if (!insideAWindowManager())
        return;
    // The "Realtime" button ends in Start: a receiver on COM1 that is not plugged in, no sounder.
    StoreGeodeticParameters();
    writeSetting(QStringLiteral("SERIAL_PORTS"), QStringLiteral("COM1"),
                 TestEnvironment::home() + QStringLiteral("/no-receiver"));
    StorePortPage(true, 1);
    writeSetting(QStringLiteral("SENSOR COMUNICATION SETTINGS"),
                 QStringLiteral("Sensor Enabled     "), QStringLiteral("0"));
    ASSERT_NO_FATAL_FAILURE(startWithTheSetUpWindow());
    const auto keypad = [] { return static_cast<QWidget*>(FNav->NumericKeypad); };
    const auto keyboard = [] { return static_cast<QWidget*>(FNav->SimpleKeyboard); };

    const struct {
        const char* name;
        QLineEdit* field;
        std::function<QWidget*()> panel;
        std::function<void()> hideFieldsWindow;
    } cases[] = {
        {"keypad, Realtime", Offsets->OffsetA, keypad, [] { Offsets->BitBtn1->click(); }},
        {"keyboard, Cancel", Offsets->Location, keyboard, [] { Offsets->BitBtn3->click(); }},
        // The compact view: the map alone, without the status bar the panel was placed over.
        {"keypad, compact view", Offsets->SV, keypad, [] { FNav->HideChrome(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (FNav->ChromeHidden())
            FNav->RestoreChrome();
        FNav->OffsetsandValues1Click();
        ASSERT_TRUE(framed(Offsets));
        fillTheSetUpWindowValidly();
        QTest::mouseClick(c.field, Qt::LeftButton, {}, c.field->rect().center());
        ASSERT_TRUE(c.panel());
        ASSERT_TRUE(WaitUntil([&] { return c.panel()->isVisible(); }));
        RunEventsFor(200);
        const QRect statusBar = OnScreen(FNav->pRealtime);
        EXPECT_FALSE(c.panel()->frameGeometry().intersects(statusBar))
            << c.panel()->frameGeometry().bottom() << " over " << statusBar.top();
        EXPECT_TRUE(FNav->frameGeometry().contains(c.panel()->frameGeometry()));

        c.hideFieldsWindow();
        EXPECT_TRUE(WaitUntil([&] { return !c.panel()->isVisible(); }));
    }
    FNav->RestoreChrome();
}

TEST_F(UnderAWindowManager, AFileDialogOpensClearOfTheStatusBar) {
    if (!insideAWindowManager())
        return;
    // A main window hardly taller than a file dialog, the only window shown: the dialog is
    // centred on it.
    storeWindowPlace(QStringLiteral("FNav"), 200, 300, 1000, 380);
    ASSERT_NO_FATAL_FAILURE(startWithTheSetUpWindow());
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != FNav && window->isVisible())
            window->close();
    FNav->activateWindow();
    WaitUntil([] { return QApplication::activeWindow() == FNav; });

    QRect dialogFrame;
    int looks = 0;
    QTimer watch;
    // Looks every 50 ms, for at most 10 s, and closes the dialog once it is framed and still.
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        const bool framedNow = dialog->frameGeometry() != dialog->geometry();
        if (framedNow && dialog->frameGeometry() == dialogFrame)
            dialog->reject();
        else if (++looks > 200)
            dialog->reject();
        if (framedNow)
            dialogFrame = dialog->frameGeometry();
    });
    watch.start(50);
    Dialogs::install(nullptr);
    Dialogs::openFileName(QStringLiteral("Open"), TestEnvironment::home(), QStringLiteral("*.*"));
    Dialogs::install(&TestEnvironment::dialogs());
    ASSERT_FALSE(dialogFrame.isNull());
    const QRect statusBar = OnScreen(FNav->pRealtime);
    EXPECT_FALSE(dialogFrame.intersects(statusBar))
        << dialogFrame.bottom() << " over " << statusBar.top();
    EXPECT_TRUE(FNav->screen()->geometry().contains(dialogFrame));
}

} // namespace
