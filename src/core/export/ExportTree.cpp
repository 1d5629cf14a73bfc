#include "export/ExportTree.h"

#include "doc/ItemTables.h"

#include <algorithm>

CExportTree::CExportTree(const CItemTables &tables)
{
    const qsizetype count = tables.count();
    // First the items in order-list order with their links; then a walk that
    // puts them in pre-order, whatever order the list had them in.
    struct Raw
    {
        int item;
        int parent;  // raw index
        int firstChild = -1;
        int lastChild = -1;
        int nextSibling = -1;
        int children = 0;
    };
    std::vector<Raw> raw;
    raw.reserve(size_t(tables.order().size()));
    std::vector<int> rawOf(size_t(count), -1);
    std::vector<int> roots;
    for (const quint32 item : tables.order()) {
        if (qint64(item) >= count || rawOf[item] >= 0)
            continue;
        const quint32 link = tables.parentLink(item);
        int parent = -1;
        if (link != CItemTables::kRootParent) {
            if (link < 2 || qint64(link - 2) >= count || rawOf[link - 2] < 0)
                continue;
            parent = rawOf[link - 2];
        }
        const int self = int(raw.size());
        raw.push_back({int(item), parent});
        rawOf[item] = self;
        if (parent < 0) {
            roots.push_back(self);
            continue;
        }
        Raw &p = raw[size_t(parent)];
        if (p.lastChild < 0)
            p.firstChild = self;
        else
            raw[size_t(p.lastChild)].nextSibling = self;
        p.lastChild = self;
        ++p.children;
    }

    m_nodes.reserve(raw.size());
    std::vector<int> nodeOfRaw(raw.size(), -1);
    std::vector<int> stack;  // raw indices still to place, next on top
    for (auto it = roots.rbegin(); it != roots.rend(); ++it)
        stack.push_back(*it);
    std::vector<int> lastChildNode(raw.size(), -1);
    int lastRoot = -1;
    int rootPlace = 0;
    std::vector<int> kids;
    while (!stack.empty()) {
        const int r = stack.back();
        stack.pop_back();
        const Raw &entry = raw[size_t(r)];
        Node node;
        node.item = entry.item;
        node.children = entry.children;
        const int self = int(m_nodes.size());
        if (entry.parent >= 0) {
            const int parentNode = nodeOfRaw[size_t(entry.parent)];
            node.parent = parentNode;
            node.depth = m_nodes[size_t(parentNode)].depth + 1;
            const int previous = lastChildNode[size_t(parentNode)];
            if (previous < 0) {
                m_nodes[size_t(parentNode)].firstChild = self;
            } else {
                m_nodes[size_t(previous)].nextSibling = self;
                node.place = m_nodes[size_t(previous)].place + 1;
            }
            lastChildNode[size_t(parentNode)] = self;
        } else {
            if (lastRoot >= 0)
                m_nodes[size_t(lastRoot)].nextSibling = self;
            lastRoot = self;
            node.place = rootPlace++;
        }
        nodeOfRaw[size_t(r)] = self;
        m_nodes.push_back(node);
        kids.clear();
        for (int c = entry.firstChild; c >= 0; c = raw[size_t(c)].nextSibling)
            kids.push_back(c);
        for (auto it = kids.rbegin(); it != kids.rend(); ++it)
            stack.push_back(*it);
    }
}
