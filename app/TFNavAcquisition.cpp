// The main window's side of acquisition: Start/Stop and the device events, over the windows.

#include "app/AcquisitionSession.h"
#include "app/SurveyStateAccess.h"
#include "app/TFGPS.h"
#include "app/TFMsg.h"
#include "app/TFNav.h"
#include "app/TNavset.h"
#include "app/TOffsets.h"
#include "app/TTavrinTranslation.h"
#include "app/TfSVP.h"
#include "app/TfWaterfal.h"
#include "canvas/TTavrinCanvas.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/ErrorBoundary.h"
#include "platform/EventLog.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"
#include "positioning/gnss/TavrinSerialGPS.h"

#include <QPalette>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <memory>

// The restricted scanner of operator formats; until it is part of the build no sounder format
// is accepted, so Start with the sounder enabled says so instead of logging nothing.
#if __has_include("platform/ScanFormat.h")
#include "platform/ScanFormat.h"
#define TAVRIN_SOUNDER_SCANNER 1
#endif

namespace {

std::string ReadText(const IniFile& ini, const char* section, const char* key,
                     const char* defaultValue) {
    return ini.readString(QString::fromLatin1(section), QString::fromLatin1(key),
                          QString::fromLatin1(defaultValue))
        .toStdString();
}

// Acquisition's view of the main window and the tool windows. While the survey set-up, device
// settings and navigation settings windows are still frames without controls, their stored
// values stand in for them: read from the settings file when the port settings are copied at
// Start, so a line never waits for the file.
class TFNavAcquisitionWindows : public AcquisitionInputs, public AcquisitionDisplay {
public:
    explicit TFNavAcquisitionWindows(TFNav* nav) : nav_(nav) {}

    // AcquisitionInputs
    // The set-up window's accepted set-up; before any, the stored texts, so that Start names
    // the field to mend.
    SetupTexts SurveySetupTexts() override {
        SetupTexts texts;
        if (Offsets && Offsets->AcceptedSetup()) {
            const AcceptedSurveySetup& setup = *Offsets->AcceptedSetup();
            texts.OffsetA = FormatGeneral(setup.offsetA, 17);
            texts.SV = FormatGeneral(setup.soundVelocity, 17);
            texts.OffsetC = FormatGeneral(setup.offsetC, 17);
            texts.TideHt = FormatGeneral(setup.tideHeight, 17);
            return texts;
        }
        const IniFile ini(AppPaths::settingsFile());
        texts.OffsetA = ReadText(ini, "ECHOSOUNDER_OFFSETS", "Offset A", "");
        texts.SV = ReadText(ini, "ECHOSOUNDER_OFFSETS", "SV", "");
        texts.OffsetC = ReadText(ini, "ECHOSOUNDER_OFFSETS", "Offset C", "");
        texts.TideHt = ReadText(ini, "ECHOSOUNDER_OFFSETS", "Tide Height", "");
        return texts;
    }
    // While the set-up window is shown its values are being typed: the copies stay.
    bool SetupWindowVisible() override { return Offsets && Offsets->isVisible(); }
    GeodeticTexts GeodeticSettings() override { return geodetic_; }
    bool SensorEnabled() override { return sensorEnabled_; }
    bool GyroEnabled() override { return false; }
    std::string SounderTypeName() override { return sounderType_; }
    std::string SounderFormat() override { return sounderFormat_; }
    int SounderFormatValues(const std::string& format, std::string* reason) override {
#ifdef TAVRIN_SOUNDER_SCANNER
        std::string error;
        const ScanFormat compiled = CompileSounderFormat(format, error);
        if (compiled.valid)
            return compiled.numberCount;
        if (reason)
            *reason = error;
        return -1;
#else
        (void)format;
        if (reason)
            *reason = "no scanner in this build";
        return -1;
#endif
    }
    bool CopyPortSettings() override { return true; }
    // The navigation settings' last accepted alert depth: a half-typed field never stops a line.
    double ShallowAlertDepth() override {
        return Navset ? Navset->Settings().DepthAlert : NavigationSettings().DepthAlert;
    }
    // The column in use while "Use Sound Velocity Profile" is checked; it survives a rebuild.
    const std::vector<std::string>* SoundVelocityColumn() override {
        return fSVP ? fSVP->VelocityColumnInUse() : nullptr;
    }
    bool EnglishMessages() override { return !Translator || Translator->CurrentLanguage == "en"; }

