#include "platform/ScanFormat.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace {

// White space as the C library's "C" locale knows it.
inline bool IsBlank(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string Refusal(size_t position, const std::string& reason) {
    return "position " + std::to_string(position + 1) + ": " + reason;
}

// Reads a width after "%" or "%*". Returns false with the reason when it is out of range.
bool ReadWidth(std::string_view format, size_t& i, int& width, std::string& error) {
    const size_t start = i;
    long long value = 0;
    while (i < format.size() && IsDigit(format[i])) {
        if (value <= ScanFormat::MaxWidth)
            value = value * 10 + (format[i] - '0');
        ++i;
    }
    if (i == start) {
        width = 0;
        return true;
    }
    if (value < 1 || value > ScanFormat::MaxWidth) {
        error = Refusal(start, "a width runs from 1 to " + std::to_string(ScanFormat::MaxWidth));
        return false;
    }
    width = int(value);
    return true;
}

// The set of a "%[...]" whose first byte after "[" is at `i`; leaves `i` after the closing "]".
bool ReadSet(std::string_view format, size_t& i, std::array<bool, 256>& set) {
    set.fill(false);
    bool negate = false;
    if (i < format.size() && format[i] == '^') {
        negate = true;
        ++i;
    }
    const size_t first = i;
    // A "]" or "-" right at the start belongs to the set.
    if (i < format.size() && (format[i] == ']' || format[i] == '-')) {
        set[static_cast<unsigned char>(format[i])] = true;
        ++i;
    }
    bool closed = false;
    while (i < format.size()) {
        const unsigned char c = static_cast<unsigned char>(format[i++]);
        if (c == ']') {
            closed = true;
            break;
        }
        // "a-z" is a range when the "-" stands between two bytes in rising order; otherwise
        // the "-" is a byte of the set like any other.
        if (c == '-' && i - 1 > first && i < format.size() && format[i] != ']' &&
            static_cast<unsigned char>(format[i - 2]) <= static_cast<unsigned char>(format[i])) {
            const unsigned from = static_cast<unsigned char>(format[i - 2]);
            const unsigned to = static_cast<unsigned char>(format[i]);
            for (unsigned b = from; b < to; ++b)
                set[b] = true;
            continue;
        }
        set[c] = true;
    }
    if (!closed)
        return false;
    if (negate)
        for (bool& member : set)
            member = !member;
    return true;
}

// The text at `p` starts with `word` in any case.
bool StartsWithWord(const char* p, const char* end, std::string_view word) {
    if (size_t(end - p) < word.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i)
        if ((p[i] | 0x20) != word[i])
            return false;
    return true;
}

// Reads a number at `p`; returns false when there is none (or it is one the program refuses).
// `notFinite` is set when the number there is one the C library would read as not finite.
bool ReadNumber(const char*& p, const char* end, double& value, bool& notFinite) {
    notFinite = false;
    const char* start = p;
    const char* q = p;
    bool negative = false;
    if (q < end && (*q == '+' || *q == '-')) {
        negative = *q == '-';
        ++q;
    }
    const char* mantissa = q;
    if (StartsWithWord(q, end, "nan") || StartsWithWord(q, end, "inf")) {
        notFinite = true;
        return false;
    }
    // Hexadecimal numbers are not device numbers.
    if (end - q >= 2 && q[0] == '0' && (q[1] == 'x' || q[1] == 'X'))
        return false;
    // The position of the first significant digit relative to the point, to tell an underflow
    // from an overflow without converting twice.
    long long magnitude = 0;
    bool significant = false;
    size_t digits = 0;
    while (q < end && IsDigit(*q)) {
        if (*q != '0')
            significant = true;
        if (significant)
            ++magnitude;
        ++digits;
        ++q;
    }
    if (q < end && *q == '.') {
        ++q;
        while (q < end && IsDigit(*q)) {
            if (!significant) {
                if (*q != '0')
                    significant = true;
                else
                    --magnitude;
            }
            ++digits;
            ++q;
        }
    }
    if (digits == 0)
        return false;
    long long exponent = 0;
    if (q < end && (*q == 'e' || *q == 'E')) {
        const char* e = q + 1;
        bool exponentNegative = false;
        if (e < end && (*e == '+' || *e == '-')) {
            exponentNegative = *e == '-';
            ++e;
        }
        if (e < end && IsDigit(*e)) {
            while (e < end && IsDigit(*e)) {
                if (exponent < 100000)
                    exponent = exponent * 10 + (*e - '0');
                ++e;
            }
            if (exponentNegative)
                exponent = -exponent;
            q = e;
        }
    }
    // from_chars takes no '+' of its own.
    const char* convertFrom = (start < end && *start == '+') ? mantissa : start;
    double result = 0;
    const auto [last, ec] = std::from_chars(convertFrom, q, result, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too small for a double reads as zero, as strtod gives it; too large ends the scan.
        if (!significant || magnitude + exponent <= 0) {
            result = negative ? -0.0 : 0.0;
        } else {
            notFinite = true;
            return false;
        }
    } else if (ec != std::errc() || last != q) {
        return false;
    }
    value = result;
    p = q;
    return true;
}

struct CachedFormat {
    bool used = false;
    std::string text;
    ScanFormat format;
};

} // namespace

