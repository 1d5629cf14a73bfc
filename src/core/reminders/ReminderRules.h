#pragma once

#include "format/NoteInfo.h"

#include <QtGlobal>

#include <optional>

// The reminder values of one note, read into 64 bits so that the rules never
// overflow; they are stored back only when they fit the note's 32-bit fields.
struct CReminder
{
    enum Mode { kNone = -1, kTill = 0, kFrom = 1 };
    enum Next { kNoNext = 0, kNextDay = 1, kNextWeek = 2, kNextMonth = 3, kNextYear = 4 };

    qint32 mode = kNone;
    qint64 moment = 0;  // D
    qint64 lead = 0;    // I, a span
    qint64 period = 0;  // E, a span
    qint64 start = 0;   // S
    qint64 end = 0;     // F
    qint32 next = kNoNext;  // R

    bool isSet() const { return mode != kNone; }
    // A period of 0 or less is no repeat: one window, nothing steps by it.
    bool repeats() const { return period > 0; }

    static CReminder of(const CNoteInfo &info);
    // False (and the note untouched) when a value does not fit the stored fields.
    bool storeInto(CNoteInfo &info) const;
    bool fits() const;
    // The cleared state: mode -1, D, E, S, F and R 0 (the lead offset is kept,
    // as it is never read without a mode).
    void clear();

    bool operator==(const CReminder &) const = default;
};

// The rules that work on reminder values: conversions between what the user
// enters and seconds, the placement of the alert window, and revalidation.
// "now" is always passed in; nothing here reads a clock.
namespace ReminderRules {

enum Unit { kMinute = 0, kHour = 1, kDay = 2, kWeek = 3, kMonth = 4, kYear = 5 };
constexpr int kUnitCount = 6;

// An entered amount ("In", "Each") in seconds; nothing for a unit outside 0..5.
std::optional<qint64> amountSeconds(qint64 count, int unit);
// A tolerance in seconds (a month of 2628000 s, a year of 365 days).
std::optional<qint64> toleranceSeconds(qint64 count, int unit);

struct CSpan
{
    qint64 count = 0;
    int unit = kMinute;
    bool operator==(const CSpan &) const = default;
};
// A stored span shown again as a count and a unit.
CSpan spanToCountAndUnit(qint64 seconds);

// What the setting dialog collects, in seconds, before the window is placed.
struct CEntries
{
    qint64 moment = 0;   // D
    qint32 mode = CReminder::kTill;
    qint64 lead = 0;     // I
    qint64 period = 0;   // E
    qint64 tolerance = 0;
    int slider = 50;     // 0: all before the moment, 100: all after it
    qint32 next = CReminder::kNoNext;
};
// The reminder the entries give at `now`: the tolerance limited below the
// period, split by the slider, and placed before the moment ("till") or from
// it ("from"). Values are not checked against the stored width here.
CReminder compute(const CEntries &entries, qint64 now);

// The local time one repeat-next unit after `moment` (31 January plus one
// month is 31 February, that is 2 or 3 March); nothing when it cannot be built.
std::optional<qint64> rollOver(qint64 moment, qint32 next);

// How much of the current window lies after its repeat of the moment (the
// part the slider put after it), whichever window of the series it is.
qint64 partAfterMoment(const CReminder &reminder);

enum class Verdict { Keep, Drop };
// Moves the window of a set reminder along to `now`, rolling the date over
// when its series has ended and a repeat-next unit is set; clears it (Drop)
// when the series has ended without one. Bounded work for any values.
Verdict revalidate(CReminder &reminder, qint64 now);

// The step after a window was announced: the next window of the series. A
// reminder without repeat has only that one window: it rolls over to the next
// unit when it has one and is cleared otherwise (Drop).
Verdict advance(CReminder &reminder);

}  // namespace ReminderRules
