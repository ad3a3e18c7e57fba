#pragma once

#include <cstddef>
#include <mutex>
#include <string>

// The last bytes of the correction stream, kept for the RTCM report: the worker appends every
// block while the user-interface thread may take a copy at any moment.
class NtripCaptureBuffer {
public:
    static constexpr size_t Capacity = 8192;

    void append(const char* data, size_t length);
    // A copy of the bytes kept, oldest first (all byte values, NUL included).
    std::string snapshot() const;
    size_t size() const;

private:
    mutable std::mutex mutex_;
    std::string bytes_;
};
