#include "platform/ProcessMemory.h"
#include "tests/support/SanitizerBuild.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#if defined(__GLIBC__)
#include <malloc.h>

namespace {
void* volatile escaped = nullptr;
}

// The program copies the screen every minute: each copy, also after the first has been freed,
// comes from a mapping of its own and is returned whole when freed, so the heap does not grow
// by one copy after another around the small allocations made meanwhile.
TEST(ProcessMemory, EveryScreenCopySizedBufferIsMappedAndReturnedWhenFreed) {
    if (MemoryIsInstrumented)
        GTEST_SKIP() << "the sanitizer's allocator stands in for the C library's heap";
    KeepLargeBuffersOutOfTheHeap();
    const size_t size = 4u << 20; // a 1280 x 800 screen copy
    for (int i = 0; i < 3; ++i) {
        const size_t before = mallinfo2().hblkhd;
        void* buffer = std::malloc(size);
        ASSERT_NE(buffer, nullptr);
        std::memset(buffer, i + 1, size);
        escaped = buffer;
        EXPECT_GE(mallinfo2().hblkhd, before + size) << "copy " << i;
        void* small = std::malloc(64); // made meanwhile, as other work does
        escaped = small;
        std::free(buffer);
        EXPECT_EQ(mallinfo2().hblkhd, before) << "copy " << i;
        std::free(small);
    }
}
#endif
