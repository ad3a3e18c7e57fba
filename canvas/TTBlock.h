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
    std::vector<std::unique_ptr<TTShape>> Shapes;
};
