#include "reminders/Reminders.h"

#include "doc/TorviQuillbookDoc.h"
#include "reminders/LocalTime.h"

#include <QDate>
#include <QLocale>

#include <algorithm>

namespace Reminders {

namespace {

bool inTable(const CItemTables &tables, qint64 index)
{
    return tables.isItem(index);
}

// Stores `reminder` into the attributes of row `index`; false when the
// reminder does not fit a file (nothing is then written).
bool storeReminder(CItemTables &tables, int index, const CReminder &reminder)
{
    CNoteInfo info = tables.info(index);
    if (!reminder.storeInto(info))
        return false;
    tables.setInfo(index, info);
    return true;
}

}  // namespace

bool set(CTorviQuillbookDoc &doc, int index, const CReminder &reminder)
{
    if (!inTable(doc, index) || !reminder.isSet())
        return false;
    if (!storeReminder(doc, index, reminder))
        return false;
    doc.addReminder(quint32(index));
    doc.setHasReminders(true);
    return true;
}

bool clear(CTorviQuillbookDoc &doc, int index)
{
    if (!inTable(doc, index))
        return false;
    CReminder r = CReminder::of(doc.info(index));
    r.clear();
    r.lead = 0;
    storeReminder(doc, index, r);
    doc.removeReminder(quint32(index));
    return true;
}

bool confirmDialog(CTorviQuillbookDoc &doc, int index, bool hasReminder, const CReminder &reminder)
{
    if (!inTable(doc, index))
        return false;
    if (hasReminder ? !set(doc, index, reminder) : !clear(doc, index))
        return false;
    dueCheck(doc);
    doc.setModifiedFlag(true);
    return true;
}

CDue dueCheck(CTorviQuillbookDoc &doc)
{
    const qint64 now = doc.now().toSecsSinceEpoch();
    const QList<quint32> &list = doc.reminders();
    std::vector<bool> drop(size_t(list.size()), false);
    qsizetype best = -1;
    qint64 bestStart = 0;
    for (qsizetype p = 0; p < list.size(); ++p) {
        const quint32 index = list[p];
        if (!inTable(doc, index))
            continue;  // not a row of this document: left alone
        CReminder r = CReminder::of(doc.info(index));
        if (!r.isSet()) {
            drop[size_t(p)] = true;  // listed, but its reminder was cleared elsewhere
            continue;
        }
        if (ReminderRules::revalidate(r, now) == ReminderRules::Verdict::Drop) {
            storeReminder(doc, int(index), r);
            drop[size_t(p)] = true;
            continue;
        }
        // A window that moved beyond what the file can hold stays as stored
        // and is not announced.
        if (!storeReminder(doc, int(index), r))
            continue;
        if (best < 0 || r.start < bestStart) {
            best = p;
            bestStart = r.start;
        }
    }

    CDue due;
    if (best >= 0 && bestStart <= now) {
        const int index = int(list[best]);
        due.index = index;
        due.moment = doc.info(index).m_times[0];
        CReminder r = CReminder::of(doc.info(index));
        if (ReminderRules::advance(r) == ReminderRules::Verdict::Drop)
            drop[size_t(best)] = true;
        storeReminder(doc, index, r);
        doc.setModifiedFlag(true);
    }

    if (std::find(drop.begin(), drop.end(), true) != drop.end()) {
        QList<quint32> kept;
        kept.reserve(list.size());
        for (qsizetype p = 0; p < list.size(); ++p) {
            if (!drop[size_t(p)])
                kept.append(list[p]);
        }
        doc.setReminders(std::move(kept));
    }
    doc.setHasReminders(!list.isEmpty());
    return due;
}

std::vector<int> listOrder(const CItemTables &tables)
{
    std::vector<int> order;
    std::vector<bool> listed(size_t(tables.count()), false);
    order.reserve(size_t(tables.reminders().size()));
    for (const quint32 index : tables.reminders()) {
        if (!inTable(tables, index) || listed[index])
            continue;
        listed[index] = true;
        order.push_back(int(index));
    }
    std::sort(order.begin(), order.end(), [&tables](int a, int b) {
        const qint32 da = tables.info(a).m_times[0];
        const qint32 db = tables.info(b).m_times[0];
        return da != db ? da < db : a < b;
    });
    return order;
}

QString dateText(qint64 moment)
{
    const std::optional<CLocalFields> f = LocalTime::fields(moment);
    if (!f)
        return QString();
    return QLocale::system().toString(QDate(f->year, f->month, f->day), QLocale::ShortFormat);
}

}  // namespace Reminders
