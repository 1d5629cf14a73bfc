#include "CliSession.h"
#include "Commands.h"
#include "Console.h"
#include "doc/TorviQuillbookDoc.h"

#include <vector>

namespace {

// The items as an outline: the roots in file order, each followed by its
// children in file order, four blanks per level. Items whose parent chain
// never reaches a root are not shown. Linear in the number of items.
QByteArray outline(const CItemTables &tables, const CCodePage &codePage)
{
    const qsizetype n = tables.count();
    // Children lists as first child and next sibling; index n holds the roots.
    std::vector<qsizetype> firstChild(size_t(n) + 1, -1);
    std::vector<qsizetype> nextSibling(size_t(n), -1);
    for (qsizetype j = n - 1; j >= 0; --j) {
        const quint32 link = tables.parentLink(j);
        qsizetype parent = -1;
        if (link == CItemTables::kRootParent)
            parent = n;
        else if (link >= 2 && qsizetype(link - 2) < n)
            parent = qsizetype(link - 2);
        if (parent < 0)
            continue;
        nextSibling[size_t(j)] = firstChild[size_t(parent)];
        firstChild[size_t(parent)] = j;
    }

    QByteArray out;
    struct Place
    {
        qsizetype item;
        int depth;
    };
    std::vector<Place> stack;
    if (firstChild[size_t(n)] >= 0)
        stack.push_back({firstChild[size_t(n)], 0});
    while (!stack.empty()) {
        const Place at = stack.back();
        stack.pop_back();
        if (nextSibling[size_t(at.item)] >= 0)
            stack.push_back({nextSibling[size_t(at.item)], at.depth});
        out += QByteArray(qsizetype(at.depth) * 4, ' ');
        out += codePage.toUnicode(tables.title(at.item)).toUtf8();
        out += '\n';
        if (firstChild[size_t(at.item)] >= 0)
            stack.push_back({firstChild[size_t(at.item)], at.depth + 1});
    }
    return out;
}

}  // namespace

int runTree(CCliSession &session)
{
    if (!session.takePasswordOption())
        return CCliSession::kFailure;
    const auto doc = session.makeReader();
    if (!doc->openDocument(session.file(0), false))
        return CCliSession::kFailure;
    return CConsole::write(outline(*doc, session.codePage())) ? CCliSession::kSuccess : CCliSession::kFailure;
}
