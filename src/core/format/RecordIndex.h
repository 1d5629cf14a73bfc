#pragma once

#include "format/DataNotes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QtEndian>

#include <array>
#include <functional>
#include <memory>
#include <vector>

// A title's or text's WORDs where they lie in the file bytes: little-endian,
// unaligned.
struct CWordsView
{
    const char *data = nullptr;
    size_t count = 0;

    size_t size() const { return count; }
    bool empty() const { return count == 0; }
    quint16 operator[](size_t i) const { return qFromLittleEndian<quint16>(data + 2 * i); }
};

// One record read in place: the fixed fields decoded, the WORDs left in the
// file bytes. Field names follow CDataNotes, so code that reads a record can
// take either form.
struct CRecordView
{
    qint32 m_nParent = 0;
    CWordsView m_wTitle;
    CWordsView m_wText;
    std::array<qint32, 5> m_nIcons{};
    qint32 m_nSort = 0;
    qint32 m_nRemind = 0;
    std::array<qint32, 5> m_times{};
    qint32 m_nKind = 0;
    int m_nSchema = CDataNotes::kCurrentSchema;
};

// The records of one document file, found by CArchiveReader::scan: where
// each record lies, and the file bytes it keeps alive (shared, not copied).
// Nothing of a record is decoded before it is asked for, so a file is held
// once in memory however many records it has.
class CRecordIndex
{
public:
    // Where one record lies.
    struct Span
    {
        qsizetype body = 0;  // offset of the record body, after its tag
        int schema = 0;
    };

    size_t size() const { return m_spans.size(); }
    bool empty() const { return m_spans.empty(); }

    CRecordView view(size_t i) const;
    // The same, for a thread working beside one that calls dropBefore(): it
    // reads nothing that call changes. The record must not have been let go.
    CRecordView viewBeside(size_t i) const;
    CDataNotes record(size_t i) const;  // a copy with its own WORD arrays
    std::vector<CDataNotes> records() const;

    // The records before `record` will not be read again: where the index is
    // the only holder of the file bytes, their memory goes back to the
    // system, so that a large file and the tables decoded from it are not
    // held in full together. Views of those records are invalid afterwards.
    void dropBefore(size_t record);

    // Sees the file bytes as dropBefore lets the records go: each byte once,
    // in order, up to the end of the bytes when the last record goes. Work
    // over every byte of a file (its fingerprint) is done so while the bytes
    // are still in the cache from decoding them.
    using Consumer = std::function<void(QByteArrayView bytes)>;
    void onConsumed(Consumer consumer) { m_consumer = std::move(consumer); }
    // Keeps `owner` alive with the index: the holder of bytes it does not own
    // (a mapping of the file).
    void keepAlive(std::shared_ptr<const void> owner) { m_owner = std::move(owner); }

    void clear();

private:
    friend class CArchiveReader;

    std::shared_ptr<const void> m_owner;
    QByteArray m_bytes;
    std::vector<Span> m_spans;
    qsizetype m_dropped = 0;  // bytes before this offset are gone
    Consumer m_consumer;
    qsizetype m_consumed = 0;  // bytes before this offset were handed to m_consumer
};
