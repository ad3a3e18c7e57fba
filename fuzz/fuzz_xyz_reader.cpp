// The XYZ readers over arbitrary bytes: the import's line reader and the coloured lattice
// loader must neither crash nor hand on a number that is not finite.
#include "canvas/CanvasModel.h"
#include "drawing_io/XYZLoad.h"
#include "drawing_io/XyzImportReader.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ReadXyzImportBytes(bytes, [](const XyzImportPoint& p) {
        if (!std::isfinite(p.X) || !std::isfinite(p.Y) || !std::isfinite(p.Z))
            std::abort();
    });
    CanvasModel canvas;
    XYZLoadBytes(canvas, bytes, 0, 0, 0);
    for (const auto& shape : canvas.Shapes)
        if (!shape->IsFinite())
            std::abort();
    return 0;
}
