#include "platform/ProcessMemory.h"

#include <cstdlib> // also defines __GLIBC__ with the C library
#include <fstream>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

long ProcessStatusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::atol(line.c_str() + prefix.size());
    return -1;
}

HeapFigures HeapUsage() {
    HeapFigures figures;
#if defined(__GLIBC__)
    const struct mallinfo2 info = mallinfo2();
    figures.inUseKb = long((info.uordblks + info.hblkhd) / 1024);
    figures.freeHeldKb = long(info.fordblks / 1024);
#endif
    return figures;
}

void ResetPeakResident() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BoundTheHeapForADayOfSurveying() {
#if defined(__GLIBC__)
    // A fixed threshold also stops the library from raising it past the size of each large
    // buffer freed.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    // The user-interface thread's heap and one more, which the other threads share with it.
    mallopt(M_ARENA_MAX, 2);
#endif
}

void ReturnFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
