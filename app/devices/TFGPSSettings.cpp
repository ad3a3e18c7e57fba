// The device settings window's settings file: loading at creation, save-and-lock, and the
// lock state at each showing.

#include "app/devices/DeviceSettingsLinks.h"
#include "app/devices/TFGPS.h"
#include "app/widgets/TColorBox.h"
#include "settings/DisplaySettings.h"
#include "settings/PortPageSettings.h"

#include "canvas/TTavrinCanvas.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/ErrorBoundary.h"
#include "platform/EventLog.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"
#include "platform/ScanFormat.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTabWidget>

namespace {

const QString GpsSection = QStringLiteral("GPS1 COMUNICATION SETTINGS");
const QString SensorSection = QStringLiteral("SENSOR COMUNICATION SETTINGS");
const QString GyroSection = QStringLiteral("GYRO");
const QString GeodeticSection = QStringLiteral("GEODETIC_PARAMETERS");
const QString LockSection = QStringLiteral("LOCK SETTINGS");
const QString GridSection = QStringLiteral("GRID_SETTINGS");
const QString DepthSection = QStringLiteral("DEPTH_LABEL_SETTINGS");
const QString EventSection = QStringLiteral("EVENT_LABEL_SETTINGS");
const QString OverlaySection = QStringLiteral("OVERLAY_SETTINGS");
const QString ScreenshotSection = QStringLiteral("SCREENSHOT");

// Key names of the eleven port settings: read, written for the GNSS port, written (and read)
// for the sounder port. The padding is part of the stored names.
struct PortKey {
    const char* read;
    const char* gnssWritten;
    const char* sensorWritten;
};
constexpr PortKey PortKeys[11] = {
    {"Port No", "Port No        ", "Port No         "},
    {"Baud Rate", "Baud Rate      ", "Baud Rate      "},
    {"Data Width", "Data Width     ", "Data Width     "},
    {"Stop Bits", "Stop Bits      ", "Stop Bits      "},
    {"Parity", "Parity         ", "Parity         "},
    {"Priority", "Priority       ", "Priority       "},
    {"Delay          ", "Delay          ", "Delay          "},
    {"NMEA LOG       ", "NMEA LOG       ", "NMEA LOG       "},
    {"Log Time       ", "Log Time       ", "Log Time       "},
    {"Enable DTR     ", "Enable DTR     ", "Enable DTR     "},
    {"Enable RTS     ", "Enable RTS     ", "Enable RTS     "},
};
const QString SensorEnabledKey = QStringLiteral("Sensor Enabled     ");
const QString GyroEnabledKey = QStringLiteral("Gyro Enabled     ");

// The fourteen edits from "SemiMajorAxis" to "False_Northing", then the Lambert edits.
constexpr const char* GeodeticKeys[14] = {
    "SemiMajorAxis", "InverseFlattening", "X_Rotation",       "Y_Rotation",
    "Z_Rotation",    "X_Shift",           "Y_Shift",          "Z_Shift",
    "Scale_PPM",     "Central_Meridian",  "Reference_Latitude", "Scale_Factor",
    "False_Easting", "False_Northing"};
constexpr const char* LambertKeys[7] = {"eLCCSP1", "eLCCSP2", "eLCCSF", "eLCCCP",
                                        "eLCCM",   "eLCCFE",  "eLCCFN"};

QString Key(const char* name) {
    return QString::fromLatin1(name);
}

std::string Std(const QLineEdit* edit) {
    return edit->text().toStdString();
}

std::string Std(const QComboBox* box) {
    return box->currentText().toStdString();
}

} // namespace

QLineEdit* TFGPS::geodeticEdit(int index) const {
    QLineEdit* const edits[GeodeticEditCount] = {
        edSMA, edIF, edRX, edRY, edRZ, edSX, edSY, edSZ, edPPM, edCM, edRL,
        edSF,  edFE, edFN, eLCCSP1, eLCCSP2, eLCCSF, eLCCCP, eLCCM, eLCCFE, eLCCFN};
    return index >= 0 && index < GeodeticEditCount ? edits[index] : nullptr;
}

void TFGPS::report(const QString& text) {
    if (creating_)
        deferredReports_ << text;
    else
        Dialogs::showError(text);
}

