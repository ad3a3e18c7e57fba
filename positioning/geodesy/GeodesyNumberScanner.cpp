#include "positioning/geodesy/GeodesyNumberScanner.h"

#include "platform/NumberText.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

std::string_view NextGeodesyToken(std::string_view text, std::size_t& position) {
    while (position < text.size() && IsBlank(text[position]))
        ++position;
    const std::size_t start = position;
    while (position < text.size() && !IsBlank(text[position]))
        ++position;
    return text.substr(start, position - start);
}

std::size_t ScanLeadingNumbers(std::string_view text, double* out, std::size_t capacity) {
    std::size_t position = 0;
    std::size_t count = 0;
    while (count < capacity) {
        const std::string_view token = NextGeodesyToken(text, position);
        if (token.empty() || !ParseNumber(token, out[count]))
            break;
        ++count;
    }
    return count;
}

bool ScanExactNumbers(std::string_view text, double* out, std::size_t count) {
    std::size_t position = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view token = NextGeodesyToken(text, position);
        if (token.empty() || !ParseNumber(token, out[i]))
            return false;
    }
    return NextGeodesyToken(text, position).empty();
}
