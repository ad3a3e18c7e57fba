#pragma once

#include "platform/DurableLogWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// A disk under the log folder that fills and then gets its room back a step at a time.
class FillingDisk {
public:
    virtual ~FillingDisk() = default;
    virtual void attach(DurableLogWriter&) {}
    virtual void fill() = 0;
    virtual void freeStep() = 0;
    // All the room back at once.
    virtual void freeAll() = 0;
};

// The writer's write call stands in for the disk: it takes what room is left and then fails
// with ENOSPC, as write() does on a full file system. Runs everywhere.
class WriteCallDisk : public FillingDisk {
public:
    explicit WriteCallDisk(size_t step) : step_(step) {}
    void attach(DurableLogWriter& writer) override {
        writer.setWriteCall([this](int fd, const char* data, size_t size) -> ssize_t {
            triedFiles.insert(
                std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd)).filename());
            if (room_ == 0) {
                errno = ENOSPC;
                return -1;
            }
            const ssize_t n = ::write(fd, data, std::min(size, room_));
            if (n > 0)
                room_ -= size_t(n);
            return n;
        });
    }
    void fill() override { room_ = 0; }
    void freeStep() override { room_ += step_; }
    void freeAll() override { room_ = SIZE_MAX; }

    std::set<std::string> triedFiles; // every file a write was tried on

private:
    size_t step_;
    size_t room_ = SIZE_MAX;
};

// A file system of its own size: a filler file takes all its room and gives back a page at
// each step.
class FillerFileDisk : public FillingDisk {
public:
    explicit FillerFileDisk(std::string filler) : filler_(std::move(filler)) {}
    ~FillerFileDisk() override {
        if (fd_ >= 0)
            ::close(fd_);
    }
    void fill() override {
        fd_ = ::open(filler_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        const std::string page(kPage, 'f');
        while (fd_ >= 0 && ::write(fd_, page.data(), page.size()) > 0) {
        }
    }
    void freeStep() override {
        struct stat st {};
        if (fd_ >= 0 && ::fstat(fd_, &st) == 0)
            (void)::ftruncate(fd_, std::max<off_t>(0, st.st_size - off_t(kPage)));
    }
    void freeAll() override {
        if (fd_ >= 0)
            (void)::ftruncate(fd_, 0);
    }

private:
    static constexpr size_t kPage = 4096;
    std::string filler_;
    int fd_ = -1;
};
