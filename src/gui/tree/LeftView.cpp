#include "tree/LeftView.h"

#include "app/FontConversion.h"
#include "doc/TorviQuillbookDoc.h"
#include "settings/Settings.h"
#include "text/CodePage.h"
#include "tree/LabelDelegate.h"
#include "tree/SelectIconsDlg.h"
#include "tree/SortRules.h"
#include "tree/TreeItemModel.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

namespace {

using Handle = CInfoTree::Handle;

} // namespace

void CLeftView::labelRefused(const QString &message)
{
    emit m_tree->document().statusMessage(message);
}

CLeftView::CLeftView(CTorviQuillbookDoc &doc, const CCodePage &codePage, QWidget *parent)
    : QTreeView(parent), m_tree(std::make_unique<CInfoTree>(doc)), m_codePage(codePage), m_labelEdit(codePage)
{
    setObjectName(QStringLiteral("leftView"));
    m_model = new CTreeItemModel(m_tree->model(), codePage, this);
    setModel(m_model);
    setItemDelegate(new CLabelDelegate(this));
    setHeaderHidden(true);
    // The one column is as wide as its widest label, at least the pane's
    // width: a long label deep down scrolls sideways instead of being cut.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setRootIsDecorated(true);  // lines and buttons at the root as well
    setUniformRowHeights(true);
    setIconSize(QSize(16, 16));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setExpandsOnDoubleClick(true);
    setDragEnabled(false);  // items are dragged by our own mouse handling, inside the tree only
    setAllColumnsShowFocus(true);
    updateRowHeight();

    connect(m_model, &CTreeItemModel::resetDone, this, &CLeftView::onReset);
    connect(m_model, &CTreeItemModel::currentItemChanged, this, &CLeftView::onCurrentItemChanged);
    connect(m_model, &CTreeItemModel::itemExpandedChanged, this, &CLeftView::onItemExpandedChanged);
    connect(m_model, &CTreeItemModel::scrollToRequested, this, &CLeftView::requestScrollTo);
    connect(m_model, &CTreeItemModel::editorRequested, this, &CLeftView::onEditorRequested);
    connect(m_model, &CTreeItemModel::editorClosed, this, &CLeftView::onEditorClosed);
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex &index) {
        if (!m_syncing)
            m_tree->onItemExpanded(handleAt(index));
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex &index) {
        if (!m_syncing)
            m_tree->onItemCollapsed(handleAt(index));
    });
    connect(&doc, &CTorviQuillbookDoc::updateAllViews, this, &CLeftView::onDocumentUpdate);
    connect(&doc, &CTorviQuillbookDoc::finishEditsRequested, this, [this] { m_tree->finishLabelEdit(); });
    // The names stay in sight behind a password question while a file opens.
    connect(&doc, &CTorviQuillbookDoc::contentsClearing, this, [this] { m_tree->keepShownNames(); });

    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_model, signal, this, &CLeftView::scheduleColumnFit);
    connect(m_model, &QAbstractItemModel::dataChanged, this, &CLeftView::scheduleColumnFit);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, &CLeftView::scheduleColumnFit);
    connect(m_model, &QAbstractItemModel::modelReset, this, &CLeftView::scheduleColumnFit);
    connect(m_model, &QAbstractItemModel::rowsMoved, this, &CLeftView::scheduleColumnFit);
    connect(this, &QTreeView::expanded, this, &CLeftView::scheduleColumnFit);
    connect(this, &QTreeView::collapsed, this, &CLeftView::scheduleColumnFit);

    m_dragTimer.setInterval(CInfoTree::kScrollPeriodMs);
    connect(&m_dragTimer, &QTimer::timeout, this, &CLeftView::onDragTimer);
    m_clock.start();
    buildContextMenus();
}

CLeftView::~CLeftView()
{
    // The adapter observes the infotree's model: it goes before the model does.
    setModel(nullptr);
    delete m_model;
}

QModelIndex CLeftView::indexOf(Handle item) const
{
    return m_model->indexOf(item);
}

