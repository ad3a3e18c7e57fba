#include "platform/SerialChannel.h"

#include "platform/FileIO.h"

#include <poll.h>
#include <unistd.h>

SerialChannel::SerialChannel(int descriptor, std::string deviceName)
    : descriptor_(descriptor), deviceName_(std::move(deviceName)) {}

SerialChannel::~SerialChannel() {
    close();
}

long SerialChannel::write(const void* data, size_t size, int timeoutMs,
                          const std::atomic<bool>* cancel) {
    std::lock_guard lock(writeMutex_);
    const int descriptor = descriptor_.load();
    if (descriptor < 0 || closing_)
        return -1;
    const size_t written = WriteWithDeadline(descriptor, data, size, timeoutMs, [this, cancel] {
        return closing_.load() || (cancel && cancel->load());
    });
    if (written == 0 && size > 0)
        return -1;
    return static_cast<long>(written);
}

void SerialChannel::close() {
    closing_ = true;
    std::lock_guard lock(writeMutex_);
    const int descriptor = descriptor_.exchange(-1);
    if (descriptor >= 0)
        ::close(descriptor);
}

bool SerialChannel::isOpen() const {
    return descriptor_.load() >= 0;
}

bool SerialChannel::hungUp() const {
    const int descriptor = descriptor_.load();
    if (descriptor < 0)
        return true;
    pollfd probe{descriptor, POLLOUT, 0};
    if (::poll(&probe, 1, 0) < 0)
        return false;
    return (probe.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

int SerialChannel::descriptor() const {
    return descriptor_.load();
}
