#include "reminders/ReminderForm.h"
#include <QCoreApplication>

#include "reminders/LocalTime.h"

#include <algorithm>
#include <limits>

const char *const CReminderForm::kFieldNames[3] = {"In", "Each", "Tolerance"};

namespace {

void setDateTime(CReminderForm &form, qint64 seconds)
{
    const CLocalFields f = LocalTime::fields(seconds).value_or(CLocalFields{});
    form.date = QDate(f.year, f.month, f.day);
    form.time = QTime(f.hour, f.minute);
}

bool fits32(qint64 v)
{
    return v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max();
}

}  // namespace

CReminderForm CReminderForm::defaults(qint64 now)
{
    CReminderForm form;
    setDateTime(form, now);
    form.counts[kIn] = QStringLiteral("1");
    form.units[kIn] = ReminderRules::kMonth;
    form.counts[kEach] = QStringLiteral("1");
    form.units[kEach] = ReminderRules::kWeek;
    form.counts[kTolerance] = QStringLiteral("2");
    form.units[kTolerance] = ReminderRules::kDay;
    form.hasReminder = true;
    return form;
}

CReminderForm CReminderForm::cleared()
{
    CReminderForm form;
    setDateTime(form, 0);
    return form;
}

CReminderForm CReminderForm::opening(const CReminder &r, qint64 now)
{
    if (!r.isSet())
        return defaults(now);
    CReminderForm form;
    setDateTime(form, r.moment);
    form.modeIndex = r.mode == CReminder::kFrom ? kRemindFrom : kRemindTill;
    const qint64 spans[3] = {r.lead, r.period, r.end - r.start};
    for (int i = 0; i < 3; ++i) {
        const ReminderRules::CSpan span = ReminderRules::spanToCountAndUnit(spans[i]);
        form.counts[i] = QString::number(span.count);
        form.units[i] = span.unit;
    }
    form.nextIndex = r.next >= CReminder::kNoNext && r.next <= CReminder::kNextYear ? r.next : CReminder::kNoNext;

    // The slider position that produced the window.
    const qint64 w = qAbs(r.end - r.start);
    const qint64 p = qAbs(r.period);
    if (ReminderRules::spanToCountAndUnit(spans[kTolerance]).count == 0) {
        form.slider = 50;
    } else if (p == 0 || w == 0) {
        form.slider = 0;
    } else {
        const qint64 t = ReminderRules::partAfterMoment(r);
        form.slider = int(std::clamp<qint64>(t * 100 / w, 0, 100));
    }
    form.hasReminder = true;
    return form;
}

qint64 CReminderForm::countFromText(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || (text[i] >= QLatin1Char('\t') && text[i] <= QLatin1Char('\r'))))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        negative = text[i++] == QLatin1Char('-');
    qint64 value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > std::numeric_limits<qint32>::max())
            return negative ? std::numeric_limits<qint32>::min() : std::numeric_limits<qint32>::max();
    }
    return negative ? -value : value;
}

CReminderForm::Result CReminderForm::compute(qint64 now) const
{
    Result result;
    qint64 counts[3] = {};
    for (int i = 0; i < 3; ++i) {
        const QString name = QLatin1String(kFieldNames[i]);
        result.field = Field(i);
        if (this->counts[i].size() > kMaxCountChars) {
            result.message = QCoreApplication::translate("CReminderForm", kTooManyChars);
            return result;
        }
        counts[i] = countFromText(this->counts[i]);
        if (counts[i] < 1) {
            result.message = QCoreApplication::translate("CReminderForm", kCountTooSmall).arg(name);
            return result;
        }
        if (units[i] < 0 || units[i] >= ReminderRules::kUnitCount) {
            result.message = QCoreApplication::translate("CReminderForm", kNoUnit).arg(name);
            result.unit = true;
            return result;
        }
    }

    ReminderRules::CEntries entries;
    entries.mode = modeIndex == kRemindFrom ? CReminder::kFrom : CReminder::kTill;
    entries.lead = *ReminderRules::amountSeconds(counts[kIn], units[kIn]);
    entries.period = *ReminderRules::amountSeconds(counts[kEach], units[kEach]);
    entries.tolerance = *ReminderRules::toleranceSeconds(counts[kTolerance], units[kTolerance]);
    entries.slider = qBound(0, slider, 100);
    entries.next = nextIndex >= CReminder::kNoNext && nextIndex <= CReminder::kNextYear ? nextIndex : CReminder::kNoNext;
    for (const Field f : {kIn, kEach}) {
        if (!fits32(f == kIn ? entries.lead : entries.period)) {
            result.field = f;
            result.message = QCoreApplication::translate("CReminderForm", kSpanTooLong).arg(QLatin1String(kFieldNames[f]));
            return result;
        }
    }

    result.field = kMoment;
    const std::optional<qint64> moment =
        LocalTime::build(date.year(), date.month(), date.day(), time.hour(), time.minute());
    if (!date.isValid() || !time.isValid() || !moment) {
        result.message = QCoreApplication::translate("CReminderForm", kOutOfRange);
        return result;
    }
    entries.moment = *moment;
    result.reminder = ReminderRules::compute(entries, now);
    if (!result.reminder.fits()) {
        result.message = QCoreApplication::translate("CReminderForm", kOutOfRange);
        return result;
    }
    result.field = kNoField;
    result.ok = true;
    return result;
}
