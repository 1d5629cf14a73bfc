// The tree commands that add, name, delete, expand and collapse items.
#include "tree/InfoTree.h"
#include <QCoreApplication>

#include "doc/TorviQuillbookDoc.h"
#include "text/SentenceSplit.h"
#include "settings/Settings.h"

#include <optional>
#include <unordered_map>
#include <vector>

// ================================================================ item editing

bool CInfoTree::canDelete() const
{
    return m_doc.m_nCurItem >= 0;
}

bool CInfoTree::isCompleteCollapseChecked() const
{
    return m_doc.settings().isOn(CSettings::Collapse);
}

void CInfoTree::addRootFolder()
{
    forgetRecord();
    const int image = m_doc.defaultIcons()[0];
    const Handle item = m_model.insertItem(kNone, CTreeModel::Pos::last(), kNewFolderLabel, image, image);
    if (!storeNewItem(item))
        return;
    select(item);
    beginNamingNewItem(item);
}

bool CInfoTree::storeNewItem(Handle item)
{
    if (item == kNone)
        return false;
    if (storeItem(item, kStoreAppend) >= 0)
        return true;
    m_doc.prompter().message(QCoreApplication::translate("CInfoTree", kMsgDataNotSaved));
    m_model.deleteItem(item);
    return false;
}

void CInfoTree::beginNamingNewItem(Handle item)
{
    m_doc.m_nCurItem = m_model.data(item);
    m_doc.m_strCurTitle = m_model.label(item);
    m_doc.m_strCurText.clear();
    m_model.editLabel(item);
    collectOrder();
    markModified();
    updateViews();
    m_clipboard.recordAdded(item);
}

void CInfoTree::insertNewNote()
{
    forgetRecord();
    const Handle selected = m_model.selected();
    if (selected == kNone) {
        m_doc.prompter().message(QCoreApplication::translate("CInfoTree", kMsgNoSelectionFolder));
        return;
    }
    const Handle item = m_model.insertLast(selected, kNewNoteLabel, 4);
    if (!storeNewItem(item))
        return;
    setItemIcon(item, true);
    setItemIcon(selected, true);
    select(item);
    beginNamingNewItem(item);
    m_bAnyExpanded = true;
}

CInfoTree::Handle CInfoTree::addNote(const QByteArray &title, const QByteArray &text, bool asRoot)
{
    forgetRecord();
    const Handle parent = asRoot ? kNone : m_model.selected();
    const Handle item = m_model.insertLast(parent, title, 4);
    if (!storeNewItem(item))
        return kNone;
    setItemIcon(item, true);
    setItemIcon(parent, true);
    select(item);
    m_doc.m_nCurItem = m_model.data(item);
    m_doc.m_strCurTitle = m_model.label(item);
    m_doc.m_strCurText = text;
    // The new item's level first, with the item as the one to place: at the
    // root the parent's "level" is that same level, then already in order.
    sortLevel(item);
    sortLevel(parent);
    storeItem(item, kStoreUpdate);
    collectOrder();
    markModified();
    updateViews();
    m_clipboard.recordAdded(item);
    m_bAnyExpanded = true;
    return item;
}

void CInfoTree::rename()
{
    forgetRecord();
    const Handle selected = m_model.selected();
    m_clipboard.recordRename(selected, m_model.label(selected));
    if (selected == kNone)
        return;
    m_model.ensureVisible(selected);
    m_model.editLabel(selected);
}

bool CInfoTree::beginLabelEdit(Handle item)
{
    return m_model.editLabel(item);  // no edit is refused; nothing recorded
}

void CInfoTree::endLabelEdit(bool accepted, const QByteArray &text)
{
    m_model.endLabelEdit(accepted, text);  // labelEditEnded does the work
}

void CInfoTree::labelTextEdited(const QByteArray &text)
{
    if (!m_model.isEditing())
        return;
    m_model.setEditText(text);
    // A changed name is a change of the document, to be saved like typing in a note.
    if (text != m_model.label(m_model.editingItem()))
        markModified();
}

void CInfoTree::labelEditEnded(Handle item, bool accepted, const QByteArray &text)
{
    // The text belongs to the item that was edited, wherever the selection
    // has gone meanwhile.
    if (m_model.selected() == kNone || !m_model.isValid(item)) {
        m_doc.prompter().message(QCoreApplication::translate("CInfoTree", kMsgNoSelectionTryAgain));
        return;
    }
    if (accepted) {
        m_model.setLabel(item, text);  // into the row's title, or the label of an item without one
        if (m_model.data(item) == m_doc.m_nCurItem) {
            m_doc.m_strCurTitle = text;
            storeItem(item, kStoreUpdate);
        }
        sortLevel(item);
    }
    sortLevel(m_model.parent(item));
    collectOrder();
    markModified();
    updateViews();
}

CInfoTree::LabelSplit CInfoTree::splitPastedText(const QByteArray &s)
{
    const SentenceSplit::Parts<QByteArray> parts = SentenceSplit::splitAtSentence(s);
    LabelSplit out;
    out.position = int(parts.position);
    out.title = parts.title;
    out.body = parts.text;
    return out;
}

