// The sound velocity window's files over arbitrary bytes, read as the window reads them
// (ReadTextLines) and taken as a cast, as an extracted or averaged list, and as the velocity
// column. Properties: every value a step takes is finite and within the window's ranges
// (velocities 1350..1600 m/s extracted, depths within +-100000 m, slots 0..Max Depth, a
// column strictly between 1300 and 1700 m/s); a line a step refuses changes nothing of what it
// builds from the others (the result is the one without that line).

#include "fuzz/FuzzProperty.h"
#include "fuzz/FuzzTemporaryFolder.h"

#include "platform/ScanFormat.h"
#include "survey/ProfileGraphModel.h"
#include "survey/SlotScan.h"
#include "survey/SoundVelocityFiles.h"
#include "survey/SoundVelocityProfile.h"
#include "survey/VelocityColumn.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr double FarDepth = 100000.0;

std::string InputPath() {
    static const std::string path = MakeFuzzFolder("fuzz_svp") + "/cast.txt";
    return path;
}

std::vector<std::string> Kept(const std::vector<std::string>& lines,
                              const std::function<bool(const std::string&)>& taken) {
    std::vector<std::string> kept;
    for (const std::string& line : lines)
        if (taken(line))
            kept.push_back(line);
    return kept;
}

bool InExtractedRanges(const std::string& line) {
    int depth = 0;
    double velocity = 0;
    return ScanDepthVelocity(line, depth, velocity) == 2 && std::fabs(depth) <= FarDepth &&
           std::isfinite(velocity) && IsValidSoundVelocity(velocity);
}

// The extract step with one search string; answers "skip" to the implausible-velocity question.
void CheckExtract(const std::vector<std::string>& raw, const std::string& searchString,
                  bool svFirst) {
    const auto skip = [](const std::string& message) {
        FUZZ_PROPERTY(!message.empty());
        return true;
    };
    const SvpExtractResult result = ExtractSoundVelocities(raw, searchString, svFirst, true, skip);
    if (result.refused) {
        FUZZ_PROPERTY(!result.message.empty() && result.extracted.empty());
        return;
    }
    FUZZ_PROPERTY(!result.cancelled);
    for (const std::string& line : result.extracted)
        FUZZ_PROPERTY(InExtractedRanges(line));
    FUZZ_PROPERTY(result.extracted.size() + size_t(result.unscannedLines) +
                      size_t(result.implausibleLines) + size_t(result.farDepthLines) ==
                  raw.size());

    std::string error;
    const ScanFormat format = CompileSounderFormat(searchString, error);
    const std::vector<std::string> scanned = Kept(raw, [&](const std::string& line) {
        double values[ScanFormat::MaxNumbers] = {};
        return ScanSounderLine(line, format, values) >= 2;
    });
    FUZZ_PROPERTY(ExtractSoundVelocities(scanned, searchString, svFirst, true, skip).extracted ==
                  result.extracted);
}

// The averaged slots of an extracted list; `plausible`: the list came from the extract step.
std::vector<std::string> CheckAverage(const std::vector<std::string>& extracted, int maxDepth,
                                      bool plausible) {
    const std::vector<std::string> slots = AverageSoundVelocities(extracted, maxDepth);
    FUZZ_PROPERTY(slots.size() == size_t(maxDepth) + 1);
    for (size_t k = 0; k < slots.size(); ++k) {
        if (slots[k].empty())
            continue;
        int depth = -1;
        double velocity = 0;
        int count = 0;
        FUZZ_PROPERTY(ScanDepthVelocityCount(slots[k], depth, velocity, count) == 3);
        FUZZ_PROPERTY(depth == static_cast<int>(k) && count >= 0);
        FUZZ_PROPERTY(std::isfinite(velocity));
        if (plausible)
            FUZZ_PROPERTY(velocity >= 1350.0 - 0.005 && velocity <= 1600.0 + 0.005);
    }
    const std::vector<std::string> readable = Kept(extracted, [](const std::string& line) {
        int depth = 0;
        double velocity = 0;
        return ScanDepthVelocity(line, depth, velocity) == 2;
    });
    FUZZ_PROPERTY(AverageSoundVelocities(readable, maxDepth) == slots);
    return slots;
}

