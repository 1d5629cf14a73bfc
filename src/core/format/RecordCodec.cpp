#include "format/RecordCodec.h"

#include <QtEndian>

#include <algorithm>

namespace {

constexpr quint32 kSecondsPerDay = 86400;
constexpr int kShiftedTimes[] = {0, 3, 4};
// Characters go through in chunks of this many: a fixed count lets the
// compiler turn the chunk loop into vector code.
constexpr size_t kChunk = 32;

// The byte as a signed number, widened: 0xE9 becomes 0xFFE9.
inline quint16 widened(char c)
{
    return quint16(qint16(qint8(c)));
}

// One chunk each way; the pointers never overlap, which lets the chunk loop
// become vector code.
void encodeChunk(const char *__restrict in, const quint16 *__restrict key, quint16 *__restrict out)
{
    for (size_t j = 0; j < kChunk; ++j)
        out[j] = quint16(widened(in[j]) + key[j]);
}

// A character keeps the low byte of its WORD minus the key; that byte is
// the WORD's low byte minus the key's, so the upper byte is never needed.
void decodeChunk(const quint16 *__restrict in, const quint16 *__restrict key, char *__restrict out)
{
    for (size_t j = 0; j < kChunk; ++j)
        out[j] = char(quint8(in[j] - key[j]));
}

// The same from little-endian WORDs in the file bytes. Taken as whole
// WORDs first: picking every second byte straight from the file keeps the
// compiler from vector code, and the loop then runs a byte at a time.
void decodeChunk(const uchar *__restrict in, const quint16 *__restrict key, char *__restrict out)
{
    quint16 words[kChunk];
    qFromLittleEndian<quint16>(in, qsizetype(kChunk), words);
    decodeChunk(static_cast<const quint16 *>(words), key, out);
}

// 0 when every WORD minus its key is 0x0000..0x007F or 0xFF80..0xFFFF:
// adding 0x80 brings both ranges below 0x100.
quint16 widenedChunk(const char *__restrict in, const quint16 *__restrict key)
{
    quint16 words[kChunk];
    qFromLittleEndian<quint16>(in, qsizetype(kChunk), words);
    quint16 outside = 0;
    for (size_t j = 0; j < kChunk; ++j)
        outside |= quint16(quint16(words[j] - key[j] + 0x80) & 0xFF00);
    return outside;
}

struct CHostWords
{
    const quint16 *p;
    const quint16 *at(size_t i) const { return p + i; }
    char plain(size_t i, quint16 key) const { return char(quint8(p[i] - key)); }
};

struct CFileWords
{
    const uchar *p;
    const uchar *at(size_t i) const { return p + 2 * i; }
    char plain(size_t i, quint16 key) const { return char(quint8(p[2 * i] - quint8(key))); }
};

CHostWords source(const std::vector<quint16> &words)
{
    return {words.data()};
}

CFileWords source(const CWordsView &words)
{
    return {reinterpret_cast<const uchar *>(words.data)};
}

}  // namespace

CRecordCodec::CRecordCodec(const Key &key) : m_key(key)
{
    // Without a key the pattern is one period of zero.
    m_period = std::max<size_t>(m_key.size(), 1);
    m_chunkStep = kChunk % m_period;
    m_pattern.resize(m_period + kChunk);
    for (size_t i = 0; i < m_pattern.size(); ++i)
        m_pattern[i] = m_key.empty() ? 0 : quint16(m_key[i % m_period]);
}

void CRecordCodec::encodeChars(const char *in, size_t n, size_t phase, char *out) const
{
    const quint16 *pattern = m_pattern.data();
    phase %= m_period;
    quint16 words[kChunk];
    size_t at = 0;
    for (; n - at >= kChunk; at += kChunk) {
        encodeChunk(in + at, pattern + phase, words);
        qToLittleEndian<quint16>(words, qsizetype(kChunk), out + 2 * at);
        phase = nextChunkPhase(phase);
    }
    const size_t rest = n - at;
    for (size_t j = 0; j < rest; ++j)
        words[j] = quint16(widened(in[at + j]) + pattern[phase + j]);
    qToLittleEndian<quint16>(words, qsizetype(rest), out + 2 * at);
}

void CRecordCodec::encodeChars(const QByteArray &chars, size_t phase, std::vector<quint16> &out) const
{
    out.resize(size_t(chars.size()));
    if (out.empty())
        return;
    encodeChars(chars.constData(), out.size(), phase, reinterpret_cast<char *>(out.data()));
    qFromLittleEndian<quint16>(out.data(), qsizetype(out.size()), out.data());
}

template <class Words>
void CRecordCodec::decodeInto(const Words &words, size_t phase, char *c) const
{
    const size_t n = words.size();
    const auto w = source(words);
    const quint16 *pattern = m_pattern.data();
    phase %= m_period;
    size_t at = 0;
    for (; n - at >= kChunk; at += kChunk) {
        decodeChunk(w.at(at), pattern + phase, c + at);
        phase = nextChunkPhase(phase);
    }
    for (size_t j = 0; at + j < n; ++j)
        c[at + j] = w.plain(at + j, pattern[phase + j]);
}

