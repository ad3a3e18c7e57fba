#pragma once

// True in a build under AddressSanitizer, whose allocator keeps freed memory in quarantine and
// bypasses the C library's heap: checks of resident memory or of the C library's allocator say
// nothing there.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool MemoryIsInstrumented = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool MemoryIsInstrumented = true;
#else
inline constexpr bool MemoryIsInstrumented = false;
#endif
#else
inline constexpr bool MemoryIsInstrumented = false;
#endif
