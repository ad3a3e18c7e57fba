#include "StartedProgram.h"

#include "app/devices/TFGPS.h"
#include "app/devices/TfJoystick.h"
#include "app/main_window/TformAbout.h"
#include "app/ntrip/TfrmNTRIPSettings.h"
#include "app/runlines/TfRunline1.h"
#include "app/settings_windows/TFShape.h"
#include "app/settings_windows/TNavset.h"
#include "app/sound_velocity/TfSVP.h"
#include "app/sound_velocity/TfSVPGraph.h"
#include "app/survey_windows/TOffsets.h"
#include "app/survey_windows/TfLatency.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/survey_windows/TfWaterfal.h"
#include "app/widgets/StyleManager.h"
#include "app/widgets/TFMsg.h"
#include "app/widgets/TfTheme.h"
#include "settings/DisplaySettings.h"

#include "app/ntrip/TfRTCMParsing.h"

#include "platform/EventLog.h"
#include "platform/FileIO.h"
#include "platform/RepeatedErrorGuard.h"

#include <QPlainTextEdit>

#include <QTimer>

#include <stdexcept>

namespace {

struct ExpectedWindow {
    QWidget* (*pointer)();
    const char* name;
    const char* caption;
};

template <typename Form, Form** Pointer> QWidget* read() {
    return *Pointer;
}

// The start-up order, each window with the name of its pointer and its caption.
const ExpectedWindow startOrder[] = {
    {read<TFNav, &FNav>, "FNav", "Tavrin Iskandil Masasi - "},
    {read<TNavset, &Navset>, "Navset", "Navigation Settings"},
    {read<TFShape, &FShape>, "FShape", "Vessel Geometry"},
    {read<TFGPS, &FGPS>, "FGPS", "Settings"},
    {read<TfRealtime, &fRealtime>, "fRealtime", "Realtime Data"},
    {read<TFMsg, &FMsg>, "FMsg", "Message Window"},
    {read<TOffsets, &Offsets>, "Offsets", "Offsets Essential for Post Processing / Recovery"},
    {read<TformAbout, &formAbout>, "formAbout", "About Tavrin Sounding Desk"},
    {read<TfSVP, &fSVP>, "fSVP", "Sound Velocity"},
    {read<TfRunline1, &fRunline1>, "fRunline1", "Runline Generator"},
    {read<TfLatency, &fLatency>, "fLatency", "Latency"},
    // The first show's translation walk sets the echogram's caption to its key.
    {read<TfWaterfal, &fWaterfal>, "fWaterfal", "Acoustics Waterfall"},
    {read<TfTheme, &fTheme>, "fTheme", "Theme Selection"},
    {read<TfJoystick, &fJoystick>, "fJoystick", "Battery"},
    {read<TfSVPGraph, &fSVPGraph>, "fSVPGraph", "SVP Profile Graph - Drag Points or Lasso Select"},
    {read<TfrmNTRIPSettings, &frmNTRIPSettings>, "frmNTRIPSettings", "Tavrin NTRIP Client"},
    {read<TfRTCMParsing, &fRTCMParsing>, "fRTCMParsing", "RTCM Message Parser"},
};

} // namespace

using StartUp = StartedProgram;

TEST_F(StartUp, CreatesEveryWindowInOrderReachableThroughItsPointer) {
    start();
    const std::vector<QWidget*>& created = ApplicationWindows();
    ASSERT_EQ(created.size(), std::size(startOrder));
    for (size_t i = 0; i < created.size(); ++i) {
        SCOPED_TRACE(startOrder[i].name);
        EXPECT_EQ(created[i], startOrder[i].pointer());
        EXPECT_EQ(created[i]->objectName(), QString::fromLatin1(startOrder[i].name));
        EXPECT_EQ(created[i]->windowTitle(), QString::fromLatin1(startOrder[i].caption));
        EXPECT_TRUE(created[i]->isWindow());
    }
}

TEST_F(StartUp, DestroysTheWindowsInReverseOrderAndClearsTheirPointers) {
    start();
    std::vector<QString> destroyed;
    for (QWidget* window : ApplicationWindows()) {
        const QString name = window->objectName();
        QObject::connect(window, &QObject::destroyed,
                         [&destroyed, name] { destroyed.push_back(name); });
    }
    DestroyApplicationWindows();
    ASSERT_EQ(destroyed.size(), std::size(startOrder));
    for (size_t i = 0; i < destroyed.size(); ++i)
        EXPECT_EQ(destroyed[i],
                  QString::fromLatin1(startOrder[std::size(startOrder) - 1 - i].name));
    for (const ExpectedWindow& window : startOrder)
        EXPECT_EQ(window.pointer(), nullptr) << window.name;
    EXPECT_TRUE(ApplicationWindows().empty());
}

