#pragma once

#include <QString>

#include <vector>

class CCodePage;
class CItemTables;

// Go to note: the items whose titles hold every typed word (in any order,
// each a substring, case-blind under the rule of Find next), best first:
//   0. the title starts with one of the words;
//   1. every word starts a word of the title;
//   2. the words stand anywhere;
// within a class, fewer folders above the item first, then the shorter
// title, then tree order. Only the items shown in the tree take part: the
// first `shown` entries of the order list.
namespace titleranking {

struct Match
{
    int item = -1;
    int rank = 2;
};

std::vector<Match> rank(const CItemTables &tables, qsizetype shown, const QString &typed, const CCodePage &codePage,
                        int limit = 50);

}  // namespace titleranking
