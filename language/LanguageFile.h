#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

// A language file: one JSON object whose members map an English caption to its translation.
// Read as UTF-8 (with or without its byte-order mark) or UTF-16 with its mark, any line ends;
// a file that is not valid text of those encodings, not JSON or not an object is refused whole,
// never loaded in part or with replacement characters. Members whose value is not a string
// are passed by.
struct LanguageFileContent {
    bool ok = false;
    std::vector<std::pair<std::string, std::string>> entries; // file order; UTF-8
    std::string error; // why the file was refused, with line and column for a JSON error
};

constexpr size_t LanguageFileSizeLimit = size_t(16) << 20;

LanguageFileContent ParseLanguageFile(const std::string& bytes);
// `error` says "cannot be read" for a missing or unreadable file.
LanguageFileContent ReadLanguageFile(const std::string& path);

// The file's bytes: UTF-8 mark, "{", one `  "key": "text"` line per entry in the map's order,
// "}", every line ending in CR LF.
std::string LanguageFileBytes(const std::map<std::string, std::string>& dictionary);
