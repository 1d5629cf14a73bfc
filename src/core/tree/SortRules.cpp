#include "tree/SortRules.h"
#include <QCoreApplication>

#include <QCollator>
#include <QCollatorSortKey>

#include <algorithm>
#include <numeric>
#include <optional>

namespace sortrules {

namespace {

// The full sort orders by (folder group, collation, current place). When all
// children but `moved` (-1: none) already stand in that order, the sort
// leaves them as they are and puts `moved` where that order says: found by
// one pass that checks the others and a binary search, instead of a key for
// every label and n log n comparisons.
std::optional<std::vector<int>> placeOne(const std::vector<SortChild> &children, bool folderFirst,
                                         const QCollator &collator, int moved)
{
    const int n = int(children.size());
    std::vector<QString> folded;
    folded.reserve(children.size());
    for (const SortChild &child : children)
        folded.push_back(child.label.toCaseFolded());
    const auto compare = [&](int a, int b) {
        const auto &x = children[size_t(a)];
        const auto &y = children[size_t(b)];
        if (folderFirst && x.hasChildren != y.hasChildren)
            return x.hasChildren ? -1 : 1;
        return collator.compare(folded[size_t(a)], folded[size_t(b)]);
    };
    std::vector<int> others;
    others.reserve(children.size());
    for (int i = 0; i < n; ++i) {
        if (i == moved)
            continue;
        if (!others.empty() && compare(others.back(), i) > 0)
            return std::nullopt;  // more than one out of place: the full sort
        others.push_back(i);
    }
    if (moved < 0)
        return others;
    const auto before = std::partition_point(others.begin(), others.end(), [&](int other) {
        const int c = compare(other, moved);
        return c < 0 || (c == 0 && other < moved);
    });
    others.insert(before, moved);
    return others;
}

}  // namespace

bool isSortType(qint32 type)
{
    return type == kManual || type == kAlphabetical || type == kFolderFirst;
}

QString sortTypeText(qint32 type)
{
    switch (type) {
    case kManual: return QCoreApplication::translate("SortRules", "Manual");
    case kAlphabetical: return QCoreApplication::translate("SortRules", "Alphabetical");
    case kFolderFirst: return QCoreApplication::translate("SortRules", "Alphabetical (folder first)");
    default: return {};
    }
}

std::vector<int> sortOrder(const std::vector<SortChild> &children, qint32 type,
                           const QLocale &locale, int moved)
{
    std::vector<int> order(children.size());
    std::iota(order.begin(), order.end(), 0);
    if (type != kAlphabetical && type != kFolderFirst)
        return order;

    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    if (moved < int(children.size())) {
        if (auto placed = placeOne(children, type == kFolderFirst, collator, moved))
            return std::move(*placed);
    }
    // Folding as well keeps the order case-blind on collator backends that
    // ignore the case-sensitivity option.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(children.size());
    for (const SortChild &child : children)
        keys.push_back(collator.sortKey(child.label.toCaseFolded()));

    // Stable: equal labels keep their places, so re-sorting moves nothing.
    std::stable_sort(order.begin(), order.end(), [&keys](int a, int b) {
        return keys[static_cast<size_t>(a)].compare(keys[static_cast<size_t>(b)]) < 0;
    });
    if (type == kFolderFirst) {
        std::stable_partition(order.begin(), order.end(), [&children](int i) {
            return children[static_cast<size_t>(i)].hasChildren;
        });
    }
    return order;
}

qint32 levelSortType(qint32 requested, bool hasParent, const qint32 *parentSort,
                     qint32 rootLevelSortType)
{
    if (isSortType(requested))
        return requested;
    if (!hasParent)
        return rootLevelSortType;
    return parentSort ? *parentSort : kManual;
}

qint32 defaultSortTypeForCommand(int commandId)
{
    switch (commandId) {
    case kCmdDefaultManual: return kManual;
    case kCmdDefaultAlphabetical: return kAlphabetical;
    case kCmdDefaultFolderFirst: return kFolderFirst;
    default: return -1;
    }
}

std::optional<LocalSortDecision> localSortCommand(int commandId, bool selectedHasParent,
                                                  bool parentRowValid, qint32 lastLocalSortType)
{
    LocalSortDecision decision;
    switch (commandId) {
    case kCmdLocalManual: decision.type = kManual; break;
    case kCmdLocalAlphabetical: decision.type = kAlphabetical; break;
    case kCmdLocalFolderFirst: decision.type = kFolderFirst; break;
    case kCmdLocalSortButton: decision.type = lastLocalSortType; break;
    default: return std::nullopt;
    }
    decision.setLastLocal = commandId != kCmdLocalSortButton;
    if (!selectedHasParent)
        decision.store = LocalSortDecision::Store::RootLevel;
    else if (parentRowValid)
        decision.store = LocalSortDecision::Store::ParentInfo;
    else
        decision.store = LocalSortDecision::Store::Nothing;
    decision.markModified = true;
    return decision;
}

int localSortButtonImage(qint32 lastLocalSortType)
{
    switch (lastLocalSortType) {
    case kAlphabetical: return 13;
    case kFolderFirst: return 23;
    default: return 22;
    }
}

bool localSortButtonEnabled(int currentItemIndex)
{
    return currentItemIndex >= 0;
}

} // namespace sortrules
