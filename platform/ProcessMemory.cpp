#include "platform/ProcessMemory.h"

#include <cstdlib> // defines __GLIBC__ with the C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void KeepLargeBuffersOutOfTheHeap() {
#if defined(__GLIBC__)
    // A fixed threshold also stops the library from raising it past the size of each large
    // buffer freed.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}

void ReturnFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
