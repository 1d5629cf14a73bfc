#pragma once

#include "tree/TreeModel.h"

#include <QFrame>

#include <functional>
#include <vector>

class CCodePage;
class CLeftView;
class QLineEdit;
class QListWidget;

// "Go to note": a small box over the tree with a field and the best 50
// items whose titles hold every typed word, each with its folders' path on
// a second line. Enter selects the highlighted
// item (the best one unless the user moved) in the tree; Escape, or the
// focus going elsewhere, closes it.
class CGoToNotePopup : public QFrame
{
    Q_OBJECT

public:
    static constexpr int kMaxRows = 50;

    // `parent` is the window; the box places itself over `tree`.
    CGoToNotePopup(CLeftView &tree, const CCodePage &codePage, QWidget *parent);

    void setActivateTree(std::function<void()> activateTree) { m_activateTree = std::move(activateTree); }

    void open();
    // Selects the item of the list's row in the tree and closes; false when gone.
    bool choose(int row);

    QLineEdit *field() const { return m_field; }
    QListWidget *list() const { return m_list; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fill(const QString &typed);
    void dismiss(bool toTree);
    void onFocusChanged(QWidget *now);

    CLeftView &m_tree;
    const CCodePage &m_codePage;
    std::function<void()> m_activateTree;
    QLineEdit *m_field;
    QListWidget *m_list;
    // The tree item of each row, looked up once per opening: the tree does
    // not change while the box has the focus.
    std::vector<CTreeModel::Handle> m_handles;
};
