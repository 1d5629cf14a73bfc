#include "import/TextImport.h"

#include "import/ImportLines.h"

#include <QByteArrayView>

#include <array>
#include <cstring>
#include <vector>

namespace {

constexpr int kUnset = -3;  // a parent-stack entry never set
constexpr char kIndent[] = "    ";

QByteArray withCrLf(const QByteArray &s)
{
    QByteArray out;
    out.reserve(s.size() + s.count('\n'));
    for (char ch : s) {
        if (ch == '\n')
            out += '\r';
        out += ch;
    }
    return out;
}

class CSectionParser
{
public:
    CSectionParser(char separator, qsizetype longest, IImportSink &sink, int folder)
        : m_c(separator)
        , m_longest(longest)
        , m_sink(sink)
        , m_stack{folder}
        , m_current(folder)
        , m_lastMade(folder)
    {
    }

    bool inStrip(char ch) const { return ch == '\n' || ch == ' ' || ch == '\t' || ch == m_c; }

    void section(QByteArrayView raw)
    {
        // Every c goes.
        QByteArray s;
        s.reserve(raw.size());
        for (char ch : raw)
            if (ch != m_c)
                s += ch;

        // The last line holds the indent of the section that follows.
        const qsizetype lastLf = s.lastIndexOf('\n');
        if (lastLf > 0) {
            qsizetype units = 0;
            for (qsizetype i = s.indexOf(kIndent, lastLf); i >= 0; i = s.indexOf(kIndent, i + 4))
                ++units;
            m_next = units;
        }

        // Every indent unit goes, left to right.
        QByteArray t;
        t.reserve(s.size());
        for (qsizetype i = 0; i < s.size();) {
            if (i + 4 <= s.size() && std::memcmp(s.constData() + i, kIndent, 4) == 0) {
                i += 4;
            } else {
                t += s[i];
                ++i;
            }
        }
        s.clear();

        qsizetype from = stripFrom(t, 0);
        QByteArray title;
        const qsizetype lf = t.indexOf('\n', from);
        if (lf >= 0 && lf - from < CTextImport::kTitleMax) {
            title = t.mid(from, lf - from);
            from = lf + 1;
        } else if (lf >= 0) {
            qsizetype q = t.indexOf(' ', from + CTextImport::kTitleSpaceFrom);
            if (q < 0 || q - from >= CTextImport::kTitleMax)
                q = from + CTextImport::kTitleCut;
            title = t.mid(from, q - from);
            from = q;
        }
        title.removeIf([](char ch) { return ch == '*'; });
        from = stripFrom(t, from);
        QByteArray body = t.mid(from);
        t.clear();

        if (body.size() != 2)
            reflow(body);
        body = withCrLf(body);

        int standing = m_lastMade;
        if (!title.isEmpty() || !body.isEmpty()) {
            if (title.isEmpty())
                title = CTextImport::kNoName;
            standing = m_sink.add(m_current, title, body);
            if (standing >= 0)
                m_lastMade = standing;
        }
        nest(standing);
    }

private:
    qsizetype stripFrom(const QByteArray &s, qsizetype i) const
    {
        while (i < s.size() && inStrip(s[i]))
            ++i;
        return i;
    }

    // A break after a line longer than w that does not end a sentence joins
    // the lines. Lines are measured between the breaks as found, changed or not.
    void reflow(QByteArray &body) const
    {
        const qsizetype w = ((m_longest - 4 * m_depth) * 2) / 3;
        auto joins = [&](qsizetype start, qsizetype brk) {
            const qsizetype len = brk - start;
            return len > w && (len == 0 || body[brk - 1] != '.');
        };
        qsizetype start = 0;
        for (qsizetype b = body.indexOf("\r\n"); b >= 0; b = body.indexOf("\r\n", b + 1)) {
            if (joins(start, b))
                body[b] = ' ';
            start = b + 2;
        }
        start = 0;
        for (qsizetype b = body.indexOf('\n'); b >= 0; b = body.indexOf('\n', b + 1)) {
            if (joins(start, b))
                body[b] = ' ';
            start = b + 1;
        }
    }

    // The parent-stack entry for depth n. An indent that jumped more than one
    // level deeper left entries that were never set: the deepest one that
    // exists below n stands in.
    int entry(qsizetype n) const
    {
        qsizetype k = std::min<qsizetype>(n, qsizetype(m_stack.size()) - 1);
        while (k > 0 && m_stack[size_t(k)] == kUnset)
            --k;
        return m_stack[size_t(k)];
    }

    void nest(int standing)
    {
        const qsizetype n = m_next;
        const qsizetype d = m_depth;
        if (n > d) {
            m_stack.resize(size_t(d) + 1, kUnset);
            m_stack.push_back(standing);
            m_current = standing;
        } else if (n == 0) {
            m_current = m_stack[0];
        } else if (n < d) {
            m_current = entry(n);
        }
        m_depth = n;
    }

    const char m_c;
    const qsizetype m_longest;
    IImportSink &m_sink;
    std::vector<int> m_stack;
    int m_current;
    int m_lastMade;
    qsizetype m_depth = 0;
    qsizetype m_next = 0;
};

}  // namespace

QByteArray CTextImport::wholeText(const QByteArray &fileBytes, qsizetype &longest)
{
    QByteArray whole;
    whole.reserve(fileBytes.size() + 1);
    longest = 0;
    importlines::forEach(fileBytes, [&](QByteArrayView line) {
        whole.append(line);
        whole.append('\n');
        longest = std::max(longest, line.size() + 1);
    });
    return whole;
}

char CTextImport::chooseSeparator(const QByteArray &whole)
{
    std::array<qsizetype, 256> counts{};
    const char *p = whole.constData();
    for (qsizetype i = 1; i + 2 < whole.size(); ++i) {
        if (p[i] == p[i + 1] && p[i] == p[i + 2])
            ++counts[quint8(p[i])];
    }
    char best = kCandidates[0];
    for (const char *c = kCandidates; *c; ++c) {
        if (counts[quint8(*c)] > counts[quint8(best)])
            best = *c;
    }
    return best;
}

QByteArray CTextImport::folderTitle(const QByteArray &fileName)
{
    if (fileName.size() > 4 && fileName.endsWith("txt"))
        return fileName.left(fileName.size() - 4);
    return fileName;
}

void CTextImport::parse(const QByteArray &fileBytes, IImportSink &sink, int folder)
{
    qsizetype longest = 0;
    const QByteArray whole = wholeText(fileBytes, longest);
    const char c = chooseSeparator(whole);
    const char separator[3] = {c, c, c};
    const QByteArrayView all(whole);
    CSectionParser parser(c, longest, sink, folder);
    qsizetype pos = 0;
    const qsizetype n = all.size();
    while (pos < n) {
        while (pos < n && parser.inStrip(all[pos]))
            ++pos;
        const qsizetype found = pos < n ? all.indexOf(QByteArrayView(separator, 3), pos) : -1;
        const qsizetype end = found >= 0 ? found : n;
        const QByteArrayView raw = all.sliced(pos, end - pos);
        // Past the separator and one more character, never past the end.
        pos = found >= 0 ? std::min(n, found + 4) : n;
        parser.section(raw);
    }
}
