#pragma once

#include "format/DataNotes.h"
#include "format/NoteInfo.h"
#include "format/RecordCodec.h"

#include <QByteArray>
#include <QIODevice>

#include <functional>
#include <vector>

// Writes a record array as the framework's binary object stream: a COUNT,
// then each record behind a class tag (a class block for the first, a
// reference to class 1 for the others) with its schema-2 body.
//
// Records go out through a buffer of fixed size: a document is enciphered
// straight from its tables into the file, never held whole in memory.
class CArchiveWriter
{
public:
    explicit CArchiveWriter(QIODevice &device);
    ~CArchiveWriter();  // the buffer is zeroed: it held a sealed document's plain records
    CArchiveWriter(const CArchiveWriter &) = delete;
    CArchiveWriter &operator=(const CArchiveWriter &) = delete;

    void begin(size_t recordCount);
    // One record whose title and text the codec enciphers on the way.
    void add(const CRecordCodec &codec, qint32 parent, const QByteArray &title, const QByteArray &text,
             const CNoteInfo &info);
    void add(const CDataNotes &record);
    // Writes out what is buffered. False when the device refused a byte.
    bool finish();
    // Every block is shown to `observer` as it goes out.
    void observeOutput(std::function<void(QByteArrayView)> observer) { m_observer = std::move(observer); }

    // The whole stream in memory.
    static QByteArray write(const std::vector<CDataNotes> &records);

private:
    char *room(qsizetype n);  // n bytes of buffer, flushing first when needed
    void flush();
    void tag();
    void count(size_t n);
    void integer(qint32 v);
    void fixedFields(const CDataNotes &r);

    QIODevice &m_device;
    std::function<void(QByteArrayView)> m_observer;
    QByteArray m_buffer;
    qsizetype m_used = 0;
    bool m_failed = false;
    size_t m_remaining = 0;  // records announced and not yet added
    bool m_first = true;
};
