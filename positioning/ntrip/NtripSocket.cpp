#include "positioning/ntrip/NtripSocket.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>

namespace {

// poll() for `timeoutMs` in all, restarting after signals.
int PollWithin(pollfd* fds, nfds_t count, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        const int result = ::poll(fds, count, left > 0 ? static_cast<int>(left) : 0);
        if (result >= 0 || errno != EINTR)
            return result;
    }
}

} // namespace

long NtripSendAll(int socket, const char* data, size_t size) {
    size_t sent = 0;
    while (sent < size) {
        const ssize_t n = ::send(socket, data + sent, size - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    return sent == 0 && size > 0 ? -1 : static_cast<long>(sent);
}

NtripWait NtripWaitReadable(int descriptor, int wakeDescriptor, int timeoutMs) {
    pollfd fds[2] = {{descriptor, POLLIN, 0}, {wakeDescriptor, POLLIN, 0}};
    const int result = PollWithin(fds, 2, timeoutMs);
    if (result < 0)
        return NtripWait::Failed;
    if (fds[1].revents)
        return NtripWait::Woken;
    if (result == 0)
        return NtripWait::TimedOut;
    // A hang-up or an error is "readable" too: the receive that follows reports it.
    return NtripWait::Ready;
}

NtripWait NtripConnect(int socket, const sockaddr_in& address, int wakeDescriptor, int timeoutMs) {
    const int flags = ::fcntl(socket, F_GETFL);
    if (flags < 0 || ::fcntl(socket, F_SETFL, flags | O_NONBLOCK) < 0)
        return NtripWait::Failed;
    NtripWait outcome = NtripWait::Ready;
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0) {
        if (errno != EINPROGRESS && errno != EINTR) {
            outcome = NtripWait::Failed;
        } else {
            pollfd fds[2] = {{socket, POLLOUT, 0}, {wakeDescriptor, POLLIN, 0}};
            const int result = PollWithin(fds, 2, timeoutMs);
            int error = 0;
            socklen_t length = sizeof error;
            if (result < 0)
                outcome = NtripWait::Failed;
            else if (fds[1].revents)
                outcome = NtripWait::Woken;
            else if (result == 0)
                outcome = NtripWait::TimedOut;
            else if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) < 0 || error != 0)
                outcome = NtripWait::Failed;
        }
    }
    ::fcntl(socket, F_SETFL, flags);
    return outcome;
}
