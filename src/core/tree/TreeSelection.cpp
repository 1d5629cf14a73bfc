#include "tree/TreeSelection.h"

#include "doc/TorviQuillbookDoc.h"
#include "tree/InfoTree.h"

CTreeSelection::CTreeSelection(CInfoTree &tree) : m_tree(tree), m_model(tree.m_model), m_doc(tree.m_doc) {}

void CTreeSelection::select(Handle item)
{
    m_model.select(item);
    if (item != kNone && m_model.selected() == item)
        m_model.ensureVisible(item);
}

void CTreeSelection::leaving(Handle oldItem)
{
    if (!m_doc.m_new)
        m_tree.storeItem(oldItem, CInfoTree::kStoreUpdate);
}

void CTreeSelection::entered(Handle newItem)
{
    if (m_doc.m_new)
        return;
    if (newItem != kNone) {
        const qint32 index = m_model.data(newItem);
        m_doc.m_nCurItem = index;
        if (m_doc.isItem(index)) {
            m_doc.m_strCurTitle = m_doc.title(index);
            m_doc.m_strCurText = m_doc.text(index);
        }
        const QByteArray label = m_model.label(newItem);
        if (label != m_doc.m_strCurTitle)
            m_doc.prompter().message(m_tree.toText(label));
        m_doc.autoSaveOnSelectionChange();
    } else {
        m_doc.m_strCurTitle.clear();
        m_doc.m_strCurText.clear();
        m_doc.m_nCurItem = -1;
    }
    m_tree.updateViews();
}
