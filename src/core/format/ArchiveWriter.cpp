#include "format/ArchiveWriter.h"

#include "format/ArchiveReader.h"
#include "text/MemoryWipe.h"

#include <QBuffer>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

constexpr quint16 kNewClassTag = 0xFFFF;
constexpr quint16 kFirstClassReference = 0x8001;
constexpr quint32 kCountEscape = 0xFFFF;
// Large enough that writing costs a few system calls per megabyte, small
// enough to stay in the cache while it is filled.
constexpr qsizetype kBufferBytes = qsizetype(1) << 20;

}  // namespace

CArchiveWriter::CArchiveWriter(QIODevice &device) : m_device(device), m_buffer(kBufferBytes, Qt::Uninitialized) {}

CArchiveWriter::~CArchiveWriter()
{
    memorywipe::wipe(m_buffer);
}

char *CArchiveWriter::room(qsizetype n)
{
    Q_ASSERT(n <= m_buffer.size());
    if (m_buffer.size() - m_used < n)
        flush();
    char *p = m_buffer.data() + m_used;
    m_used += n;
    return p;
}

void CArchiveWriter::flush()
{
    // A short write is followed by another, so that a full disk is told
    // apart from other failures by the device's error.
    for (qsizetype at = 0; !m_failed && at < m_used;) {
        const qint64 written = m_device.write(m_buffer.constData() + at, m_used - at);
        if (written <= 0)
            m_failed = true;
        else
            at += qsizetype(written);
    }
    if (m_observer && m_used > 0)
        m_observer(QByteArrayView(m_buffer.constData(), m_used));
    m_used = 0;
}

void CArchiveWriter::count(size_t n)
{
    if (n < kCountEscape) {
        qToLittleEndian(quint16(n), room(2));
    } else {
        char *p = room(6);
        qToLittleEndian(quint16(kCountEscape), p);
        qToLittleEndian(quint32(n), p + 2);
    }
}

void CArchiveWriter::integer(qint32 v)
{
    qToLittleEndian(quint32(v), room(4));
}

void CArchiveWriter::begin(size_t recordCount)
{
    m_remaining = recordCount;
    m_first = true;
    count(recordCount);
}

void CArchiveWriter::tag()
{
    Q_ASSERT(m_remaining > 0);
    --m_remaining;
    if (!m_first) {
        qToLittleEndian(kFirstClassReference, room(2));
        return;
    }
    m_first = false;
    const size_t nameLength = sizeof(CArchiveReader::kClassName) - 1;
    char *p = room(6 + qsizetype(nameLength));
    qToLittleEndian(kNewClassTag, p);
    qToLittleEndian(quint16(CDataNotes::kCurrentSchema), p + 2);
    qToLittleEndian(quint16(nameLength), p + 4);
    std::memcpy(p + 6, CArchiveReader::kClassName, nameLength);
}

void CArchiveWriter::fixedFields(const CDataNotes &r)
{
    for (qint32 icon : r.m_nIcons)
        integer(icon);
    integer(r.m_nSort);
    integer(r.m_nRemind);
    for (qint32 t : r.m_times)
        integer(t);
    integer(r.m_nKind);
}

void CArchiveWriter::add(const CRecordCodec &codec, qint32 parent, const QByteArray &title, const QByteArray &text,
                         const CNoteInfo &info)
{
    const CDataNotes fixed = codec.makeFixed(parent, size_t(title.size()), info);
    tag();
    integer(fixed.m_nParent);
    // The key stream runs on from the title into the text.
    size_t phase = 0;
    for (const QByteArray *chars : {&title, &text}) {
        const size_t n = size_t(chars->size());
        count(n);
        for (size_t at = 0; at < n;) {
            if (m_buffer.size() - m_used < 2)
                flush();
            const size_t piece = std::min(n - at, size_t(m_buffer.size() - m_used) / 2);
            codec.encodeChars(chars->constData() + at, piece, phase + at, room(2 * qsizetype(piece)));
            at += piece;
        }
        phase = n;
    }
    fixedFields(fixed);
}

void CArchiveWriter::add(const CDataNotes &record)
{
    tag();
    integer(record.m_nParent);
    for (const std::vector<quint16> *words : {&record.m_wTitle, &record.m_wText}) {
        const size_t n = words->size();
        count(n);
        for (size_t at = 0; at < n;) {
            if (m_buffer.size() - m_used < 2)
                flush();
            const size_t piece = std::min(n - at, size_t(m_buffer.size() - m_used) / 2);
            qToLittleEndian<quint16>(words->data() + at, qsizetype(piece), room(2 * qsizetype(piece)));
            at += piece;
        }
    }
    fixedFields(record);
}

bool CArchiveWriter::finish()
{
    Q_ASSERT(m_remaining == 0);
    flush();
    return !m_failed;
}

QByteArray CArchiveWriter::write(const std::vector<CDataNotes> &records)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    CArchiveWriter writer(buffer);
    writer.begin(records.size());
    for (const CDataNotes &r : records)
        writer.add(r);
    writer.finish();  // memory takes every byte
    return out;
}