    // Takes the stored values the stand-in windows would show.
    void LoadStoredSettings() {
        const IniFile ini(AppPaths::settingsFile());
        const char* g = "GEODETIC_PARAMETERS";
        GeodeticTexts t;
        t.edSMA = ReadText(ini, g, "SemiMajorAxis", "6378137");
        t.edIF = ReadText(ini, g, "InverseFlattening", "0.0033528106647474");
        t.edRX = ReadText(ini, g, "X_Rotation", "0");
        t.edRY = ReadText(ini, g, "Y_Rotation", "0");
        t.edRZ = ReadText(ini, g, "Z_Rotation", "0");
        t.edSX = ReadText(ini, g, "X_Shift", "0");
        t.edSY = ReadText(ini, g, "Y_Shift", "0");
        t.edSZ = ReadText(ini, g, "Z_Shift", "0");
        t.edPPM = ReadText(ini, g, "Scale_PPM", "0");
        t.edCM = ReadText(ini, g, "Central_Meridian", "33");
        t.edRL = ReadText(ini, g, "Reference_Latitude", "0");
        t.edSF = ReadText(ini, g, "Scale_Factor", "0.9996");
        t.edFE = ReadText(ini, g, "False_Easting", "500000");
        t.edFN = ReadText(ini, g, "False_Northing", "0");
        t.eLCCSP1 = ReadText(ini, g, "eLCCSP1", "37");
        t.eLCCSP2 = ReadText(ini, g, "eLCCSP2", "41");
        t.eLCCSF = ReadText(ini, g, "eLCCSF", "1");
        t.eLCCCP = ReadText(ini, g, "eLCCCP", "39");
        t.eLCCM = ReadText(ini, g, "eLCCM", "33");
        t.eLCCFE = ReadText(ini, g, "eLCCFE", "0");
        t.eLCCFN = ReadText(ini, g, "eLCCFN", "0");
        t.NameOfDatum = ReadText(ini, g, "Name of Datum", "");
        t.UseDtp = ini.readBool(QString::fromLatin1(g), QStringLiteral("Use DTP"), false);
        t.UseTm = ini.readBool(QString::fromLatin1(g), QStringLiteral("Use Projection"), false);
        t.UseLcc = ini.readBool(QString::fromLatin1(g), QStringLiteral("cbUseLCCProjection"), false);
        t.LambertOneParallel = ini.readBool(QString::fromLatin1(g), QStringLiteral("cLambert1"), false);
        geodetic_ = t;
        const QString sensor = QStringLiteral("SENSOR COMUNICATION SETTINGS");
        sensorEnabled_ = ini.readBool(sensor, QStringLiteral("Sensor Enabled"), false);
        sounderType_ = ReadText(ini, "SENSOR COMUNICATION SETTINGS", "cSBESMessage", "Tavrin SMT");
        sounderFormat_ = ReadText(ini, "SENSOR COMUNICATION SETTINGS", "eSBESFormat", "");
    }

