#include "survey/AcquisitionCore.h"

#include "platform/Clock.h"
#include "platform/DataPaths.h"
#include "survey/GeodesyLog.h"
#include "survey/GnssLineReader.h"
#include "survey/SurveyLogRows.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <iterator>

AcquisitionCore::AcquisitionCore(Reporter report, Reporter eventLog, SounderScanFunction scan,
                                 AcquisitionState* sharedState)
    : State(sharedState ? *sharedState : ownState_), report_(std::move(report)),
      eventLog_(std::move(eventLog)), scan_(std::move(scan)),
      writer_(std::make_unique<DurableLogWriter>(report_)) {
    writer_->onFolderMade([this](const std::string& folder) { folderMadeAgain(folder); });
}

AcquisitionCore::~AcquisitionCore() {
    if (running_)
        EndRun();
    // The program ends (a signal, the desktop session, the operator's choice): nothing can
    // wait any longer. One last try, then what is lost is said where it can still be read.
    RetryWaiting(true);
    const std::vector<std::string> lost = WaitingTexts();
    if (lost.empty())
        return;
    std::string text = "Not written for want of room when the program ended, and lost: ";
    for (size_t i = 0; i < lost.size(); ++i)
        text += (i > 0 ? "; " : "") + lost[i];
    std::cerr << text << std::endl;
    if (eventLog_)
        eventLog_(text);
}

void AcquisitionCore::BeginRun(const SetupValues& setup, const GeodeticSnapshot& geodetic,
                               const std::string& surveyLogPath, const std::string& xyzLogPath) {
    State.CopiedOffsetA = setup.OffsetA;
    State.CopiedSoundVelocity = setup.SoundVelocity;
    State.CopiedOffsetC = setup.OffsetC;
    State.CopiedTideHeight = setup.TideHeight;
    Position = PositionRecord{};
    geodetic_ = geodetic;
    projector_ = std::make_unique<GridProjector>(geodetic);
    // The writer of the earlier runs: rows of theirs that still wait go first.
    surveyLog_ = writer_->addLog(surveyLogPath, kSurveyLogHeader, true, "Survey log");
    xyzLog_ = writer_->addLog(xyzLogPath, kSimpleXyzHeader, false, "Simple XYZ log");
    logFolders_.clear();
    for (const std::string& path : {surveyLogPath, xyzLogPath})
        logFolders_.push_back(std::filesystem::path(path).parent_path().string());
    runFolders_.reset();
    corrector_.reset();
    setupSpell_ = false;
    lambertReported_ = false;
    profileSpell_ = false;
    notLoggedInSpell_ = 0;
    noPositionSince_ = 0;
    noPositionShown_ = false;
    notLoggedTotal_ = 0;
    loggedTotal_ = 0;
    std::fill(std::begin(refusedByReason_), std::end(refusedByReason_), 0);
    refusedTotal_ = 0;
    running_ = true;
}

void AcquisitionCore::KeepRunFolders(const std::string& geodesyPath,
                                     const LocalDateTime& startedAt) {
    runFolders_ = RunFolders{geodesyPath, startedAt};
}

void AcquisitionCore::folderMadeAgain(const std::string& folder) {
    if (!runFolders_ || !geodetic_)
        return;
    // Every folder of the run at once: the other log then finds its own, the events log takes
    // the message in the new folder, and the operator hears of one loss once.
    for (const std::string& logFolder : logFolders_)
        MakeFolders(logFolder);
    const std::string& geodesyPath = runFolders_->geodesyPath;
    MakeFolders(std::filesystem::path(geodesyPath).parent_path().string());
    std::string text = "The folder " + folder +
                       " was missing during the run and has been made again; the survey logs go "
                       "on in it";
    std::error_code missing;
    const bool queued = std::any_of(waitingBlocks_.begin(), waitingBlocks_.end(),
                                    [&](const WaitingBlock& b) { return b.path == geodesyPath; });
    if (!queued && !std::filesystem::exists(geodesyPath, missing)) {
        // The name and the date are those Start gave the log, also after midnight: the block
        // belongs beside the run's survey log.
        std::string error;
        if (WriteGeodesyLog(geodesyPath, geodetic_->texts(), runFolders_->startedAt, &error,
                            runFolders_->startedAt)) {
            text += ", and the run's geodetic parameters are written again to " + geodesyPath;
        } else {
            if (waitingBlocks_.size() >= kMaxWaitingBlocks)
                waitingBlocks_.erase(waitingBlocks_.begin());
            waitingBlocks_.push_back({geodesyPath, geodetic_->texts(), runFolders_->startedAt});
            lastBlockTryTick_ = Clock::tickCount();
            text += "; the run's geodetic parameters cannot be written to " + geodesyPath + " (" +
                    error + ") and wait in memory until they can";
        }
    }
    report_(text);
}

