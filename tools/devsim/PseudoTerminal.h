#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The device's end of a pseudo-terminal pair. The program opens the other end
// (`devicePath()`, or the symbolic link made at `linkPath()`) as if it were a serial port;
// what is written here arrives there, what the program writes can be read here.
class PseudoTerminal {
public:
    // Creates the pair. With a link path, a symbolic link to the program's end is made there,
    // replacing an older link of that name. Throws std::runtime_error on failure.
    explicit PseudoTerminal(const std::string& linkPath = {});
    // Hangs up and removes the link.
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // The program's end, /dev/pts/N.
    const std::string& devicePath() const { return devicePath_; }
    // The link, or the device path when no link was asked for.
    const std::string& linkPath() const { return linkPath_.empty() ? devicePath_ : linkPath_; }

    // Writes every byte, waiting up to `timeoutMs` in all while the program's side is full.
    // Returns false when not everything could be written.
    bool write(std::string_view bytes, int timeoutMs = 5000);
    // What the program has written: waits up to `timeoutMs` until at least `minimum` bytes
    // have arrived, then returns everything waiting.
    std::string read(size_t minimum = 0, int timeoutMs = 0);

    // The device vanishes: the program's next read fails with EIO.
    void hangUp();
    bool isOpen() const { return master_ >= 0; }
    int masterDescriptor() const { return master_; }

private:
    int master_ = -1;
    std::string devicePath_;
    std::string linkPath_;
};
