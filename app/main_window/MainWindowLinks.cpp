#include "app/main_window/MainWindowLinks.h"

#include "app/devices/DeviceSettingsLinks.h"
#include "app/devices/TFGPS.h"
#include "app/main_window/TFNav.h"
#include "app/ntrip/NtripWindowLinks.h"
#include "app/ntrip/TfrmNTRIPSettings.h"
#include "app/runlines/RunlineWindowLinks.h"
#include "app/settings_windows/NavigationSettingsLinks.h"
#include "app/sound_velocity/SoundVelocityLinks.h"
#include "app/sound_velocity/TfSVP.h"
#include "app/survey_windows/EchogramWindowLinks.h"
#include "app/survey_windows/RealtimeWindowLinks.h"
#include "app/survey_windows/SetUpWindowLinks.h"
#include "app/survey_windows/TOffsets.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/widgets/StyleManager.h"
#include "app/widgets/TFMsg.h"
#include "app/widgets/ThemeWindowLinks.h"
#include "canvas/TTavrinCanvas.h"
#include "platform/WindowStacking.h"
#include "positioning/gnss/TavrinSerialGPS.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

TTavrinCanvas* MainMap() {
    return FNav ? FNav->fcad : nullptr;
}

std::optional<QPoint> MainWindowCentre() {
    if (!FNav)
        return std::nullopt;
    return FNav->frameGeometry().center();
}

class DeviceSettingsAnswers final : public DeviceSettingsLinks {
public:
    TTavrinCanvas* Map() override { return MainMap(); }
    QTimer* ScreenshotTimer() override { return FNav ? FNav->tScreenshot : nullptr; }
    TTavrinSerialGPS* Port(bool gnss) override {
        return FNav ? (gnss ? FNav->ZGPS1 : FNav->ZSENSOR) : nullptr;
    }
    bool PortMonitorActive() override { return FNav && FNav->PortMonitorActive; }
    void SetPortMonitorActive(bool active) override {
        if (FNav)
            FNav->PortMonitorActive = active;
    }
    void ShowLowFrequencyFrame(bool shown) override {
        if (!fRealtime)
            return;
        if (shown)
            fRealtime->ShowLowFreqFrame();
        else
            fRealtime->HideLowFreqFrame();
    }
};

class NavigationSettingsAnswers final : public NavigationSettingsLinks {
public:
    TTavrinCanvas* Map() override { return MainMap(); }
    QTimer* MapTimer() override { return FNav ? FNav->tMap : nullptr; }
    bool ClosingProgram() override { return FNav && FNav->InClosingSteps(); }
};

class SetUpWindowAnswers final : public SetUpWindowLinks {
public:
    void SaveProject() override {
        if (FNav && FNav->Save1)
            FNav->Save1->trigger();
    }
    void StartSurvey() override {
        if (FNav && FNav->Realtime)
            FNav->Realtime->click();
    }
    void ShowSoundVelocity() override { WindowStacking::showInFront(fSVP); }
    void ShowNtripModally() override {
        if (frmNTRIPSettings)
            frmNTRIPSettings->ShowModally();
    }
    void ShowKeyboard(QLineEdit* field, bool text) override {
        if (!FNav)
            return;
        if (text)
            FNav->ShowSimpleKeyboard(field);
        else
            FNav->ShowNumericKeypad(field);
    }
};

class RealtimeWindowAnswers final : public RealtimeWindowLinks {
public:
    void DelayedSounderTypeRun() override {
        if (FGPS)
            FGPS->cSBESMessageChange(TFGPS::TypeChangeSource::DelayedStart);
    }
    void RestoreChrome() override {
        if (FNav)
            FNav->RestoreChrome();
    }
    void HideChrome() override {
        if (FNav)
            FNav->HideChrome();
    }
    void ZoomIn() override {
        if (FNav && FNav->Zoomin)
            FNav->Zoomin->click();
    }
    void ZoomOut() override {
        if (FNav && FNav->Zoomout)
            FNav->Zoomout->click();
    }
    std::string GnssLogFileName() override {
        return FNav && FNav->ZGPS1 ? FNav->ZGPS1->LogFileName : std::string();
    }
    void ShowSetUp() override { WindowStacking::showInFront(Offsets); }
};

class EchogramWindowAnswers final : public EchogramWindowLinks {
public:
    QTimer* EchogramTimer() override { return FNav ? FNav->tEchogram : nullptr; }
};

class SoundVelocityAnswers final : public SoundVelocityLinks {
public:
    void ShowSoundVelocityUse(bool profileUsed, const QString& caption) override {
        if (!Offsets)
            return;
        Offsets->SV->setEnabled(!profileUsed);
        Offsets->bSVP->setText(caption);
    }
    void Message(const QString& text) override {
        if (FMsg)
            FMsg->AddMessage(text);
    }
    void SaveProject() override {
        if (FNav)
            FNav->Save1Click();
    }
};

class RunlineWindowAnswers final : public RunlineWindowLinks {
public:
    TTavrinCanvas* Map() override { return MainMap(); }
};

class ThemeWindowAnswers final : public ThemeWindowLinks {
public:
    void RepaintMapBackground() override {
        if (TTavrinCanvas* map = MainMap()) {
            map->SetBackColor(StyleManager::panelColor());
            map->Refresh();
        }
    }
    std::optional<QPoint> MainWindowCentre() override { return ::MainWindowCentre(); }
};

class NtripWindowAnswers final : public NtripWindowLinks {
public:
    TTavrinSerialGPS* GnssPort() override { return FNav ? FNav->ZGPS1 : nullptr; }
    std::optional<QPoint> MainWindowCentre() override { return ::MainWindowCentre(); }
};

// One answering object for the program's life.
template <typename Answers> Answers& Only() {
    static Answers answers;
    return answers;
}

} // namespace

namespace MainWindowLinks {

DeviceSettingsLinks& DeviceSettings() {
    return Only<DeviceSettingsAnswers>();
}

NavigationSettingsLinks& NavigationSettings() {
    return Only<NavigationSettingsAnswers>();
}

SetUpWindowLinks& SetUpWindow() {
    return Only<SetUpWindowAnswers>();
}

RealtimeWindowLinks& RealtimeWindow() {
    return Only<RealtimeWindowAnswers>();
}

EchogramWindowLinks& EchogramWindow() {
    return Only<EchogramWindowAnswers>();
}

SoundVelocityLinks& SoundVelocity() {
    return Only<SoundVelocityAnswers>();
}

RunlineWindowLinks& RunlineWindow() {
    return Only<RunlineWindowAnswers>();
}

ThemeWindowLinks& ThemeWindow() {
    return Only<ThemeWindowAnswers>();
}

NtripWindowLinks& NtripWindow() {
    return Only<NtripWindowAnswers>();
}

} // namespace MainWindowLinks
