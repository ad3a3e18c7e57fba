#include "platform/EndSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

namespace {

constexpr int endSignals[] = {SIGTERM, SIGHUP, SIGINT};

// Written by the signal handler, read by the event loop.
int pipeEnds[2] = {-1, -1};
std::unique_ptr<QSocketNotifier> notifier;
std::function<void(int)> callback;

extern "C" void writeSignalToPipe(int signalNumber) {
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    // Only async-signal-safe calls here; a full pipe drops a repeated request, which is fine.
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[0], &number, 1);
    errno = savedErrno;
}

void readSignals() {
    unsigned char numbers[16];
    const ssize_t count = ::read(pipeEnds[1], numbers, sizeof numbers);
    for (ssize_t i = 0; i < count; ++i)
        if (callback)
            callback(numbers[i]);
}

} // namespace

bool EndSignals::install(std::function<void(int)> onEndRequest) {
    callback = std::move(onEndRequest);
    if (pipeEnds[0] != -1)
        return true;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pipeEnds) != 0) {
        pipeEnds[0] = pipeEnds[1] = -1;
        return false;
    }
    notifier = std::make_unique<QSocketNotifier>(pipeEnds[1], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(),
                     [] { readSignals(); });
    struct sigaction action {};
    action.sa_handler = writeSignalToPipe;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    bool installed = true;
    for (int signalNumber : endSignals)
        if (::sigaction(signalNumber, &action, nullptr) != 0)
            installed = false;
    if (!installed)
        uninstall();
    return installed;
}

void EndSignals::uninstall() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : endSignals)
        ::sigaction(signalNumber, &action, nullptr);
    notifier.reset();
    for (int& end : pipeEnds) {
        if (end != -1)
            ::close(end);
        end = -1;
    }
    callback = nullptr;
}
