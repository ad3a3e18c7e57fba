#pragma once

#include <QDialog>

#include <cstdint>
#include <string>

class DeviceSettingsLinks;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QWidget;
class TColorBox;
class TTavrinSerialGPS;
struct PortPageTexts;

// Device settings: both serial ports with the sounder's message type and scan format, the
// geodetic parameters, the map's display settings and the I/O port monitor. Every setting is
// read from the settings file when the window is created and written back only by the
// save-and-lock box, which also locks the setting pages. Port settings reach the ports only
// when Start presses the two Set buttons.
//
// The controls are public under their names: the main window's acquisition handlers, the map
// tick and the KML import read them, and the translation walk reaches every caption.
class TFGPS : public QDialog {
    Q_OBJECT
public:
    explicit TFGPS(DeviceSettingsLinks* links = nullptr, QWidget* parent = nullptr);

    // The map, the ports and the other windows, as far as the settings reach them.
    DeviceSettingsLinks* const Links;

    // Frame.
    QTabWidget* SettingTabs = nullptr;
    QWidget* GPSTabSheet = nullptr;        // "GPS Settings"
    QWidget* SensorTabSheet = nullptr;     // "Sensor (SBES) Settings"
    QWidget* ParametersTabSheet = nullptr; // "Godetic Parameters"
    QWidget* tGlobalSetting = nullptr;     // "Global Setting", shown first
    QWidget* TabSheet1 = nullptr;          // "I/O Port Monitor"
    QCheckBox* LockStateCheck1 = nullptr;
    QPushButton* BitBtn2 = nullptr;

    // GNSS port page.
    QGroupBox* GPSPortGroup = nullptr;
    QGroupBox* GPSOptionalGroup = nullptr;
    QComboBox* Port = nullptr;
    QComboBox* BaudRate = nullptr;
    QComboBox* DataWidth = nullptr;
    QComboBox* StopBits = nullptr;
    QComboBox* Parity = nullptr;
    QComboBox* Priority = nullptr;
    QComboBox* Delay = nullptr;
    QComboBox* NMEALog = nullptr;
    QComboBox* LogTime = nullptr;
    QComboBox* EnableDTR = nullptr;
    QComboBox* EnableRTS = nullptr;
    QLabel* PortDevice = nullptr; // the device behind the port text and whether it is there
    QCheckBox* GyroEnabled = nullptr;
    QPushButton* GPSSet = nullptr;

    // Sounder port page.
    QGroupBox* SensorPortGroup = nullptr;
    QGroupBox* SensorOptionalGroup = nullptr;
    QComboBox* SPort = nullptr;
    QComboBox* SBaudRate = nullptr;
    QComboBox* SDataWidth = nullptr;
    QComboBox* SStopBits = nullptr;
    QComboBox* SParity = nullptr;
    QComboBox* SPriority = nullptr;
    QComboBox* SDelay = nullptr;
    QComboBox* SNMEALog = nullptr;
    QComboBox* SLogTime = nullptr;
    QComboBox* SEnableDTR = nullptr;
    QComboBox* SEnableRTS = nullptr;
    QLabel* SPortDevice = nullptr;
    QCheckBox* SensorEnabled = nullptr;
    QPushButton* SensorSet = nullptr;
    QGroupBox* SBESMessage = nullptr;
    QComboBox* cSBESMessage = nullptr;
    QLineEdit* eSBESFormat = nullptr;
    QLabel* SBESFormatInfo = nullptr; // how many numbers the format reads, or why it is refused

    // Geodetic page.
    QGroupBox* EllipsoidGroup = nullptr;
    QGroupBox* TransformationGroup = nullptr;
    QGroupBox* DatumGroup = nullptr;
    QGroupBox* TMGroup = nullptr;
    QGroupBox* LCCGroup = nullptr;
    QLineEdit* edSMA = nullptr;
    QLineEdit* edIF = nullptr;
    QLineEdit* edRX = nullptr;
    QLineEdit* edRY = nullptr;
    QLineEdit* edRZ = nullptr;
    QLineEdit* edSX = nullptr;
    QLineEdit* edSY = nullptr;
    QLineEdit* edSZ = nullptr;
    QLineEdit* edPPM = nullptr;
    QCheckBox* cbUseDTP = nullptr;
    QLineEdit* edNameOfDatum = nullptr;
    QLineEdit* edCM = nullptr;
    QLineEdit* edRL = nullptr;
    QLineEdit* edSF = nullptr;
    QLineEdit* edFE = nullptr;
    QLineEdit* edFN = nullptr;
    QCheckBox* cbUseTMProjection = nullptr;
    QLineEdit* eLCCSP1 = nullptr;
    QLineEdit* eLCCSP2 = nullptr;
    QLineEdit* eLCCSF = nullptr;
    QLineEdit* eLCCCP = nullptr;
    QLineEdit* eLCCM = nullptr;
    QLineEdit* eLCCFE = nullptr;
    QLineEdit* eLCCFN = nullptr;
    QCheckBox* cbUseLCCProjection = nullptr;
    QCheckBox* cLambert1 = nullptr;

