#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The Import command's reader of x y z text files (survey exports, sounding lists).
//
// One accepted line gives one point. A line is accepted when, after blanks and tabs, it starts
// with a digit or a sign, and holds three numbers (x y z) or four (an identifier, then x y z),
// separated by blanks, tabs or commas; anything after the fourth number is ignored. Lines
// starting with '#' or '/' are comments. Numbers are read locale-free; "nan" and "inf" refuse
// the line, and so does x = y = 0 (an empty record, not a position).
class ImportBudget;

struct XyzImportPoint {
    double X = 0;
    double Y = 0;
    double Z = 0;
};

// Longest line read; a longer one is skipped whole.
constexpr size_t XyzImportMaxLineBytes = 64 * 1024;

// One line without its line end.
std::optional<XyzImportPoint> ReadXyzImportLine(std::string_view line);

// Reads the whole file: LF, CR LF and lone CR end lines, a UTF-8 byte-order mark is skipped.
// Calls `onPoint` for each accepted line, in file order. False when the file cannot be opened
// or read, or is not a regular file (`error` then says why); the count of accepted lines goes
// to `accepted`.
//
// With a `budget`, every accepted line costs `costPerPoint`: the lines of the first block,
// scaled to the file's size, are the estimate checked before any point is handed on, and each
// line is charged as it is read. Over budget the reading stops, false, with the budget's
// refusal in `error`.
bool ReadXyzImportFile(const std::string& path,
                       const std::function<void(const XyzImportPoint&)>& onPoint,
                       size_t* accepted = nullptr, std::string* error = nullptr,
                       ImportBudget* budget = nullptr, uint64_t costPerPoint = 0);

// The same over bytes in memory.
size_t ReadXyzImportBytes(std::string_view bytes,
                          const std::function<void(const XyzImportPoint&)>& onPoint);

// Scans one number the way "%lf" does after its blanks (sign, digits, point, exponent), locale
// free. Returns the bytes used, 0 when there is no number there or it is not finite.
size_t ScanXyzNumber(std::string_view text, double& out);