Handle CLeftView::handleAt(const QModelIndex &index) const
{
    return CTreeItemModel::handleOf(index);
}

// ---------------------------------------------------------------- document and model notices

void CLeftView::onDocumentUpdate(int hint)
{
    if (hint == CTorviQuillbookDoc::kHintRefreshAll)
        applyLeftPanelFont();
    m_tree->onUpdate(hint);
}

void CLeftView::onReset()
{
    // A reset forgets expanded rows, the current row and any editor: read them again.
    syncExpandedFlags();
    syncCurrent();
    if (m_tree->model().isEditing())
        onEditorRequested(indexOf(m_tree->model().editingItem()));
}

void CLeftView::syncExpandedFlags()
{
    const CTreeModel &tree = m_tree->model();
    const bool wasSyncing = std::exchange(m_syncing, true);
    // With a layout pending, QTreeView only records each expanded row; the
    // one layout then runs once, so this stays linear.
    scheduleDelayedItemsLayout();
    for (Handle h = tree.nextPreOrder(CTreeModel::kNone); h != CTreeModel::kNone; h = tree.nextPreOrder(h)) {
        if (tree.isExpanded(h) && tree.hasChildren(h))
            setExpanded(indexOf(h), true);
    }
    m_syncing = wasSyncing;
}

void CLeftView::syncCurrent()
{
    onCurrentItemChanged(indexOf(m_tree->model().selected()));
}

void CLeftView::onCurrentItemChanged(const QModelIndex &current)
{
    if (m_tree->model().inReset())
        return;  // read again at the end of the reset
    const bool wasSyncing = std::exchange(m_syncing, true);
    if (current.isValid())
        selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else
        selectionModel()->clear();
    m_syncing = wasSyncing;
}

void CLeftView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTreeView::currentChanged(current, previous);
    // The user moved the current row (click or arrow keys): the infotree's
    // selection protocol runs on it. A row that vanishes selects nothing here;
    // the model has moved its own selection before removing rows.
    if (!m_syncing && current.isValid() && !m_tree->model().inReset())
        m_tree->model().select(handleAt(current));
}

void CLeftView::onItemExpandedChanged(const QModelIndex &index, bool expanded)
{
    if (m_tree->model().inReset() || isExpanded(index) == expanded)
        return;
    const bool wasSyncing = std::exchange(m_syncing, true);
    // Expand all and Collapse flag thousands of items in a row: let them
    // all wait for one layout instead of one layout each.
    scheduleDelayedItemsLayout();
    setExpanded(index, expanded);
    m_syncing = wasSyncing;
}

void CLeftView::requestScrollTo(const QModelIndex &index)
{
    // Coalesced: a walk that selects item after item scrolls once, at the end.
    const bool pending = m_scrollTarget.isValid();
    m_scrollTarget = index;
    if (!pending) {
        QMetaObject::invokeMethod(this, [this] {
            if (m_scrollTarget.isValid())
                scrollTo(m_scrollTarget);
            m_scrollTarget = QPersistentModelIndex();
        }, Qt::QueuedConnection);
    }
}

// ---------------------------------------------------------------- label editing

bool CLeftView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (m_openingEditor)
        return QTreeView::edit(index, trigger, event);
    // The user asks for an edit (a click on the selected label, F2): the
    // infotree opens it, and its notice opens the editor.
    if (!(trigger & (SelectedClicked | EditKeyPressed)) || !index.isValid() || m_tree->model().isEditing())
        return false;
    // F2 is the desktop's Rename key: the Rename command, which Undo can take back.
    if (trigger == EditKeyPressed && handleAt(index) == m_tree->model().selected()) {
        m_tree->rename();
        return m_editor != nullptr;
    }
    return m_tree->beginLabelEdit(handleAt(index)) && m_editor;
}

void CLeftView::onEditorRequested(const QModelIndex &index)
{
    if (!index.isValid() || m_tree->model().inReset())
        return;
    if (m_editor)
        onEditorClosed();
    const bool wasOpening = std::exchange(m_openingEditor, true);
    scrollTo(index);
    edit(index, AllEditTriggers, nullptr);
    m_openingEditor = wasOpening;
}

