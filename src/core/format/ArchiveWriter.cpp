#include "format/ArchiveWriter.h"

#include "format/ArchiveReader.h"

#include <QtEndian>

#include <cstring>

namespace {

constexpr quint16 kNewClassTag = 0xFFFF;
constexpr quint16 kFirstClassReference = 0x8001;
constexpr quint32 kCountEscape = 0xFFFF;
constexpr qsizetype kFixedBodyBytes = 4 + 5 * 4 + 4 + 4 + 5 * 4 + 4;  // everything but the two word arrays

qsizetype countBytes(size_t n)
{
    return n < kCountEscape ? 2 : 6;
}

class CByteSink
{
public:
    explicit CByteSink(char *out) : m_p(out) {}

    void word(quint16 v)
    {
        qToLittleEndian(v, m_p);
        m_p += 2;
    }
    void dword(quint32 v)
    {
        qToLittleEndian(v, m_p);
        m_p += 4;
    }
    void integer(qint32 v) { dword(quint32(v)); }
    void count(size_t n)
    {
        if (n < kCountEscape) {
            word(quint16(n));
        } else {
            word(quint16(kCountEscape));
            dword(quint32(n));
        }
    }
    void words(const std::vector<quint16> &w)
    {
        count(w.size());
        if (w.empty())
            return;
        qToLittleEndian<quint16>(w.data(), qsizetype(w.size()), m_p);
        m_p += 2 * w.size();
    }
    void bytes(const char *data, size_t n)
    {
        std::memcpy(m_p, data, n);
        m_p += n;
    }

private:
    char *m_p;
};

}  // namespace

QByteArray CArchiveWriter::write(const std::vector<CDataNotes> &records)
{
    const size_t nameLength = sizeof(CArchiveReader::kClassName) - 1;
    qsizetype total = countBytes(records.size());
    for (const CDataNotes &r : records) {
        total += 2 + kFixedBodyBytes;
        total += countBytes(r.m_wTitle.size()) + 2 * qsizetype(r.m_wTitle.size());
        total += countBytes(r.m_wText.size()) + 2 * qsizetype(r.m_wText.size());
    }
    if (!records.empty())
        total += 4 + qsizetype(nameLength);

    QByteArray out(total, Qt::Uninitialized);
    CByteSink sink(out.data());
    sink.count(records.size());
    bool first = true;
    for (const CDataNotes &r : records) {
        if (first) {
            sink.word(kNewClassTag);
            sink.word(quint16(CDataNotes::kCurrentSchema));
            sink.word(quint16(nameLength));
            sink.bytes(CArchiveReader::kClassName, nameLength);
            first = false;
        } else {
            sink.word(kFirstClassReference);
        }
        sink.integer(r.m_nParent);
        sink.words(r.m_wTitle);
        sink.words(r.m_wText);
        for (qint32 icon : r.m_nIcons)
            sink.integer(icon);
        sink.integer(r.m_nSort);
        sink.integer(r.m_nRemind);
        for (qint32 t : r.m_times)
            sink.integer(t);
        sink.integer(r.m_nKind);
    }
    return out;
}
