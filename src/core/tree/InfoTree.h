#pragma once

#include <QCoreApplication>

#include "format/NoteInfo.h"
#include "tree/BranchClipboard.h"
#include "tree/DragRules.h"
#include "tree/IconRules.h"
#include "tree/TreeDrag.h"
#include "tree/TreeModel.h"
#include "tree/TreeSelection.h"

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

#include <functional>
#include <vector>

class CCodePage;
class CTextMatcher;
class CTorviQuillbookDoc;

// The infotree's operations, headless, done on a CTreeModel it owns. The GUI's
// CLeftView is a thin QTreeView over an adapter of model(); it turns user
// input into the calls below and shows the model.
//
// How the GUI calls it:
// - A new or opened document (hint 5 from the document): onUpdate(5), which
//   runs initialUpdate().
// - A click on an item: model().select(item). The selection protocol (store
//   the old item, load the new one, automatic save, hint 0) runs on the
//   model's notices.
// - The user expands or collapses an item in the view: onItemExpanded(item)
//   or onItemCollapsed(item) (only when the model's flag really changes).
// - Key presses in the tree or its label editor: keyDown(key); true means
//   handled, do not pass it on.
// - A click on the selected item's label: beginLabelEdit(item). The editor
//   closing: endLabelEdit(accepted, text). Paste (Ctrl+V) in the label editor:
//   pasteIntoLabel(clipboard text); false means "paste into the editor as
//   usual, then end the edit with the editor's text".
// - Focus leaving the tree: focusLost().
// - Hint 6 from the editor: onUpdate(6) (other hints are ignored).
// - Context menu: select the row under the cursor, then contextMenuPopup()
//   says which of the two popups; commands go to the functions below.
// - Edit commands: Undo while a label is edited: undo the edit field, then
//   call undo(). Cut/Copy while editing act on the edit field only;
//   otherwise markForCut() / markForCopy().
// - Drag: beginDrag(item, now), dragMove(item under cursor, now) on every
//   mouse move, dragTick(now, cursor, client rect) from one 30 ms timer
//   (it returns the lines to scroll and the item to expand), drop(ctrl, alt)
//   on button up, cancelDrag() on Escape (keyDown does it) or focus loss.
// - Enable rules: canUndo(), canCut(), ...
//
// Behind this front, one class per job: the selection protocol
// (CTreeSelection), the branch clipboard with its undo record
// (CBranchClipboard) and the timing of a drag (CTreeDrag).
//
// Every message goes through the document's IPrompter.
class CInfoTree : public ITreeObserver
{
public:
    using Handle = CTreeModel::Handle;
    static constexpr Handle kNone = CTreeModel::kNone;

    enum StoreMode { kStoreAppend = 0, kStoreUpdate = 1 };
    enum UndoKind {
        kUndoNone = CBranchClipboard::kUndoNone,
        kUndoAdded = CBranchClipboard::kUndoAdded,
        kUndoMarked = CBranchClipboard::kUndoMarked,
        kUndoMoved = CBranchClipboard::kUndoMoved,
        kUndoDeleted = CBranchClipboard::kUndoDeleted,
        kUndoRename = CBranchClipboard::kUndoRename
    };
    enum class Key { Insert, Delete, Enter, Escape };

    // Message texts, exactly as the user sees them.
    static constexpr const char *kMsgNotSaveNew = QT_TRANSLATE_NOOP("CInfoTree", "Not Save: m_new");
    static constexpr const char *kMsgDataNotSaved = QT_TRANSLATE_NOOP("CInfoTree", "The data was not saved!");
    static constexpr const char *kMsgNoSelectionFolder = QT_TRANSLATE_NOOP("CInfoTree", "No selection. Select a folder and try again.");
    static constexpr const char *kMsgNoSelection = QT_TRANSLATE_NOOP("CInfoTree", "No selection.");
    static constexpr const char *kMsgNoSelectionTryAgain = QT_TRANSLATE_NOOP("CInfoTree", "No selection. Try again.");
    static constexpr const char *kMsgNoSelectionCut = QT_TRANSLATE_NOOP("CInfoTree", "No selection. Select a infotree item and try again.!");
    static constexpr const char *kMsgNoSelectionItem = QT_TRANSLATE_NOOP("CInfoTree", "No selection. Select a infotree item and try again.");
    static constexpr const char *kMsgNothingCopied =
        QT_TRANSLATE_NOOP("CInfoTree", "You did not copied any item yet. Please copy or cut an item to paste.");
    static constexpr const char *kMsgDeleteWarning =
        QT_TRANSLATE_NOOP("CInfoTree", "WARNING! This will delete the selected folder and all subfolders. Do you want to continue?");
    static constexpr const char *kMsgLeftFontError = QT_TRANSLATE_NOOP("CInfoTree", "Left Font Error");
    // Our own message for rows that a build could not place (a mend).
    static QString unplacedMessage(int count);

