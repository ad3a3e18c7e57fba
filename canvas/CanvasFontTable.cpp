#include "canvas/CanvasFontTable.h"

#include "platform/NumberText.h"

CanvasFontTable::CanvasFontTable() {
    Fonts.push_back(TTFont{});
}

int CanvasFontTable::Open(const QString& spec) {
    TTFont font;
    const qsizetype comma = spec.indexOf(QLatin1Char(','));
    if (comma < 0) {
        font.Name = spec;
    } else {
        font.Name = spec.left(comma);
        const QString rest = spec.mid(comma + 1);
        const qsizetype second = rest.indexOf(QLatin1Char(','));
        const QString sizeText = second < 0 ? rest : rest.left(second);
        int size = 0;
        font.Size = ParseInteger(sizeText, size) ? size : 10;
        if (second >= 0) {
            const QString flags = rest.mid(second + 1).toUpper();
            font.Bold = flags.contains(QLatin1Char('B'));
            font.Italic = flags.contains(QLatin1Char('I'));
        }
    }
    if (font.Name.toUpper() == QLatin1String("TXT"))
        font.Name = QStringLiteral("Arial");
    Fonts.push_back(font);
    CurrentFont = static_cast<int>(Fonts.size()) - 1;
    return CurrentFont;
}

const TTFont* CanvasFontTable::Find(int index) const {
    if (index < 0 || index >= static_cast<int>(Fonts.size()))
        return nullptr;
    return &Fonts[static_cast<size_t>(index)];
}

void CanvasFontTable::ResetBehavior() {
    DefaultTextAlign = 0;
    DefaultTextJustify = 0;
}