QString CLeftView::labelRefusal(const QString &text) const
{
    CEditedBytes trial = m_labelEdit;
    QString lost;
    trial.bytesFor(m_labelBytes, text, &lost);
    return lost.isEmpty() ? QString() : m_codePage.unmappableMessage(lost, 0);
}

void CLeftView::editorCreated(QLineEdit *editor)
{
    m_editor = editor;
    m_labelEdit.forget();
    m_labelBytes = m_tree->model().editText();
    connect(editor, &QLineEdit::textChanged, this, [this, editor](const QString &text) {
        if (editor != m_editor)
            return;
        // The validator refuses what the code page cannot hold; a change
        // that passes by it (Undo) keeps such a character as "?", and says so.
        QString lost;
        m_labelBytes = m_labelEdit.bytesFor(m_labelBytes, text, &lost);
        if (!lost.isEmpty())
            labelRefused(m_codePage.unmappableMessage(lost, 0));
        m_tree->labelTextEdited(m_labelBytes);
    });
}

void CLeftView::onEditorClosed()
{
    // The infotree ended the edit (a paste split, Insert, a new edit): the
    // editor goes without its text being taken.
    if (m_committing || !m_editor)
        return;
    QWidget *editor = m_editor;
    m_editor = nullptr;
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void CLeftView::editorCommitted(const QString &text)
{
    if (!m_tree->model().isEditing())
        return;
    const bool wasCommitting = std::exchange(m_committing, true);
    QString lost;
    m_labelBytes = m_labelEdit.bytesFor(m_labelBytes, text, &lost);
    m_tree->endLabelEdit(true, m_labelBytes);
    m_committing = wasCommitting;
}

void CLeftView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Closed without a commit (Escape never gets here, the infotree keeps it):
    // the edit is cancelled.
    if (editor == m_editor && m_tree->model().isEditing()) {
        m_editor = nullptr;
        m_tree->endLabelEdit(false);
    }
    if (editor == m_editor)
        m_editor = nullptr;
    QTreeView::closeEditor(editor, hint);
}

bool CLeftView::editorKey(QLineEdit *editor, int key, Qt::KeyboardModifiers modifiers)
{
    Q_UNUSED(editor)
    const Qt::KeyboardModifiers mods = modifiers & ~Qt::KeypadModifier;
    const bool paste = (key == Qt::Key_V && mods == Qt::ControlModifier)
        || (key == Qt::Key_Insert && mods == Qt::ShiftModifier);
    if (paste) {
        editPaste();
        return true;
    }
    if (key == Qt::Key_Z && mods == Qt::ControlModifier) {
        editUndo();
        return true;
    }
    if (mods != Qt::NoModifier)
        return false;
    if (key == Qt::Key_Insert)
        return m_tree->keyDown(CInfoTree::Key::Insert);
    if (key == Qt::Key_Escape)
        return m_tree->keyDown(CInfoTree::Key::Escape);  // the edit stays open
    return false;
}

// ---------------------------------------------------------------- Edit commands

void CLeftView::editUndo()
{
    // Undo while a label is edited: the edit field first, then the order.
    if (m_editor)
        m_editor->undo();
    if (m_editor || m_tree->canUndo())
        m_tree->undo();
}

void CLeftView::editCut()
{
    if (m_editor)
        m_editor->cut();
    else if (m_tree->canCut())
        m_tree->markForCut();
}

void CLeftView::editCopy()
{
    if (m_editor)
        m_editor->copy();
    else if (m_tree->canCopy())
        m_tree->markForCopy();
}

void CLeftView::editPaste()
{
    if (!m_editor) {
        if (m_tree->canPaste())
            m_tree->paste();
        return;
    }
    const QString clip = QApplication::clipboard()->text();
    // Text the code page cannot hold is no usable text for a split; the
    // editor's own paste then refuses it.
    const QByteArray bytes = m_codePage.fromUnicode(clip).value_or(QByteArray());
    if (!m_tree->pasteIntoLabel(bytes)) {
        m_editor->paste();
        editorCommitted(m_editor->text());
    }
    if (m_editor)
        onEditorClosed();
    setFocus();
}

