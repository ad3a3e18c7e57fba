// The KMZ archive path over arbitrary bytes: broken central directories, sizes declared far
// beyond the data, names climbing out with "..", archives inside archives. Properties: the
// archive is read or refused without a single file written (the archive's folder and TMPDIR,
// where an unpacking would go, keep their entries; the loader's temporary folder stays unset;
// the working folder is shared with the other targets of a run and not watched); a refusal
// says why; the archive read from a file and from memory gives the same text, or a refusal
// both ways; the heap held stays within what the archive can really inflate to, never what its
// headers declare, and the placemarks within the import budget; and every stored point lies within the coordinate ranges.

#include "fuzz/FuzzHeapPeak.h"
#include "fuzz/FuzzProperty.h"
#include "fuzz/FuzzTemporaryFolder.h"

#include "drawing_io/KmlText.h"
#include "drawing_io/TTavrinKMZLoader.h"

#include <zip.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

namespace {

// Deflate inflates at most about 1032 to 1.
constexpr size_t DeflateRatio = 1032;
// The reader's 64 KiB chunk and the loader's records, and libzip's own tables: an end record
// declaring 65535 entries over no central directory at all makes libzip allocate its entry
// table (2 MiB) before it finds the archive damaged.
constexpr size_t ArchiveOverheadBytes = size_t(4) << 20;
// The import budget of the placemarks, small so that a few kilobytes can pass it.
constexpr uint64_t FuzzImportBudgetBytes = uint64_t(1) << 20;

std::string Workspace;
std::string TemporaryFolder;

std::set<std::string> Entries(const std::string& folder) {
    std::set<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    FUZZ_PROPERTY(dir != nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.insert(name);
    }
    ::closedir(dir);
    return names;
}

// An entry short enough to decode to an empty document (nothing, or a byte-order mark alone):
// the one case where an empty text comes without a reason.
bool HasNearlyEmptyEntry(std::string_view bytes) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    zip_error_fini(&error);
    if (!archive) {
        if (source)
            zip_source_free(source);
        return false;
    }
    bool found = false;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count && !found; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        found = zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat) == 0 &&
                (stat.valid & ZIP_STAT_SIZE) && stat.size <= 3;
    }
    zip_discard(archive);
    return found;
}

void ExpectPointsInRange(const TTavrinKMZLoader& loader) {
    for (const TKMLPlacemark& placemark : loader.Placemarks)
        for (const TKMLGeometry& geometry : placemark.Geometries)
            for (const TKMLPoint& point : geometry.Points)
                FUZZ_PROPERTY(point.Lat >= -90 && point.Lat <= 90 && point.Lon >= -180 &&
                              point.Lon <= 180);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Workspace = MakeFuzzFolder("fuzz_kmz");
    TemporaryFolder = Workspace + "/tmp";
    if (::mkdir(TemporaryFolder.c_str(), 0700) != 0)
        std::abort();
    ::setenv("TMPDIR", TemporaryFolder.c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = Workspace + "/input.kmz";
    {
        FILE* file = std::fopen(path.c_str(), "wb");
        FUZZ_PROPERTY(file != nullptr);
        FUZZ_PROPERTY(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
        std::fclose(file);
    }
    const std::set<std::string> before = Entries(Workspace);

    TTavrinKMZLoader fromMemory;
    fuzz_heap::Mark();
    const std::string text = fromMemory.ExtractKmzFromMemory(bytes);
    const size_t inflatable = std::min(KmlMaxBytes, size * DeflateRatio + 4096);
    FUZZ_PROPERTY(fuzz_heap::Peak() <= 3 * inflatable + 4 * size + ArchiveOverheadBytes);
    FUZZ_PROPERTY(text.size() <= KmlMaxBytes);
    if (text.empty())
        FUZZ_PROPERTY(!fromMemory.LastError.empty() || HasNearlyEmptyEntry(bytes));
    else
        FUZZ_PROPERTY(fromMemory.LastError.empty());

    TTavrinKMZLoader fromFile;
    FUZZ_PROPERTY(fromFile.ExtractKmz(path) == text);
    FUZZ_PROPERTY(fromFile.LastError.empty() == fromMemory.LastError.empty());

    // The whole import as the map's command runs it.
    TTavrinKMZLoader loader;
    loader.OnProject = [](double lat, double lon, double& x, double& y) {
        x = lon;
        y = lat;
    };
    loader.MaxImportBytes = FuzzImportBudgetBytes;
    fuzz_heap::Mark();
    const bool loaded = loader.LoadFromFile(path);
    // The document, what the archive path held, and the placemarks within their budget.
    FUZZ_PROPERTY(fuzz_heap::Peak() <= 3 * inflatable + 4 * size + ArchiveOverheadBytes +
                                           2 * FuzzImportBudgetBytes);
    if (loader.EstimatedImportBytes > FuzzImportBudgetBytes)
        FUZZ_PROPERTY(!loaded && loader.Placemarks.empty() && !loader.LastError.empty());
    FUZZ_PROPERTY(loaded == !loader.Placemarks.empty());
    if (text.empty())
        FUZZ_PROPERTY(!loaded && loader.LastError.empty() == fromMemory.LastError.empty());
    ExpectPointsInRange(loader);

    for (const TTavrinKMZLoader* used : {&fromMemory, &fromFile, &loader})
        FUZZ_PROPERTY(used->TempFolder.empty());
    FUZZ_PROPERTY(Entries(Workspace) == before);
    FUZZ_PROPERTY(Entries(TemporaryFolder).empty());
    return 0;
}