void TFGPS::FormCreate() {
    if (DepthLabelFontName.empty())
        DepthLabelFontName = "Arial";
    loadSettings();
}

void TFGPS::loadSettings() {
    const IniFile ini(AppPaths::settingsFile());

    // Port pages. A missing key leaves its list empty.
    QComboBox* const gnss[11] = {Port,     BaudRate, DataWidth, StopBits,  Parity,   Priority,
                                 Delay,    NMEALog,  LogTime,   EnableDTR, EnableRTS};
    QComboBox* const sensor[11] = {SPort,  SBaudRate, SDataWidth, SStopBits,  SParity,  SPriority,
                                   SDelay, SNMEALog,  SLogTime,   SEnableDTR, SEnableRTS};
    for (int i = 0; i < 11; ++i) {
        gnss[i]->setCurrentText(ini.readString(GpsSection, Key(PortKeys[i].read)));
        sensor[i]->setCurrentText(ini.readString(SensorSection, Key(PortKeys[i].sensorWritten)));
    }
    SensorEnabled->setChecked(ini.readBool(SensorSection, SensorEnabledKey, true));
    {
        // Loading shows the stored type and keeps the stored format: the type's own format
        // comes with the first change of type (or the run after start).
        const QSignalBlocker blocker(cSBESMessage);
        cSBESMessage->setCurrentText(ini.readString(SensorSection, QStringLiteral("cSBESMessage"),
                                                    QStringLiteral("Tavrin SMT")));
    }
    eSBESFormat->setText(ini.readString(SensorSection, QStringLiteral("eSBESFormat"),
                                        QStringLiteral("%*8s,%lf")));
    GyroEnabled->setChecked(ini.readBool(GyroSection, GyroEnabledKey, true));

    loadGeodeticAndLock(ini);
    loadDisplaySettings(ini);

    // A stored lock locks again now, writing back what was just loaded.
    LockStateCheck1->setChecked(ini.readBool(LockSection, QStringLiteral("Lock Settings"), false));
}

void TFGPS::loadGeodeticAndLock(const IniFile& ini) {
    for (int i = 0; i < 14; ++i) {
        QLineEdit* edit = geodeticEdit(i);
        edit->setText(ini.readString(GeodeticSection, Key(GeodeticKeys[i]), edit->text()));
    }
    cbUseTMProjection->setChecked(ini.readBool(GeodeticSection, QStringLiteral("Use Projection"),
                                               cbUseTMProjection->isChecked()));
    cbUseDTP->setChecked(
        ini.readBool(GeodeticSection, QStringLiteral("Use DTP"), cbUseDTP->isChecked()));
    edNameOfDatum->setText(ini.readString(GeodeticSection, QStringLiteral("Name of Datum")));
    for (int i = 0; i < 7; ++i) {
        QLineEdit* edit = geodeticEdit(14 + i);
        edit->setText(ini.readString(GeodeticSection, Key(LambertKeys[i]), edit->text()));
    }
    cbUseLCCProjection->setChecked(ini.readBool(
        GeodeticSection, QStringLiteral("cbUseLCCProjection"), cbUseLCCProjection->isChecked()));
    cLambert1->setChecked(
        ini.readBool(GeodeticSection, QStringLiteral("cLambert1"), cLambert1->isChecked()));

    LockStateCheck1->setText(QStringLiteral("SAVE && LOCK SETTINGS"));

    // An operator may lock or free the pages by hand in the file.
    const QString locked =
        ini.readString(LockSection, QStringLiteral("Settings Locked (true/false)"));
    if (locked == QLatin1String("true"))
        setSettingPagesEnabled(false);
    else if (locked == QLatin1String("false"))
        setSettingPagesEnabled(true);
}

