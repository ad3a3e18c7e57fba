// The DXF reader over arbitrary bytes: it must neither crash nor leave a shape that holds a
// number that is not finite.
#include "canvas/CanvasModel.h"
#include "drawing_io/DXFLoad.h"

#include <QLoggingCategory>

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    QLoggingCategory::setFilterRules(QStringLiteral("tavrin.dxf.debug=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CanvasModel canvas;
    DxfLoadOptions options;
    options.ShowMessages = false;
    // Small enough that one input cannot exhaust the fuzzer's memory limit.
    options.MaxShapes = 200000;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    DXFLoadBytes(canvas, bytes, QStringLiteral("fuzz.dxf"), nullptr, options);
    for (const auto& shape : canvas.Shapes)
        if (!shape->IsFinite())
            std::abort();
    return 0;
}