bool AcquisitionCore::writeWaitingBlocks(bool force) {
    if (waitingBlocks_.empty())
        return true;
    const uint64_t now = Clock::tickCount();
    if (!force && now - lastBlockTryTick_ < DurableLogWriter::kRetryIntervalMs)
        return false;
    lastBlockTryTick_ = now;
    while (!waitingBlocks_.empty()) {
        const WaitingBlock& block = waitingBlocks_.front();
        if (!WriteGeodesyLog(block.path, block.texts, block.startedAt, nullptr, block.startedAt))
            return false;
        report_("The run's geodetic parameters that waited in memory are written to " + block.path);
        waitingBlocks_.erase(waitingBlocks_.begin());
    }
    return true;
}

void AcquisitionCore::RetryWaiting(bool force) {
    writer_->retryPending(force);
    writeWaitingBlocks(force);
}

size_t AcquisitionCore::WaitingRows() const {
    return writer_->pendingRows();
}

bool AcquisitionCore::SomethingWaits() const {
    return writer_->pendingRows() > 0 || !waitingBlocks_.empty();
}

std::vector<std::string> AcquisitionCore::WaitingTexts() const {
    std::vector<std::string> texts;
    for (const DurableLogWriter::Waiting& log : writer_->waiting())
        texts.push_back(log.label + " " + log.path + ": " + std::to_string(log.rows) + " rows");
    for (const WaitingBlock& block : waitingBlocks_)
        texts.push_back("Geodesy log " + block.path + ": the run's geodetic parameters");
    return texts;
}

void AcquisitionCore::EndRun() {
    if (!running_)
        return;
    endNoPositionSpell();
    if (refusedTotal_ > 0 && eventLog_)
        eventLog_("Sounder lines refused: " + std::to_string(refusedTotal_) + " (wrong checksum " +
                  std::to_string(refusedByReason_[0]) + ", NUL byte " +
                  std::to_string(refusedByReason_[1]) + ", stray byte " +
                  std::to_string(refusedByReason_[2]) + ", depth out of range " +
                  std::to_string(refusedByReason_[3]) + ")");
    RetryWaiting(true);
    for (const DurableLogWriter::Waiting& log : writer_->waiting())
        report_(log.label + " rows not written at Stop: " + std::to_string(log.rows) +
                "; they wait in memory and go to " + log.path +
                " as soon as it can take them, before the rows of the next run");
    writer_->syncNow();
    running_ = false;
}

void AcquisitionCore::GnssLine(const std::string& line, const SetupTexts* setupTexts) {
    const GnssLineReading reading = ReadGnssLine(line);
    if (!reading.ChecksumWrong) {
        if (reading.Heading)
            State.GyroHeading = *reading.Heading;
        if (reading.SpeedKnots && *reading.SpeedKnots >= 0)
            State.SpeedKnots = *reading.SpeedKnots;
    }
    if (setupTexts) {
        SetupValues values;
        const auto refusal = ReadSetupValues(*setupTexts, values);
        if (!refusal) {
            State.CopiedOffsetA = values.OffsetA;
            State.CopiedSoundVelocity = values.SoundVelocity;
            State.CopiedOffsetC = values.OffsetC;
            State.CopiedTideHeight = values.TideHeight;
            setupSpell_ = false;
        } else if (!setupSpell_) {
            setupSpell_ = true;
            report_("Survey set-up value not used, the last good values stay: " +
                    SetupFieldMessage(refusal->field, true, refusal->outOfRange));
        }
    }
    if (!reading.ChecksumWrong) {
        if (const auto height = RtkAntennaHeight(reading)) {
            State.AntennaHeight = *height;
            State.RtkTide = State.AntennaHeight - State.CopiedOffsetC;
        }
    }
}

void AcquisitionCore::PositionChanged(double latitude, double longitude, double altitude) {
    State.VesselLatitude = latitude;
    State.VesselLongitude = longitude;
    State.VesselAltitude = altitude;
}

void AcquisitionCore::GgaApplied(double latitude, double longitude, double altitude,
                                 int fixQuality, bool gyroEnabled, double course) {
    PositionRecord record;
    record.HasGga = true;
    record.Latitude = latitude;
    record.Longitude = longitude;
    record.Altitude = altitude;
    record.FixQuality = fixQuality;
    record.GgaTick = Clock::tickCount();
    const bool noFix = latitude == 0 && longitude == 0;
    if (projector_ && !noFix) {
        int code = 0;
        if (const auto grid = projector_->project(latitude, longitude, altitude, &code)) {
            record.Projected = true;
            record.Easting = grid->Easting;
            record.Northing = grid->Northing;
            record.Convergence = grid->Convergence;
            State.VesselEasting = grid->Easting;
            State.VesselNorthing = grid->Northing;
            State.GridConvergence = grid->Convergence;
            State.GridHeading = (gyroEnabled ? State.GyroHeading : course) + grid->Convergence;
        } else if (code != 0 && !lambertReported_) {
            lambertReported_ = true;
            report_("The position is outside the Lambert projection (code " +
                    std::to_string(code) + "): no grid position");
        }
    }
    Position = record;
}

void AcquisitionCore::GnssIdle() {
    State.VesselLatitude = 0;
    State.VesselLongitude = 0;
    Position.Projected = false;
}