void CheckColumnLines(const std::vector<std::string>& column, size_t expectedLines) {
    FUZZ_PROPERTY(column.size() == expectedLines);
    const VelocityColumn parsed = VelocityColumn::FromLines(column);
    FUZZ_PROPERTY(parsed.valid() && size_t(parsed.lineCount()) == expectedLines);
}

void CheckBuildColumn(const std::vector<std::string>& averaged, int maxDepth) {
    const SvpColumnResult result = BuildVelocityColumn(averaged, maxDepth, true);
    if (!result.ok) {
        FUZZ_PROPERTY(!result.message.empty() && result.column.empty());
        return;
    }
    CheckColumnLines(result.column, size_t(maxDepth) + 1);
}

// The velocity column file as the sounder uses it.
void CheckVelocityColumn(const std::vector<std::string>& lines) {
    std::string error;
    const VelocityColumn column = VelocityColumn::FromLines(lines, &error);
    if (!column.valid()) {
        FUZZ_PROPERTY(!error.empty() && column.lineCount() == 0);
        return;
    }
    FUZZ_PROPERTY(size_t(column.lineCount()) == lines.size());
    for (const double depth : {-1.0, 0.0, 0.49, 0.5, 12.5, 1e9, -1e300,
                               std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::infinity()}) {
        const VelocityColumn::Lookup found = column.velocityAt(depth);
        FUZZ_PROPERTY(found.line >= 0 && found.line < column.lineCount());
        FUZZ_PROPERTY(std::isfinite(found.velocity) && found.velocity > 1300.0 &&
                      found.velocity < 1700.0);
    }
}

// The averaged list in the graph editor.
void CheckGraph(const std::vector<std::string>& lines) {
    ProfileGraphModel model;
    model.LoadPoints(lines);
    for (const TSVPPoint& point : model.Points)
        FUZZ_PROPERTY(std::isfinite(point.SV));
    FUZZ_PROPERTY(std::isfinite(model.MinSV) && std::isfinite(model.MaxSV) &&
                  std::isfinite(model.MinDepth) && std::isfinite(model.MaxDepth));
    ProfileGraphModel readable;
    readable.LoadPoints(Kept(lines, [](const std::string& line) {
        int depth = 0, count = 0;
        double velocity = 0;
        return ScanDepthVelocityCount(line, depth, velocity, count) >= 2;
    }));
    FUZZ_PROPERTY(readable.WritePoints() == model.WritePoints());
    const std::vector<std::string> written = model.WritePoints();
    ProfileGraphModel reread;
    reread.LoadPoints(written);
    FUZZ_PROPERTY(reread.Points.size() == model.Points.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = InputPath();
    {
        FILE* file = std::fopen(path.c_str(), "wb");
        FUZZ_PROPERTY(file != nullptr);
        FUZZ_PROPERTY(std::fwrite(data, 1, size, file) == size);
        std::fclose(file);
    }
    std::vector<std::string> lines;
    std::string error;
    if (!SoundVelocityFiles::ReadTextLines(path, lines, error)) {
        FUZZ_PROPERTY(!error.empty());
        return 0;
    }

    // A cast: the detected format, and the default one both ways round.
    const SvpFormatDetection detected = DetectSvpFormat(lines, true, "cast.txt");
    FUZZ_PROPERTY(!detected.message.empty());
    if (detected.ok)
        CheckExtract(lines, detected.searchString, detected.svFirst);
    CheckExtract(lines, DefaultSvpSearchString, false);
    CheckExtract(lines, DefaultSvpSearchString, true);

    // The whole chain from the cast to the column, at two depths of the window's range.
    for (const int maxDepth : {5, DefaultSvpMaxDepth}) {
        const SvpExtractResult extracted = ExtractSoundVelocities(
            lines, detected.ok ? detected.searchString : DefaultSvpSearchString,
            detected.ok && detected.svFirst, true, [](const std::string&) { return true; });
        CheckBuildColumn(CheckAverage(extracted.extracted, maxDepth, true), maxDepth);
        // The stored lists are files too: the file as the extracted and the averaged list.
        CheckAverage(lines, maxDepth, false);
        CheckBuildColumn(lines, maxDepth);
    }
    CheckVelocityColumn(lines);
    CheckGraph(lines);
    return 0;
}
