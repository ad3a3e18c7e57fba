#include "app/program/ProgramStart.h"

#include "app/devices/TFGPS.h"
#include "app/devices/TfJoystick.h"
#include "app/main_window/MainWindowLinks.h"
#include "app/main_window/TFNav.h"
#include "app/main_window/TformAbout.h"
#include "app/ntrip/TfrmNTRIPSettings.h"
#include "app/program/WindowPlacement.h"
#include "app/runlines/TfRunline1.h"
#include "app/settings_windows/TFShape.h"
#include "app/settings_windows/TNavset.h"
#include "app/sound_velocity/TfSVP.h"
#include "app/sound_velocity/TfSVPGraph.h"
#include "app/survey_windows/TOffsets.h"
#include "app/survey_windows/TfLatency.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/survey_windows/TfWaterfal.h"
#include "app/translation/TfTranslationEditor.h"
#include "app/widgets/StyleManager.h"
#include "app/widgets/TFMsg.h"
#include "app/widgets/TfTheme.h"
#include "settings/DisplaySettings.h"

#include "app/ntrip/TfRTCMParsing.h"

#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/EndSignals.h"
#include "platform/ErrorBoundary.h"
#include "platform/EventLog.h"
#include "platform/FormState.h"
#include "platform/IniFile.h"
#include "platform/RepeatedErrorGuard.h"

#include <QApplication>
#include <QFrame>
#include <QScopeGuard>
#include <QSessionManager>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <exception>
#include <iostream>

namespace {

struct OwnedWindow {
    QWidget* window;
    std::function<void()> clearPointer;
};

std::vector<OwnedWindow> owned;
std::vector<QWidget*> creationOrder;

// Each tool window gets, as it is made, the links through which it reaches the rest of the
// program; its handlers may use them from the start.
template <typename Form, typename... Links> void create(Form*& pointer, Links*... links) {
    pointer = new Form(links...);
    // Only the main window ends the program when it closes.
    if (static_cast<QWidget*>(pointer) != static_cast<QWidget*>(FNav))
        pointer->setAttribute(Qt::WA_QuitOnClose, false);
    owned.push_back(OwnedWindow{pointer, [&pointer] { pointer = nullptr; }});
    creationOrder.push_back(pointer);
}

} // namespace

EntrySettings ReadEntrySettings() {
    const IniFile ini(AppPaths::settingsFile());
    EntrySettings settings;
    settings.ThemeStyle = ini.readString(QStringLiteral("APPLICATION"),
                                         QStringLiteral("ThemeStyle"), QStringLiteral("Light"));
    OverlayFontSize = ReadOverlayFontSize(ini);
    OverlayDepthColor = uint32_t(ini.readInteger(QStringLiteral("OVERLAY_SETTINGS"),
                                                 QStringLiteral("DepthColor"), 0x800000));
    OverlaySpeedColor = uint32_t(
        ini.readInteger(QStringLiteral("OVERLAY_SETTINGS"), QStringLiteral("SpeedColor"), 0));
    return settings;
}

void ApplyStartStyle(const QString& styleName) {
    if (styleName == StyleManager::defaultStyleName())
        return;
    StyleManager::trySetStyle(styleName, true);
}

