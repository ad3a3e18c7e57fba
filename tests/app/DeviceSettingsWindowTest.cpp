#include "StartedProgram.h"

#include "app/devices/TFGPS.h"
#include "app/devices/TfJoystick.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/widgets/TColorBox.h"

#include "canvas/MapDisplaySettings.h"
#include "canvas/TTavrinCanvas.h"
#include "platform/AppPaths.h"
#include "platform/DataPaths.h"
#include "platform/EventLog.h"
#include "platform/ManualClock.h"
#include "platform/SerialPort.h"
#include "positioning/gnss/TavrinSerialGPS.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string ReadBytes(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const QString& path, const std::string& bytes) {
    std::ofstream(path.toStdString(), std::ios::binary | std::ios::trunc) << bytes;
}

std::string GoldenSettings() {
    return ReadBytes(QStringLiteral(TEST_DATA_DIR "/device-settings/locked.INI"));
}

// The entries of the day's events log, texts only, in order.
std::vector<std::string> EventEntries() {
    std::vector<std::string> texts;
    std::istringstream lines(ReadBytes(QString::fromStdString(EventsLogPath())));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("Auto Event:\t", 0) != 0)
            continue;
        const size_t tab = line.find('\t', 12);
        texts.push_back(tab == std::string::npos ? std::string() : line.substr(tab + 1));
    }
    return texts;
}

const std::vector<std::string> SevenEntries(const std::string& gps, const std::string& sensor,
                                            const std::string& datum, const std::string& tm,
                                            const std::string& lcc) {
    return {"=== SETTINGS SAVED ===", gps, sensor, datum, tm, lcc, "======================"};
}

