// The main window's side of acquisition: Start/Stop and the device events, over the windows.

#include "app/devices/TFGPS.h"
#include "app/devices/TfJoystick.h"
#include "app/main_window/TFNav.h"
#include "app/settings_windows/TNavset.h"
#include "app/sound_velocity/TfSVP.h"
#include "app/survey_windows/AcquisitionSession.h"
#include "app/survey_windows/SurveyStateAccess.h"
#include "app/survey_windows/TOffsets.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/survey_windows/TfWaterfal.h"
#include "app/widgets/TFMsg.h"
#include "canvas/TTavrinCanvas.h"
#include "language/TTavrinTranslation.h"
#include "platform/AppPaths.h"
#include "platform/ColorValue.h"
#include "platform/Dialogs.h"
#include "platform/ErrorBoundary.h"
#include "platform/EventLog.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"
#include "platform/ScanFormat.h"
#include "positioning/gnss/TavrinSerialGPS.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <memory>

namespace {

std::string ReadText(const IniFile& ini, const char* section, const char* key,
                     const char* defaultValue) {
    return ini.readString(QString::fromLatin1(section), QString::fromLatin1(key),
                          QString::fromLatin1(defaultValue))
        .toStdString();
}

std::string Std(const QLineEdit* edit) {
    return edit->text().toStdString();
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// Acquisition's view of the main window and the tool windows. The device settings window's
// switches, sounder type and format are taken when Start is pressed and hold for the run: Start
// checks them together, and a format half typed during a run must not drop its soundings.
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
    // The geodetic page's edits and switches as they stand.
    GeodeticTexts GeodeticSettings() override {
        GeodeticTexts t;
        if (!FGPS)
            return t;
        t.edSMA = Std(FGPS->edSMA);
        t.edIF = Std(FGPS->edIF);
        t.edRX = Std(FGPS->edRX);
        t.edRY = Std(FGPS->edRY);
        t.edRZ = Std(FGPS->edRZ);
        t.edSX = Std(FGPS->edSX);
        t.edSY = Std(FGPS->edSY);
        t.edSZ = Std(FGPS->edSZ);
        t.edPPM = Std(FGPS->edPPM);
        t.edCM = Std(FGPS->edCM);
        t.edRL = Std(FGPS->edRL);
        t.edSF = Std(FGPS->edSF);
        t.edFE = Std(FGPS->edFE);
        t.edFN = Std(FGPS->edFN);
        t.eLCCSP1 = Std(FGPS->eLCCSP1);
        t.eLCCSP2 = Std(FGPS->eLCCSP2);
        t.eLCCSF = Std(FGPS->eLCCSF);
        t.eLCCCP = Std(FGPS->eLCCCP);
        t.eLCCM = Std(FGPS->eLCCM);
        t.eLCCFE = Std(FGPS->eLCCFE);
        t.eLCCFN = Std(FGPS->eLCCFN);
        t.NameOfDatum = Std(FGPS->edNameOfDatum);
        t.UseDtp = FGPS->cbUseDTP->isChecked();
        t.UseTm = FGPS->cbUseTMProjection->isChecked();
        t.UseLcc = FGPS->cbUseLCCProjection->isChecked();
        t.LambertOneParallel = FGPS->cLambert1->isChecked();
        return t;
    }
    bool GeodeticSettingsUsable(std::string* reason, std::string* control) override {
        if (!FGPS) {
            *reason = "the device settings window is missing";
            return false;
        }
        QString why;
        QString edit;
        if (FGPS->GeodeticParametersValid(&why, &edit))
            return true;
        *reason = why.toStdString();
        *control = edit.toStdString();
        return false;
    }
    bool SensorEnabled() override { return sensorEnabled_; }
    bool GyroEnabled() override { return FGPS && FGPS->GyroEnabled->isChecked(); }
    std::string SounderTypeName() override { return sounderType_; }
    std::string SounderFormat() override { return sounderFormat_; }
    int SounderFormatValues(const std::string& format, std::string* reason) override {
        std::string error;
        const ScanFormat compiled = CompileSounderFormat(format, error);
        if (compiled.valid)
            return compiled.numberCount;
        if (reason)
            *reason = error;
        return -1;
    }
    // Presses "GPS Set", then "SBES Set" when the sounder will be opened: a sounder page left
    // empty must not keep a survey without a sounder from starting.
    bool CopyPortSettings() override {
        if (!FGPS || !FGPS->GPSSetClick())
            return false;
        return !sensorEnabled_ || FGPS->SensorSetClick();
    }
    // The navigation settings' last accepted alert depth: a half-typed field never stops a line.
    double ShallowAlertDepth() override {
        return Navset ? Navset->Settings().DepthAlert : NavigationSettings().DepthAlert;
    }
    // The column in use while "Use Sound Velocity Profile" is checked; it survives a rebuild.
    const std::vector<std::string>* SoundVelocityColumn() override {
        return fSVP ? fSVP->VelocityColumnInUse() : nullptr;
    }
    bool EnglishMessages() override { return !Translator || Translator->CurrentLanguage == "en"; }

    // Takes the device settings window's sensor switch, sounder type and format for the run.
    void TakeDeviceSettings() {
        sensorEnabled_ = FGPS && FGPS->SensorEnabled->isChecked();
        sounderType_ = FGPS ? FGPS->cSBESMessage->currentText().toStdString() : std::string();
        sounderFormat_ = FGPS ? Std(FGPS->eSBESFormat) : std::string();
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
    void ShowRunning(bool running) override { nav_->ShowAcquisitionState(running); }
    void SetRealtimePressed(bool pressed) override { nav_->Realtime->setChecked(pressed); }
    bool RealtimePressed() override { return nav_->Realtime->isChecked(); }
    void GnssBox(uint32_t colour) override {
        if (fRealtime)
            TfRealtime::SetBoxColour(fRealtime->GPSGroupBox, ColorFromBgr(colour));
    }
    // The device settings window shows it only while it is visible and the monitor is on.
    void MonitorLine(bool gnss, const std::string& line) override {
        if (FGPS)
            FGPS->AppendMonitorLine(gnss ? nav_->ZGPS1 : nav_->ZSENSOR, line);
    }
    // The map tick reads the label back for its status text.
    void Speed(double knots) override {
        if (fRealtime)
            fRealtime->Speed->setText(Text(FormatFixed(knots, 1, 20)));
    }
    void SounderLineShown(const SounderLineOutcome& outcome, const std::string& type) override {
        if (outcome.Activated && fWaterfal)
            fWaterfal->show();
        if (!fRealtime)
            return;
        if (outcome.Activated) {
            fRealtime->DepthFrameHi->show();
            const auto known = SounderTypeFromName(type);
            const bool low = known && SounderCarriesLow(*known);
            if (low)
                fRealtime->DepthFrameLo->show();
            // The window keeps its height, unless a run without the sounder left it at the
            // GNSS box alone: a depth shown below the window's edge is no depth shown.
            const int needed =
                low ? TfRealtime::HeightWithBothDepths : TfRealtime::HeightWithHighDepth;
            if (fRealtime->height() < needed)
                fRealtime->resize(fRealtime->width(), needed);
        }
        // Lime again after a silence painted them red, whatever the line holds.
        TfRealtime::SetBoxColour(fRealtime->DepthFrameHi, QColor(0, 255, 0));
        TfRealtime::SetBoxColour(fRealtime->DepthFrameLo, QColor(0, 255, 0));
        if (!outcome.Taken)
            return;
        if (!outcome.Valid) {
            fRealtime->lDepthHi->setText(QStringLiteral("--.-"));
            fRealtime->lDepthLo->setText(QStringLiteral("--.-"));
            return;
        }
        fRealtime->lDepthHi->setText(Text(FormatFixed(outcome.TrueDepthHigh, 2, 20)));
        fRealtime->lDepthLo->setText(Text(FormatFixed(outcome.TrueDepthLow, 2, 20)));
        if (outcome.Battery && fJoystick)
            fJoystick->ShowBatteryValue(*outcome.Battery);
    }
    void ShallowAlert(bool shallow) override {
        TTavrinCanvas* canvas = nav_->fcad;
        if (!canvas)
            return;
        const uint32_t normal =
            Navset ? Navset->Settings().BackgroundColor : NavigationSettings().BackgroundColor;
        // A new colour repaints the map; the same colour again changes nothing on the screen,
        // so a sounding asks for no paint (ten a second would repaint the whole map each).
        const uint32_t wanted = shallow ? 0x0000FFu : normal;
        if (canvas->BackColor != wanted)
            canvas->SetBackColor(wanted);
    }
    // The first sounder line shows the depth frames again; without the sounder the window
    // keeps only the GNSS box.
    void AcquisitionStarted(bool sensorEnabled) override {
        if (!fRealtime)
            return;
        fRealtime->DepthFrameHi->hide();
        fRealtime->DepthFrameLo->hide();
        if (!sensorEnabled)
            fRealtime->resize(fRealtime->width(), TfRealtime::HeightWithoutDepths);
    }
    void AcquisitionStopped() override {
        if (fWaterfal)
            fWaterfal->hide();
    }
    // The echogram timer reports the silence through TFNav::ZSENSORTimeout.
    void SensorSilent() override {}
    void GnssConnected() override {
        if (nav_->fcad)
            VesselLayerId = nav_->fcad->LayerFindByName(QStringLiteral("~~Tavrin Vessel"));
    }

private:
    TFNav* nav_;
    bool sensorEnabled_ = false;
    std::string sounderType_;
    std::string sounderFormat_;
};

} // namespace

void TFNav::CreateAcquisition() {
    auto windows = std::make_shared<TFNavAcquisitionWindows>(this);
    SounderScanFunction scan = [](const std::string& format, const std::string& line, double* out,
                                  bool* notFinite) {
        return ScanSounderLine(line, format, out, notFinite);
    };
    Acquisition = new AcquisitionSession(ZGPS1, ZSENSOR, tMap, tEchogram, windows.get(),
                                         windows.get(), scan, this, &SurveyAcquisitionState());
    Acquisition->KeepAlive(windows);
    Acquisition->BeforeStart = [windows] { windows->TakeDeviceSettings(); };
    Acquisition->BindPorts();
    connect(Realtime, &QToolButton::clicked, this, [this] { RealtimeClick(); });
    connect(tMap, &QTimer::timeout, this, [this] { tMapTimer(); });
}

void TFNav::ShowAcquisitionState(bool running) {
    // The button carries its own face and caption colours in both states, so that the caption
    // reads the same under every theme (white on dark red is about 7.4:1, navy on the light
    // face about 14:1): a red "Stop" says a survey is being recorded.
    // In the interface's language: a Turkish operator reads "Durdur", not "Stop".
    const std::string key = running ? "Stop" : "Start";
    Realtime->setText(QString::fromStdString(InterfaceText(key)));
    const char* face = running ? "#b00000" : "#f0f0f0";
    const char* caption = running ? "#ffffff" : "#000080";
    const char* edge = running ? "#600000" : "#808080";
    Realtime->setStyleSheet(QStringLiteral("QToolButton { background-color: %1; color: %2; "
                                           "border: 1px solid %3; border-radius: 3px; }")
                                .arg(QLatin1String(face), QLatin1String(caption),
                                     QLatin1String(edge)));
    // Green behind the tool bar while running; stopped, the bar takes the theme's face colour
    // again (an explicit colour left in its palette would keep it green).
    if (running) {
        QPalette bar = tRealtime->palette();
        bar.setColor(QPalette::Window, QColor(0, 0x80, 0));
        bar.setColor(QPalette::Button, QColor(0, 0x80, 0));
        tRealtime->setPalette(bar);
    } else {
        tRealtime->setPalette(QPalette());
    }
    tRealtime->setAutoFillBackground(running);
}

void TFNav::RealtimeClick() {
    ErrorBoundary::run([this] {
        // A new run is the operator going on: the close that waited for room is called off.
        if (Acquisition->RealtimeClick() && closeWhenWritten_)
            closeWhenWritten_->stop();
    });
}

bool TFNav::WaitingRowsLetClose() {
    if (closeWhenWritten_)
        closeWhenWritten_->stop();
    if (!Acquisition || Acquisition->WriteWaitingRows())
        return true;
    const AcquisitionCore& core = Acquisition->Core();
    QString files;
    for (const std::string& text : core.WaitingTexts())
        files += QStringLiteral("\n") + QString::fromStdString(text);
    // Only the run's geodetic parameters may wait: the question names what would be lost.
    const QString waiting =
        core.WaitingRows() > 0 ? QStringLiteral("%1 survey rows").arg(core.WaitingRows())
                               : QStringLiteral("The run's geodetic parameters");
    const QString question =
        QStringLiteral("%1 wait in memory for room on the disk and are not in their files "
                       "yet:%2\n\nWait until room is freed? Yes: the program keeps trying and "
                       "closes once they are written. No: it closes now and they are lost.")
            .arg(waiting, files);
    if (!Dialogs::confirmYesNo(question))
        return true;
    if (!closeWhenWritten_) {
        closeWhenWritten_ = new QTimer(this);
        closeWhenWritten_->setInterval(int(DurableLogWriter::kRetryIntervalMs));
        connect(closeWhenWritten_, &QTimer::timeout, this, [this] {
            if (Acquisition && !Acquisition->WriteWaitingRows())
                return;
            closeWhenWritten_->stop();
            close();
        });
    }
    closeWhenWritten_->start();
    return false;
}

void TFNav::CloseWithoutWaiting() {
    endCannotWait_ = true;
    close();
}