void TFGPS::loadDisplaySettings(const IniFile& ini) {
    cbGridVisible->setChecked(ini.readBool(GridSection, QStringLiteral("GridVisible"), true));
    cbAutoGrid->setChecked(ini.readBool(GridSection, QStringLiteral("AutoGrid"), false));
    edGridSpacingX->setText(
        ini.readString(GridSection, QStringLiteral("GridSpacingX"), QStringLiteral("100")));
    edGridSpacingY->setText(
        ini.readString(GridSection, QStringLiteral("GridSpacingY"), QStringLiteral("100")));
    cbGridColor->SetSelected(
        uint32_t(ini.readInteger(GridSection, QStringLiteral("GridColor"), 12632256)));

    cbShowDepthLabels->setChecked(
        ini.readBool(DepthSection, QStringLiteral("ShowDepthLabels"), true));
    edDepthLabelSpacing->setText(
        ini.readString(DepthSection, QStringLiteral("LabelSpacing"), QStringLiteral("10")));
    edDepthLabelFontName->setText(
        ini.readString(DepthSection, QStringLiteral("FontName"), QStringLiteral("Arial")));
    edDepthLabelFontSize->setText(
        ini.readString(DepthSection, QStringLiteral("FontSize"), QStringLiteral("12")));
    cbTextColor->SetSelected(uint32_t(ini.readInteger(DepthSection, QStringLiteral("TextColor"), 0)));

    edEventLabelFontSize->setText(
        ini.readString(EventSection, QStringLiteral("FontSize"), QStringLiteral("24")));
    cbEventLabelColor->SetSelected(
        uint32_t(ini.readInteger(EventSection, QStringLiteral("TextColor"), 255)));

    edOverlayFontSize->setText(
        ini.readString(OverlaySection, QStringLiteral("FontSize"), QStringLiteral("40")));
    OverlayFontSize = IntegerSettingFromText(Std(edOverlayFontSize), 40);
    cbOverlayDepthColor->SetSelected(
        uint32_t(ini.readInteger(OverlaySection, QStringLiteral("DepthColor"), 8388608)));
    OverlayDepthColor = cbOverlayDepthColor->Selected();
    cbOverlaySpeedColor->SetSelected(
        uint32_t(ini.readInteger(OverlaySection, QStringLiteral("SpeedColor"), 0)));
    OverlaySpeedColor = cbOverlaySpeedColor->Selected();

    {
        // The main window's show hands the stored interval to the edit too, but a stored lock
        // writes the edit back before that: without the stored value here, every start with
        // the lock stored would reset the interval to 60 s.
        const QSignalBlocker blocker(eScreenshotInterval);
        eScreenshotInterval->setText(
            ini.readString(ScreenshotSection, QStringLiteral("Interval"), QStringLiteral("60")));
    }

    updateDisplayValuesFromControls();
    edGridSpacingX->setEnabled(!cbAutoGrid->isChecked());
    edGridSpacingY->setEnabled(!cbAutoGrid->isChecked());
    pushGridIntoCanvas(false);
}

void TFGPS::updateDisplayValuesFromControls() {
    GridVisibleValue = cbGridVisible->isChecked();
    GridAutoValue = cbAutoGrid->isChecked();
    GridSpacingXValue = GridSpacingFromText(Std(edGridSpacingX));
    GridSpacingYValue = GridSpacingFromText(Std(edGridSpacingY));
    GridColorValue = cbGridColor->Selected();
    ShowDepthLabels = cbShowDepthLabels->isChecked();
    DepthLabelSpacing = NumberSettingFromText(Std(edDepthLabelSpacing), 10.0);
    DepthLabelFontName = Std(edDepthLabelFontName);
    DepthLabelFontSize = IntegerSettingFromText(Std(edDepthLabelFontSize), 12);
    DepthLabelColor = cbTextColor->Selected();
    EventLabelFontSize = IntegerSettingFromText(Std(edEventLabelFontSize), 24);
    EventLabelColor = cbEventLabelColor->Selected();
    OverlayFontSize = IntegerSettingFromText(Std(edOverlayFontSize), 40);
    OverlayDepthColor = cbOverlayDepthColor->Selected();
    OverlaySpeedColor = cbOverlaySpeedColor->Selected();
}

void TFGPS::pushGridIntoCanvas(bool repaint) {
    TTavrinCanvas* canvas = Links ? Links->Map() : nullptr;
    if (!canvas)
        return;
    canvas->GridVisible = GridVisibleValue;
    canvas->GridSpacingX = GridAutoValue ? 0.0 : GridSpacingXValue;
    canvas->GridSpacingY = GridAutoValue ? 0.0 : GridSpacingYValue;
    canvas->GridColor = GridColorValue;
    if (repaint)
        canvas->Refresh();
}

