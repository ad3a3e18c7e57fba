#include "app/survey_windows/AcquisitionSession.h"

#include "platform/Clock.h"
#include "platform/DataPaths.h"
#include "positioning/gnss/TavrinSerialGPS.h"
#include "survey/GeodesyLog.h"
#include "survey/MapTimerDrawingPause.h"

#include <QTimer>

#include <functional>

AcquisitionSession::AcquisitionSession(TTavrinSerialGPS* gnss, TTavrinSerialGPS* sounder,
                                       QTimer* mapTimer, QTimer* echogramTimer,
                                       AcquisitionInputs* inputs, AcquisitionDisplay* display,
                                       SounderScanFunction scan, QObject* parent,
                                       AcquisitionState* sharedState)
    : QObject(parent), gnss_(gnss), sounder_(sounder), mapTimer_(mapTimer),
      echogramTimer_(echogramTimer), retryTimer_(new QTimer(this)), inputs_(inputs),
      display_(display),
      core_([this](const std::string& text) { display_->Message(text, true); },
            [this](const std::string& text) { display_->EventLogOnly(text); }, std::move(scan),
            sharedState) {
    // Rows that wait in memory are tried again even when no sounding comes, and after Stop
    // until every one is written.
    retryTimer_->setInterval(1000);
    connect(retryTimer_, &QTimer::timeout, this, [this] {
        core_.RetryWaiting();
        if (!core_.State.AcquisitionRunning && !core_.SomethingWaits())
            retryTimer_->stop();
    });
}

AcquisitionSession::~AcquisitionSession() {
    for (TTavrinSerialGPS* port : {gnss_.data(), sounder_.data()}) {
        if (!port)
            continue;
        port->OnConnect = nullptr;
        port->OnDisconnect = nullptr;
        port->OnIdle = nullptr;
        port->OnTimeout = nullptr;
        port->OnSend = nullptr;
        port->OnNewCommand = nullptr;
        port->OnPosition3DChange = nullptr;
        port->OnSpeedChange = nullptr;
        port->OnGgaApplied = nullptr;
    }
    core_.EndRun();
    // The state may be shared with the windows and outlive the session: no run is left behind.
    AcquisitionState& s = core_.State;
    s.AcquisitionRunning = false;
    s.GnssStarted = false;
    s.GnssStartTick = 0;
    s.AcquisitionStartTick = 0;
    s.LastSensorTick = 0;
    s.EchogramActive = false;
}

void AcquisitionSession::BindPorts() {
    using namespace std::placeholders;
    if (gnss_) {
        gnss_->OnConnect = std::bind_front(&AcquisitionSession::ZGPS1Connect, this);
        gnss_->OnDisconnect = std::bind_front(&AcquisitionSession::ZGPS1Disconnect, this);
        gnss_->OnIdle = std::bind_front(&AcquisitionSession::ZGPS1Idle, this);
        gnss_->OnTimeout = std::bind_front(&AcquisitionSession::ZGPS1Timeout, this);
        gnss_->OnSend = std::bind_front(&AcquisitionSession::ZGPS1Send, this);
        gnss_->OnNewCommand = std::bind_front(&AcquisitionSession::ZGPS1NewCommand, this);
        gnss_->OnPosition3DChange =
            std::bind_front(&AcquisitionSession::ZGPS1Position3DChange, this);
        gnss_->OnSpeedChange = std::bind_front(&AcquisitionSession::ZGPS1SpeedChange, this);
        gnss_->OnGgaApplied = std::bind_front(&AcquisitionSession::ZGPS1GgaApplied, this);
    }
    if (sounder_) {
        sounder_->OnNewCommand = std::bind_front(&AcquisitionSession::ZSENSORNewCommand, this);
        // A lost byte adds nothing to a checksum, and most sounder lines carry none: the reader
        // sees the NUL that stands for it and refuses the line.
        sounder_->KeepNulBytes = true;
    }
}

bool AcquisitionSession::RealtimeClick() {
    if (!core_.State.AcquisitionRunning)
        return Start();
    Stop();
    return false;
}

void AcquisitionSession::refuse(const std::string& text, const std::string& control) {
    display_->SetRealtimePressed(false);
    display_->ShowRunning(false);
    display_->RefuseStart(text, control);
}

