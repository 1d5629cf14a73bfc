#include "doc/TextExport.h"

#include "doc/DocumentFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif
#include <vector>

namespace {

// Depth of every item below its root, found once per item however long the
// chains are, so the whole export stays linear.
class CDepths
{
public:
    static constexpr int kSkip = -1;

    explicit CDepths(const CItemTables &tables)
        : m_tables(tables)
        , m_count(tables.count())
        , m_depth(size_t(m_count), kUnknown)
    {
    }

    qsizetype count() const { return m_count; }

    int of(qsizetype item)
    {
        if (item < 0 || item >= m_count)
            return kSkip;
        m_path.clear();
        qsizetype cur = item;
        int base = kSkip;  // depth of the last item on the path, kSkip when the chain is broken
        for (;;) {
            const int known = m_depth[size_t(cur)];
            if (known != kUnknown) {
                // An item already on this walk means the chain runs in a circle.
                base = known == kOnWalk || known == kSkip ? kSkip : known;
                break;
            }
            m_depth[size_t(cur)] = kOnWalk;
            m_path.push_back(cur);
            const quint32 link = m_tables.parentLink(cur);
            if (link == CItemTables::kRootParent) {
                m_depth[size_t(cur)] = 0;
                m_path.pop_back();
                base = 0;
                break;
            }
            if (link == 0 || link - 2 >= quint64(m_count))
                break;
            cur = qsizetype(link - 2);
        }
        // The path holds the children of `cur` down to `item`, nearest last.
        int depth = base;
        for (auto it = m_path.rbegin(); it != m_path.rend(); ++it) {
            if (depth != kSkip)
                ++depth;
            m_depth[size_t(*it)] = depth;
        }
        return m_depth[size_t(item)];
    }

private:
    static constexpr int kUnknown = -2;
    static constexpr int kOnWalk = -3;

    const CItemTables &m_tables;
    qsizetype m_count;
    std::vector<int> m_depth;
    std::vector<qsizetype> m_path;
};

// Collects the output and hands it to the device in large blocks. Every "\n"
// goes out as CR LF, as a text-mode file would write it. The many small
// pieces of a line are copied into a fixed buffer, which costs far less than
// growing a byte array piece by piece.
class CTextSink
{
public:
    explicit CTextSink(QIODevice &device)
        : m_device(device), m_buffer(size_t(kBlock))
    {
    }

    void put(QByteArrayView s)
    {
        const char *p = s.data();
        const char *const end = p + s.size();
        while (p != end) {
            const char *nl = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
            if (!nl) {
                append(p, end - p);
                return;
            }
            append(p, nl - p);
            append("\r\n", 2);
            p = nl + 1;
        }
    }

    // `c` is never a line feed, so it needs no translation.
    void repeat(char c, qsizetype n)
    {
        for (qsizetype left = n; left > 0;) {
            if (m_used == kBlock)
                flush();
            const qsizetype part = std::min(left, kBlock - m_used);
            std::memset(m_buffer.data() + m_used, c, size_t(part));
            m_used += part;
            left -= part;
        }
    }

    bool flush()
    {
        if (m_ok && m_used > 0)
            m_ok = m_device.write(m_buffer.data(), m_used) == m_used;
        m_used = 0;
        return m_ok;
    }

    bool ok() const { return m_ok; }

private:
    static constexpr qsizetype kBlock = 1 << 16;

    void append(const char *p, qsizetype n)
    {
        while (n > 0) {
            if (m_used == kBlock)
                flush();
            const qsizetype part = std::min(n, kBlock - m_used);
            std::memcpy(m_buffer.data() + m_used, p, size_t(part));
            m_used += part;
            p += part;
            n -= part;
        }
    }

