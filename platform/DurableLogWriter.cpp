#include "platform/DurableLogWriter.h"

#include "platform/Clock.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How long the flusher gathers rows before it syncs them: well inside the one-second bound.
constexpr auto kFlushDelay = std::chrono::milliseconds(400);

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string AlternatePath(const std::string& path, int n) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string stem = hasExtension ? path.substr(0, dot) : path;
    const std::string extension = hasExtension ? path.substr(dot) : std::string();
    return stem + "_" + std::to_string(n) + extension;
}

// A full disk or quota: no file on it takes a row, whichever name it has.
bool OutOfSpace(int error) {
    return error == ENOSPC || error == EDQUOT;
}

} // namespace

bool MakeFolders(const std::string& path, std::string* made) {
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return true;
        errno = ENOTDIR;
        return false;
    }
    const std::string parent = FolderOf(folder);
    if (parent != folder && parent != "/" && parent != "." && !MakeFolders(parent, made))
        return false;
    if (::mkdir(folder.c_str(), 0755) == 0) {
        if (made && made->empty())
            *made = folder;
        return true;
    }
    return errno == EEXIST;
}

DurableLogWriter::DurableLogWriter(Reporter reporter) : reporter_(std::move(reporter)) {
    flusher_ = std::thread([this] { flusherLoop(); });
}

DurableLogWriter::~DurableLogWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    flusher_.join();
    syncNow();
}

int DurableLogWriter::addLog(const std::string& path, const std::string& header, bool alternates,
                             const std::string& label, LogOptions options) {
    for (size_t i = 0; i < logs_.size(); ++i) {
        Log& kept = logs_[i];
        if (kept.path != path)
            continue;
        kept.header = header;
        kept.alternates = alternates;
        kept.label = label;
        kept.options = options;
        return int(i);
    }
    Log log;
    log.path = path;
    log.header = header;
    log.alternates = alternates;
    log.label = label;
    log.options = options;
    logs_.push_back(std::move(log));
    return int(logs_.size()) - 1;
}

void DurableLogWriter::report(const std::string& text) {
    if (reporter_)
        reporter_(text);
}

int DurableLogWriter::openForAppend(const std::string& path, bool makesFolder, bool& created,
                                    int& error) {
    created = false;
    // O_NONBLOCK: a FIFO put in the log's place must not hang the handler.
    const int flags = O_RDWR | O_APPEND | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    int fd = ::open(path.c_str(), flags);
    if (fd < 0 && errno == ENOENT) {
        // Made here alone, so that a file made for rows that then did not fit is known to be
        // ours and can be taken away again.
        fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, 0644);
        if (fd < 0 && errno == ENOENT && makesFolder) {
            std::string made;
            if (!MakeFolders(FolderOf(path), &made) && OutOfSpace(errno)) {
                error = errno;
                return -1;
            }
            if (!made.empty() && folderMade_)
                folderMade_(made);
            fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, 0644);
        }
        if (fd >= 0)
            created = true;
        else if (errno == EEXIST)
            fd = ::open(path.c_str(), flags | O_CREAT, 0644);
    }
    if (fd < 0)
        error = errno;
    return fd;
}

