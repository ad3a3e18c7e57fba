#pragma once

#include "survey/SounderLineReader.h"

#include <string>

#if __has_include("platform/ScanFormat.h")
#include "platform/ScanFormat.h"

// The program's restricted scanner, as the sounder line handler calls it.
inline int ScanForTests(const std::string& format, const std::string& line, double* out,
                        bool* notFinite) {
    return ScanSounderLine(line, format, out, notFinite);
}
#else
#include <cstdio>

// Stands in for the program's restricted scanner while it is not part of the build: the
// sounder formats the tests use are the built-in ones, which glibc's sscanf reads the same way
// (non-finite numbers aside, which the reader refuses). The program never hands a format to
// sscanf.
inline int ScanForTests(const std::string& format, const std::string& line, double* out,
                        bool* notFinite) {
    *notFinite = false; // sscanf assigns what is not finite; the reader checks what it assigned
    const int n = std::sscanf(line.c_str(), format.c_str(), &out[0], &out[1], &out[2], &out[3]);
    return n < 0 ? 0 : n;
}
#endif
