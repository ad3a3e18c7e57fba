#include "survey/SlotScan.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <string>

namespace {

void SkipBlanks(std::string_view s, size_t& i)
{
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])))
        ++i;
}

// %d: blanks, a sign and at least one digit; false when nothing matches or it overflows.
bool ReadInt(std::string_view s, size_t& i, int* out)
{
    SkipBlanks(s, i);
    size_t j = i;
    if (j < s.size() && (s[j] == '+' || s[j] == '-'))
        ++j;
    const size_t digits = j;
    while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])))
        ++j;
    if (j == digits)
        return false;
    long long value = 0;
    const char* first = s.data() + (s[i] == '+' ? i + 1 : i);
    auto [ptr, ec] = std::from_chars(first, s.data() + j, value);
    if (ec != std::errc() || ptr != s.data() + j || value < INT32_MIN || value > INT32_MAX)
        return false;
    if (out)
        *out = static_cast<int>(value);
    i = j;
    return true;
}

// %lf: blanks, then the longest decimal number (sign, digits, '.', exponent); '.' only.
bool ReadDouble(std::string_view s, size_t& i, double* out)
{
    SkipBlanks(s, i);
    size_t j = i;
    if (j < s.size() && (s[j] == '+' || s[j] == '-'))
        ++j;
    size_t digits = 0;
    while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
        ++j;
        ++digits;
    }
    if (j < s.size() && s[j] == '.') {
        ++j;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            ++j;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
        size_t k = j + 1;
        if (k < s.size() && (s[k] == '+' || s[k] == '-'))
            ++k;
        if (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) {
            while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k])))
                ++k;
            j = k;
        }
    }
    double value = 0;
    const char* first = s.data() + (s[i] == '+' ? i + 1 : i);
    auto [ptr, ec] = std::from_chars(first, s.data() + j, value);
    if (ec != std::errc() || ptr != s.data() + j || !std::isfinite(value))
        return false;
    if (out)
        *out = value;
    i = j;
    return true;
}

bool ReadComma(std::string_view s, size_t& i)
{
    if (i < s.size() && s[i] == ',') {
        ++i;
        return true;
    }
    return false;
}

} // namespace

int ScanDepthVelocity(std::string_view line, int& depth, double& velocity)
{
    size_t i = 0;
    if (!ReadInt(line, i, &depth))
        return 0;
    if (!ReadComma(line, i) || !ReadDouble(line, i, &velocity))
        return 1;
    return 2;
}

int ScanDepthVelocityCount(std::string_view line, int& depth, double& velocity, int& count)
{
    size_t i = 0;
    if (!ReadInt(line, i, &depth))
        return 0;
    if (!ReadComma(line, i) || !ReadDouble(line, i, &velocity))
        return 1;
    if (!ReadComma(line, i) || !ReadInt(line, i, &count))
        return 2;
    return 3;
}

int ScanSkipDepthVelocity(std::string_view line, double& velocity)
{
    size_t i = 0;
    if (!ReadInt(line, i, nullptr))
        return 0;
    if (!ReadComma(line, i) || !ReadDouble(line, i, &velocity))
        return 0;
    return 1;
}
