#include "doc/RecordCodec.h"

namespace {

constexpr quint32 kSecondsPerDay = 86400;
constexpr int kShiftedTimes[] = {0, 3, 4};

// Walks the key cyclically from a starting index, the way the key stream
// runs on from the title into the text and the attributes.
class CKeyStream
{
public:
    CKeyStream(const CRecordCodec::Key &key, size_t start)
        : m_key(key), m_pos(key.empty() ? 0 : start % key.size())
    {
    }
    quint32 next()
    {
        if (m_key.empty())
            return 0;
        const quint32 k = m_key[m_pos];
        if (++m_pos == m_key.size())
            m_pos = 0;
        return k;
    }

private:
    const CRecordCodec::Key &m_key;
    size_t m_pos;
};

void encodeChars(const QByteArray &chars, CKeyStream &stream, std::vector<quint16> &out)
{
    out.resize(size_t(chars.size()));
    for (qsizetype i = 0; i < chars.size(); ++i) {
        // The byte as a signed number, widened: 0xE9 becomes 0xFFE9.
        const quint32 widened = quint32(qint32(qint8(chars[i])));
        out[size_t(i)] = quint16(widened + stream.next());
    }
}

QByteArray decodeChars(const std::vector<quint16> &words, CKeyStream &stream)
{
    QByteArray out(qsizetype(words.size()), Qt::Uninitialized);
    char *p = out.data();
    for (quint16 w : words)
        *p++ = char(quint8(quint32(w) - stream.next()));
    return out;
}

}  // namespace

quint32 CRecordCodec::timeShift(const Key &key, size_t titleLength)
{
    if (key.empty())
        return 0;
    const quint32 m = quint32(key.size());
    const quint32 k = key[(titleLength + 5) % key.size()];
    return (5 * m + k) * kSecondsPerDay;  // wraps like the 32-bit arithmetic it mirrors
}

CDataNotes CRecordCodec::make(qint32 parent, const QByteArray &title, const QByteArray &text, const CNoteInfo &info,
                              const Key &key)
{
    CDataNotes r;
    r.m_nParent = parent;
    CKeyStream stream(key, 0);
    encodeChars(title, stream, r.m_wTitle);
    encodeChars(text, stream, r.m_wText);
    CKeyStream attributes(key, size_t(title.size()));
    for (int t = 0; t < 5; ++t)
        r.m_nIcons[t] = qint32(quint32(info.m_nIcons[t]) + attributes.next());
    r.m_nSort = info.m_nSort;
    r.m_nRemind = info.m_nRemind;
    r.m_times = info.m_times;
    const quint32 shift = timeShift(key, size_t(title.size()));
    for (int t : kShiftedTimes)
        r.m_times[t] = info.m_nRemind >= 0 ? qint32(quint32(info.m_times[t]) + shift) : 0;
    r.m_nKind = info.m_nKind;
    return r;
}

CRecordCodec::Item CRecordCodec::read(const CDataNotes &record, const Key &key)
{
    Item item;
    CKeyStream stream(key, 0);
    item.title = decodeChars(record.m_wTitle, stream);
    item.text = decodeChars(record.m_wText, stream);
    CNoteInfo &info = item.info;
    info.m_nIcons = record.m_nIcons;
    info.m_nSort = record.m_nSort;
    info.m_nRemind = record.m_nRemind;
    info.m_times = record.m_times;
    info.m_nKind = record.m_nKind;
    if (record.m_nSchema == 1)
        return item;  // an old record carries no attributes to decipher

    CKeyStream attributes(key, record.m_wTitle.size());
    for (qint32 &icon : info.m_nIcons)
        icon = qint32(quint32(icon) - attributes.next());
    const quint32 shift = timeShift(key, record.m_wTitle.size());
    for (int t : kShiftedTimes)
        info.m_times[t] = info.m_nRemind >= 0 ? qint32(quint32(info.m_times[t]) - shift) : 0;
    return item;
}
