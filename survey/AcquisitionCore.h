#pragma once

#include "platform/Clock.h"
#include "platform/DurableLogWriter.h"
#include "survey/AcquisitionState.h"
#include "survey/DepthCorrection.h"
#include "survey/GeodeticSnapshot.h"
#include "survey/PositionRecord.h"
#include "survey/SetupValues.h"
#include "survey/SounderLineReader.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What one sounder line did, for the windows to show.
struct SounderLineOutcome {
    bool Taken = false; // the type is known, the line carries its markers, not refused
    // A line of the type that is not used at all, and why: shown, logged and drawn as a line
    // that does not match the type (the core tells the operator and counts it).
    SounderRefusal Refusal = SounderRefusal::None;
    bool Valid = false;      // the scan gave the type's numbers
    bool Activated = false;  // first line since Start or since a reported silence
    double TrueDepthHigh = 0;
    double TrueDepthLow = 0;
    std::optional<double> Battery;
    // The depth the shallow alert compares (the low depth for a low-frequency-only type).
    std::optional<double> AlertDepth;
    bool Logged = false;           // both rows written (or waiting in memory)
    bool NotLoggedNoPosition = false;
};

// Everything a sounder line needs besides the line.
struct SounderLineInput {
    std::string TypeName;   // the device settings' type text
    std::string Format;     // its scan format
    // The velocity column while a profile is in use; null for the single velocity.
    const std::vector<std::string>* ProfileColumn = nullptr;
};

// The survey's own logic between Start and Stop, without windows: the acquisition state, the
// position of the last GGA with its grid position, the set-up and geodetic values taken at
// Start, the depth correction and the two survey logs.
//
// `report` is for what the operator must see (message window and events log), `eventLog` for
// the events log alone. Both run on the caller's (user-interface) thread.
class AcquisitionCore {
public:
    using Reporter = std::function<void(const std::string& text)>;

    // `sharedState`, when given, is the state the windows read (the core's own otherwise).
    AcquisitionCore(Reporter report, Reporter eventLog, SounderScanFunction scan,
                    AcquisitionState* sharedState = nullptr);
    ~AcquisitionCore();

private:
    AcquisitionState ownState_;

public:
    AcquisitionState& State;
    PositionRecord Position;

    // Begins a run: takes the values, clears the position record, opens nothing yet.
    void BeginRun(const SetupValues& setup, const GeodeticSnapshot& geodetic,
                  const std::string& surveyLogPath, const std::string& xyzLogPath);
    // Start has made the run's folders and written its geodesy block to `geodesyPath` at
    // `startedAt`. A folder a log writer has to make from now on was lost during the run (the
    // day folder moved or deleted): the run's folders are made again, the block is written into
    // a geodesy log of the same name (the date Start gave it, also after midnight), and the
    // operator is told once. A block that finds no room waits in memory, as rows do.
    void KeepRunFolders(const std::string& geodesyPath, const LocalDateTime& startedAt);
    // Ends a run: writes what waits, reports the soundings not logged, syncs the logs. Rows
    // that still wait for room keep waiting, for the same files, into the next run.
    void EndRun();
    // Writes the rows and geodesy blocks that wait, when a second has passed since the last try
    // (or `force`).
    void RetryWaiting(bool force = false);
    // Rows (of both logs) and geodesy blocks waiting in memory for room.
    size_t WaitingRows() const;
    bool SomethingWaits() const;
    // What waits, one "<count> rows of the <log> <path>" (or geodesy block) text per file.
    std::vector<std::string> WaitingTexts() const;
    bool Running() const { return running_; }

    // A GNSS line (steps the port's parser does not do). `setupTexts` is given while the set-up
    // window is hidden: its values replace the copies when all four are numbers, else the last
    // good ones stay (reported once per spell).
    void GnssLine(const std::string& line, const SetupTexts* setupTexts);
    // The port's parser changed the position.
    void PositionChanged(double latitude, double longitude, double altitude);
    // After every GGA the port's parser applied: the record of the fix, projected at once.
    void GgaApplied(double latitude, double longitude, double altitude, int fixQuality,
                    bool gyroEnabled, double course);
    // The receiver went silent: no position is current until the next GGA.
    void GnssIdle();
    // The receiver's port closed (unplugged, or Stop): the fix it gave is no longer where the
    // boat is, however young; only a fix from the port opened again is.
    void GnssPortClosed();

    SounderLineOutcome SounderLine(const std::string& line, const SounderLineInput& input);

    const GridProjector* Projector() const { return projector_.get(); }
    const std::optional<GeodeticSnapshot>& Geodetic() const { return geodetic_; }
    DurableLogWriter* Writer() { return writer_.get(); }
    int SurveyLog() const { return surveyLog_; }
    int XyzLog() const { return xyzLog_; }
    uint64_t SoundingsNotLogged() const { return notLoggedTotal_; }
    uint64_t SoundingsLogged() const { return loggedTotal_; }
    uint64_t SounderLinesRefused() const { return refusedTotal_; }

private:
    void endNoPositionSpell();
    SounderLineOutcome refuse(SounderLineOutcome outcome, SounderRefusal why);
    void folderMadeAgain(const std::string& folder);

    Reporter report_;
    Reporter eventLog_;
    SounderScanFunction scan_;
    bool running_ = false;
    std::optional<GeodeticSnapshot> geodetic_;
    std::unique_ptr<GridProjector> projector_;
    // Kept from the first run to the end of the program: rows that wait for room outlive Stop.
    std::unique_ptr<DurableLogWriter> writer_;
    int surveyLog_ = -1;
    int xyzLog_ = -1;
    std::vector<std::string> logFolders_;
    struct RunFolders {
        std::string geodesyPath;
        LocalDateTime startedAt;
    };
    std::optional<RunFolders> runFolders_;
    // Geodesy blocks made again that found no room, oldest first (a handful at most: one for
    // each loss of the day folder while the disk was full).
    struct WaitingBlock {
        std::string path;
        GeodeticTexts texts;
        LocalDateTime startedAt;
    };
    std::vector<WaitingBlock> waitingBlocks_;
    static constexpr size_t kMaxWaitingBlocks = 16;
    uint64_t lastBlockTryTick_ = 0;
    bool writeWaitingBlocks(bool force);
    DepthCorrector corrector_;

    bool setupSpell_ = false;
    bool lambertReported_ = false;
    bool profileSpell_ = false;

    uint64_t notLoggedInSpell_ = 0;
    uint64_t noPositionSince_ = 0;
    bool noPositionShown_ = false;
    uint64_t notLoggedTotal_ = 0;
    uint64_t loggedTotal_ = 0;

    // Refused sounder lines of the run by reason (SounderRefusal's values but None), each
    // reason told once a run; the count goes to the events log at the end of the run.
    static constexpr size_t kRefusalReasons = 4;
    uint64_t refusedByReason_[kRefusalReasons] = {};
    uint64_t refusedTotal_ = 0;
};
