#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>

// An open serial port that more than one thread may write to. The NTRIP worker forwards
// corrections to the GNSS receiver's port while the user-interface thread owns it; Linux reuses
// a closed descriptor's number at once, so nobody but this object ever sees the descriptor
// when writing: writes are serialised by a lock and refused once the port is closed.
//
// A write may wait for the port to take its bytes; the owner's reads and its close must not
// wait behind it (the owner is the user-interface thread, polling every few milliseconds).
// So reads go to the descriptor without the lock, and a close makes a waiting write give up
// at its next short wait.
//
// Share it as std::shared_ptr: a holder that outlives the port only ever gets refusals.
class SerialChannel {
public:
    // How long a write waits in all for a port that does not take its bytes.
    static constexpr int WriteTimeoutMs = 1000;

    // Takes ownership of an open, non-blocking descriptor.
    SerialChannel(int descriptor, std::string deviceName);
    ~SerialChannel();
    SerialChannel(const SerialChannel&) = delete;
    SerialChannel& operator=(const SerialChannel&) = delete;

    // Writes the bytes, waiting at most `timeoutMs` in all for the port to take them, and
    // giving up early once the port is being closed or `cancel` (when given) is set.
    // Returns the number of bytes written, or -1 when the port is closed or the write failed
    // before anything was written.
    long write(const void* data, size_t size, int timeoutMs = WriteTimeoutMs,
               const std::atomic<bool>* cancel = nullptr);

    // Closes the descriptor; every later write is refused. A write that is waiting gives up
    // first.
    void close();
    bool isOpen() const;
    // The device has gone (unplugged, or the far end of a pseudo-terminal closed): writes will
    // never be taken again. A full port is not gone.
    bool hungUp() const;

    const std::string& deviceName() const { return deviceName_; }
    // For the owner's reads, on the thread that closes the port: the descriptor stays valid
    // until that thread closes it.
    int descriptor() const;

private:
    std::mutex writeMutex_; // held by a write and by close
    std::atomic<int> descriptor_;
    std::atomic<bool> closing_{false};
    std::string deviceName_;
};
