#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The one way the program writes files whole and appends to logs. A file too large to hold in
// memory first (a project file, a drawing export) is written piece by piece with the same
// guarantee through AtomicFileWriter (platform/AtomicFileWriter.h).

// Replaces `path` with `data` so that a crash or a full disk leaves either the old file or the
// new one, never a torn one: the data go to a temporary file in the same folder, are flushed
// to disk, and the temporary file is renamed over the old one. On failure the old file is
// untouched, `error` (when given) says why, and the result is false.
bool WriteFileAtomically(const std::string& path, std::string_view data,
                         std::string* error = nullptr);

// Writes every byte to the descriptor, going on after interruptions; false on the first error
// (errno says which).
bool WriteAllToDescriptor(int descriptor, std::string_view data);

// Makes the file readable and writable by its owner only (0600), creating it empty when it is
// missing: for files about to hold a password. WriteFileAtomically keeps that mode.
bool RestrictToOwner(const std::string& path, std::string* error = nullptr);

// Appends `data` to `path` (created when missing) and checks that every byte was written.
bool AppendToFile(const std::string& path, std::string_view data, std::string* error = nullptr);

// Opens a file a person chose (or may have swapped), for reading, the one way every reader
// does: without blocking (opening a FIFO would otherwise wait for a writer for ever) and only
// when it is a regular file. Returns the descriptor, which the caller closes, or -1 with
// `error` saying why in a phrase for a message ("the file does not exist", "it is a folder,
// not a file", "it is not a regular file", ...). `size` gets the file's size.
int OpenRegularFileForReading(const std::string& path, std::string* error = nullptr,
                              uint64_t* size = nullptr);

// The whole content of a regular file (opened as above), or nothing when it cannot be read;
// `error` then says why. Files larger than `maxBytes` are refused.
std::optional<std::string> ReadWholeFile(const std::string& path,
                                         size_t maxBytes = size_t(1) << 30,
                                         std::string* error = nullptr);

// Writes to a non-blocking descriptor, waiting at most `timeoutMs` in all for it to take the
// bytes. Returns how many were written: fewer than `size` when the time ran out, the
// descriptor failed or `stopped` (looked at between short waits) said to give up.
size_t WriteWithDeadline(int descriptor, const void* data, size_t size, int timeoutMs,
                         const std::function<bool()>& stopped = {});