bool DurableLogWriter::writeToPath(Log& log, const std::string& path, std::string_view data,
                                   const std::vector<size_t>& rowEnds, size_t& wholeBytes,
                                   std::string& reason, int& error) {
    wholeBytes = 0;
    error = 0;
    bool created = false;
    const int fd = openForAppend(path, log.options.makesFolder, created, error);
    if (fd < 0) {
        reason = std::strerror(error);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = errno;
        reason = std::strerror(error);
        ::close(fd);
        return false;
    }
    std::string out;
    bool made = false;
    if (S_ISREG(st.st_mode) && st.st_size == 0) {
        out = log.header;
        made = true;
    } else if (log.options.endsTornLine && S_ISREG(st.st_mode) && st.st_size > 0) {
        char last = '\n';
        if (::pread(fd, &last, 1, st.st_size - 1) == 1 && last != '\n')
            out = "\r\n";
    }
    const size_t prefixBytes = out.size();
    out += data;
    size_t sent = 0;
    while (sent < out.size()) {
        const ssize_t n = writeCall_ ? writeCall_(fd, out.data() + sent, out.size() - sent)
                                     : ::write(fd, out.data() + sent, out.size() - sent);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            reason = n < 0 ? std::strerror(errno) : "nothing written";
            break;
        }
        sent += size_t(n);
    }
    // A file is made only to take rows: one that took none is not left behind, whatever
    // cutting it back returned (a torn header would otherwise head the rows that follow).
    bool tookNoRow = created && sent == 0;
    if (sent < out.size()) {
        // The rows that went out whole stay (a disk that frees part of its room takes what
        // fits); the file is cut back to the end of the last of them, so that the rest can go
        // again, here or to an alternate, without any row reaching the logs torn or twice.
        // Without a whole row the header or line end written before it goes too. Where the
        // file cannot be cut, the torn line gets its line end before the next row.
        const size_t dataSent = sent > prefixBytes ? sent - prefixBytes : 0;
        for (const size_t end : rowEnds)
            if (end <= dataSent)
                wholeBytes = end;
        if (created && wholeBytes == 0)
            tookNoRow = true;
        if (sent > 0 && S_ISREG(st.st_mode) && !tookNoRow) {
            const off_t keep = st.st_size + off_t(wholeBytes > 0 ? prefixBytes + wholeBytes : 0);
            const int cut = cutCall_ ? cutCall_(fd, keep) : ::ftruncate(fd, keep);
            if (cut != 0 && !log.cutFailureTold) {
                log.cutFailureTold = true;
                report(log.label + " " + path + ": a row cut short by the disk cannot be taken " +
                       "back (" + std::strerror(errno) +
                       "); its part stays in the file as a line of its own, and the row is " +
                       "written whole after it");
            }
        }
    }
    if (sent == out.size() || wholeBytes > 0) {
        log.activePath = path;
        markDirty(path, made ? FolderOf(path) : std::string());
    }
    ::close(fd);
    if (tookNoRow)
        ::unlink(path.c_str());
    return sent == out.size();
}

bool DurableLogWriter::writeRows(Log& log, std::string_view data, std::vector<size_t> rowEnds,
                                 size_t& writtenBytes, std::string& reason, int& firstError) {
    writtenBytes = 0;
    firstError = 0;
    std::vector<std::string> candidates;
    if (!log.activePath.empty())
        candidates.push_back(log.activePath);
    if (log.activePath != log.path)
        candidates.push_back(log.path);
    if (log.alternates)
        for (int n = 1; n <= 99; ++n) {
            const std::string alternate = AlternatePath(log.path, n);
            if (alternate != log.activePath)
                candidates.push_back(alternate);
        }
    std::string firstReason;
    for (const std::string& path : candidates) {
        std::string why;
        size_t whole = 0;
        int error = 0;
        if (writeToPath(log, path, data, rowEnds, whole, why, error)) {
            writtenBytes += data.size();
            return true;
        }
        // Rows that went out whole are not offered to the next file.
        if (whole > 0) {
            writtenBytes += whole;
            data.remove_prefix(whole);
            std::erase_if(rowEnds, [&](size_t end) { return end <= whole; });
            for (size_t& end : rowEnds)
                end -= whole;
        }
        if (firstReason.empty()) {
            firstReason = why;
            firstError = error;
        }
        // A full disk takes no row under any name: the rows wait for this file.
        if (OutOfSpace(error)) {
            firstError = error;
            reason = why;
            return false;
        }
    }
    reason = firstReason;
    return false;
}

void DurableLogWriter::queue(Log& log, const std::string& row) {
    if (log.pending.size() >= kMaxPendingRows) {
        log.pending.pop_front();
        ++log.lostInSpell;
        ++log.lostTotal;
        if (!log.lossReported) {
            log.lossReported = true;
            report(log.label + ": memory for waiting rows is full; the oldest rows are lost");
        }
    }
    log.pending.push_back(row);
}

