#include "format/ArchiveReader.h"

#include "format/ByteSource.h"

#include <QHash>

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>
#include <thread>

#if defined(Q_OS_LINUX)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

constexpr quint16 kNewClassTag = 0xFFFF;
constexpr quint16 kClassTagBit = 0x8000;
constexpr quint16 kBigObjectTag = 0x7FFF;
constexpr quint32 kBigClassTagBit = 0x80000000u;

// The smallest record body, used to bound counts before allocating.
constexpr qsizetype kMinBodySchema1 = 4 + 2 + 2;

std::vector<quint16> wordsOf(const CWordsView &view)
{
    std::vector<quint16> out(view.size());
    if (!view.empty())
        qFromLittleEndian<quint16>(view.data, qsizetype(view.size()), out.data());
    return out;
}

// The records from a place in the middle of the stream to its end, read by
// a second thread while the first reads from the start. Where a record
// starts is known only once the one before it is read, so a stream read
// alone waits on memory once per record; two walkers halve that wait. The
// second one guesses its first record; the first walker takes over its
// records only when it lands on one of them, so a wrong guess costs time,
// never a different result.
class CTailWalk
{
public:
    // Records of the class the first record defines, read from the first
    // place at or after `from` where several of them follow one another.
    CTailWalk(const QByteArray &data, qsizetype from, quint16 tag, int schema, const std::function<void()> &first)
        : m_data(data), m_from(from), m_tag(tag), m_schema(schema),
          m_thread([this, from, first](std::stop_token stop) {
              // A walk that fails (no memory for its list) only costs time:
              // the first walker reads on alone.
              try {
                  if (first)
                      first();
                  walk(from, stop);
              } catch (...) {
                  m_spans = {};
              }
          })
    {
    }

    // Waits for the walk; where its records lie, in order (none when it failed).
    const std::vector<CRecordIndex::Span> &spans()
    {
        if (m_thread.joinable())
            m_thread.join();
        return m_spans;
    }
    qsizetype from() const { return m_from; }  // no record of the walk starts before
    qsizetype end() const { return m_end; }    // after the last record read; valid after spans()

    static constexpr qsizetype kTagSize = 2;
    static qsizetype tagOf(const CRecordIndex::Span &span) { return span.body - kTagSize; }

private:
    // How many records in a row make a guessed start believable.
    static constexpr int kAgreeing = 8;
    // How far past the middle a start is looked for.
    static constexpr qsizetype kSearchSpan = qsizetype(1) << 20;

    // Reads records of the one tag from `at` while they read whole, at most
    // `limit` of them, and stops where they end; how many it read.
    qsizetype run(CByteSource &in, qsizetype at, qsizetype limit, std::vector<CRecordIndex::Span> *spans,
                  const std::stop_token &stop) const
    {
        in.seek(at);
        CRecordView body;
        qsizetype count = 0;
        for (; count < limit; ++count) {
            if (spans && (count & 1023) == 0 && stop.stop_requested())
                break;
            const qsizetype tagAt = in.offset();
            quint16 tag = 0;
            if (!in.word(tag) || tag != m_tag || !readRecordBody(in, m_schema, body)) {
                in.seek(tagAt);
                break;
            }
            if (spans)
                spans->push_back({tagAt + kTagSize, m_schema});
        }
        return count;
    }

    void walk(qsizetype from, const std::stop_token &stop)
    {
        CByteSource in(m_data);
        const char low = char(m_tag & 0xFF);
        const qsizetype last = std::min(m_data.size() - kTagSize, from + kSearchSpan);
        for (qsizetype at = from; at <= last && !stop.stop_requested(); ++at) {
            const void *found = std::memchr(m_data.constData() + at, low, size_t(last - at + 1));
            if (!found)
                return;
            at = static_cast<const char *>(found) - m_data.constData();
            if (quint8(m_data[at + 1]) != quint8(m_tag >> 8))
                continue;
            const qsizetype agreed = run(in, at, kAgreeing, nullptr, stop);
            if (agreed == 0 || (agreed < kAgreeing && in.remaining() != 0))
                continue;  // too few in a row, and not the end of the stream
            run(in, at, std::numeric_limits<qsizetype>::max(), &m_spans, stop);
            m_end = in.offset();
            return;
        }
    }

    const QByteArray &m_data;
    const qsizetype m_from;
    const quint16 m_tag;
    const int m_schema;
    std::vector<CRecordIndex::Span> m_spans;
    qsizetype m_end = 0;
    std::jthread m_thread;  // last: it reads the members above
};

}  // namespace

CArchiveReader::Status CArchiveReader::scan(const QByteArray &data, CRecordIndex &index)
{
    return scan(data, index, kTwoWalkersFrom);
}

