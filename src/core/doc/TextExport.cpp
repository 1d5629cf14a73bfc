#include "doc/TextExport.h"

#include <QBuffer>
#include <QFile>

#include <algorithm>
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
        , m_count(std::min({tables.m_arTitles.size(), tables.m_arTexts.size(), tables.m_arParents.size()}))
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
            const quint32 link = m_tables.m_arParents[cur];
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
// goes out as CR LF, as a text-mode file would write it.
class CTextSink
{
public:
    explicit CTextSink(QIODevice &device)
        : m_device(device)
    {
    }

    void put(QByteArrayView s)
    {
        qsizetype from = 0;
        for (qsizetype nl = s.indexOf('\n'); nl >= 0; nl = s.indexOf('\n', from)) {
            m_buffer.append(s.sliced(from, nl - from));
            m_buffer.append("\r\n", 2);
            from = nl + 1;
        }
        m_buffer.append(s.sliced(from));
        if (m_buffer.size() >= kBlock)
            flush();
    }

    void repeat(char c, qsizetype n) { put(QByteArray(n, c)); }

    bool flush()
    {
        if (m_ok && !m_buffer.isEmpty())
            m_ok = m_device.write(m_buffer) == m_buffer.size();
        m_buffer.clear();
        return m_ok;
    }

    bool ok() const { return m_ok; }

private:
    static constexpr qsizetype kBlock = 1 << 16;
    QIODevice &m_device;
    QByteArray m_buffer;
    bool m_ok = true;
};

void putText(CTextSink &out, QByteArrayView indent, QByteArrayView text, qsizetype width)
{
    static constexpr QByteArrayView kBreak("\r\n");
    const qsizetype len = text.size();
    qsizetype p = 0;
    while (p < len) {
        const QByteArrayView piece = text.sliced(p, std::min(width, len - p));
        QByteArrayView line;
        const qsizetype pair = piece.indexOf(kBreak);
        if (pair == 0) {
            out.put("\n");
            p += 2;
            continue;
        }
        if (pair > 0) {
            line = piece.first(pair);
            p += pair + 2;
        } else if (piece.size() == width) {
            const qsizetype blank = piece.lastIndexOf(' ');
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
    for (const quint32 item : tables.m_arOrder) {
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
        out.put(tables.m_arTitles[item]);
        out.put("*\n\n");
        putText(out, indent, tables.m_arTexts[item], width);
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

bool CTextExport::write(const CItemTables &tables, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool written = write(tables, file) && file.flush();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}
