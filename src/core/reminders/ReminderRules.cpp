#include "reminders/ReminderRules.h"

#include "reminders/LocalTime.h"

#include <limits>

namespace {

bool fits32(qint64 v)
{
    return v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max();
}

// Steps a loop "while condition: x += step" would take, in one division:
// the least k >= 0 with distance - k * step <= 0. step > 0.
qint64 stepsToCover(qint64 distance, qint64 step)
{
    return distance <= 0 ? 0 : (distance + step - 1) / step;
}

void shift(CReminder &r, qint64 by)
{
    r.start += by;
    r.end += by;
}

qint64 referenceTime(const CReminder &r)
{
    return r.mode == CReminder::kFrom ? r.moment + r.lead : r.moment;
}

// Moves the whole series to the next date of its repeat-next unit, keeping
// the window's place around the reference time. False when no date results.
bool rollSeries(CReminder &r)
{
    const qint64 t = referenceTime(r);
    const qint64 after = r.end - t;
    const qint64 before = t - r.start;
    const std::optional<qint64> moment = ReminderRules::rollOver(r.moment, r.next);
    if (!moment)
        return false;
    r.moment = *moment;
    r.end = r.moment + after;
    r.start = r.moment - before;
    return true;
}

}  // namespace

CReminder CReminder::of(const CNoteInfo &info)
{
    CReminder r;
    r.mode = info.m_nRemind;
    r.moment = info.m_times[0];
    r.lead = info.m_times[1];
    r.period = info.m_times[2];
    r.start = info.m_times[3];
    r.end = info.m_times[4];
    r.next = info.m_nKind;
    return r;
}

bool CReminder::fits() const
{
    return fits32(moment) && fits32(lead) && fits32(period) && fits32(start) && fits32(end);
}

bool CReminder::storeInto(CNoteInfo &info) const
{
    if (!fits())
        return false;
    info.m_nRemind = mode;
    info.m_times = {qint32(moment), qint32(lead), qint32(period), qint32(start), qint32(end)};
    info.m_nKind = next;
    return true;
}

void CReminder::clear()
{
    mode = kNone;
    moment = period = start = end = 0;
    next = kNoNext;
}

namespace ReminderRules {

std::optional<qint64> amountSeconds(qint64 count, int unit)
{
    switch (unit) {
    case kMinute: return 60 * count;
    case kHour: return 3600 * count;
    case kDay: return 86400 * count;
    case kWeek: return 86400 * 7 * count;
    case kMonth: return 86400 * (count * 61 / 2);  // trunc(30.5 n) days
    case kYear: return 86400 * 365 * count;
    default: return std::nullopt;
    }
}

std::optional<qint64> toleranceSeconds(qint64 count, int unit)
{
    static constexpr qint64 kFactors[kUnitCount] = {60, 3600, 86400, 604800, 2628000, 31536000};
    if (unit < 0 || unit >= kUnitCount)
        return std::nullopt;
    return kFactors[unit] * count;
}

CSpan spanToCountAndUnit(qint64 s)
{
    if (s / 3500 <= 0)
        return {s % 60 == 0 ? s / 60 : s / 58, kMinute};
    const qint64 h = s % 3600 == 0 ? s / 3600 : s / 3528;
    if (h / 24 <= 0 || h % 24 != 0)
        return {h, kHour};
    const qint64 d = h / 24;
    if (d / 365 > 0 && d % 365 < 2)
        return {d / 365, kYear};
    if (d / 30 > 0 && (d % 30) / (d / 30) == 0)
        return {d / 30, kMonth};
    if (d / 7 > 0 && d % 7 == 0)
        return {d / 7, kWeek};
    return {d, kDay};
}

CReminder compute(const CEntries &in, qint64 now)
{
    CReminder r;
    r.mode = in.mode;
    r.moment = in.moment;
    r.lead = in.lead;
    r.period = in.period;
    r.next = in.next;
    const qint64 e = in.period;

    qint64 w = in.tolerance;
    if (w >= e)
        w = e * 98 / 100;  // trunc(E x 0.98), exact in integers
    const qint64 after = w * in.slider / 100;
    const qint64 before = w - after;
    r.start = in.moment - before;
    r.end = in.moment + after;

    if (!r.repeats())
        return r;  // one window: nothing to step
    if (in.mode == CReminder::kTill) {
        qint64 u = in.moment - in.lead;
        if (u < now)
            u = now;
        shift(r, -stepsToCover(r.end - u, e) * e);  // while U < F: back one period
        shift(r, e);
    } else {
        shift(r, stepsToCover(in.moment - r.start, e) * e);  // while S < D: on one period
    }
    return r;
}

std::optional<qint64> rollOver(qint64 moment, qint32 next)
{
    const std::optional<CLocalFields> f = LocalTime::fields(moment);
    if (!f)
        return std::nullopt;
    int year = f->year, month = f->month, day = f->day;
    switch (next) {
    case CReminder::kNextDay: day += 1; break;
    case CReminder::kNextWeek: day += 7; break;
    case CReminder::kNextMonth: month += 1; break;
    case CReminder::kNextYear: year += 1; break;
    default: return std::nullopt;
    }
    return LocalTime::build(year, month, day, f->hour, f->minute);
}

Verdict revalidate(CReminder &r, qint64 now)
{
    const qint64 e = r.repeats() ? r.period : 0;
    const qint64 t = referenceTime(r);
    if (t >= now) {
        if (e > 0)
            shift(r, stepsToCover(now - r.end, e) * e);  // while F < N
        return Verdict::Keep;
    }
    if (e > 0) {
        shift(r, stepsToCover(t - r.end, e) * e);  // while F < T
        if (r.start > t)
            shift(r, -e);
    }
    if (r.end >= now)
        return Verdict::Keep;
    if (r.next == CReminder::kNoNext || !rollSeries(r)) {
        r.clear();
        return Verdict::Drop;
    }
    if (r.end < now)
        return Verdict::Keep;  // the next check rolls the date on again
    if (e > 0) {
        // while S > L and F > N: back one period; then on one.
        const qint64 l = r.moment - r.lead;
        const qint64 steps = std::min(stepsToCover(r.start - l, e), stepsToCover(r.end - now, e));
        shift(r, -steps * e);
        shift(r, e);
    }
    return Verdict::Keep;
}

Verdict advance(CReminder &r)
{
    if (r.repeats()) {
        shift(r, r.period);
        if (r.fits())
            return Verdict::Keep;
        shift(r, -r.period);
    }
    // The last window of this series has been announced.
    if (r.next == CReminder::kNoNext || !rollSeries(r) || !r.fits()) {
        r.clear();
        return Verdict::Drop;
    }
    return Verdict::Keep;
}

}  // namespace ReminderRules
