#pragma once

#include <cstddef>
#include <mutex>
#include <string>

// An open serial port that more than one thread may write to. The NTRIP worker forwards
// corrections to the GNSS receiver's port while the user-interface thread owns it; Linux reuses
// a closed descriptor's number at once, so nobody but this object ever sees the descriptor
// when writing: writes are serialised by a lock and refused once the port is closed.
//
// Share it as std::shared_ptr: a holder that outlives the port only ever gets refusals.
class SerialChannel {
public:
    // Takes ownership of an open, non-blocking descriptor.
    SerialChannel(int descriptor, std::string deviceName);
    ~SerialChannel();
    SerialChannel(const SerialChannel&) = delete;
    SerialChannel& operator=(const SerialChannel&) = delete;

    // Writes the bytes, waiting at most `timeoutMs` in all for the port to take them.
    // Returns the number of bytes written, or -1 when the port is closed or the write failed
    // before anything was written.
    long write(const void* data, size_t size, int timeoutMs = 200);

    // Closes the descriptor; every later write is refused.
    void close();
    bool isOpen() const;

    const std::string& deviceName() const { return deviceName_; }
    // For the owner's reads on the user-interface thread, the only thread that closes.
    int descriptor() const;

private:
    mutable std::mutex mutex_;
    int descriptor_;
    std::string deviceName_;
};
