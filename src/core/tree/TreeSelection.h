#pragma once

#include "tree/TreeModel.h"

class CInfoTree;
class CTorviQuillbookDoc;

// The selection protocol of the infotree. Every change of selection, the
// user's or the program's, goes through the model's select(), which first
// ends an open label edit (accepted, with what was typed); then the item
// left is stored from the document's working copy into the tables and the
// item entered is loaded into it, automatic saving runs, and the views are
// told. While the tree is being built (the document's m_new) nothing is
// stored or loaded.
class CTreeSelection
{
public:
    using Handle = CTreeModel::Handle;
    static constexpr Handle kNone = CTreeModel::kNone;

    explicit CTreeSelection(CInfoTree &tree);
    CTreeSelection(const CTreeSelection &) = delete;
    CTreeSelection &operator=(const CTreeSelection &) = delete;

    // Selects `item` and, like the platform control, makes it visible.
    void select(Handle item);
    void leaving(Handle oldItem);    // the model is about to change the selection
    void entered(Handle newItem);    // the model changed it

private:
    CInfoTree &m_tree;
    CTreeModel &m_model;
    CTorviQuillbookDoc &m_doc;
};
