#include "app/TColorBox.h"

#include <QColor>
#include <QPixmap>

namespace {

constexpr TColorBox::NamedColor Standard[] = {
    {0x000000, "Black"},  {0x000080, "Maroon"}, {0x008000, "Green"},   {0x008080, "Olive"},
    {0x800000, "Navy"},   {0x800080, "Purple"}, {0x808000, "Teal"},    {0x808080, "Gray"},
    {0xC0C0C0, "Silver"}, {0x0000FF, "Red"},    {0x00FF00, "Lime"},    {0x00FFFF, "Yellow"},
    {0xFF0000, "Blue"},   {0xFF00FF, "Fuchsia"}, {0xFFFF00, "Aqua"},   {0xFFFFFF, "White"},
};

QIcon Swatch(uint32_t color) {
    QPixmap pixmap(16, 12);
    pixmap.fill(QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF)));
    return QIcon(pixmap);
}

} // namespace

TColorBox::TColorBox(QWidget* parent) : QComboBox(parent) {
    for (const NamedColor& c : Standard)
        addItem(Swatch(c.color), QString::fromLatin1(c.name), QVariant::fromValue(c.color));
}

const TColorBox::NamedColor* TColorBox::StandardColors(int& count) {
    count = int(std::size(Standard));
    return Standard;
}

uint32_t TColorBox::Selected() const {
    const QVariant data = currentData();
    return data.isValid() ? data.value<uint32_t>() : 0;
}

void TColorBox::SetSelected(uint32_t color) {
    color &= 0xFFFFFF;
    int index = findData(QVariant::fromValue(color));
    if (index < 0) {
        addItem(Swatch(color), QStringLiteral("Custom"), QVariant::fromValue(color));
        index = count() - 1;
    }
    setCurrentIndex(index);
}
