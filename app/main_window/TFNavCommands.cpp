// The main window's remaining commands: the menu items and tool buttons that show the tool
// windows, the NTRIP hand-over, exit and restart, the status bar's folder and language panels,
// the periodic screenshots and the on-screen keyboards.

#include "app/main_window/MainWindowLinks.h"
#include "app/main_window/TFNav.h"

#include "app/devices/TFGPS.h"
#include "app/main_window/LoadedFileFolder.h"
#include "app/main_window/ProgramRestart.h"
#include "app/main_window/ScreenshotTaker.h"
#include "app/main_window/TStatusBar.h"
#include "app/main_window/TformAbout.h"
#include "app/main_window/TranslationWalk.h"
#include "app/ntrip/TfrmNTRIPSettings.h"
#include "app/runlines/TfRunline1.h"
#include "app/settings_windows/TFShape.h"
#include "app/settings_windows/TNavset.h"
#include "app/sound_velocity/TfSVP.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/widgets/HandlerBinding.h"
#include "app/widgets/TavrinKeyboard.h"
#include "app/widgets/TfTheme.h"
#include "language/TTavrinTranslation.h"

#include "positioning/gnss/TavrinSerialGPS.h"

#include "platform/AppPaths.h"
#include "platform/DataPaths.h"
#include "platform/Dialogs.h"
#include "platform/ErrorBoundary.h"
#include "platform/IniFile.h"
#include "platform/Shell.h"
#include "platform/WindowStacking.h"

#include <QAction>
#include <QCoreApplication>
#include <QFrame>
#include <QTimer>
#include <QToolButton>

void TFNav::BindCommands() {
    BindClick(ConnectIcon, this, &TFNav::ConnectIconClick);
    BindAction(Parameters1, this, &TFNav::Parameters1Click);
    BindAction(NavigationSettings1, this, &TFNav::NavigationSettings1Click);
    BindAction(themeSelection1, this, &TFNav::themeSelection1Click);
    BindAction(SoundVelocityProfile1, this, &TFNav::SoundVelocityProfile1Click);
    BindAction(VesselShape1, this, &TFNav::VesselShape1Click);
    BindClick(tbRunline, this, &TFNav::tbRunlineClick);
    BindAction(Generate1, this, &TFNav::Generate1Click);
    BindAction(OpenLogFolder1, this, &TFNav::OpenLogFolder1Click);
    BindAction(About1, this, &TFNav::About1Click);
    BindAction(RemoteSupport1, this, &TFNav::RemoteSupport1Click);
    BindAction(TavrinNTRIPClient1, this, &TFNav::TavrinNTRIPClient1Click);
    BindClick(bExit, this, &TFNav::bExitClick);
    BindClick(bRestart, this, &TFNav::bRestartClick);

    connect(sStatusBar, &TStatusBar::Click, this,
            [this] { ErrorBoundary::run([this] { StatusBarClick(); }); });
    connect(sStatusBar, &TStatusBar::DblClick, this,
            [this] { ErrorBoundary::run([this] { LanguageToggle(); }); });

    Screenshots = std::make_unique<ScreenshotTaker>();
    // A failed write is told once per spell, like a failed copy, never at every tick.
    Screenshots->OnWritten = [this](const QString& error) {
        screenshotWriteGuard_.run([&error] {
            if (!error.isEmpty())
                throw std::runtime_error(error.toStdString());
        });
    };
    connect(tScreenshot, &QTimer::timeout, this, [this] { tScreenshotTimer(); });
}

void TFNav::ConnectIconClick() {
    WindowStacking::showInFront(FGPS);
}

void TFNav::Parameters1Click() {
    WindowStacking::showInFront(FGPS);
}

void TFNav::NavigationSettings1Click() {
    WindowStacking::showInFront(Navset);
}

void TFNav::themeSelection1Click() {
    WindowStacking::showInFront(fTheme);
}

void TFNav::SoundVelocityProfile1Click() {
    WindowStacking::showInFront(fSVP);
}

void TFNav::VesselShape1Click() {
    WindowStacking::showInFront(FShape);
}

void TFNav::tbRunlineClick() {
    WindowStacking::showInFront(fRunline1);
}

void TFNav::Generate1Click() {
    Save1Click();
    // The window's own show takes its stored place, unless it has stood somewhere in this run:
    // one the operator moved stays where it is.
    WindowStacking::showInFront(fRunline1);
}

void TFNav::OpenLogFolder1Click() {
    if (fRealtime && fRealtime->btOpenLogFolder)
        fRealtime->btOpenLogFolder->click();
}