void TFGPS::setSettingPagesEnabled(bool enabled) {
    for (QWidget* page : {GPSTabSheet, SensorTabSheet, ParametersTabSheet, tGlobalSetting})
        page->setEnabled(enabled);
}

void TFGPS::setLockBoxQuietly(bool ticked) {
    const QSignalBlocker blocker(LockStateCheck1);
    LockStateCheck1->setChecked(ticked);
}

bool TFGPS::GeodeticParametersValid(QString* reason, QString* control) const {
    std::array<std::string, GeodeticEditCount> texts;
    for (int i = 0; i < GeodeticEditCount; ++i)
        texts[size_t(i)] = Std(geodeticEdit(i));
    std::string why;
    int failed = 0;
    if (CheckGeodeticTexts(texts, why, &failed))
        return true;
    if (reason)
        *reason = QString::fromStdString(why);
    if (control)
        *control = geodeticEdit(failed)->objectName();
    return false;
}

void TFGPS::LockStateCheck1Click() {
    if (LockStateCheck1->isChecked())
        saveAndLock();
    else
        writeUnlockFlag();
}

void TFGPS::writeUnlockFlag() {
    IniFile ini(AppPaths::settingsFile());
    ini.writeBool(LockSection, QStringLiteral("Lock Settings"), false);
    if (!ini.flush()) {
        report(QStringLiteral("Unable to write to %1").arg(ini.fileName()));
        setLockBoxQuietly(true);
        return;
    }
    setSettingPagesEnabled(true);
}

bool TFGPS::saveAndLock() {
    // Nothing is stored, and nothing is locked, that the program cannot use as it stands.
    std::string error;
    if (!CompileSounderFormat(Std(eSBESFormat), error).valid) {
        report(QStringLiteral("Sensor (SBES) Settings: the format (eSBESFormat) \"%1\" is "
                              "refused: %2. Nothing was saved.")
                   .arg(eSBESFormat->text(), QString::fromStdString(error)));
        setLockBoxQuietly(false);
        return false;
    }
    QString reason;
    if (!GeodeticParametersValid(&reason)) {
        report(QStringLiteral("Geodetic Parameters: %1. Nothing was saved.").arg(reason));
        setLockBoxQuietly(false);
        return false;
    }

    {
        // One burst, written at once or not at all.
        IniFile ini(AppPaths::settingsFile());
        ini.writeBool(LockSection, QStringLiteral("Lock Settings"), true);
        writeLockedSettings(ini);
        if (!ini.flush()) {
            report(QStringLiteral("Unable to write to %1").arg(ini.fileName()));
            setLockBoxQuietly(false);
            return false;
        }
    }
    appendSettingsSavedEntries();
    updateDisplayValuesFromControls();
    pushGridIntoCanvas(true);
    setSettingPagesEnabled(false);
    return true;
}

