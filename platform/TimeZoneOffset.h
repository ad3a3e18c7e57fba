#pragma once

// The local zone's standard offset from UTC in minutes, positive east of Greenwich. Daylight
// saving is not applied: the offset is the same all year.
int StandardUtcOffsetMinutes();
