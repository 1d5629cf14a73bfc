#include "tree/BranchClipboard.h"

#include <QCoreApplication>

#include "doc/TorviQuillbookDoc.h"
#include "settings/Settings.h"
#include "tree/InfoTree.h"

#include <optional>
#include <unordered_map>
#include <vector>

CBranchClipboard::CBranchClipboard(CInfoTree &tree) : m_tree(tree), m_model(tree.m_model), m_doc(tree.m_doc) {}

void CBranchClipboard::markSelected(bool cut, const char *noSelectionMessage)
{
    forgetRecord();
    m_hClipItem = m_model.selected();
    if (m_hClipItem == kNone) {
        m_doc.prompter().message(QCoreApplication::translate("CInfoTree", noSelectionMessage));
        return;
    }
    m_bCut = cut;
    m_bClipHasChildren = m_model.hasChildren(m_hClipItem);
    m_nUndo = kUndoMarked;
}

CBranchClipboard::Handle CBranchClipboard::copyBranch(Handle source, Handle parent, CTreeModel::Pos pos)
{
    if (!m_model.isValid(source) || (parent != kNone && !m_model.isValid(parent))
        || m_model.isSelfOrDescendant(parent, source))
        return kNone;
    if (m_bCut) {
        // A move: the same items, rows and everything in them. The top comes
        // out collapsed, as a freshly inserted copy would.
        if (!m_model.moveItem(source, parent, pos))
            return kNone;
        m_model.setExpanded(source, false);
        return source;
    }
    const std::vector<Handle> branch = m_model.branch(source);
    std::optional<CTreeModel::ResetGuard> bulk;
    if (branch.size() > CInfoTree::kBulkThreshold)
        bulk.emplace(m_model);
    std::unordered_map<Handle, Handle> copyOf;
    copyOf.reserve(branch.size());
    Handle top = kNone;
    for (Handle src : branch) {
        const Handle newParent = src == source ? parent : copyOf.at(m_model.parent(src));
        const CTreeModel::Pos where = src == source ? pos : CTreeModel::Pos::last();
        int image = m_model.image(src);
        int selectedImage = m_model.selectedImage(src);
        if (image == 3)
            image = selectedImage = 2;
        else if (image == 1)
            image = selectedImage = 0;
        const Handle item = m_model.insertItem(newParent, where, m_model.label(src), image, selectedImage);
        if (item == kNone || m_tree.storeItem(item, CInfoTree::kStoreAppend) < 0) {
            // Roll back: none of the copied items stays without a row.
            if (item != kNone)
                m_model.deleteItem(item);
            if (top != kNone && top != item)
                m_model.deleteItem(top);
            m_doc.prompter().message(QCoreApplication::translate("CInfoTree", CInfoTree::kMsgDataNotSaved));
            return kNone;
        }
        if (src == source)
            top = item;
        const qint32 from = m_model.data(src);
        const qint32 to = m_model.data(item);
        if (m_doc.isItem(from) && m_doc.isItem(to))
            m_doc.setText(to, m_doc.text(from));
        m_model.setStateImage(item, m_model.stateImage(src));
        copyOf.emplace(src, item);
    }
    return top;
}

// What Paste into, Paste before and the undo of a move to the root level share.
void CBranchClipboard::pasteAt(Handle destParent, CTreeModel::Pos pos, Handle iconParent)
{
    const Handle marked = m_hClipItem;
    const Handle oldParent = m_model.parent(marked);
    m_bClipHasChildren = m_model.hasChildren(marked);
    const Handle item = copyBranch(marked, destParent, pos);
    if (item != kNone) {
        if (m_bCut) {
            m_hUndoParent = oldParent;
            m_tree.setItemIcon(oldParent, false);
            m_hClipItem = item;
            m_nUndo = kUndoMoved;
        } else {
            m_hClipItem = item;
            m_hUndoParent = kNone;
            m_nUndo = kUndoAdded;
        }
        m_tree.setItemIcon(item, false);
        m_tree.setItemIcon(iconParent, true);
        m_tree.select(item);
        m_tree.sortLevel(item);
        storePlacedBranch(item);
    }
    m_tree.recomputeAnyExpanded();
}

void CBranchClipboard::storePlacedBranch(Handle item)
{
    if (m_tree.storeItem(item, CInfoTree::kStoreUpdate) < 0)
        m_doc.prompter().message(QCoreApplication::translate("CInfoTree", CInfoTree::kMsgDataNotSaved));
    m_tree.collectOrder();
    m_tree.markModified();
    m_tree.updateViews();
}

