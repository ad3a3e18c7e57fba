#pragma once

#include "survey/SounderLineReader.h"

#include <cstdio>
#include <string>

// Stands in for the program's restricted scanner in these tests until it joins the build: the
// sounder formats the tests use are the built-in ones, which glibc's sscanf reads the same way.
// The program itself never hands a format to sscanf.
inline int ScanForTests(const std::string& format, const std::string& line, double* out) {
    const int n = std::sscanf(line.c_str(), format.c_str(), &out[0], &out[1], &out[2], &out[3]);
    return n < 0 ? 0 : n;
}
