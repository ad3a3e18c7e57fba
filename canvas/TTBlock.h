#pragma once

#include "canvas/TTShape.h"

#include <QString>

#include <memory>
#include <vector>

// A named block definition of a read drawing-exchange file. The canvas keeps the blocks for
// the reader and deletes them with itself; it never paints, clears or edits them.
struct TTBlock {
    QString Name;
    double BaseX = 0.0;
    double BaseY = 0.0;
    // The layer whose load stored the block (-1 when none did): loading that layer's file
    // again releases the blocks of the earlier load.
    int LayerId = -1;
    std::vector<std::unique_ptr<TTShape>> Shapes;
};
