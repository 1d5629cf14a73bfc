#pragma once

// The benchmarks' documents: deterministic pseudo-random items, the same on
// every machine.
#include "doc/TorviQuillbookDoc.h"

#include <QByteArray>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <vector>

namespace bench {

// A small fixed generator (splitmix64): the same documents on every machine.
class CRandom
{
public:
    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % quint64(n)); }

private:
    quint64 m_state = 0x5151B00Cull;
};

inline QByteArray words(CRandom &random, int length)
{
    static const char *const kWords[] = {"note",  "garden", "meeting", "caf\xE9", "r\xE9sum\xE9", "tomorrow",
                                         "call",  "invoice", "paper",  "idea",   "river",        "\xA7" "4",
                                         "train", "list",    "budget", "draft",  "Stra\xDF" "e", "window"};
    QByteArray text;
    text.reserve(length + 16);
    int line = 0;
    while (text.size() < length) {
        const QByteArray word(kWords[random.below(int(std::size(kWords)))]);
        text += word;
        line += int(word.size()) + 1;
        if (line > 60 + random.below(30)) {
            text += "\r\n";
            line = 0;
        } else {
            text += ' ';
        }
    }
    text.truncate(length);
    return text;
}

// Items in pre-order, nested up to five levels: each item goes at most one
// level below the one before it. Texts run from a few hundred characters to
// a few thousand, about 1 KB of file per item on average.
inline void fillDocument(CTorviQuillbookDoc &doc, int items)
{
    CRandom random;
    std::vector<int> lastAtDepth(5, -1);
    int depth = 0;
    for (int i = 0; i < items; ++i) {
        depth = i == 0 ? 0 : random.below(std::min(depth + 1, 4) + 1);
        const int textLength = random.below(10) == 0 ? 1000 + random.below(2000) : 150 + random.below(400);
        CNoteInfo info;
        info.m_nIcons = {random.below(60), random.below(60), random.below(60), random.below(60), random.below(60)};
        if (random.below(50) == 0) {
            info.m_nRemind = random.below(2);
            info.m_times = {1700000000 + random.below(1000000), 0, 0, 1700000000, 1700000000};
        }
        const quint32 parent = depth == 0 ? CItemTables::kRootParent : quint32(lastAtDepth[size_t(depth - 1)]) + 2;
        const int index = doc.appendItem(words(random, 10 + random.below(30)), words(random, textLength), parent, info);
        doc.appendToOrder(quint32(index));
        lastAtDepth[size_t(depth)] = index;
    }
}

// The document sizes named on the command line (numbers of items), or
// 1,000, 10,000 and 100,000 when none is.
inline std::vector<int> sizesFromArguments(int argc, char *argv[])
{
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        bool ok = false;
        const int n = QByteArray(argv[i]).toInt(&ok);
        if (ok && n > 0)
            sizes.push_back(n);
        else
            std::fprintf(stderr, "ignoring \"%s\": not a number of items\n", argv[i]);
    }
    if (sizes.empty())
        sizes = {1000, 10000, 100000};
    return sizes;
}

} // namespace bench
