#include "platform/SerialChannel.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
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
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const char* p = static_cast<const char*>(data);
    size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(descriptor_, p + written, size - written);
        if (n > 0) {
            written += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            break;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            break;
        pollfd waitFor{descriptor_, POLLOUT, 0};
        if (::poll(&waitFor, 1, static_cast<int>(left)) <= 0 ||
            (waitFor.revents & (POLLERR | POLLHUP | POLLNVAL)))
            break;
    }
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