    static constexpr const char *kNewFolderLabel = "New Folder";
    static constexpr const char *kNewNoteLabel = "New Note";

    // Drag timer periods.
    static constexpr int kScrollPeriodMs = dragrules::kScrollPeriodMs;
    static constexpr int kHoverPeriodMs = dragrules::kHoverPeriodMs;

    explicit CInfoTree(CTorviQuillbookDoc &doc);
    ~CInfoTree() override;
    CInfoTree(const CInfoTree &) = delete;
    CInfoTree &operator=(const CInfoTree &) = delete;

    CTreeModel &model() { return m_model; }
    // The document is about to empty its tables (a file being opened) while
    // this tree is still shown: it keeps showing the names it had until it
    // is built again.
    void keepShownNames() { m_model.keepOwnLabels(); }
    const CTreeModel &model() const { return m_model; }
    CTorviQuillbookDoc &document() { return m_doc; }

    // Runs a pending import request (1, 2 or 3) at the root level; set by the
    // GUI, which owns the import dialogs. Called by initialUpdate().
    void setImportRunner(std::function<void(int request)> runner) { m_importRunner = std::move(runner); }

    // ---------------------------------------------------------- tree and binding
    void initialUpdate();                 // view initialisation (the font is the GUI's)
    // Build tree over every row of the tables. Linear; rows that can never
    // be placed are reported once and kept (see unplacedRows()).
    void buildTree();
    int storeItem(Handle item, StoreMode mode);
    void collectOrder();
    // Collect order after only the children of `parent` were reordered (a
    // rename re-sorted their level): rewrites just the stretch of the order
    // list that holds parent's branch. The root level, or a list that does
    // not hold that branch right after the parent, gets the whole walk.
    void collectLevelOrder(Handle parent);
    bool selectByIndex(int index, bool markAnyExpanded = false);
    bool findNextItem(const QByteArray &text, bool caseSensitive);
    // A walk of Find next item over several calls (Replace all): the items
    // shown in the tree are looked up once, by item index (kNone for a
    // deleted or unplaced row), and no call walks past `stopIndex`.
    struct ItemWalk
    {
        std::vector<Handle> handles;
        int stopIndex = -1;  // -1: each call may go all the way round
    };
    ItemWalk beginItemWalk(int stopIndex = -1) const;  // O(items)
    // Find next item with a prepared matcher: from the item after the current
    // one in item-index order, wrapping, up to (not including) the walk's stop
    // index or the current item; selects the first item whose title or text
    // holds the needle and returns its index, -1 when none does.
    int findNextItem(const CTextMatcher &matcher, const ItemWalk &walk);
    // Connect to the document's updateAllViews: hint 5 (New, Open) runs
    // initialUpdate(), hint 6 (title line changed) relabels and re-sorts the
    // level, the tree's own hint 0 and the others are ignored.
    void onUpdate(int hint);
    void focusLost();                     // the tree lost the keyboard focus
    bool keyDown(Key key);                // true: handled, pass it no further
    void onItemExpanded(Handle item);     // the user expanded it
    void onItemCollapsed(Handle item);    // the user collapsed it
    // Left-panel font accepted in the font dialog: writes
    // "FontL" and rebuilds the tree in its current order, keeping the
    // current item. logFont: the 60 LOGFONT bytes.
    void changeLeftPanelFont(const QByteArray &logFont);
    // Rebuilds the tree from the rows of m_arOrder in their order (after
    // storing the working copy and collecting the order): the tree comes back
    // the same, deleted rows stay out, the current item stays selected.
    void rebuildTree();
    // What the user sees of the tree's shape, by places in its pre-order
    // walk (which is the order a file is written in): the selected item and
    // the open folders. No title or text is kept, so it may outlive the
    // notes; given back to the tree built again from the same file, it opens
    // the same folders and selects the same item.
    struct Outline
    {
        qsizetype selected = -1;
        std::vector<qsizetype> open;
    };
    Outline outline() const;
    void restoreOutline(const Outline &outline);
    // Rows kept out of the tree by the last build because their parent link
    // can never be placed; Collect order keeps them at the end of m_arOrder.
    const QList<quint32> &unplacedRows() const { return m_unplaced; }