ScanFormat CompileSounderFormat(std::string_view format, std::string& error) {
    ScanFormat program;
    error.clear();
    // A C format ends at its first NUL byte.
    if (const size_t nul = format.find('\0'); nul != std::string_view::npos)
        format = format.substr(0, nul);
    if (format.size() > ScanFormat::MaxFormatLength) {
        error = "a format holds at most " + std::to_string(ScanFormat::MaxFormatLength) + " bytes";
        return program;
    }
    using Kind = ScanFormat::Kind;
    size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        if (IsBlank(static_cast<unsigned char>(c))) {
            while (i < format.size() && IsBlank(static_cast<unsigned char>(format[i])))
                ++i;
            program.steps.push_back({Kind::Blanks, 0, 0, {}});
            continue;
        }
        if (c != '%') {
            if (program.steps.empty() || program.steps.back().kind != Kind::Literal)
                program.steps.push_back({Kind::Literal, 0, 0, {}});
            program.steps.back().text += c;
            ++i;
            continue;
        }
        const size_t start = i++;
        if (i >= format.size()) {
            error = Refusal(start, "a lone % (write %% for a percent sign)");
            return program;
        }
        if (format[i] == '%') {
            program.steps.push_back({Kind::Percent, 0, 0, {}});
            ++i;
            continue;
        }
        const bool suppressed = format[i] == '*';
        if (suppressed)
            ++i;
        int width = 0;
        if (!ReadWidth(format, i, width, error))
            return program;
        if (i >= format.size()) {
            error = Refusal(start, "the conversion is not finished");
            return program;
        }
        const char conversion = format[i];
        if (conversion == 'l' && i + 1 < format.size() && format[i + 1] == 'f') {
            i += 2;
            if (width != 0) {
                error = Refusal(start, "a number (%lf) takes no width");
                return program;
            }
            if (suppressed) {
                program.steps.push_back({Kind::SkipNumber, 0, 0, {}});
            } else {
                if (program.numberCount == ScanFormat::MaxNumbers) {
                    error = Refusal(start, "a format reads at most " +
                                               std::to_string(ScanFormat::MaxNumbers) +
                                               " numbers (%lf)");
                    return program;
                }
                ++program.numberCount;
                program.steps.push_back({Kind::Number, 0, 0, {}});
            }
            continue;
        }
        if (conversion == 's' || conversion == 'c' || conversion == '[') {
            if (!suppressed) {
                error = Refusal(start, std::string("%") + conversion +
                                           " stores text: only its skipped form %*" + conversion +
                                           " is accepted");
                return program;
            }
            ++i;
            if (conversion == 's') {
                program.steps.push_back({Kind::SkipString, width, 0, {}});
            } else if (conversion == 'c') {
                program.steps.push_back({Kind::SkipChars, width == 0 ? 1 : width, 0, {}});
            } else {
                std::array<bool, 256> set{};
                if (!ReadSet(format, i, set)) {
                    error = Refusal(start, "the set %*[...] has no closing ]");
                    return program;
                }
                program.sets.push_back(set);
                program.steps.push_back(
                    {Kind::SkipSet, width, uint16_t(program.sets.size() - 1), {}});
            }
            continue;
        }
        // Show the conversion as it was typed, up to its letter.
        size_t stop = i;
        while (stop < format.size() && stop - start < 8 &&
               !std::strchr("diouxXaAeEfFgGsScCpn[%", format[stop]))
            ++stop;
        const std::string typed(format.substr(start, std::min(stop + 1, format.size()) - start));
        error = Refusal(start, typed + " is not one of the accepted conversions "
                                       "(%lf, %*lf, %*Ns, %*Nc, %*[...], %%)");
        return program;
    }
    program.valid = true;
    return program;
}