TEST_F(StartUp, ShowsOnlyTheDesignedWindowsUntilTheMainWindowAppears) {
    CreateApplicationWindows();
    for (const ExpectedWindow& window : startOrder) {
        const std::string name = window.name;
        const bool createdVisible = name == "Navset" || name == "fJoystick";
        EXPECT_EQ(window.pointer()->isVisible(), createdVisible) << name;
    }
    FNav->show();
    QApplication::processEvents();
    EXPECT_TRUE(FNav->isVisible());
    EXPECT_TRUE(Offsets->isVisible());
    EXPECT_TRUE(fJoystick->isVisible());
    EXPECT_TRUE(Navset->isVisible());
    EXPECT_FALSE(FMsg->isVisible());
    EXPECT_FALSE(formAbout->isVisible());
    EXPECT_FALSE(frmNTRIPSettings->isVisible());
}

TEST_F(StartUp, OnlyClosingTheMainWindowEndsTheProgram) {
    start();
    // The tool windows close first; the loop must keep running until the main window closes,
    // while the battery and navigation windows are still open.
    QTimer::singleShot(0, [] {
        Offsets->close();
        fRealtime->close();
    });
    bool loopRanOnAfterToolWindows = false;
    QTimer::singleShot(50, [&loopRanOnAfterToolWindows] {
        loopRanOnAfterToolWindows = true;
        EXPECT_TRUE(fJoystick->isVisible());
        EXPECT_TRUE(Navset->isVisible());
        FNav->close();
    });
    // Should the close not end the loop, this ends it with a code the test refuses.
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] { QApplication::exit(99); });
    safety.start(3000);
    const int code = QApplication::exec();
    EXPECT_TRUE(loopRanOnAfterToolWindows);
    EXPECT_EQ(code, 0);
}

TEST_F(StartUp, RepeatedHandlerErrorsReachTheMessageWindowAndTheEventsLogOnce) {
    start();
    const std::string log = EventsLogPath();
    const std::string before = ReadWholeFile(log).value_or("");
    RepeatedErrorGuard guard(QStringLiteral("COM3 line handler"));
    for (int line = 0; line < 5; ++line)
        guard.run([] { throw std::runtime_error("bad depth"); });

    EXPECT_TRUE(FMsg->isVisible());
    EXPECT_EQ(FMsg->Msg->toPlainText(), QStringLiteral("COM3 line handler: bad depth"));
    const std::string after = ReadWholeFile(log).value_or("");
    ASSERT_GE(after.size(), before.size());
    const std::string added = after.substr(before.size());
    EXPECT_EQ(added.rfind("\nAuto Event:\t", 0), 0u) << added;
    EXPECT_NE(added.find("\tCOM3 line handler: bad depth"), std::string::npos) << added;
    EXPECT_EQ(added.find("Auto Event:", 2), std::string::npos) << "reported once per spell";
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());

    // Once the windows are gone, a report still reaches the log and nothing else.
    DestroyApplicationWindows();
    RepeatedErrorGuard late(QStringLiteral("poll"));
    late.run([] { throw std::runtime_error("gone"); });
    EXPECT_NE(ReadWholeFile(log).value_or("").find("\tpoll: gone"), std::string::npos);
}

TEST_F(StartUp, EntryReadsStyleAndOverlaySettingsWithDefaults) {
    OverlayFontSize = 1;
    OverlayDepthColor = 1;
    OverlaySpeedColor = 1;
    EntrySettings settings = ReadEntrySettings();
    EXPECT_EQ(settings.ThemeStyle, QStringLiteral("Light"));
    EXPECT_EQ(OverlayFontSize, 40);
    EXPECT_EQ(OverlayDepthColor, 0x800000u);
    EXPECT_EQ(OverlaySpeedColor, 0u);

    writeSetting(QStringLiteral("APPLICATION"), QStringLiteral("ThemeStyle"),
                 QStringLiteral("Dark"));
    writeSetting(QStringLiteral("OVERLAY_SETTINGS"), QStringLiteral("FontSize"),
                 QStringLiteral("28"));
    writeSetting(QStringLiteral("OVERLAY_SETTINGS"), QStringLiteral("DepthColor"),
                 QStringLiteral("255"));
    writeSetting(QStringLiteral("OVERLAY_SETTINGS"), QStringLiteral("SpeedColor"),
                 QStringLiteral("65280"));
    settings = ReadEntrySettings();
    EXPECT_EQ(settings.ThemeStyle, QStringLiteral("Dark"));
    EXPECT_EQ(OverlayFontSize, 28);
    EXPECT_EQ(OverlayDepthColor, 255u);
    EXPECT_EQ(OverlaySpeedColor, 65280u);
}