    QIODevice &m_device;
    std::vector<char> m_buffer;
    qsizetype m_used = 0;
    bool m_ok = true;
};

// Position of the first CR LF in `s`, or -1.
qsizetype findLineBreak(QByteArrayView s)
{
    const char *const begin = s.data();
    const char *const end = begin + s.size();
    for (const char *p = begin; p != end;) {
        const char *cr = static_cast<const char *>(std::memchr(p, '\r', size_t(end - p)));
        if (!cr || cr + 1 == end)
            return -1;
        if (cr[1] == '\n')
            return cr - begin;
        p = cr + 1;
    }
    return -1;
}

// Position of the last blank in `s`, or -1.
qsizetype findLastBlank(QByteArrayView s)
{
    for (qsizetype i = s.size() - 1; i >= 0; --i) {
        if (s[i] == ' ')
            return i;
    }
    return -1;
}

void putText(CTextSink &out, QByteArrayView indent, QByteArrayView text, qsizetype width)
{
    const qsizetype len = text.size();
    qsizetype p = 0;
    while (p < len) {
        const QByteArrayView piece = text.sliced(p, std::min(width, len - p));
        QByteArrayView line;
        const qsizetype pair = findLineBreak(piece);
        if (pair == 0) {
            out.put("\n");
            p += 2;
            continue;
        }
        if (pair > 0) {
            line = piece.first(pair);
            p += pair + 2;
        } else if (piece.size() == width) {
            const qsizetype blank = findLastBlank(piece);
            const QByteArrayView rest = text.sliced(p + width);
            if (blank >= 0) {
                line = piece.first(blank);
                p += blank + 1;
            } else if (piece.endsWith('\r') && rest.startsWith('\n')) {
                // The line break straddles the piece: end the line before it
                // rather than leave a lone CR and an extra empty line.
                line = piece.first(width - 1);
                p += width + 1;
            } else {
                line = piece;
                p += width;
            }
        } else {
            line = piece;
            p = len;
        }
        out.put(indent);
        out.put(line);
        out.put("\n");
    }
}

} // namespace

bool CTextExport::write(const CItemTables &tables, QIODevice &device)
{
    CTextSink out(device);
    CDepths depths(tables);
    QByteArray indent;
    for (const quint32 item : tables.order()) {
        if (qint64(item) >= depths.count())
            continue;
        const int depth = depths.of(qsizetype(item));
        if (depth == CDepths::kSkip)
            continue;
        indent.fill(' ', qsizetype(depth) * kIndentStep);
        const qsizetype width = std::max<qsizetype>(kLineWidth - indent.size(), kMinWidth);

        out.put(indent);
        out.repeat('_', width);
        out.put("\n\n");
        out.put(indent);
        out.put("*");
        out.put(tables.title(item));
        out.put("*\n\n");
        putText(out, indent, tables.text(item), width);
        out.put("\n");
        if (!out.ok())
            return false;
    }
    return out.flush();
}

QByteArray CTextExport::render(const CItemTables &tables)
{
    QByteArray result;
    QBuffer buffer(&result);
    buffer.open(QIODevice::WriteOnly);
    write(tables, buffer);
    return result;
}

bool CTextExport::write(const CItemTables &tables, const QString &path, const QString &documentPath, bool ownerOnly)
{
    // A device or a named pipe is never opened: a pipe without a reader
    // would block for ever, and a device is not the user's file to fill.
    if (!CDocumentFile::exportTargetProblem(path).isEmpty())
        return false;
    const QFileInfo target(path);
    const bool exists = target.exists();
#if defined(Q_OS_UNIX)
    // Another user's file (root exporting over it) stays theirs.
    const bool othersFile = exists && target.ownerId() != ::geteuid();
#else
    const bool othersFile = false;
#endif
    // Written in place, as they always were: another user's file, a file in
    // a folder that takes no new file.
    if (exists && target.isFile()
        && (othersFile || (target.isWritable() && !QFileInfo(target.absolutePath()).isWritable()))) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        if (ownerOnly && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            return false;
        return write(tables, file) && file.flush() && file.error() == QFileDevice::NoError;
    }
    // Anything else is replaced whole, as a document is saved: an export that
    // fails (a full disk) leaves an earlier file of that name as it was, and
    // no part of itself taking up the disk. An earlier file that may not be
    // written stays, as it would with a write in place.
    if (exists && !target.isWritable())
        return false;
    return CDocumentFile::replace(path, [&tables](QFileDevice &file) { return write(tables, file); },
                                  {.newLike = documentPath, .ownerOnly = ownerOnly})
        .ok;
}
