#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// One memory budget for everything read onto the map from a user's file: XYZ points, KML/KMZ
// placemarks, DXF drawings and project files.
//
// A reader estimates the memory the file's shapes will take before it makes them (from the
// file's size and what its first block gives, or from a count of its records) and charges the
// budget again as it reads, stopping as soon as Charge() says no. A refused file leaves the
// map as it was; Refusal() is the message for the operator, naming the file, the estimate and
// the limit.
//
// Costs are what the shapes take once they are on the map (the object, its allocation, its
// slot in the shape store and its entry in the id index), plus whatever the reader holds aside
// before making them. The limit is a share of the machine's physical memory, so that the map,
// the program and the system keep the rest.
//
//     ImportBudget budget(path);                      // or ImportBudget(path, limitBytes)
//     if (!budget.Charge(estimate)) return budget.Refusal();
//     ... for each record read: if (!budget.Charge(cost)) return budget.Refusal();
class ImportBudget {
public:
    // Half of the machine's physical memory.
    static uint64_t MachineShareBytes();

    // `limitBytes` 0 takes MachineShareBytes().
    explicit ImportBudget(std::string fileName, uint64_t limitBytes = 0);

    // Adds `bytes` to the estimate; false once the estimate passes the limit, and from then on.
    bool Charge(uint64_t bytes);
    // Whether `bytes` more would stay within the limit; charges nothing.
    bool Fits(uint64_t bytes) const;
    // Charges an estimate made from a sample at the start of a file: `sampleCost` for its first
    // `sampleBytes`, scaled to the `fileBytes` of the whole file.
    bool ChargeExtrapolated(uint64_t sampleCost, uint64_t sampleBytes, uint64_t fileBytes);

    bool Exceeded() const { return estimate_ > limit_; }
    uint64_t EstimateBytes() const { return estimate_; }
    uint64_t LimitBytes() const { return limit_; }
    const std::string& FileName() const { return fileName_; }
    // "<file> is not imported: its shapes would take about 17.3 GB of memory, more than the
    // 11.7 GB an import may take on this computer. The map is unchanged."
    std::string Refusal() const;

    // Memory of one shape on the map whose object is `objectBytes` long.
    static uint64_t ShapeBytes(size_t objectBytes);
    // Memory of a text of `characters` characters (UTF-16) held by a shape.
    static uint64_t TextBytes(size_t characters);
    // One vertex of a polyline, with room for the list's growth.
    static constexpr uint64_t VertexBytes = 24;

    // "1.2 GB", "340 MB", "12 kB": an amount of memory for a message.
    static std::string MemoryText(uint64_t bytes);

private:
    std::string fileName_;
    uint64_t limit_;
    uint64_t estimate_ = 0;
};
