#pragma once

#include <QByteArray>

#include <array>

class CCodePage;

// The one matching rule of Find / Replace and of `tqb find`: a substring of
// code-page bytes. Without case sensitivity both sides are compared in lower
// case, byte for byte through the code page, so lengths never change and a
// position in the folded text is the same position in the original.
class CTextMatcher
{
public:
    CTextMatcher(const QByteArray &needle, bool caseSensitive, const CCodePage &codePage);

    const QByteArray &needle() const { return m_needle; }
    bool caseSensitive() const { return m_caseSensitive; }
    bool isEmpty() const { return m_needle.isEmpty(); }

    // The first occurrence at or after `from`; -1 when there is none or the
    // needle is empty. Linear in the haystack (no copy of it is made).
    qsizetype indexIn(const QByteArray &haystack, qsizetype from = 0) const;
    bool foundIn(const QByteArray &haystack) const { return indexIn(haystack) >= 0; }
    // The same in a haystack of `n` bytes that are every other byte of
    // `bytes`, from the first (the low bytes of little-endian WORDs): no
    // copy of them is made.
    qsizetype indexInEveryOther(const char *bytes, qsizetype n) const;
    // Whether `text` is the needle itself under this rule.
    bool equals(const QByteArray &text) const;

    // The lower case of a byte in the code page (the byte itself when its
    // lower case is not in the page).
    quint8 fold(quint8 byte) const { return m_fold[byte]; }

private:
    template <class Hay>
    qsizetype search(const Hay &hay, qsizetype n, qsizetype from) const;
    template <class Hay>
    bool matchesAt(const Hay &hay, qsizetype pos) const;
    template <class Hay>
    qsizetype horspool(const Hay &hay, qsizetype n, qsizetype from) const;

    QByteArray m_needle;
    QByteArray m_folded;                  // the needle in lower case
    bool m_caseSensitive;
    std::array<quint8, 256> m_fold{};
    std::array<qsizetype, 256> m_skip{};  // Horspool shifts, by folded byte
    // The bytes that fold to the needle's first and to its last byte, for
    // the scan 16 bytes at a time (the same byte twice when only one does);
    // false when some folded byte has more than two.
    bool m_wide = false;
    std::array<quint8, 2> m_firsts{};
    std::array<quint8, 2> m_lasts{};
};
