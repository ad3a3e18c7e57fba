#include "app/widgets/TColorBox.h"

#include "platform/ColorValue.h"
#include "platform/Dialogs.h"

#include <QIcon>
#include <QPixmap>

namespace {

constexpr int CustomIndex = 0;

QIcon Swatch(uint32_t bgr) {
    QPixmap pixmap(16, 12);
    pixmap.fill(ColorFromBgr(bgr));
    return QIcon(pixmap);
}

} // namespace

const std::vector<TColorBox::NamedColor>& TColorBox::NamedColors() {
    static const std::vector<NamedColor> colors = {
        {"Black", 0x000000},       {"Maroon", 0x000080},    {"Green", 0x008000},
        {"Olive", 0x008080},       {"Navy", 0x800000},      {"Purple", 0x800080},
        {"Teal", 0x808000},        {"Gray", 0x808080},      {"Silver", 0xC0C0C0},
        {"Red", 0x0000FF},         {"Lime", 0x00FF00},      {"Yellow", 0x00FFFF},
        {"Blue", 0xFF0000},        {"Fuchsia", 0xFF00FF},   {"Aqua", 0xFFFF00},
        {"White", 0xFFFFFF},       {"Money Green", 0xC0DCC0}, {"Sky Blue", 0xF0CAA6},
        {"Cream", 0xF0FBFF},       {"Medium Gray", 0xA4A0A0},
    };
    return colors;
}

TColorBox::TColorBox(QWidget* parent) : QComboBox(parent) {
    addItem(Swatch(0), QStringLiteral("Custom..."), QVariant::fromValue<uint>(0));
    for (const NamedColor& named : NamedColors())
        addItem(Swatch(named.Color), QString::fromLatin1(named.Name),
                QVariant::fromValue<uint>(named.Color));
    setCurrentIndex(1);
    lastIndex_ = 1;
    connect(this, &QComboBox::activated, this, &TColorBox::OnActivated);
}

uint32_t TColorBox::Selected() const {
    return currentData().toUInt();
}

void TColorBox::SetSelected(uint32_t color) {
    color &= 0xFFFFFF;
    int index = CustomIndex;
    for (int i = 1; i < count(); ++i) {
        if (itemData(i).toUInt() == color) {
            index = i;
            break;
        }
    }
    if (index == CustomIndex)
        SetCustom(color);
    setCurrentIndex(index);
    lastIndex_ = index;
}

void TColorBox::SetCustom(uint32_t color) {
    setItemData(CustomIndex, QVariant::fromValue<uint>(color));
    setItemIcon(CustomIndex, Swatch(color));
}

void TColorBox::OnActivated(int index) {
    if (index == CustomIndex) {
        const uint32_t before = itemData(lastIndex_).toUInt();
        uint32_t chosen = before;
        if (!Dialogs::chooseColor(before, chosen)) {
            // Cancelled: the colour in effect stays, and so does its entry.
            setCurrentIndex(lastIndex_);
            return;
        }
        SetSelected(chosen);
    } else {
        lastIndex_ = index;
    }
    emit ColorActivated(Selected());
}
