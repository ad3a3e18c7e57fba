#include "platform/AtomicFileWriter.h"

#include "platform/FileIO.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t BufferSize = size_t(1) << 18;

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

AtomicFileWriter::~AtomicFileWriter() {
    Abandon();
}

bool AtomicFileWriter::Fail(const std::string& what) {
    if (!Failed_)
        Error_ = what + ": " + std::strerror(errno);
    Failed_ = true;
    return false;
}

bool AtomicFileWriter::Open(const std::string& path) {
    Abandon();
    Path_ = path;
    Error_.clear();
    Failed_ = false;
    Temporary_ = path + ".tmp-XXXXXX";
    Fd_ = ::mkstemp(Temporary_.data());
    if (Fd_ < 0) {
        Temporary_.clear();
        return Fail("cannot create a temporary file beside " + path);
    }
    ::fcntl(Fd_, F_SETFD, FD_CLOEXEC);
    // Keep the permissions of the file being replaced; a new file gets the usual ones.
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    ::fchmod(Fd_, mode);
    Buffer_.reserve(BufferSize);
    return true;
}

bool AtomicFileWriter::Flush() {
    if (!WriteAllToDescriptor(Fd_, Buffer_))
        return Fail("cannot write " + Temporary_);
    Buffer_.clear();
    return true;
}

bool AtomicFileWriter::Write(std::string_view data) {
    if (Failed_ || Fd_ < 0) {
        if (!Failed_) {
            errno = EBADF;
            Fail("no file open");
        }
        return false;
    }
    if (Buffer_.size() + data.size() > BufferSize && !Flush())
        return false;
    if (data.size() >= BufferSize) {
        Buffer_.assign(data);
        return Flush();
    }
    Buffer_.append(data);
    return true;
}

bool AtomicFileWriter::Commit() {
    if (Failed_ || Fd_ < 0) {
        Abandon();
        return false;
    }
    if (!Flush() || ::fsync(Fd_) != 0) {
        Fail("cannot write " + Temporary_);
        Abandon();
        return false;
    }
    const int fd = Fd_;
    Fd_ = -1;
    if (::close(fd) != 0) {
        Fail("cannot write " + Temporary_);
        Abandon();
        return false;
    }
    if (::rename(Temporary_.c_str(), Path_.c_str()) != 0) {
        Fail("cannot replace " + Path_);
        Abandon();
        return false;
    }
    Temporary_.clear();
    // Make the rename itself durable.
    const int dir = ::open(FolderOf(Path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void AtomicFileWriter::Abandon() {
    if (Fd_ >= 0) {
        ::close(Fd_);
        Fd_ = -1;
    }
    if (!Temporary_.empty()) {
        ::unlink(Temporary_.c_str());
        Temporary_.clear();
    }
    Buffer_.clear();
}
