#pragma once

#include "format/DataNotes.h"
#include "doc/ItemTables.h"
#include "format/RecordCodec.h"
#include "format/RecordIndex.h"

class CArchiveWriter;

#include <functional>
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
    // The same records, enciphered straight from the tables into `writer`.
    static void write(const CItemTables &tables, const CRecordCodec::Key &key, bool hasPassword, qint32 now,
                      CArchiveWriter &writer);

    struct TakeOverResult
    {
        bool loadedItems = false;   // at least one item was taken over
        bool hasReminders = false;  // some item has a reminder
    };
    // Appends the records to the (cleared) tables, decoding titles and texts
    // straight from the file bytes into them. `defaultSort` becomes the
    // root sort unless a header says otherwise; a header stamp later than
    // `now` is replaced by `now`. The index is used up: the file bytes go
    // as their records are decoded, and it is left empty.
    // `keepText`, when given, sees each item's title, decoded, and its text
    // as stored; a text it says no to is neither decoded nor kept (the
    // item's text is empty).
    // From `twoThreadsFrom` records on, a second thread decodes every other
    // batch of records (and calls `keepText` there); the tables come out
    // the same either way. What the decoding throws (std::bad_alloc, or
    // `keepText`) on either thread is thrown here, once both have stopped.
    using TextFilter = std::function<bool(const QByteArray &title, const CStoredText &text)>;
    static constexpr size_t kTwoThreadsFrom = 4096;
    static TakeOverResult takeOver(CRecordIndex &&records, const CRecordCodec::Key &key,
                                   qint32 defaultSort, qint32 now, CItemTables &tables,
                                   const TextFilter &keepText = {}, size_t twoThreadsFrom = kTwoThreadsFrom);

    // The index `item` gets in the file written from `tables` (items are
    // written in tree order, so it is not the index in the tables); -1 when
    // it is not written.
    static qsizetype indexInFile(const CItemTables &tables, quint32 item);

    static bool isHeader(const CDataNotes &record) { return record.m_nKind == CDataNotes::kHeaderKind; }
    static bool isHeader(const CRecordView &record) { return record.m_nKind == CDataNotes::kHeaderKind; }
    // Whether the first record is a header that says the document has a password.
    static bool claimsPassword(const CRecordIndex &records);

private:
    struct CPlanned
    {
        quint32 item;   // index in the tables
        qint32 parent;  // the record's parent field
    };
    // The items written, in file order, with their parent fields.
    static std::vector<CPlanned> plan(const CItemTables &tables);
};
