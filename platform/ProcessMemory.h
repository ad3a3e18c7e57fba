#pragma once

// The process's memory: what the kernel counts, and keeping it from growing over a day of
// surveying.

// The process's resident memory as the kernel counts it, for the benchmarks and tests that
// bound how much memory a reader takes.
// kB from a line of /proc/self/status ("VmRSS" now, "VmHWM" the peak); -1 when unknown.
long ProcessStatusKb(const char* key);

// The C library's heap as it stands: what live allocations hold, and what the allocator keeps
// of freed memory without handing it back. Resident growth with the first flat is the
// allocator's, not a leak. Both -1 where the C library does not say.
struct HeapFigures {
    long inUseKb = -1;
    long freeHeldKb = -1;
};
HeapFigures HeapUsage();

// Starts the peak ("VmHWM") again from the present resident size.
void ResetPeakResident();

// The program runs for a whole day of surveying: memory freed must go back to the system, not
// stay with the process. Called once at the very start of the program (and of the test
// programs that measure it), before a second thread or anything large is allocated.
//
// Large buffers (screen copies, map frames, read buffers) come from their own mappings and go
// back to the system when freed. The C library would otherwise, after the first large buffer
// is freed, serve the next ones from the heap, where a small allocation made meanwhile keeps
// the freed space from being returned.
//
// The threads share two heaps. The C library would give each thread a heap of its own (up to
// eight per core): the log flusher, the NTRIP client, the screenshot worker and the helper
// threads Qt starts anew to convert each screen copy. A heap keeps the pages its threads once
// touched at its top, and not even a trim hands those back; with a dozen heaps taken in turn
// by the helpers started each minute, that came to about a megabyte over a day. The threads
// beside the user-interface thread allocate little and seldom; sharing costs them nothing.
void BoundTheHeapForADayOfSurveying();

// Hands the free memory of every heap back to the system. For the end of a burst of work on a
// thread of its own (a screenshot a minute, compressed on a worker): otherwise each burst may
// leave a few megabytes behind in the worker's heap.
void ReturnFreedMemory();