CArchiveReader::Status CArchiveReader::scan(const QByteArray &data, CRecordIndex &index, qsizetype twoWalkersFrom,
                                            const std::function<void()> &tailStarts)
{
    index.clear();
    CByteSource in(data);
    quint32 n = 0;
    if (!in.count(n))
        return Status::BadFormat;
    // Each record needs at least a tag and the smallest body.
    if (qsizetype(n) > in.remaining() / (2 + kMinBodySchema1))
        return Status::BadFormat;
    std::vector<CRecordIndex::Span> spans;
    spans.reserve(n);

    // The stream numbers classes and objects as they appear, from 1.
    quint32 nextNumber = 1;
    QHash<quint32, int> classSchemas;
    CRecordView body;
    std::optional<CTailWalk> tail;
    size_t tailNext = 0;  // the first of the tail's records not passed yet
    for (quint32 i = 0; i < n; ++i) {
        if (tail && in.offset() >= tail->from()) {
            // Landed on a record of the tail's: the rest of the tail is what
            // this walk would read from here.
            const auto &found = tail->spans();
            const qsizetype tagAt = in.offset();
            while (tailNext < found.size() && CTailWalk::tagOf(found[tailNext]) < tagAt)
                ++tailNext;
            if (tailNext == found.size()) {
                tail.reset();  // passed it without landing on it
            } else if (CTailWalk::tagOf(found[tailNext]) == tagAt) {
                // The tail's class is the first record's (number 1), which no
                // later class can take.
                const size_t take = std::min(found.size() - tailNext, size_t(n - i));
                spans.insert(spans.end(), found.begin() + qsizetype(tailNext), found.begin() + qsizetype(tailNext + take));
                const size_t next = tailNext + take;
                in.seek(next == found.size() ? tail->end() : CTailWalk::tagOf(found[next]));
                i += quint32(take) - 1;
                nextNumber += quint32(take);
                tail.reset();
                continue;
            }
        }
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
        const qsizetype at = in.offset();
        if (!readRecordBody(in, schema, body))
            return Status::BadFormat;
        spans.push_back({at, schema});
        // The first record names the class the others refer to: the second
        // walker can start now.
        if (i == 0 && n > 1 && tag == kNewClassTag && data.size() >= twoWalkersFrom) {
            const qsizetype middle = std::max(in.offset(), data.size() / 2);
            tail.emplace(data, middle, quint16(kClassTagBit | 1), schema, tailStarts);
        }
    }
    // A document ends with its last record. Bytes after it mean another kind
    // of file that merely starts like one (two zero bytes read as an empty
    // document): taking it as a document would let a save replace it.
    if (in.remaining() != 0)
        return Status::BadFormat;
    index.m_bytes = data;
    index.m_spans = std::move(spans);
    return Status::Ok;
}

CArchiveReader::Status CArchiveReader::read(QByteArrayView data, std::vector<CDataNotes> &records)
{
    records.clear();
    CRecordIndex index;
    // The index lives only in here, so it may lean on the caller's bytes.
    const Status status = scan(QByteArray::fromRawData(data.data(), data.size()), index);
    if (status == Status::Ok)
        records = index.records();
    return status;
}

CRecordView CRecordIndex::view(size_t i) const
{
    Q_ASSERT(m_spans[i].body >= m_dropped);
    return viewBeside(i);
}

CRecordView CRecordIndex::viewBeside(size_t i) const
{
    const Span &span = m_spans[i];
    CByteSource in(m_bytes);
    in.seek(span.body);
    CRecordView r;
    // The scan read this body whole already.
    [[maybe_unused]] const bool whole = readRecordBody(in, span.schema, r);
    Q_ASSERT(whole);
    return r;
}

CDataNotes CRecordIndex::record(size_t i) const
{
    const CRecordView v = view(i);
    CDataNotes r;
    r.m_nParent = v.m_nParent;
    r.m_wTitle = wordsOf(v.m_wTitle);
    r.m_wText = wordsOf(v.m_wText);
    r.m_nIcons = v.m_nIcons;
    r.m_nSort = v.m_nSort;
    r.m_nRemind = v.m_nRemind;
    r.m_times = v.m_times;
    r.m_nKind = v.m_nKind;
    r.m_nSchema = v.m_nSchema;
    return r;
}

std::vector<CDataNotes> CRecordIndex::records() const
{
    std::vector<CDataNotes> out;
    out.reserve(size());
    for (size_t i = 0; i < size(); ++i)
        out.push_back(record(i));
    return out;
}

void CRecordIndex::dropBefore(size_t record)
{
    if (record > m_spans.size())
        return;
    const qsizetype end = record == m_spans.size() ? m_bytes.size() : m_spans[record].body;
    if (m_consumer && end > m_consumed) {
        m_consumer(QByteArrayView(m_bytes.constData() + m_consumed, end - m_consumed));
        m_consumed = end;
    }
#if defined(Q_OS_LINUX)
    // Shared bytes are somebody else's to keep; bytes not owned cannot be let go.
    if (record == 0 || !m_bytes.isDetached())
        return;
    // One call per few megabytes: each costs a system call and a TLB flush.
    constexpr qsizetype kStep = qsizetype(8) << 20;
    if (end - m_dropped < kStep)
        return;
    const auto pageSize = quintptr(::sysconf(_SC_PAGESIZE));
    const auto base = reinterpret_cast<quintptr>(m_bytes.constData());
    // Only whole pages inside the buffer: the page it starts in also holds
    // its header. Pages read as zeros if touched again; nothing before `end` is.
    const quintptr firstInside = (base + pageSize - 1) & ~(pageSize - 1);
    const quintptr first = std::max(firstInside, (base + quintptr(m_dropped)) & ~(pageSize - 1));
    const quintptr last = (base + quintptr(end)) & ~(pageSize - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void *>(first), last - first, MADV_DONTNEED);  // only advice: no error to handle
    m_dropped = end;
#else
    Q_UNUSED(record)
#endif
}

void CRecordIndex::clear()
{
    m_bytes.clear();
    m_spans.clear();
    m_dropped = 0;
    m_consumer = {};
    m_consumed = 0;
    m_owner.reset();
}
