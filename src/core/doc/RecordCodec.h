#pragma once

#include "doc/DataNotes.h"
#include "doc/NoteInfo.h"

#include <QByteArray>

#include <vector>

// Turns an item into its file record and back, adding the password key to
// the characters, icons and reminder times (subtracting it on the way back).
// An empty key stores everything in plain.
class CRecordCodec
{
public:
    using Key = std::vector<quint32>;

    static CDataNotes make(qint32 parent, const QByteArray &title, const QByteArray &text, const CNoteInfo &info,
                           const Key &key);

    struct Item
    {
        QByteArray title;
        QByteArray text;
        CNoteInfo info;
    };
    static Item read(const CDataNotes &record, const Key &key);

    // The seconds added to the enciphered reminder times.
    static quint32 timeShift(const Key &key, size_t titleLength);
};
