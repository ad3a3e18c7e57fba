#include "tests/support/NtripTestCaster.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using SteadyClock = std::chrono::steady_clock;

int MillisecondsLeft(SteadyClock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now())
            .count();
    return left > 0 ? static_cast<int>(left) : 0;
}

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

} // namespace

// ---- CasterConnection ----

bool CasterConnection::readMore(int timeoutMs) {
    pollfd fds[2] = {{descriptor_, POLLIN, 0}, {stopDescriptor_, POLLIN, 0}};
    const int ready = ::poll(fds, 2, timeoutMs);
    if (ready <= 0 || fds[1].revents)
        return false;
    char buffer[65536];
    const ssize_t n = ::recv(descriptor_, buffer, sizeof buffer, 0);
    if (n <= 0)
        return false;
    received_.append(buffer, static_cast<size_t>(n));
    return true;
}

std::string CasterConnection::readRequest(int timeoutMs) {
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const size_t end = received_.find("\r\n\r\n");
        if (end != std::string::npos) {
            requestEnd_ = end + 4;
            return received_.substr(0, requestEnd_);
        }
        if (!readMore(MillisecondsLeft(deadline)))
            return {};
    }
}

std::string CasterConnection::readUntil(std::string_view marker, int timeoutMs) {
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    while (received_.find(marker, requestEnd_) == std::string::npos)
        if (!readMore(MillisecondsLeft(deadline)))
            return {};
    return received_.substr(requestEnd_);
}

std::string CasterConnection::readToEnd(int timeoutMs) {
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    while (readMore(MillisecondsLeft(deadline))) {
    }
    return received_.substr(requestEnd_);
}

void CasterConnection::send(std::string_view bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n =
            ::send(descriptor_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += static_cast<size_t>(n);
    }
}

void CasterConnection::shutdownWrite() {
    ::shutdown(descriptor_, SHUT_WR);
}

bool CasterConnection::pause(int milliseconds) {
    pollfd stop{stopDescriptor_, POLLIN, 0};
    return ::poll(&stop, 1, milliseconds) == 0;
}

// ---- ScriptedCaster ----

ScriptedCaster::ScriptedCaster(Script script) : script_(std::move(script)) {
    if (::pipe2(stopPipe_, O_CLOEXEC) != 0)
        return;
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(0);
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    if (listener_ < 0 ||
        ::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &length) != 0)
        return;
    port_ = ntohs(bound.sin_port);
    thread_ = std::thread([this] { serve(); });
}

ScriptedCaster::~ScriptedCaster() {
    if (stopPipe_[1] >= 0) [[maybe_unused]]
        const ssize_t written = ::write(stopPipe_[1], "x", 1);
    if (thread_.joinable())
        thread_.join();
    for (const int fd : {listener_, stopPipe_[0], stopPipe_[1]})
        if (fd >= 0)
            ::close(fd);
}

void ScriptedCaster::serve() {
    for (;;) {
        pollfd fds[2] = {{listener_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        if (fds[1].revents)
            return;
        if (!(fds[0].revents & POLLIN))
            continue;
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        const int index = connections_++;
        CasterConnection connection(client, stopPipe_[0]);
        script_(connection, index);
        ::close(client);
    }
}

// ---- Str2StrCaster ----

int FreeLocalPort() {
    const int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (probe < 0)
        return 0;
    const sockaddr_in address = Loopback(0);
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    int port = 0;
    if (::bind(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(probe, reinterpret_cast<sockaddr*>(&bound), &length) == 0)
        port = ntohs(bound.sin_port);
    ::close(probe);
    return port;
}

bool LocalPortAccepts(int port) {
    const int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (probe < 0)
        return false;
    const sockaddr_in address = Loopback(port);
    const bool accepted =
        ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(probe);
    return accepted;
}

Str2StrCaster::Str2StrCaster(const std::string& fixturePath, const std::string& user,
                             const std::string& password, const std::string& mountPoint) {
    std::ifstream file(fixturePath, std::ios::binary);
    fixture_.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (fixture_.empty())
        return;
    // Another process may take the free port before str2str binds it: try a few.
    for (int attempt = 0; attempt < 3 && !running(); ++attempt)
        start(user, password, mountPoint);
}

Str2StrCaster::~Str2StrCaster() {
    stop();
}

bool Str2StrCaster::start(const std::string& user, const std::string& password,
                          const std::string& mountPoint) {
    port_ = FreeLocalPort();
    if (port_ == 0)
        return false;
    int input[2];
    if (::pipe2(input, O_CLOEXEC) != 0)
        return false;
    const std::string out = "ntripc://" + user + ":" + password + "@:" + std::to_string(port_) +
                            "/" + mountPoint + ":Tavrin test stream";
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        ::dup2(input[0], STDIN_FILENO);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::execl("/usr/bin/str2str", "str2str", "-out", out.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(input[0]);
    if (pid < 0) {
        ::close(input[1]);
        return false;
    }
    pid_ = pid;
    input_ = input[1];
    feeding_ = true;
    feeder_ = std::thread([this] {
        // A caster that died must fail the test, not kill it with SIGPIPE.
        sigset_t pipeSignal;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
        while (feeding_) {
            if (::write(input_, fixture_.data(), fixture_.size()) < 0 && errno != EINTR)
                break;
            ::usleep(100000);
        }
    });
    const auto deadline = SteadyClock::now() + std::chrono::seconds(10);
    while (SteadyClock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1; // it exited (the port was taken, say)
            stop();
            return false;
        }
        if (LocalPortAccepts(port_))
            return true;
        ::usleep(20000);
    }
    stop();
    return false;
}

void Str2StrCaster::stop() {
    if (pid_ > 0) {
        // A test caster has nothing to save: no need to wait for an orderly stop.
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }
    // With the child gone, a feeder blocked on a full pipe gets EPIPE at once.
    feeding_ = false;
    if (feeder_.joinable())
        feeder_.join();
    if (input_ >= 0) {
        ::close(input_);
        input_ = -1;
    }
}
