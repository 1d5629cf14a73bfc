#pragma once

#include <QtGlobal>

#include <optional>

// Calendar fields of a time in the local time zone, the way the C library
// breaks times down and builds them back (daylight saving decided by the
// zone, days and months beyond their range rolling over).
struct CLocalFields
{
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

namespace LocalTime {

// Seconds since 1970 broken down in local time; nothing when the platform
// cannot represent the time.
std::optional<CLocalFields> fields(qint64 seconds);

// The time of the local fields with seconds 0; a day or month beyond its
// range rolls over into the next month or year. Nothing when the platform
// cannot build it.
std::optional<qint64> build(int year, int month, int day, int hour, int minute);

}  // namespace LocalTime
