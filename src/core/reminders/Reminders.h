#pragma once

#include "reminders/ReminderRules.h"

#include <QString>

#include <vector>

class CTorviQuillbookDoc;
class CItemTables;

// The document's reminder operations: the reminder list kept beside the item
// tables, setting and clearing a note's reminder, and the due check. Every
// rule takes "now" from the document's clock.
namespace Reminders {

// Stores the reminder into note `index` and lists the note (once). False,
// with nothing changed, for an index outside the table or values that do not
// fit the stored fields.
bool set(CTorviQuillbookDoc &doc, int index, const CReminder &reminder);
// Clears note `index`'s reminder and removes the first entry of it from the
// list. Does not mark the document modified; the callers do.
bool clear(CTorviQuillbookDoc &doc, int index);

// Confirming the setting dialog for note `index`: stores the reminder and
// lists the note, or with `hasReminder` false clears it and unlists it; then
// runs the due check once (its answer is not announced) and marks the
// document modified. False, with nothing changed, when the index is outside
// the table or the values do not fit.
bool confirmDialog(CTorviQuillbookDoc &doc, int index, bool hasReminder, const CReminder &reminder);

struct CDue
{
    int index = -1;       // the note to announce, -1: none
    qint32 moment = 0;    // its reminder moment D at the time it became due
};
// Revalidates every listed reminder at the document's "now", drops the ended
// ones from the list, and returns the listed reminder with the earliest
// window start when that window has begun (earlier list place on a tie); that
// window moves on by one period and the document is marked modified.
CDue dueCheck(CTorviQuillbookDoc &doc);

// The listed notes ordered by moment D, then item index, each once; entries
// outside the table are left out. `tables` may be a document's or a copy.
std::vector<int> listOrder(const CItemTables &tables);

// The date part of a moment in the user's locale, short form, no time of day.
QString dateText(qint64 moment);

}  // namespace Reminders
