#pragma once

#include "format/DataNotes.h"
#include "format/RecordIndex.h"

#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <vector>

// Reads a record array written by CArchiveWriter, or by older versions
// (schema 1). Every count is checked against the bytes that remain before
// anything is allocated, so a damaged or hostile file fails cleanly.
class CArchiveReader
{
public:
    enum class Status {
        Ok,
        BadFormat,      // bad tag, unknown class, undefined reference, truncated data
        UnknownSchema,  // the class block names a schema other than 1 or 2
    };

    static constexpr char kClassName[] = "CDataNotes";

    // Checks the whole stream and notes where each record lies; the index
    // shares `data` instead of copying it. On failure the index is empty.
    static Status scan(const QByteArray &data, CRecordIndex &index);
    // From this size on, a second thread reads the second half of the
    // stream; scan() gives the same result either way.
    static constexpr qsizetype kTwoWalkersFrom = qsizetype(8) << 20;
    // `tailStarts` runs first on the second thread (tests make it fail there).
    static Status scan(const QByteArray &data, CRecordIndex &index, qsizetype twoWalkersFrom,
                       const std::function<void()> &tailStarts = {});

    // The records as objects of their own, for code that builds or compares
    // them one by one; documents are read through scan().
    static Status read(QByteArrayView data, std::vector<CDataNotes> &records);
};
