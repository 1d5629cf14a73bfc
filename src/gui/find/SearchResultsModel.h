#pragma once

#include "find/NoteSearch.h"
#include "tree/TreeModel.h"

#include <QAbstractListModel>
#include <QHash>

#include <optional>
#include <vector>

class CCodePage;
class CInfoTree;

// The rows of Search all notes: a list model over the hit list, so it holds
// every hit at 8 bytes each and builds what a row shows (title, path,
// context) only when a view asks for that row.
class CSearchResultsModel : public QAbstractListModel, private ITreeObserver
{
    Q_OBJECT

public:
    enum Role {
        ItemIndexRole = Qt::UserRole + 1,  // int
        PathRole,          // QString: the folder titles above the item
        ContextRole,       // QString: the context line
        ContextHitRole,    // QPoint(start, length) of the hit in the context line
        ContextCutRole,    // QPoint(cut before, cut after), each 0 or 1
        TitleHitRole,      // QPoint(start, length) of the hit in the title; length 0: none
    };

    CSearchResultsModel(CInfoTree &tree, const CCodePage &codePage, QObject *parent = nullptr);
    ~CSearchResultsModel() override;

    // A new search over `snapshot`: the rows go, hits come with append().
    void reset(const CSearchSnapshot &snapshot, const std::optional<CTextMatcher> &matcher, bool titlesOnly);
    void append(const std::vector<CSearchHit> &hits);
    void clear();

    const CSearchHit &hit(int row) const { return m_hits.at(row); }
    const CHitList &hits() const { return m_hits; }
    const std::optional<CTextMatcher> &matcher() const { return m_matcher; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

signals:
    // Items came, went or moved, or a label changed: the rows may be out of date.
    void treeChanged();

private:
    CTreeModel::Handle handleOf(quint32 item) const;
    const notesearch::Context &contextOf(int row) const;
    QString pathOf(quint32 item) const;
    // New tree items may hold rows of the hits (an undone delete, a rebuild).
    void rowsInserted(Handle, int, int) override
    {
        m_handles.clear();
        emit treeChanged();
    }
    void modelReset() override
    {
        m_handles.clear();
        emit treeChanged();
    }
    void rowsRemoved(Handle, int, int) override { emit treeChanged(); }
    void rowsMoved(Handle, int, Handle, int) override { emit treeChanged(); }
    void dataChanged(Handle, int what) override
    {
        if (what & CTreeModel::ChangedLabel)
            emit treeChanged();
    }

    CInfoTree &m_tree;
    const CCodePage &m_codePage;
    CSearchSnapshot m_snapshot;
    std::optional<CTextMatcher> m_matcher;
    bool m_titlesOnly = false;
    CHitList m_hits;
    // Built when a row first needs the tree and again after the tree changed.
    mutable std::vector<CTreeModel::Handle> m_handles;
    mutable QHash<int, notesearch::Context> m_contexts;
};
