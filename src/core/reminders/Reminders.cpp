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
    return index >= 0 && index < tables.count();
}

}  // namespace

bool set(CTorviQuillbookDoc &doc, int index, const CReminder &reminder)
{
    if (!inTable(doc, index) || !reminder.isSet())
        return false;
    if (!reminder.storeInto(doc.m_arInfos[size_t(index)]))
        return false;
    if (!doc.m_arReminders.contains(quint32(index)))
        doc.m_arReminders.append(quint32(index));
    doc.setHasReminders(true);
    return true;
}

bool clear(CTorviQuillbookDoc &doc, int index)
{
    if (!inTable(doc, index))
        return false;
    CNoteInfo &info = doc.m_arInfos[size_t(index)];
    CReminder r = CReminder::of(info);
    r.clear();
    r.lead = 0;
    r.storeInto(info);
    doc.m_arReminders.removeOne(quint32(index));
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
    QList<quint32> &list = doc.m_arReminders;
    std::vector<bool> drop(size_t(list.size()), false);
    qsizetype best = -1;
    qint64 bestStart = 0;
    for (qsizetype p = 0; p < list.size(); ++p) {
        const quint32 index = list[p];
        if (!inTable(doc, index))
            continue;  // not a row of this document: left alone
        CNoteInfo &info = doc.m_arInfos[index];
        CReminder r = CReminder::of(info);
        if (!r.isSet()) {
            drop[size_t(p)] = true;  // listed, but its reminder was cleared elsewhere
            continue;
        }
        if (ReminderRules::revalidate(r, now) == ReminderRules::Verdict::Drop) {
            r.storeInto(info);
            drop[size_t(p)] = true;
            continue;
        }
        // A window that moved beyond what the file can hold stays as stored
        // and is not announced.
        if (!r.storeInto(info))
            continue;
        if (best < 0 || r.start < bestStart) {
            best = p;
            bestStart = r.start;
        }
    }

    CDue due;
    if (best >= 0 && bestStart <= now) {
        const int index = int(list[best]);
        CNoteInfo &info = doc.m_arInfos[size_t(index)];
        due.index = index;
        due.moment = info.m_times[0];
        CReminder r = CReminder::of(info);
        if (ReminderRules::advance(r) == ReminderRules::Verdict::Drop)
            drop[size_t(best)] = true;
        r.storeInto(info);
        doc.setModifiedFlag(true);
    }

    if (std::find(drop.begin(), drop.end(), true) != drop.end()) {
        QList<quint32> kept;
        kept.reserve(list.size());
        for (qsizetype p = 0; p < list.size(); ++p) {
            if (!drop[size_t(p)])
                kept.append(list[p]);
        }
        list = std::move(kept);
    }
    doc.setHasReminders(!list.isEmpty());
    return due;
}

std::vector<int> listOrder(const CItemTables &tables)
{
    std::vector<int> order;
    std::vector<bool> listed(size_t(tables.count()), false);
    order.reserve(size_t(tables.m_arReminders.size()));
    for (const quint32 index : tables.m_arReminders) {
        if (!inTable(tables, index) || listed[index])
            continue;
        listed[index] = true;
        order.push_back(int(index));
    }
    std::sort(order.begin(), order.end(), [&tables](int a, int b) {
        const qint32 da = tables.m_arInfos[size_t(a)].m_times[0];
        const qint32 db = tables.m_arInfos[size_t(b)].m_times[0];
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
