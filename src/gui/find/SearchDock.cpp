#include "find/SearchDock.h"
#include <QCoreApplication>

#include "doc/TorviQuillbookDoc.h"
#include "editor/EditorNoteText.h"
#include "editor/TorviQuillbookView.h"
#include "find/SearchResultDelegate.h"
#include "find/SearchResultsModel.h"
#include "text/CodePage.h"
#include "tree/LeftView.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QVBoxLayout>

#include <utility>

CSearchDock::CSearchDock(CLeftView &tree, CTorviQuillbookView &note, const CCodePage &codePage, QWidget *parent)
    : QDockWidget(tr("Search"), parent), m_tree(tree), m_note(note),
      m_doc(tree.infoTree().document()), m_codePage(codePage)
{
    setObjectName(QStringLiteral("searchDock"));
    auto *body = new QWidget(this);
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    m_field = new QLineEdit(body);
    m_field->setObjectName(QStringLiteral("searchField"));
    m_field->setPlaceholderText(tr("Search all notes"));
    m_field->setAccessibleName(tr("Search"));
    m_field->setClearButtonEnabled(true);
    layout->addWidget(m_field);
    auto *options = new QHBoxLayout;
    m_case = new QCheckBox(tr("&Case sensitive"), body);
    m_case->setObjectName(QStringLiteral("searchCaseSensitive"));
    m_titlesOnly = new QCheckBox(tr("&Titles only"), body);
    m_titlesOnly->setObjectName(QStringLiteral("searchTitlesOnly"));
    options->addWidget(m_case);
    options->addWidget(m_titlesOnly);
    options->addStretch(1);
    layout->addLayout(options);
    m_model = new CSearchResultsModel(tree.infoTree(), codePage, this);
    m_list = new QListView(body);
    m_list->setObjectName(QStringLiteral("searchResults"));
    m_list->setModel(m_model);
    m_list->setItemDelegate(new CSearchResultDelegate(m_list));
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(m_list, 1);
    m_status = new QLabel(body);
    m_status->setObjectName(QStringLiteral("searchStatus"));
    layout->addWidget(m_status);
    setWidget(body);

    m_pause.setSingleShot(true);
    m_pause.setInterval(kPauseMs);
    connect(&m_pause, &QTimer::timeout, this, &CSearchDock::searchNow);
    connect(m_field, &QLineEdit::textChanged, this, &CSearchDock::restart);
    connect(m_case, &QCheckBox::toggled, this, &CSearchDock::searchNow);
    connect(m_titlesOnly, &QCheckBox::toggled, this, &CSearchDock::searchNow);
    connect(&m_runner, &CSearchRunner::hitsFound, this, &CSearchDock::onHits);
    connect(&m_runner, &CSearchRunner::finished, this, &CSearchDock::onFinished);
    connect(m_list, &QListView::doubleClicked, this, [this](const QModelIndex &i) { activateRow(i.row()); });
    m_field->installEventFilter(this);
    m_list->installEventFilter(this);

    // The text or the tree changing under a running search: search again.
    // Showing another item changes the pane's text too; only an edit of the
    // same item counts.
    m_shownItem = m_doc.m_nCurItem;
    connect(&m_note, &QPlainTextEdit::textChanged, this, [this] {
        const bool edited = m_doc.m_nCurItem == m_shownItem;
        m_shownItem = m_doc.m_nCurItem;
        if (edited)
            notesChanged();
    });
    connect(m_model, &CSearchResultsModel::treeChanged, this, &CSearchDock::notesChanged);
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible && std::exchange(m_stale, false))
            notesChanged();
    });
    // A new or opened document: the old rows mean nothing in it.
    connect(&m_doc, &CTorviQuillbookDoc::updateAllViews, this, [this](int hint) {
        if (hint != CTorviQuillbookDoc::kHintRefreshAll)
            return;
        m_runner.cancel();
        m_model->clear();
        m_status->clear();
        if (!m_field->text().isEmpty())
            m_pause.start();
    });
}

CSearchDock::~CSearchDock() = default;

void CSearchDock::setPaneActivation(std::function<void()> activateEditor, std::function<void()> activateTree)
{
    m_activateEditor = std::move(activateEditor);
    m_activateTree = std::move(activateTree);
}

void CSearchDock::openSearch()
{
    show();
    raise();
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
}

void CSearchDock::forget()
{
    m_field->clear();
    m_pause.stop();
    m_runner.cancel();
    m_runner.waitForIdle();
    m_takeFirst = false;
    m_keepItem = -1;
    m_stale = false;
    m_model->clear();
    m_status->clear();
}

void CSearchDock::restart()
{
    m_takeFirst = false;
    m_keepItem = -1;
    m_runner.cancel();
    m_pause.start();
}

