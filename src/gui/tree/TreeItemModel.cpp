#include "tree/TreeItemModel.h"

#include "text/CodePage.h"
#include "tree/IconRules.h"
#include "tree/ItemIcons.h"

#include <QIcon>

CTreeItemModel::CTreeItemModel(CTreeModel &tree, const CCodePage &codePage, QObject *parent)
    : QAbstractItemModel(parent), m_tree(tree), m_codePage(codePage)
{
    m_tree.addObserver(this);
}

CTreeItemModel::~CTreeItemModel()
{
    m_tree.removeObserver(this);
}

QModelIndex CTreeItemModel::indexOf(Handle item) const
{
    const int row = m_tree.rowOf(item);
    return row < 0 ? QModelIndex() : createIndex(row, 0, quintptr(item));
}

QModelIndex CTreeItemModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || (parent.isValid() && parent.column() != 0))
        return {};
    const Handle item = m_tree.childAt(handleOf(parent), row);
    return item == CTreeModel::kNone ? QModelIndex() : createIndex(row, 0, quintptr(item));
}

QModelIndex CTreeItemModel::parent(const QModelIndex &child) const
{
    return indexOf(m_tree.parent(handleOf(child)));
}

int CTreeItemModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return m_tree.childCount(handleOf(parent));
}

int CTreeItemModel::columnCount(const QModelIndex &parent) const
{
    Q_UNUSED(parent)
    return 1;
}

bool CTreeItemModel::hasChildren(const QModelIndex &parent) const
{
    return rowCount(parent) > 0;
}

QVariant CTreeItemModel::data(const QModelIndex &index, int role) const
{
    const Handle item = handleOf(index);
    if (!m_tree.isValid(item))
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_codePage.toUnicode(m_tree.label(item));
    case Qt::DecorationRole: {
        // A number no picture has is drawn as the default picture of the
        // slot the item shows now.
        const int slot = iconrules::slotFor(m_tree.parent(item) == CTreeModel::kNone, m_tree.hasChildren(item),
                                            m_tree.isExpanded(item));
        return CItemIcons::instance().icon(iconrules::displayImage(m_tree.image(item), slot));
    }
    default:
        return {};
    }
}

Qt::ItemFlags CTreeItemModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

// ---------------------------------------------------------------- notices

void CTreeItemModel::rowsAboutToBeInserted(Handle parent, int first, int last)
{
    beginInsertRows(indexOf(parent), first, last);
}

void CTreeItemModel::rowsInserted(Handle parent, int first, int last)
{
    Q_UNUSED(parent) Q_UNUSED(first) Q_UNUSED(last)
    endInsertRows();
    // The parent's icon slot may change with its first child.
    if (parent != CTreeModel::kNone && m_tree.childCount(parent) == last - first + 1) {
        const QModelIndex p = indexOf(parent);
        emit QAbstractItemModel::dataChanged(p, p, {Qt::DecorationRole});
    }
}

void CTreeItemModel::rowsAboutToBeRemoved(Handle parent, int first, int last)
{
    beginRemoveRows(indexOf(parent), first, last);
}

void CTreeItemModel::rowsRemoved(Handle parent, int first, int last)
{
    Q_UNUSED(first) Q_UNUSED(last)
    endRemoveRows();
    if (parent != CTreeModel::kNone && m_tree.childCount(parent) == 0) {
        const QModelIndex p = indexOf(parent);
        emit QAbstractItemModel::dataChanged(p, p, {Qt::DecorationRole});
    }
}

void CTreeItemModel::rowsAboutToBeMoved(Handle sourceParent, int sourceRow, Handle destinationParent,
                                        int destinationRow)
{
    beginMoveRows(indexOf(sourceParent), sourceRow, sourceRow, indexOf(destinationParent), destinationRow);
}

void CTreeItemModel::rowsMoved(Handle sourceParent, int sourceRow, Handle destinationParent, int destinationRow)
{
    Q_UNUSED(sourceRow) Q_UNUSED(destinationRow)
    endMoveRows();
    for (Handle p : {sourceParent, destinationParent}) {
        if (p != CTreeModel::kNone) {
            const QModelIndex i = indexOf(p);
            emit QAbstractItemModel::dataChanged(i, i, {Qt::DecorationRole});
        }
    }
}

void CTreeItemModel::childrenAboutToBeReordered(Handle parent)
{
    m_reordering = parent;
    const QModelIndex p = indexOf(parent);
    emit layoutAboutToBeChanged(parent == CTreeModel::kNone ? QList<QPersistentModelIndex>()
                                                            : QList<QPersistentModelIndex>{p},
                                QAbstractItemModel::VerticalSortHint);
}

void CTreeItemModel::childrenReordered(Handle parent, const std::vector<int> &newRowOfOldRow)
{
    // Only the rows of the direct children change; an index below them keeps
    // its row and its handle.
    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList from, to;
    for (const QModelIndex &i : persistent) {
        const Handle item = handleOf(i);
        if (m_tree.parent(item) != parent)
            continue;
        const int oldRow = i.row();
        if (oldRow < 0 || size_t(oldRow) >= newRowOfOldRow.size())
            continue;
        from.append(i);
        to.append(createIndex(newRowOfOldRow[size_t(oldRow)], 0, quintptr(item)));
    }
    changePersistentIndexList(from, to);
    m_reordering = CTreeModel::kNone;
    const QModelIndex p = indexOf(parent);
    emit layoutChanged(parent == CTreeModel::kNone ? QList<QPersistentModelIndex>() : QList<QPersistentModelIndex>{p},
                       QAbstractItemModel::VerticalSortHint);
}

void CTreeItemModel::modelAboutToBeReset()
{
    beginResetModel();
}

void CTreeItemModel::modelReset()
{
    m_highlight = m_tree.dropHighlight();
    endResetModel();
    emit resetDone();
}

void CTreeItemModel::dataChanged(Handle item, int what)
{
    if (what & CTreeModel::ChangedHighlight) {
        // Repaint the item that loses the highlight and the one that gets it.
        const Handle old = m_highlight;
        m_highlight = m_tree.dropHighlight();
        for (Handle h : {old, m_highlight}) {
            const QModelIndex i = indexOf(h);
            if (i.isValid())
                emit QAbstractItemModel::dataChanged(i, i);
        }
    }
    const QModelIndex i = indexOf(item);
    if (!i.isValid())
        return;
    if (what & (CTreeModel::ChangedLabel | CTreeModel::ChangedImage | CTreeModel::ChangedExpanded))
        emit QAbstractItemModel::dataChanged(i, i, {Qt::DisplayRole, Qt::DecorationRole});
    if (what & CTreeModel::ChangedExpanded)
        emit itemExpandedChanged(i, m_tree.isExpanded(item));
}

void CTreeItemModel::ensureVisibleRequested(Handle item)
{
    emit scrollToRequested(indexOf(item));
}

void CTreeItemModel::selectionChanged(Handle oldItem, Handle newItem)
{
    Q_UNUSED(oldItem)
    emit currentItemChanged(indexOf(newItem));
}

void CTreeItemModel::labelEditBegun(Handle item)
{
    emit editorRequested(indexOf(item));
}

void CTreeItemModel::labelEditEnded(Handle item, bool accepted, const QByteArray &text)
{
    Q_UNUSED(accepted) Q_UNUSED(text)
    emit editorClosed(indexOf(item));
}
