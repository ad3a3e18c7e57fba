#include "platform/AtomicFileWriter.h"

#include "platform/FileIO.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

AtomicFileWriter::AtomicFileWriter(std::string path) : path_(std::move(path)) {}

AtomicFileWriter::~AtomicFileWriter() {
    if (!committed_)
        Discard();
}

bool AtomicFileWriter::Fail(const std::string& what) {
    error_ = what + ": " + std::strerror(errno);
    failed_ = true;
    return false;
}

void AtomicFileWriter::Discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
}

bool AtomicFileWriter::Open() {
    if (fd_ >= 0 || committed_ || failed_) {
        errno = EINVAL;
        return Fail("the writer of " + path_ + " is already in use");
    }
    std::string temporary = path_ + ".tmp-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return Fail("cannot create a temporary file beside " + path_);
    fd_ = fd;
    temporary_ = temporary;

    // Keep the permissions of the file being replaced; a new file gets the usual ones.
    struct stat old {};
    const mode_t mode = ::stat(path_.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    ::fchmod(fd_, mode);
    return true;
}

bool AtomicFileWriter::Write(std::string_view data) {
    if (failed_ || fd_ < 0) {
        if (!failed_) {
            errno = EBADF;
            Fail("the temporary file of " + path_ + " is not open");
        }
        return false;
    }
    if (!WriteAllToDescriptor(fd_, data))
        return Fail("cannot write " + temporary_);
    return true;
}

bool AtomicFileWriter::Commit() {
    if (failed_ || fd_ < 0) {
        if (!failed_) {
            errno = EBADF;
            Fail("the temporary file of " + path_ + " is not open");
        }
        Discard();
        return false;
    }
    if (::fsync(fd_) != 0) {
        Fail("cannot write " + temporary_);
        Discard();
        return false;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        Fail("cannot write " + temporary_);
        Discard();
        return false;
    }
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) {
        Fail("cannot replace " + path_);
        Discard();
        return false;
    }
    committed_ = true;
    // Make the rename itself durable.
    const int dir = ::open(FolderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}