void AcquisitionCore::GnssPortClosed() {
    Position.PortClosed = true;
}

void AcquisitionCore::endNoPositionSpell() {
    if (notLoggedInSpell_ > 0 && eventLog_)
        eventLog_("Soundings not logged without a GNSS position: " +
                  std::to_string(notLoggedInSpell_));
    notLoggedInSpell_ = 0;
    noPositionSince_ = 0;
    noPositionShown_ = false;
}

SounderLineOutcome AcquisitionCore::refuse(SounderLineOutcome outcome, SounderRefusal why) {
    outcome.Refusal = why;
    const size_t reason = size_t(why) - 1;
    ++refusedTotal_;
    if (refusedByReason_[reason]++ == 0 && report_) {
        const std::string reasonText[kRefusalReasons] = {
            "its checksum is not its own", "it holds a NUL byte",
            "it holds a control byte, DEL or a byte from 0x80 up",
            "its depth is not finite or is beyond " + std::to_string(int(kDeepestSeaMetres)) +
                " m either way"};
        report_("Sounder line refused, not logged or shown: " + reasonText[reason] +
                "; such lines are counted in the events log at Stop");
    }
    return outcome;
}

SounderLineOutcome AcquisitionCore::SounderLine(const std::string& line,
                                                const SounderLineInput& input) {
    SounderLineOutcome outcome;
    const uint64_t now = Clock::tickCount();
    State.LastSensorTick = now;
    State.SensorSilenceReported = false;
    if (!State.EchogramActive) {
        State.EchogramActive = true;
        outcome.Activated = true;
    }
    const SounderReading reading = ReadSounderLine(input.TypeName, input.Format, line, scan_);
    if (reading.Refusal != SounderRefusal::None)
        return refuse(outcome, reading.Refusal);
    if (!reading.Taken)
        return outcome;
    const SounderType type = *SounderTypeFromName(input.TypeName);
    if (!reading.Valid) {
        outcome.Taken = true;
        State.TrueDepthHigh = 0;
        State.TrueDepthLow = 0;
        return outcome;
    }
    const CorrectedDepths depths = corrector_.correct(type, reading, State.CopiedSoundVelocity,
                                                      State.CopiedOffsetA, input.ProfileColumn);
    if (!CorrectedDepthsUsable(depths, State.CopiedTideHeight))
        return refuse(outcome, SounderRefusal::DepthOutOfRange);
    if (corrector_.profileFault() && !profileSpell_) {
        profileSpell_ = true;
        report_("The sound velocity column has no velocity for this depth: the last good "
                "velocity is used");
    } else if (!corrector_.profileFault()) {
        profileSpell_ = false;
    }
    outcome.Taken = true;
    outcome.Valid = true;
    outcome.Battery = reading.Battery;
    State.TrueDepthHigh = depths.TrueHigh;
    State.TrueDepthLow = depths.TrueLow;
    State.NewDepthPending = true;
    outcome.TrueDepthHigh = depths.TrueHigh;
    outcome.TrueDepthLow = depths.TrueLow;
    const bool lowOnly = !SounderCarriesHigh(type);
    outcome.AlertDepth = lowOnly ? depths.TrueLow : depths.TrueHigh;

    const double primaryRaw = lowOnly ? reading.RawLow : reading.RawHigh;
    if (primaryRaw == 0 || !running_ || !writer_)
        return outcome;
    if (!IsCurrentPosition(Position, now)) {
        outcome.NotLoggedNoPosition = true;
        ++notLoggedTotal_;
        if (notLoggedInSpell_++ == 0)
            noPositionSince_ = now;
        if (!noPositionShown_ && now - noPositionSince_ > kPositionMaxAgeMs) {
            noPositionShown_ = true;
            report_("No current GNSS position for more than 3 s: soundings are shown but not "
                    "logged");
        }
        return outcome;
    }
    endNoPositionSpell();

    SurveyLogRow row;
    row.Time = Clock::now();
    row.Latitude = Position.Latitude;
    row.Longitude = Position.Longitude;
    row.Easting = Position.Easting;
    row.Northing = Position.Northing;
    row.TrueDepthHigh = depths.TrueHigh;
    row.TrueDepthLow = depths.TrueLow;
    row.RawDepthHigh = reading.RawHigh;
    row.RawDepthLow = reading.RawLow;
    row.MessageFormat = input.TypeName;
    row.SoundVelocity = lowOnly ? depths.VelocityLow : depths.VelocityHigh;
    row.TransducerDraft = State.CopiedOffsetA;
    row.FixQuality = Position.FixQuality;
    row.AntennaHeight = State.AntennaHeight;
    row.ManualTide = State.CopiedTideHeight;
    row.RtkTide = State.RtkTide;
    row.XyzFromLowDepth = lowOnly;
    writer_->append(surveyLog_, SurveyLogLine(row));
    writer_->append(xyzLog_, SimpleXyzLine(row));
    ++loggedTotal_;
    outcome.Logged = true;
    return outcome;
}
