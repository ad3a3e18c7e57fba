#include "platform/DateTimeText.h"

#include <cstdio>

std::string DateText(const LocalDateTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%d-%02d-%02d", t.year, t.month, t.day);
    return text;
}

std::string TimeText(const LocalDateTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d%02d%02d%03d", t.hour, t.minute, t.second, t.millisecond);
    return text;
}

std::string ClockTimeText(const LocalDateTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return text;
}

std::string HourMinuteText(const LocalDateTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d", t.hour, t.minute);
    return text;
}

std::string DateTimeText(const LocalDateTime& t) {
    return DateText(t) + " " + TimeText(t);
}
