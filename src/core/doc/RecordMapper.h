#pragma once

#include "doc/DataNotes.h"
#include "doc/ItemTables.h"
#include "doc/RecordCodec.h"

#include <vector>

// Builds the records of a file from the item tables (header first, then the
// items of the order list) and turns read records back into table entries.
class CRecordMapper
{
public:
    static constexpr int kIconLimit = 80;  // header icons outside 0..79 keep the default

    // `now` replaces a creation stamp of zero in the written header.
    static std::vector<CDataNotes> prepareForWriting(const CItemTables &tables, const CRecordCodec::Key &key,
                                                     bool hasPassword, qint32 now);

    struct TakeOverResult
    {
        bool loadedItems = false;   // at least one item was taken over
        bool hasReminders = false;  // some item has a reminder
    };
    // Appends the records to the (cleared) tables. `defaultSort` becomes the
    // root sort unless a header says otherwise; a header stamp later than
    // `now` is replaced by `now`.
    static TakeOverResult takeOver(const std::vector<CDataNotes> &records, const CRecordCodec::Key &key,
                                   qint32 defaultSort, qint32 now, CItemTables &tables);

    static bool isHeader(const CDataNotes &record) { return record.m_nKind == CDataNotes::kHeaderKind; }
};
