#include "tree/TreeModel.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace {
const std::vector<CTreeModel::Handle> kNoChildren;
}

CTreeModel::CTreeModel() = default;
CTreeModel::~CTreeModel() = default;

void CTreeModel::addObserver(ITreeObserver *observer)
{
    if (observer && std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void CTreeModel::removeObserver(ITreeObserver *observer)
{
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

template<typename F>
void CTreeModel::notify(F &&f)
{
    // A copy: an observer may remove itself while being told.
    const std::vector<ITreeObserver *> observers = m_observers;
    for (ITreeObserver *o : observers)
        f(*o);
}

// ---------------------------------------------------------------- lookup

CTreeModel::Node *CTreeModel::node(Handle item)
{
    if (item < m_firstHandle || item - m_firstHandle >= m_nodes.size())
        return nullptr;
    return m_nodes[size_t(item - m_firstHandle)].get();
}

const CTreeModel::Node *CTreeModel::node(Handle item) const
{
    if (item < m_firstHandle || item - m_firstHandle >= m_nodes.size())
        return nullptr;
    return m_nodes[size_t(item - m_firstHandle)].get();
}

std::vector<CTreeModel::Handle> &CTreeModel::childList(Handle parent)
{
    if (parent == kRoot)
        return m_roots;
    return node(parent)->children;
}

const std::vector<CTreeModel::Handle> &CTreeModel::childList(Handle parent) const
{
    if (parent == kRoot)
        return m_roots;
    const Node *n = node(parent);
    return n ? n->children : kNoChildren;
}

bool CTreeModel::isValid(Handle item) const { return node(item) != nullptr; }

CTreeModel::Handle CTreeModel::parent(Handle item) const
{
    const Node *n = node(item);
    return n ? n->parent : kNone;
}

int CTreeModel::rowOf(Handle item) const
{
    const Node *n = node(item);
    return n ? n->row : -1;
}

int CTreeModel::childCount(Handle parent) const { return int(childList(parent).size()); }

CTreeModel::Handle CTreeModel::childAt(Handle parent, int row) const
{
    const auto &list = childList(parent);
    return row >= 0 && size_t(row) < list.size() ? list[size_t(row)] : kNone;
}

CTreeModel::Handle CTreeModel::firstChild(Handle parent) const
{
    const auto &list = childList(parent);
    return list.empty() ? kNone : list.front();
}

CTreeModel::Handle CTreeModel::lastChild(Handle parent) const
{
    const auto &list = childList(parent);
    return list.empty() ? kNone : list.back();
}

CTreeModel::Handle CTreeModel::nextSibling(Handle item) const
{
    const Node *n = node(item);
    return n ? childAt(n->parent, n->row + 1) : kNone;
}

CTreeModel::Handle CTreeModel::prevSibling(Handle item) const
{
    const Node *n = node(item);
    return n ? childAt(n->parent, n->row - 1) : kNone;
}

const std::vector<CTreeModel::Handle> &CTreeModel::children(Handle parent) const { return childList(parent); }

int CTreeModel::count() const { return m_count; }

int CTreeModel::depth(Handle item) const
{
    int d = -1;
    for (const Node *n = node(item); n; n = node(n->parent))
        ++d;
    return d;
}

bool CTreeModel::isSelfOrDescendant(Handle item, Handle ancestor) const
{
    if (ancestor == kNone)
        return false;
    for (const Node *n = node(item); n; n = node(n->parent))
        if (n->handle == ancestor)
            return true;
    return false;
}

CTreeModel::Handle CTreeModel::nextInBranch(Handle item, Handle top) const
{
    const Node *n = node(item);
    if (!n)
        return kNone;
    if (!n->children.empty())
        return n->children.front();
    while (n && n->handle != top) {
        const Handle sibling = childAt(n->parent, n->row + 1);
        if (sibling != kNone)
            return sibling;
        n = node(n->parent);
    }
    return kNone;
}

CTreeModel::Handle CTreeModel::nextPreOrder(Handle item) const
{
    if (item == kNone)
        return firstRoot();
    return nextInBranch(item, kNone);
}

CTreeModel::Handle CTreeModel::nextVisible(Handle item) const
{
    const Node *n = node(item);
    if (!n)
        return kNone;
    if (n->expanded && !n->children.empty())
        return n->children.front();
    while (n) {
        const Handle sibling = childAt(n->parent, n->row + 1);
        if (sibling != kNone)
            return sibling;
        n = node(n->parent);
    }
    return kNone;
}

std::vector<CTreeModel::Handle> CTreeModel::branch(Handle top) const
{
    std::vector<Handle> out;
    for (Handle h = isValid(top) ? top : kNone; h != kNone; h = nextInBranch(h, top))
        out.push_back(h);
    return out;
}

// ---------------------------------------------------------------- contents

QByteArray CTreeModel::label(Handle item) const
{
    const Node *n = node(item);
    if (!n)
        return {};
    return m_titles && n->data >= 0 ? m_titles->title(n->data) : n->label;
}

int CTreeModel::image(Handle item) const
{
    const Node *n = node(item);
    return n ? n->image : 0;
}

int CTreeModel::selectedImage(Handle item) const
{
    const Node *n = node(item);
    return n ? n->selectedImage : 0;
}

int CTreeModel::stateImage(Handle item) const
{
    const Node *n = node(item);
    return n ? n->stateImage : 0;
}

qint32 CTreeModel::data(Handle item) const
{
    const Node *n = node(item);
    return n ? n->data : -1;
}

bool CTreeModel::isExpanded(Handle item) const
{
    const Node *n = node(item);
    return n && n->expanded;
}

void CTreeModel::changed(Handle item, int what)
{
    if (m_resetDepth == 0)
        notify([&](ITreeObserver &o) { o.dataChanged(item, what); });
}

void CTreeModel::keepOwnLabels()
{
    if (!m_titles)
        return;
    for (const auto &n : m_nodes) {
        if (n && n->data >= 0)
            n->label = m_titles->title(n->data);
    }
    m_titlesAfterClear = std::exchange(m_titles, nullptr);
}

void CTreeModel::setLabel(Handle item, const QByteArray &label)
{
    Node *n = node(item);
    if (!n)
        return;
    if (m_titles && n->data >= 0) {
        if (m_titles->title(n->data) == label || !m_titles->setTitle(n->data, label))
            return;
    } else {
        if (n->label == label)
            return;
        n->label = label;
    }
    changed(item, ChangedLabel);
}

void CTreeModel::setImages(Handle item, int image, int selectedImage)
{
    Node *n = node(item);
    if (!n || (n->image == image && n->selectedImage == selectedImage))
        return;
    n->image = image;
    n->selectedImage = selectedImage;
    changed(item, ChangedImage);
}

void CTreeModel::setStateImage(Handle item, int stateImage)
{
    Node *n = node(item);
    if (!n || n->stateImage == stateImage)
        return;
    n->stateImage = stateImage;
    changed(item, ChangedImage);
}

void CTreeModel::setData(Handle item, qint32 data)
{
    Node *n = node(item);
    if (!n || n->data == data)
        return;
    // The label moves to where the item's title now lives.
    if (m_titles && n->data >= 0 && data < 0)
        n->label = m_titles->title(n->data);
    n->data = data;
    if (m_titles && data >= 0)
        n->label.clear();
    changed(item, ChangedData);
}

void CTreeModel::setExpanded(Handle item, bool expanded)
{
    Node *n = node(item);
    if (!n || n->expanded == expanded)
        return;
    n->expanded = expanded;
    changed(item, ChangedExpanded);
}

void CTreeModel::ensureVisible(Handle item)
{
    if (!isValid(item))
        return;
    for (Handle p = parent(item); p != kNone; p = parent(p))
        setExpanded(p, true);
    if (m_resetDepth == 0)
        notify([&](ITreeObserver &o) { o.ensureVisibleRequested(item); });
}

// ---------------------------------------------------------------- structure

void CTreeModel::renumber(std::vector<Handle> &list, int from)
{
    for (size_t r = size_t(std::max(from, 0)); r < list.size(); ++r)
        node(list[r])->row = int(r);
}

int CTreeModel::insertRow(Handle parent, Pos pos) const
{
    if (parent != kRoot && !isValid(parent))
        return -1;
    switch (pos.kind) {
    case Pos::First:
        return 0;
    case Pos::Last:
        return childCount(parent);
    case Pos::After: {
        const Node *s = node(pos.after);
        if (!s || s->parent != parent)
            return -1;
        return s->row + 1;
    }
    }
    return -1;
}

CTreeModel::Handle CTreeModel::insertItem(Handle parent, Pos pos, const QByteArray &label, int image,
                                          int selectedImage, qint32 data)
{
    const int row = insertRow(parent, pos);
    if (row < 0)
        return kNone;
    if (m_resetDepth == 0)
        notify([&](ITreeObserver &o) { o.rowsAboutToBeInserted(parent, row, row); });
    auto n = std::make_unique<Node>();
    const Handle h = m_nextHandle++;
    n->handle = h;
    n->parent = parent;
    if (!m_titles || data < 0)
        n->label = label;
    n->image = image;
    n->selectedImage = selectedImage;
    n->data = data;
    Q_ASSERT(h == m_firstHandle + m_nodes.size());
    m_nodes.push_back(std::move(n));
    ++m_count;
    auto &list = childList(parent);
    list.insert(list.begin() + row, h);
    renumber(list, row);
    if (m_resetDepth == 0)
        notify([&](ITreeObserver &o) { o.rowsInserted(parent, row, row); });
    return h;
}

bool CTreeModel::deleteItem(Handle item)
{
    Node *n = node(item);
    if (!n)
        return false;
    if (m_editing != kNone && isSelfOrDescendant(m_editing, item))
        endLabelEdit(false);
    if (m_selected != kNone && isSelfOrDescendant(m_selected, item)) {
        Handle next = nextSibling(item);
        if (next == kNone)
            next = prevSibling(item);
        if (next == kNone)
            next = n->parent;
        select(next);
        n = node(item);  // an observer may have changed the tree
        if (!n)
            return true;
    }
    if (m_dropHighlight != kNone && isSelfOrDescendant(m_dropHighlight, item))
        m_dropHighlight = kNone;
    const Handle parent = n->parent;
    const int row = n->row;
    if (m_resetDepth == 0)
        notify([&](ITreeObserver &o) { o.rowsAboutToBeRemoved(parent, row, row); });
    const std::vector<Handle> doomed = branch(item);
    auto &list = childList(parent);
    list.erase(list.begin() + row);
    renumber(list, row);
    for (Handle h : doomed) {
        m_nodes[size_t(h - m_firstHandle)].reset();
        --m_count;
    }
    if (m_resetDepth == 0)
        notify([&](ITreeObserver &o) { o.rowsRemoved(parent, row, row); });
    return true;
}

bool CTreeModel::moveItem(Handle item, Handle newParent, Pos pos)
{
    Node *n = node(item);
    if (!n || (newParent != kRoot && !isValid(newParent)) || isSelfOrDescendant(newParent, item))
        return false;
    const Handle oldParent = n->parent;
    const int oldRow = n->row;
    // The destination row counted before the move (Qt's convention).
    int destRow;
    if (pos.kind == Pos::After && pos.after == item) {
        destRow = oldRow;  // right after itself: stays where it is
    } else {
        destRow = insertRow(newParent, pos);
        if (destRow < 0)
            return false;
    }
    if (oldParent == newParent && (destRow == oldRow || destRow == oldRow + 1))
        return true;  // no change of place
    if (m_resetDepth == 0)
        notify([&](ITreeObserver &o) { o.rowsAboutToBeMoved(oldParent, oldRow, newParent, destRow); });
    auto &from = childList(oldParent);
    from.erase(from.begin() + oldRow);
    renumber(from, oldRow);
    int newRow = destRow;
    if (oldParent == newParent && destRow > oldRow)
        --newRow;
    auto &to = childList(newParent);
    to.insert(to.begin() + newRow, item);
    renumber(to, newRow);
    n->parent = newParent;
    if (m_resetDepth == 0)
        notify([&](ITreeObserver &o) { o.rowsMoved(oldParent, oldRow, newParent, destRow); });
    return true;
}

void CTreeModel::clear()
{
    if (m_editing != kNone)
        endLabelEdit(false);
    select(kNone);
    ResetGuard reset(*this);
    m_nodes.clear();
    m_firstHandle = m_nextHandle;
    m_count = 0;
    m_roots.clear();
    m_selected = kNone;
    m_editing = kNone;
    m_dropHighlight = kNone;
    // The copies went with their nodes: a new tree reads the store again.
    if (m_titlesAfterClear)
        m_titles = std::exchange(m_titlesAfterClear, nullptr);
}

void CTreeModel::beginReset()
{
    // A reset drops the view's editor: the name being typed is taken first.
    if (m_resetDepth == 0)
        finishLabelEdit();
    if (m_resetDepth++ == 0)
        notify([](ITreeObserver &o) { o.modelAboutToBeReset(); });
}

void CTreeModel::endReset()
{
    if (m_resetDepth > 0 && --m_resetDepth == 0)
        notify([](ITreeObserver &o) { o.modelReset(); });
}

void CTreeModel::sortChildren(Handle parent, const std::function<bool(Handle, Handle)> &less)
{
    if (parent != kRoot && !isValid(parent))
        return;
    std::vector<Handle> order = childList(parent);
    if (order.size() < 2)
        return;
    std::stable_sort(order.begin(), order.end(), less);
    reorderChildren(parent, order);
}

bool CTreeModel::reorderChildren(Handle parent, const std::vector<Handle> &newOrder)
{
    if (parent != kRoot && !isValid(parent))
        return false;
    auto &list = childList(parent);
    if (newOrder.size() != list.size())
        return false;
    // A permutation: every handle a child of parent, none twice.
    std::vector<bool> seen(list.size(), false);
    for (Handle h : newOrder) {
        const Node *c = node(h);
        if (!c || c->parent != parent || seen[size_t(c->row)])
            return false;
        seen[size_t(c->row)] = true;
    }
    if (newOrder == list)
        return true;
    if (m_resetDepth == 0)
        notify([&](ITreeObserver &o) { o.childrenAboutToBeReordered(parent); });
    std::vector<int> newRowOfOldRow(list.size());
    for (size_t r = 0; r < newOrder.size(); ++r)
        newRowOfOldRow[size_t(node(newOrder[r])->row)] = int(r);
    list = newOrder;
    renumber(list, 0);
    if (m_resetDepth == 0)
        notify([&](ITreeObserver &o) { o.childrenReordered(parent, newRowOfOldRow); });
    return true;
}

// ---------------------------------------------------------------- selection, editing

void CTreeModel::select(Handle item)
{
    if (item != kNone && !isValid(item))
        return;
    if (item == m_selected)
        return;
    if (m_editing != kNone) {
        finishLabelEdit();
        if (item != kNone && !isValid(item))
            return;
        if (item == m_selected)
            return;
    }
    const Handle old = m_selected;
    notify([&](ITreeObserver &o) { o.selectionChanging(old, item); });
    if (item != kNone && !isValid(item))
        return;  // an observer deleted it meanwhile
    m_selected = item;
    notify([&](ITreeObserver &o) { o.selectionChanged(old, item); });
}

bool CTreeModel::editLabel(Handle item)
{
    if (!isValid(item))
        return false;
    if (m_editing != kNone)
        endLabelEdit(false);
    m_editing = item;
    m_editText = label(item);
    notify([&](ITreeObserver &o) { o.labelEditBegun(item); });
    return true;
}

void CTreeModel::endLabelEdit(bool accepted, const QByteArray &text)
{
    if (m_editing == kNone)
        return;
    const Handle item = m_editing;
    const QByteArray given = accepted ? text : QByteArray();  // `text` may be m_editText
    m_editing = kNone;
    m_editText.clear();
    notify([&](ITreeObserver &o) { o.labelEditEnded(item, accepted, given); });
}

void CTreeModel::setEditText(const QByteArray &text)
{
    if (m_editing != kNone)
        m_editText = text;
}

void CTreeModel::finishLabelEdit()
{
    if (m_editing != kNone)
        endLabelEdit(true, m_editText);
}

void CTreeModel::setDropHighlight(Handle item)
{
    if (item != kNone && !isValid(item))
        item = kNone;
    if (item == m_dropHighlight)
        return;
    const Handle old = m_dropHighlight;
    m_dropHighlight = item;
    if (old != kNone)
        changed(old, ChangedHighlight);
    if (item != kNone)
        changed(item, ChangedHighlight);
}
