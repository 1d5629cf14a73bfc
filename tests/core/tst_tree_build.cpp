#include "TreeTestSupport.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <map>

using namespace treetest;

namespace {

// Build tree the slow way: passes over the rows until a pass places nothing.
QByteArray referenceBuild(const CItemTables &t)
{
    const int n = t.count();
    std::vector<int> parentOf(static_cast<size_t>(n), -2);  // -1 root, -2 unplaced
    std::vector<std::vector<int>> kids(static_cast<size_t>(n));
    std::vector<int> roots;
    std::vector<bool> placed(static_cast<size_t>(n), false);
    for (bool progress = true; progress;) {
        progress = false;
        for (int i = 0; i < n; ++i) {
            if (placed[size_t(i)])
                continue;
            const quint32 link = t.parentLink(i);
            if (link == 1) {
                roots.push_back(i);
            } else if (link >= 2 && int(link - 2) < n && placed[link - 2]) {
                kids[link - 2].push_back(i);
            } else {
                continue;
            }
            placed[size_t(i)] = true;
            progress = true;
        }
    }
    std::function<QByteArray(const std::vector<int> &)> dumpList = [&](const std::vector<int> &list) {
        QByteArray out;
        for (size_t k = 0; k < list.size(); ++k) {
            if (k)
                out += ',';
            out += t.title(list[k]);
            if (!kids[size_t(list[k])].empty())
                out += '(' + dumpList(kids[size_t(list[k])]) + ')';
        }
        return out;
    };
    return dumpList(roots);
}

}  // namespace

class TestTreeBuild : public QObject
{
    Q_OBJECT

private slots:
    void emptyDocumentBuildsEmptyTree()
    {
        CTreeFixture f;
        f.build();
        QCOMPARE(f.model().count(), 0);
        QCOMPARE(f.doc().m_nCurItem, -1);
        QVERIFY(!f.doc().m_new);
        QVERIFY(f.prompter().messages.isEmpty());
    }

    void preOrderAndMultiPassGiveTheSameTree()
    {
        // Pre-order rows.
        CTreeFixture a;
        const int r = a.row("R");
        const int x = a.row("x", r);
        a.row("x1", x);
        a.row("y", r);
        a.row("S");
        a.build();
        // The same tree with children before their parents.
        CTreeFixture b;
        b.doc().appendItem("x1", "", 3 + 2, {});   // 0: child of x (row 3)
        b.doc().appendItem("y", "", 4 + 2, {});    // 1: child of R (row 4)
        b.doc().appendItem("S", "", 1, {});        // 2
        b.doc().appendItem("x", "", 4 + 2, {});    // 3: child of R
        b.doc().appendItem("R", "", 1, {});        // 4
        b.build();
        QCOMPARE(a.shape(), QByteArray("R(x(x1),y),S"));
        // Sibling order of the multi-pass build is the order of placing:
        // y (row 1) waits for R (row 4) and so does x (row 3): y, x.
        QCOMPARE(b.shape(), referenceBuild(b.doc()));
        QCOMPARE(b.shape(), QByteArray("S,R(y,x(x1))"));
        QVERIFY(consistent(b.model()));
        QCOMPARE(b.doc().order().size(), 5);
    }

    void linearBuildMatchesTheRepeatedPasses()
    {
        // Random forests in random row order, compared with the slow way.
        for (int round = 0; round < 50; ++round) {
            QRandomGenerator rng(quint32(round + 1));
            CTreeFixture f;
            const int n = 1 + int(rng.bounded(40));
            std::vector<int> parent(static_cast<size_t>(n));
            for (int i = 0; i < n; ++i)
                parent[size_t(i)] = i == 0 ? -1 : int(rng.bounded(i + 1)) - 1;  // a tree in creation order
            std::vector<int> perm(static_cast<size_t>(n));
            for (int i = 0; i < n; ++i)
                perm[size_t(i)] = i;
            for (int i = n - 1; i > 0; --i)
                std::swap(perm[size_t(i)], perm[size_t(rng.bounded(i + 1))]);
            std::vector<int> rowOf(static_cast<size_t>(n));
            for (int i = 0; i < n; ++i)
                rowOf[size_t(perm[size_t(i)])] = i;
            for (int i = 0; i < n; ++i) {
                const int node = perm[size_t(i)];
                const int p = parent[size_t(node)];
                f.doc().appendItem("n" + QByteArray::number(node), "",
                                   p < 0 ? 1u : quint32(rowOf[size_t(p)]) + 2, {});
            }
            f.build();
            QCOMPARE(f.shape(), referenceBuild(f.doc()));
            QVERIFY(consistent(f.model()));
        }
    }

