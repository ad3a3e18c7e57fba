#pragma once

#include "positioning/gnss/NmeaFix.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Turns the NMEA 0183 sentences a port receives into the values of its NmeaFix: GGA gives the
// position, altitude, fix quality and satellites; RMC and VTG give speed and course; ZDA and
// GSA are known and change nothing. Any talker is accepted; proprietary sentences ($P...) are
// not read as standard ones.
//
// A position on a moving boat must never jump because of a damaged line: a sentence whose
// "*hh" checksum is present and wrong is dropped, and so is a sentence holding a field that
// does not convert, minutes of 60 or more, a latitude beyond 90 or a longitude beyond 180
// degrees, a hemisphere that is not "N"/"S" or "E"/"W", a position with only one of latitude
// and longitude, a course outside 0..360, or a number that is not finite. Such a sentence
// changes nothing at all; it is only counted. Empty fields are not damage: an empty position
// (both coordinates empty: no fix) reads as 0.
class NmeaParser {
public:
    using PositionChanged =
        std::function<void(long double latitude, long double longitude, long double altitude)>;
    using SpeedChanged = std::function<void(long double speedKmh)>;

    enum class Outcome {
        Applied,       // a known sentence was read (it may have changed nothing)
        Ignored,       // not a sentence this parser reads
        ChecksumError, // present and wrong
        Refused        // damaged fields or too few of them
    };

    // The parser writes into `fix`, which must outlive it.
    explicit NmeaParser(NmeaFix& fix);

    // Raised when latitude, longitude or altitude changed, after fix quality and satellites
    // were stored.
    PositionChanged onPositionChanged;
    // Raised when the speed changed; for RMC before its course is stored.
    SpeedChanged onSpeedChanged;

    // Takes one trimmed line beginning with "$", checks its checksum and hands it to the
    // parser of its type.
    Outcome DispatchSentence(std::string_view line);

    // The sentence parsers take the sentence without its checksum.
    Outcome ParseGGA(std::string_view sentence);
    Outcome ParseRMC(std::string_view sentence);
    Outcome ParseVTG(std::string_view sentence);
    Outcome ParseZDA(std::string_view sentence);
    Outcome ParseGSA(std::string_view sentence);

    uint64_t checksumErrors() const { return checksumErrors_; }
    uint64_t refusedSentences() const { return refusedSentences_; }

    // The fields between separators; n separators give n + 1 fields, empty ones kept. The
    // views point into `text`.
    static std::vector<std::string_view> SplitFields(std::string_view text, char separator);
    static void SplitFields(std::string_view text, char separator,
                            std::vector<std::string_view>& fields);

    // Signed decimal degrees from "ddmm.mmmm" (latitude) or "dddmm.mmmm" (longitude: the
    // hemisphere is "E" or "W"). An empty value gives 0; a value that is not a coordinate
    // gives nothing. "S" and "W" negate; hemisphere letters are compared case-sensitively.
    // Minutes are two digits, a point and digits.
    static std::optional<double> NmeaToDegrees(std::string_view value, std::string_view hemisphere);

private:
    // The four fields latitude, N/S, longitude, E/W from `first` on: both coordinates or
    // neither (no fix, 0), each with its own hemisphere letter and on the earth.
    static bool ReadPosition(const std::vector<std::string_view>& fields, size_t first,
                             double& latitude, double& longitude);

    Outcome refuse();

    NmeaFix& fix_;
    std::vector<std::string_view> fields_; // reused between sentences
    uint64_t checksumErrors_ = 0;
    uint64_t refusedSentences_ = 0;
};
