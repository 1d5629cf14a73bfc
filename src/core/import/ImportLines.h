#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Import files are read as text, line by line: a line ends at a line feed,
// a CR right before it belongs to the break, and the piece after the last
// line feed is a line only when it is not empty.
namespace importlines {

template<typename F>
void forEach(const QByteArray &bytes, F &&f)
{
    const char *p = bytes.constData();
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    while (start < n) {
        const void *hit = memchr(p + start, '\n', size_t(n - start));
        const qsizetype lf = hit ? qsizetype(static_cast<const char *>(hit) - p) : n;
        qsizetype end = lf;
        if (hit && end > start && p[end - 1] == '\r')
            --end;
        f(QByteArrayView(p + start, end - start));
        start = lf + 1;
    }
}

inline bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

inline QByteArrayView trimLeft(QByteArrayView v)
{
    qsizetype i = 0;
    while (i < v.size() && isSpace(v[i]))
        ++i;
    return v.sliced(i);
}

}  // namespace importlines
