// The branch clipboard (mark, paste), undo, and items added by imports.
#include "tree/InfoTree.h"
#include <QCoreApplication>

#include "doc/TorviQuillbookDoc.h"
#include "settings/Settings.h"

#include <optional>
#include <unordered_map>
#include <vector>

// ================================================================ branch clipboard and undo

void CInfoTree::markForCut()
{
    markSelected(true, kMsgNoSelectionCut);
}

void CInfoTree::markForCopy()
{
    markSelected(false, kMsgNoSelectionItem);
}

void CInfoTree::markSelected(bool cut, const char *noSelectionMessage)
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

CInfoTree::Handle CInfoTree::copyBranch(Handle source, Handle parent, CTreeModel::Pos pos)
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
    if (branch.size() > kBulkThreshold)
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
        if (item == kNone || storeItem(item, kStoreAppend) < 0) {
            // Roll back: none of the copied items stays without a row.
            if (item != kNone)
                m_model.deleteItem(item);
            if (top != kNone && top != item)
                m_model.deleteItem(top);
            m_doc.prompter().message(QCoreApplication::translate("CInfoTree", kMsgDataNotSaved));
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

void CInfoTree::paste()
{
    pasteInto();
}

// What Paste into, Paste before and the undo of a move to the root level share.
void CInfoTree::pasteAt(Handle destParent, CTreeModel::Pos pos, Handle iconParent)
{
    const Handle marked = m_hClipItem;
    const Handle oldParent = m_model.parent(marked);
    m_bClipHasChildren = m_model.hasChildren(marked);
    const Handle item = copyBranch(marked, destParent, pos);
    if (item != kNone) {
        if (m_bCut) {
            m_hUndoParent = oldParent;
            setItemIcon(oldParent, false);
            m_hClipItem = item;
            m_nUndo = kUndoMoved;
        } else {
            m_hClipItem = item;
            m_hUndoParent = kNone;
            m_nUndo = kUndoAdded;
        }
        setItemIcon(item, false);
        setItemIcon(iconParent, true);
        select(item);
        sortLevel(item);
        storePlacedBranch(item);
    }
    recomputeAnyExpanded();
}

void CInfoTree::storePlacedBranch(Handle item)
{
    if (storeItem(item, kStoreUpdate) < 0)
        m_doc.prompter().message(QCoreApplication::translate("CInfoTree", kMsgDataNotSaved));
    collectOrder();
    markModified();
    updateViews();
}

bool CInfoTree::forgetRecordKeepingMark()
{
    m_aDeleted.clear();
    m_aDeletedParent.clear();
    m_strOldLabel.clear();
    m_nUndo = kUndoNone;
    if (!m_model.isValid(m_hClipItem))
        m_hClipItem = kNone;  // the marked item was deleted meanwhile
    return m_hClipItem != kNone;
}

void CInfoTree::pasteInto()
{
    forgetRecordKeepingMark();
    const Handle selected = m_model.selected();
    if (selected == m_hClipItem || m_model.isSelfOrDescendant(selected, m_hClipItem))
        return;
    if (selected == kNone) {
        m_doc.prompter().message(QCoreApplication::translate("CInfoTree", kMsgNoSelectionItem));
        return;
    }
    if (m_hClipItem == kNone) {
        m_doc.prompter().message(QCoreApplication::translate("CInfoTree", kMsgNothingCopied));
        return;
    }
    pasteAt(selected, CTreeModel::Pos::last(), selected);
}

void CInfoTree::pasteBefore()
{
    if (!forgetRecordKeepingMark()) {
        m_doc.prompter().message(QCoreApplication::translate("CInfoTree", kMsgNothingCopied));
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

void CInfoTree::undoMoveToRoot()
{
    // Mend: a branch moved away from the root level goes back last at the
    // root level directly, whatever is selected and whatever the default
    // sort type; the record stays "moved", so undo again moves it back.
    if (!forgetRecordKeepingMark())
        return;
    pasteAt(kNone, CTreeModel::Pos::last(), kNone);
}

void CInfoTree::restoreDeleted()
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
    if (size_t(count) > kBulkThreshold)
        bulk.emplace(m_model);
    // One pre-order pass; each entry's parent is found through a map from
    // list position to the restored item.
    std::vector<Handle> restored(size_t(count), kNone);
    const quint32 r = m_aDeleted[0];
    // Labels are the rows' titles, read where they live.
    Handle top;
    if (m_hUndoParent != kNone) {
        top = m_model.insertLast(m_hUndoParent, {}, 4, qint32(r));
        setItemIcon(m_hUndoParent, true);
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
    for (qsizetype k = 0; k < count; ++k)
        if (gotChildren[size_t(k)])
            setItemIcon(restored[size_t(k)], false);
    select(top);
    m_hClipItem = top;
    m_aDeleted.clear();
    m_aDeletedParent.clear();
    m_nUndo = kUndoAdded;
}

void CInfoTree::undo()
{
    if (m_model.isEditing()) {
        // The GUI has undone the edit field's last change.
        collectOrder();
        markModified();
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
        select(m_hClipItem);
        deleteItemCommand(true);
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
            select(m_hUndoParent);
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
        updateViews();
        break;
    }
    default:
        m_nUndo = kUndoNone;
        return;
    }
    collectOrder();
    markModified();
    recomputeAnyExpanded();
}

CInfoTree::Handle CInfoTree::appendImportedItem(Handle parent, const QByteArray &title, const QByteArray &text,
                                                const CNoteInfo *own)
{
    if (parent != kNone && !m_model.isValid(parent))
        parent = kNone;
    CNoteInfo info;
    info.m_nSort = 0;
    info.m_nRemind = -1;
    info.m_nIcons = newRowIcons(parent);
    if (own)
        info = *own;
    const qint32 pd = m_model.data(parent);
    const Handle item = parent != kNone ? m_model.insertLast(parent, title, 4) : m_model.insertLast(kNone, title, 0);
    if (item == kNone)
        return kNone;
    const int row = m_doc.appendItem(title, text, parent != kNone ? quint32(pd) + 2 : CItemTables::kRootParent, info);
    m_model.setData(item, qint32(row));
    setItemIcon(item, true);
    setItemIcon(parent, true);
    if (parent == kNone)
        select(item);
    if (info.m_nRemind >= 0) {
        m_doc.appendReminder(quint32(row));
        m_doc.setHasReminders(true);
    }
    return item;
}

void CInfoTree::recordAdded(Handle item)
{
    forgetRecord();
    m_hClipItem = item;
    m_nUndo = kUndoAdded;
}
