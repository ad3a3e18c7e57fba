// The sounder scanner over arbitrary formats and lines: the input's first line is the format,
// the rest the device line. It must neither crash nor assign more numbers than the format
// holds, nor a number that is not finite; the cached path tells the same, a number that is not
// finite included.
#include "platform/ScanFormat.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const size_t end = bytes.find('\n');
    const std::string_view format = bytes.substr(0, end);
    const std::string_view line = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
    std::string error;
    const ScanFormat program = CompileSounderFormat(format, error);
    double values[ScanFormat::MaxNumbers];
    bool notFinite = false;
    const int count = ScanSounderLine(line, program, values, &notFinite);
    if (count < 0 || count > program.numberCount || (!program.valid && count != 0))
        std::abort();
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(values[i]))
            std::abort();
    // The cached path must agree with the compiled one.
    double again[ScanFormat::MaxNumbers];
    bool againNotFinite = false;
    if (ScanSounderLine(line, format, again, &againNotFinite) != count ||
        againNotFinite != notFinite)
        std::abort();
    // Only a format that scans can meet a number, finite or not.
    if (notFinite && !program.valid)
        std::abort();
    return 0;
}
