#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <thread>
#include <vector>

// Makes a folder and its parents; true when it exists afterwards. `made`, when given, gets the
// uppermost folder this call had to make (left as it was when none was missing); on failure
// errno tells why.
bool MakeFolders(const std::string& folder, std::string* made = nullptr);

// Appends survey rows so that none is lost or torn.
//
// Each row is one write() to a descriptor opened with O_APPEND, made before append() returns:
// a crash of the program afterwards cannot take the row back. A flusher thread fdatasyncs each
// written file (opened again by its path) at most a second after its row, and the folder once
// after a file was made, so a power cut costs at most the last second. The file is opened for
// each row, as it always was, so a log moved or deleted mid-run is made again in its place.
//
// A log that cannot be opened gets its folder made; a survey log then tries its alternates
// "<name>_1.csv" to "<name>_99.csv", as it does for a file that cannot grow (EFBIG) while
// others can. A disk (or quota) that is full takes no row in any file: the rows wait for the
// same file and no alternate is tried. A file is made only to take a row; one made for a row
// that then did not fit is taken away again, so no empty file is left, also when the file
// cannot be cut back (a torn header would head rows that then go without one). When nothing takes a
// row, it waits in memory with the time it was measured (up to kMaxPendingRows), is retried at
// most once a second and written before any newer row, in order; when only part of the room
// comes back, the whole rows that fit go out and the rest waits. A row is never cut: a write
// that stops inside one is cut back to the last whole row. Each spell of failure is reported
// once when it begins and once with its counts when it ends; rows dropped because memory was
// full are counted and reported. A file whose last line has no line end (a torn write of some
// other program, a power cut) gets one before the next row; a file of rows that cannot be cut
// back is told once.
//
// A log is known by its path: adding the same path again gives the same log, so rows of a later
// run queue behind the rows of an earlier one that still wait for the file.
class DurableLogWriter {
public:
    using Reporter = std::function<void(const std::string& text)>;
    // The write() a log's rows go through: ::write, unless a test stands a disk that fills in
    // for it.
    using WriteCall = std::function<ssize_t(int fd, const char* data, size_t size)>;
    // The ftruncate() a file is cut back through after a write that stopped inside a row.
    using CutCall = std::function<int(int fd, off_t length)>;
    using FolderMadeHandler = std::function<void(const std::string& folder)>;

    // An hour of rows at 20 soundings a second.
    static constexpr size_t kMaxPendingRows = 72000;
    static constexpr uint64_t kRetryIntervalMs = 1000;

    explicit DurableLogWriter(Reporter reporter = {});
    // Syncs what was written and stops the flusher.
    ~DurableLogWriter();
    DurableLogWriter(const DurableLogWriter&) = delete;
    DurableLogWriter& operator=(const DurableLogWriter&) = delete;

    struct LogOptions {
        // A last line without its line end gets one before the next row (entries that begin
        // with their own line feed, as the events log's, need none).
        bool endsTornLine = true;
        // A missing folder is made.
        bool makesFolder = true;
        // Only a row that finds no room (a full disk or quota, a file system remounted
        // read-only) waits; one refused for any other reason (no folder, no such file allowed)
        // is dropped, as the events log always dropped it.
        bool waitsOnlyForRoom = false;
    };
    // A log written at `path`, headed by `header` when it is new; `alternates` allows the
    // "_1".."_99" names. `label` names it in reports ("Survey log"). The log already kept for
    // `path`, when there is one, is given back with these values and whatever waits for it.
    int addLog(const std::string& path, const std::string& header, bool alternates,
               const std::string& label, LogOptions options);
    int addLog(const std::string& path, const std::string& header, bool alternates,
               const std::string& label) {
        return addLog(path, header, alternates, label, LogOptions{});
    }
    // Called with the uppermost folder a log had to make because its folder was missing, before
    // the row goes in.
    void onFolderMade(FolderMadeHandler handler) { folderMade_ = std::move(handler); }
    void setWriteCall(WriteCall call) { writeCall_ = std::move(call); }
    void setCutCall(CutCall call) { cutCall_ = std::move(call); }

    // Writes the row (its line end included) now, after whatever waits. True when it is in the
    // file; false when it waits in memory (or was lost to a full memory queue).
    bool append(int log, const std::string& row);
    // Writes what waits, when a second has passed since the last try (or `force`).
    void retryPending(bool force = false);
    // fdatasyncs every file written since the last sync, on the caller's thread.
    void syncNow();

    size_t pendingRows(int log) const;
    // Rows waiting in memory, of every log.
    size_t pendingRows() const;
    struct Waiting {
        std::string label;
        std::string path; // the file the rows wait for
        size_t rows = 0;
    };
    // The logs whose rows wait, in the order they were added.
    std::vector<Waiting> waiting() const;
    uint64_t lostRows(int log) const;
    // The file the log's rows last went to (an alternate, maybe); empty before the first.
    std::string activePath(int log) const;
    // Rows and header bytes written, for tests and reports.
    uint64_t writtenRows(int log) const;

private:
    struct Log {
        std::string path;
        std::string header;
        bool alternates = false;
        LogOptions options;
        std::string label;
        std::string activePath;
        std::deque<std::string> pending;
        uint64_t lastTryTick = 0;
        bool tried = false;
        bool inSpell = false;
        uint64_t lostInSpell = 0;
        uint64_t lostTotal = 0;
        uint64_t written = 0;
        uint64_t writtenInSpell = 0;
        bool lossReported = false;
        bool cutFailureTold = false;
    };

    // Writes `data`, whole rows ending at the offsets `rowEnds`, to the log's file or an
    // alternate; false with `reason` when not all of it went out, `writtenBytes` then counting
    // the rows that did (and are in no other file).
    bool writeRows(Log& log, std::string_view data, std::vector<size_t> rowEnds,
                   size_t& writtenBytes, std::string& reason, int& error);
    // False, with `reason` and its `error` number, when not all of `data` went out; the file
    // then holds the first `wholeBytes` of it, whole rows only (where it could not be cut
    // back, a torn rest follows them).
    bool writeToPath(Log& log, const std::string& path, std::string_view data,
                     const std::vector<size_t>& rowEnds, size_t& wholeBytes, std::string& reason,
                     int& error);
    // Opens the file for appending, made when missing (`created` then), its folder too.
    int openForAppend(const std::string& path, bool makesFolder, bool& created, int& error);
    void flushPending(Log& log, bool force);
    void queue(Log& log, const std::string& row);
    void report(const std::string& text);
    void markDirty(const std::string& file, const std::string& folder);
    void flusherLoop();
    static void syncPaths(const std::set<std::string>& files, const std::set<std::string>& folders);

    Reporter reporter_;
    FolderMadeHandler folderMade_;
    WriteCall writeCall_;
    CutCall cutCall_;
    std::vector<Log> logs_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::set<std::string> dirtyFiles_;
    std::set<std::string> dirtyFolders_;
    bool stopping_ = false;
    std::thread flusher_;
};
