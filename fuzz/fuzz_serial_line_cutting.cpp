// The serial component's line cutting, with the stream cut into reads at points the fuzzer
// chooses, on a port that drops NUL bytes (the receiver's) or keeps them (the sounder's).
// Properties: the lines handed on equal a plain split of the whole stream (over-long lines
// dropped, empty lines skipped; dropping NULs, every byte up to 32 trimmed at the ends, or
// keeping them, only blanks and line ends trimmed) whatever the cuts, and the fix stays finite
// and on the earth.

#include "fuzz/FuzzProperty.h"
#include "positioning/gnss/TavrinSerialGPS.h"

#include <QCoreApplication>

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

bool Trimmed(unsigned char c, bool keepNulBytes) {
    return keepNulBytes ? (c == ' ' || c == '\t' || c == '\r' || c == '\n') : c <= 32;
}

std::vector<std::string> PlainSplit(const std::string& stream, bool keepNulBytes) {
    std::string bytes;
    for (const char c : stream)
        if (c != '\0' || keepNulBytes)
            bytes += c;
    std::vector<std::string> lines;
    size_t start = 0;
    while (true) {
        const size_t feed = bytes.find('\n', start);
        if (feed == std::string::npos)
            break;
        std::string line = bytes.substr(start, feed - start);
        start = feed + 1;
        if (line.size() > TTavrinSerialGPS::MaxLineLength)
            continue;
        size_t first = 0;
        size_t last = line.size();
        while (first < last && Trimmed(static_cast<unsigned char>(line[first]), keepNulBytes))
            ++first;
        while (last > first && Trimmed(static_cast<unsigned char>(line[last - 1]), keepNulBytes))
            --last;
        if (first < last)
            lines.push_back(line.substr(first, last - first));
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    const bool keepNulBytes = provider.ConsumeBool();
    std::vector<size_t> cuts;
    const size_t count = provider.ConsumeIntegralInRange<size_t>(0, 32);
    for (size_t i = 0; i < count; ++i)
        cuts.push_back(provider.ConsumeIntegralInRange<size_t>(1, 9000));
    const std::string stream = provider.ConsumeRemainingBytesAsString();

    TTavrinSerialGPS gps;
    gps.KeepNulBytes = keepNulBytes;
    std::vector<std::string> handed;
    gps.OnNewCommand = [&handed](QObject*, const std::string& line) { handed.push_back(line); };
    size_t at = 0;
    for (const size_t cut : cuts) {
        if (at >= stream.size())
            break;
        const size_t length = std::min(cut, stream.size() - at);
        gps.AcceptBytes(stream.data() + at, length);
        at += length;
    }
    if (at < stream.size())
        gps.AcceptBytes(stream.data() + at, stream.size() - at);

    FUZZ_PROPERTY(handed == PlainSplit(stream, keepNulBytes));
    for (const long double value : {gps.GetLatitude(), gps.GetLongitude(), gps.GetAltitude(),
                                    gps.GetCourse()})
        FUZZ_PROPERTY(std::isfinite(static_cast<double>(value)));
    FUZZ_PROPERTY(std::fabs(static_cast<double>(gps.GetLatitude())) <= 90);
    FUZZ_PROPERTY(std::fabs(static_cast<double>(gps.GetLongitude())) <= 180);
    return 0;
}
