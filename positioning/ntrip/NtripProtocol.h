#pragma once

#include <string>
#include <string_view>
#include <vector>

// The texts exchanged with an NTRIP caster, as pure functions: the request, the Basic
// authorization, the GGA sentence that tells the caster where the boat is, and the mount point
// names of a source table.

struct LocalDateTime;

// RFC 4648 Base64 of the bytes of `bytes`, with "=" padding.
std::string Base64Encode(std::string_view bytes);

// The NTRIP version 1 request, every line ending in CR LF, closed by an empty line. An empty
// mount point asks for the source table; the authorization line is sent only with a user name.
// Control characters are dropped from the mount point so that it cannot add header lines.
std::string BuildNtripRequest(std::string_view mountPoint, std::string_view username,
                              std::string_view password);

struct UtcTimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The time of day in UTC for a local date and time of this machine's time zone.
UtcTimeOfDay ToUtcTimeOfDay(const LocalDateTime& local);

// "$GPGGA,...*hh" without the line end: fix quality 1, 10 satellites, HDOP 1.0, the altitude
// with one decimal, geoid separation 0.0. Minutes carry their own rounding into the text and
// never into the degrees.
std::string BuildGGASentence(double latitude, double longitude, double altitude,
                             const UtcTimeOfDay& utc);

// The mount point names of the "STR;" lines of a source table, in table order; empty names and
// duplicates are kept, a line without a second ";" adds nothing.
std::vector<std::string> ParseSourceTableMountPoints(std::string_view table);
