#include "reminders/ReminderRules.h"

#include "reminders/LocalTime.h"

#include <algorithm>
#include <functional>
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

qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// A period of whole days repeats at the wall-clock time of the moment, not
// every so many seconds: across a change of the clocks a daily reminder at
// 09:00 stays at 09:00. A time the change skips moves on by the gap, that
// day only. Periods of minutes and hours stay plain seconds.
class CDaySeries
{
public:
    static std::optional<CDaySeries> of(const CReminder &r)
    {
        // A window as wide as the period or wider is no window of a series.
        if (r.period <= 0 || r.period % 86400 != 0 || r.end < r.start || r.end - r.start >= r.period)
            return std::nullopt;
        const std::optional<CLocalFields> f = LocalTime::fields(r.moment);
        if (!f)
            return std::nullopt;
        return CDaySeries(*f, r.period);
    }

    // The moment's wall-clock time k periods after the moment.
    std::optional<qint64> anchor(qint64 k) const
    {
        const qint64 day = m_moment.day + k * (m_period / 86400);
        if (day < -100000 || day > 100000)
            return std::nullopt;
        return LocalTime::build(m_moment.year, m_moment.month, int(day), m_moment.hour, m_moment.minute);
    }

    // Which repeat of the moment the window belongs to: the one inside it,
    // or else the nearest within an hour (a window stored by plain seconds
    // across a change of the clocks lies an hour off).
    std::optional<std::pair<qint64, qint64>> anchorOf(const CReminder &r, qint64 moment) const
    {
        constexpr qint64 kHour = 3600;
        std::optional<std::pair<qint64, qint64>> best;
        qint64 bestDistance = kHour + 1;
        for (qint64 k = floorDiv(r.start - moment - kHour, m_period);
             k <= floorDiv(r.end - moment + kHour, m_period) + 1; ++k) {
            const std::optional<qint64> a = anchor(k);
            if (!a)
                continue;
            const qint64 distance = *a < r.start ? r.start - *a : *a > r.end ? *a - r.end : 0;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = std::pair(k, *a);
            }
        }
        return best;
    }

private:
    CDaySeries(const CLocalFields &moment, qint64 period) : m_moment(moment), m_period(period) {}

    CLocalFields m_moment;
    qint64 m_period;
};

// Moves the window n periods on (back when n < 0).
void shiftPeriods(CReminder &r, qint64 n)
{
    if (n == 0)
        return;
    if (const std::optional<CDaySeries> series = CDaySeries::of(r)) {
        if (const auto anchor = series->anchorOf(r, r.moment)) {
            const qint64 width = r.end - r.start;
            const qint64 before = std::clamp(anchor->second - r.start, qint64(0), width);
            if (const std::optional<qint64> next = series->anchor(anchor->first + n)) {
                r.start = *next - before;
                r.end = r.start + width;
                return;
            }
        }
    }
    shift(r, n * r.period);
}

// The least n >= 0 for which `done` holds of the window moved n periods in
// the direction `sign`. `estimate` counts periods as plain seconds; days
// differ from that by the hour of a change of the clocks at most, so a step
// either way settles it. `done` must stay true once it holds.
qint64 leastSteps(const CReminder &r, int sign, qint64 estimate, const std::function<bool(const CReminder &)> &done)
{
    const auto moved = [&](qint64 n) {
        CReminder c = r;
        shiftPeriods(c, sign * n);
        return c;
    };
    qint64 n = estimate;
    while (!done(moved(n)))
        ++n;
    while (n > 0 && done(moved(n - 1)))
        --n;
    return n;
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
        // while U < F: back one period; then on one.
        const qint64 back = leastSteps(r, -1, stepsToCover(r.end - u, e), [u](const CReminder &c) { return c.end <= u; });
        shiftPeriods(r, 1 - back);
    } else {
        // while S < D: on one period
        shiftPeriods(r, leastSteps(r, 1, stepsToCover(in.moment - r.start, e),
                                   [&in](const CReminder &c) { return c.start >= in.moment; }));
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

qint64 partAfterMoment(const CReminder &r)
{
    if (const std::optional<CDaySeries> series = CDaySeries::of(r)) {
        if (const auto anchor = series->anchorOf(r, r.moment))
            return std::clamp(r.end - anchor->second, qint64(0), r.end - r.start);
    }
    const qint64 p = qAbs(r.period);
    if (p == 0)
        return r.end - r.moment;
    // The windows lie whole periods away from the one around the moment:
    // F - D modulo the period, taken non-negative.
    return ((r.end - r.moment) % p + p) % p;
}

Verdict revalidate(CReminder &r, qint64 now)
{
    const qint64 e = r.repeats() ? r.period : 0;
    const qint64 t = referenceTime(r);
    if (t >= now) {
        if (e > 0)  // while F < N
            shiftPeriods(r, leastSteps(r, 1, stepsToCover(now - r.end, e), [now](const CReminder &c) { return c.end >= now; }));
        return Verdict::Keep;
    }
    if (e > 0) {
        // while F < T
        shiftPeriods(r, leastSteps(r, 1, stepsToCover(t - r.end, e), [t](const CReminder &c) { return c.end >= t; }));
        if (r.start > t)
            shiftPeriods(r, -1);
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
        const qint64 steps = leastSteps(r, -1, std::min(stepsToCover(r.start - l, e), stepsToCover(r.end - now, e)),
                                        [l, now](const CReminder &c) { return c.start <= l || c.end <= now; });
        shiftPeriods(r, 1 - steps);
    }
    return Verdict::Keep;
}

Verdict advance(CReminder &r)
{
    if (r.repeats()) {
        const CReminder before = r;
        shiftPeriods(r, 1);
        if (r.fits())
            return Verdict::Keep;
        r = before;
    }
    // The last window of this series has been announced.
    if (r.next == CReminder::kNoNext || !rollSeries(r) || !r.fits()) {
        r.clear();
        return Verdict::Drop;
    }
    return Verdict::Keep;
}

}  // namespace ReminderRules