    // ---------------------------------------------------------- item editing
    void addRootFolder();                 // 32775
    void insertNewNote();                 // 32773, Insert
    Handle addNote(const QByteArray &title, const QByteArray &text, bool asRoot);
    void rename();                        // 32780
    bool beginLabelEdit(Handle item);     // a click on the selected label
    void endLabelEdit(bool accepted, const QByteArray &text = {});
    // The user changed the open label's text: kept for an edit that ends
    // from elsewhere (a save, a command that selects another item).
    void labelTextEdited(const QByteArray &text);
    // Ends an open label edit, accepted with what was typed (before a save
    // or a close).
    void finishLabelEdit() { m_model.finishLabelEdit(); }
    void deleteSelected();                // 32774, Delete
    void expandBranch();                  // 32783
    void expandAll();                     // 32778
    void collapse();                      // 32779
    void toggleCompleteCollapse();        // 32838

    // The split of pasted text into a note title and body.
    struct LabelSplit
    {
        int position = -1;   // the split point; -1: no split
        QByteArray title;
        QByteArray body;
    };
    static LabelSplit splitPastedText(const QByteArray &text);
    // Paste (57637) while a label is edited. True: the edit has been ended
    // with the split title and body. False: paste `clipboardText` into the
    // edit field as usual and end the edit with the field's text.
    bool pasteIntoLabel(const QByteArray &clipboardText);

    // Enable rules, while the tree is the active view.
    bool canUndo() const { return m_clipboard.undoKind() != kUndoNone; }
    bool canCut() const { return m_model.selected() != kNone; }
    bool canCopy() const { return m_model.selected() != kNone; }
    bool canPaste() const { return m_clipboard.undoKind() == kUndoMarked || m_model.isEditing(); }
    bool canDelete() const;
    bool canInsertNote() const { return canDelete(); }
    bool canFindReplace() const { return canDelete(); }
    bool canCollapse() const { return m_bAnyExpanded; }
    bool canExpandAll() const { return m_bCanExpandAll; }
    bool isCompleteCollapseChecked() const;
    // Which popup of the context menu: 1 ("Paste before") when the folder
    // holding the selected item sorts manually, else 0 ("Paste root").
    int contextMenuPopup() const;

    // ---------------------------------------------------------- sorting
    // A local sort command (32820..32822) or the local sort button (32810):
    // sets the sort type of the level holding the selected item and sorts it.
    void localSort(int commandId);
    // "Execute for all folders" (32815): the default sort type for every item
    // and level, the stored root-level type left as it is.
    void executeForAllFolders();

    // ---------------------------------------------------------- icons
    // "Select icons" (32817) and "Icons (default)..." (32836): the GUI opens
    // the dialog with the setup, and on OK hands back the five values and
    // the "Branch" flag.
    iconrules::DialogSetup selectIconsSetup() const;
    iconrules::DialogSetup defaultIconsSetup() const;
    void applyIcons(const iconrules::DialogSetup &setup, const iconrules::IconSet &values, bool branch);

    // ---------------------------------------------------------- branch clipboard and undo
    void markForCut();                    // 32776 (and 57635 outside an edit)
    void markForCopy();                   // 32781 (and 57634 outside an edit)
    // Copy branch. For a cut (isCut()) the branch is moved: the same handles
    // and rows, returned as "the new item". For a copy, new rows are appended;
    // a failed append rolls the copied items back and returns kNone.
    Handle copyBranch(Handle source, Handle parent, CTreeModel::Pos pos) { return m_clipboard.copyBranch(source, parent, pos); }
    void paste() { pasteInto(); }         // 57637 outside a label edit
    void pasteInto() { m_clipboard.pasteInto(); }      // 32777
    void pasteBefore() { m_clipboard.pasteBefore(); }  // 32786
    void undo() { m_clipboard.undo(); }                // 57643
    void forgetRecord() { m_clipboard.forgetRecord(); }
    // Imports: one row and tree item; kNone on a table mismatch. With `info`
    // the item takes its icons and reminder (and is listed for the reminder
    // check) instead of the parent's icons and none.
    Handle appendImportedItem(Handle parent, const QByteArray &title, const QByteArray &text,
                              const CNoteInfo *info = nullptr);
    // The record an import leaves: kind 1 with its folder, so one undo removes it.
    void recordAdded(Handle item);

