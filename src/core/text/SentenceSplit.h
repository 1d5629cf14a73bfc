#pragma once

#include <QByteArray>
#include <QString>

// The split of a text into a note title and text at its first sentence, used
// by quick capture and by paste into a tree label. Written once for both
// string kinds: the tree works on code-page bytes, the capture dialog on the
// text as another program gave it.
namespace SentenceSplit {

// The first sentence may be at most this long to become the title.
inline constexpr qsizetype kSentenceLimit = 200;
// Without a sentence mark the title ends at the first blank from here on.
inline constexpr qsizetype kBlankFrom = 80;

template <class S>
struct Parts
{
    qsizetype position = -1;  // where the text was split; -1: no split found
    S title;
    S text;
};

namespace detail {

inline bool isOneOf(char c, const char *set)
{
    for (; *set; ++set) {
        if (c == *set)
            return true;
    }
    return false;
}

inline bool isOneOf(QChar c, const char *set)
{
    return c.unicode() < 0x80 && isOneOf(char(c.unicode()), set);
}

inline void tabsToBlanks(QByteArray &s)
{
    s.replace('\t', "    ");
}

inline void tabsToBlanks(QString &s)
{
    s.replace(QLatin1Char('\t'), QLatin1String("    "));
}

template <class S>
S trimLeft(const S &s, const char *set)
{
    qsizetype i = 0;
    while (i < s.size() && isOneOf(s[i], set))
        ++i;
    return s.mid(i);
}

template <class S>
S trimRight(const S &s, const char *set)
{
    qsizetype n = s.size();
    while (n > 0 && isOneOf(s[n - 1], set))
        --n;
    return s.left(n);
}

}  // namespace detail

// A text loses trailing CR, LF, tab, blank and comma, and leading CR, LF, tab,
// blank, full stop and comma.
template <class S>
S trimText(const S &text)
{
    return detail::trimLeft(detail::trimRight(text, "\r\n\t ,"), "\r\n\t .,");
}

// A title has each tab made four blanks, then loses the same leading
// characters as a text and trailing CR, LF, tab, blank and comma: a closing
// full stop, "!" or "?" stays.
template <class S>
S trimTitle(const S &title)
{
    S out = title;
    detail::tabsToBlanks(out);
    return detail::trimRight(detail::trimLeft(out, "\r\n\t .,"), "\r\n\t ,");
}

// The title is the first sentence (up to and with its first full stop, "!",
// "?" or line feed) when that mark is within the first 200 characters;
// otherwise it ends before the first blank at or after position 80. Both
// parts are trimmed. No such mark and no such blank: position -1, both empty.
template <class S>
Parts<S> splitAtSentence(const S &s)
{
    Parts<S> out;
    qsizetype mark = -1;
    for (qsizetype i = 0; i < s.size() && i < kSentenceLimit; ++i) {
        if (detail::isOneOf(s[i], ".!?\n")) {
            mark = i;
            break;
        }
    }
    if (mark >= 0) {
        out.position = mark;
        out.title = s.left(mark + 1);
        out.text = s.mid(mark + 1);
    } else {
        const qsizetype blank = s.indexOf(' ', kBlankFrom);
        if (blank < 0)
            return out;
        out.position = blank;
        out.title = s.left(blank);
        out.text = s.mid(blank + 1);
    }
    out.text = trimText(out.text);
    out.title = trimTitle(out.title);
    return out;
}

}  // namespace SentenceSplit