bool CBranchClipboard::forgetRecordKeepingMark()
{
    m_aDeleted.clear();
    m_aDeletedParent.clear();
    m_strOldLabel.clear();
    m_nUndo = kUndoNone;
    if (!m_model.isValid(m_hClipItem))
        m_hClipItem = kNone;  // the marked item was deleted meanwhile
    return m_hClipItem != kNone;
}

void CBranchClipboard::pasteInto()
{
    forgetRecordKeepingMark();
    const Handle selected = m_model.selected();
    if (selected == m_hClipItem || m_model.isSelfOrDescendant(selected, m_hClipItem))
        return;
    if (selected == kNone) {
        m_doc.prompter().message(QCoreApplication::translate("CInfoTree", CInfoTree::kMsgNoSelectionItem));
        return;
    }
    if (m_hClipItem == kNone) {
        m_doc.prompter().message(QCoreApplication::translate("CInfoTree", CInfoTree::kMsgNothingCopied));
        return;
    }
    pasteAt(selected, CTreeModel::Pos::last(), selected);
}

void CBranchClipboard::pasteBefore()
{
    if (!forgetRecordKeepingMark()) {
        m_doc.prompter().message(QCoreApplication::translate("CInfoTree", CInfoTree::kMsgNothingCopied));
        return;
    }
    const Handle selected = m_model.selected();
    const Handle p = m_model.parent(selected);
    if (m_doc.settings().number(CSettings::SortType) != 0) {
        pasteAt(kNone, CTreeModel::Pos::last(), p);
        return;
    }
    if (p != kNone && m_model.isSelfOrDescendant(p, m_hClipItem))
        return;
    pasteAt(p, CTreeModel::Pos::afterItem(m_model.prevSibling(selected)), p);
}

void CBranchClipboard::undoMoveToRoot()
{
    // Mend: a branch moved away from the root level goes back last at the
    // root level directly, whatever is selected and whatever the default
    // sort type; the record stays "moved", so undo again moves it back.
    if (!forgetRecordKeepingMark())
        return;
    pasteAt(kNone, CTreeModel::Pos::last(), kNone);
}

void CBranchClipboard::restoreDeleted()
{
    if (m_aDeleted.isEmpty()) {
        m_nUndo = kUndoNone;
        return;
    }
    if (m_hUndoParent != kNone && !m_model.isValid(m_hUndoParent))
        m_hUndoParent = kNone;
    const bool children = m_bClipHasChildren;
    const qsizetype count = children ? m_aDeleted.size() : 1;
    std::optional<CTreeModel::ResetGuard> bulk;
    if (size_t(count) > CInfoTree::kBulkThreshold)
        bulk.emplace(m_model);
    // One pre-order pass; each entry's parent is found through a map from
    // list position to the restored item.
    std::vector<Handle> restored(size_t(count), kNone);
    const quint32 r = m_aDeleted[0];
    // Labels are the rows' titles, read where they live.
    Handle top;
    if (m_hUndoParent != kNone) {
        top = m_model.insertLast(m_hUndoParent, {}, 4, qint32(r));
        m_tree.setItemIcon(m_hUndoParent, true);
    } else {
        top = m_model.insertLast(kNone, {}, 0, qint32(r));
    }
    restored[0] = top;
    std::vector<bool> gotChildren(size_t(count), false);
    for (qsizetype k = 1; k < count; ++k) {
        const int parentPos = m_aDeletedParent.size() == size_t(m_aDeleted.size()) ? m_aDeletedParent[size_t(k)] : -1;
        if (parentPos < 0 || restored[size_t(parentPos)] == kNone)
            continue;
        const quint32 d = m_aDeleted[k];
        restored[size_t(k)] = m_model.insertLast(restored[size_t(parentPos)], {}, 4, qint32(d));
        gotChildren[size_t(parentPos)] = true;
    }
    bulk.reset();
    // Every restored node takes its picture from its own icons, as it had
    // before the delete: a note with icons of its own is no plain note.
    for (qsizetype k = 0; k < count; ++k)
        m_tree.setItemIcon(restored[size_t(k)], false);
    m_tree.select(top);
    m_hClipItem = top;
    m_aDeleted.clear();
    m_aDeletedParent.clear();
    m_nUndo = kUndoAdded;
}

