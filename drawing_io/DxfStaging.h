#pragma once

#include "canvas/TTShape.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// What one DXF read has gathered before anything touches the canvas. The commit takes it in
// one step, so a file that turns out bad half-way leaves the map as it was.
struct DxfStaging {
    // How a staged shape takes its pen from the target layer at the commit.
    enum PenRule : uint8_t {
        OwnPen = 0,
        // PenFg from the layer (an entity without a colour of its own).
        ColourOfLayer = 1,
        // PenWidth from the layer.
        WidthOfLayer = 2,
    };

    struct Item {
        // Null for an insert.
        std::unique_ptr<TTShape> Shape;
        // Index into Texts for a text, into Inserts for an insert, -1 otherwise.
        int32_t Extra = -1;
        uint8_t Pen = OwnPen;
    };

    struct Insert {
        std::string BlockName;
        double X = 0.0;
        double Y = 0.0;
        double ScaleX = 1.0;
        double ScaleY = 1.0;
        double Rotation = 0.0;
        int Colour = -1;
        // Its copies are charged to the import budget (its block was known when it was read).
        bool Charged = false;
    };

    struct BlockLine {
        double X1, Y1, X2, Y2;
    };

    struct Block {
        std::string Name;
        double BaseX = 0.0;
        double BaseY = 0.0;
        std::vector<BlockLine> Lines;
    };

    std::vector<Item> Items;
    // Texts as the file holds them: decoded at the commit, once the encoding is surely known.
    std::vector<std::string> Texts;
    std::vector<Insert> Inserts;
    // Blocks in file order; an INSERT finds the first one of its name.
    std::vector<Block> Blocks;
    std::unordered_map<std::string, size_t> FirstBlockByName;

    // The last LAYER entry's colour, when one gave a colour.
    std::optional<uint32_t> LayerColour;

    // Encoding of the file's texts.
    std::string AcadVersion;
    std::string CodePage;

    // Shapes the commit will make, insert copies included.
    int64_t ShapeCount = 0;
    bool EntitiesFound = false;
    // The file ended inside its ENTITIES section.
    bool Truncated = false;

    const Block* FindBlock(const std::string& name) const {
        const auto found = FirstBlockByName.find(name);
        return found == FirstBlockByName.end() ? nullptr : &Blocks[found->second];
    }
};