void CSearchDock::notesChanged()
{
    if (m_field->text().isEmpty())
        return;
    if (!isVisible()) {
        m_stale = true;
        return;
    }
    const QModelIndex current = m_list->currentIndex();
    const int keep = current.isValid() ? int(m_model->hit(current.row()).item) : m_keepItem;
    const bool takeFirst = m_takeFirst;
    restart();
    m_takeFirst = takeFirst;
    m_keepItem = keep;
}

void CSearchDock::searchNow()
{
    m_pause.stop();
    m_runner.cancel();
    m_stale = false;
    const QString text = m_field->text();
    const bool titlesOnly = m_titlesOnly->isChecked();
    if (text.isEmpty()) {
        m_model->clear();
        m_status->clear();
        return;
    }
    const std::optional<QByteArray> needle =
        m_codePage.isValid() ? m_codePage.fromUnicode(text) : std::optional<QByteArray>(text.toLatin1());
    if (!needle) {
        m_model->clear();
        m_status->setText(QCoreApplication::translate("notesearch", notesearch::kUnmappable).arg(m_codePage.name(), text));
        return;
    }
    const CTextMatcher matcher(*needle, m_case->isChecked(), m_codePage);
    CSearchSnapshot snapshot = CSearchSnapshot::of(m_doc, m_tree.infoTree());
    m_model->reset(snapshot, matcher, titlesOnly);
    m_status->setText(QCoreApplication::translate("notesearch", notesearch::kSearching));
    m_runner.start(std::move(snapshot), matcher, titlesOnly);
}

void CSearchDock::onHits(const std::vector<CSearchHit> &hits)
{
    const int before = m_model->rowCount();
    m_model->append(hits);
    if (before == 0 && !m_list->currentIndex().isValid())
        m_list->setCurrentIndex(m_model->index(0));
    // A refresh keeps the row the user was on current.
    for (size_t i = 0; m_keepItem >= 0 && i < hits.size(); ++i) {
        if (int(hits[i].item) == m_keepItem) {
            m_list->setCurrentIndex(m_model->index(before + int(i)));
            m_keepItem = -1;
        }
    }
    if (m_takeFirst) {
        m_takeFirst = false;
        activateRow(0);
    }
}

void CSearchDock::onFinished(qsizetype count, qint64 ms)
{
    m_takeFirst = false;  // nothing came: Enter has nothing to take
    m_keepItem = -1;
    m_status->setText(notesearch::matchCountText(count, ms));
}

bool CSearchDock::activateRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return false;
    const CSearchHit hit = m_model->hit(row);
    if (!m_tree.infoTree().selectByIndex(int(hit.item))) {
        m_status->setText(tr(kGone));
        return false;
    }
    if (m_activateEditor)
        m_activateEditor();
    else
        m_note.setFocus(Qt::OtherFocusReason);
    selectHitInPane(hit);
    return true;
}

void CSearchDock::selectHitInPane(const CSearchHit &hit)
{
    const std::optional<CTextMatcher> &matcher = m_model->matcher();
    if (!matcher)
        return;
    // Found again in the pane as it is now: the note may have changed since
    // the search read it.
    CEditorNoteText pane(m_note, m_codePage);
    const QByteArray text = pane.text();
    const noteblock::Layout layout = m_note.paneLayout();
    qsizetype at = -1;
    if (hit.inTitle()) {
        at = matcher->indexIn(text);
        if (at >= layout.titleEnd)
            at = -1;
    }
    if (at < 0)
        at = matcher->indexIn(text, layout.bodyStart);
    if (at >= 0)
        pane.setSelection(at, at + matcher->needle().size());
}

bool CSearchDock::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDockWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    const auto toTree = [this] {
        if (m_activateTree)
            m_activateTree();
        else
            m_tree.setFocus(Qt::OtherFocusReason);
    };
    if (watched == m_field) {
        switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_pause.isActive()) {
                // The rows shown are those of the text before the last
                // change: the first result of this one, once it comes.
                searchNow();
                m_takeFirst = m_runner.isRunning();
            } else if (m_runner.isRunning() && m_model->rowCount() == 0) {
                m_takeFirst = true;
            } else {
                activateRow(0);
            }
            return true;
        case Qt::Key_Down:
            if (m_model->rowCount() > 0) {
                m_list->setFocus(Qt::OtherFocusReason);
                if (!m_list->currentIndex().isValid())
                    m_list->setCurrentIndex(m_model->index(0));
            }
            return true;
        case Qt::Key_Escape:
            toTree();
            return true;
        default:
            break;
        }
    } else if (watched == m_list) {
        switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            activateRow(m_list->currentIndex().row());
            return true;
        case Qt::Key_Escape:
            toTree();
            return true;
        case Qt::Key_Up:
            if (m_list->currentIndex().row() <= 0) {
                m_field->setFocus(Qt::OtherFocusReason);
                return true;
            }
            break;
        default:
            break;
        }
    }
    return QDockWidget::eventFilter(watched, event);
}
