#pragma once

#include "tree/TreeModel.h"

#include <QAbstractItemModel>

class CCodePage;

// The Qt face of the infotree's CTreeModel: one column, an index's internal
// id is the item handle, and every question (rowCount, index, parent) is
// answered in O(1) from the model's own links. The model's notices become
// Qt's begin/end signals; the notices a view has to act on (expand, scroll
// to, selection, label edit) become the signals below. Labels are shown
// converted from the document's code page.
class CTreeItemModel : public QAbstractItemModel, private ITreeObserver
{
    Q_OBJECT

public:
    using Handle = CTreeModel::Handle;

    CTreeItemModel(CTreeModel &tree, const CCodePage &codePage, QObject *parent = nullptr);
    ~CTreeItemModel() override;

    CTreeModel &tree() const { return m_tree; }
    QModelIndex indexOf(Handle item) const;
    static Handle handleOf(const QModelIndex &index) { return index.isValid() ? Handle(index.internalId()) : 0; }
    const CCodePage &codePage() const { return m_codePage; }

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    void itemExpandedChanged(const QModelIndex &index, bool expanded);
    void scrollToRequested(const QModelIndex &index);
    void currentItemChanged(const QModelIndex &current);
    void editorRequested(const QModelIndex &index);
    void editorClosed(const QModelIndex &index);
    void resetDone();

private:
    void rowsAboutToBeInserted(Handle parent, int first, int last) override;
    void rowsInserted(Handle parent, int first, int last) override;
    void rowsAboutToBeRemoved(Handle parent, int first, int last) override;
    void rowsRemoved(Handle parent, int first, int last) override;
    void rowsAboutToBeMoved(Handle sourceParent, int sourceRow, Handle destinationParent, int destinationRow) override;
    void rowsMoved(Handle sourceParent, int sourceRow, Handle destinationParent, int destinationRow) override;
    void childrenAboutToBeReordered(Handle parent) override;
    void childrenReordered(Handle parent, const std::vector<int> &newRowOfOldRow) override;
    void modelAboutToBeReset() override;
    void modelReset() override;
    void dataChanged(Handle item, int what) override;
    void ensureVisibleRequested(Handle item) override;
    void selectionChanged(Handle oldItem, Handle newItem) override;
    void labelEditBegun(Handle item) override;
    void labelEditEnded(Handle item, bool accepted, const QByteArray &text) override;

    CTreeModel &m_tree;
    const CCodePage &m_codePage;
    Handle m_highlight = CTreeModel::kNone;  // the drop highlight last shown
    Handle m_reordering = CTreeModel::kNone;
};
