#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <vector>

class ITreeObserver;

// Where the titles of items with a row (data value 0 or more) live: the
// document's tables. The model keeps a label of its own only for an item
// that has no row yet, so a title has one home and no copy to fall behind.
class ITitleStore
{
public:
    virtual ~ITitleStore() = default;
    // Empty for a row the store does not hold (a tree being rebuilt).
    virtual QByteArray title(qint32 row) const = 0;
    // False when the store does not hold `row`; nothing is written then.
    virtual bool setTitle(qint32 row, const QByteArray &title) = 0;
};

// The infotree's own tree control, headless: what a platform tree view
// offers a tree of notes, and nothing more.
//
// - Items are addressed by stable handles. A handle is never reused while the
//   model lives (not even after clear()); 0 (kNone) means "no item" and, as a
//   parent, the root level.
// - Every node knows its parent and its row among its siblings, so parent(),
//   rowOf(), childAt() and childCount() are O(1). Rows are renumbered only for
//   the siblings after the place where a parent's children change.
// - The model holds image, selected image, state image, data value (the item
//   index), expanded flag, the selection, the item being label-edited and the
//   drop highlight. Labels (code-page bytes) are read from the title store for
//   items with a row; only an item without one keeps its own.
// - It tells its observers about every change (ITreeObserver). The GUI adapter
//   (a QAbstractItemModel) turns them into Qt's begin/end signals; CInfoTree
//   observes the selection notices (store the old item, load the new one).
//
// Like the platform control, programmatic expand/collapse sends no
// "item expanded" notice to the infotree; the GUI reports a user's
// expand/collapse to CInfoTree::onItemExpanded / onItemCollapsed.
class CTreeModel
{
public:
    using Handle = quint64;
    static constexpr Handle kNone = 0;  // no item; as a parent: the root level
    static constexpr Handle kRoot = 0;  // the same value, read as "the root level"

    // Where a new or moved item goes among its new siblings.
    struct Pos
    {
        enum Kind : quint8 { First, Last, After };
        Kind kind = Last;
        Handle after = kNone;  // for After: the sibling it goes right after
        static Pos first() { return {First, kNone}; }
        static Pos last() { return {Last, kNone}; }
        // After `sibling`; kNone means first (like "after no previous sibling").
        static Pos afterItem(Handle sibling) { return sibling == kNone ? first() : Pos{After, sibling}; }
    };

    // Bits of ITreeObserver::dataChanged.
    enum Change : int {
        ChangedLabel = 0x01,
        ChangedImage = 0x02,     // image, selected image or state image
        ChangedData = 0x04,      // the data value (item index)
        ChangedExpanded = 0x08,  // expanded flag; read isExpanded()
        ChangedHighlight = 0x10  // drop highlight on or off
    };

    CTreeModel();
    ~CTreeModel();
    CTreeModel(const CTreeModel &) = delete;
    CTreeModel &operator=(const CTreeModel &) = delete;

    // Labels of items with a row are read from and written to `store` from
    // now on (nullptr: the model keeps every label itself).
    void setTitleStore(ITitleStore *store)
    {
        m_titles = store;
        m_titlesAfterClear = nullptr;
    }
    // Copies every label out of the title store and stops reading it until
    // the tree is emptied (clear()), for a document about to empty its
    // tables while this tree is still shown. O(n).
    void keepOwnLabels();

    void addObserver(ITreeObserver *observer);
    void removeObserver(ITreeObserver *observer);

    // --- structure (all O(1) unless said otherwise) ---
    bool isValid(Handle item) const;        // a live item (kNone is not)
    Handle parent(Handle item) const;       // kNone for a root item or an invalid one
    int rowOf(Handle item) const;           // -1 for kNone or an invalid item
    int childCount(Handle parent) const;    // parent kNone: the root level
    Handle childAt(Handle parent, int row) const;  // kNone when out of range
    Handle firstChild(Handle parent) const;
    Handle lastChild(Handle parent) const;
    Handle nextSibling(Handle item) const;
    Handle prevSibling(Handle item) const;
    Handle firstRoot() const { return firstChild(kRoot); }
    bool hasChildren(Handle item) const { return childCount(item) > 0; }
    const std::vector<Handle> &children(Handle parent) const;  // in row order
    int count() const;                      // live items
    int depth(Handle item) const;           // 0 for a root item; O(depth)
    // True when `item` is `ancestor` or lies inside its branch. O(depth).
    bool isSelfOrDescendant(Handle item, Handle ancestor) const;

    // Pre-order walk of the whole tree (roots in order, each with its subtree):
    // the item after `item`, kNone at the end. nextPreOrder(kNone) is the first root.
    Handle nextPreOrder(Handle item) const;
    // The same, restricted to the branch of `top` (kNone when the branch ends).
    Handle nextInBranch(Handle item, Handle top) const;
    // The visible-items walk: pre-order, not entering collapsed items.
    Handle firstVisible() const { return firstRoot(); }
    Handle nextVisible(Handle item) const;
    // The handles of the branch of `top`, top first, in pre-order. O(branch).
    std::vector<Handle> branch(Handle top) const;