    void unplaceableRowsAreReportedOnceAndKept()
    {
        CTreeFixture f;
        const int root = f.row("Root");
        f.row("child", root);
        f.doc().appendItem("zero", "z", 0, {});        // 2: link 0
        f.doc().appendItem("self", "s", 3 + 2, {});    // 3: itself
        f.doc().appendItem("cycA", "a", 5 + 2, {});    // 4: cycle with 5
        f.doc().appendItem("cycB", "b", 4 + 2, {});    // 5
        f.doc().appendItem("past", "p", 99 + 2, {});   // 6: past the end
        f.doc().appendItem("under", "u", 4 + 2, {});   // 7: child of the cycle
        f.build();
        QCOMPARE(f.shape(), QByteArray("Root(child)"));
        QCOMPARE(f.prompter().messages, QStringList{CInfoTree::unplacedMessage(6)});
        QCOMPARE(f.tree->unplacedRows(), QList<quint32>({2, 3, 4, 5, 6, 7}));
        f.tree->collectOrder();
        QCOMPARE(f.doc().order(), QList<quint32>({0, 1, 2, 3, 4, 5, 6, 7}));
        // A rebuild does not tell it again.
        f.tree->changeLeftPanelFont(QByteArray(60, 'f'));
        QCOMPARE(f.prompter().messages.size(), 1);
        QCOMPARE(f.shape(), QByteArray("Root(child)"));

        // Saved and opened again: every row is still in the file.
        const QString path = f.fx.path(QStringLiteral("broken.tqb"));
        QVERIFY(f.doc().saveDocument(path));
        CTreeFixture g;
        QVERIFY(g.doc().openDocument(path));
        g.build();
        QCOMPARE(g.doc().count(), 8);
        QCOMPARE(g.shape(), QByteArray("Root(child)"));
        QCOMPARE(g.prompter().messages, QStringList{CInfoTree::unplacedMessage(6)});
        QCOMPARE(g.doc().texts().mid(2), QList<QByteArray>({"z", "s", "a", "b", "p", "u"}));
    }

    void newRowsAfterUnplacedOnesAreNotAdopted()
    {
        CTreeFixture f;
        f.row("Root");
        f.doc().appendItem("past", "p", 2 + 2, {});  // names row 2, which does not exist yet
        f.build();
        QCOMPARE(f.tree->unplacedRows(), QList<quint32>({1}));
        f.selectLabel("Root");
        f.tree->insertNewNote();  // becomes row 2
        f.tree->endLabelEdit(true, "note");
        f.tree->rebuildTree();
        QCOMPARE(f.shape(), QByteArray("Root(note)"));
    }

    void firstSelectionAndLastNote()
    {
        CTreeFixture f;
        f.row("A");
        f.row("B");
        f.build();
        QCOMPARE(f.model().selected(), f.item("A"));
        QCOMPARE(f.doc().m_nCurItem, 0);
        QCOMPARE(f.doc().m_strCurTitle, QByteArray("A"));
        QCOMPARE(f.doc().m_strCurText, QByteArray("A text"));

        f.fx.settings->setNumber(CSettings::LastNote, 1);
        f.doc().m_bOpenLastNote = true;
        f.tree->initialUpdate();
        QCOMPARE(f.model().selected(), f.item("B"));
        QVERIFY(!f.doc().m_bOpenLastNote);

        f.fx.settings->setNumber(CSettings::LastNote, 7);
        f.doc().m_bOpenLastNote = true;
        f.tree->initialUpdate();
        QCOMPARE(f.model().selected(), f.item("A"));  // out of range: the first root
    }

    void selectionChangeStoresThenLoadsAndAutoSaves()
    {
        CTreeFixture f;
        f.fx.settings->toggle(CSettings::AutoSave);
        f.row("A");
        f.row("B");
        f.build();
        const QString path = f.fx.path(QStringLiteral("auto.tqb"));
        f.doc().setPathName(path, false);
        f.doc().m_strCurTitle = "A edited";
        f.doc().m_strCurText = "typed";
        f.doc().setModifiedFlag(true);
        QSignalSpy hints(&f.doc(), &CTorviQuillbookDoc::updateAllViews);
        f.selectLabel("B");
        QCOMPARE(f.doc().title(0), QByteArray("A edited"));
        QCOMPARE(f.doc().text(0), QByteArray("typed"));
        QCOMPARE(f.doc().m_nCurItem, 1);
        QCOMPARE(f.doc().m_strCurText, QByteArray("B text"));
        QVERIFY(QFile::exists(path));
        QVERIFY(!f.doc().isModified());
        QCOMPARE(hints.size(), 1);
        QCOMPARE(hints.at(0).at(0).toInt(), 0);
        // The tree shows the stored title: it is read from the one table,
        // so the label cannot fall behind it and no mismatch is reported.
        QCOMPARE(f.model().data(f.item("A edited")), 0);
        f.selectLabel("A edited");
        QVERIFY(f.prompter().messages.isEmpty());
    }

