#include "text/TextMatch.h"

#include "text/CodePage.h"

#include <QString>

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The bytes that fold to `folded`, when there are one or two.
bool foldingTo(const std::array<quint8, 256> &fold, quint8 folded, std::array<quint8, 2> &out)
{
    int found = 0;
    for (int b = 0; b < 256; ++b) {
        if (fold[size_t(b)] != folded)
            continue;
        if (found == 2)
            return false;
        out[size_t(found++)] = quint8(b);
    }
    if (found == 1)
        out[1] = out[0];
    return found > 0;
}

}  // namespace

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
    m_wide = m > 0 && foldingTo(m_fold, quint8(m_folded.front()), m_firsts) &&
             foldingTo(m_fold, quint8(m_folded.back()), m_lasts);
}

namespace {

// A haystack's bytes one after another.
struct CContiguous
{
    const quint8 *p;
    quint8 operator[](qsizetype i) const { return p[i]; }
#if defined(__SSE2__)
    __m128i load16(qsizetype i) const { return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i)); }
#endif
};

// A haystack that is every other byte (the low bytes of WORDs).
struct CEveryOther
{
    const quint8 *p;
    quint8 operator[](qsizetype i) const { return p[2 * i]; }
#if defined(__SSE2__)
    // Bytes i .. i + 15: the low bytes of 16 WORDs, packed.
    __m128i load16(qsizetype i) const
    {
        const __m128i low = _mm_set1_epi16(0x00FF);
        const auto *at = reinterpret_cast<const __m128i *>(p + 2 * i);
        return _mm_packus_epi16(_mm_and_si128(_mm_loadu_si128(at), low), _mm_and_si128(_mm_loadu_si128(at + 1), low));
    }
#endif
};

}  // namespace

template <class Hay>
bool CTextMatcher::matchesAt(const Hay &hay, qsizetype pos) const
{
    const auto *pat = reinterpret_cast<const quint8 *>(m_folded.constData());
    for (qsizetype j = 0; j < m_folded.size(); ++j) {
        if (m_fold[hay[pos + j]] != pat[j])
            return false;
    }
    return true;
}

// Horspool on folded bytes: no lower-case copy of a note is ever made.
template <class Hay>
qsizetype CTextMatcher::horspool(const Hay &hay, qsizetype n, qsizetype from) const
{
    const qsizetype m = m_folded.size();
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

template <class Hay>
qsizetype CTextMatcher::search(const Hay &hay, qsizetype n, qsizetype from) const
{
    const qsizetype m = m_folded.size();
    if (m == 0 || from < 0 || from > n - m)
        return -1;
    qsizetype pos = from;
#if defined(__SSE2__)
    // 16 places at a time: those whose first and last bytes fold to the
    // needle's are checked in full. Several times faster than Horspool on a
    // short needle, whose shifts stay short.
    if (m_wide) {
        const auto splat = [](quint8 b) { return _mm_set1_epi8(char(b)); };
        const __m128i first0 = splat(m_firsts[0]), first1 = splat(m_firsts[1]);
        const __m128i last0 = splat(m_lasts[0]), last1 = splat(m_lasts[1]);
        for (; pos + m - 1 + 16 <= n; pos += 16) {
            const __m128i head = hay.load16(pos);
            const __m128i tail = hay.load16(pos + m - 1);
            const __m128i heads = _mm_or_si128(_mm_cmpeq_epi8(head, first0), _mm_cmpeq_epi8(head, first1));
            const __m128i tails = _mm_or_si128(_mm_cmpeq_epi8(tail, last0), _mm_cmpeq_epi8(tail, last1));
            for (auto mask = unsigned(_mm_movemask_epi8(_mm_and_si128(heads, tails))); mask; mask &= mask - 1) {
                const qsizetype at = pos + std::countr_zero(mask);
                if (matchesAt(hay, at))
                    return at;
            }
        }
    }
#endif
    return horspool(hay, n, pos);
}

qsizetype CTextMatcher::indexIn(const QByteArray &haystack, qsizetype from) const
{
    return search(CContiguous{reinterpret_cast<const quint8 *>(haystack.constData())}, haystack.size(), from);
}

qsizetype CTextMatcher::indexInEveryOther(const char *bytes, qsizetype n) const
{
    return search(CEveryOther{reinterpret_cast<const quint8 *>(bytes)}, n, 0);
}

bool CTextMatcher::equals(const QByteArray &text) const
{
    if (text.size() != m_needle.size())
        return false;
    return m_needle.isEmpty() || indexIn(text) == 0;
}