bool AcquisitionSession::Start() {
    if (BeforeStart)
        BeforeStart();
    // Everything the run depends on is checked before anything opens: a typo must stop Start
    // with a message, not spoil hours of logs.
    SetupValues setup;
    if (const auto refusal = ReadSetupValues(inputs_->SurveySetupTexts(), setup)) {
        refuse(SetupFieldMessage(refusal->field, inputs_->EnglishMessages(), refusal->outOfRange),
               SetupFieldControlName(refusal->field));
        return false;
    }
    std::string geodeticFault;
    std::string geodeticControl;
    if (!inputs_->GeodeticSettingsUsable(&geodeticFault, &geodeticControl)) {
        refuse("Cannot start: Device Settings, Geodetic Parameters: " + geodeticFault + ".",
               geodeticControl);
        return false;
    }
    GeodeticRefusal geodeticRefusal;
    const auto geodetic = GeodeticSnapshot::Take(inputs_->GeodeticSettings(), &geodeticRefusal);
    if (!geodetic) {
        refuse("Cannot start: check the geodetic parameter \"" + geodeticRefusal.caption +
                   "\" in Device Settings.",
               geodeticRefusal.control);
        return false;
    }
    const bool sensorEnabled = inputs_->SensorEnabled();
    if (sensorEnabled) {
        const std::string type = inputs_->SounderTypeName();
        const auto known = SounderTypeFromName(type);
        if (!known) {
            refuse("Cannot start: the sounder type \"" + type + "\" is not one of the eight.",
                   "cSBESMessage");
            return false;
        }
        const std::string format = inputs_->SounderFormat();
        std::string reason;
        const int values = format.empty() ? 0 : inputs_->SounderFormatValues(format, &reason);
        if (format.empty() && *known == SounderType::Other) {
            refuse("Cannot start: the sounder format is empty.", "eSBESFormat");
            return false;
        }
        if (values < 0) {
            refuse("Cannot start: the sounder format is refused: " + reason, "eSBESFormat");
            return false;
        }
        if (values > SounderValueCount(*known)) {
            refuse("Cannot start: the sounder format reads " + std::to_string(values) +
                       " numbers, the type \"" + type + "\" carries " +
                       std::to_string(SounderValueCount(*known)) + ".",
                   "eSBESFormat");
            return false;
        }
        // Fewer numbers than the type carries would make every line of the run invalid:
        // nothing logged and nothing said.
        if (values < SounderValueCount(*known)) {
            refuse("Cannot start: the sounder format reads " + std::to_string(values) +
                       " numbers, the type \"" + type + "\" needs " +
                       std::to_string(SounderValueCount(*known)) + ".",
                   "eSBESFormat");
            return false;
        }
    }

    // A port page that cannot be applied has told the operator why; the run does not start
    // on the settings of an earlier one, and leaves no geodesy entry behind.
    if (!inputs_->CopyPortSettings()) {
        display_->SetRealtimePressed(false);
        display_->ShowRunning(false);
        return false;
    }

    MakeFolders(LogFolder);
    MakeFolders(XyzFolder);
    std::string error;
    const LocalDateTime startedAt = Clock::now();
    const std::string geodesyPath = LogFolder + TodayString() + " Geodesy.txt";
    if (!WriteGeodesyLog(geodesyPath, geodetic->texts(), startedAt, &error)) {
        refuse("Cannot start: the geodesy log cannot be written: " + error, "");
        return false;
    }

    core_.BeginRun(setup, *geodetic, CoordinatesLogPath,
                   XyzFolder + TodayText + " Simple XYZ.csv");
    core_.KeepRunFolders(geodesyPath, startedAt);
    unmatchedLines_ = 0;
    unmatchedReported_ = false;

    gnss_->Open();
    if (gnss_->Connected) {
        core_.State.GnssStarted = true;
        core_.State.GnssStartTick = Clock::tickCount();
    } else {
        display_->Message("Cannot open GPS on " + TTavrinSerialGPS::PortName(gnss_->PortNumber) +
                              ": " + gnss_->LastError,
                          true);
    }

    if (sensorEnabled) {
        sounder_->Open();
        if (sounder_->Connected)
            display_->MemoOnly("ZSENSOR Open called on port: " +
                               TTavrinSerialGPS::PortName(sounder_->PortNumber));
        else
            display_->Message("ZSENSOR Open failed: " + sounder_->LastError, true);
        if (echogramTimer_)
            echogramTimer_->start();
        core_.State.AcquisitionStartTick = Clock::tickCount();
        core_.State.SensorSilenceReported = false;
    }
    display_->AcquisitionStarted(sensorEnabled);
    display_->ShowRunning(true);
    display_->EventLogOnly("Realtime STARTED");
    core_.State.AcquisitionRunning = true;
    retryTimer_->start();
    return true;
}