    // --- item contents ---
    QByteArray label(Handle item) const;
    int image(Handle item) const;
    int selectedImage(Handle item) const;
    int stateImage(Handle item) const;
    qint32 data(Handle item) const;          // -1 for an invalid item
    bool isExpanded(Handle item) const;
    // For an item with a row in the title store, writes the store's title.
    void setLabel(Handle item, const QByteArray &label);
    // Tells views that the label of `item` changed where it lives.
    void labelChanged(Handle item) { changed(item, ChangedLabel); }
    void setImages(Handle item, int image, int selectedImage);
    void setStateImage(Handle item, int stateImage);
    void setData(Handle item, qint32 data);
    // Sets the flag only; sends dataChanged(ChangedExpanded) to observers.
    // An item without children may be flagged expanded (as in the control).
    void setExpanded(Handle item, bool expanded);
    // Expands every ancestor of `item` and asks views to scroll to it.
    void ensureVisible(Handle item);

    // --- changing the structure ---
    // Inserts a new item under `parent` (kRoot for the root level). Returns
    // its handle, or kNone when parent or the After sibling is not valid.
    Handle insertItem(Handle parent, Pos pos, const QByteArray &label, int image, int selectedImage,
                      qint32 data = -1);
    Handle insertLast(Handle parent, const QByteArray &label, int image, qint32 data = -1)
    {
        return insertItem(parent, Pos::last(), label, image, image, data);
    }
    Handle insertFirst(Handle parent, const QByteArray &label, int image, qint32 data = -1)
    {
        return insertItem(parent, Pos::first(), label, image, image, data);
    }
    Handle insertAfter(Handle parent, Handle sibling, const QByteArray &label, int image, qint32 data = -1)
    {
        return insertItem(parent, Pos::afterItem(sibling), label, image, image, data);
    }
    // Deletes the item with its branch. When the selection lies in the branch,
    // it first moves (with the two notices) to the next sibling of `item`,
    // else its previous sibling, else its parent, else nothing. Likewise the
    // label edit of an item in the branch is cancelled first. O(branch).
    bool deleteItem(Handle item);
    // Moves the item with its branch; handles stay. False (nothing done) when
    // the destination is inside the branch or not valid.
    bool moveItem(Handle item, Handle newParent, Pos pos);
    // Empties the tree (one reset). Handles are not reused afterwards. The
    // selection moves to nothing first (with the notices).
    void clear();

    // Bulk changes: between beginReset() and endReset() no row notices are
    // sent; observers get aboutToReset() at the first begin and reset() at the
    // last end. After reset() a view must read rows, expanded flags and the
    // selection again from the model. Selection and label-edit notices are
    // still sent in between. Calls nest.
    void beginReset();
    void endReset();
    bool inReset() const { return m_resetDepth > 0; }
    class ResetGuard
    {
    public:
        explicit ResetGuard(CTreeModel &model) : m_model(model) { m_model.beginReset(); }
        ~ResetGuard() { m_model.endReset(); }
        ResetGuard(const ResetGuard &) = delete;
        ResetGuard &operator=(const ResetGuard &) = delete;
    private:
        CTreeModel &m_model;
    };

    // Sorts the children of `parent` (not deeper) stably with `less`.
    // One childrenAboutToBeReordered / childrenReordered pair, none when the
    // order does not change. O(k log k) comparisons for k children.
    void sortChildren(Handle parent, const std::function<bool(Handle, Handle)> &less);
    // Puts the children of `parent` into the given order, which must be a
    // permutation of children(parent). False (nothing done) otherwise.
    bool reorderChildren(Handle parent, const std::vector<Handle> &newOrder);

    // --- selection (one selected item or none) ---
    Handle selected() const { return m_selected; }
    // Selects `item` (kNone: nothing). An open label edit ends first,
    // accepted, so that its text goes to the item being edited and not to
    // the one selected next. When it differs from the current
    // selection, observers get selectionChanging(old, new) while the model is
    // still on the old item, then selectionChanged(old, new). Neither notice
    // can veto (the infotree answers both with 0). An invalid item is ignored.
    void select(Handle item);

    // --- label editing ---
    Handle editingItem() const { return m_editing; }
    bool isEditing() const { return m_editing != kNone; }
    // Opens the label of `item` for editing (any previous edit is cancelled
    // first). Observers get labelEditBegun, on which a view opens its editor.
    bool editLabel(Handle item);
    // Ends the edit: accepted with `text`, or cancelled. Observers get
    // labelEditEnded; the model never sets the label itself (the infotree
    // decides what the label becomes).
    void endLabelEdit(bool accepted, const QByteArray &text = {});
    // What the open editor holds now; a view keeps it up to date while the
    // user types, so that an edit ended from elsewhere keeps the typing.
    QByteArray editText() const { return m_editText; }
    void setEditText(const QByteArray &text);
    // Ends an open edit, accepted with the editor's text.
    void finishLabelEdit();

