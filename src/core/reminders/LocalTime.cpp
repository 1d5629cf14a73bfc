#include "reminders/LocalTime.h"

#include <climits>
#include <ctime>

namespace LocalTime {

std::optional<CLocalFields> fields(qint64 seconds)
{
    const std::time_t t = std::time_t(seconds);
    if (qint64(t) != seconds)
        return std::nullopt;
    std::tm tm{};
#ifdef _WIN32
    if (localtime_s(&tm, &t) != 0)
        return std::nullopt;
#else
    if (!localtime_r(&t, &tm))
        return std::nullopt;
#endif
    return CLocalFields{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::optional<qint64> build(int year, int month, int day, int hour, int minute)
{
    // std::tm holds ints: keep the year and the rolled-over fields inside them.
    if (year < -100000 || year > 100000 || month < -1200 || month > 1200 || day < -100000 || day > 100000)
        return std::nullopt;
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = 0;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    // mktime's error value is also a valid time (one second before 1970 UTC);
    // a successful call normalises the fields, which tells the two apart.
    if (t == std::time_t(-1) && !(tm.tm_year + 1900 == 1970 || tm.tm_year + 1900 == 1969))
        return std::nullopt;
    return qint64(t);
}

}  // namespace LocalTime
