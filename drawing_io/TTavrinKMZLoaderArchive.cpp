// Reading the KML document out of a KMZ archive, in memory.
#include "drawing_io/KmlText.h"
#include "drawing_io/TTavrinKMZLoader.h"

#include "platform/FileIO.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <memory>

namespace {

constexpr const char* NoKmlInArchive = "No KML file found in KMZ archive";
constexpr const char* CannotReadEntry = "Failed to read extracted KML file";

bool IsSymlinkEntry(zip_t* archive, zip_uint64_t index) {
    zip_uint8_t opsys = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &opsys, &attributes) != 0)
        return false;
    return opsys == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFLNK;
}

// doc.kml at the top level, else the first top-level *.kml in case-insensitive order. Entries
// in folders, or whose names climb out of the archive, are never chosen.
zip_int64_t ChooseKmlEntry(zip_t* archive) {
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    zip_int64_t chosen = -1;
    std::string chosenKey;
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* raw = zip_get_name(archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
        if (!raw)
            continue;
        const std::string_view name(raw);
        if (name.find('/') != std::string_view::npos || name.find('\\') != std::string_view::npos)
            continue;
        if (IsSymlinkEntry(archive, static_cast<zip_uint64_t>(i)))
            continue;
        const std::string key = KmlLowerAscii(name);
        if (key == "doc.kml")
            return i;
        if (key.size() > 4 && key.compare(key.size() - 4, 4, ".kml") == 0 &&
            (chosen < 0 || key < chosenKey)) {
            chosen = i;
            chosenKey = key;
        }
    }
    return chosen;
}

// The archive entry a document's link names, or -1: relative names inside the archive only
// (no scheme, no absolute path, nothing climbing out), found as written or after a leading
// "./".
zip_int64_t LinkedEntry(zip_t* archive, std::string link) {
    if (link.starts_with("./"))
        link.erase(0, 2);
    if (link.empty() || link.find("://") != std::string::npos || link.front() == '/' ||
        link.find("..") != std::string::npos)
        return -1;
    const std::string key = KmlLowerAscii(link);
    if (key.size() <= 4 || key.compare(key.size() - 4, 4, ".kml") != 0)
        return -1;
    const zip_int64_t index = zip_name_locate(archive, link.c_str(), ZIP_FL_ENC_GUESS);
    if (index < 0 || IsSymlinkEntry(archive, static_cast<zip_uint64_t>(index)))
        return -1;
    return index;
}

// `archiveBytes`: the size of the whole archive, which no entry's deflated data can exceed.
std::string ReadKmlEntry(zip_t* archive, zip_int64_t index, zip_uint64_t archiveBytes,
                         std::string& lastError) {
    std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> entry(
        zip_fopen_index(archive, static_cast<zip_uint64_t>(index), 0), &zip_fclose);
    if (!entry) {
        lastError = CannotReadEntry;
        return {};
    }
    // The inflated size is counted as it comes, never taken from the header. The header's size
    // only sizes the buffer, and no larger than the archive's bytes can really inflate to
    // (deflate reaches about 1032 to 1), so that a small archive claiming a large entry
    // reserves little.
    std::string bytes;
    zip_stat_t stat;
    zip_stat_init(&stat);
    const bool stated = zip_stat_index(archive, static_cast<zip_uint64_t>(index), 0, &stat) == 0;
    if (stated && (stat.valid & ZIP_STAT_SIZE) && (stat.valid & ZIP_STAT_COMP_SIZE))
        bytes.reserve(static_cast<size_t>(std::min<zip_uint64_t>(
            {stat.size, std::min(stat.comp_size, archiveBytes) * 1032 + 4096, KmlMaxBytes})));
    char chunk[64 * 1024];
    for (;;) {
        const zip_int64_t got = zip_fread(entry.get(), chunk, sizeof chunk);
        if (got < 0) {
            lastError = CannotReadEntry;
            return {};
        }
        if (got == 0)
            break;
        if (bytes.size() + static_cast<size_t>(got) > KmlMaxBytes) {
            lastError = "KML file too large";
            return {};
        }
        bytes.append(chunk, static_cast<size_t>(got));
    }
    // An entry that ends before (or runs past) the size the archive gives it is damaged: its
    // document would be taken cut short, or as empty, without a word.
    if (stated && (stat.valid & ZIP_STAT_SIZE) && bytes.size() != stat.size) {
        lastError = CannotReadEntry;
        return {};
    }
    return DecodeOwnedKmlBytes(std::move(bytes));
}

// The chosen document; one that holds no placemark but links to another KML of the same
// archive (as some writers make "doc.kml") is replaced by that one, a few links deep at most.
std::string ReadKmlFromArchive(zip_t* archive, zip_uint64_t archiveBytes, std::string& lastError) {
    zip_int64_t index = ChooseKmlEntry(archive);
    if (index < 0) {
        lastError = NoKmlInArchive;
        return {};
    }
    constexpr int MaxLinks = 4;
    std::string text;
    for (int hop = 0; hop <= MaxLinks; ++hop) {
        text = ReadKmlEntry(archive, index, archiveBytes, lastError);
        if (text.empty() || FindKmlOpenTag(text, "Placemark", 0).Begin != std::string_view::npos)
            return text;
        const zip_int64_t linked = LinkedEntry(archive, KmlLinkTarget(text));
        if (linked < 0 || linked == index)
            return text;
        index = linked;
    }
    return text;
}

// What libzip found wrong with the archive, for the operator.
std::string ArchiveProblem(int code) {
    switch (code) {
    case ZIP_ER_NOZIP:
        return "The KMZ file is not a ZIP archive";
    case ZIP_ER_INCONS:
    case ZIP_ER_CRC:
    case ZIP_ER_COMPNOTSUPP:
    case ZIP_ER_EOF:
        return "The KMZ archive is damaged or cut short";
    case ZIP_ER_MEMORY:
        return "There is not enough memory to open the KMZ archive";
    default: {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        std::string text = std::string("The KMZ archive cannot be read: ") + zip_error_strerror(&error);
        zip_error_fini(&error);
        return text;
    }
    }
}

} // namespace

std::string TTavrinKMZLoader::ExtractKmz(const std::string& path) {
    std::string openError;
    uint64_t archiveBytes = 0;
    const int fd = OpenRegularFileForReading(path, &openError, &archiveBytes);
    if (fd < 0) {
        LastError = openError == "the file does not exist"
                        ? "File not found: " + path
                        : "Failed to open KMZ file: " + path + " (" + openError + ")";
        return {};
    }
    int error = 0;
    zip_t* archive = zip_fdopen(fd, ZIP_RDONLY, &error);
    if (!archive) {
        ::close(fd);
        LastError = ArchiveProblem(error);
        return {};
    }
    std::string text = ReadKmlFromArchive(archive, archiveBytes, LastError);
    zip_discard(archive);
    return text;
}

std::string TTavrinKMZLoader::ExtractKmzFromMemory(std::string_view bytes) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (!source) {
        zip_error_fini(&error);
        LastError = ArchiveProblem(ZIP_ER_MEMORY);
        return {};
    }
    zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, &error);
    const int code = zip_error_code_zip(&error);
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(source);
        LastError = ArchiveProblem(code);
        return {};
    }
    std::string text = ReadKmlFromArchive(archive, bytes.size(), LastError);
    zip_discard(archive);
    return text;
}
