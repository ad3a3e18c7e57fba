#pragma once

#include <string>
#include <string_view>

// Writes a file piece by piece so that it replaces the old one only when it is complete: the
// pieces go to a temporary file beside the target (with the target's permissions), and Commit
// flushes it to disk, renames it over the target and makes the rename durable. A writer that
// is destroyed without a successful Commit removes its temporary file, so a failed or
// abandoned write leaves the old file whole and nothing else behind.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Creates the temporary file. False (and Error() says why) when it cannot be created.
    bool Open();
    // Appends bytes. After the first failure every further call is false and writes nothing.
    bool Write(std::string_view data);
    // Flushes, closes and renames the temporary file over the target.
    bool Commit();

    // Why the last call failed; empty while nothing has.
    const std::string& Error() const { return error_; }
    // The temporary file's path once Open succeeded (tests watch it grow).
    const std::string& TemporaryPath() const { return temporary_; }

private:
    bool Fail(const std::string& what);
    void Discard();

    std::string path_;
    std::string temporary_;
    std::string error_;
    int fd_ = -1;
    bool failed_ = false;
    bool committed_ = false;
};