int ScanSounderLine(std::string_view line, const ScanFormat& format, double* out, bool* notFinite) {
    if (notFinite)
        *notFinite = false;
    if (!format.valid)
        return 0;
    using Kind = ScanFormat::Kind;
    const char* p = line.data();
    const char* const end = p + line.size();
    int assigned = 0;
    auto skipBlanks = [&] {
        while (p < end && IsBlank(static_cast<unsigned char>(*p)))
            ++p;
    };
    for (const ScanFormat::Step& step : format.steps) {
        switch (step.kind) {
        case Kind::Blanks:
            skipBlanks();
            break;
        case Kind::Literal: {
            const size_t n = step.text.size();
            if (size_t(end - p) < n || std::memcmp(p, step.text.data(), n) != 0)
                return assigned;
            p += n;
            break;
        }
        case Kind::Percent:
            skipBlanks();
            if (p == end || *p != '%')
                return assigned;
            ++p;
            break;
        case Kind::Number:
        case Kind::SkipNumber: {
            skipBlanks();
            double value = 0;
            bool infiniteOrNan = false;
            if (!ReadNumber(p, end, value, infiniteOrNan)) {
                if (notFinite)
                    *notFinite = infiniteOrNan;
                return assigned;
            }
            if (step.kind == Kind::Number)
                out[assigned++] = value;
            break;
        }
        case Kind::SkipString: {
            skipBlanks();
            if (p == end)
                return assigned;
            const char* limit = step.width > 0 && size_t(end - p) > size_t(step.width)
                                    ? p + step.width
                                    : end;
            while (p < limit && !IsBlank(static_cast<unsigned char>(*p)))
                ++p;
            break;
        }
        case Kind::SkipChars:
            // Fewer bytes than the width are taken as they are; none at all ends the scan.
            if (p == end)
                return assigned;
            p += std::min<size_t>(size_t(end - p), size_t(step.width));
            break;
        case Kind::SkipSet: {
            if (p == end)
                return assigned;
            const std::array<bool, 256>& set = format.sets[step.setIndex];
            const char* limit = step.width > 0 && size_t(end - p) > size_t(step.width)
                                    ? p + step.width
                                    : end;
            const char* from = p;
            while (p < limit && set[static_cast<unsigned char>(*p)])
                ++p;
            if (p == from)
                return assigned;
            break;
        }
        }
    }
    return assigned;
}

int ScanSounderLine(std::string_view line, std::string_view format, double* out, bool* notFinite) {
    // The handler scans every line with the same one or two formats; a handful kept per
    // thread means a format is compiled when it changes, not per line.
    constexpr size_t Kept = 4;
    thread_local CachedFormat cache[Kept];
    thread_local size_t next = 0;
    for (const CachedFormat& entry : cache)
        if (entry.used && entry.text == format)
            return ScanSounderLine(line, entry.format, out, notFinite);
    std::string error;
    CachedFormat& slot = cache[next];
    next = (next + 1) % Kept;
    slot.used = true;
    slot.text.assign(format);
    slot.format = CompileSounderFormat(format, error);
    return ScanSounderLine(line, slot.format, out, notFinite);
}

std::string DescribeSounderFormat(std::string_view format) {
    std::string error;
    const ScanFormat program = CompileSounderFormat(format, error);
    if (!program.valid)
        return "refused: " + error;
    if (program.numberCount == 1)
        return "reads 1 number";
    return "reads " + std::to_string(program.numberCount) + " numbers";
}
