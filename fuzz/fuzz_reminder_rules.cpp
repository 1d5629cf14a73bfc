// libFuzzer target for the reminder rules: random stored values, moments and
// dialog entries. Every rule must end after bounded work, without undefined
// behaviour, and leave values the checks below accept.
#include "reminders/ReminderForm.h"
#include "reminders/ReminderRules.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

struct CInput
{
    const uint8_t *data;
    size_t size;
    qint32 next32()
    {
        qint32 v = 0;
        const size_t n = size < 4 ? size : 4;
        std::memcpy(&v, data, n);
        data += n;
        size -= n;
        return v;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    CInput in{data, size};
    CReminder r;
    r.mode = in.next32() & 1;
    r.moment = in.next32();
    r.lead = in.next32();
    r.period = in.next32();
    r.start = in.next32();
    r.end = in.next32();
    r.next = qint32(quint32(in.next32()) % 6);
    const qint64 now = in.next32();

    CReminder revalidated = r;
    if (ReminderRules::revalidate(revalidated, now) == ReminderRules::Verdict::Drop) {
        if (revalidated.isSet())
            std::abort();
    } else {
        const qint64 reference = r.mode == CReminder::kFrom ? r.moment + r.lead : r.moment;
        if (r.repeats() && reference >= now && revalidated.end < now)
            std::abort();  // a window before the reference time catches up with now
        ReminderRules::advance(revalidated);
    }
    ReminderRules::spanToCountAndUnit(r.lead);
    ReminderRules::spanToCountAndUnit(r.end - r.start);

    // The dialog's computation from any counts and units the form can hold.
    ReminderRules::CEntries e;
    e.moment = r.moment;
    e.mode = r.mode;
    e.lead = ReminderRules::amountSeconds(in.next32() % 1000, int(quint32(in.next32()) % 6)).value_or(0);
    e.period = ReminderRules::amountSeconds(in.next32() % 1000, int(quint32(in.next32()) % 6)).value_or(0);
    e.tolerance = ReminderRules::toleranceSeconds(in.next32() % 1000, int(quint32(in.next32()) % 6)).value_or(0);
    e.slider = int(quint32(in.next32()) % 101);
    e.next = r.next % 5;
    ReminderRules::compute(e, now);

    CReminderForm::opening(r, now);
    return 0;
}
