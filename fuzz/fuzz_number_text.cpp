// The strict number texts every file and protocol reads numbers with. Properties: a number
// read is finite; an integer read fits; a number written and read again is the same value.

#include "fuzz/FuzzProperty.h"
#include "platform/NumberText.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    double value = 0;
    if (ParseNumber(text, value)) {
        FUZZ_PROPERTY(std::isfinite(value));
        double back = 0;
        const std::string written = FormatGeneral(value, 17);
        FUZZ_PROPERTY(ParseNumber(written, back) && back == value);
    }
    int integer = 0;
    if (ParseInteger(text, integer)) {
        int back = 0;
        FUZZ_PROPERTY(ParseInteger(std::to_string(integer), back) && back == integer);
    }
    int64_t wide = 0;
    if (ParseInteger64(text, wide)) {
        int64_t back = 0;
        FUZZ_PROPERTY(ParseInteger64(std::to_string(wide), back) && back == wide);
    }
    return 0;
}
