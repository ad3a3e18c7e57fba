#include "platform/TimeZoneOffset.h"

#include <QDateTime>
#include <QTimeZone>

int StandardUtcOffsetMinutes() {
    return QTimeZone::systemTimeZone().standardTimeOffset(QDateTime::currentDateTime()) / 60;
}