void DurableLogWriter::flushPending(Log& log, bool force) {
    if (log.pending.empty())
        return;
    const uint64_t now = Clock::tickCount();
    if (!force && log.tried && now - log.lastTryTick < kRetryIntervalMs)
        return;
    log.tried = true;
    log.lastTryTick = now;
    std::string data;
    std::vector<size_t> rowEnds;
    rowEnds.reserve(log.pending.size());
    for (const std::string& row : log.pending) {
        data += row;
        rowEnds.push_back(data.size());
    }
    std::string reason;
    size_t writtenBytes = 0;
    int error = 0;
    const bool complete = writeRows(log, data, std::move(rowEnds), writtenBytes, reason, error);
    size_t count = 0;
    for (size_t taken = 0; !log.pending.empty() && taken + log.pending.front().size() <= writtenBytes;
         ++count) {
        taken += log.pending.front().size();
        log.pending.pop_front();
    }
    log.written += count;
    log.writtenInSpell += count;
    if (!complete)
        return;
    if (log.inSpell) {
        std::string text = log.label + " written again to " + log.activePath + ": " +
                           std::to_string(log.writtenInSpell) +
                           " rows that waited in memory were written";
        if (log.lostInSpell > 0)
            text += ", " + std::to_string(log.lostInSpell) + " rows were lost";
        report(text);
    }
    log.inSpell = false;
    log.writtenInSpell = 0;
    log.lostInSpell = 0;
    log.lossReported = false;
}

bool DurableLogWriter::append(int index, const std::string& row) {
    if (index < 0 || size_t(index) >= logs_.size())
        return false;
    Log& log = logs_[size_t(index)];
    if (!log.pending.empty()) {
        flushPending(log, false);
        if (!log.pending.empty()) {
            queue(log, row);
            return false;
        }
    }
    std::string reason;
    size_t writtenBytes = 0;
    int error = 0;
    if (writeRows(log, row, {row.size()}, writtenBytes, reason, error)) {
        ++log.written;
        return true;
    }
    if (log.options.waitsOnlyForRoom && !OutOfSpace(error) && error != EROFS)
        return false;
    queue(log, row);
    log.tried = true;
    log.lastTryTick = Clock::tickCount();
    if (!log.inSpell) {
        log.inSpell = true;
        report(log.label + " " + log.path + " cannot be written (" + reason +
               "): rows wait in memory and are written once the file can be written");
    }
    return false;
}

void DurableLogWriter::retryPending(bool force) {
    for (Log& log : logs_)
        flushPending(log, force);
}

size_t DurableLogWriter::pendingRows(int log) const {
    return logs_.at(size_t(log)).pending.size();
}

size_t DurableLogWriter::pendingRows() const {
    size_t rows = 0;
    for (const Log& log : logs_)
        rows += log.pending.size();
    return rows;
}

std::vector<DurableLogWriter::Waiting> DurableLogWriter::waiting() const {
    std::vector<Waiting> logs;
    for (const Log& log : logs_)
        if (!log.pending.empty())
            logs.push_back({log.label, log.activePath.empty() ? log.path : log.activePath,
                            log.pending.size()});
    return logs;
}

uint64_t DurableLogWriter::lostRows(int log) const {
    return logs_.at(size_t(log)).lostTotal;
}

std::string DurableLogWriter::activePath(int log) const {
    return logs_.at(size_t(log)).activePath;
}

uint64_t DurableLogWriter::writtenRows(int log) const {
    return logs_.at(size_t(log)).written;
}

void DurableLogWriter::markDirty(const std::string& file, const std::string& folder) {
    {
        std::lock_guard lock(mutex_);
        dirtyFiles_.insert(file);
        if (!folder.empty())
            dirtyFolders_.insert(folder);
    }
    wake_.notify_all();
}

void DurableLogWriter::syncPaths(const std::set<std::string>& files,
                                 const std::set<std::string>& folders) {
    for (const std::string& file : files) {
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd >= 0) {
            ::fdatasync(fd);
            ::close(fd);
        }
    }
    for (const std::string& folder : folders) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }
}

void DurableLogWriter::syncNow() {
    std::set<std::string> files, folders;
    {
        std::lock_guard lock(mutex_);
        files.swap(dirtyFiles_);
        folders.swap(dirtyFolders_);
    }
    syncPaths(files, folders);
}

void DurableLogWriter::flusherLoop() {
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [&] { return stopping_ || !dirtyFiles_.empty() || !dirtyFolders_.empty(); });
        if (stopping_)
            return;
        wake_.wait_for(lock, kFlushDelay, [&] { return stopping_; });
        std::set<std::string> files, folders;
        files.swap(dirtyFiles_);
        folders.swap(dirtyFolders_);
        lock.unlock();
        syncPaths(files, folders);
        lock.lock();
    }
}
