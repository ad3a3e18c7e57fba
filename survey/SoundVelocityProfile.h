#pragma once

#include <functional>
#include <string>
#include <vector>

// Building a sound velocity column from a profiling instrument's cast, in three steps that the
// sound velocity window runs on its four lists: raw lines to extracted "depth,velocity" lines,
// those to one averaged slot per whole metre, the slots to the column of mean velocities from
// the surface down. Pure: lists in, lists and messages out; the only question put to the
// operator (skip implausible velocities?) goes through a callback.

inline constexpr const char* DefaultSvpSearchString = "%*23s %lf,%lf";
inline constexpr int DefaultSvpMaxDepth = 200;
inline constexpr int LargestSvpMaxDepth = 12000;

// The plausibility test of the extract step: 1350 <= v <= 1600.
bool IsValidSoundVelocity(double v);

// Max Depth as typed: a whole number 0..12000, else false with the message to show.
bool ParseSvpMaxDepth(const std::string& text, int& maxDepth, std::string& message);

// OK/Cancel question; true for OK.
using SvpAskOkCancel = std::function<bool(const std::string& message)>;

struct SvpExtractResult {
    bool refused = false;           // the format was refused: nothing was done, lists unchanged
    bool cancelled = false;         // Cancel on the implausible-velocity question
    std::vector<std::string> extracted;
    std::string message;            // refusal, or the notice about lines that did not scan
    int unscannedLines = 0;         // lines that did not yield both values
    int implausibleLines = 0;       // velocities outside 1350..1600, skipped
    int farDepthLines = 0;          // depths beyond +-100000 m, skipped
};

// Extract step. `svFirst`: the first stored value is the velocity.
SvpExtractResult ExtractSoundVelocities(const std::vector<std::string>& raw,
                                        const std::string& searchString, bool svFirst,
                                        bool english, const SvpAskOkCancel& ask);

// Averaging step: maxDepth + 1 slots, slot k for depth k.
std::vector<std::string> AverageSoundVelocities(const std::vector<std::string>& extracted,
                                                int maxDepth);

struct SvpColumnResult {
    bool ok = false;
    std::vector<std::string> column; // empty unless ok
    std::string message;             // why it failed
};

// Column step. Each averaged line is placed at the depth it names, so a list whose empty slots
// were dropped (the graph editor writes only points) gives the same column as the aligned one.
SvpColumnResult BuildVelocityColumn(const std::vector<std::string>& averaged, int maxDepth,
                                    bool english);

struct SvpFormatDetection {
    bool ok = false;
    std::string searchString;
    bool svFirst = false;
    std::string message; // the summary when ok, else why not
};

// Builds the search string from the cast's header line. `fileName` names the file in the
// refusal of decimal commas.
SvpFormatDetection DetectSvpFormat(const std::vector<std::string>& raw, bool english,
                                   const std::string& fileName);