bool CLeftView::canRunEdit(Edit edit) const
{
    switch (edit) {
    case Edit::Undo:
        return m_editor ? m_editor->isUndoAvailable() : m_tree->canUndo();
    case Edit::Cut:
        return m_editor ? m_editor->hasSelectedText() : m_tree->canCut();
    case Edit::Copy:
        return m_editor ? m_editor->hasSelectedText() : m_tree->canCopy();
    case Edit::Paste:
        return m_editor ? !QApplication::clipboard()->text().isEmpty() : m_tree->canPaste();
    }
    return false;
}

void CLeftView::runEdit(Edit edit)
{
    switch (edit) {
    case Edit::Undo:
        editUndo();
        break;
    case Edit::Cut:
        editCut();
        break;
    case Edit::Copy:
        editCopy();
        break;
    case Edit::Paste:
        editPaste();
        break;
    }
}

// ---------------------------------------------------------------- keys, focus, menus

void CLeftView::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    CInfoTree &t = *m_tree;
    bool handled = false;
    if (mods == Qt::NoModifier) {
        switch (key) {
        case Qt::Key_Insert:
            handled = t.keyDown(CInfoTree::Key::Insert);
            break;
        case Qt::Key_Delete:
            handled = t.keyDown(CInfoTree::Key::Delete);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            handled = t.keyDown(CInfoTree::Key::Enter);
            break;
        case Qt::Key_Escape:
            handled = t.keyDown(CInfoTree::Key::Escape);
            endDragView();
            break;
        default:
            break;
        }
    } else if (mods == Qt::AltModifier && key == Qt::Key_Insert) {
        t.addRootFolder();
        handled = true;
    } else if (mods == Qt::AltModifier && key == Qt::Key_V) {
        t.pasteBefore();
        handled = true;
    } else if ((mods == Qt::ControlModifier && key == Qt::Key_X) || (mods == Qt::ShiftModifier && key == Qt::Key_Delete)) {
        editCut();
        handled = true;
    } else if ((mods == Qt::ControlModifier && key == Qt::Key_C) || (mods == Qt::ControlModifier && key == Qt::Key_Insert)) {
        editCopy();
        handled = true;
    } else if ((mods == Qt::ControlModifier && key == Qt::Key_V) || (mods == Qt::ShiftModifier && key == Qt::Key_Insert)) {
        editPaste();
        handled = true;
    } else if ((mods == Qt::ControlModifier && key == Qt::Key_Z) || (mods == Qt::AltModifier && key == Qt::Key_Backspace)) {
        editUndo();
        handled = true;
    }
    if (handled)
        event->accept();
    else
        QTreeView::keyPressEvent(event);
}

void CLeftView::focusOutEvent(QFocusEvent *event)
{
    QTreeView::focusOutEvent(event);
    // A context menu or the tree's own label editor taking the keys is no
    // loss of focus for the tree.
    if (event->reason() == Qt::PopupFocusReason)
        return;
    QWidget *now = QApplication::focusWidget();
    if (now && isAncestorOf(now))
        return;
    m_tree->focusLost();
    endDragView();
}