bool CRecordCodec::allWidened(const CWordsView &words, size_t phase) const
{
    const size_t n = words.size();
    const quint16 *pattern = m_pattern.data();
    phase %= m_period;
    size_t at = 0;
    for (; n - at >= kChunk; at += kChunk) {
        if (widenedChunk(words.data + 2 * at, pattern + phase) != 0)
            return false;
        phase = nextChunkPhase(phase);
    }
    for (size_t j = 0; at + j < n; ++j) {
        if (quint16(quint16(words[at + j] - pattern[phase + j] + 0x80) & 0xFF00) != 0)
            return false;
    }
    return true;
}

void CRecordCodec::decodeChars(const CWordsView &words, size_t phase, char *out) const
{
    decodeInto(words, phase, out);
}

quint32 CRecordCodec::timeShift(const Key &key, size_t titleLength)
{
    if (key.empty())
        return 0;
    const quint32 m = quint32(key.size());
    const quint32 k = key[(titleLength + 5) % key.size()];
    return (5 * m + k) * kSecondsPerDay;  // wraps like the 32-bit arithmetic it mirrors
}

CDataNotes CRecordCodec::makeFixed(qint32 parent, size_t titleLength, const CNoteInfo &info) const
{
    CDataNotes r;
    r.m_nParent = parent;
    // The key stream runs on from the title into the text and the attributes.
    const size_t n = titleLength;
    for (size_t t = 0; t < 5; ++t)
        r.m_nIcons[t] = qint32(quint32(info.m_nIcons[t]) + keyAt(n + t));
    r.m_nSort = info.m_nSort;
    r.m_nRemind = info.m_nRemind;
    r.m_times = info.m_times;
    const quint32 shift = timeShift(m_key, n);
    for (int t : kShiftedTimes)
        r.m_times[t] = info.m_nRemind >= 0 ? qint32(quint32(info.m_times[t]) + shift) : 0;
    r.m_nKind = info.m_nKind;
    return r;
}

CDataNotes CRecordCodec::make(qint32 parent, const QByteArray &title, const QByteArray &text,
                              const CNoteInfo &info) const
{
    CDataNotes r = makeFixed(parent, size_t(title.size()), info);
    encodeChars(title, 0, r.m_wTitle);
    encodeChars(text, size_t(title.size()), r.m_wText);
    return r;
}

template <class Record>
CRecordCodec::Item CRecordCodec::readRecord(const Record &record, bool withText) const
{
    Item item;
    const size_t n = record.m_wTitle.size();
    // Decoded straight into the arrays the caller keeps.
    item.title = QByteArray(qsizetype(n), Qt::Uninitialized);
    if (n > 0)
        decodeInto(record.m_wTitle, 0, item.title.data());
    if (withText) {
        item.text = QByteArray(qsizetype(record.m_wText.size()), Qt::Uninitialized);
        if (!record.m_wText.empty())
            decodeInto(record.m_wText, n, item.text.data());
    }
    CNoteInfo &info = item.info;
    info.m_nIcons = record.m_nIcons;
    info.m_nSort = record.m_nSort;
    info.m_nRemind = record.m_nRemind;
    info.m_times = record.m_times;
    info.m_nKind = record.m_nKind;
    if (record.m_nSchema == 1)
        return item;  // an old record carries no attributes to decipher

    for (size_t t = 0; t < 5; ++t)
        info.m_nIcons[t] = qint32(quint32(info.m_nIcons[t]) - keyAt(n + t));
    const quint32 shift = timeShift(m_key, n);
    for (int t : kShiftedTimes)
        info.m_times[t] = info.m_nRemind >= 0 ? qint32(quint32(info.m_times[t]) - shift) : 0;
    return item;
}

CRecordCodec::Item CRecordCodec::read(const CDataNotes &record) const
{
    return readRecord(record, true);
}

CRecordCodec::Item CRecordCodec::read(const CRecordView &record) const
{
    return readRecord(record, true);
}

CRecordCodec::Item CRecordCodec::readWithoutText(const CRecordView &record) const
{
    return readRecord(record, false);
}

QByteArray CStoredText::decoded() const
{
    QByteArray text(size(), Qt::Uninitialized);
    if (!text.isEmpty())
        m_codec.decodeChars(m_words, m_phase, text.data());
    return text;
}

CDataNotes CRecordCodec::make(qint32 parent, const QByteArray &title, const QByteArray &text, const CNoteInfo &info,
                              const Key &key)
{
    return CRecordCodec(key).make(parent, title, text, info);
}

CRecordCodec::Item CRecordCodec::read(const CDataNotes &record, const Key &key)
{
    return CRecordCodec(key).read(record);
}

CRecordCodec::Item CRecordCodec::read(const CRecordView &record, const Key &key)
{
    return CRecordCodec(key).read(record);
}
