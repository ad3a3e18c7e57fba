// Checks pictures the screenshot tool saved: each named file must load as an image and hold
// more than one colour (a window that never painted comes out blank).
//
// Usage: tavrin_picture_check <picture> [picture ...]; exit status 1 names the first bad one.

#include <QGuiApplication>
#include <QImage>

#include <cstdio>

namespace {

bool hasTwoColours(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const QRgb first = rgb.pixel(0, 0);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            if (line[x] != first)
                return true;
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <picture> [picture ...]\n", argv[0]);
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        const QImage image(QString::fromLocal8Bit(argv[i]));
        if (image.isNull()) {
            std::fprintf(stderr, "%s: missing or not a picture\n", argv[i]);
            return 1;
        }
        if (!hasTwoColours(image)) {
            std::fprintf(stderr, "%s: one colour only\n", argv[i]);
            return 1;
        }
        std::printf("%s: %dx%d\n", argv[i], image.width(), image.height());
    }
    return 0;
}