void CLeftView::buildContextMenus()
{
    // One table, two popups that differ in the paste-before item only.
    struct Entry
    {
        const char *text;
        std::function<bool(CInfoTree &)> enabled;  // a disabled command is ignored
        std::function<void(CInfoTree &)> run;
    };
    auto always = [](CInfoTree &) { return true; };
    const std::vector<Entry> entries{
        {QT_TR_NOOP("Undo\tCtrl+Z"), [](CInfoTree &t) { return t.canUndo(); }, [](CInfoTree &t) { t.undo(); }},
        {nullptr, {}, {}},
        {QT_TR_NOOP("Add a root folder\tAlt+Ins"), always, [](CInfoTree &t) { t.addRootFolder(); }},
        {QT_TR_NOOP("Insert new note\tIns"), [](CInfoTree &t) { return t.canInsertNote(); }, [](CInfoTree &t) { t.insertNewNote(); }},
        {nullptr, {}, {}},
        {QT_TR_NOOP("Cut\tCtrl+X"), always, [](CInfoTree &t) { t.markForCut(); }},
        {QT_TR_NOOP("Copy\tCtrl+C"), always, [](CInfoTree &t) { t.markForCopy(); }},
        {QT_TR_NOOP("Paste into\tCtrl+V"), always, [](CInfoTree &t) { t.pasteInto(); }},
        {"", always, [](CInfoTree &t) { t.pasteBefore(); }},
        {nullptr, {}, {}},
        {QT_TR_NOOP("Rename"), always, [](CInfoTree &t) { t.rename(); }},
        {nullptr, {}, {}},
        {QT_TR_NOOP("Expand branch"), always, [](CInfoTree &t) { t.expandBranch(); }},
        {QT_TR_NOOP("Expand all "), [](CInfoTree &t) { return t.canExpandAll(); }, [](CInfoTree &t) { t.expandAll(); }},
        {QT_TR_NOOP("Collapse"), [](CInfoTree &t) { return t.canCollapse(); }, [](CInfoTree &t) { t.collapse(); }},
        {nullptr, {}, {}},
        {QT_TR_NOOP("Delete\tDel"), [](CInfoTree &t) { return t.canDelete(); }, [](CInfoTree &t) { t.deleteSelected(); }},
    };
    for (int popup = 0; popup < 2; ++popup) {
        auto *menu = new QMenu(this);
        menu->setObjectName(QStringLiteral("treePopup%1").arg(popup));
        for (const Entry &e : entries) {
            if (!e.text) {
                menu->addSeparator();
                continue;
            }
            QString text = *e.text ? tr(e.text) : QString();
            if (text.isEmpty())
                text = popup == 1 ? tr("Paste before\t Alt+V") : tr("Paste root\t Alt+V");
            QAction *a = menu->addAction(text);
            connect(a, &QAction::triggered, this, [this, enabled = e.enabled, run = e.run] {
                if (enabled(*m_tree))
                    run(*m_tree);
            });
        }
        (popup == 1 ? m_popup1 : m_popup0) = menu;
    }

    m_localSort = new QMenu(this);
    m_localSort->setObjectName(QStringLiteral("localSortMenu"));
    const std::pair<const char *, int> localSorts[] = {
        {QT_TR_NOOP("Manual"), sortrules::kCmdLocalManual},
        {QT_TR_NOOP("Alphabetical"), sortrules::kCmdLocalAlphabetical},
        {QT_TR_NOOP("Alphabetical (folder first)"), sortrules::kCmdLocalFolderFirst}};
    for (const auto &[text, command] : localSorts) {
        connect(m_localSort->addAction(tr(text)), &QAction::triggered, this,
                [this, command = command] { m_tree->localSort(command); });
    }
}

void CLeftView::chooseIcons()
{
    runIconsDialog(m_tree->selectIconsSetup());
}

void CLeftView::chooseDefaultIcons()
{
    runIconsDialog(m_tree->defaultIconsSetup());
}

void CLeftView::runIconsDialog(const iconrules::DialogSetup &setup)
{
    CSelectIconsDlg dlg(setup, this);
    if (dlg.exec() == QDialog::Accepted)
        m_tree->applyIcons(setup, dlg.values(), dlg.branch());
}

void CLeftView::contextMenuEvent(QContextMenuEvent *event)
{
    // The row under the cursor at any x becomes the selected item.
    const QModelIndex row = indexAt(QPoint(0, event->pos().y()));
    if (row.isValid())
        m_tree->model().select(handleAt(row));
    contextMenu(m_tree->contextMenuPopup())->popup(event->globalPos());
    event->accept();
}

// ---------------------------------------------------------------- drag and drop

void CLeftView::mousePressEvent(QMouseEvent *event)
{
    if (m_tree->isDragging())
        return;
    m_pressItem = CInfoTree::kNone;
    if (event->button() == Qt::LeftButton) {
        m_pressPos = event->position().toPoint();
        m_pressItem = handleAt(indexAt(m_pressPos));
    }
    QTreeView::mousePressEvent(event);
}