void AcquisitionSession::Stop() {
    if (gnss_)
        gnss_->Close();
    if (sounder_)
        sounder_->Close();
    if (mapTimer_)
        mapTimer_->stop();
    if (echogramTimer_)
        echogramTimer_->stop();
    ClearMapTimerPausedByDrawing();
    AcquisitionState& s = core_.State;
    s.EchogramActive = false;
    s.LastSensorTick = 0;
    s.AcquisitionStartTick = 0;
    s.SensorSilenceReported = false;
    s.GnssStartTick = 0;
    s.GnssStarted = false;
    display_->AcquisitionStopped();
    display_->ShowRunning(false);
    core_.EndRun();
    display_->EventLogOnly("Realtime STOPPED");
    s.AcquisitionRunning = false;
    // Rows still waiting for room are written as soon as it returns, not at the next Start.
    if (!core_.SomethingWaits())
        retryTimer_->stop();
}

void AcquisitionSession::ZGPS1Connect(QObject*, int port) {
    display_->Message("Connected to GPS on " + TTavrinSerialGPS::PortName(port), false);
    display_->SetRealtimePressed(true);
    display_->GnssConnected();
}

void AcquisitionSession::ZGPS1Disconnect(QObject*, int port) {
    core_.GnssPortClosed();
    if (mapTimer_)
        mapTimer_->stop();
    ClearMapTimerPausedByDrawing();
    display_->Message("Disconnected from GPS on " + TTavrinSerialGPS::PortName(port), true);
    display_->SetRealtimePressed(false);
}

void AcquisitionSession::ZGPS1Idle(QObject*) {
    if (mapTimer_)
        mapTimer_->stop();
    ClearMapTimerPausedByDrawing();
    core_.GnssIdle();
    display_->Message("GPS is idle!", true);
    display_->GnssBox(kColourRed);
}

void AcquisitionSession::ZGPS1Timeout(QObject*) {
    display_->Message("GPS Timeout!", true);
}

void AcquisitionSession::ZGPS1Send(QObject*, const std::string& text) {
    display_->Message("Command sent to device: " + text, true);
}

void AcquisitionSession::ZGPS1NewCommand(QObject*, const std::string& line) {
    AcquisitionState& s = core_.State;
    if (mapTimer_ && !mapTimer_->isActive() && s.GnssStarted) {
        mapTimer_->start();
        display_->GnssBox(kColourLime);
    }
    display_->MonitorLine(true, line);
    if (inputs_->SetupWindowVisible()) {
        core_.GnssLine(line, nullptr);
    } else {
        const SetupTexts texts = inputs_->SurveySetupTexts();
        core_.GnssLine(line, &texts);
    }
    const int quality = gnss_->GetFixQuality();
    if (quality != s.PreviousFixQuality) {
        uint32_t colour = kColourYellow;
        if (quality == 4)
            colour = kColourLime;
        else if (quality == 0 || quality == 1)
            colour = kColourRed;
        else if (quality == 2)
            colour = kColourAqua;
        display_->GnssBox(colour);
        s.PreviousFixQuality = quality;
    }
}

void AcquisitionSession::ZGPS1Position3DChange(QObject*, long double latitude,
                                               long double longitude, long double altitude) {
    core_.PositionChanged(double(latitude), double(longitude), double(altitude));
}

void AcquisitionSession::ZGPS1SpeedChange(QObject*, long double speedKmh) {
    display_->Speed(double(speedKmh) / 1.852);
}

void AcquisitionSession::ZGPS1GgaApplied(QObject*) {
    core_.GgaApplied(double(gnss_->GetLatitude()), double(gnss_->GetLongitude()),
                     double(gnss_->GetAltitude()), gnss_->GetFixQuality(), inputs_->GyroEnabled(),
                     double(gnss_->GetCourse()));
}

void AcquisitionSession::ZSENSORNewCommand(QObject*, const std::string& line) {
    display_->MonitorLine(false, line);
    SounderLineInput input;
    input.TypeName = inputs_->SounderTypeName();
    input.Format = inputs_->SounderFormat();
    input.ProfileColumn = inputs_->SoundVelocityColumn();
    const SounderLineOutcome outcome = core_.SounderLine(line, input);
    if (!outcome.Taken) {
        // A refused line was told by the core; it says nothing of whether the type is right.
        if (outcome.Refusal == SounderRefusal::None &&
            ++unmatchedLines_ >= kUnmatchedLinesReported && !unmatchedReported_) {
            unmatchedReported_ = true;
            display_->Message("Sounder lines do not match the type \"" + input.TypeName + "\"",
                              true);
        }
    } else {
        unmatchedLines_ = 0;
        unmatchedReported_ = false;
    }
    display_->SounderLineShown(outcome, input.TypeName);
    if (outcome.Valid && outcome.AlertDepth && core_.State.AcquisitionRunning &&
        display_->RealtimePressed())
        display_->ShallowAlert(*outcome.AlertDepth <= inputs_->ShallowAlertDepth());
}

void AcquisitionSession::ZSENSORTimeout(QObject*) {
    display_->Message("Sensor TimeOut.", true);
    display_->SensorSilent();
}
