#include "format/ArchiveReader.h"

#include <QHash>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

constexpr quint16 kNewClassTag = 0xFFFF;
constexpr quint16 kClassTagBit = 0x8000;
constexpr quint16 kBigObjectTag = 0x7FFF;
constexpr quint32 kBigClassTagBit = 0x80000000u;
constexpr quint16 kCountEscape = 0xFFFF;

// The smallest record body, used to bound counts before allocating.
constexpr qsizetype kMinBodySchema1 = 4 + 2 + 2;

class CByteSource
{
public:
    explicit CByteSource(QByteArrayView data) : m_p(data.data()), m_end(data.data() + data.size()) {}

    qsizetype remaining() const { return m_end - m_p; }
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
    bool words(std::vector<quint16> &out)
    {
        quint32 n = 0;
        if (!count(n) || qsizetype(n) > remaining() / 2)
            return false;
        out.resize(n);
        if (n > 0)
            qFromLittleEndian<quint16>(m_p, qsizetype(n), out.data());
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
    const char *m_p;
    const char *m_end;
};

bool readBody(CByteSource &in, int schema, CDataNotes &r)
{
    r.m_nSchema = schema;
    if (!in.integer(r.m_nParent) || !in.words(r.m_wTitle) || !in.words(r.m_wText))
        return false;
    if (schema == 1) {
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

}  // namespace

CArchiveReader::Status CArchiveReader::read(QByteArrayView data, std::vector<CDataNotes> &records)
{
    records.clear();
    CByteSource in(data);
    quint32 n = 0;
    if (!in.count(n))
        return Status::BadFormat;
    // Each record needs at least a tag and the smallest body.
    if (qsizetype(n) > in.remaining() / (2 + kMinBodySchema1))
        return Status::BadFormat;
    records.reserve(n);

    // The stream numbers classes and objects as they appear, from 1.
    quint32 nextNumber = 1;
    QHash<quint32, int> classSchemas;
    for (quint32 i = 0; i < n; ++i) {
        quint16 tag = 0;
        if (!in.word(tag))
            return Status::BadFormat;
        int schema = 0;
        if (tag == kNewClassTag) {
            quint16 schemaWord = 0;
            quint16 nameLength = 0;
            QByteArrayView name;
            if (!in.word(schemaWord) || !in.word(nameLength) || !in.bytes(name, nameLength))
                return Status::BadFormat;
            if (name != QByteArrayView(kClassName))
                return Status::BadFormat;
            schema = schemaWord;
            classSchemas.insert(nextNumber++, schema);
        } else {
            quint32 classNumber = 0;
            if (tag == kBigObjectTag) {
                quint32 big = 0;
                if (!in.dword(big) || !(big & kBigClassTagBit))
                    return Status::BadFormat;
                classNumber = big & ~kBigClassTagBit;
            } else if (tag & kClassTagBit) {
                classNumber = tag & ~kClassTagBit;
            } else {
                return Status::BadFormat;  // a reference to an earlier object: never written
            }
            auto it = classSchemas.constFind(classNumber);
            if (it == classSchemas.constEnd())
                return Status::BadFormat;
            schema = it.value();
        }
        if (schema != 1 && schema != 2)
            return Status::UnknownSchema;
        ++nextNumber;  // the object itself
        CDataNotes record;
        if (!readBody(in, schema, record))
            return Status::BadFormat;
        records.push_back(std::move(record));
    }
    return Status::Ok;
}
