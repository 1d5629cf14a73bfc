#pragma once

#include "EditTarget.h"
#include "editor/EditedBytes.h"
#include "tree/InfoTree.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QTreeView>

#include <memory>

class CCodePage;
class CTorviQuillbookDoc;
class CTreeItemModel;
class QLabel;
class QMenu;

// The infotree pane: a QTreeView over an adapter of the infotree's model.
// It holds no rule of its own: clicks, keys, label edits, expand and
// collapse, the context menu and mouse drags go to CInfoTree, and the view
// shows what the model says (items, icons, selection, expanded flags, the
// open label editor and the drop highlight).
class CLeftView : public QTreeView, public IEditTarget
{
    Q_OBJECT

public:
    static constexpr int kItemHeight = 18;
    // The drag image: how far right of the cursor, and its longest label.
    static constexpr int kDragImageOffset = 16;
    static constexpr int kDragLabelWidth = 200;

    CLeftView(CTorviQuillbookDoc &doc, const CCodePage &codePage, QWidget *parent = nullptr);
    ~CLeftView() override;

    CInfoTree &infoTree() { return *m_tree; }
    CTreeItemModel &itemModel() const { return *m_model; }
    QModelIndex indexOf(CInfoTree::Handle item) const;
    CInfoTree::Handle handleAt(const QModelIndex &index) const;
    QLineEdit *labelEditor() const { return m_editor; }

    // The two popups of the context menu (0: "Paste root", 1: "Paste before").
    QMenu *contextMenu(int popup) const { return popup == 1 ? m_popup1 : m_popup0; }

    // The local sort drop-down: "Manual", "Alphabetical", "Alphabetical (folder first)".
    QMenu *localSortMenu() const { return m_localSort; }
    // "Select icons" and "Icons (default)...": the dialog, then the infotree.
    void chooseIcons();
    void chooseDefaultIcons();

    // Applies the "FontL" setting when it holds a font, else the default.
    void applyLeftPanelFont();
    // "Left panel": the font dialog, then the stored font and a rebuild.
    void chooseLeftPanelFont();

    // Edit > Undo, Cut, Copy and Paste while the tree is the active pane:
    // on the open label's text as in any edit field, else on branches.
    bool canRunEdit(Edit edit) const override;
    void runEdit(Edit edit) override;

    // The label editor's hooks (called by the item delegate).
    bool editorKey(QLineEdit *editor, int key, Qt::KeyboardModifiers modifiers);
    void editorCommitted(const QString &text);
    void editorCreated(QLineEdit *editor);
    // Why the label editor cannot take `text` (a character the code page
    // cannot hold); empty when it can.
    QString labelRefusal(const QString &text) const;
    // A typed or pasted character the code page cannot hold was refused.
    void labelRefused(const QString &message);

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void editUndo();
    void editCut();
    void editCopy();
    void editPaste();
    void buildContextMenus();
    void runIconsDialog(const iconrules::DialogSetup &setup);
    void onDocumentUpdate(int hint);
    void onReset();
    void onCurrentItemChanged(const QModelIndex &current);
    void onItemExpandedChanged(const QModelIndex &index, bool expanded);
    void onEditorRequested(const QModelIndex &index);
    void onEditorClosed();
    void requestScrollTo(const QModelIndex &index);
    void syncExpandedFlags();
    void syncCurrent();
    void endDragView();
    QPixmap dragPicture(const QModelIndex &index) const;
    void scheduleColumnFit();
    void fitColumn();
    void onDragTimer();
    void updateRowHeight();

    std::unique_ptr<CInfoTree> m_tree;
    CTreeItemModel *m_model;
    const CCodePage &m_codePage;
    QMenu *m_popup0 = nullptr;
    QMenu *m_popup1 = nullptr;
    QMenu *m_localSort = nullptr;
    QPointer<QLineEdit> m_editor;
    // The bytes of the open label, in step with its field: a byte the code
    // page leaves undefined stays itself while the rest is edited.
    CEditedBytes m_labelEdit;
    QByteArray m_labelBytes;
    QPersistentModelIndex m_scrollTarget;

    // Guards against feeding the core's own changes back to it.
    bool m_syncing = false;
    bool m_openingEditor = false;
    bool m_committing = false;
    bool m_columnFitPending = false;

    // Mouse drag: the press that may start one, its timer, image and cursor.
    QPoint m_pressPos;
    CInfoTree::Handle m_pressItem = CInfoTree::kNone;
    QTimer m_dragTimer;
    QElapsedTimer m_clock;
    QLabel *m_dragImage = nullptr;
    QPoint m_dragCursor;  // viewport coordinates of the last mouse move
};