// Writes to the settings file fail while this lives: a read-only folder for a normal user;
// for root, whom permissions do not stop, a file size limit of nothing.
class UnwritableSettings {
public:
    UnwritableSettings() {
        folder_ = QFileInfo(TestEnvironment::settingsFile()).absolutePath().toStdString();
        if (::geteuid() != 0) {
            ::chmod(folder_.c_str(), 0555);
            return;
        }
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = old_;
        none.rlim_cur = 0;
        ::setrlimit(RLIMIT_FSIZE, &none);
    }
    ~UnwritableSettings() {
        if (::geteuid() != 0) {
            ::chmod(folder_.c_str(), 0755);
            return;
        }
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    std::string folder_;
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

void FillValidGeodesy(TFGPS* window) {
    const char* values[] = {"6378137", "0.0033528106647474", "0", "0", "0", "0", "0", "0", "0",
                            "27", "0", "1", "500000", "0", "40", "42", "1", "41", "27", "500000",
                            "0"};
    QLineEdit* edits[] = {window->edSMA,   window->edIF,    window->edRX,   window->edRY,
                          window->edRZ,    window->edSX,    window->edSY,   window->edSZ,
                          window->edPPM,   window->edCM,    window->edRL,   window->edSF,
                          window->edFE,    window->edFN,    window->eLCCSP1, window->eLCCSP2,
                          window->eLCCSF,  window->eLCCCP,  window->eLCCM,  window->eLCCFE,
                          window->eLCCFN};
    for (size_t i = 0; i < std::size(edits); ++i)
        edits[i]->setText(QString::fromLatin1(values[i]));
}

void Press(QPlainTextEdit* memo, QEvent::Type type) {
    QMouseEvent event(type, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(memo->viewport(), &event);
}

} // namespace

class DeviceSettings : public StartedProgram {
protected:
    void SetUp() override {
        StartedProgram::SetUp();
        Clock::install(&clock);
        // Every test of the process writes the same events log: the one the program itself
        // picks, in the folder of the day the process started with, named after the clock's day.
        std::remove(EventsLogPath().c_str());
    }
    void TearDown() override {
        StartedProgram::TearDown();
        Clock::install(nullptr);
    }
    static std::vector<bool> pagesEnabled() {
        return {FGPS->GPSTabSheet->isEnabled(), FGPS->SensorTabSheet->isEnabled(),
                FGPS->ParametersTabSheet->isEnabled(), FGPS->tGlobalSetting->isEnabled(),
                FGPS->TabSheet1->isEnabled()};
    }
    ManualClock clock{LocalDateTime{2026, 12, 10, 9, 30, 0, 0}, 1000};
};

TEST_F(DeviceSettings, FrameHoldsTheFivePagesInOrderWithGlobalSettingFirst) {
    start();
    ASSERT_NE(FGPS, nullptr);
    EXPECT_EQ(FGPS->windowTitle(), QStringLiteral("Settings"));
    EXPECT_TRUE(FGPS->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(FGPS->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(FGPS->isVisible());
    const QStringList captions = {"GPS Settings", "Sensor (SBES) Settings", "Godetic Parameters",
                                  "Global Setting", "I/O Port Monitor"};
    const QStringList names = {"GPSTabSheet", "SensorTabSheet", "ParametersTabSheet",
                               "tGlobalSetting", "TabSheet1"};
    ASSERT_EQ(FGPS->SettingTabs->count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(FGPS->SettingTabs->tabText(i), captions[i]);
        EXPECT_EQ(FGPS->SettingTabs->widget(i)->objectName(), names[i]);
    }
    EXPECT_EQ(FGPS->SettingTabs->currentWidget(), FGPS->tGlobalSetting);
    EXPECT_EQ(FGPS->LockStateCheck1->text(), QStringLiteral("SAVE && LOCK SETTINGS"));

    // Every control under its name, reachable by the translation walk.
    const char* controls[] = {
        "Port", "BaudRate", "DataWidth", "StopBits", "Parity", "Priority", "Delay", "NMEALog",
        "LogTime", "EnableDTR", "EnableRTS", "SPort", "SBaudRate", "SDataWidth", "SStopBits",
        "SParity", "SPriority", "SDelay", "SNMEALog", "SLogTime", "SEnableDTR", "SEnableRTS",
        "GyroEnabled", "SensorEnabled", "GPSSet", "SensorSet", "SBESMessage", "cSBESMessage",
        "eSBESFormat", "MemoGPS", "MemoSensor", "edSMA", "edIF", "edRX", "edRY", "edRZ", "edSX",
        "edSY", "edSZ", "edPPM", "cbUseDTP", "edNameOfDatum", "edCM", "edRL", "edSF", "edFE",
        "edFN", "cbUseTMProjection", "eLCCSP1", "eLCCSP2", "eLCCSF", "eLCCCP", "eLCCM",
        "eLCCFE", "eLCCFN", "cbUseLCCProjection", "cLambert1", "cbGridVisible", "cbAutoGrid",
        "edGridSpacingX", "edGridSpacingY", "cbGridColor", "cbShowDepthLabels",
        "edDepthLabelSpacing", "edDepthLabelFontName", "edDepthLabelFontSize", "cbTextColor",
        "edEventLabelFontSize", "cbEventLabelColor", "edOverlayFontSize", "cbOverlayDepthColor",
        "cbOverlaySpeedColor", "eScreenshotInterval", "LockStateCheck1", "BitBtn2"};
    for (const char* name : controls)
        EXPECT_NE(FGPS->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(FGPS->findChild<QComboBox*>(QStringLiteral("SBaudRate")), FGPS->SBaudRate);

    // The lists: editable, offering the port list's ports and the rates, in order.
    EXPECT_TRUE(FGPS->Port->isEditable());
    const std::vector<SerialPortEntry> ports = SerialPort::listPorts();
    ASSERT_EQ(FGPS->Port->count(), int(ports.size()));
    EXPECT_EQ(FGPS->Port->itemText(0), QStringLiteral("COM1"));
    ASSERT_EQ(FGPS->BaudRate->count(), 15);
    EXPECT_EQ(FGPS->BaudRate->itemText(10), QStringLiteral("56000"));
    EXPECT_EQ(FGPS->SParity->itemText(0), QStringLiteral("Even"));
    EXPECT_EQ(FGPS->Delay->itemText(19), QStringLiteral("100000"));
    EXPECT_EQ(FGPS->cSBESMessage->count(), 8);
    EXPECT_EQ(FGPS->MemoGPS->toPlainText(), QStringLiteral("NMEA POSITION DATA"));
    EXPECT_EQ(FGPS->MemoSensor->toPlainText(), QStringLiteral("NMEA SENSOR DATA"));
    EXPECT_EQ(FGPS->MemoSensor->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(FGPS->MemoGPS->font().pixelSize(), 21);
    EXPECT_TRUE(FGPS->MemoGPS->font().bold());
}

TEST_F(DeviceSettings, FreshSettingsFileGivesTheDefaults) {
    start();
    // Port keys are read with the empty text as default.
    EXPECT_EQ(FGPS->Port->currentText(), QString());
    EXPECT_EQ(FGPS->SBaudRate->currentText(), QString());
    EXPECT_TRUE(FGPS->SensorEnabled->isChecked());
    EXPECT_TRUE(FGPS->GyroEnabled->isChecked());
    EXPECT_EQ(FGPS->cSBESMessage->currentText(), QStringLiteral("Tavrin SMT"));
    EXPECT_EQ(FGPS->eSBESFormat->text(), QStringLiteral("%*8s,%lf"));
    EXPECT_EQ(FGPS->edSMA->text(), QString());
    EXPECT_EQ(FGPS->eLCCFN->text(), QString());
    EXPECT_TRUE(FGPS->cbUseTMProjection->isChecked());
    EXPECT_FALSE(FGPS->cbUseLCCProjection->isChecked());
    EXPECT_TRUE(FGPS->cbUseDTP->isChecked());
    EXPECT_TRUE(FGPS->cbGridVisible->isChecked());
    EXPECT_EQ(FGPS->GridSpacingXValue, 100.0);
    EXPECT_EQ(FGPS->GridColorValue, 0xC0C0C0u);
    EXPECT_TRUE(ShowDepthLabels);
    EXPECT_EQ(DepthLabelSpacing, 10.0);
    EXPECT_EQ(DepthLabelFontName, "Arial");
    EXPECT_EQ(DepthLabelFontSize, 12);
    EXPECT_EQ(DepthLabelColor, 0u);
    EXPECT_EQ(EventLabelFontSize, 24);
    EXPECT_EQ(EventLabelColor, 255u);
    EXPECT_EQ(OverlayFontSize, 40);
    EXPECT_EQ(OverlayDepthColor, 0x800000u);
    EXPECT_EQ(OverlaySpeedColor, 0u);
    EXPECT_FALSE(FGPS->LockStateCheck1->isChecked());
    EXPECT_EQ(pagesEnabled(), std::vector<bool>(5, true));
    EXPECT_TRUE(FNav->fcad->GridVisible);
    EXPECT_EQ(FNav->fcad->GridSpacingX, 100.0);
    EXPECT_EQ(FNav->fcad->GridColor, 0xC0C0C0u);
    EXPECT_TRUE(EventEntries().empty());
}

TEST_F(DeviceSettings, StoredLockWritesEveryKeyBackUnchangedAndLogsTheSevenEntriesAtStart) {
    const std::string golden = GoldenSettings();
    ASSERT_FALSE(golden.empty());
    WriteBytes(TestEnvironment::settingsFile(), golden);
    start();
    EXPECT_EQ(ReadBytes(TestEnvironment::settingsFile()), golden);
    EXPECT_TRUE(FGPS->LockStateCheck1->isChecked());
    EXPECT_EQ(pagesEnabled(), (std::vector<bool>{false, false, false, false, true}));
    EXPECT_TRUE(FGPS->LockStateCheck1->isEnabled());
    EXPECT_TRUE(FGPS->BitBtn2->isEnabled());
    EXPECT_EQ(EventEntries(),
              SevenEntries("GPS: Port=COM3, Baud=115200",
                           "Sensor: Port=COM4, Baud=4800, Enabled=Yes", "Datum: ITRF96, DTP=Yes",
                           "TM: CM=27, RefLat=0, SF=1, FE=500000, FN=0",
                           "LCC: Disabled, SP1=40, SP2=42"));
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());

    // What was loaded reaches the controls and the display values.
    EXPECT_EQ(FGPS->Port->currentText(), QStringLiteral("COM3"));
    EXPECT_EQ(FGPS->SStopBits->currentText(), QStringLiteral("2"));
    EXPECT_FALSE(FGPS->GyroEnabled->isChecked());
    EXPECT_EQ(FNav->fcad->GridSpacingY, 500.0);
    EXPECT_EQ(FNav->fcad->GridColor, 32768u);
    EXPECT_FALSE(ShowDepthLabels);
    EXPECT_EQ(DepthLabelFontName, "DejaVu Sans");
    EXPECT_EQ(EventLabelColor, 16711680u);
    EXPECT_EQ(OverlayFontSize, 32);
    EXPECT_EQ(OverlaySpeedColor, 65280u);
    // The main window's show hands the stored interval to the edit.
    EXPECT_EQ(FGPS->eScreenshotInterval->text(), QStringLiteral("120"));
    EXPECT_EQ(FNav->tScreenshot->interval(), 120000);

    // The operator's own format survives the type change that runs after start.
    fRealtime->Timer1Timer();
    EXPECT_EQ(FGPS->cSBESMessage->currentText(), QStringLiteral("OTHER"));
    EXPECT_EQ(FGPS->eSBESFormat->text(), QStringLiteral("%*[^,],%lf"));
}

TEST_F(DeviceSettings, UntickingWritesOnlyTheLockFlagAndFreesThePages) {
    const std::string golden = GoldenSettings();
    WriteBytes(TestEnvironment::settingsFile(), golden);
    start();
    FGPS->Port->setCurrentText(QStringLiteral("COM9"));
    FGPS->LockStateCheck1->setChecked(false);
    std::string expected = golden;
    expected.replace(expected.find("Lock Settings=1"), 15, "Lock Settings=0");
    EXPECT_EQ(ReadBytes(TestEnvironment::settingsFile()), expected);
    EXPECT_EQ(pagesEnabled(), std::vector<bool>(5, true));
    EXPECT_EQ(EventEntries().size(), 7u);
}

TEST_F(DeviceSettings, TickingTheLockSavesEverythingInOneBurst) {
    start();
    FillValidGeodesy(FGPS);
    FGPS->Port->setCurrentText(QStringLiteral("COM2"));
    FGPS->BaudRate->setCurrentText(QStringLiteral("9600"));
    FGPS->SPort->setCurrentText(QStringLiteral("COM5"));
    FGPS->SBaudRate->setCurrentText(QStringLiteral("4800"));
    FGPS->SensorEnabled->setChecked(false);
    FGPS->edNameOfDatum->setText(QStringLiteral("WGS 84"));
    FGPS->edGridSpacingX->setText(QStringLiteral("0.001"));
    FGPS->edGridSpacingY->setText(QStringLiteral("abc"));
    FGPS->eScreenshotInterval->setText(QStringLiteral("xyz"));
    FGPS->LockStateCheck1->setChecked(true);

    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
    EXPECT_EQ(pagesEnabled(), (std::vector<bool>{false, false, false, false, true}));
    EXPECT_EQ(EventEntries(),
              SevenEntries("GPS: Port=COM2, Baud=9600", "Sensor: Port=COM5, Baud=4800, Enabled=No",
                           "Datum: WGS 84, DTP=Yes", "TM: CM=27, RefLat=0, SF=1, FE=500000, FN=0",
                           "LCC: Disabled, SP1=40, SP2=42"));
    const IniFile ini(TestEnvironment::settingsFile());
    EXPECT_EQ(ini.readString(QStringLiteral("GPS1 COMUNICATION SETTINGS"), QStringLiteral("Port No")),
              QStringLiteral("COM2"));
    EXPECT_TRUE(ini.readSection(QStringLiteral("GPS1 COMUNICATION SETTINGS"))
                    .contains(QStringLiteral("Port No        ")));
    EXPECT_TRUE(ini.readSection(QStringLiteral("SENSOR COMUNICATION SETTINGS"))
                    .contains(QStringLiteral("Port No         ")));
    EXPECT_EQ(ini.readString(QStringLiteral("SCREENSHOT"), QStringLiteral("Interval")),
              QStringLiteral("60"));
    EXPECT_EQ(ini.readString(QStringLiteral("LOCK SETTINGS"), QStringLiteral("Lock Settings")),
              QStringLiteral("1"));
    // Spacings that do not convert, or are too fine to draw, give 100 m.
    EXPECT_EQ(FNav->fcad->GridSpacingX, 100.0);
    EXPECT_EQ(FNav->fcad->GridSpacingY, 100.0);
}

TEST_F(DeviceSettings, LockOverSettingsTheMapCannotUseIsRefusedAndWritesNothing) {
    struct Case {
        const char* name;
        std::function<void()> spoil;
        const char* messageStart;
    };
    const Case cases[] = {
        {"empty edit", [] { FGPS->edSMA->clear(); },
         "Geodetic Parameters: Semi Major Axis (edSMA) \"\" must hold exactly one number"},
        {"two numbers", [] { FGPS->edRX->setText(QStringLiteral("1 2")); },
         "Geodetic Parameters: X Rotation (edRX) \"1 2\" must hold exactly one number"},
        {"not a number", [] { FGPS->edSX->setText(QStringLiteral("nan")); },
         "Geodetic Parameters: X Shift (edSX) \"nan\""},
        {"comma", [] { FGPS->edSMA->setText(QStringLiteral("6378137,0")); },
         "Geodetic Parameters: Semi Major Axis (edSMA) \"6378137,0\""},
        {"inverse flattening", [] { FGPS->edIF->setText(QStringLiteral("298.257")); },
         "Geodetic Parameters: Flattening (edIF) \"298.257\" must be at least 0 and below 0.01"},
        {"flattening 0.01", [] { FGPS->edIF->setText(QStringLiteral("0.01")); },
         "Geodetic Parameters: Flattening (edIF) \"0.01\""},
        {"negative flattening", [] { FGPS->edIF->setText(QStringLiteral("-0.001")); },
         "Geodetic Parameters: Flattening (edIF) \"-0.001\""},
        {"format", [] { FGPS->eSBESFormat->setText(QStringLiteral("%*8s,%d")); },
         "Sensor (SBES) Settings: the format (eSBESFormat) \"%*8s,%d\" is refused: position 6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(TestEnvironment::settingsFile());
        TestEnvironment::dialogs().clear();
        start();
        FillValidGeodesy(FGPS);
        c.spoil();
        FGPS->LockStateCheck1->setChecked(true);
        ASSERT_EQ(TestEnvironment::dialogs().messages.size(), 1u);
        const QString shown = TestEnvironment::dialogs().messages[0].text;
        EXPECT_TRUE(shown.startsWith(QString::fromLatin1(c.messageStart))) << shown.toStdString();
        EXPECT_FALSE(FGPS->LockStateCheck1->isChecked());
        EXPECT_EQ(pagesEnabled(), std::vector<bool>(5, true));
        const IniFile ini(TestEnvironment::settingsFile());
        EXPECT_FALSE(ini.sectionExists(QStringLiteral("LOCK SETTINGS")));
        EXPECT_FALSE(ini.sectionExists(QStringLiteral("GEODETIC_PARAMETERS")));
        EXPECT_TRUE(EventEntries().empty());
        DestroyApplicationWindows();
    }
    // WGS 84 with a zero datum locks.
    QFile::remove(TestEnvironment::settingsFile());
    TestEnvironment::dialogs().clear();
    start();
    FillValidGeodesy(FGPS);
    QString reason;
    EXPECT_TRUE(FGPS->GeodeticParametersValid(&reason)) << reason.toStdString();
    FGPS->LockStateCheck1->setChecked(true);
    EXPECT_TRUE(FGPS->LockStateCheck1->isChecked());
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
}

TEST_F(DeviceSettings, StoredLockOverUnusableSettingsIsReportedAfterStartUp) {
    writeSetting(QStringLiteral("LOCK SETTINGS"), QStringLiteral("Lock Settings"),
                 QStringLiteral("1"));
    const std::string before = ReadBytes(TestEnvironment::settingsFile());
    CreateApplicationWindows();
    // Not a box in the middle of creating the windows.
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
    EXPECT_FALSE(FGPS->LockStateCheck1->isChecked());
    EXPECT_EQ(pagesEnabled(), std::vector<bool>(5, true));
    FNav->show();
    QApplication::processEvents();
    ASSERT_EQ(TestEnvironment::dialogs().messages.size(), 1u);
    EXPECT_TRUE(TestEnvironment::dialogs().messages[0].text.startsWith(
        QStringLiteral("Geodetic Parameters: Semi Major Axis (edSMA)")));
    EXPECT_EQ(ReadBytes(TestEnvironment::settingsFile()), before);
    EXPECT_TRUE(EventEntries().empty());
}

TEST_F(DeviceSettings, SettingsFileThatCannotBeWrittenIsReportedAndNothingChanges) {
    writeSetting(QStringLiteral("GYRO"), QStringLiteral("Gyro Enabled     "), QStringLiteral("1"));
    start();
    FillValidGeodesy(FGPS);
    const std::string before = ReadBytes(TestEnvironment::settingsFile());
    {
        UnwritableSettings unwritable;
        FGPS->LockStateCheck1->setChecked(true);
    }
    ASSERT_EQ(TestEnvironment::dialogs().messages.size(), 1u);
    EXPECT_EQ(TestEnvironment::dialogs().messages[0].text,
              QStringLiteral("Unable to write to %1").arg(AppPaths::settingsFile()));
    EXPECT_EQ(ReadBytes(TestEnvironment::settingsFile()), before);
    EXPECT_TRUE(EventEntries().empty());
    EXPECT_FALSE(FGPS->LockStateCheck1->isChecked());
    EXPECT_EQ(pagesEnabled(), std::vector<bool>(5, true));
    // Writable again: the lock goes through.
    FGPS->LockStateCheck1->setChecked(true);
    EXPECT_EQ(EventEntries().size(), 7u);
}

TEST_F(DeviceSettings, ProjectionBoxesStayExclusiveAndLambertOneFreesTheParallels) {
    writeSetting(QStringLiteral("GEODETIC_PARAMETERS"), QStringLiteral("Use Projection"),
                 QStringLiteral("1"));
    writeSetting(QStringLiteral("GEODETIC_PARAMETERS"), QStringLiteral("cbUseLCCProjection"),
                 QStringLiteral("1"));
    writeSetting(QStringLiteral("GEODETIC_PARAMETERS"), QStringLiteral("cLambert1"),
                 QStringLiteral("1"));
    start();
    EXPECT_TRUE(FGPS->cbUseLCCProjection->isChecked());
    EXPECT_FALSE(FGPS->cbUseTMProjection->isChecked());
    EXPECT_FALSE(FGPS->eLCCSP1->isEnabled());
    EXPECT_FALSE(FGPS->eLCCSP2->isEnabled());
    FGPS->cbUseTMProjection->click();
    EXPECT_TRUE(FGPS->cbUseTMProjection->isChecked());
    EXPECT_FALSE(FGPS->cbUseLCCProjection->isChecked());
    FGPS->cbUseTMProjection->click();
    EXPECT_TRUE(FGPS->cbUseLCCProjection->isChecked());
    FGPS->cLambert1->click();
    EXPECT_TRUE(FGPS->eLCCSP1->isEnabled());
    EXPECT_TRUE(FGPS->eLCCSP2->isEnabled());
}

TEST_F(DeviceSettings, SettingsLockedByHandLocksThePagesUntilTheNextShowing) {
    writeSetting(QStringLiteral("LOCK SETTINGS"), QStringLiteral("Settings Locked (true/false)"),
                 QStringLiteral("true"));
    start();
    EXPECT_EQ(pagesEnabled(), (std::vector<bool>{false, false, false, false, true}));
    FGPS->show();
    QApplication::processEvents();
    // "true" is no number: the box keeps its state and only the Global Setting page follows it.
    EXPECT_FALSE(FGPS->LockStateCheck1->isChecked());
    EXPECT_EQ(pagesEnabled(), (std::vector<bool>{false, false, false, true, true}));
    FGPS->hide();

    writeSetting(QStringLiteral("LOCK SETTINGS"), QStringLiteral("Settings Locked (true/false)"),
                 QStringLiteral("false"));
    DestroyApplicationWindows();
    start();
    EXPECT_EQ(pagesEnabled(), std::vector<bool>(5, true));
}

TEST_F(DeviceSettings, MessageTypesWriteTheirFormatAndShowOrHideTheLowFrequencyFrame) {
    start();
    struct Case {
        const char* type;
        const char* format; // nullptr: unchanged
        int height;         // window height afterwards
    };
    const Case cases[] = {
        {"Tavrin XDR LO", "%*8s,%*lf,%*8s,%lf", 387},
        {"NMEA DPT", "%*6s,%lf", 289},
        {"Tavrin XDR H/L", "%*8s,%lf,%*8s,%lf", 387},
        {"OTHER", "", 387},
        {"Tavrin SMT", "%*8s,%lf,%lf", 289},
        {"NMEA DBT", "%*6s,%*lf,%*1s,%lf", 289},
        {"Tavrin XDR HI", "%*8s,%lf", 289},
        {"ODC HI", "%*42s,%lf", 289},
        {"nmea dpt", nullptr, 289},
        {"Sounder 3000", nullptr, 289},
    };
    // The realtime window is designed with both depth frames; the table starts from the
    // high-frequency one alone.
    fRealtime->HideLowFreqFrame();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const QString before = FGPS->eSBESFormat->text();
        FGPS->cSBESMessage->setCurrentText(QString::fromLatin1(c.type));
        EXPECT_EQ(FGPS->eSBESFormat->text(), c.format ? QString::fromLatin1(c.format) : before);
        EXPECT_EQ(fRealtime->height(), c.height);
    }
    // Picking "OTHER" by hand again empties what was typed.
    FGPS->cSBESMessage->setCurrentText(QStringLiteral("OTHER"));
    FGPS->eSBESFormat->setText(QStringLiteral("%*[^,],%lf"));
    EXPECT_EQ(FGPS->SBESFormatInfo->text(), QStringLiteral("reads 1 number"));
    emit FGPS->cSBESMessage->activated(FGPS->cSBESMessage->currentIndex());
    EXPECT_EQ(FGPS->eSBESFormat->text(), QString());
    FGPS->eSBESFormat->setText(QStringLiteral("%s"));
    EXPECT_TRUE(FGPS->SBESFormatInfo->text().startsWith(QStringLiteral("refused: position 1")));
}

TEST_F(DeviceSettings, DelayedTypeChangeGivesABuiltInTypeItsOwnFormatBack) {
    writeSetting(QStringLiteral("SENSOR COMUNICATION SETTINGS"), QStringLiteral("cSBESMessage"),
                 QStringLiteral("NMEA DBT"));
    writeSetting(QStringLiteral("SENSOR COMUNICATION SETTINGS"), QStringLiteral("eSBESFormat"),
                 QStringLiteral("%*6s,%lf"));
    start();
    // Loading does not run the type change.
    EXPECT_EQ(FGPS->eSBESFormat->text(), QStringLiteral("%*6s,%lf"));
    ASSERT_NE(fRealtime->Timer1, nullptr);
    EXPECT_TRUE(fRealtime->Timer1->isSingleShot());
    EXPECT_EQ(fRealtime->Timer1->interval(), 10000);
    fRealtime->Timer1Timer();
    EXPECT_EQ(FGPS->eSBESFormat->text(), QStringLiteral("%*6s,%*lf,%*1s,%lf"));
    EXPECT_EQ(fRealtime->Timer1, nullptr);
}

TEST_F(DeviceSettings, SetButtonsCopyAWholePageOrNothing) {
    start();
    FGPS->Port->setCurrentText(QStringLiteral(" com3 "));
    FGPS->BaudRate->setCurrentText(QStringLiteral("56000"));
    FGPS->DataWidth->setCurrentText(QStringLiteral("7"));
    FGPS->StopBits->setCurrentText(QStringLiteral("1.5"));
    FGPS->Parity->setCurrentText(QStringLiteral("Even"));
    FGPS->Priority->setCurrentText(QStringLiteral("Normal"));
    FGPS->Delay->setCurrentText(QStringLiteral("200"));
    FGPS->NMEALog->setCurrentText(QStringLiteral("True"));
    FGPS->LogTime->setCurrentText(QStringLiteral("false"));
    FGPS->EnableDTR->setCurrentText(QStringLiteral("False"));
    FGPS->EnableRTS->setCurrentText(QStringLiteral("1"));
    ASSERT_TRUE(FGPS->GPSSetClick());
    TTavrinSerialGPS* gnss = FNav->ZGPS1;
    EXPECT_EQ(gnss->PortNumber, 3);
    EXPECT_EQ(gnss->BaudRate, 56000);
    EXPECT_EQ(gnss->DataBitsIndex, 3);
    EXPECT_EQ(gnss->StopBitsIndex, 2);
    EXPECT_EQ(gnss->ParityIndex, 2);
    EXPECT_EQ(gnss->PollInterval, 200);
    EXPECT_TRUE(gnss->NmeaLog);
    EXPECT_FALSE(gnss->LogTimestamps);
    EXPECT_FALSE(gnss->DTR);
    EXPECT_TRUE(gnss->RTS);
    EXPECT_EQ(gnss->LogFileName, LogFolder + "2026-12-10 VXQ_GNSS_V3.log");
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());

    // The sounder page was never filled in: nothing of it reaches the port.
    TTavrinSerialGPS* sounder = FNav->ZSENSOR;
    const int pollBefore = sounder->PollInterval;
    EXPECT_FALSE(FGPS->SensorSetClick());
    ASSERT_EQ(TestEnvironment::dialogs().messages.size(), 1u);
    EXPECT_TRUE(TestEnvironment::dialogs().messages[0].text.startsWith(
        QStringLiteral("Sensor (SBES) Settings: Port \"\" is refused")));
    EXPECT_EQ(sounder->PollInterval, pollBefore);
    EXPECT_TRUE(sounder->LogFileName.empty());

    // A delay that is not a number changes nothing, not even the settings before it.
    FGPS->Delay->setCurrentText(QStringLiteral("abc"));
    FGPS->BaudRate->setCurrentText(QStringLiteral("4800"));
    EXPECT_FALSE(FGPS->GPSSetClick());
    EXPECT_EQ(gnss->BaudRate, 56000);
    EXPECT_EQ(gnss->PollInterval, 200);

    // The label under the port names the device behind it.
    FGPS->Port->setCurrentText(QStringLiteral("COM2"));
    EXPECT_TRUE(FGPS->PortDevice->text().startsWith(
        QString::fromStdString(SerialPort::devicePath(2))));
    FGPS->Port->setCurrentText(QStringLiteral("COM25"));
    EXPECT_TRUE(FGPS->PortDevice->text().startsWith(QStringLiteral("not in the port list")));
}

TEST_F(DeviceSettings, MonitorShowsLinesWhileVisibleAndNotHeldAndEmptiesAtTheHundredAndFirst) {
    start();
    FGPS->AppendMonitorLine(FNav->ZGPS1, "$GPGGA,hidden");
    EXPECT_EQ(FGPS->MemoGPS->blockCount(), 1);
    FGPS->show();
    QApplication::processEvents();
    FGPS->AppendMonitorLine(FNav->ZGPS1, "$GPGGA,1");
    FGPS->AppendMonitorLine(FNav->ZSENSOR, "$SDDPT,1");
    EXPECT_EQ(FGPS->MemoGPS->toPlainText(), QStringLiteral("NMEA POSITION DATA\n$GPGGA,1"));
    EXPECT_EQ(FGPS->MemoSensor->toPlainText(), QStringLiteral("NMEA SENSOR DATA\n$SDDPT,1"));

    Press(FGPS->MemoSensor, QEvent::MouseButtonPress);
    EXPECT_FALSE(FNav->PortMonitorActive);
    FGPS->AppendMonitorLine(FNav->ZSENSOR, "$SDDPT,held");
    Press(FGPS->MemoSensor, QEvent::MouseButtonRelease);
    EXPECT_TRUE(FNav->PortMonitorActive);
    EXPECT_EQ(FGPS->MemoSensor->blockCount(), 2);

    for (int i = 2; i <= 99; ++i)
        FGPS->AppendMonitorLine(FNav->ZGPS1, "$GPGGA," + std::to_string(i));
    EXPECT_EQ(FGPS->MemoGPS->blockCount(), 100);
    FGPS->AppendMonitorLine(FNav->ZGPS1, "$GPGGA,100");
    EXPECT_EQ(FGPS->MemoGPS->toPlainText(), QString());
    FGPS->AppendMonitorLine(FNav->ZGPS1, "$GPGGA,101");
    EXPECT_EQ(FGPS->MemoGPS->toPlainText(), QStringLiteral("$GPGGA,101"));

    FGPS->BitBtn2->click();
    EXPECT_FALSE(FGPS->isVisible());
    EXPECT_TRUE(FGPS->MemoGPS->toPlainText().isEmpty());
    EXPECT_TRUE(FGPS->MemoSensor->toPlainText().isEmpty());

    // Escape closes it the same way.
    FGPS->show();
    QApplication::processEvents();
    FGPS->AppendMonitorLine(FNav->ZGPS1, "$GPGGA,102");
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(FGPS, &escape);
    EXPECT_FALSE(FGPS->isVisible());
    EXPECT_TRUE(FGPS->MemoGPS->toPlainText().isEmpty());
}

TEST_F(DeviceSettings, GridAndDisplayHandlersReachTheCanvasAtOnce) {
    start();
    TTavrinCanvas* canvas = FNav->fcad;
    // The operator picks a colour.
    FGPS->cbGridColor->SetSelected(0x0000FF);
    emit FGPS->cbGridColor->ColorActivated(0x0000FF);
    EXPECT_EQ(canvas->GridColor, 0x0000FFu);
    EXPECT_EQ(FGPS->GridColorValue, 0x0000FFu);
    FGPS->cbGridVisible->setChecked(false);
    EXPECT_FALSE(canvas->GridVisible);
    FGPS->edGridSpacingX->setText(QStringLiteral("0.001"));
    FGPS->cbAutoGrid->setChecked(true);
    EXPECT_EQ(canvas->GridSpacingX, 0.0);
    EXPECT_FALSE(FGPS->edGridSpacingX->isEnabled());
    FGPS->cbAutoGrid->setChecked(false);
    EXPECT_EQ(canvas->GridSpacingX, 100.0);
    EXPECT_TRUE(FGPS->edGridSpacingX->isEnabled());

    FGPS->edEventLabelFontSize->setText(QStringLiteral("30"));
    EXPECT_EQ(EventLabelFontSize, 30);
    FGPS->edEventLabelFontSize->setText(QStringLiteral("big"));
    EXPECT_EQ(EventLabelFontSize, 24);
    FGPS->edOverlayFontSize->setText(QStringLiteral("x"));
    EXPECT_EQ(OverlayFontSize, 40);
    FGPS->cbOverlayDepthColor->SetSelected(0x00FF00);
    emit FGPS->cbOverlayDepthColor->ColorActivated(0x00FF00);
    EXPECT_EQ(OverlayDepthColor, 0x00FF00u);
    FGPS->cbShowDepthLabels->setChecked(false);
    EXPECT_FALSE(ShowDepthLabels);

    FGPS->eScreenshotInterval->setText(QStringLiteral("0"));
    EXPECT_FALSE(FNav->tScreenshot->isActive());
    FGPS->eScreenshotInterval->setText(QStringLiteral("abc"));
    EXPECT_TRUE(FNav->tScreenshot->isActive());
    EXPECT_EQ(FNav->tScreenshot->interval(), 60000);
    FGPS->eScreenshotInterval->setText(QStringLiteral("3000000"));
    EXPECT_EQ(FNav->tScreenshot->interval(), (2147483647 / 1000) * 1000);
}

using BatteryWindow = DeviceSettings;

TEST_F(BatteryWindow, AnotherSounderTypeAtStartHidesItWithinOneTick) {
    writeSetting(QStringLiteral("SENSOR COMUNICATION SETTINGS"), QStringLiteral("cSBESMessage"),
                 QStringLiteral("NMEA DPT"));
    start();
    EXPECT_TRUE(fJoystick->isVisible());
    EXPECT_EQ(fJoystick->Timer1->interval(), 1000);
    EXPECT_TRUE(fJoystick->Timer1->isActive());
    EXPECT_EQ(fJoystick->pBattery->text(), QString());
    fJoystick->Timer1Timer();
    EXPECT_FALSE(fJoystick->isVisible());
}

TEST_F(BatteryWindow, ShowsTheBatteryWithTwoDecimals) {
    start();
    EXPECT_EQ(fJoystick->size(), QSize(131, 42));
    EXPECT_TRUE(fJoystick->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(fJoystick->pBattery->font().bold());
    EXPECT_EQ(fJoystick->pBattery->font().pixelSize(), 13);
    fJoystick->ShowBatteryValue(12.5);
    EXPECT_EQ(fJoystick->pBattery->text(), QStringLiteral("12.50"));
    fJoystick->ShowBatteryValue(7);
    EXPECT_EQ(fJoystick->pBattery->text(), QStringLiteral("7.00"));
    fJoystick->Timer1Timer();
    EXPECT_TRUE(fJoystick->isVisible());
}

TEST_F(BatteryWindow, SwitchingAwayHidesItForTheRestOfTheRun) {
    start();
    fJoystick->Timer1Timer();
    EXPECT_TRUE(fJoystick->isVisible());
    FGPS->cSBESMessage->setCurrentText(QStringLiteral("NMEA DBT"));
    fJoystick->Timer1Timer();
    EXPECT_FALSE(fJoystick->isVisible());
    FGPS->cSBESMessage->setCurrentText(QStringLiteral("Tavrin SMT"));
    fJoystick->Timer1Timer();
    EXPECT_FALSE(fJoystick->isVisible());
}

TEST_F(DeviceSettings, StoredLockKeepsTheStoredScreenshotInterval) {
    std::string golden = GoldenSettings();
    golden.replace(golden.find("Interval=120"), 12, "Interval=300");
    WriteBytes(TestEnvironment::settingsFile(), golden);
    // The lock runs while the windows are created, before the main window is first shown.
    CreateApplicationWindows();
    EXPECT_EQ(IniFile(TestEnvironment::settingsFile())
                  .readString(QStringLiteral("SCREENSHOT"), QStringLiteral("Interval")),
              QStringLiteral("300"));
    EXPECT_EQ(FGPS->eScreenshotInterval->text(), QStringLiteral("300"));
}
