#include "platform/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Decimal digits of |value| rounded to `precision` significant digits: `digits` holds them
// without leading zeros, `exponent` is the number of digits before the decimal point.
struct DecimalDigits {
    std::string digits;
    int exponent = 0;
    bool negative = false;
};

DecimalDigits Decompose(double value, int precision) {
    DecimalDigits d;
    d.negative = std::signbit(value);
    // to_chars gives the same correctly rounded digits as printf's "%.*e", several times
    // faster and without consulting the locale; the geodesy texts format a dozen numbers per fix.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer - 1, std::fabs(value),
                                      std::chars_format::scientific, precision - 1);
    *result.ptr = '\0';
    // buffer: d.ddddde[+-]xx
    const char* p = buffer;
    for (; *p && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            d.digits.push_back(*p);
    }
    const int e10 = (*p == 'e') ? std::atoi(p + 1) : 0;
    d.exponent = e10 + 1;
    return d;
}

// Rounds the digit string half away from zero so that no digit stands beyond `decimals`
// places after the point. Returns false when nothing is left (the value rounds to zero).
void RoundToDecimals(DecimalDigits& d, int decimals) {
    const int keep = d.exponent + decimals; // digits to keep
    if (keep >= static_cast<int>(d.digits.size()))
        return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const bool roundUp = d.digits[static_cast<size_t>(keep)] >= '5';
    d.digits.resize(static_cast<size_t>(keep));
    if (roundUp) {
        int i = keep - 1;
        for (; i >= 0; --i) {
            if (d.digits[static_cast<size_t>(i)] == '9') {
                d.digits[static_cast<size_t>(i)] = '0';
            } else {
                ++d.digits[static_cast<size_t>(i)];
                break;
            }
        }
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        }
    }
}

bool AllZero(const std::string& digits) {
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0'; });
}

std::string NonFiniteText(double value) {
    if (std::isnan(value))
        return "NAN";
    return value < 0 ? "-INF" : "INF";
}

std::string ExponentText(const DecimalDigits& d) {
    std::string digits = d.digits;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string text = d.negative ? "-" : "";
    text += digits[0];
    if (digits.size() > 1) {
        text += '.';
        text.append(digits, 1, std::string::npos);
    }
    text += 'E';
    text += std::to_string(d.exponent - 1);
    return text;
}

template <typename T> bool ParseIntegral(std::string_view text, T& out) {
    if (text.empty())
        return false;
    // One sign at most: "+-5" is not a number.
    const bool plus = text.front() == '+';
    if (plus)
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+' || (plus && text.front() == '-'))
        return false;
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return false;
    out = value;
    return true;
}

std::string GeneralText(double value, int precision, bool exponentForm);

std::string FixedText(double value, int decimals, int precision, bool exponentForm) {
    if (!std::isfinite(value))
        return NonFiniteText(value);
    precision = std::clamp(precision, 1, 17);
    decimals = std::clamp(decimals, 0, 18);
    if (value == 0)
        return decimals > 0 ? "0." + std::string(static_cast<size_t>(decimals), '0') : "0";
    DecimalDigits d = Decompose(value, precision);
    if (d.exponent > precision && exponentForm)
        return GeneralText(value, precision, true);
    RoundToDecimals(d, decimals);
    if (AllZero(d.digits))
        d.negative = false;

    std::string text = d.negative ? "-" : "";
    // Digits before the point.
    if (d.exponent <= 0) {
        text += '0';
    } else {
        for (int i = 0; i < d.exponent; ++i)
            text += i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<size_t>(i)] : '0';
    }
    if (decimals > 0) {
        text += '.';
        for (int i = 0; i < decimals; ++i) {
            const int index = d.exponent + i;
            const bool present = index >= 0 && index < static_cast<int>(d.digits.size());
            text += present ? d.digits[static_cast<size_t>(index)] : '0';
        }
    }
    return text;
}

std::string GeneralText(double value, int precision, bool exponentForm) {
    if (!std::isfinite(value))
        return NonFiniteText(value);
    precision = std::clamp(precision, 1, 17);
    if (value == 0)
        return "0";
    DecimalDigits d = Decompose(value, precision);
    if (exponentForm && (d.exponent > precision || d.exponent < -4))
        return ExponentText(d);

    std::string digits = d.digits;
    while (!digits.empty() && digits.back() == '0' &&
           static_cast<int>(digits.size()) > std::max(d.exponent, 0))
        digits.pop_back();
    std::string text = d.negative ? "-" : "";
    if (d.exponent <= 0) {
        text += "0.";
        text.append(static_cast<size_t>(-d.exponent), '0');
        text += digits;
    } else {
        // More digits before the point than the precision keeps: zeros up to the point.
        text.append(digits, 0, static_cast<size_t>(d.exponent));
        text.append(static_cast<size_t>(std::max(d.exponent - static_cast<int>(digits.size()), 0)),
                    '0');
        if (static_cast<int>(digits.size()) > d.exponent) {
            text += '.';
            text.append(digits, static_cast<size_t>(d.exponent), std::string::npos);
        }
    }
    return text;
}

} // namespace

std::string FormatFixed(double value, int decimals, int precision) {
    return FixedText(value, decimals, precision, true);
}

std::string FormatLogFixed(double value, int decimals, int precision) {
    return FixedText(value, decimals, precision, false);
}

std::string FormatGeneral(double value, int precision) {
    return GeneralText(value, precision, true);
}

std::string FormatLogGeneral(double value, int precision) {
    return GeneralText(value, precision, false);
}

void AppendPrintfFixed(std::string& out, double value, int decimals) {
    decimals = std::clamp(decimals, 0, 17);
    // The largest double has 309 digits before the point.
    char buffer[340];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    out.append(buffer, result.ptr);
}

bool ParseNumber(std::string_view text, double& out) {
    if (text.empty())
        return false;
    // One sign at most: "+-5" is not a number.
    const bool plus = text.front() == '+';
    if (plus)
        text.remove_prefix(1);
    if (text.empty() || (plus && text.front() == '-'))
        return false;
    const char first = text.front();
    // from_chars accepts "inf", "nan" and "infinity"; a number starts with a digit, a sign or
    // a point.
    if (!(first == '-' || first == '.' || (first >= '0' && first <= '9')))
        return false;
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return false;
    out = value;
    return true;
}

bool ParseNumber(const QString& text, double& out) {
    return ParseNumber(std::string_view(text.toStdString()), out);
}

bool ParseInteger(std::string_view text, int& out) {
    return ParseIntegral(text, out);
}

bool ParseInteger(const QString& text, int& out) {
    return ParseIntegral(std::string_view(text.toStdString()), out);
}

bool ParseInteger64(std::string_view text, int64_t& out) {
    return ParseIntegral(text, out);
}