    // AcquisitionDisplay
    void Message(const std::string& text, bool show) override {
        if (FMsg) {
            if (show)
                FMsg->AddMessage(QString::fromStdString(text));
            else
                FMsg->Msg->appendPlainText(QString::fromStdString(text));
        }
        AutoEventLog(text, EventsLogPath());
    }
    void MemoOnly(const std::string& text) override {
        if (FMsg)
            FMsg->Msg->appendPlainText(QString::fromStdString(text));
    }
    void EventLogOnly(const std::string& text) override { AutoEventLog(text, EventsLogPath()); }
    void RefuseStart(const std::string& text, const std::string& control) override {
        Dialogs::showWarning(QString::fromStdString(text));
        if (control.empty())
            return;
        for (QWidget* window : {static_cast<QWidget*>(Offsets), static_cast<QWidget*>(FGPS)}) {
            if (!window)
                continue;
            if (auto* field = window->findChild<QWidget*>(QString::fromStdString(control))) {
                field->setFocus();
                return;
            }
        }
    }
    void ShowRunning(bool running) override {
        QToolButton* button = nav_->Realtime;
        button->setText(running ? QStringLiteral("Stop") : QStringLiteral("Start"));
        QPalette palette = button->palette();
        palette.setColor(QPalette::ButtonText, running ? QColor(Qt::white) : QColor(0, 0, 0x80));
        button->setPalette(palette);
        // Green behind the tool bar while running; stopped, the bar paints no background of
        // its own and shows the window's face colour again.
        QPalette bar = nav_->tRealtime->palette();
        bar.setColor(QPalette::Window, QColor(0, 0x80, 0));
        nav_->tRealtime->setPalette(bar);
        nav_->tRealtime->setAutoFillBackground(running);
    }
    void SetRealtimePressed(bool pressed) override { nav_->Realtime->setChecked(pressed); }
    bool RealtimePressed() override { return nav_->Realtime->isChecked(); }
    void GnssBox(uint32_t) override {}
    void MonitorLine(bool, const std::string&) override {}
    void Speed(double) override {}
    void SounderLineShown(const SounderLineOutcome& outcome, const std::string&) override {
        if (outcome.Activated && fWaterfal)
            fWaterfal->show();
    }
    void ShallowAlert(bool shallow) override {
        TTavrinCanvas* canvas = nav_->fcad;
        if (!canvas)
            return;
        const uint32_t normal =
            Navset ? Navset->Settings().BackgroundColor : NavigationSettings().BackgroundColor;
        const uint32_t wanted = shallow ? 0x0000FFu : normal;
        if (canvas->BackColor != wanted)
            canvas->SetBackColor(wanted);
        canvas->update();
    }
    void AcquisitionStarted(bool) override {}
    void AcquisitionStopped() override {
        if (fWaterfal)
            fWaterfal->hide();
    }
    void SensorSilent() override {}
    void GnssConnected() override {
        if (nav_->fcad)
            VesselLayerId = nav_->fcad->LayerFindByName(QStringLiteral("~~Tavrin Vessel"));
    }

private:
    TFNav* nav_;
    GeodeticTexts geodetic_;
    bool sensorEnabled_ = false;
    std::string sounderType_;
    std::string sounderFormat_;
};

} // namespace

void TFNav::CreateAcquisition() {
    auto windows = std::make_shared<TFNavAcquisitionWindows>(this);
    SounderScanFunction scan;
#ifdef TAVRIN_SOUNDER_SCANNER
    scan = [](const std::string& format, const std::string& line, double* out) {
        return ScanSounderLine(line, format, out);
    };
#endif
    Acquisition = new AcquisitionSession(ZGPS1, ZSENSOR, tMap, tEchogram, windows.get(),
                                         windows.get(), scan, this, &SurveyAcquisitionState());
    Acquisition->KeepAlive(windows);
    Acquisition->BeforeStart = [windows] { windows->LoadStoredSettings(); };
    Acquisition->BindPorts();
    connect(Realtime, &QToolButton::clicked, this, [this] { RealtimeClick(); });
    connect(tMap, &QTimer::timeout, this, [this] { tMapTimer(); });
}

void TFNav::RealtimeClick() {
    ErrorBoundary::run([this] { Acquisition->RealtimeClick(); });
}