    void storeItemRulesAndTheBusyGuard()
    {
        CTreeFixture f;
        f.row("A");
        f.build();
        // m_new set: refused with the message, guard untouched.
        f.doc().m_new = true;
        QCOMPARE(f.tree->storeItem(f.item("A"), CInfoTree::kStoreUpdate), -1);
        QCOMPARE(f.prompter().messages.last(), QString::fromLatin1(CInfoTree::kMsgNotSaveNew));
        QCOMPARE(f.doc().busy(), 0);
        f.doc().m_new = false;
        // Update outside the table: nothing written, guard back to 0.
        f.doc().m_nCurItem = 5;
        QCOMPARE(f.tree->storeItem(f.item("A"), CInfoTree::kStoreUpdate), 5);
        QCOMPARE(f.doc().busy(), 0);
        f.doc().m_nCurItem = 0;
        // A good append: guard 0, data value set, icons from the parent.
        f.doc().setIcons(0, {10, 11, 12, 13, 14});
        const Handle child = f.model().insertLast(f.item("A"), "kid", 4);
        QCOMPARE(f.tree->storeItem(child, CInfoTree::kStoreAppend), 1);
        QCOMPARE(f.model().data(child), 1);
        QCOMPARE(f.doc().parentLink(1), 2u);
        QCOMPARE(f.doc().info(1).m_nIcons, (std::array<qint32, 5>{10, 11, 12, 13, 14}));
        QCOMPARE(f.doc().info(1).m_nRemind, -1);
        QCOMPARE(f.doc().busy(), 0);
        // Another operation holds the document: refused, guard left alone.
        {
            CBusyGuard held(f.doc(), CTorviQuillbookDoc::kBusyWriting);
            QCOMPARE(f.tree->storeItem(child, CInfoTree::kStoreUpdate), -1);
            f.tree->collectOrder();
            QCOMPARE(f.doc().busy(), int(CTorviQuillbookDoc::kBusyWriting));
        }
        QCOMPARE(f.doc().busy(), 0);
    }

    void rebuildOnNewEmptyDocumentCanStoreAgain()
    {
        CTreeFixture f;
        f.doc().newDocument();
        f.tree->onUpdate(CTorviQuillbookDoc::kHintRefreshAll);
        f.tree->changeLeftPanelFont(QByteArray(60, 'x'));
        QVERIFY(!f.doc().m_new);
        f.tree->addRootFolder();
        QCOMPARE(f.doc().count(), 1);
        QVERIFY(!f.prompter().messages.contains(QString::fromLatin1(CInfoTree::kMsgNotSaveNew)));
        QCOMPARE(f.fx.settings->bytes(CSettings::FontL), QByteArray(60, 'x'));
    }

    void rebuildKeepsManualOrderAndLeavesDeletedOut()
    {
        CTreeFixture f;
        const int a = f.row("A");
        f.row("a1", a);
        f.row("a2", a);
        f.row("B");
        f.row("C");
        f.build();
        // Manual order differing from row order: C before A.
        f.selectLabel("C");
        f.tree->markForCut();
        f.selectLabel("A");
        f.tree->pasteBefore();
        QCOMPARE(f.shape(), QByteArray("C,A(a1,a2),B"));
        f.selectLabel("a1");
        f.tree->deleteSelected();
        QCOMPARE(f.shape(), QByteArray("C,A(a2),B"));
        f.selectLabel("a2");
        f.tree->changeLeftPanelFont(QByteArray(60, 'y'));
        QCOMPARE(f.shape(), QByteArray("C,A(a2),B"));
        QCOMPARE(f.model().selected(), f.item("a2"));  // the current item stays
        QCOMPARE(f.doc().count(), 5);                  // the row stays in the tables
        // And through a save and a reopen, it is gone.
        const QString path = f.fx.path(QStringLiteral("deleted.tqb"));
        QVERIFY(f.doc().saveDocument(path));
        CTreeFixture g;
        QVERIFY(g.doc().openDocument(path));
        g.tree->onUpdate(CTorviQuillbookDoc::kHintRefreshAll);
        QCOMPARE(g.shape(), QByteArray("C,A(a2),B"));
        QVERIFY(!g.doc().titles().contains("a1"));
    }

