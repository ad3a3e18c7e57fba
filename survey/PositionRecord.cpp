#include "survey/PositionRecord.h"

bool IsCurrentPosition(const PositionRecord& record, uint64_t nowTick) {
    if (!record.HasGga || !record.Projected || record.FixQuality <= 0 || record.PortClosed)
        return false;
    if (record.Latitude == 0 && record.Longitude == 0)
        return false;
    return nowTick >= record.GgaTick && nowTick - record.GgaTick <= kPositionMaxAgeMs;
}
