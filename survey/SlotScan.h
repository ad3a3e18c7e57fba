#pragma once

#include <string_view>

// The fixed formats of the averaged and extracted lists ("%d,%lf", "%d,%lf,%d", "%*d,%lf"),
// read with the C library's counting: values are stored left to right until the first one
// that does not match, and the count of stored values is returned ("12.5,1500" stores only 12).
// An integer out of range or a non-finite number stores nothing and ends the scan.
int ScanDepthVelocity(std::string_view line, int& depth, double& velocity);
int ScanDepthVelocityCount(std::string_view line, int& depth, double& velocity, int& count);
// "%*d,%lf": skips a depth, stores only the velocity (1 or 0).
int ScanSkipDepthVelocity(std::string_view line, double& velocity);
