#include "positioning/ntrip/NtripCaptureBuffer.h"

void NtripCaptureBuffer::append(const char* data, size_t length) {
    if (length >= Capacity) {
        std::lock_guard lock(mutex_);
        bytes_.assign(data + (length - Capacity), Capacity);
        return;
    }
    std::lock_guard lock(mutex_);
    bytes_.append(data, length);
    if (bytes_.size() > Capacity)
        bytes_.erase(0, bytes_.size() - Capacity);
}

std::string NtripCaptureBuffer::snapshot() const {
    std::lock_guard lock(mutex_);
    return bytes_;
}

size_t NtripCaptureBuffer::size() const {
    std::lock_guard lock(mutex_);
    return bytes_.size();
}
