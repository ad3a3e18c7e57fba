#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

// The sound velocity window's four lists on disk: one text file per list, beside the executable
// ("mRawSVData.ini", ...) and dated in the day's SVP folder ("2026-06-01 mRawSVData.ini", ...).
// The content is the list's lines, not settings, whatever the extension says.
namespace SoundVelocityFiles {

constexpr int ListCount = 4;
// In load and write order: raw data, extracted values, averaged values, velocity column.
extern const std::array<const char*, ListCount> ListNames;

// Profile files and list files larger than this are refused rather than loaded into a list.
constexpr size_t MaxFileBytes = size_t(64) << 20;

using Lists = std::array<std::vector<std::string>, ListCount>;

std::string ProgramFolderPath(const std::string& programFolder, int list);
// `svpFolder` ends with '/'; `today` is "YYYY-MM-DD".
std::string DatedPath(const std::string& svpFolder, const std::string& today, int list);

// `path` when it exists, else a file in the same folder whose name differs only in the case of
// its extension (the project save once wrote ".INI"), else nothing.
std::optional<std::string> FindWithAnyExtensionCase(const std::string& path);

// Reads a text file into lines: at most MaxFileBytes, no NUL bytes, one trailing CR per line
// dropped, UTF-8 kept, anything else read as Latin-1 (every byte kept). A final line break
// adds no empty line. On refusal `error` says why, naming the file.
bool ReadTextLines(const std::string& path, std::vector<std::string>& lines, std::string& error);

// For each list: the program-folder copy, then today's dated copy replacing it. A list with no
// readable file stays as nothing.
std::array<std::optional<std::vector<std::string>>, ListCount>
LoadLists(const std::string& programFolder, const std::string& svpFolder, const std::string& today);

// Writes the four lists to `prefix` + " " + name + ".ini" (dated: prefix is the SVP folder and
// the date) or, with an empty `separator`, to prefix + name + ".ini". Creates the folder when
// missing; each file is replaced atomically; stops at the first failure, `error` naming the file.
bool WriteLists(const std::string& prefix, const std::string& separator, const Lists& lists,
                std::string& error);

// The list as file text: lines joined with '\n', a final line break when not empty.
std::string JoinLines(const std::vector<std::string>& lines);

} // namespace SoundVelocityFiles
