#pragma once

#include "format/RecordIndex.h"

#include <QByteArrayView>
#include <QtEndian>

// Reads the primitive encodings of the record stream, every read checked
// against the bytes that remain.
class CByteSource
{
public:
    static constexpr quint16 kCountEscape = 0xFFFF;

    explicit CByteSource(QByteArrayView data) : m_begin(data.data()), m_p(data.data()), m_end(data.data() + data.size()) {}

    qsizetype remaining() const { return m_end - m_p; }
    qsizetype offset() const { return m_p - m_begin; }
    void seek(qsizetype offset) { m_p = m_begin + offset; }

    bool word(quint16 &v)
    {
        if (remaining() < 2)
            return false;
        v = qFromLittleEndian<quint16>(m_p);
        m_p += 2;
        return true;
    }
    bool dword(quint32 &v)
    {
        if (remaining() < 4)
            return false;
        v = qFromLittleEndian<quint32>(m_p);
        m_p += 4;
        return true;
    }
    bool integer(qint32 &v)
    {
        quint32 u = 0;
        if (!dword(u))
            return false;
        v = qint32(u);
        return true;
    }
    bool count(quint32 &n)
    {
        quint16 w = 0;
        if (!word(w))
            return false;
        if (w != kCountEscape) {
            n = w;
            return true;
        }
        return dword(n);
    }
    // A COUNT and its WORDs, left where they are.
    bool words(CWordsView &out)
    {
        quint32 n = 0;
        if (!count(n) || qsizetype(n) > remaining() / 2)
            return false;
        out = {m_p, n};
        m_p += 2 * qsizetype(n);
        return true;
    }
    bool bytes(QByteArrayView &out, qsizetype n)
    {
        if (n > remaining())
            return false;
        out = QByteArrayView(m_p, n);
        m_p += n;
        return true;
    }

private:
    const char *m_begin;
    const char *m_p;
    const char *m_end;
};

// One record body of the given schema (1 or 2).
inline bool readRecordBody(CByteSource &in, int schema, CRecordView &r)
{
    r.m_nSchema = schema;
    if (!in.integer(r.m_nParent) || !in.words(r.m_wTitle) || !in.words(r.m_wText))
        return false;
    if (schema == 1) {
        // The old layout carries no attributes: no icons, no sort, no reminder.
        r.m_nIcons.fill(-1);
        r.m_nSort = -1;
        r.m_nRemind = -1;
        r.m_times.fill(0);
        r.m_nKind = 0;
        return true;
    }
    for (qint32 &icon : r.m_nIcons) {
        if (!in.integer(icon))
            return false;
    }
    if (!in.integer(r.m_nSort) || !in.integer(r.m_nRemind))
        return false;
    for (qint32 &t : r.m_times) {
        if (!in.integer(t))
            return false;
    }
    return in.integer(r.m_nKind);
}