bool CInfoTree::pasteIntoLabel(const QByteArray &clipboardText)
{
    if (!m_model.isEditing())
        return false;
    if (clipboardText.isEmpty() || !m_doc.m_strCurText.isEmpty())
        return false;
    const LabelSplit split = splitPastedText(clipboardText);
    if (split.position < 0)
        return false;
    m_doc.m_strCurTitle = split.title;
    m_doc.m_strCurText = split.body;
    if (split.position == 0)
        return false;  // pasted into the field as usual; the body stays set
    // The edit ends with the split title; Store item writes title and body.
    m_model.endLabelEdit(true, split.title);
    return true;
}

void CInfoTree::deleteSelected()
{
    deleteItemCommand(false);
}

void CInfoTree::deleteItemCommand(bool fromUndo)
{
    Q_UNUSED(fromUndo)
    forgetRecord();
    const Handle selected = m_model.selected();
    if (selected == kNone) {
        m_doc.prompter().message(QCoreApplication::translate("CInfoTree", kMsgNoSelection));
        return;
    }
    const Handle oldParent = m_model.parent(selected);
    const bool withChildren = m_model.hasChildren(selected);
    if (withChildren) {
        const auto answer =
            m_doc.prompter().message(QCoreApplication::translate("CInfoTree", kMsgDeleteWarning), IPrompter::Buttons::OkCancel);
        if (answer != IPrompter::Answer::Ok)
            return;  // the record stays forgotten
    }
    // The branch in pre-order, with each entry's parent as a list position.
    const std::vector<Handle> branch = m_model.branch(selected);
    std::unordered_map<Handle, int> positionOf;
    positionOf.reserve(branch.size());
    QList<quint32> rows;
    std::vector<int> parentPositions;
    rows.reserve(qsizetype(branch.size()));
    parentPositions.reserve(branch.size());
    for (Handle h : branch) {
        const auto it = positionOf.find(m_model.parent(h));
        parentPositions.push_back(it == positionOf.end() ? -1 : it->second);
        positionOf.emplace(h, int(rows.size()));
        rows.append(quint32(m_model.data(h)));
    }
    m_clipboard.recordDeleted(oldParent, withChildren, std::move(rows), std::move(parentPositions));
    m_doc.m_strCurTitle.clear();
    m_doc.m_strCurText.clear();
    m_doc.m_nCurItem = -1;
    {
        std::optional<CTreeModel::ResetGuard> bulk;
        if (branch.size() > kBulkThreshold)
            bulk.emplace(m_model);
        m_model.deleteItem(selected);
    }
    setItemIcon(oldParent, false);
    sortLevel(oldParent);
    collectOrder();
    markModified();
    updateViews();
    recomputeAnyExpanded();
}

void CInfoTree::expandBranch()
{
    const Handle selected = m_model.selected();
    if (selected != kNone) {
        for (Handle h = selected; h != kNone; h = m_model.nextInBranch(h, selected)) {
            m_model.setExpanded(h, true);
            setItemIcon(h, true);
        }
    }
    forgetRecord();
    m_bAnyExpanded = true;
}

void CInfoTree::expandAll()
{
    {
        CTreeModel::ResetGuard reset(m_model);
        for (Handle h = m_model.firstRoot(); h != kNone; h = m_model.nextPreOrder(h)) {
            m_model.setExpanded(h, true);
            setItemIcon(h, true);
        }
    }
    if (m_model.selected() != kNone)
        m_model.ensureVisible(m_model.selected());
    forgetRecord();
    m_bAnyExpanded = true;
    m_bCanExpandAll = false;
}

void CInfoTree::collapse()
{
    const bool complete = m_doc.settings().isOn(CSettings::Collapse);
    {
        CTreeModel::ResetGuard reset(m_model);
        for (Handle root = m_model.firstRoot(); root != kNone; root = m_model.nextSibling(root)) {
            m_model.setExpanded(root, false);
            if (complete) {
                for (Handle h = m_model.nextInBranch(root, root); h != kNone; h = m_model.nextInBranch(h, root)) {
                    m_model.setExpanded(h, false);
                    setItemIcon(h, false);
                }
            }
            setItemIcon(root, false);
        }
    }
    const Handle selected = m_model.selected();
    if (selected != kNone) {
        m_model.ensureVisible(selected);
        const qint32 index = m_model.data(selected);
        m_doc.m_nCurItem = index;
        m_doc.m_strCurTitle = m_model.label(selected);
        if (m_doc.isItem(index))
            m_doc.m_strCurText = m_doc.text(index);
        updateViews();
    }
    forgetRecord();
    // The path to the selection stands open again: Collapse stays offered
    // while it does.
    recomputeAnyExpanded();
    m_bCanExpandAll = true;
}

void CInfoTree::toggleCompleteCollapse()
{
    m_doc.settings().toggle(CSettings::Collapse);
}

int CInfoTree::contextMenuPopup() const
{
    const Handle selected = m_model.selected();
    const Handle parent = m_model.parent(selected);
    qint32 type = m_doc.rootSort();
    if (parent != kNone) {
        const qint32 d = m_model.data(parent);
        type = m_doc.isItem(d) ? m_doc.info(d).m_nSort : 0;
    }
    return type == 0 ? 1 : 0;
}

// ================================================================ items added by imports

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
    m_clipboard.recordAdded(item);
}
