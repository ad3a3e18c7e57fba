// The project file loader over arbitrary files, plain and compressed, replacing and adding.
// Properties: a refused file leaves the canvas exactly as it was and says why; an accepted
// file saves and loads back to the same drawing; a plain body and the same body compressed
// read alike; and whatever counts the file declares, the load holds no more memory than its
// budget for shapes and lines allows.

#include "fuzz/FuzzHeapPeak.h"
#include "fuzz/FuzzProperty.h"
#include "fuzz/FuzzTemporaryFolder.h"

#include "drawing_io/ProjectFile.h"
#include "tests/drawing_io/ProjectFileTestSupport.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace project_file_test;

namespace {

// Small enough that a few kilobytes of compressed input can reach every bound.
ProjectLoadLimits FuzzLimits() {
    ProjectLoadLimits limits;
    limits.MaxTextBytes = uint64_t(32) << 20;
    limits.MaxLineBytes = size_t(64) << 10;
    limits.MaxShapeBytes = uint64_t(1) << 20;
    return limits;
}

// What a load may hold beyond the staged shapes and one line: the read and inflate buffers,
// the inflater, the layer tables, and the canvas's own tables growing as the shapes join it.
constexpr size_t LoadOverheadBytes = size_t(512) << 10;

size_t LoadBudget(const ProjectLoadLimits& limits) {
    return static_cast<size_t>(limits.MaxShapeBytes) * 2 + limits.MaxLineBytes * 2 +
           LoadOverheadBytes;
}

// The drawing a surveyor has open: layers, every kind of shape and a selection.
struct OpenDrawing : CanvasModel {
    OpenDrawing() {
        LayerOpen(QStringLiteral("Default"));
        BuildSmallDrawing(*this);
        ShapeSelect(2, false);
        ShapeSelect(5, true);
    }
};

QString Folder() {
    static const QString folder = QString::fromStdString(MakeFuzzFolder("fuzz_project"));
    return folder;
}

struct Loaded {
    ProjectFileResult Result;
    std::string Before;
    std::string After;
};

Loaded LoadInto(CanvasModel& canvas, const QString& path, int mode) {
    const ProjectLoadLimits limits = FuzzLimits();
    Loaded loaded;
    loaded.Before = Fingerprint(canvas);
    fuzz_heap::Mark();
    loaded.Result = CadLoad(canvas, path, -1, -1, mode, limits);
    FUZZ_PROPERTY(fuzz_heap::Peak() <= LoadBudget(limits));
    loaded.After = Fingerprint(canvas);
    if (!loaded.Result.Ok) {
        FUZZ_PROPERTY(!loaded.Result.Reason.empty());
        FUZZ_PROPERTY(loaded.After == loaded.Before);
    }
    return loaded;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const QString input = Folder() + "/input.wjt";
    FUZZ_PROPERTY(WriteBytes(input, bytes));

    OpenDrawing replaced;
    const Loaded first = LoadInto(replaced, input, 0);
    OpenDrawing added;
    LoadInto(added, input, 2);

    if (first.Result.Ok) {
        // What was accepted saves, and the save loads back to the same drawing.
        const QString saved = Folder() + "/saved.wjt";
        const ProjectFileResult save = CadSave(replaced, saved);
        FUZZ_PROPERTY(save.Ok);
        FUZZ_PROPERTY(save.SkippedShapes == 0);
        OpenDrawing reloaded;
        const Loaded again = LoadInto(reloaded, saved, 0);
        FUZZ_PROPERTY(again.Result.Ok);
        const std::string loadedDump = DrawingDump(replaced);
        const std::string reloadedDump = DrawingDump(reloaded);
        if (reloadedDump != loadedDump)
            std::fprintf(stderr, "loaded:\n%s\nsaved and loaded again:\n%s\n", loadedDump.c_str(),
                         reloadedDump.c_str());
        FUZZ_PROPERTY(reloadedDump == loadedDump);
    }

    // The same body behind the four bytes and zlib reads as the plain one did.
    if (!bytes.starts_with("WJT1") && size <= 4096) {
        const QString compressed = Folder() + "/compressed.wjt";
        FUZZ_PROPERTY(WriteBytes(compressed, Compress(bytes)));
        OpenDrawing canvas;
        const Loaded packed = LoadInto(canvas, compressed, 0);
        FUZZ_PROPERTY(packed.Result.Ok == first.Result.Ok);
        FUZZ_PROPERTY(packed.After == first.After);
    }
    return 0;
}
