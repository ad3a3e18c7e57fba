// The geodesy text interfaces and their number scanner, with fuzzer-chosen texts. Property:
// every answer is the failure text "0" or numbers that read back as finite values.

#include "fuzz/FuzzProperty.h"
#include "platform/NumberText.h"
#include "positioning/geodesy/GeodesyNumberScanner.h"
#include "positioning/geodesy/GeodesyText.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <string>

namespace {

void CheckAnswer(const std::string& answer) {
    if (answer == "0")
        return;
    size_t position = 0;
    int numbers = 0;
    while (position < answer.size()) {
        const size_t end = answer.find_first_of(" \t", position);
        const std::string token = answer.substr(position, end - position);
        double value = 0;
        FUZZ_PROPERTY(ParseNumber(token, value) && std::isfinite(value));
        ++numbers;
        if (end == std::string::npos)
            break;
        position = end + 1;
    }
    FUZZ_PROPERTY(numbers >= 2);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    const int which = provider.ConsumeIntegralInRange<int>(0, 6);
    const std::string mode = provider.ConsumeRandomLengthString(8);
    const std::string a = provider.ConsumeRandomLengthString(300);
    const std::string b = provider.ConsumeRandomLengthString(400);
    const std::string c = provider.ConsumeRandomLengthString(200);
    const std::string d = provider.ConsumeRemainingBytesAsString();

    double numbers[20];
    const size_t scanned = ScanLeadingNumbers(a, numbers, 20);
    FUZZ_PROPERTY(scanned <= 20);
    for (size_t i = 0; i < scanned; ++i)
        FUZZ_PROPERTY(std::isfinite(numbers[i]));

    switch (which) {
    case 0:
        CheckAnswer(HelmertTransform(mode, a));
        break;
    case 1:
        CheckAnswer(DatumTransform(mode, a, b));
        break;
    case 2:
        CheckAnswer(GeodeticToGrid(a, b, c, d));
        break;
    case 3:
        CheckAnswer(GeodeticToTransverseMercator(a, b, c));
        break;
    case 4: {
        double v[5] = {};
        if (ScanExactNumbers(a, v, 5))
            CheckAnswer(GeodeticToECEF(v[0], v[1], v[2], v[3], v[4]));
        break;
    }
    case 5: {
        double v[5] = {};
        if (ScanExactNumbers(a, v, 5))
            CheckAnswer(ECEFToGeodetic(v[0], v[1], v[2], v[3], v[4]));
        break;
    }
    case 6: {
        double v[9] = {};
        if (ScanExactNumbers(a, v, 9)) {
            const long double value =
                TMScaleOrConvergence(mode, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
            FUZZ_PROPERTY(std::isfinite(static_cast<double>(value)));
        }
        break;
    }
    }
    return 0;
}
