#include "doc/RecordMapper.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "format/ArchiveWriter.h"

namespace {

CNoteInfo headerInfo(const CItemTables &tables, bool hasPassword, qint32 now)
{
    CNoteInfo info;
    info.m_nIcons = tables.defaultIcons();
    info.m_nSort = tables.rootSort();
    info.m_nRemind = hasPassword ? 1 : 0;
    info.m_times = {tables.creationTime() != 0 ? tables.creationTime() : now, 0, 0, 0, 0};
    info.m_nKind = CDataNotes::kHeaderKind;
    return info;
}

}  // namespace

std::vector<CRecordMapper::CPlanned> CRecordMapper::plan(const CItemTables &tables)
{
    std::vector<CPlanned> planned;
    const QList<quint32> &order = tables.order();
    planned.reserve(size_t(order.size()));

    // First position of each item in the order list, so that a parent is
    // found without scanning the list once per item.
    const qsizetype linkCount = tables.count();
    std::vector<qint64> firstPosition(size_t(tables.count()), -1);
    for (qsizetype p = 0; p < order.size(); ++p) {
        const quint32 i = order[p];
        if (i < firstPosition.size() && firstPosition[i] < 0)
            firstPosition[i] = p;
    }

    for (const quint32 i : order) {
        if (!tables.isItem(i))
            continue;  // not an item of these tables
        const quint32 link = tables.parentLink(i);
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
        records.push_back(codec.make(p.parent, tables.title(p.item), tables.text(p.item), tables.info(p.item)));
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
        writer.add(codec, p.parent, tables.title(p.item), tables.text(p.item), tables.info(p.item));
}

qsizetype CRecordMapper::indexInFile(const CItemTables &tables, quint32 item)
{
    const std::vector<CPlanned> planned = plan(tables);
    const auto it = std::find_if(planned.begin(), planned.end(), [item](const CPlanned &p) { return p.item == item; });
    return it == planned.end() ? -1 : qsizetype(it - planned.begin());
}

bool CRecordMapper::claimsPassword(const CRecordIndex &records)
{
    if (records.empty())
        return false;
    const CRecordView first = records.view(0);
    return isHeader(first) && first.m_nRemind > 0;
}

namespace {

// Decoding waits on memory and on the pages it fills, so two threads share
// it: the records go in batches, the even ones decoded here, the odd ones by
// a second thread at most two batches ahead, and all are taken over here in
// order. What waits to be taken over stays two batches, so that the file's
// pages still go back right behind the reading.
template<typename Decode, typename Take, typename TakeHere>
void takeOverInTwo(const CRecordIndex &records, size_t first, const Decode &decode, const Take &take,
                   const TakeHere &decodeAndTake)
{
    constexpr size_t kBatch = 512;
    constexpr size_t kAhead = 2;
    struct Batch
    {
        std::vector<CRecordCodec::Item> items;
        std::vector<qint32> parents;
    };
    std::array<Batch, kAhead> waiting;
    std::mutex mutex;
    std::condition_variable changed;
    size_t decoded = 0;  // odd batches the second thread has finished
    size_t taken = 0;    // odd batches taken over here
    // A failure on either side ends both: the other must not wait for
    // batches that never come. The second thread's is thrown here.
    bool stopped = false;
    std::exception_ptr failure;
    const size_t total = records.size();
    const auto batchStart = [&](size_t b) { return std::min(total, first + b * kBatch); };

    std::jthread second([&] {
        try {
            for (size_t k = 0; batchStart(2 * k + 1) < total; ++k) {
                {
                    std::unique_lock lock(mutex);
                    changed.wait(lock, [&] { return k < taken + kAhead || stopped; });
                    if (stopped)
                        return;
                }
                Batch &slot = waiting[k % kAhead];
                slot.items.clear();
                slot.parents.clear();
                for (size_t r = batchStart(2 * k + 1); r < batchStart(2 * k + 2); ++r) {
                    // Not view(): this thread must not read what dropBefore() changes.
                    const CRecordView record = records.viewBeside(r);
                    slot.parents.push_back(record.m_nParent);
                    slot.items.push_back(decode(record));
                }
                std::lock_guard lock(mutex);
                decoded = k + 1;
                changed.notify_all();
            }
        } catch (...) {
            std::lock_guard lock(mutex);
            failure = std::current_exception();
            stopped = true;
            changed.notify_all();
        }
    });
    const auto stop = [&] {
        std::lock_guard lock(mutex);
        stopped = true;
        changed.notify_all();
    };
    try {
        for (size_t b = 0; batchStart(b) < total; ++b) {
            if (b % 2 == 0) {
                for (size_t r = batchStart(b); r < batchStart(b + 1); ++r)
                    decodeAndTake(r);
                continue;
            }
            const size_t k = b / 2;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return decoded > k || stopped; });
                if (decoded <= k)
                    break;  // the second thread failed
            }
            Batch &slot = waiting[k % kAhead];
            for (size_t r = batchStart(b); r < batchStart(b + 1); ++r)
                take(r, std::move(slot.items[r - batchStart(b)]), slot.parents[r - batchStart(b)]);
            std::lock_guard lock(mutex);
            taken = k + 1;
            changed.notify_all();
        }
    } catch (...) {
        stop();
        throw;  // the second thread is joined on the way out
    }
    second.join();
    if (failure)
        std::rethrow_exception(failure);
}

}  // namespace