void CLeftView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (!m_tree->isDragging()) {
        if (!(event->buttons() & Qt::LeftButton) || m_pressItem == CInfoTree::kNone
            || (pos - m_pressPos).manhattanLength() < QApplication::startDragDistance()
            || m_tree->model().isEditing()) {
            QTreeView::mouseMoveEvent(event);
            return;
        }
        if (!m_tree->beginDrag(m_pressItem, m_clock.elapsed()))
            return;
        m_dragImage = new QLabel(viewport());
        m_dragImage->setObjectName(QStringLiteral("dragImage"));
        m_dragImage->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_dragImage->setPixmap(dragPicture(indexOf(m_pressItem)));
        m_dragImage->adjustSize();
        m_dragImage->show();
        m_dragTimer.start();
    }
    m_dragCursor = pos;
    // Beside the cursor, not over it: the row under the cursor stays in sight.
    m_dragImage->move(pos + QPoint(kDragImageOffset, -m_dragImage->height() / 2));
    m_tree->dragMove(handleAt(indexAt(pos)), m_clock.elapsed());
    event->accept();
}

void CLeftView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_tree->isDragging()) {
        QTreeView::mouseReleaseEvent(event);
        return;
    }
    endDragView();
    m_pressItem = CInfoTree::kNone;
    // The press that began the drag is over: the view's own click handling
    // starts afresh with the next press.
    setState(NoState);
    event->accept();
    // Let go outside the tree: the drag is given up. On the tree's empty
    // area it drops to the end of the root level.
    if (!viewport()->rect().contains(event->position().toPoint())) {
        m_tree->cancelDrag();
        return;
    }
    // The keys at the drop decide: Ctrl copies, Alt puts it before the target.
    m_tree->drop(event->modifiers().testFlag(Qt::ControlModifier), event->modifiers().testFlag(Qt::AltModifier));
}

void CLeftView::onDragTimer()
{
    if (!m_tree->isDragging()) {
        endDragView();
        return;
    }
    const QRect client(viewport()->mapToGlobal(QPoint(0, 0)), viewport()->size());
    const CInfoTree::DragTick tick = m_tree->dragTick(m_clock.elapsed(), viewport()->mapToGlobal(m_dragCursor), client);
    for (int i = 0; i < qAbs(tick.lines); ++i)
        verticalScrollBar()->triggerAction(tick.lines < 0 ? QAbstractSlider::SliderSingleStepSub
                                                          : QAbstractSlider::SliderSingleStepAdd);
    for (int i = 0; i < qAbs(tick.columns); ++i)
        horizontalScrollBar()->triggerAction(tick.columns < 0 ? QAbstractSlider::SliderSingleStepSub
                                                              : QAbstractSlider::SliderSingleStepAdd);
}

QPixmap CLeftView::dragPicture(const QModelIndex &index) const
{
    // The item's icon and label, small and faint, so that what lies under
    // it can still be read.
    const QFontMetrics metrics(font());
    const QString label = metrics.elidedText(index.data().toString(), Qt::ElideRight, kDragLabelWidth);
    const int iconSize = 16;
    const QSize size(iconSize + 4 + metrics.horizontalAdvance(label) + 2, qMax(iconSize, metrics.height()) + 2);
    const qreal dpr = devicePixelRatioF();
    QPixmap picture(size * dpr);
    picture.setDevicePixelRatio(dpr);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setOpacity(0.6);
    index.data(Qt::DecorationRole).value<QIcon>().paint(&painter, QRect(0, (size.height() - iconSize) / 2, iconSize, iconSize));
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QRect(iconSize + 4, 0, size.width() - iconSize - 4, size.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     label);
    return picture;
}

void CLeftView::endDragView()
{
    // The view's side of a drag that ended (drop, Escape, focus loss).
    m_dragTimer.stop();
    delete m_dragImage;
    m_dragImage = nullptr;
}

// ---------------------------------------------------------------- width of the labels

