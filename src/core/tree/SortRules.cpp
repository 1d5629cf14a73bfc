#include "tree/SortRules.h"
#include <QCoreApplication>

#include <QCollator>
#include <QCollatorSortKey>

#include <algorithm>
#include <numeric>

namespace sortrules {

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
                           const QLocale &locale)
{
    std::vector<int> order(children.size());
    std::iota(order.begin(), order.end(), 0);
    if (type != kAlphabetical && type != kFolderFirst)
        return order;

    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
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
