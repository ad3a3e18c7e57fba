#include "drawing_io/DxfDrawingReader.h"

#include "drawing_io/DxfText.h"

#include "canvas/TTLine.h"

#include <utility>

DxfDrawingReader::DxfDrawingReader(DxfPairReader& reader, DxfStaging& staging, int64_t maxShapes,
                                   ImportBudget& budget, LineTrace lineTrace)
    : Reader_(reader), Staging_(staging), MaxShapes_(maxShapes), Budget_(budget),
      LineTrace_(std::move(lineTrace)) {}

void DxfDrawingReader::ChargeInsertCopies(size_t lines) {
    Budget_.Charge(static_cast<uint64_t>(lines) * ImportBudget::ShapeBytes(sizeof(TTLine)));
}

bool DxfDrawingReader::SkipRecord() {
    return ReadPairs([](int, std::string_view) {});
}

void DxfDrawingReader::SkipSection() {
    while (Reader_.ReadPair())
        if (Reader_.Code() == 0 && Reader_.Value() == "ENDSEC")
            return;
}

DxfDrawingReader::Failure DxfDrawingReader::Read() {
    if (Reader_.IsBinaryDxf())
        return Failure::Binary;
    while (!OverCap() && Reader_.ReadPair()) {
        if (Reader_.Code() != 0)
            continue;
        if (Reader_.Value() == "EOF")
            break;
        if (Reader_.Value() != "SECTION")
            continue;
        // The section name is the next value, whatever its code says.
        if (!Reader_.ReadPair())
            break;
        const std::string name(Reader_.Value());
        if (name == "HEADER")
            ReadHeader();
        else if (name == "TABLES" && !TablesDone_)
            ReadTables();
        else if (name == "BLOCKS" && !BlocksDone_)
            ReadBlocks();
        else if (name == "ENTITIES" && !Staging_.EntitiesFound)
            ReadEntities();
        else
            SkipSection();
    }
    switch (Reader_.GetState()) {
    case DxfPairReader::State::LineTooLong:
        return Failure::LineTooLong;
    case DxfPairReader::State::ReadError:
        return Failure::ReadError;
    default:
        break;
    }
    if (!Staging_.EntitiesFound)
        return Failure::NoEntities;
    // Inserts of blocks defined after them count now that every block is known.
    int64_t count = 0;
    for (const DxfStaging::Item& item : Staging_.Items) {
        if (item.Shape) {
            ++count;
        } else {
            DxfStaging::Insert& insert = Staging_.Inserts[static_cast<size_t>(item.Extra)];
            if (const DxfStaging::Block* block = Staging_.FindBlock(insert.BlockName)) {
                count += static_cast<int64_t>(block->Lines.size());
                if (!insert.Charged)
                    ChargeInsertCopies(block->Lines.size());
                insert.Charged = true;
            }
        }
        if (count > MaxShapes_ || Budget_.Exceeded())
            break;
    }
    Staging_.ShapeCount = count;
    if (Budget_.Exceeded())
        return Failure::OverBudget;
    return OverCap() ? Failure::TooManyShapes : Failure::None;
}

void DxfDrawingReader::ReadHeader() {
    std::string variable;
    while (Reader_.ReadPair()) {
        const int code = Reader_.Code();
        const std::string_view value = Reader_.Value();
        if (code == 0 && value == "ENDSEC")
            return;
        if (code == 9)
            variable = value;
        else if (code == 1 && variable == "$ACADVER")
            Staging_.AcadVersion = value;
        else if (code == 3 && variable == "$DWGCODEPAGE")
            Staging_.CodePage = value;
    }
}

void DxfDrawingReader::ReadTables() {
    TablesDone_ = true;
    // Pairs of the section itself, up to its first record.
    if (!SkipRecord())
        return;
    for (;;) {
        const std::string type(Reader_.Value());
        if (type == "ENDSEC")
            return;
        bool more = false;
        if (type == "LAYER") {
            std::string name;
            int colour = 7;
            more = ReadFields(&colour, {}, [&](int code, std::string_view value) {
                if (code == 2)
                    name = value;
            });
            // Every entry colours the one target layer: the last one with a colour decides.
            if (!name.empty() && AciToColor(colour) >= 0)
                Staging_.LayerColour = static_cast<uint32_t>(AciToColor(colour));
        } else {
            more = SkipRecord();
        }
        if (!more)
            return;
    }
}

void DxfDrawingReader::ReadBlocks() {
    BlocksDone_ = true;
    if (!SkipRecord())
        return;
    std::optional<DxfStaging::Block> open;
    bool openFinite = true;
    for (;;) {
        const std::string type(Reader_.Value());
        if (type == "ENDSEC")
            return;
        bool more = false;
        if (type == "BLOCK") {
            // A block still open is dropped.
            open.emplace();
            Finite_ = true;
            more = ReadFields(nullptr, {{10, &open->BaseX}, {20, &open->BaseY}},
                              [&](int code, std::string_view value) {
                                  if (code == 2)
                                      open->Name = value;
                              });
            openFinite = Finite_;
        } else if (type == "ENDBLK") {
            if (open && openFinite) {
                Staging_.FirstBlockByName.emplace(open->Name, Staging_.Blocks.size());
                Staging_.Blocks.push_back(std::move(*open));
            }
            open.reset();
            more = SkipRecord();
        } else if (type == "LINE" && open) {
            DxfStaging::BlockLine line{0.0, 0.0, 0.0, 0.0};
            Finite_ = true;
            more = ReadFields(nullptr,
                              {{10, &line.X1}, {20, &line.Y1}, {11, &line.X2}, {21, &line.Y2}});
            if (more && Finite_) {
                open->Lines.push_back(line);
                // Kept here, then a line of the block on the map.
                if (!Budget_.Charge(sizeof(DxfStaging::BlockLine) +
                                    ImportBudget::ShapeBytes(sizeof(TTLine))))
                    return;
            }
        } else {
            more = SkipRecord();
        }
        if (!more)
            return;
    }
}

void DxfDrawingReader::ReadEntities() {
    Staging_.EntitiesFound = true;
    if (!SkipRecord()) {
        Staging_.Truncated = true;
        return;
    }
    for (;;) {
        if (OverCap())
            return;
        const std::string type(Reader_.Value());
        if (type == "ENDSEC")
            return;
        if (!ReadEntity(type)) {
            Staging_.Truncated = true;
            return;
        }
    }
}
