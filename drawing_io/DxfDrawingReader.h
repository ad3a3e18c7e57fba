#pragma once

#include "drawing_io/DxfPairReader.h"
#include "drawing_io/DxfStaging.h"
#include "drawing_io/ImportBudget.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

// Reads a whole ASCII DXF file into a staging set, in one read: the HEADER for the text
// encoding, the LAYER table for the layer colour, the block definitions and the entities, in
// whatever order the sections come. Every record is read as code/value pairs, so a value "0"
// or a value that equals a type name never starts, ends or swallows a record.
class DxfDrawingReader {
public:
    enum class Failure { None, Binary, LineTooLong, ReadError, NoEntities, TooManyShapes,
                         OverBudget };

    // Called for each LINE read while fewer than five shapes have been staged, with the
    // entity's layer name as the file gives it.
    using LineTrace = std::function<void(std::string_view layerName)>;

    // Every staged shape, block line and insert copy is charged to `budget` as it is read;
    // the reading stops once it is exceeded.
    DxfDrawingReader(DxfPairReader& reader, DxfStaging& staging, int64_t maxShapes,
                     ImportBudget& budget, LineTrace lineTrace = {});

    Failure Read();

private:
    // Reads pairs up to the next code 0, handing each to `use`; true when a code 0 ended them
    // (its value is the next record type), false at the end of the file.
    template <class Use> bool ReadPairs(Use use) {
        while (Reader_.ReadPair()) {
            if (Reader_.Code() == 0)
                return true;
            use(Reader_.Code(), Reader_.Value());
        }
        return false;
    }
    struct RealField {
        int Code;
        double* Target;
    };
    // Reads a record's pairs: code 62 into `colour` (when given), the listed codes as reals,
    // every other pair through `other`.
    template <class Other>
    bool ReadFields(int* colour, std::initializer_list<RealField> reals, Other other) {
        return ReadPairs([&](int code, std::string_view value) {
            if (code == 62 && colour) {
                *colour = DxfInteger(value, -1);
                return;
            }
            for (const RealField& field : reals) {
                if (field.Code == code) {
                    *field.Target = Real(value);
                    return;
                }
            }
            other(code, value);
        });
    }
    bool ReadFields(int* colour, std::initializer_list<RealField> reals) {
        return ReadFields(colour, reals, [](int, std::string_view) {});
    }
    bool SkipRecord();
    void SkipSection();
    void ReadHeader();
    void ReadTables();
    void ReadBlocks();
    void ReadEntities();

    // Reads the entity whose type line has just been read. False at the end of the file (the
    // entity cut off by it is not made).
    bool ReadEntity(const std::string& type);
    bool ReadLine();
    bool ReadCircle();
    bool ReadArc();
    bool ReadEllipse();
    bool ReadSolid();
    bool ReadPoint();
    bool ReadSpline();
    bool ReadText(bool multiLine);
    bool ReadLwPolyline();
    bool ReadPolyline();
    bool ReadInsert();

    double Real(std::string_view value) { return DxfReal(value, Finite_); }
    // Stages a finished shape: drops it when a number was not finite, counts it otherwise.
    void Stage(std::unique_ptr<TTShape> shape, int colourNumber, uint8_t penRule,
               int32_t extra = -1);
    bool OverCap() const { return Staging_.ShapeCount > MaxShapes_ || Budget_.Exceeded(); }
    // The lines an insert copies onto the map.
    void ChargeInsertCopies(size_t lines);

    DxfPairReader& Reader_;
    DxfStaging& Staging_;
    int64_t MaxShapes_;
    ImportBudget& Budget_;
    LineTrace LineTrace_;
    // False once a number of the entity being read was nan, infinite or out of range.
    bool Finite_ = true;
    bool TablesDone_ = false;
    bool BlocksDone_ = false;
};