void CreateApplicationWindows() {
    // A window never shown in the run keeps the position stored before.
    RecordWindowShowings();
    create(FNav);
    create(Navset, &MainWindowLinks::NavigationSettings());
    create(FShape);
    create(FGPS, &MainWindowLinks::DeviceSettings());
    create(fRealtime, &MainWindowLinks::RealtimeWindow());
    create(FMsg);
    create(Offsets, &MainWindowLinks::SetUpWindow());
    create(formAbout, FNav);
    create(fSVP, &MainWindowLinks::SoundVelocity());
    // The offsets log names the profile while soundings are corrected with it.
    Offsets->SoundVelocityProfileInUse = [] { return fSVP && fSVP->VelocityColumnInUse(); };
    create(fRunline1, &MainWindowLinks::RunlineWindow());
    create(fLatency);
    create(fWaterfal, &MainWindowLinks::EchogramWindow());
    create(fTheme, &MainWindowLinks::ThemeWindow());
    create(fJoystick, FGPS);
    create(fSVPGraph);
    fSVP->GraphEditor = fSVPGraph;
    create(frmNTRIPSettings, &MainWindowLinks::NtripWindow());
    create(fRTCMParsing);
    PlaceFirstShownWindowsClearOfControls();
    Dialogs::keepFileDialogsClearOf([] {
        if (!FNav || !FNav->pRealtime || !FNav->pRealtime->isVisible())
            return QRect();
        return QRect(FNav->pRealtime->mapToGlobal(QPoint(0, 0)), FNav->pRealtime->size());
    });
    // A handler on a timer or a device line that keeps failing tells the operator once, in the
    // message window, rather than in a modal box per line; the day's events log keeps it too.
    RepeatedErrorGuard::setSink([](const QString& text) {
        if (FMsg)
            FMsg->AddMessage(text);
        AutoEventLog(text.toStdString(), EventsLogPath());
    });
    // Events-log entries that found no room (a full disk, the day folder gone) go in as soon
    // as they can, also when nothing else is logged.
    auto* eventsRetry = new QTimer(FNav);
    eventsRetry->setInterval(1000);
    QObject::connect(eventsRetry, &QTimer::timeout, eventsRetry,
                     [] { RetryWaitingEventsLogLines(); });
    eventsRetry->start();
}

const std::vector<QWidget*>& ApplicationWindows() {
    return creationOrder;
}

void DestroyApplicationWindows() {
    RepeatedErrorGuard::setSink(nullptr);
    // The survey's rows get their last try as the main window goes; the events log's too,
    // after them (the survey may log what it lost), and what is lost is said on the terminal.
    const auto reportLostEvents = qScopeGuard([] {
        RetryWaitingEventsLogLines(true);
        for (const WaitingEventsLog& log : WaitingEventsLogLines())
            std::cerr << "Not written for want of room when the program ended, and lost: Events "
                         "log "
                      << log.path << ": " << log.lines << " lines" << std::endl;
    });
    StopPlacingFirstShownWindows();
    Dialogs::keepFileDialogsClearOf(nullptr);
    // The main window's shut-down does not close the sound velocity window: keep its settings.
    if (fSVP)
        ErrorBoundary::run([] { fSVP->SaveSettings(); });
    // The translation editor is made on first use, outside the start-up order.
    delete fTranslationEditor;
    fTranslationEditor = nullptr;
    while (!owned.empty()) {
        OwnedWindow last = std::move(owned.back());
        owned.pop_back();
        creationOrder.pop_back();
        delete last.window;
        last.clearPointer();
    }
}

void EndProgramOrderly() {
    // A request that arrives while the windows are still being made waits for the event loop;
    // ending now would end nothing, and the request would be lost.
    if (QThread::currentThread()->loopLevel() == 0) {
        QTimer::singleShot(0, QCoreApplication::instance(), [] { EndProgramOrderly(); });
        return;
    }
    // A signal or the end of the desktop session cannot wait for room on the disk: the rows
    // that wait get one more try when the windows go, and what is lost is said then.
    if (FNav)
        FNav->CloseWithoutWaiting();
    QCoreApplication::quit();
}

void WatchEndRequests() {
    if (!EndSignals::install([](int) { ErrorBoundary::run([] { EndProgramOrderly(); }); }))
        AutoEventLog("Cannot watch for the end signals: a kill or a closed terminal ends the "
                     "program without its closing steps.",
                     EventsLogPath());
#ifndef QT_NO_SESSIONMANAGER
    // The session manager asks before the desktop session ends; the map is saved then, not
    // lost to the kill that follows.
    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QObject::connect(application, &QGuiApplication::commitDataRequest, application,
                         [](QSessionManager&) { ErrorBoundary::run([] { EndProgramOrderly(); }); });
#endif
}

void StopWatchingEndRequests() {
    EndSignals::uninstall();
}

int RunProgramEntry(const std::function<int()>& body) {
    try {
        return body();
    } catch (const std::exception& error) {
        Dialogs::showError(QString::fromUtf8(error.what()));
    } catch (...) {
        Dialogs::showError(QString());
    }
    return 1;
}
