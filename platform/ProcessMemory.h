#pragma once

// The process's memory: what the kernel counts, and keeping it from growing over a day of
// surveying.

// The process's resident memory as the kernel counts it, for the benchmarks and tests that
// bound how much memory a reader takes.
// kB from a line of /proc/self/status ("VmRSS" now, "VmHWM" the peak); -1 when unknown.
long ProcessStatusKb(const char* key);

// Starts the peak ("VmHWM") again from the present resident size.
void ResetPeakResident();

// The program runs for a whole day of surveying: memory freed must go back to the system, not
// stay with the process.
//
// Large buffers (screen copies, map frames, read buffers) come from their own mappings and go
// back to the system when freed. The C library would otherwise, after the first large buffer
// is freed, serve the next ones from the heap, where a small allocation made meanwhile keeps
// the freed space from being returned. Called once at start, before anything large is
// allocated.
void KeepLargeBuffersOutOfTheHeap();

// Hands the free memory of every heap back to the system. For the end of a burst of work on a
// thread of its own (a screenshot a minute, compressed on a worker): otherwise each burst may
// leave a few megabytes behind in the worker's heap.
void ReturnFreedMemory();