void CBranchClipboard::undo()
{
    if (m_model.isEditing()) {
        // The GUI has undone the edit field's last change.
        m_tree.collectOrder();
        m_tree.markModified();
        return;
    }
    switch (m_nUndo) {
    case kUndoNone:
        return;
    case kUndoAdded:
        if (!m_model.isValid(m_hClipItem)) {
            forgetRecord();
            break;
        }
        m_tree.select(m_hClipItem);
        m_tree.deleteItemCommand(true);
        break;
    case kUndoMarked:
        m_hClipItem = kNone;
        m_hUndoParent = kNone;
        m_bCut = false;
        m_bClipHasChildren = false;
        m_nUndo = kUndoNone;
        break;
    case kUndoMoved:
        if (m_hUndoParent != kNone && m_model.isValid(m_hUndoParent)) {
            m_tree.select(m_hUndoParent);
            pasteInto();
        } else {
            undoMoveToRoot();
        }
        break;
    case kUndoDeleted:
        restoreDeleted();
        break;
    case kUndoRename: {
        const Handle item = m_hClipItem;
        if (!m_model.isValid(item))
            break;
        const QByteArray before = m_model.label(item);
        m_model.setLabel(item, m_strOldLabel);
        const qint32 d = m_model.data(item);
        if (d >= 0 && d == m_doc.m_nCurItem)
            m_doc.m_strCurTitle = m_strOldLabel;
        m_strOldLabel = before;
        m_tree.updateViews();
        break;
    }
    default:
        m_nUndo = kUndoNone;
        return;
    }
    m_tree.collectOrder();
    m_tree.markModified();
    m_tree.recomputeAnyExpanded();
}


CBranchClipboard::Handle CBranchClipboard::dropBranch(Handle dragged, Handle target, bool ctrl, bool alt)
{
    m_bCut = !ctrl;
    m_bClipHasChildren = m_model.hasChildren(dragged);
    Handle destParent;
    CTreeModel::Pos pos;
    if (!alt) {
        destParent = target;
        pos = CTreeModel::Pos::last();
    } else {
        destParent = m_model.parent(target);
        const Handle before = m_model.prevSibling(target);
        pos = CTreeModel::Pos::afterItem(target == kNone ? kNone : before);
        target = before;
    }
    const Handle oldParent = m_model.parent(dragged);
    const Handle item = copyBranch(dragged, destParent, pos);
    if (item != kNone) {
        if (!m_bCut) {
            m_hClipItem = item;
            m_hUndoParent = kNone;
            m_nUndo = kUndoAdded;
        } else {
            m_hUndoParent = oldParent;
            m_tree.setItemIcon(oldParent, true);
            m_tree.sortLevel(oldParent);
            m_hClipItem = item;
            m_nUndo = kUndoMoved;
        }
        m_tree.setItemIcon(item, false);
        m_tree.sortLevel(item);
        m_tree.setItemIcon(destParent, true);
        m_tree.sortLevel(destParent);
        m_tree.select(item);
        storePlacedBranch(item);
    }
    return target;
}

// ---------------------------------------------------------------- the record

void CBranchClipboard::forgetRecord()
{
    m_aDeleted.clear();
    m_aDeletedParent.clear();
    m_hClipItem = kNone;
    m_hUndoParent = kNone;
    m_bClipHasChildren = false;
    m_bCut = false;
    m_strOldLabel.clear();
    m_nUndo = kUndoNone;
}

void CBranchClipboard::forgetUndo()
{
    m_bClipHasChildren = false;
    m_nUndo = kUndoNone;
}

void CBranchClipboard::recordAdded(Handle item)
{
    m_hClipItem = item;
    m_nUndo = kUndoAdded;
}

void CBranchClipboard::recordRename(Handle item, const QByteArray &oldLabel)
{
    m_hClipItem = item;
    m_strOldLabel = oldLabel;
    m_nUndo = kUndoRename;
}

void CBranchClipboard::recordDeleted(Handle parent, bool withChildren, QList<quint32> rows, std::vector<int> parentPositions)
{
    m_hUndoParent = parent;
    m_bClipHasChildren = withChildren;
    m_aDeleted = std::move(rows);
    m_aDeletedParent = std::move(parentPositions);
    m_nUndo = kUndoDeleted;
}

void CBranchClipboard::markDragged(Handle item)
{
    forgetRecord();
    m_bCut = true;
    if (m_model.isValid(item))
        m_hClipItem = item;
}
