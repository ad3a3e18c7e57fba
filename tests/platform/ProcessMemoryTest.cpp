#include "platform/ProcessMemory.h"
#include "tests/support/SanitizerBuild.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>

namespace {
void* volatile escaped = nullptr;

// The heaps the C library has made so far, as its own report lists them.
int HeapCount() {
    char* text = nullptr;
    size_t size = 0;
    FILE* report = open_memstream(&text, &size);
    if (!report)
        return -1;
    malloc_info(0, report);
    std::fclose(report);
    const std::string xml(text, size);
    std::free(text);
    int heaps = 0;
    for (size_t at = xml.find("<heap nr="); at != std::string::npos; at = xml.find("<heap nr=", at + 1))
        ++heaps;
    return heaps;
}
} // namespace

// The program copies the screen every minute: each copy, also after the first has been freed,
// comes from a mapping of its own and is returned whole when freed, so the heap does not grow
// by one copy after another around the small allocations made meanwhile.
TEST(ProcessMemory, EveryScreenCopySizedBufferIsMappedAndReturnedWhenFreed) {
    if (MemoryIsInstrumented)
        GTEST_SKIP() << "the sanitizer's allocator stands in for the C library's heap";
    BoundTheHeapForADayOfSurveying();
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

// Threads started anew all day long (a screen copy converted by a handful of helper threads
// each minute, while the log flusher and the NTRIP client run) do not each get a heap that
// keeps the pages they touched: all of them share two heaps.
TEST(ProcessMemory, ThreadsStartedAllDayShareTwoHeaps) {
    if (MemoryIsInstrumented)
        GTEST_SKIP() << "the sanitizer's allocator stands in for the C library's heap";
    BoundTheHeapForADayOfSurveying();
    constexpr int threadCount = 12;
    for (int round = 0; round < 3; ++round) {
        std::atomic<int> allocated{0};
        std::atomic<bool> release{false};
        std::vector<std::thread> threads;
        for (int t = 0; t < threadCount; ++t)
            threads.emplace_back([&] {
                // All allocate at once and hold on: a library free to do so would give each
                // of them a heap of its own.
                std::vector<void*> blocks;
                for (int i = 0; i < 200; ++i)
                    blocks.push_back(std::malloc(size_t(64 + i * 16)));
                ++allocated;
                while (!release)
                    std::this_thread::yield();
                for (void* block : blocks)
                    std::free(block);
            });
        while (allocated < threadCount)
            std::this_thread::yield();
        const int heaps = HeapCount();
        release = true;
        for (std::thread& thread : threads)
            thread.join();
        EXPECT_GE(heaps, 1) << "round " << round;
        EXPECT_LE(heaps, 2) << "round " << round;
    }
}

// The long runs tell memory held by live allocations from freed memory the heap keeps
// (holes between live blocks that cannot be handed back).
TEST(ProcessMemory, HeapFiguresTellLiveBlocksFromFreedSpaceTheHeapKeeps) {
    if (MemoryIsInstrumented)
        GTEST_SKIP() << "the sanitizer's allocator stands in for the C library's heap";
    const HeapFigures before = HeapUsage();
    ASSERT_GE(before.inUseKb, 0);
    ASSERT_GE(before.freeHeldKb, 0);
    std::vector<void*> blocks;
    for (int i = 0; i < 4096; ++i) {
        blocks.push_back(std::malloc(1000));
        std::memset(blocks.back(), 1, 1000);
    }
    const HeapFigures filled = HeapUsage();
    EXPECT_GE(filled.inUseKb - before.inUseKb, 3900);
    // Every other block freed: the holes lie between live blocks and stay with the heap.
    for (size_t i = 0; i < blocks.size(); i += 2) {
        std::free(blocks[i]);
        blocks[i] = nullptr;
    }
    const HeapFigures holed = HeapUsage();
    EXPECT_LE(holed.inUseKb, filled.inUseKb - 1900);
    EXPECT_GE(holed.freeHeldKb, filled.freeHeldKb + 1900);
    for (void* block : blocks)
        std::free(block);
}
#endif
