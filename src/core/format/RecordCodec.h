#pragma once

#include "format/DataNotes.h"
#include "format/NoteInfo.h"
#include "format/RecordIndex.h"

#include <QByteArray>

#include <vector>

// Turns an item into its file record and back, adding the password key to
// the characters, icons and reminder times (subtracting it on the way back).
// An empty key stores everything in plain.
//
// A codec object prepares its key once for the many records of one file;
// the static forms serve a single record.
class CRecordCodec
{
public:
    using Key = std::vector<quint32>;

    struct Item
    {
        QByteArray title;
        QByteArray text;
        CNoteInfo info;
    };

    explicit CRecordCodec(const Key &key);

    CDataNotes make(qint32 parent, const QByteArray &title, const QByteArray &text, const CNoteInfo &info) const;
    Item read(const CDataNotes &record) const;
    Item read(const CRecordView &record) const;  // decoded straight from the file bytes
    // The same with the text left empty: it can be looked at where it lies
    // in the file first (CStoredText) and decoded only when wanted.
    Item readWithoutText(const CRecordView &record) const;

    static CDataNotes make(qint32 parent, const QByteArray &title, const QByteArray &text, const CNoteInfo &info,
                           const Key &key);
    static Item read(const CDataNotes &record, const Key &key);
    static Item read(const CRecordView &record, const Key &key);

    // The record without its WORD arrays: the attributes enciphered for a
    // title of `titleLength` characters.
    CDataNotes makeFixed(qint32 parent, size_t titleLength, const CNoteInfo &info) const;
    // `n` characters enciphered at key phase `phase` (0 for a title, the
    // title's length for its text) into 2n bytes of little-endian WORDs.
    void encodeChars(const char *chars, size_t n, size_t phase, char *out) const;

    // Whether every WORD minus its key value is a sign-extended byte, as a
    // writer with this key stores every character.
    bool allWidened(const CWordsView &words, size_t phase) const;

    // The plain characters of WORDs read at key phase `phase` (0 for a
    // title, the title's length for its text), into `out`, which holds
    // words.size() bytes.
    void decodeChars(const CWordsView &words, size_t phase, char *out) const;

    // The seconds added to the enciphered reminder times.
    static quint32 timeShift(const Key &key, size_t titleLength);

    // Whether a character is the low byte of its WORD as stored, without
    // arithmetic: so without a key.
    bool storesPlainLowBytes() const { return m_key.empty(); }

private:
    void encodeChars(const QByteArray &chars, size_t phase, std::vector<quint16> &out) const;
    template <class Words>
    void decodeInto(const Words &words, size_t phase, char *out) const;
    template <class Record>
    Item readRecord(const Record &record, bool withText) const;
    quint32 keyAt(size_t index) const { return m_key.empty() ? 0 : m_key[index % m_key.size()]; }

    Key m_key;
    // The key's low 16 bits (all a character WORD can hold) repeated over one
    // period and a chunk, so that the key values for a chunk of characters at
    // key phase p are m_pattern[p ...] without a modulo per character.
    std::vector<quint16> m_pattern;
    size_t m_period = 1;
    size_t m_chunkStep = 0;  // the length of a chunk modulo the period
    // The key phase one chunk on, without a division per chunk.
    size_t nextChunkPhase(size_t phase) const
    {
        phase += m_chunkStep;
        return phase >= m_period ? phase - m_period : phase;
    }
};

// A record's text as the file stores it: searched in place where its
// characters are the low bytes of the WORDs, decoded only when wanted.
class CStoredText
{
public:
    CStoredText(const CRecordCodec &codec, const CWordsView &words, size_t titleLength)
        : m_codec(codec), m_words(words), m_phase(titleLength)
    {
    }

    qsizetype size() const { return qsizetype(m_words.size()); }
    // The bytes whose every other one, from the first, is a character of
    // the text; null when the characters must be decoded.
    const char *plainEveryOther() const { return m_codec.storesPlainLowBytes() ? m_words.data : nullptr; }
    QByteArray decoded() const;

private:
    const CRecordCodec &m_codec;
    CWordsView m_words;
    size_t m_phase;
};
