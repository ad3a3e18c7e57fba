#pragma once

#include "platform/RepeatedErrorGuard.h"
#include "positioning/rtcm/RtcmLastBaseStation.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

class NtripWindowLinks;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
class SerialChannel;
class TTavrinNTRIPClient;

// The operator's control of the NTRIP client: caster, credentials and mount point, the
// position sent to the caster, the port the corrections go to, saved connection profiles, a
// time-stamped log and the byte counters. Created hidden at start; closing it only hides it
// and the client keeps running. Settings in [NTRIP] of the settings file, profiles in
// "profiles.txt" beside the executable.
class TfrmNTRIPSettings : public QWidget {
    Q_OBJECT
public:
    explicit TfrmNTRIPSettings(NtripWindowLinks* links = nullptr, QWidget* parent = nullptr);

    // The GNSS receiver's port and the main window the window opens over.
    NtripWindowLinks* const Links;
    ~TfrmNTRIPSettings() override;

    // Hands the open GNSS port to the client, which writes the corrections to it while
    // forwarding is on. A null channel takes it back.
    void SetGpsPort(std::shared_ptr<SerialChannel> channel, const QString& portName);
    // Degrees and metres; shown and sent to the caster unless the position is typed by hand.
    void UpdateVesselPosition(double latitude, double longitude, double altitude);
    // One correction block to the separate output port, never waiting more than 20 ms.
    void WriteOutputPort(const void* data, int length);
    void AddLogLine(const QString& text);
    void AddLogLine(const std::string& text) { AddLogLine(QString::fromStdString(text)); }
    // The survey set-up window's showing: modal until the window is hidden again. Every other
    // showing (menu command, lost stream, silence) is modeless.
    void ShowModally();

    // Controls, under the names the translation walk and the tests use.
    QComboBox* boxProfile = nullptr;
    QPushButton* btnSaveProfile = nullptr;
    QLineEdit* edtServer = nullptr;
    QLineEdit* edtPort = nullptr;
    QLineEdit* edtUsername = nullptr;
    QLineEdit* edtPassword = nullptr;
    QRadioButton* rbFromGPS = nullptr;
    QRadioButton* rbManual = nullptr;
    QLineEdit* edtLatitude = nullptr;
    QLineEdit* edtLongitude = nullptr;
    QComboBox* boxMountpoint = nullptr;
    QPushButton* btnFetchSources = nullptr;
    QCheckBox* chkShowLog = nullptr;
    QProgressBar* pbProgress = nullptr;
    QPlainTextEdit* memoLog = nullptr;
    QCheckBox* chkOutputPort = nullptr;
    QComboBox* boxOutputPort = nullptr;
    QComboBox* boxOutputBaud = nullptr;
    QLabel* lblBytesReceivedValue = nullptr;
    QLabel* lblBytesSentValue = nullptr;
    QPushButton* btnConnect = nullptr;
    QPushButton* Button1 = nullptr; // "RTCM Parsing"
    QPushButton* btnClose = nullptr;
    QTimer* tmrUpdate = nullptr;

    std::unique_ptr<TTavrinNTRIPClient> Client;
    QString IniPath;
    QString ProfilesPath;
    // The separate output port when one is open; null while corrections go to the receiver.
    std::shared_ptr<SerialChannel> OutputChannel;
    bool OutputOpen = false;
    QString GpsPortName;
    bool PendingAutoConnect = false;
    bool DataWatchArmed = false;
    bool AutoConnect = false;
    uint64_t LastDataTime = 0; // Clock::tickCount() of the last correction block
    RtcmLastBaseStation Last;
    // Bytes the output port did not take in time, since it was opened.
    int64_t OutputBytesDropped = 0;

    // Handlers.
    void FormCreate();
    void FormShow();
    void FormDestroy();
    void boxProfileChange();
    void btnSaveProfileClick();
    void btnFetchSourcesClick();
    void btnConnectClick();
    void btnCloseClick();
    void rbFromGPSClick();
    void rbManualClick();
    void chkShowLogClick();
    void chkOutputPortClick();
    // Another port or rate while "Enable" is ticked reopens the output, saying so in the log.
    void boxOutputPortChange();
    void boxOutputBaudChange();
    void tmrUpdateTimer();
    void Button1Click();
    void NtripStatusChanged(int state, const std::string& message);
    void NtripDataReceived(const char* data, int length);
    void NtripSourceTableReceived(const std::vector<std::string>& mountPoints);
    void NtripLogMessage(const std::string& text);

    void LoadNtripSettings();
    void SaveNtripSettings();
    void LoadProfileList();
    void SaveProfile();
    void EnumerateSerialPorts();
    void UpdatePositionControls();
    void OpenOutputPort();
    void CloseOutputPort();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();
    void ScrollLogToNewestLine();
    // The port number behind an item of the output list (0 when it names no port).
    int OutputPortNumber(int item) const;
    // Host, port and credentials from the edits into the client.
    void CopyCasterFields();
    // Checks the box from code and runs its click action, as a click would.
    void SetOutputChecked(bool checked);
    // The corrections follow the GNSS port: handed over while it is open, taken back once it
    // has closed, whoever opened or closed it.
    void FollowGpsPort();
    // Feeds the GGA from the receiver until the map tick does.
    void FeedPositionFromReceiver();
    // Before a password is written, the files that hold it become readable by the owner only.
    void ProtectCredentialFiles();
    // The receiver's position waits here while the window is hidden (laying an edit's text out
    // five times a second for nobody costs more than the rest of the map tick); it is written
    // into the edits when the window shows and before anything reads them.
    void ShowPendingPosition();

    RepeatedErrorGuard timerGuard_{QStringLiteral("NTRIP window")};
    bool outputTooSlowReported_ = false;
    bool outputGoneReported_ = false;
    std::optional<std::pair<QString, QString>> pendingPosition_;
};

extern TfrmNTRIPSettings* frmNTRIPSettings;
