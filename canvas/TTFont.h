#pragma once

#include <QString>

// An entry of the canvas's font table; texts are made from it.
struct TTFont {
    QString Name = QStringLiteral("Arial");
    // Points; a text made from the entry takes it as its height.
    int Size = 10;
    bool Bold = false;
    bool Italic = false;
};