TEST_F(StartUp, OverlayFontSizeThatIsNotAWholeNumberGivesForty) {
    for (const char* stored : {"abc", "", "12.5", "nan", "99999999999"}) {
        writeSetting(QStringLiteral("OVERLAY_SETTINGS"), QStringLiteral("FontSize"),
                     QString::fromLatin1(stored));
        OverlayFontSize = 1;
        ReadEntrySettings();
        EXPECT_EQ(OverlayFontSize, 40) << '"' << stored << '"';
    }
}

TEST_F(StartUp, OverlayFontSizeWithBlanksAroundItReadsLikeAnyStoredNumber) {
    // A hand-edited file often has "FontSize = 28".
    IniFile ini(TestEnvironment::settingsFile());
    ini.writeString(QStringLiteral("OVERLAY_SETTINGS"), QStringLiteral("FontSize "),
                    QStringLiteral(" 28\t"));
    ini.flush();
    OverlayFontSize = 1;
    ReadEntrySettings();
    EXPECT_EQ(OverlayFontSize, 28);
    EXPECT_EQ(ini.readInteger(QStringLiteral("OVERLAY_SETTINGS"), QStringLiteral("FontSize"), 0),
              28);
}

TEST_F(StartUp, MainWindowCreationReadsTheOverlayFontSizeAgain) {
    writeSetting(QStringLiteral("OVERLAY_SETTINGS"), QStringLiteral("FontSize"),
                 QStringLiteral("33"));
    OverlayFontSize = 1;
    start();
    EXPECT_EQ(OverlayFontSize, 33);
}

class StartStyle : public StartedProgram {
protected:
    void TearDown() override {
        StyleManager::trySetStyle(StyleManager::defaultStyleName(), false);
        StartedProgram::TearDown();
    }
};

TEST_F(StartStyle, BuiltInLookNameAppliesNoStyle) {
    StyleManager::trySetStyle(QStringLiteral("Dark"), false);
    ApplyStartStyle(QStringLiteral("Tavrin SD - Default"));
    EXPECT_EQ(StyleManager::activeStyleName(), QStringLiteral("Dark"));
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
}

TEST_F(StartStyle, StoredStyleIsApplied) {
    ApplyStartStyle(QStringLiteral("Dark"));
    EXPECT_EQ(StyleManager::activeStyleName(), QStringLiteral("Dark"));
    const uint32_t dark = StyleManager::panelColor();
    ApplyStartStyle(QStringLiteral("Light"));
    EXPECT_EQ(StyleManager::activeStyleName(), QStringLiteral("Light"));
    EXPECT_NE(StyleManager::panelColor(), dark);
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
}

TEST_F(StartStyle, UnknownStyleIsReportedAndLeavesTheLook) {
    ApplyStartStyle(QStringLiteral("Light"));
    ApplyStartStyle(QStringLiteral("No Such Style"));
    EXPECT_EQ(StyleManager::activeStyleName(), QStringLiteral("Light"));
    ASSERT_EQ(TestEnvironment::dialogs().messages.size(), 1u);
    EXPECT_EQ(TestEnvironment::dialogs().messages[0].kind, MessageKind::Error);
    EXPECT_TRUE(
        TestEnvironment::dialogs().messages[0].text.contains(QStringLiteral("No Such Style")));
}

TEST(ProgramEntry, ReturnsTheLoopResultWhenNothingFails) {
    TestEnvironment::dialogs().clear();
    EXPECT_EQ(RunProgramEntry([] { return 0; }), 0);
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
}

TEST(ProgramEntry, ExceptionIsShownAndEndsWithFailureCode) {
    TestEnvironment::dialogs().clear();
    EXPECT_NE(RunProgramEntry([]() -> int { throw std::runtime_error("window failed"); }), 0);
    ASSERT_EQ(TestEnvironment::dialogs().messages.size(), 1u);
    EXPECT_EQ(TestEnvironment::dialogs().messages[0].kind, MessageKind::Error);
    EXPECT_EQ(TestEnvironment::dialogs().messages[0].text, QStringLiteral("window failed"));

    TestEnvironment::dialogs().clear();
    EXPECT_NE(RunProgramEntry([]() -> int { throw 42; }), 0);
    ASSERT_EQ(TestEnvironment::dialogs().messages.size(), 1u);
    EXPECT_TRUE(TestEnvironment::dialogs().messages[0].text.isEmpty());
}
