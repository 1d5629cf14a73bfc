#pragma once

#include "DocFixture.h"
#include "tree/InfoTree.h"
#include "tree/TreeModel.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTest>

#include <memory>

namespace treetest {

using Handle = CTreeModel::Handle;

// "A(B,C(D)),E": labels in tree order, children in parentheses.
inline QByteArray dump(const CTreeModel &m, Handle parent = CTreeModel::kRoot, bool withData = false)
{
    QByteArray out;
    const auto &kids = m.children(parent);
    for (size_t i = 0; i < kids.size(); ++i) {
        if (i)
            out += ',';
        out += m.label(kids[i]);
        if (withData)
            out += '#' + QByteArray::number(m.data(kids[i]));
        if (m.hasChildren(kids[i]))
            out += '(' + dump(m, kids[i], withData) + ')';
    }
    return out;
}

// Every node is where its parent and row say (the adapter relies on it).
inline bool consistent(const CTreeModel &m)
{
    int seen = 0;
    for (Handle h = m.firstRoot(); h != CTreeModel::kNone; h = m.nextPreOrder(h)) {
        ++seen;
        if (m.childAt(m.parent(h), m.rowOf(h)) != h)
            return false;
    }
    return seen == m.count();
}

inline Handle find(const CTreeModel &m, const QByteArray &label)
{
    for (Handle h = m.firstRoot(); h != CTreeModel::kNone; h = m.nextPreOrder(h))
        if (m.label(h) == label)
            return h;
    return CTreeModel::kNone;
}

// A document and its infotree. Rows are added with row(title, parent row or
// -1 for a root); the default sort type is manual unless told otherwise.
struct CTreeFixture
{
    explicit CTreeFixture(int sortType = 0)
        : fx([sortType](CSettings &s) {
              s.setNumber(CSettings::SortType, sortType);
          })
    {
        tree = std::make_unique<CInfoTree>(*fx.doc);
    }

    CDocFixture fx;
    std::unique_ptr<CInfoTree> tree;

    CTorviQuillbookDoc &doc() { return *fx.doc; }
    CTreeModel &model() { return tree->model(); }
    CFakePrompter &prompter() { return fx.prompter; }

    int row(const QByteArray &title, int parentRow = -1, const QByteArray &text = {})
    {
        CNoteInfo info;
        info.m_nSort = 0;
        return fx.doc->appendItem(title, text.isNull() ? title + " text" : text,
                                  parentRow < 0 ? CItemTables::kRootParent : quint32(parentRow) + 2, info);
    }
    void build() { tree->initialUpdate(); }
    Handle item(const QByteArray &label) const { return find(tree->model(), label); }
    QByteArray shape() const { return dump(tree->model()); }
    void selectLabel(const QByteArray &label) { tree->model().select(item(label)); }
};

}  // namespace treetest
