#pragma once

#include <cstddef>
#include <string_view>

// Reads the number texts that the geodesy routines exchange: numbers separated by white space
// (blanks, tabs, line ends), '.' as the decimal point whatever the locale. Each token must be a
// whole number text (ParseNumber): "41,5", "41abc", "nan" and "inf" are not numbers.

// Reads numbers from the start of `text` into `out` until `capacity` numbers are read or a token
// is not a number; returns how many were read. What follows them is not looked at, like a scan
// with as many "%lf" as `capacity`.
std::size_t ScanLeadingNumbers(std::string_view text, double* out, std::size_t capacity);

// True when `text` holds exactly `count` numbers and nothing else; `out` receives them.
bool ScanExactNumbers(std::string_view text, double* out, std::size_t count);

// Splits off the next white-space-separated token of `text` starting at `position`; returns an
// empty view when none is left.
std::string_view NextGeodesyToken(std::string_view text, std::size_t& position);
