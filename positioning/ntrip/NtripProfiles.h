#pragma once

#include <optional>
#include <string>
#include <vector>

// Saved caster connections, one per line of "profiles.txt": seven fields separated by TAB
// (name, server, port, user name, password, latitude, longitude), each as the window's edit
// held it. Two profiles with the same name are one.
struct NtripProfile {
    std::string server;
    std::string port;
    std::string username;
    std::string password;
    std::string latitude;
    std::string longitude;
};

// "server:port", with "user@" in front when a user name is set.
std::string NtripProfileName(const NtripProfile& profile);

// The profile's line without its line end, or nothing when a field holds a TAB, CR or LF (it
// would split the line and shift every later field); `reason` then names the field.
std::optional<std::string> NtripProfileLine(const NtripProfile& profile, std::string* reason = nullptr);

// The file's lines (LF or CR LF ends), and the file text made of lines (CR LF ends).
std::vector<std::string> SplitProfileFile(const std::string& text);
std::string JoinProfileFile(const std::vector<std::string>& lines);

// The names the list shows: the text before the first TAB of every line that has one.
std::vector<std::string> NtripProfileNames(const std::vector<std::string>& lines);

// The n-th line (from 0) among those that hold a TAB: the list and the file always
// correspond, whatever lines without a TAB a hand edit left in the file.
std::optional<std::string> NtripProfileLineAt(const std::vector<std::string>& lines, size_t index);

// The fields of a line split at every TAB, empty fields kept.
std::vector<std::string> SplitProfileFields(const std::string& line);

// Replaces the first line that begins with the name and a TAB, or appends the line.
void StoreProfileLine(std::vector<std::string>& lines, const std::string& name,
                      const std::string& line);
