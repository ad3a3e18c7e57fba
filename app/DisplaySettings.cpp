#include "app/DisplaySettings.h"

#include "platform/IniFile.h"
#include "platform/NumberText.h"

int ReadOverlayFontSize(const IniFile& ini) {
    const QString text = ini.readString(QStringLiteral("OVERLAY_SETTINGS"),
                                        QStringLiteral("FontSize"), QStringLiteral("40"));
    int size = 40;
    // Blanks around the number are passed over, as for every other whole number in the file.
    if (!ParseInteger(text.trimmed(), size))
        size = 40;
    return size;
}
