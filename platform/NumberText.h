#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

// Number texts for files, protocols and controls. Always '.' as the decimal separator,
// whatever the user's locale says.

// Fixed notation: rounded to `precision` significant digits and to `decimals` decimals
// (half away from zero on the decimal digits), padded with zeros to `decimals`, at least one
// digit before the point. A value with more than `precision` digits before the point is
// written in the general format instead. A zero result never carries a minus sign.
std::string FormatFixed(double value, int decimals, int precision = 15);

// The bytes printf's "%.*f" writes in the C locale: the exact binary value rounded to
// `decimals` (0 to 17) decimals, a leading '-' for negative values (also for a negative value
// that rounds to zero), no exponent and no grouping. Appended to `out`. For file formats whose
// readers expect exactly those bytes. Non-finite values are appended as "nan", "inf" or "-inf".
void AppendPrintfFixed(std::string& out, double value, int decimals);

// General format with `precision` significant digits (15 by default): the shortest text,
// trailing zeros dropped; exponent form ("1E20", "1.5E-7") when there are more than
// `precision` digits before the point or the value is below 1E-5.
std::string FormatGeneral(double value, int precision = 15);

// The numbers of the logs (survey and XYZ logs, events log): as FormatFixed and FormatGeneral,
// but never in exponent form, however large or small the value, so that whatever reads a log
// finds every number of a column written the same way. A value with more digits before the
// point than `precision` keeps its rounded digits and zeros up to the point
// ("100000000000000000000.00"); one below 1E-5 is written with its zeros after the point
// ("0.0000015").
std::string FormatLogFixed(double value, int decimals, int precision = 15);
std::string FormatLogGeneral(double value, int precision = 15);

// Strict conversions: the whole text must be the number, no blanks, no thousands separator,
// no comma as decimal separator; "nan", "inf" and out-of-range values are refused.
// `out` is left untouched when the text is refused.
bool ParseNumber(std::string_view text, double& out);
bool ParseNumber(const QString& text, double& out);
bool ParseInteger(std::string_view text, int& out);
bool ParseInteger(const QString& text, int& out);
bool ParseInteger64(std::string_view text, int64_t& out);
