#include "platform/SerialChannel.h"

#include "platform/FileIO.h"

#include <unistd.h>

SerialChannel::SerialChannel(int descriptor, std::string deviceName)
    : descriptor_(descriptor), deviceName_(std::move(deviceName)) {}

SerialChannel::~SerialChannel() {
    close();
}

long SerialChannel::write(const void* data, size_t size, int timeoutMs) {
    std::lock_guard lock(mutex_);
    if (descriptor_ < 0)
        return -1;
    const size_t written = WriteWithDeadline(descriptor_, data, size, timeoutMs);
    if (written == 0 && size > 0)
        return -1;
    return static_cast<long>(written);
}

void SerialChannel::close() {
    std::lock_guard lock(mutex_);
    if (descriptor_ >= 0) {
        ::close(descriptor_);
        descriptor_ = -1;
    }
}

bool SerialChannel::isOpen() const {
    std::lock_guard lock(mutex_);
    return descriptor_ >= 0;
}

int SerialChannel::descriptor() const {
    std::lock_guard lock(mutex_);
    return descriptor_;
}
