#pragma once

#include <sanitizer/allocator_interface.h>

#include <atomic>
#include <cstddef>

// The most heap one input made a reader hold at once, counted by the sanitizer's allocation
// hooks (every fuzz target runs under AddressSanitizer): Mark() before the call, Peak() after
// it gives the highest number of bytes in use above what was in use at the mark. Sizes are the
// ones asked for, without the sanitizer's red zones, so the figure is what the program itself
// would hold.
namespace fuzz_heap {

inline std::atomic<long long> inUse{0};
inline std::atomic<long long> highest{0};

inline void OnMalloc(const volatile void*, size_t size) {
    const long long now = inUse.fetch_add(static_cast<long long>(size)) +
                          static_cast<long long>(size);
    long long seen = highest.load();
    while (now > seen && !highest.compare_exchange_weak(seen, now)) {
    }
}

inline void OnFree(const volatile void* pointer) {
    const void* plain = const_cast<const void*>(pointer);
    if (plain && __sanitizer_get_ownership(plain))
        inUse.fetch_sub(static_cast<long long>(__sanitizer_get_allocated_size(plain)));
}

inline long long markedAt = 0;

// Starts counting (the hooks are installed on the first call) from what is in use now.
inline void Mark() {
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
    (void)installed;
    markedAt = inUse.load();
    highest.store(markedAt);
}

// Bytes above the mark at the highest point since it.
inline size_t Peak() {
    const long long above = highest.load() - markedAt;
    return above > 0 ? static_cast<size_t>(above) : 0;
}

} // namespace fuzz_heap
