#include "app/DisplaySettings.h"

#include "platform/IniFile.h"
#include "platform/NumberText.h"

int ReadOverlayFontSize(const IniFile& ini) {
    const QString text = ini.readString(QStringLiteral("OVERLAY_SETTINGS"),
                                        QStringLiteral("FontSize"), QStringLiteral("40"));
    int size = 40;
    if (!ParseInteger(text, size))
        size = 40;
    return size;
}
