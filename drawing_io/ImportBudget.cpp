#include "drawing_io/ImportBudget.h"

#include "platform/NumberText.h"

#include <unistd.h>

#include <limits>

namespace {

// The allocation of a shape, its slot in the shape store (with room for the store's growth)
// and its entry in the id index.
constexpr uint64_t ShapeOverheadBytes = 64;
// A string's header and allocation.
constexpr uint64_t TextOverheadBytes = 32;

} // namespace

uint64_t ImportBudget::MachineShareBytes() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return uint64_t(1) << 31;
    return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize) / 2;
}

ImportBudget::ImportBudget(std::string fileName, uint64_t limitBytes)
    : fileName_(std::move(fileName)), limit_(limitBytes == 0 ? MachineShareBytes() : limitBytes) {}

bool ImportBudget::Charge(uint64_t bytes) {
    estimate_ = bytes > std::numeric_limits<uint64_t>::max() - estimate_
                    ? std::numeric_limits<uint64_t>::max()
                    : estimate_ + bytes;
    return !Exceeded();
}

bool ImportBudget::Fits(uint64_t bytes) const {
    return bytes <= limit_ && estimate_ <= limit_ - bytes;
}

bool ImportBudget::ChargeExtrapolated(uint64_t sampleCost, uint64_t sampleBytes,
                                      uint64_t fileBytes) {
    if (sampleBytes == 0 || fileBytes <= sampleBytes)
        return Charge(sampleCost);
    // In floating point: cost and size may both be large.
    const double scaled = static_cast<double>(sampleCost) * (static_cast<double>(fileBytes) /
                                                              static_cast<double>(sampleBytes));
    return Charge(scaled >= 1.8e19 ? std::numeric_limits<uint64_t>::max()
                                   : static_cast<uint64_t>(scaled));
}

std::string ImportBudget::Refusal() const {
    return fileName_ + " is not imported: its shapes would take about " + MemoryText(estimate_) +
           " of memory, more than the " + MemoryText(limit_) +
           " an import may take on this computer. The map is unchanged.";
}

uint64_t ImportBudget::ShapeBytes(size_t objectBytes) {
    return objectBytes + ShapeOverheadBytes;
}

uint64_t ImportBudget::TextBytes(size_t characters) {
    return TextOverheadBytes + 2 * static_cast<uint64_t>(characters);
}

std::string ImportBudget::MemoryText(uint64_t bytes) {
    const double value = static_cast<double>(bytes);
    if (value >= 1e9)
        return FormatFixed(value / 1e9, 1) + " GB";
    if (value >= 1e6)
        return FormatFixed(value / 1e6, 0) + " MB";
    return FormatFixed(value / 1e3, 0) + " kB";
}
