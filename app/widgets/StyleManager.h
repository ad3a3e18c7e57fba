#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// The program's visual styles, by name: the built-in look, a light and a dark scheme, and the
// widget styles Qt offers on this machine.
class StyleManager {
public:
    // The name that stands for the look the program has without any style applied.
    static QString defaultStyleName();
    // Every style that can be applied, the built-in look first.
    static QStringList styleNames();
    // Applies the named style to the whole application. A name that is not a style leaves the
    // current look; with `reportError` the operator is told so.
    static bool trySetStyle(const QString& name, bool reportError);
    // Name of the style applied last (the built-in look until one is applied).
    static QString activeStyleName();
    // The colour of panels under the active style, 0x00BBGGRR.
    static uint32_t panelColor();
};
