#pragma once

#include <cstdio>
#include <cstdlib>

// A property every input must hold. A failure aborts, so libFuzzer keeps the input as a
// finding, and says which property broke.
#define FUZZ_PROPERTY(condition)                                                                \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", #condition, __FILE__,       \
                         __LINE__);                                                             \
            std::abort();                                                                       \
        }                                                                                       \
    } while (0)
