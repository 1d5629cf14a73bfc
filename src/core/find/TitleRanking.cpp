#include "find/TitleRanking.h"

#include "doc/ItemTables.h"
#include "text/TextMatch.h"
#include "text/CodePage.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <tuple>

namespace titleranking {

namespace {

// Which bytes are letters or digits in the page: a word starts after any other.
std::array<bool, 256> wordBytes(const CCodePage &page)
{
    std::array<bool, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const QString c = page.isValid() ? page.toUnicode(QByteArray(1, char(b))) : QString(QChar(char16_t(b)));
        table[size_t(b)] = !c.isEmpty() && c.at(0).isLetterOrNumber();
    }
    return table;
}

// 0: at the start of the title, 1: at the start of a word, 2: elsewhere; -1: not there.
int bestPlace(const CTextMatcher &word, const QByteArray &title, const std::array<bool, 256> &wordByte)
{
    qsizetype pos = word.indexIn(title);
    if (pos < 0)
        return -1;
    if (pos == 0)
        return 0;
    for (; pos >= 0; pos = word.indexIn(title, pos + 1)) {
        if (!wordByte[quint8(title[pos - 1])])
            return 1;
    }
    return 2;
}

int depthOf(const CItemTables &tables, quint32 item)
{
    // A parent link that leads nowhere or round in a circle ends the walk.
    int depth = 0;
    const int limit = tables.count();
    while (tables.isItem(item) && depth < limit) {
        const quint32 link = tables.parentLink(item);
        if (link < 2)
            break;
        item = link - 2;
        ++depth;
    }
    return depth;
}

}  // namespace

std::vector<Match> rank(const CItemTables &tables, qsizetype shown, const QString &typed, const CCodePage &codePage,
                        int limit)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    std::vector<CTextMatcher> words;
    for (const QString &w : typed.split(blanks, Qt::SkipEmptyParts)) {
        const auto bytes = codePage.isValid() ? codePage.fromUnicode(w) : std::optional<QByteArray>(w.toLatin1());
        if (!bytes)
            return {};  // no title can hold it
        words.emplace_back(*bytes, false, codePage);
    }
    if (words.empty() || limit <= 0)
        return {};
    const std::array<bool, 256> wordByte = wordBytes(codePage);

    struct Candidate
    {
        int rank, depth, length;
        qsizetype place;
        quint32 item;
        auto key() const { return std::tie(rank, depth, length, place); }
    };
    std::vector<Candidate> found;
    const QList<quint32> &order = tables.order();
    shown = std::min(shown, order.size());
    for (qsizetype i = 0; i < shown; ++i) {
        const quint32 item = order[i];
        if (!tables.isItem(item))
            continue;
        const QByteArray &title = tables.title(item);
        bool all = true;
        bool startsTitle = false;
        bool allWordStarts = true;
        for (const CTextMatcher &w : words) {
            const int place = bestPlace(w, title, wordByte);
            if (place < 0) {
                all = false;
                break;
            }
            startsTitle = startsTitle || place == 0;
            allWordStarts = allWordStarts && place <= 1;
        }
        if (!all)
            continue;
        found.push_back({startsTitle ? 0 : allWordStarts ? 1 : 2, 0, int(title.size()), i, item});
    }
    // The depth is a walk up the parent links: only matching items pay for it.
    for (Candidate &c : found)
        c.depth = depthOf(tables, c.item);
    const size_t keep = std::min(found.size(), size_t(limit));
    std::partial_sort(found.begin(), found.begin() + qsizetype(keep), found.end(),
                      [](const Candidate &a, const Candidate &b) { return a.key() < b.key(); });
    std::vector<Match> out;
    out.reserve(keep);
    for (size_t k = 0; k < keep; ++k)
        out.push_back({int(found[k].item), found[k].rank});
    return out;
}

}  // namespace titleranking
