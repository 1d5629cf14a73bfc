#pragma once

#include "tree/TreeModel.h"

#include <QByteArray>
#include <QList>

#include <vector>

class CInfoTree;
class CTorviQuillbookDoc;

// The infotree's branch clipboard and its one-step undo record: which
// branch is marked (to move or to copy), pasting it, and undoing the last
// add, mark, move, delete or rename. It works behind CInfoTree, whose
// commands it carries out; the tree's editing and drop record here what
// they did, so that Undo can take it back.
class CBranchClipboard
{
public:
    using Handle = CTreeModel::Handle;
    static constexpr Handle kNone = CTreeModel::kNone;
    enum UndoKind { kUndoNone = 0, kUndoAdded = 1, kUndoMarked = 2, kUndoMoved = 3, kUndoDeleted = 4, kUndoRename = 5 };

    explicit CBranchClipboard(CInfoTree &tree);
    CBranchClipboard(const CBranchClipboard &) = delete;
    CBranchClipboard &operator=(const CBranchClipboard &) = delete;

    // The selected item becomes the clipboard, to be moved (cut) or copied.
    void markSelected(bool cut, const char *noSelectionMessage);
    // Copy branch. For a cut (isCut()) the branch is moved: the same handles
    // and rows, returned as "the new item". For a copy, new rows are appended;
    // a failed append rolls the copied items back and returns kNone.
    Handle copyBranch(Handle source, Handle parent, CTreeModel::Pos pos);
    void pasteInto();
    void pasteBefore();
    // Places the dragged branch at the drop target: into it, or before it
    // with `alt`; a copy with `ctrl`. Returns the drop target as it ends
    // (the item before, for a drop before).
    Handle dropBranch(Handle dragged, Handle target, bool ctrl, bool alt);
    void undo();

    // --- the record ---
    void forgetRecord();
    void forgetUndo();  // a new tree: no record, the mark kept
    // The item was added (a new note or folder, an import): undo deletes it.
    void recordAdded(Handle item);
    void recordRename(Handle item, const QByteArray &oldLabel);
    // The branch `rows` (pre-order, with each entry's parent as a list
    // position, -1 for the top) was deleted from `parent`.
    void recordDeleted(Handle parent, bool withChildren, QList<quint32> rows, std::vector<int> parentPositions);
    // A drag begins: the dragged item is marked to move.
    void markDragged(Handle item);

    int undoKind() const { return m_nUndo; }
    Handle clipItem() const { return m_hClipItem; }
    Handle undoParent() const { return m_hUndoParent; }
    bool isCut() const { return m_bCut; }
    bool clipHasChildren() const { return m_bClipHasChildren; }
    const QList<quint32> &deletedRows() const { return m_aDeleted; }
    QByteArray oldLabel() const { return m_strOldLabel; }

private:
    void pasteAt(Handle destParent, CTreeModel::Pos pos, Handle iconParent);
    // After a paste or drop placed a branch: stores it, takes the order again and tells the views.
    void storePlacedBranch(Handle item);
    // What a paste does first: forgets the undo record but keeps the mark,
    // dropping it when its item is gone; false when nothing is marked.
    bool forgetRecordKeepingMark();
    void restoreDeleted();
    void undoMoveToRoot();

    CInfoTree &m_tree;
    CTreeModel &m_model;
    CTorviQuillbookDoc &m_doc;

    bool m_bClipHasChildren = false;
    bool m_bCut = false;
    Handle m_hClipItem = kNone;
    Handle m_hUndoParent = kNone;
    int m_nUndo = kUndoNone;
    QList<quint32> m_aDeleted;
    std::vector<int> m_aDeletedParent;  // list position of each entry's parent, -1 for the top
    QByteArray m_strOldLabel;
};
