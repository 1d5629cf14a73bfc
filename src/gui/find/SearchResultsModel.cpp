#include "find/SearchResultsModel.h"

#include "text/CodePage.h"
#include "tree/IconRules.h"
#include "tree/InfoTree.h"
#include "tree/ItemIcons.h"

#include <QIcon>
#include <QPoint>

CSearchResultsModel::CSearchResultsModel(CInfoTree &tree, const CCodePage &codePage, QObject *parent)
    : QAbstractListModel(parent), m_tree(tree), m_codePage(codePage)
{
    m_tree.model().addObserver(this);
}

CSearchResultsModel::~CSearchResultsModel()
{
    m_tree.model().removeObserver(this);
}

void CSearchResultsModel::reset(const CSearchSnapshot &snapshot, const std::optional<CTextMatcher> &matcher,
                                bool titlesOnly)
{
    beginResetModel();
    m_snapshot = snapshot;
    m_matcher = matcher;
    m_titlesOnly = titlesOnly;
    m_hits.clear();
    m_contexts.clear();
    endResetModel();
}

void CSearchResultsModel::clear()
{
    reset({}, std::nullopt, false);
}

void CSearchResultsModel::append(const std::vector<CSearchHit> &hits)
{
    if (hits.empty())
        return;
    const int first = int(m_hits.size());
    beginInsertRows({}, first, first + int(hits.size()) - 1);
    m_hits.append(hits);
    endInsertRows();
}

int CSearchResultsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_hits.size());
}

CTreeModel::Handle CSearchResultsModel::handleOf(quint32 item) const
{
    if (m_handles.empty())
        m_handles = m_tree.beginItemWalk().handles;
    const CTreeModel &tree = m_tree.model();
    const CTreeModel::Handle h = item < m_handles.size() ? m_handles[item] : CTreeModel::kNone;
    return tree.isValid(h) && tree.data(h) == qint32(item) ? h : CTreeModel::kNone;
}

QString CSearchResultsModel::pathOf(quint32 item) const
{
    const CTreeModel &tree = m_tree.model();
    QStringList folders;
    for (CTreeModel::Handle h = tree.parent(handleOf(item)); h != CTreeModel::kNone; h = tree.parent(h))
        folders.prepend(m_codePage.toUnicode(tree.label(h)));
    return folders.join(QStringLiteral(" / "));
}

const notesearch::Context &CSearchResultsModel::contextOf(int row) const
{
    auto it = m_contexts.constFind(row);
    if (it != m_contexts.constEnd())
        return *it;
    // Only the rows on screen are asked for; a view scrolled far keeps few.
    if (m_contexts.size() > 512)
        m_contexts.clear();
    const CSearchHit &h = m_hits.at(row);
    const QByteArray text = h.item < quint32(m_snapshot.texts.size()) ? m_snapshot.texts[h.item] : QByteArray();
    return *m_contexts.insert(row, notesearch::contextFor(text, h, *m_matcher, m_titlesOnly));
}

QVariant CSearchResultsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || !m_matcher)
        return {};
    const CSearchHit &h = m_hits.at(index.row());
    const QByteArray title = h.item < quint32(m_snapshot.titles.size()) ? m_snapshot.titles[h.item] : QByteArray();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return m_codePage.toUnicode(title);
    case Qt::DecorationRole: {
        const CTreeModel &tree = m_tree.model();
        const CTreeModel::Handle item = handleOf(h.item);
        if (item == CTreeModel::kNone)
            return {};
        const int slot = iconrules::slotFor(tree.parent(item) == CTreeModel::kNone, tree.hasChildren(item),
                                            tree.isExpanded(item));
        return CItemIcons::instance().icon(iconrules::displayImage(tree.image(item), slot));
    }
    case ItemIndexRole:
        return int(h.item);
    case PathRole:
        return pathOf(h.item);
    case ContextRole:
        return m_codePage.toUnicode(contextOf(index.row()).line);
    case ContextHitRole: {
        const notesearch::Context &c = contextOf(index.row());
        return QPoint(int(c.hitStart), int(c.hitLength));
    }
    case ContextCutRole: {
        const notesearch::Context &c = contextOf(index.row());
        return QPoint(c.cutBefore ? 1 : 0, c.cutAfter ? 1 : 0);
    }
    case TitleHitRole:
        return h.inTitle() ? QPoint(int(h.position()), int(m_matcher->needle().size())) : QPoint(0, 0);
    default:
        return {};
    }
}
