#include "survey/SoundVelocityFiles.h"

#include "platform/CodePageCodec.h"
#include "platform/FileIO.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace SoundVelocityFiles {

const std::array<const char*, ListCount> ListNames = {"mRawSVData", "mRawSVExtracted",
                                                      "mSortedAveragedSV", "mSVPColumn"};

namespace {

bool SameIgnoringAsciiCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

std::string ProgramFolderPath(const std::string& programFolder, int list)
{
    std::string folder = programFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder + ListNames[static_cast<size_t>(list)] + ".ini";
}

std::string DatedPath(const std::string& svpFolder, const std::string& today, int list)
{
    return svpFolder + today + " " + ListNames[static_cast<size_t>(list)] + ".ini";
}

std::optional<std::string> FindWithAnyExtensionCase(const std::string& path)
{
    std::error_code ec;
    const fs::path p(path);
    if (fs::is_regular_file(p, ec))
        return path;
    const std::string stem = p.stem().string();
    const std::string extension = p.extension().string();
    const fs::path folder = p.has_parent_path() ? p.parent_path() : fs::path(".");
    fs::directory_iterator it(folder, ec);
    if (ec)
        return std::nullopt;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        const fs::path candidate = it->path();
        if (candidate.stem().string() == stem &&
            SameIgnoringAsciiCase(candidate.extension().string(), extension) &&
            fs::is_regular_file(candidate, ec))
            return candidate.string();
    }
    return std::nullopt;
}

bool ReadTextLines(const std::string& path, std::vector<std::string>& lines, std::string& error)
{
    std::string why;
    // Opened without blocking: a FIFO chosen as a cast is refused, not waited on.
    const std::optional<std::string> data = ReadWholeFile(path, MaxFileBytes, &why);
    if (!data) {
        error = why == "the file is too large"
                    ? "\"" + path + "\" is larger than 64 MB and is not a sound velocity file."
                    : "\"" + path + "\" cannot be read: " + why + ".";
        return false;
    }
    if (data->find('\0') != std::string::npos) {
        error = "\"" + path + "\" holds binary data (NUL bytes) and is not a text file.";
        return false;
    }
    std::string text;
    if (CodePageCodec::IsValidUtf8(*data)) {
        text = *data;
    } else {
        text.reserve(data->size() * 2);
        for (unsigned char c : *data)
            AppendUtf8(c, text);
    }
    std::vector<std::string> result;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const bool last = end == std::string::npos;
        if (last)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        result.push_back(std::move(line));
        start = end + 1;
    }
    lines = std::move(result);
    return true;
}

std::array<std::optional<std::vector<std::string>>, ListCount>
LoadLists(const std::string& programFolder, const std::string& svpFolder, const std::string& today)
{
    std::array<std::optional<std::vector<std::string>>, ListCount> lists;
    for (int i = 0; i < ListCount; ++i) {
        for (const std::string& wanted : {ProgramFolderPath(programFolder, i), DatedPath(svpFolder, today, i)}) {
            const auto found = FindWithAnyExtensionCase(wanted);
            if (!found)
                continue;
            std::vector<std::string> lines;
            std::string error;
            if (ReadTextLines(*found, lines, error))
                lists[static_cast<size_t>(i)] = std::move(lines);
        }
    }
    return lists;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    return text;
}

bool WriteLists(const std::string& prefix, const std::string& separator, const Lists& lists,
                std::string& error)
{
    const fs::path folder = fs::path(prefix + "x").parent_path();
    std::error_code ec;
    if (!folder.empty() && !fs::is_directory(folder, ec)) {
        fs::create_directories(folder, ec);
        if (ec) {
            error = "The folder \"" + folder.string() + "\" cannot be created: " + ec.message();
            return false;
        }
    }
    for (int i = 0; i < ListCount; ++i) {
        const std::string path = prefix + separator + ListNames[static_cast<size_t>(i)] + ".ini";
        std::string reason;
        if (!WriteFileAtomically(path, JoinLines(lists[static_cast<size_t>(i)]), &reason)) {
            error = "\"" + path + "\" cannot be written: " + reason;
            return false;
        }
    }
    return true;
}

} // namespace SoundVelocityFiles
