#include "text/TextMatch.h"

#include "text/CodePage.h"

#include <QString>

CTextMatcher::CTextMatcher(const QByteArray &needle, bool caseSensitive, const CCodePage &codePage)
    : m_needle(needle), m_caseSensitive(caseSensitive)
{
    for (int b = 0; b < 256; ++b) {
        m_fold[size_t(b)] = quint8(b);
        if (caseSensitive)
            continue;
        if (!codePage.isValid()) {
            // Without a page the bytes read as Latin-1, as the tree shows them.
            const QChar lower = QChar(char16_t(b)).toLower();
            if (lower.unicode() < 256)
                m_fold[size_t(b)] = quint8(lower.unicode());
            continue;
        }
        if (!codePage.maps(quint8(b)))
            continue;
        const QString lower = codePage.toUnicode(QByteArray(1, char(b))).toLower();
        const auto back = codePage.fromUnicode(lower);
        if (back && back->size() == 1)
            m_fold[size_t(b)] = quint8(back->at(0));
    }
    m_folded = m_needle;
    for (char &c : m_folded)
        c = char(m_fold[quint8(c)]);

    const qsizetype m = m_folded.size();
    m_skip.fill(m);
    for (qsizetype i = 0; i + 1 < m; ++i)
        m_skip[quint8(m_folded[i])] = m - 1 - i;
}

qsizetype CTextMatcher::indexIn(const QByteArray &haystack, qsizetype from) const
{
    const qsizetype m = m_folded.size();
    const qsizetype n = haystack.size();
    if (m == 0 || from < 0 || from > n - m)
        return -1;
    if (m_caseSensitive)
        return haystack.indexOf(m_needle, from);
    // Horspool on folded bytes: no lower-case copy of a note is ever made.
    const auto *hay = reinterpret_cast<const quint8 *>(haystack.constData());
    const auto *pat = reinterpret_cast<const quint8 *>(m_folded.constData());
    const quint8 last = pat[m - 1];
    for (qsizetype pos = from; pos <= n - m;) {
        const quint8 tail = m_fold[hay[pos + m - 1]];
        if (tail == last) {
            qsizetype j = m - 2;
            while (j >= 0 && m_fold[hay[pos + j]] == pat[j])
                --j;
            if (j < 0)
                return pos;
        }
        pos += m_skip[tail];
    }
    return -1;
}

bool CTextMatcher::equals(const QByteArray &text) const
{
    if (text.size() != m_needle.size())
        return false;
    return m_needle.isEmpty() || indexIn(text) == 0;
}
