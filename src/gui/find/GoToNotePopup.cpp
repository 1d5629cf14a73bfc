#include "find/GoToNotePopup.h"

#include "doc/TorviQuillbookDoc.h"
#include "find/TitleRanking.h"
#include "text/CodePage.h"
#include "tree/IconRules.h"
#include "tree/ItemIcons.h"
#include "tree/LeftView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

constexpr int kItemRole = Qt::UserRole + 1;

}  // namespace

CGoToNotePopup::CGoToNotePopup(CLeftView &tree, const CCodePage &codePage, QWidget *parent)
    : QFrame(parent), m_tree(tree), m_codePage(codePage)
{
    setObjectName(QStringLiteral("goToNote"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("goToField"));
    m_field->setPlaceholderText(tr("Go to note"));
    m_field->setAccessibleName(tr("Go to note"));
    layout->addWidget(m_field);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("goToList"));
    layout->addWidget(m_list, 1);
    hide();

    connect(m_field, &QLineEdit::textChanged, this, &CGoToNotePopup::fill);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *i) { choose(m_list->row(i)); });
    m_field->installEventFilter(this);
    m_list->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { onFocusChanged(now); });
}

void CGoToNotePopup::open()
{
    // Over the top of the tree, as wide as it (but never too narrow to read).
    const QWidget *host = parentWidget();
    const QPoint topLeft = m_tree.mapTo(host, QPoint(0, 0));
    const int width = std::max(280, m_tree.width() - 8);
    const int height = std::min(360, std::max(160, host->height() - topLeft.y() - 8));
    setGeometry(topLeft.x() + 4, topLeft.y() + 4, width, height);
    m_handles = m_tree.infoTree().beginItemWalk().handles;
    m_field->clear();
    m_list->clear();
    show();
    raise();
    m_field->setFocus(Qt::ShortcutFocusReason);
}

void CGoToNotePopup::fill(const QString &typed)
{
    m_list->clear();
    CTorviQuillbookDoc &doc = m_tree.infoTree().document();
    const qsizetype shown = doc.order().size() - m_tree.infoTree().unplacedRows().size();
    const std::vector<titleranking::Match> found = titleranking::rank(doc, shown, typed, m_codePage, kMaxRows);
    if (found.empty())
        return;
    // Icons and paths from the tree.
    const CTreeModel &model = m_tree.infoTree().model();
    for (const titleranking::Match &m : found) {
        CTreeModel::Handle h = size_t(m.item) < m_handles.size() ? m_handles[size_t(m.item)] : CTreeModel::kNone;
        if (!model.isValid(h) || model.data(h) != m.item)
            h = CTreeModel::kNone;
        QStringList folders;
        for (CTreeModel::Handle p = model.parent(h); p != CTreeModel::kNone; p = model.parent(p))
            folders.prepend(m_codePage.toUnicode(model.label(p)));
        // The folders on a line of their own: after the title they went
        // out of sight past the box's edge with any title of some length.
        const QString title = m_codePage.toUnicode(doc.title(m.item));
        const QString path = folders.join(QStringLiteral(" / "));
        auto *row = new QListWidgetItem(path.isEmpty() ? title : title + QLatin1Char('\n') + path, m_list);
        row->setToolTip(path.isEmpty() ? title : path + QStringLiteral(" / ") + title);
        row->setData(kItemRole, m.item);
        if (h != CTreeModel::kNone) {
            const int slot = iconrules::slotFor(model.parent(h) == CTreeModel::kNone, model.hasChildren(h),
                                                model.isExpanded(h));
            row->setIcon(CItemIcons::instance().icon(iconrules::displayImage(model.image(h), slot)));
        }
    }
    m_list->setCurrentRow(0);
}

bool CGoToNotePopup::choose(int row)
{
    QListWidgetItem *chosen = m_list->item(row);
    if (!chosen)
        return false;
    const int item = chosen->data(kItemRole).toInt();
    dismiss(true);
    return m_tree.infoTree().selectByIndex(item);
}

void CGoToNotePopup::dismiss(bool toTree)
{
    hide();
    if (toTree) {
        if (m_activateTree)
            m_activateTree();
        else
            m_tree.setFocus(Qt::OtherFocusReason);
    }
}

void CGoToNotePopup::onFocusChanged(QWidget *now)
{
    if (isVisible() && now && now != this && !isAncestorOf(now))
        dismiss(false);
}

bool CGoToNotePopup::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QFrame::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        choose(std::max(0, m_list->currentRow()));
        return true;
    case Qt::Key_Escape:
        dismiss(true);
        return true;
    case Qt::Key_Down:
    case Qt::Key_Up:
        if (watched == m_field && m_list->count() > 0) {
            const int step = key == Qt::Key_Down ? 1 : -1;
            m_list->setCurrentRow(std::clamp(m_list->currentRow() + step, 0, m_list->count() - 1));
            return true;
        }
        break;
    default:
        break;
    }
    return QFrame::eventFilter(watched, event);
}