    void collectOrderIsPreOrder()
    {
        CTreeFixture f;
        f.row("x1", 3);
        f.row("R");
        f.row("S");
        f.row("x", 1);
        f.build();
        QCOMPARE(f.shape(), QByteArray("R(x(x1)),S"));
        f.tree->collectOrder();
        QCOMPARE(f.doc().order(), QList<quint32>({1, 3, 0, 2}));
        QCOMPARE(f.doc().busy(), 0);
    }

    void selectByIndexAndFindNext()
    {
        CTreeFixture f;
        const int a = f.row("Alpha", -1, "first text");
        f.row("beta", a, "needle here");
        f.row("Gamma", -1, "NEEDLE upper");
        f.row("delta", a, "needle again");
        f.build();
        QVERIFY(f.tree->selectByIndex(3));
        QCOMPARE(f.model().selected(), f.item("delta"));
        QVERIFY(!f.tree->selectByIndex(9));
        // From delta (3) the walk wraps to 0, 1: beta.
        QVERIFY(f.tree->findNextItem("needle", true));
        QCOMPARE(f.doc().m_nCurItem, 1);
        QVERIFY(f.tree->findNextItem("needle", true));
        QCOMPARE(f.doc().m_nCurItem, 3);  // case-sensitive skips Gamma
        QVERIFY(f.tree->findNextItem("needle", false));
        QCOMPARE(f.doc().m_nCurItem, 1);
        QVERIFY(f.tree->findNextItem("NEEDLE", false));
        QCOMPARE(f.doc().m_nCurItem, 2);
        // Only the current item has it: not a hit.
        QVERIFY(!f.tree->findNextItem("upper", true));
        QCOMPARE(f.doc().m_nCurItem, 2);
        QVERIFY(!f.tree->findNextItem("", true));
        // A deleted row does not count; the walk goes on past it.
        f.selectLabel("beta");
        f.tree->deleteSelected();
        f.selectLabel("Alpha");
        QVERIFY(f.tree->findNextItem("needle", true));
        QCOMPARE(f.doc().m_nCurItem, 3);
        QVERIFY(!f.tree->findNextItem("needle here", true));
    }

    void titleChangedHintRelabelsAndSorts()
    {
        CTreeFixture f(1);
        f.doc().setRootSort(1);
        f.row("b");
        f.row("c");
        f.build();
        f.selectLabel("c");
        f.doc().m_strCurTitle = "a";
        f.tree->onUpdate(CTorviQuillbookDoc::kHintTitleChanged);
        QCOMPARE(f.shape(), QByteArray("a,b"));
        QCOMPARE(f.doc().order(), QList<quint32>({1, 0}));
        f.tree->onUpdate(CTorviQuillbookDoc::kHintShowItem);  // ignored
        QCOMPARE(f.shape(), QByteArray("a,b"));
    }

    // Typing a new title for a note inside a folder moves it within its
    // level; the order list that a save writes comes out as a whole walk
    // of the tree gives it, also when the list was out of step before.
    void titleChangedHintInAFolderKeepsTheOrder_data()
    {
        QTest::addColumn<bool>("listEmptied");
        QTest::newRow("list in step") << false;
        QTest::newRow("list emptied") << true;
    }

    void titleChangedHintInAFolderKeepsTheOrder()
    {
        QFETCH(bool, listEmptied);
        CTreeFixture f;
        const int top = f.row("top");
        const int p = f.row("P", top);
        f.doc().setSort(p, 1);
        f.row("b", p);
        const int c = f.row("c", p);
        f.row("under c", c);
        f.row("d", p);
        f.row("after", top);
        f.row("last");
        f.build();
        f.selectLabel("c");
        if (listEmptied)
            f.doc().setOrder({});
        f.doc().m_strCurTitle = "e";
        f.doc().setTitle(c, "e");
        f.tree->onUpdate(CTorviQuillbookDoc::kHintTitleChanged);
        QCOMPARE(f.shape(), QByteArray("top(P(b,d,e(under c)),after),last"));
        QCOMPARE(f.doc().order(), QList<quint32>({0, 1, 2, 5, 3, 4, 6, 7}));
    }

