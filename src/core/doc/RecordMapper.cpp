#include "doc/RecordMapper.h"

#include "format/ArchiveWriter.h"

namespace {

CNoteInfo headerInfo(const CItemTables &tables, bool hasPassword, qint32 now)
{
    CNoteInfo info;
    info.m_nIcons = tables.m_defaultIcons;
    info.m_nSort = tables.m_nRootSort;
    info.m_nRemind = hasPassword ? 1 : 0;
    info.m_times = {tables.m_creationTime != 0 ? tables.m_creationTime : now, 0, 0, 0, 0};
    info.m_nKind = CDataNotes::kHeaderKind;
    return info;
}

}  // namespace

std::vector<CRecordMapper::CPlanned> CRecordMapper::plan(const CItemTables &tables)
{
    std::vector<CPlanned> planned;
    planned.reserve(size_t(tables.m_arOrder.size()));

    // First position of each item in the order list, so that a parent is
    // found without scanning the list once per item.
    const qsizetype linkCount = tables.m_arParents.size();
    std::vector<qint64> firstPosition(size_t(tables.count()), -1);
    for (qsizetype p = 0; p < tables.m_arOrder.size(); ++p) {
        const quint32 i = tables.m_arOrder[p];
        if (i < firstPosition.size() && firstPosition[i] < 0)
            firstPosition[i] = p;
    }

    for (const quint32 i : tables.m_arOrder) {
        if (qsizetype(i) >= tables.count())
            continue;  // not an item of these tables
        const quint32 link = tables.m_arParents[i];
        qint32 parent = 0;
        if (link < 1) {
            continue;
        } else if (link == CItemTables::kRootParent) {
            parent = 1;
        } else {
            const quint32 k = link - 2;
            if (qsizetype(k) >= linkCount || k >= firstPosition.size() || firstPosition[k] < 0)
                continue;
            parent = qint32(firstPosition[k] + 2);
        }
        planned.push_back({i, parent});
    }
    return planned;
}

std::vector<CDataNotes> CRecordMapper::prepareForWriting(const CItemTables &tables, const CRecordCodec::Key &key,
                                                         bool hasPassword, qint32 now)
{
    const CRecordCodec codec(key);
    const std::vector<CPlanned> planned = plan(tables);
    std::vector<CDataNotes> records;
    records.reserve(planned.size() + 1);
    records.push_back(codec.make(0, {}, {}, headerInfo(tables, hasPassword, now)));
    for (const CPlanned &p : planned)
        records.push_back(codec.make(p.parent, tables.m_arTitles[p.item], tables.m_arTexts[p.item],
                                     tables.m_arInfos[p.item]));
    return records;
}

void CRecordMapper::write(const CItemTables &tables, const CRecordCodec::Key &key, bool hasPassword, qint32 now,
                          CArchiveWriter &writer)
{
    const CRecordCodec codec(key);
    const std::vector<CPlanned> planned = plan(tables);
    writer.begin(planned.size() + 1);
    writer.add(codec, 0, {}, {}, headerInfo(tables, hasPassword, now));
    for (const CPlanned &p : planned)
        writer.add(codec, p.parent, tables.m_arTitles[p.item], tables.m_arTexts[p.item], tables.m_arInfos[p.item]);
}

bool CRecordMapper::claimsPassword(const CRecordIndex &records)
{
    if (records.empty())
        return false;
    const CRecordView first = records.view(0);
    return isHeader(first) && first.m_nRemind > 0;
}

CRecordMapper::TakeOverResult CRecordMapper::takeOver(CRecordIndex &&records, const CRecordCodec::Key &key,
                                                      qint32 defaultSort, qint32 now, CItemTables &tables)
{
    TakeOverResult result;
    const CRecordCodec codec(key);
    tables.m_nRootSort = defaultSort;
    size_t first = 0;
    if (!records.empty() && isHeader(records.view(0))) {
        const CRecordCodec::Item header = codec.read(records.view(0));
        for (int t = 0; t < 5; ++t) {
            const qint32 icon = header.info.m_nIcons[t];
            if (icon >= 0 && icon < kIconLimit)
                tables.m_defaultIcons[t] = icon;
        }
        tables.m_nRootSort = header.info.m_nSort;
        tables.m_creationTime = header.info.m_times[0] > now ? now : header.info.m_times[0];
        first = 1;
    }

    const qsizetype itemCount = qsizetype(records.size() - first);
    tables.m_arTitles.reserve(tables.m_arTitles.size() + itemCount);
    tables.m_arTexts.reserve(tables.m_arTexts.size() + itemCount);
    tables.m_arParents.reserve(tables.m_arParents.size() + itemCount);
    tables.m_arInfos.reserve(tables.m_arInfos.size() + size_t(itemCount));
    tables.m_arOrder.reserve(tables.m_arOrder.size() + itemCount);
    for (size_t r = first; r < records.size(); ++r) {
        const CRecordView record = records.view(r);
        CRecordCodec::Item item = codec.read(record);
        for (int t = 0; t < 5; ++t) {
            if (item.info.m_nIcons[t] < 0)
                item.info.m_nIcons[t] = tables.m_defaultIcons[t];
        }
        const bool hasReminder = item.info.m_nRemind >= 0;
        // The arrays decoded for the item become the table entries: moved, not copied.
        const int j = tables.appendItem(std::move(item.title), std::move(item.text), quint32(record.m_nParent),
                                        item.info);
        tables.m_arOrder.append(quint32(j));
        if (hasReminder) {
            tables.m_arReminders.append(quint32(j));
            result.hasReminders = true;
        }
        result.loadedItems = true;
        records.dropBefore(r + 1);
    }
    records.dropBefore(records.size());  // a file of a header alone, or of none: all of it seen
    records.clear();
    return result;
}