void TFNav::About1Click() {
    // Application-modal without a nested event loop of its own (open() would make it modal to
    // its parent window only).
    WindowStacking::showModal(formAbout);
}

void TFNav::RemoteSupport1Click() {
    // There is no remote-support program on this system, and nothing is ever started from the
    // working folder.
    Dialogs::showMessage(QStringLiteral("Remote support is not available on this system."));
}

void TFNav::TavrinNTRIPClient1Click() {
    if (!frmNTRIPSettings) {
        auto* window = new TfrmNTRIPSettings(&MainWindowLinks::NtripWindow(), this);
        window->setWindowFlag(Qt::Window, true);
        connect(window, &QObject::destroyed, this, [window] {
            if (frmNTRIPSettings == window)
                frmNTRIPSettings = nullptr;
        });
        frmNTRIPSettings = window;
    }
    // The channel refuses writes once the port has closed, so the client can keep it safely.
    if (ZGPS1 && ZGPS1->Connected) {
        frmNTRIPSettings->SetGpsPort(
            ZGPS1->Handle, QString::fromStdString(TTavrinSerialGPS::PortName(ZGPS1->PortNumber)));
        frmNTRIPSettings->UpdateVesselPosition(double(ZGPS1->GetLatitude()),
                                               double(ZGPS1->GetLongitude()),
                                               double(ZGPS1->GetAltitude()));
    }
    WindowStacking::showInFront(frmNTRIPSettings);
}

void TFNav::bExitClick() {
    // The closing steps are skipped on purpose; the windows and ports still go when the entry
    // destroys the windows after the loop.
    QCoreApplication::exit(255);
}

void TFNav::bRestartClick() {
    RequestRestart();
    close();
}

void TFNav::StatusBarClick() {
    if (!sStatusBar || LastLoadedFile.empty())
        return;
    const int x = sStatusBar->ClickPosition().x();
    const int left = sStatusBar->PanelLeft(3);
    const int right = left + sStatusBar->PanelWidth(3);
    if (x < left || x > right)
        return;
    const std::string folder = LoadedFileFolder(LastLoadedFile);
    if (!folder.empty())
        Shell::openFolder(QString::fromStdString(folder));
}

void TFNav::LanguageToggle() {
    if (!Translator || !sStatusBar || sStatusBar->PanelCount() <= 4)
        return;
    if (Translator->CurrentLanguage != "en") {
        Translator->SetLanguage("en");
        sStatusBar->SetPanelText(4, QStringLiteral("EN"));
    } else {
        Translator->SetLanguage("tr");
        sStatusBar->SetPanelText(4, QStringLiteral("TR"));
    }
    TranslateUi(this);
    IniFile ini(AppPaths::settingsFile());
    ini.writeString(QStringLiteral("SETTINGS"), QStringLiteral("Language"),
                    QString::fromStdString(Translator->CurrentLanguage));
    if (!ini.flush())
        Dialogs::showError(QStringLiteral("Cannot write the settings file %1: the language is "
                                          "not kept for the next start.")
                               .arg(AppPaths::settingsFile()));
}

void TFNav::tScreenshotTimer() {
    if (!Screenshots)
        return;
    screenshotGuard_.run([this] { Screenshots->Tick(DayFolder); });
}

int TFNav::KeyboardTop(int height) const {
    // The status bar is read all the time; the panel stands above it, the margin of 10 pixels
    // kept from it.
    const int bottom = pRealtime && !pRealtime->isHidden()
                           ? pRealtime->mapTo(this, QPoint(0, 0)).y()
                           : this->height();
    return bottom - height - 10;
}

void TFNav::ShowNumericKeypad(QWidget* control) {
    if (!NumericKeypad)
        NumericKeypad = new TTavrinNumericKeypad(this);
    NumericKeypad->TypeInto(control);
    // The panel is a window of its own, placed over this one.
    NumericKeypad->move(mapToGlobal(QPoint(width() - TTavrinNumericKeypad::PanelWidth - 10,
                                           KeyboardTop(TTavrinNumericKeypad::PanelHeight))));
    NumericKeypad->show();
    NumericKeypad->raise();
}

void TFNav::ShowSimpleKeyboard(QWidget* control) {
    if (!SimpleKeyboard)
        SimpleKeyboard = new TTavrinSimpleKeyboard(this);
    SimpleKeyboard->TypeInto(control);
    SimpleKeyboard->move(mapToGlobal(QPoint((width() - TTavrinSimpleKeyboard::PanelWidth) / 2,
                                            KeyboardTop(TTavrinSimpleKeyboard::PanelHeight))));
    SimpleKeyboard->show();
    SimpleKeyboard->raise();
}