    // Global Setting page.
    QCheckBox* cbGridVisible = nullptr;
    QCheckBox* cbAutoGrid = nullptr;
    QLineEdit* edGridSpacingX = nullptr;
    QLineEdit* edGridSpacingY = nullptr;
    TColorBox* cbGridColor = nullptr;
    QCheckBox* cbShowDepthLabels = nullptr;
    QLineEdit* edDepthLabelSpacing = nullptr;
    QLineEdit* edDepthLabelFontName = nullptr;
    QLineEdit* edDepthLabelFontSize = nullptr;
    TColorBox* cbTextColor = nullptr;
    QLineEdit* edEventLabelFontSize = nullptr;
    TColorBox* cbEventLabelColor = nullptr;
    QLineEdit* edOverlayFontSize = nullptr;
    TColorBox* cbOverlayDepthColor = nullptr;
    TColorBox* cbOverlaySpeedColor = nullptr;
    QLineEdit* eScreenshotInterval = nullptr;

    // I/O Port Monitor page.
    QPlainTextEdit* MemoGPS = nullptr;
    QPlainTextEdit* MemoSensor = nullptr;

    // The map grid as last loaded or locked; pushed into the canvas at each showing.
    bool GridVisibleValue = true;
    bool GridAutoValue = false;
    double GridSpacingXValue = 100.0;
    double GridSpacingYValue = 100.0;
    uint32_t GridColorValue = 0xC0C0C0;

    // Handlers.
    void FormCreate();
    void FormShow();
    void FormCloseQuery();
    void BitBtn2Click();
    // Copy a port page into the main window's port; false (and a message naming the page, the
    // setting and its text) when any of the eleven settings is refused: nothing is copied then.
    bool GPSSetClick();
    bool SensorSetClick();
    // Who changes the message type: the operator (a pick or a typed character), or the
    // realtime window's one run 10 s after start, which keeps an operator's "OTHER" format.
    enum class TypeChangeSource { Operator, DelayedStart };
    void cSBESMessageChange(TypeChangeSource source = TypeChangeSource::Operator);
    void MemoGPSChange();
    void MemoSensorChange();
    void MemoGPSMouseDown();
    void MemoGPSMouseUp();
    void LockStateCheck1Click();
    void cbUseTMProjectionClick();
    void cbUseLCCProjectionClick();
    void cLambert1Click();
    void cbGridVisibleClick();
    void cbGridColorChange();
    void cbAutoGridClick();
    void cbShowDepthLabelsClick();
    void edEventLabelFontSizeChange();
    void cbEventLabelColorChange();
    void edOverlayFontSizeChange();
    void cbOverlayDepthColorChange();
    void cbOverlaySpeedColorChange();
    void eScreenshotIntervalChange();

    // For the ports' line handlers: appends the line to the port's memo (MemoGPS for ZGPS1,
    // MemoSensor for ZSENSOR) while this window is visible and the main window's
    // PortMonitorActive is set. Shaped like the ports' OnNewCommand.
    void AppendMonitorLine(QObject* port, const std::string& line);

    // True when each of the 21 geodetic edits holds the one number the map and the KML import
    // read from it, in range; otherwise `reason` (when given) names the first edit that does
    // not and why, and `control` (when given) holds that edit's name.
    bool GeodeticParametersValid(QString* reason = nullptr, QString* control = nullptr) const;

    // The scan format of a message type; false for "OTHER" and for unknown texts.
    static bool BuiltInSounderFormat(const QString& type, QString& format);

    // Escape closes the window like its close button (and empties the memos).
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPortPages();
    void buildGeodeticPage();
    void buildGlobalPage();
    void buildMonitorPage();
    void connectHandlers();

    void loadSettings();
    void loadGeodeticAndLock(const class IniFile& ini);
    void loadDisplaySettings(const class IniFile& ini);
    bool saveAndLock();
    void writeUnlockFlag();
    void writeLockedSettings(class IniFile& ini) const;
    void appendSettingsSavedEntries() const;
    void updateDisplayValuesFromControls();
    void pushGridIntoCanvas(bool repaint);
    void setSettingPagesEnabled(bool enabled);
    void setLockBoxQuietly(bool ticked);
    void report(const QString& text);

    bool copyPortPage(bool gnss);
    PortPageTexts portPageTexts(bool gnss) const;
    void showPortDevice(bool gnss);
    void showFormatInfo();
    void markGeodeticEdit(QLineEdit* edit, int index);
    QLineEdit* geodeticEdit(int index) const;

    bool creating_ = false;
    QStringList deferredReports_;
};

extern TFGPS* FGPS;
