#pragma once

#include <QtGlobal>

#include <vector>

class CItemTables;

// The items of the tree for the exports: pre-order, each with its parent,
// depth and place among its siblings, built in one pass over the order list.
// An item is kept when it is a root or its parent was kept before it, so a
// broken parent chain or a cycle leaves its items out instead of looping.
class CExportTree
{
public:
    struct Node
    {
        int item = -1;        // item index in the tables
        int parent = -1;      // node index of the parent, -1 for a root
        int depth = 0;
        int place = 0;        // 0-based place among its siblings
        int children = 0;
        int firstChild = -1;  // node index, -1 when none
        int nextSibling = -1;
    };

    explicit CExportTree(const CItemTables &tables);

    // In pre-order: the roots in order, each followed by its whole branch.
    const std::vector<Node> &nodes() const { return m_nodes; }
    int firstRoot() const { return m_nodes.empty() ? -1 : 0; }

private:
    std::vector<Node> m_nodes;
};
