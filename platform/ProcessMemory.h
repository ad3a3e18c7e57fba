#pragma once

// The process's resident memory as the kernel counts it, for the benchmarks and tests that
// bound how much memory a reader takes.

// kB from a line of /proc/self/status ("VmRSS" now, "VmHWM" the peak); -1 when unknown.
long ProcessStatusKb(const char* key);

// Starts the peak ("VmHWM") again from the present resident size.
void ResetPeakResident();