void TFGPS::writeLockedSettings(IniFile& ini) const {
    const QComboBox* const gnss[11] = {Port,  BaudRate, DataWidth, StopBits,  Parity,   Priority,
                                       Delay, NMEALog,  LogTime,   EnableDTR, EnableRTS};
    const QComboBox* const sensor[11] = {SPort,  SBaudRate, SDataWidth, SStopBits,
                                         SParity, SPriority, SDelay,    SNMEALog,
                                         SLogTime, SEnableDTR, SEnableRTS};
    for (int i = 0; i < 11; ++i)
        ini.writeString(GpsSection, Key(PortKeys[i].gnssWritten), gnss[i]->currentText());
    for (int i = 0; i < 11; ++i)
        ini.writeString(SensorSection, Key(PortKeys[i].sensorWritten), sensor[i]->currentText());
    ini.writeBool(SensorSection, SensorEnabledKey, SensorEnabled->isChecked());
    ini.writeString(SensorSection, QStringLiteral("cSBESMessage"), cSBESMessage->currentText());
    ini.writeString(SensorSection, QStringLiteral("eSBESFormat"), eSBESFormat->text());
    ini.writeBool(GyroSection, GyroEnabledKey, GyroEnabled->isChecked());

    for (int i = 0; i < 14; ++i)
        ini.writeString(GeodeticSection, Key(GeodeticKeys[i]), geodeticEdit(i)->text());
    ini.writeBool(GeodeticSection, QStringLiteral("Use Projection"),
                  cbUseTMProjection->isChecked());
    ini.writeBool(GeodeticSection, QStringLiteral("Use DTP"), cbUseDTP->isChecked());
    ini.writeString(GeodeticSection, QStringLiteral("Name of Datum"), edNameOfDatum->text());
    for (int i = 0; i < 7; ++i)
        ini.writeString(GeodeticSection, Key(LambertKeys[i]), geodeticEdit(14 + i)->text());
    ini.writeBool(GeodeticSection, QStringLiteral("cbUseLCCProjection"),
                  cbUseLCCProjection->isChecked());
    ini.writeBool(GeodeticSection, QStringLiteral("cLambert1"), cLambert1->isChecked());

    ini.writeBool(GridSection, QStringLiteral("GridVisible"), cbGridVisible->isChecked());
    ini.writeBool(GridSection, QStringLiteral("AutoGrid"), cbAutoGrid->isChecked());
    ini.writeString(GridSection, QStringLiteral("GridSpacingX"), edGridSpacingX->text());
    ini.writeString(GridSection, QStringLiteral("GridSpacingY"), edGridSpacingY->text());
    ini.writeInteger(GridSection, QStringLiteral("GridColor"), int(cbGridColor->Selected()));
    ini.writeBool(DepthSection, QStringLiteral("ShowDepthLabels"), cbShowDepthLabels->isChecked());
    ini.writeString(DepthSection, QStringLiteral("LabelSpacing"), edDepthLabelSpacing->text());
    ini.writeString(DepthSection, QStringLiteral("FontName"), edDepthLabelFontName->text());
    ini.writeString(DepthSection, QStringLiteral("FontSize"), edDepthLabelFontSize->text());
    ini.writeInteger(DepthSection, QStringLiteral("TextColor"), int(cbTextColor->Selected()));
    ini.writeString(EventSection, QStringLiteral("FontSize"), edEventLabelFontSize->text());
    ini.writeInteger(EventSection, QStringLiteral("TextColor"), int(cbEventLabelColor->Selected()));
    ini.writeString(OverlaySection, QStringLiteral("FontSize"), edOverlayFontSize->text());
    ini.writeInteger(OverlaySection, QStringLiteral("DepthColor"),
                     int(cbOverlayDepthColor->Selected()));
    ini.writeInteger(OverlaySection, QStringLiteral("SpeedColor"),
                     int(cbOverlaySpeedColor->Selected()));
    // Seconds as a whole number, as long as the text holds one; 60 otherwise.
    int64_t seconds = 60;
    if (!ParseInteger64(eScreenshotInterval->text().trimmed().toStdString(), seconds))
        seconds = 60;
    ini.writeString(ScreenshotSection, QStringLiteral("Interval"), QString::number(seconds));
}

void TFGPS::appendSettingsSavedEntries() const {
    const std::string log = EventsLogPath();
    const std::string entries[] = {
        "=== SETTINGS SAVED ===",
        "GPS: Port=" + Std(Port) + ", Baud=" + Std(BaudRate),
        "Sensor: Port=" + Std(SPort) + ", Baud=" + Std(SBaudRate) +
            ", Enabled=" + (SensorEnabled->isChecked() ? "Yes" : "No"),
        "Datum: " + Std(edNameOfDatum) + ", DTP=" + (cbUseDTP->isChecked() ? "Yes" : "No"),
        "TM: CM=" + Std(edCM) + ", RefLat=" + Std(edRL) + ", SF=" + Std(edSF) +
            ", FE=" + Std(edFE) + ", FN=" + Std(edFN),
        "LCC: " + std::string(cbUseLCCProjection->isChecked() ? "Enabled" : "Disabled") +
            ", SP1=" + Std(eLCCSP1) + ", SP2=" + Std(eLCCSP2),
        "======================",
    };
    for (const std::string& entry : entries)
        AutoEventLog(entry, log);
}

void TFGPS::FormShow() {
    {
        const IniFile ini(AppPaths::settingsFile());
        LockStateCheck1->setChecked(ini.readBool(
            LockSection, QStringLiteral("Settings Locked (true/false)"), LockStateCheck1->isChecked()));
    }
    tGlobalSetting->setEnabled(!LockStateCheck1->isChecked());
    pushGridIntoCanvas(false);
}

void TFGPS::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ErrorBoundary::run([this] { FormShow(); });
}
