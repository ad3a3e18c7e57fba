#pragma once

#include <string>
#include <string_view>

// Writes a file whole, streamed through a buffer, so that a crash, a full disk or a failed
// write leaves either the old file or the new one, never a torn one: the bytes go to a
// temporary file in the target's folder, every write is checked, and Commit flushes them to
// disk and renames the temporary file over the target. Destroyed without a successful Commit,
// the writer removes its temporary file and the target stays as it was.
class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Creates the temporary file beside `path`. False with the reason in Error() when it
    // cannot be created.
    bool Open(const std::string& path);
    // Buffers the bytes; false (and every later call false) once a write has failed.
    bool Write(std::string_view data);
    // Flushes, syncs, closes and renames over the target; false with the reason on failure.
    bool Commit();
    // Drops the temporary file; the target is untouched.
    void Abandon();

    const std::string& Error() const { return Error_; }

private:
    bool Flush();
    bool Fail(const std::string& what);

    std::string Path_;
    std::string Temporary_;
    std::string Buffer_;
    std::string Error_;
    int Fd_ = -1;
    bool Failed_ = false;
};
