#include "app/DisplaySettings.h"

#include "platform/IniFile.h"
#include "platform/NumberText.h"

int OverlayFontSize = 40;
uint32_t OverlayDepthColor = 0x800000;
uint32_t OverlaySpeedColor = 0;

int ReadOverlayFontSize(const IniFile& ini) {
    const QString text = ini.readString(QStringLiteral("OVERLAY_SETTINGS"),
                                        QStringLiteral("FontSize"), QStringLiteral("40"));
    int size = 40;
    if (!ParseInteger(text, size))
        size = 40;
    return size;
}
