#pragma once

#include <QLocale>
#include <QString>
#include <QtGlobal>

#include <optional>
#include <vector>

// How one level of the infotree is ordered, and what the sort commands decide.
// Nothing here knows the tree model: the tree hands over the labels of one
// level (already converted from the document's code page) and applies the
// permutation or decision it gets back.
namespace sortrules {

// Sort types, as stored in CNoteInfo::m_nSort, the root-level sort type and the
// "SortType" setting. Any other stored value behaves as manual.
inline constexpr qint32 kManual = 0;
inline constexpr qint32 kAlphabetical = 1;
inline constexpr qint32 kFolderFirst = 2;
// Passed to Sort level for "use the level's own type".
inline constexpr qint32 kLevelOwnType = -1;

bool isSortType(qint32 type);

// Menu text of a sort type: "Manual", "Alphabetical", "Alphabetical (folder first)";
// empty for any other value.
QString sortTypeText(qint32 type);

// One child of the level being sorted, in its current display order.
struct SortChild
{
    QString label;
    bool hasChildren = false;   // a "folder" for kFolderFirst, decided at sort time
};

// The new order of one level. Result[k] is the index (into children) of the
// item that stands at position k afterwards. Manual and unknown types give the
// identity. Alphabetical compares case-insensitively with the collation of
// locale; items that compare equal keep their current relative order, so
// sorting a sorted level moves nothing. Folder-first is the alphabetical order
// followed by a stable pass that puts items with children ahead of the rest.
// O(n log n); one collation key per label. A level already in order costs
// n comparisons and no keys, and so does one whose children but `moved` are
// (the one just added, renamed or moved, when given): only it is placed.
// The result is the same either way.
std::vector<int> sortOrder(const std::vector<SortChild> &children, qint32 type,
                           const QLocale &locale = QLocale(), int moved = -1);

// Convenience for callers that want the reordered copy rather than indices.
template <class T>
std::vector<T> applyOrder(const std::vector<T> &items, const std::vector<int> &order)
{
    std::vector<T> out;
    out.reserve(order.size());
    for (int i : order)
        out.push_back(items[static_cast<size_t>(i)]);
    return out;
}

// Sort level(item, type), step 2: the type actually used for the level that
// holds the item. requested 0..2 wins. Otherwise (-1 or anything else) the
// level's own type: the parent's CNoteInfo sort field when the item has a
// parent whose data value is a valid row (parentSort then non-null), the
// root-level sort type when the item has no parent (or there is no item).
// A parent without a valid row gives kManual: nothing is re-sorted.
qint32 levelSortType(qint32 requested, bool hasParent, const qint32 *parentSort,
                     qint32 rootLevelSortType);

// Command ids of Part "Sorting".
inline constexpr int kCmdLocalSortButton = 32810;
inline constexpr int kCmdDefaultManual = 32811;
inline constexpr int kCmdDefaultAlphabetical = 32812;
inline constexpr int kCmdDefaultFolderFirst = 32814;
inline constexpr int kCmdExecuteForAllFolders = 32815;
inline constexpr int kCmdLocalManual = 32820;
inline constexpr int kCmdLocalAlphabetical = 32821;
inline constexpr int kCmdLocalFolderFirst = 32822;

// 32811/32812/32814 -> 0/1/2, the new default sort type (store it through
// "SortType"; nothing is re-sorted). -1 for other ids.
qint32 defaultSortTypeForCommand(int commandId);

// What a local sort command (32820..32822) or the button 32810 does.
struct LocalSortDecision
{
    enum class Store {
        RootLevel,   // set the document's root-level sort type to type
        ParentInfo,  // set the sort field of the selected item's parent's CNoteInfo to type
        Nothing      // the parent has no valid row: store nowhere, still sort
    };
    Store store = Store::Nothing;
    qint32 type = kManual;          // stored as above, then Sort level(selected, type)
    bool setLastLocal = false;      // then: last local sort type = type
    bool markModified = true;
};

// selectedHasParent: the selected item exists and is below the root level.
// parentRowValid: that parent's data value indexes m_arInfos.
// With nothing selected or a root item selected, the root level is changed.
// Empty for any command id other than 32810 and 32820..32822.
std::optional<LocalSortDecision> localSortCommand(int commandId, bool selectedHasParent,
                                                  bool parentRowValid, qint32 lastLocalSortType);

// Toolbar image of button 32810 for the last local sort type: 22 manual,
// 13 alphabetical, 23 folder first (22 for any other value).
int localSortButtonImage(qint32 lastLocalSortType);
// Button 32810 is enabled while the current item index is 0 or more.
bool localSortButtonEnabled(int currentItemIndex);

// "Execute for all folders" over any tree. The tree supplies:
//   roots                  the root items in display order;
//   children(node)         a node's children in display order (a container);
//   setSort(node, type)    write type into the node's CNoteInfo (if it has a valid row);
//   sortChildren(node, t)  Sort level over node's children with explicit type t;
//   sortRoots(t)           sort the root level with explicit type t.
// Every item's sort field becomes defaultType, every level below the roots is
// sorted with it after the levels beneath it, and the root level is sorted
// with defaultType last. The stored root-level sort type is not changed; the
// caller then turns redraw on, runs Collect order, marks the document modified
// and sends hint 0. Iterative, so a deep chain cannot exhaust the stack.
template <class Node, class Roots, class Children, class SetSort, class SortChildren, class SortRoots>
void executeForAllFolders(const Roots &roots, qint32 defaultType, Children children,
                          SetSort setSort, SortChildren sortChildren, SortRoots sortRoots)
{
    struct Frame
    {
        Node node;
        bool expanded;
    };
    for (const Node &root : roots) {
        std::vector<Frame> stack{{root, false}};
        while (!stack.empty()) {
            Frame frame = stack.back();
            stack.pop_back();
            if (frame.expanded) {
                sortChildren(frame.node, defaultType);
                continue;
            }
            setSort(frame.node, defaultType);
            const auto kids = children(frame.node);
            if (kids.empty())
                continue;
            stack.push_back({frame.node, true});
            // Pushed in reverse so children are visited in display order.
            for (auto it = kids.rbegin(); it != kids.rend(); ++it)
                stack.push_back({*it, false});
        }
    }
    sortRoots(defaultType);
}

} // namespace sortrules
