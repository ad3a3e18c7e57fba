#pragma once

#include "canvas/TTFont.h"

#include <QString>

#include <vector>

// The canvas's font table, which texts are made from, and the alignment new texts take.
// A fresh table holds one entry (Arial, 10), current.
class CanvasFontTable {
public:
    CanvasFontTable();

    // Appends an entry made from "name[,size[,flags]]" (flags B bold, I italic; the name "TXT"
    // stands for Arial; a size that is not an integer gives 10), makes it current and returns
    // its index.
    int Open(const QString& spec);
    // The entry at the index, null when there is none.
    const TTFont* Find(int index) const;
    // New texts align and justify by default again.
    void ResetBehavior();

    std::vector<TTFont> Fonts;
    int CurrentFont = 0;
    int DefaultTextAlign = 0;
    int DefaultTextJustify = 0;
};