void CLeftView::scheduleColumnFit()
{
    // Many changes come in a row (a build, Expand all): one fit after them.
    if (m_columnFitPending)
        return;
    m_columnFitPending = true;
    QMetaObject::invokeMethod(this, [this] {
        m_columnFitPending = false;
        fitColumn();
    }, Qt::QueuedConnection);
}

void CLeftView::fitColumn()
{
    // Qt measures the rows in sight and a bounded number around them, so
    // this stays cheap in a tree of any size.
    const int wanted = qMax(viewport()->width(), sizeHintForColumn(0));
    if (header()->sectionSize(0) != wanted)
        header()->resizeSection(0, wanted);
}

void CLeftView::resizeEvent(QResizeEvent *event)
{
    QTreeView::resizeEvent(event);
    scheduleColumnFit();
}

void CLeftView::scrollContentsBy(int dx, int dy)
{
    QTreeView::scrollContentsBy(dx, dy);
    // Rows that come into sight may be wider than those measured before.
    if (dy != 0)
        scheduleColumnFit();
}

// ---------------------------------------------------------------- lines and buttons

void CLeftView::drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const
{
    // Dotted lines joining every item to its parent and siblings, roots
    // included, and a boxed plus or minus on items with children: the same
    // picture in every widget style.
    const CTreeModel &tree = m_tree->model();
    const Handle item = handleAt(index);
    const int ind = indentation();
    const int depth = tree.depth(item);
    const int midY = rect.top() + rect.height() / 2;
    const int x = rect.left() + depth * ind + ind / 2;

    painter->save();
    QPen dotted(palette().color(QPalette::Dark));
    dotted.setStyle(Qt::DotLine);
    painter->setPen(dotted);
    const bool above = tree.parent(item) != CTreeModel::kNone || tree.prevSibling(item) != CTreeModel::kNone;
    const bool below = tree.nextSibling(item) != CTreeModel::kNone;
    painter->drawLine(x, above ? rect.top() : midY, x, below ? rect.bottom() : midY);
    painter->drawLine(x, midY, rect.left() + (depth + 1) * ind - 2, midY);
    Handle ancestor = tree.parent(item);
    for (int level = depth - 1; level >= 0; --level, ancestor = tree.parent(ancestor)) {
        if (tree.nextSibling(ancestor) != CTreeModel::kNone) {
            const int ax = rect.left() + level * ind + ind / 2;
            painter->drawLine(ax, rect.top(), ax, rect.bottom());
        }
    }
    if (tree.hasChildren(item)) {
        const QRect box(x - 4, midY - 4, 8, 8);
        painter->fillRect(box, palette().color(QPalette::Base));
        painter->setPen(palette().color(QPalette::Dark));
        painter->drawRect(box);
        painter->setPen(palette().color(QPalette::Text));
        painter->drawLine(x - 2, midY, x + 2, midY);
        if (!isExpanded(index))
            painter->drawLine(x, midY - 2, x, midY + 2);
    }
    painter->restore();
}

// ---------------------------------------------------------------- font

void CLeftView::updateRowHeight()
{
    // 18 pixels, or what a larger chosen font needs to be read whole.
    auto *delegate = static_cast<CLabelDelegate *>(itemDelegate());
    delegate->rowHeight = qMax(kItemHeight, fontMetrics().height() + 2);
    scheduleDelayedItemsLayout();
}

void CLeftView::applyLeftPanelFont()
{
    const std::optional<CLogFont> stored = CLogFont::fromBytes(m_tree->document().settings().bytes(CSettings::FontL));
    setFont(stored ? fontconv::toQFont(*stored, m_codePage) : QFont());
    updateRowHeight();
}

void CLeftView::chooseLeftPanelFont()
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font(), this, QString(), QFontDialog::DontUseNativeDialog);
    if (!ok)
        return;
    const CLogFont base = CLogFont::fromBytes(m_tree->document().settings().bytes(CSettings::FontL)).value_or(CLogFont{});
    m_tree->changeLeftPanelFont(fontconv::toLogFont(chosen, m_codePage, base).toBytes());
    applyLeftPanelFont();
}
