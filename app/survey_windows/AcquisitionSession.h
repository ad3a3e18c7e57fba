#pragma once

#include "positioning/gnss/TavrinSerialGPS.h"
#include "survey/AcquisitionCore.h"
#include "survey/GeodeticSnapshot.h"
#include "survey/SetupValues.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TTavrinSerialGPS;

// What acquisition reads of the windows: the survey set-up, the device settings and the
// navigation settings. The main window implements it over its windows; tests over plain values.
class AcquisitionInputs {
public:
    virtual ~AcquisitionInputs() = default;
    virtual SetupTexts SurveySetupTexts() = 0;
    virtual bool SetupWindowVisible() = 0;
    virtual GeodeticTexts GeodeticSettings() = 0;
    // Whether the device settings' geodetic page holds numbers a run can use; otherwise why
    // (naming the edit and its text) and the edit's control name.
    virtual bool GeodeticSettingsUsable(std::string* reason, std::string* control) = 0;
    virtual bool SensorEnabled() = 0;
    virtual bool GyroEnabled() = 0;
    virtual std::string SounderTypeName() = 0;
    virtual std::string SounderFormat() = 0;
    // How many numbers the scanner reads with the format, or -1 with the reason it refuses it.
    virtual int SounderFormatValues(const std::string& format, std::string* reason) = 0;
    // Copies the port pages into the ports ("GPS Set", then "SBES Set" when the sensor is
    // enabled); false when a page was refused (the device settings have told the operator).
    virtual bool CopyPortSettings() = 0;
    virtual double ShallowAlertDepth() = 0;
    // The velocity column while a sound velocity profile is in use, else null.
    virtual const std::vector<std::string>* SoundVelocityColumn() = 0;
    virtual bool EnglishMessages() = 0;
};

// What acquisition shows: messages, the Start/Stop button and the realtime displays.
class AcquisitionDisplay {
public:
    virtual ~AcquisitionDisplay() = default;
    // A line in the message window (shown first when `show`) and in the events log.
    virtual void Message(const std::string& text, bool show) = 0;
    // A line in the message window only, not shown.
    virtual void MemoOnly(const std::string& text) = 0;
    virtual void EventLogOnly(const std::string& text) = 0;
    // Start refused: the message, and the focus on the control that holds the fault.
    virtual void RefuseStart(const std::string& text, const std::string& focusControl) = 0;
    // "Stop" in white on green while running, "Start" in navy otherwise.
    virtual void ShowRunning(bool running) = 0;
    virtual void SetRealtimePressed(bool pressed) = 0;
    virtual bool RealtimePressed() = 0;
    // The realtime window's GNSS box, 0x00BBGGRR.
    virtual void GnssBox(uint32_t colour) = 0;
    virtual void MonitorLine(bool gnss, const std::string& line) = 0;
    virtual void Speed(double knots) = 0;
    // Depth labels, frames, battery and echogram after a sounder line of the type.
    virtual void SounderLineShown(const SounderLineOutcome& outcome, const std::string& type) = 0;
    // The map's background for the shallow alert; a changed colour repaints the map.
    virtual void ShallowAlert(bool shallow) = 0;
    virtual void AcquisitionStarted(bool sensorEnabled) = 0;
    virtual void AcquisitionStopped() = 0;
    virtual void SensorSilent() = 0;
    virtual void GnssConnected() = 0;
};

// Colours of the GNSS box, 0x00BBGGRR.
inline constexpr uint32_t kColourLime = 0x00FF00;
inline constexpr uint32_t kColourRed = 0x0000FF;
inline constexpr uint32_t kColourAqua = 0xFFFF00;
inline constexpr uint32_t kColourYellow = 0x00FFFF;

// Start and Stop and the handlers of both ports' events, over the survey core. Holds no
// window: it reads and writes them through the two interfaces, so the main window's handlers
// stay thin and the whole road of a sounding runs in tests with real ports and files.
class AcquisitionSession : public QObject {
    Q_OBJECT
public:
    AcquisitionSession(TTavrinSerialGPS* gnss, TTavrinSerialGPS* sounder, QTimer* mapTimer,
                       QTimer* echogramTimer, AcquisitionInputs* inputs,
                       AcquisitionDisplay* display, SounderScanFunction scan,
                       QObject* parent = nullptr, AcquisitionState* sharedState = nullptr);
    ~AcquisitionSession() override;

    // Binds the GNSS port's eight events (and its GGA notice) and the sounder's line event;
    // the sounder's lines keep their NUL bytes, for the reader to refuse.
    void BindPorts();

    // The Start/Stop toggle. Returns whether acquisition runs afterwards.
    bool RealtimeClick();
    bool Start();
    void Stop();

    void ZGPS1Connect(QObject* sender, int port);
    void ZGPS1Disconnect(QObject* sender, int port);
    void ZGPS1Idle(QObject* sender);
    void ZGPS1Timeout(QObject* sender);
    void ZGPS1Send(QObject* sender, const std::string& text);
    void ZGPS1NewCommand(QObject* sender, const std::string& line);
    void ZGPS1Position3DChange(QObject* sender, long double latitude, long double longitude,
                               long double altitude);
    void ZGPS1SpeedChange(QObject* sender, long double speedKmh);
    void ZGPS1GgaApplied(QObject* sender);
    void ZSENSORNewCommand(QObject* sender, const std::string& line);
    void ZSENSORTimeout(QObject* sender);

    // Runs first at each Start, before anything is read (the main window takes the device
    // settings the run will use there).
    std::function<void()> BeforeStart;
    // Keeps an object (the windows' adapter) alive as long as the session.
    void KeepAlive(std::shared_ptr<void> object) { keepAlive_ = std::move(object); }

    AcquisitionCore& Core() { return core_; }
    // Tries the rows waiting for room once more, now; true when none waits any longer.
    bool WriteWaitingRows() {
        core_.RetryWaiting(true);
        return !core_.SomethingWaits();
    }
    AcquisitionState& State() { return core_.State; }
    bool Running() const { return core_.State.AcquisitionRunning; }

    // Sounder lines in a row that carry none of the type's markers before it is reported.
    static constexpr int kUnmatchedLinesReported = 50;

private:
    void refuse(const std::string& text, const std::string& control);

    // The owner may destroy its ports and timers before the session (children go in the order
    // they were made): guarded pointers see that.
    QPointer<TTavrinSerialGPS> gnss_;
    QPointer<TTavrinSerialGPS> sounder_;
    QPointer<QTimer> mapTimer_;
    QPointer<QTimer> echogramTimer_;
    QTimer* retryTimer_;
    AcquisitionInputs* inputs_;
    AcquisitionDisplay* display_;
    // Destroyed after the core, which may still report while it ends a run.
    std::shared_ptr<void> keepAlive_;
    AcquisitionCore core_;
    int unmatchedLines_ = 0;
    bool unmatchedReported_ = false;
};