    void focusLossWritesLastNoteOnlyWithLastFile()
    {
        CTreeFixture f;
        f.row("A");
        f.row("B");
        f.build();
        f.fx.settings->setNumber(CSettings::LastNote, -1);
        f.selectLabel("B");
        f.tree->focusLost();
        QCOMPARE(f.fx.settings->number(CSettings::LastNote), -1);
        f.fx.settings->toggle(CSettings::LastFile);
        f.tree->focusLost();
        QCOMPARE(f.fx.settings->number(CSettings::LastNote), 1);
    }

    void keys()
    {
        CTreeFixture f;
        const int a = f.row("A");
        f.row("a1", a);
        f.build();
        f.selectLabel("A");
        QVERIFY(f.tree->keyDown(CInfoTree::Key::Enter));
        QVERIFY(f.model().isExpanded(f.item("A")));
        QCOMPARE(f.model().image(f.item("A")), 1);
        QVERIFY(f.tree->keyDown(CInfoTree::Key::Escape));
        QVERIFY(!f.model().isExpanded(f.item("A")));
        QCOMPARE(f.model().image(f.item("A")), 0);
        // Insert works during a label edit; Delete and Enter go to the field.
        QVERIFY(f.tree->keyDown(CInfoTree::Key::Insert));
        QVERIFY(f.model().isEditing());
        QCOMPARE(f.shape(), QByteArray("A(a1,New Note)"));
        QVERIFY(!f.tree->keyDown(CInfoTree::Key::Delete));
        QVERIFY(!f.tree->keyDown(CInfoTree::Key::Enter));
        QVERIFY(f.tree->keyDown(CInfoTree::Key::Escape));  // collapses, edit stays open
        QVERIFY(f.model().isEditing());
        QVERIFY(f.tree->keyDown(CInfoTree::Key::Insert));
        QCOMPARE(f.shape(), QByteArray("A(a1,New Note(New Note))"));
        f.tree->endLabelEdit(false);
        QVERIFY(f.tree->keyDown(CInfoTree::Key::Delete));
        QCOMPARE(f.shape(), QByteArray("A(a1,New Note)"));
    }

    void saveAfterEditsAndReopenGiveTheSameTree()
    {
        CTreeFixture f;
        const int a = f.row("A");
        f.row("a1", a);
        f.row("B");
        f.build();
        f.selectLabel("a1");
        f.tree->insertNewNote();
        f.tree->endLabelEdit(true, "deep");
        f.doc().m_strCurText = "deep text";
        f.tree->addRootFolder();
        f.tree->endLabelEdit(true, "Z");
        f.selectLabel("B");
        f.tree->markForCopy();
        f.selectLabel("Z");
        f.tree->pasteInto();
        f.selectLabel("A");  // stores the current item
        CNoteInfo deep = f.doc().info(f.model().data(f.item("deep")));
        deep.m_nRemind = 2;
        f.doc().setInfo(f.model().data(f.item("deep")), deep);
        const QByteArray shape = f.shape();
        QCOMPARE(shape, QByteArray("A(a1(deep)),B,Z(B)"));
        const QString path = f.fx.path(QStringLiteral("round.tqb"));
        f.tree->focusLost();
        QVERIFY(f.doc().saveDocument(path));

        CTreeFixture g;
        QVERIFY(g.doc().openDocument(path));
        g.tree->onUpdate(CTorviQuillbookDoc::kHintRefreshAll);
        QCOMPARE(g.shape(), shape);
        QCOMPARE(g.doc().text(g.model().data(g.item("deep"))), QByteArray("deep text"));
        QCOMPARE(g.doc().info(g.model().data(g.item("deep"))).m_nRemind, 2);
        QCOMPARE(g.doc().text(g.model().data(find(g.model(), "Z") ? g.model().firstChild(g.item("Z")) : 0)),
                 QByteArray("B text"));
        QVERIFY(g.prompter().messages.isEmpty());
    }

    void largeReversedChainBuilds()
    {
        // 100,000 rows, each the child of the next one: the slow way needs
        // 100,000 passes. No timing asserted; it must finish and be right.
        CTreeFixture f;
        const int n = 100000;
        for (int i = 0; i < n; ++i)
            f.doc().appendItem("x", "", i + 1 < n ? quint32(i + 1) + 2 : 1u, {});
        f.build();
        QCOMPARE(f.model().count(), n);
        QCOMPARE(f.model().depth(f.model().selected()), n - 1);  // row 0 is the deepest
        f.tree->collectOrder();
        QCOMPARE(f.doc().order().first(), quint32(n - 1));
        QCOMPARE(f.doc().order().last(), 0u);
    }
};

QTEST_GUILESS_MAIN(TestTreeBuild)
#include "tst_tree_build.moc"