CRecordMapper::TakeOverResult CRecordMapper::takeOver(CRecordIndex &&records, const CRecordCodec::Key &key,
                                                      qint32 defaultSort, qint32 now, CItemTables &tables,
                                                      const TextFilter &keepText, size_t twoThreadsFrom)
{
    TakeOverResult result;
    const CRecordCodec codec(key);
    tables.setRootSort(defaultSort);
    size_t first = 0;
    if (!records.empty() && isHeader(records.view(0))) {
        const CRecordCodec::Item header = codec.read(records.view(0));
        for (int t = 0; t < 5; ++t) {
            const qint32 icon = header.info.m_nIcons[t];
            if (icon >= 0 && icon < kIconLimit)
                tables.setDefaultIcon(t, icon);
        }
        tables.setRootSort(header.info.m_nSort);
        tables.setCreationTime(header.info.m_times[0] > now ? now : header.info.m_times[0]);
        first = 1;
    }

    const auto decode = [&](const CRecordView &record) {
        if (!keepText)
            return codec.read(record);
        // Only a text the filter keeps is decoded; the others stay empty.
        CRecordCodec::Item item = codec.readWithoutText(record);
        const CStoredText text(codec, record.m_wText, size_t(item.title.size()));
        if (keepText(item.title, text))
            item.text = text.decoded();
        return item;
    };
    const auto take = [&](size_t r, CRecordCodec::Item &&item, qint32 parent) {
        for (int t = 0; t < 5; ++t) {
            if (item.info.m_nIcons[t] < 0)
                item.info.m_nIcons[t] = tables.defaultIcons()[t];
        }
        const bool hasReminder = item.info.m_nRemind >= 0;
        // The arrays decoded for the item become the table entries: moved, not copied.
        const int j = tables.appendItem(std::move(item.title), std::move(item.text), quint32(parent), item.info);
        tables.appendToOrder(quint32(j));
        if (hasReminder) {
            tables.appendReminder(quint32(j));
            result.hasReminders = true;
        }
        result.loadedItems = true;
        records.dropBefore(r + 1);
    };

    const auto decodeAndTake = [&](size_t r) {
        const CRecordView record = records.view(r);
        take(r, decode(record), record.m_nParent);
    };

    tables.reserveItems(qsizetype(records.size() - first));
    if (records.size() - first < twoThreadsFrom) {
        for (size_t r = first; r < records.size(); ++r)
            decodeAndTake(r);
    } else {
        takeOverInTwo(records, first, decode, take, decodeAndTake);
    }
    records.dropBefore(records.size());  // a file of a header alone, or of none: all of it seen
    records.clear();
    return result;
}