    // --- drop highlight: the item a drag would drop into ---
    Handle dropHighlight() const { return m_dropHighlight; }
    void setDropHighlight(Handle item);  // kNone removes it

private:
    struct Node
    {
        Handle handle = kNone;
        Handle parent = kNone;
        int row = 0;
        QByteArray label;
        int image = 0;
        int selectedImage = 0;
        int stateImage = 0;
        qint32 data = -1;
        bool expanded = false;
        std::vector<Handle> children;
    };

    Node *node(Handle item);
    const Node *node(Handle item) const;
    std::vector<Handle> &childList(Handle parent);
    const std::vector<Handle> &childList(Handle parent) const;
    void renumber(std::vector<Handle> &list, int from);
    int insertRow(Handle parent, Pos pos) const;  // -1 when pos is invalid
    void changed(Handle item, int what);

    template<typename F>
    void notify(F &&f);

    // Handles are handed out in order and never again, so a node is found by
    // its handle's place: m_nodes[handle - m_firstHandle], empty once deleted.
    std::vector<std::unique_ptr<Node>> m_nodes;
    Handle m_firstHandle = 1;  // the handles before it went with a clear()
    int m_count = 0;
    std::vector<Handle> m_roots;
    ITitleStore *m_titles = nullptr;
    ITitleStore *m_titlesAfterClear = nullptr;  // set while the labels are the model's own copies
    Handle m_nextHandle = 1;
    Handle m_selected = kNone;
    Handle m_editing = kNone;
    QByteArray m_editText;
    Handle m_dropHighlight = kNone;
    int m_resetDepth = 0;
    std::vector<ITreeObserver *> m_observers;
};

// What a CTreeModel tells its observers. Every function has an empty default.
// Row arguments follow Qt's conventions (first..last inclusive), so the
// adapter can pass them to beginInsertRows & co. unchanged.
class ITreeObserver
{
public:
    using Handle = CTreeModel::Handle;
    virtual ~ITreeObserver() = default;

    virtual void rowsAboutToBeInserted(Handle parent, int first, int last) { Q_UNUSED(parent) Q_UNUSED(first) Q_UNUSED(last) }
    virtual void rowsInserted(Handle parent, int first, int last) { Q_UNUSED(parent) Q_UNUSED(first) Q_UNUSED(last) }
    virtual void rowsAboutToBeRemoved(Handle parent, int first, int last) { Q_UNUSED(parent) Q_UNUSED(first) Q_UNUSED(last) }
    virtual void rowsRemoved(Handle parent, int first, int last) { Q_UNUSED(parent) Q_UNUSED(first) Q_UNUSED(last) }
    // Qt's beginMoveRows: `destinationRow` is the row in `destinationParent`
    // before which the item goes, counted before the move.
    virtual void rowsAboutToBeMoved(Handle sourceParent, int sourceRow, Handle destinationParent, int destinationRow)
    {
        Q_UNUSED(sourceParent) Q_UNUSED(sourceRow) Q_UNUSED(destinationParent) Q_UNUSED(destinationRow)
    }
    virtual void rowsMoved(Handle sourceParent, int sourceRow, Handle destinationParent, int destinationRow)
    {
        Q_UNUSED(sourceParent) Q_UNUSED(sourceRow) Q_UNUSED(destinationParent) Q_UNUSED(destinationRow)
    }
    // The children of `parent` are reordered (sort). `newRowOfOldRow[r]` is
    // the new row of the child that stood at row r. Handles stay valid.
    virtual void childrenAboutToBeReordered(Handle parent) { Q_UNUSED(parent) }
    virtual void childrenReordered(Handle parent, const std::vector<int> &newRowOfOldRow)
    {
        Q_UNUSED(parent) Q_UNUSED(newRowOfOldRow)
    }
    virtual void modelAboutToBeReset() {}
    virtual void modelReset() {}
    // `what`: CTreeModel::Change bits.
    virtual void dataChanged(Handle item, int what) { Q_UNUSED(item) Q_UNUSED(what) }
    // A request to scroll `item` into view (its ancestors are expanded already).
    virtual void ensureVisibleRequested(Handle item) { Q_UNUSED(item) }

    virtual void selectionChanging(Handle oldItem, Handle newItem) { Q_UNUSED(oldItem) Q_UNUSED(newItem) }
    virtual void selectionChanged(Handle oldItem, Handle newItem) { Q_UNUSED(oldItem) Q_UNUSED(newItem) }

    virtual void labelEditBegun(Handle item) { Q_UNUSED(item) }
    // `accepted` false: cancelled (text empty). A view closes its editor.
    virtual void labelEditEnded(Handle item, bool accepted, const QByteArray &text)
    {
        Q_UNUSED(item) Q_UNUSED(accepted) Q_UNUSED(text)
    }
};
