#include "tools/devsim/PseudoTerminal.h"

#include "platform/FileIO.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace {

using SteadyClock = std::chrono::steady_clock;

int MillisecondsLeft(SteadyClock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

PseudoTerminal::PseudoTerminal(const std::string& linkPath) : linkPath_(linkPath) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0)
        throw std::runtime_error(std::string("posix_openpt: ") + std::strerror(errno));
    char name[128] = {};
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name, sizeof name) != 0) {
        const std::string why = std::strerror(errno);
        ::close(master_);
        throw std::runtime_error("pseudo-terminal: " + why);
    }
    devicePath_ = name;
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    // Raw from the start, so that bytes written before the program configures its end are
    // neither echoed nor translated.
    termios settings{};
    if (::tcgetattr(master_, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::tcsetattr(master_, TCSANOW, &settings);
    }
    if (!linkPath_.empty()) {
        ::unlink(linkPath_.c_str());
        if (::symlink(devicePath_.c_str(), linkPath_.c_str()) != 0) {
            const std::string why = std::strerror(errno);
            ::close(master_);
            throw std::runtime_error("symlink " + linkPath_ + ": " + why);
        }
    }
}

PseudoTerminal::~PseudoTerminal() {
    hangUp();
    if (!linkPath_.empty())
        ::unlink(linkPath_.c_str());
}

bool PseudoTerminal::write(std::string_view bytes, int timeoutMs) {
    if (master_ < 0)
        return false;
    return WriteWithDeadline(master_, bytes.data(), bytes.size(), timeoutMs) == bytes.size();
}

std::string PseudoTerminal::read(size_t minimum, int timeoutMs) {
    std::string received;
    if (master_ < 0)
        return received;
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    char buffer[4096];
    while (true) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
            received.append(buffer, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // EAGAIN: nothing waiting; EIO: the program's end is not open at the moment.
        if (received.size() >= minimum)
            return received;
        const int left = MillisecondsLeft(deadline);
        if (left == 0)
            return received;
        pollfd waitFor{master_, POLLIN, 0};
        if (::poll(&waitFor, 1, std::min(left, 20)) > 0 && (waitFor.revents & POLLHUP))
            ::usleep(5000); // nobody on the program's end: POLLHUP would not let poll wait
    }
}

void PseudoTerminal::hangUp() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}
