#include "import/MarkupDepth.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>
#include <string>
#include <array>
#include <string_view>
#include <vector>

namespace {

using namespace std::string_view_literals;

// Elements without content.
constexpr std::array kVoid{"area"sv, "base"sv, "basefont"sv, "bgsound"sv, "br"sv, "col"sv, "embed"sv,
                           "frame"sv, "hr"sv, "image"sv, "img"sv, "input"sv, "keygen"sv, "link"sv,
                           "meta"sv, "param"sv, "source"sv, "track"sv, "wbr"sv};
// Elements a parser closes by itself when the next of their kind (or a
// sibling) starts, or ignores outside the element that holds them.
constexpr std::array kSelfEnding{"a"sv, "p"sv, "li"sv, "dt"sv, "dd"sv, "option"sv, "optgroup"sv,
                                 "td"sv, "th"sv, "tr"sv, "tbody"sv, "thead"sv, "tfoot"sv, "caption"sv,
                                 "colgroup"sv, "rb"sv, "rt"sv, "rtc"sv, "rp"sv, "html"sv, "head"sv, "body"sv};
// Inline formatting, which an end tag of an element around it closes too.
constexpr std::array kFormatting{"b"sv, "big"sv, "code"sv, "em"sv, "font"sv, "i"sv, "nobr"sv, "s"sv,
                                 "small"sv, "strike"sv, "strong"sv, "tt"sv, "u"sv};
// Elements whose content is text up to their end tag, outside SVG and
// MathML. (Others that some parsers take as text too are scanned as markup:
// counting too deep only ever refuses a stranger file.)
constexpr std::array kRawText{"script"sv, "style"sv, "xmp"sv, "textarea"sv, "title"sv};

template<size_t N>
bool isOneOf(std::string_view name, const std::array<std::string_view, N> &names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

class CScanner
{
public:
    explicit CScanner(QByteArrayView html) : m_p(html.data()), m_n(html.size()) {}

    bool withinLimit(int limit)
    {
        std::vector<std::string> open;
        int foreign = 0;  // open <svg> and <math>: their contents are markup throughout
        const auto isForeign = [](const std::string &name) { return name == "svg" || name == "math"; };
        while (m_i < m_n) {
            const char *hit = static_cast<const char *>(memchr(m_p + m_i, '<', size_t(m_n - m_i)));
            if (!hit)
                return true;
            m_i = hit - m_p + 1;
            if (m_i >= m_n)
                return true;
            const char c = m_p[m_i];
            if (c == '!') {
                skipMarkupDeclaration();
            } else if (c == '?') {
                skipPast('>');
            } else if (c == '/') {
                ++m_i;
                if (m_i < m_n && isLetter(m_p[m_i])) {
                    const std::string name = tagName();
                    skipAttributes();
                    // An end tag closes what it names, with inline formatting
                    // left open inside it. Where anything else is open inside,
                    // parsers differ (some ignore the tag): the count stays,
                    // so that it is never below what a parser holds.
                    for (size_t k = open.size(); k > 0; --k) {
                        if (open[k - 1] == name) {
                            for (size_t j = k - 1; j < open.size(); ++j)
                                foreign -= isForeign(open[j]) ? 1 : 0;
                            open.resize(k - 1);
                            break;
                        }
                        if (!isOneOf(open[k - 1], kFormatting))
                            break;
                    }
                } else {
                    skipPast('>');  // a bogus comment
                }
            } else if (isLetter(c)) {
                const std::string name = tagName();
                skipAttributes();
                if (name == "plaintext")
                    return true;  // the rest is text
                if (foreign == 0 && isOneOf(name, kRawText)) {
                    skipRawText(name);
                    continue;
                }
                if (isOneOf(name, kVoid) || isOneOf(name, kSelfEnding))
                    continue;
                foreign += isForeign(name) ? 1 : 0;
                open.push_back(name);
                if (open.size() > size_t(limit))
                    return false;
            }
        }
        return true;
    }

private:
    std::string tagName()
    {
        std::string name;
        while (m_i < m_n && !isSpace(m_p[m_i]) && m_p[m_i] != '/' && m_p[m_i] != '>') {
            if (name.size() < 32)  // long enough for every element that matters
                name += lower(m_p[m_i]);
            ++m_i;
        }
        return name;
    }

    // The rest of a tag as the tokenizer reads it: names, "=", values in
    // quotes only where a value starts with one.
    void skipAttributes()
    {
        while (m_i < m_n) {
            const char c = m_p[m_i];
            if (c == '>') {
                ++m_i;
                return;
            }
            if (isSpace(c) || c == '/') {
                ++m_i;
                continue;
            }
            // an attribute name (its first character may be anything, "=" too)
            ++m_i;
            while (m_i < m_n && !isSpace(m_p[m_i]) && m_p[m_i] != '/' && m_p[m_i] != '>' && m_p[m_i] != '=')
                ++m_i;
            while (m_i < m_n && isSpace(m_p[m_i]))
                ++m_i;
            if (m_i >= m_n || m_p[m_i] != '=')
                continue;
            ++m_i;
            while (m_i < m_n && isSpace(m_p[m_i]))
                ++m_i;
            if (m_i < m_n && (m_p[m_i] == '"' || m_p[m_i] == '\'')) {
                const char quote = m_p[m_i++];
                skipPast(quote);
            } else {
                while (m_i < m_n && !isSpace(m_p[m_i]) && m_p[m_i] != '>')
                    ++m_i;
            }
        }
    }

    void skipPast(char c)
    {
        const void *hit = memchr(m_p + m_i, c, size_t(m_n - m_i));
        m_i = hit ? static_cast<const char *>(hit) - m_p + 1 : m_n;
    }

    bool startsWith(qsizetype at, std::string_view text) const
    {
        if (m_n - at < qsizetype(text.size()))
            return false;
        for (size_t k = 0; k < text.size(); ++k) {
            if (lower(m_p[at + qsizetype(k)]) != text[k])
                return false;
        }
        return true;
    }

    // After "<!": a comment ends at "-->" or "--!>", an empty one is "<!-->"
    // or "<!--->"; anything else ends at the first ">".
    void skipMarkupDeclaration()
    {
        ++m_i;
        if (!startsWith(m_i, "--")) {
            skipPast('>');
            return;
        }
        m_i += 2;
        if (startsWith(m_i, ">")) {
            ++m_i;
            return;
        }
        if (startsWith(m_i, "->")) {
            m_i += 2;
            return;
        }
        while (m_i < m_n) {
            const void *hit = memchr(m_p + m_i, '-', size_t(m_n - m_i));
            if (!hit) {
                m_i = m_n;
                return;
            }
            m_i = static_cast<const char *>(hit) - m_p;
            if (startsWith(m_i, "-->")) {
                m_i += 3;
                return;
            }
            if (startsWith(m_i, "--!>")) {
                m_i += 4;
                return;
            }
            ++m_i;
        }
    }

    // Up to "</name" followed by a blank, "/" or ">".
    void skipRawText(const std::string &name)
    {
        while (m_i < m_n) {
            const void *hit = memchr(m_p + m_i, '<', size_t(m_n - m_i));
            if (!hit) {
                m_i = m_n;
                return;
            }
            m_i = static_cast<const char *>(hit) - m_p + 1;
            const qsizetype after = m_i + 1 + qsizetype(name.size());
            if (startsWith(m_i, "/") && startsWith(m_i + 1, name)
                && (after >= m_n || isSpace(m_p[after]) || m_p[after] == '/' || m_p[after] == '>')) {
                m_i = after;
                skipAttributes();
                return;
            }
        }
    }

    const char *m_p;
    qsizetype m_n;
    qsizetype m_i = 0;
};

}  // namespace

bool markupdepth::withinLimit(QByteArrayView html, int limit)
{
    return CScanner(html).withinLimit(limit);
}
