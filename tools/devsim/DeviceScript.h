#pragma once

#include "tools/devsim/PseudoTerminal.h"

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// What a simulated device sends: lines grouped into epochs (the sentences a receiver sends
// together once per fix, or one sounding).
struct DeviceScript {
    std::vector<std::vector<std::string>> epochs;
    std::string lineEnd = "\r\n";

    // One device line per text line; a blank line ends an epoch; a line beginning with "#"
    // is a comment.
    static DeviceScript parse(std::string_view text);
    // Throws std::runtime_error when the file cannot be read.
    static DeviceScript load(const std::string& path);

    // A receiver on a boat moving north-east at about 5 knots: GGA, RMC, VTG and HDT with
    // checksums, one epoch per fix.
    static DeviceScript demoGnss(int epochs, double startLatitude = 40.95,
                                 double startLongitude = 29.05);
    // A sounder over a gently sloping bottom: one DPT sentence per sounding.
    static DeviceScript demoSounder(int soundings);

    size_t lineCount() const;
    // Every line with its line end, epoch after epoch.
    std::string bytes() const;
};

// "$" + body + "*" + its checksum.
std::string NmeaSentence(const std::string& body);
// "ddmm.mmmmm" (latitude) or "dddmm.mmmmm" (longitude) and the hemisphere letter.
std::string NmeaCoordinate(double degrees, bool longitude, char* hemisphere);

struct PlayPace {
    enum class Mode {
        PerEpoch, // each epoch written at once, one every epochIntervalMs
        PerByte   // bytes spaced as a line at baudRate delivers them (10 bit times each)
    };
    Mode mode = Mode::PerEpoch;
    int epochIntervalMs = 1000;
    int baudRate = 9600;
    // Plays on while the program's side takes no bytes (not open, or not read): what it does not
    // take is lost, as on a serial line nobody reads. Per epoch only.
    bool dropUnread = false;
};

// Plays the script once through the terminal. `received`, when given, gets what the program
// wrote meanwhile. Returns false when `stop` was raised or the program's side stopped taking
// bytes.
bool PlayScript(PseudoTerminal& terminal, const DeviceScript& script, const PlayPace& pace,
                const std::atomic<bool>* stop = nullptr,
                const std::function<void(const std::string&)>& received = {});