    // The record, for the GUI and tests.
    int undoKind() const { return m_clipboard.undoKind(); }
    Handle clipItem() const { return m_clipboard.clipItem(); }
    Handle undoParent() const { return m_clipboard.undoParent(); }
    bool isCut() const { return m_clipboard.isCut(); }
    bool clipHasChildren() const { return m_clipboard.clipHasChildren(); }
    const QList<quint32> &deletedRows() const { return m_clipboard.deletedRows(); }
    QByteArray oldLabel() const { return m_clipboard.oldLabel(); }
    bool anyExpanded() const { return m_bAnyExpanded; }

    // ---------------------------------------------------------- drag and drop
    bool beginDrag(Handle item, qint64 nowMs);
    // target: the item under the cursor or kNone
    void dragMove(Handle target, qint64 nowMs) { m_drag.move(target, nowMs); }
    // lines to scroll: < 0 up, > 0 down; columns: < 0 left, > 0 right;
    // expanded: the hover timer expanded this item
    using DragTick = CTreeDrag::Tick;
    // Runs the scroll ticks (every 30 ms since the drag began) and hover ticks
    // (every 2000 ms since the hover timer last started) due by nowMs.
    // cursor and client: screen coordinates; client's right and bottom edges
    // are x + width and y + height (as a Windows RECT).
    DragTick dragTick(qint64 nowMs, QPoint cursor, QRect client) { return m_drag.tick(nowMs, cursor, client); }
    void drop(bool ctrl, bool alt);
    void cancelDrag() { m_drag.cancel(); }
    bool isDragging() const { return m_drag.isDragging(); }
    Handle dropTarget() const { return m_drag.dropTarget(); }
    Handle dropHome() const { return m_drag.dropHome(); }
    bool hoverTimerRunning() const { return m_drag.hoverTimerRunning(); }
    int scrollTicks() const { return m_drag.scrollTicks(); }
    // The scroll rule of one tick: (-1, 0 or 1 column, -1, 0 or 1 line).
    static QPoint autoScrollStep(int tick, QPoint cursor, QRect client) { return CTreeDrag::autoScrollStep(tick, cursor, client); }

    // ---------------------------------------------------------- observer
    void selectionChanging(Handle oldItem, Handle newItem) override;
    void selectionChanged(Handle oldItem, Handle newItem) override;
    void labelEditEnded(Handle item, bool accepted, const QByteArray &text) override;
    // A folder opened or closed by any route (made visible for a selection,
    // too) shows the matching picture.
    void dataChanged(Handle item, int what) override;

private:
    friend class CBranchClipboard;
    friend class CTreeDrag;
    friend class CTreeSelection;

    // Branches bigger than this are inserted under one model reset rather
    // than one row notice per item.
    static constexpr size_t kBulkThreshold = 2000;

    // Sorting and icon choice, through these two only.
    void sortLevel(Handle item, qint32 type = -1);
    void setItemIcon(Handle item, bool expanded);

    void buildFrom(const std::vector<quint32> &sequence);
    void collectWholeOrder();  // Collect order's walk, under a guard already held
    void chooseFirstSelection(int keepIndex);
    void select(Handle item) { m_selection.select(item); }
    void recomputeAnyExpanded();
    void updateViews();
    void markModified();
    void deleteItemCommand(bool fromUndo);
    bool inTableRange(Handle item) const;
    // A new tree item's row; false (reported, the item taken away) when it could not be stored.
    bool storeNewItem(Handle item);
    // The new item becomes the working copy, its label edit opens, and it is the undo record.
    void beginNamingNewItem(Handle item);
    const CNoteInfo *infoOf(Handle item) const;  // null when the item has no valid row
    iconrules::IconSet newRowIcons(Handle parent) const;
    QString toText(const QByteArray &bytes) const;
    // The same with a page made once, for many labels: without a valid page
    // the bytes read as Latin-1, as the tree shows them.
    static QString toText(const CCodePage &page, const QByteArray &bytes);

    // The document's title table, which the tree model shows as its labels.
    class DocTitles : public ITitleStore
    {
    public:
        explicit DocTitles(CTorviQuillbookDoc &doc) : m_doc(doc) {}
        QByteArray title(qint32 row) const override;
        bool setTitle(qint32 row, const QByteArray &title) override;

    private:
        CTorviQuillbookDoc &m_doc;
    };

    CTorviQuillbookDoc &m_doc;
    DocTitles m_titles{m_doc};
    CTreeModel m_model;
    std::function<void(int)> m_importRunner;

    CTreeSelection m_selection{*this};
    CBranchClipboard m_clipboard{*this};
    CTreeDrag m_drag{*this};

    bool m_bAnyExpanded = false;
    bool m_bCanExpandAll = false;

    QList<quint32> m_unplaced;
    QList<quint32> m_reportedUnplaced;
};
