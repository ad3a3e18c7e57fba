#include "platform/FileIO.h"

#include "platform/AtomicFileWriter.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Fail(std::string* error, const std::string& what) {
    if (error)
        *error = what + ": " + std::strerror(errno);
    return false;
}

} // namespace

bool WriteAllToDescriptor(int fd, std::string_view data) {
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

bool RestrictToOwner(const std::string& path, std::string* error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return Fail(error, "cannot open " + path);
    const bool changed = ::fchmod(fd, 0600) == 0;
    if (!changed)
        Fail(error, "cannot change the permissions of " + path);
    ::close(fd);
    return changed;
}

bool WriteFileAtomically(const std::string& path, std::string_view data, std::string* error) {
    AtomicFileWriter writer(path);
    if (writer.Open() && writer.Write(data) && writer.Commit())
        return true;
    if (error)
        *error = writer.Error();
    return false;
}

bool AppendToFile(const std::string& path, std::string_view data, std::string* error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return Fail(error, "cannot open " + path);
    const bool written = WriteAllToDescriptor(fd, data);
    if (!written)
        Fail(error, "cannot write " + path);
    if (::close(fd) != 0 && written)
        return Fail(error, "cannot write " + path);
    return written;
}

int OpenRegularFileForReading(const std::string& path, std::string* error, uint64_t* size) {
    const auto fail = [error](std::string why) {
        if (error)
            *error = std::move(why);
        return -1;
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return fail(errno == ENOENT ? "the file does not exist"
                                    : std::string("the file cannot be opened: ") +
                                          std::strerror(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int code = errno;
        ::close(fd);
        return fail(std::string("the file cannot be read: ") + std::strerror(code));
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return fail(S_ISDIR(info.st_mode) ? "it is a folder, not a file"
                                          : "it is not a regular file");
    }
    if (size)
        *size = static_cast<uint64_t>(info.st_size);
    return fd;
}

std::optional<std::string> ReadWholeFile(const std::string& path, size_t maxBytes,
                                         std::string* error) {
    uint64_t size = 0;
    const int fd = OpenRegularFileForReading(path, error, &size);
    if (fd < 0)
        return std::nullopt;
    const auto fail = [&](const char* why) -> std::optional<std::string> {
        if (error)
            *error = why;
        ::close(fd);
        return std::nullopt;
    };
    if (size > maxBytes)
        return fail("the file is too large");
    std::string content;
    // Sized once from what the file holds now, so a large file is not copied while it grows.
    content.reserve(static_cast<size_t>(size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail("the file cannot be read");
        if (n == 0)
            break;
        if (content.size() + static_cast<size_t>(n) > maxBytes)
            return fail("the file is too large");
        content.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return content;
}

size_t WriteWithDeadline(int descriptor, const void* data, size_t size, int timeoutMs,
                         const std::function<bool()>& stopped) {
    using SteadyClock = std::chrono::steady_clock;
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    const char* p = static_cast<const char*>(data);
    size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(descriptor, p + written, size - written);
        if (n > 0) {
            written += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            break;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now())
                .count();
        if (left <= 0 || (stopped && stopped()))
            break;
        // Short waits: a hung-up terminal reports itself at once and the next write says why.
        pollfd waitFor{descriptor, POLLOUT, 0};
        if (::poll(&waitFor, 1, static_cast<int>(std::min<long long>(left, 50))) < 0 &&
            errno != EINTR)
            break;
        if (waitFor.revents & POLLNVAL)
            break;
    }
    return written;
}
