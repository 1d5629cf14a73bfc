#include "TreeTestSupport.h"
#include "tree/SortRules.h"

#include <QTest>

#include <optional>

using namespace treetest;

namespace {

// Fails every append after `okAppends` inserted rows: once that many items
// have been inserted it holds the document busy, as another operation would.
struct FailAfter : ITreeObserver
{
    CTorviQuillbookDoc *doc = nullptr;
    int okAppends = 0;
    int inserted = 0;
    std::optional<CBusyGuard> held;
    void rowsInserted(Handle, int, int) override
    {
        if (++inserted == okAppends + 1)
            held.emplace(*doc, CTorviQuillbookDoc::kBusyWriting);
    }
};

}  // namespace

class TestTreeEdit : public QObject
{
    Q_OBJECT

private slots:
    // ------------------------------------------------------------ editing

    void addRootFolderAndUndo()
    {
        CTreeFixture f;
        f.row("A");
        f.build();
        f.tree->addRootFolder();
        QCOMPARE(f.shape(), QByteArray("A,New Folder"));
        QCOMPARE(f.model().editingItem(), f.item("New Folder"));
        QCOMPARE(f.doc().m_nCurItem, 1);
        QCOMPARE(f.doc().m_strCurTitle, QByteArray("New Folder"));
        QCOMPARE(f.tree->undoKind(), int(CInfoTree::kUndoAdded));
        QVERIFY(f.doc().isModified());
        f.tree->endLabelEdit(true, "Folder");
        QCOMPARE(f.doc().title(1), QByteArray("Folder"));
        f.tree->undo();  // deletes it
        QCOMPARE(f.shape(), QByteArray("A"));
        QCOMPARE(f.tree->undoKind(), int(CInfoTree::kUndoDeleted));
        f.tree->undo();  // brings it back
        QCOMPARE(f.shape(), QByteArray("A,Folder"));
        QCOMPARE(f.tree->undoKind(), int(CInfoTree::kUndoAdded));
    }

    void insertNewNoteTurnsANoteIntoASubfolder()
    {
        CTreeFixture f;
        const int a = f.row("A");
        f.row("n", a);
        f.build();
        f.model().select(CTreeModel::kNone);
        f.tree->insertNewNote();
        QCOMPARE(f.prompter().messages.last(), QString::fromLatin1(CInfoTree::kMsgNoSelectionFolder));
        f.selectLabel("n");
        QCOMPARE(f.model().image(f.item("n")), 4);
        f.tree->insertNewNote();
        QCOMPARE(f.shape(), QByteArray("A(n(New Note))"));
        QCOMPARE(f.model().image(f.item("n")), 3);  // opened subfolder
        QCOMPARE(f.model().image(f.item("New Note")), 4);
        QCOMPARE(f.doc().parentLink(2), quint32(1 + 2));
        QVERIFY(f.tree->anyExpanded());
    }

    void failedAppendRemovesTheNewItem()
    {
        CTreeFixture f;
        f.row("A");
        f.build();
        CBusyGuard held(f.doc(), CTorviQuillbookDoc::kBusyWriting);
        f.tree->addRootFolder();
        QCOMPARE(f.shape(), QByteArray("A"));
        QCOMPARE(f.prompter().messages,
                 QStringList({QString::fromLatin1(CBusyGuard::kInternalError), QString::fromLatin1(CInfoTree::kMsgDataNotSaved)}));
    }

    void labelEditEndSortsTheLevel()
    {
        CTreeFixture f(2);
        f.doc().setRootSort(1);
        f.row("b");
        f.row("d");
        f.build();
        f.tree->addRootFolder();
        QCOMPARE(f.shape(), QByteArray("b,d,New Folder"));  // not sorted yet
        f.tree->endLabelEdit(true, "c");
        QCOMPARE(f.shape(), QByteArray("b,c,d"));
        QCOMPARE(f.doc().title(2), QByteArray("c"));
        QCOMPARE(f.doc().order(), QList<quint32>({0, 2, 1}));
        // Cancelled: the root level (the parent's level) is still sorted.
        f.tree->addRootFolder();
        f.tree->endLabelEdit(false);
        QCOMPARE(f.shape(), QByteArray("b,c,d,New Folder"));
        // Accepted with an empty text: nothing refuses it.
        f.selectLabel("d");
        f.tree->beginLabelEdit(f.item("d"));
        f.tree->endLabelEdit(true, "");
        QCOMPARE(f.shape(), QByteArray(",b,c,New Folder"));
        // Without a selection.
        f.model().select(CTreeModel::kNone);
        f.tree->beginLabelEdit(f.item("b"));
        f.tree->endLabelEdit(true, "zz");
        QCOMPARE(f.prompter().messages.last(), QString::fromLatin1(CInfoTree::kMsgNoSelectionTryAgain));
    }

    void folderFirstSortWithinALevel()
    {
        CTreeFixture f(2);
        const int p = f.row("P");
        f.doc().setSort(p, 2);
        const int b = f.row("b", p);
        f.row("A", p);
        f.row("c", p);
        f.row("B", p);
        const int a = f.row("A", p);
        Q_UNUSED(a)
        f.row("inner", b);
        f.row("inner", 5);
        f.build();
        f.selectLabel("c");
        f.doc().m_strCurTitle = "c";
        f.tree->onUpdate(CTorviQuillbookDoc::kHintTitleChanged);
        QCOMPARE(dump(f.model(), f.item("P")), QByteArray("A(inner),b(inner),A,B,c"));
    }

    // A local sort changes the folder holding the selection (the root level
    // for a root item), sorts it, and is saved with the document.
    void localSortCommandsChangeTheHoldingLevel()
    {
        CTreeFixture f;
        const int folder = f.row("folder");
        f.row("c", folder);
        f.row("B", folder);
        const int a = f.row("a", folder);
        f.row("inner", a);
        f.row("Z");
        f.row("m");
        f.build();
        f.model().setExpanded(f.item("folder"), true);
        f.selectLabel("B");
        f.tree->localSort(sortrules::kCmdLocalFolderFirst);
        QCOMPARE(f.shape(), QByteArray("folder(a(inner),B,c),Z,m"));
        QCOMPARE(f.doc().info(folder).m_nSort, 2);
        QCOMPARE(f.doc().m_nLastLocalSort, 2);
        QCOMPARE(f.doc().info(a).m_nSort, 0);  // the selected item's own children are not its level
        QVERIFY(f.doc().isModified());

        f.selectLabel("Z");
        f.tree->localSort(sortrules::kCmdLocalAlphabetical);
        QCOMPARE(f.shape(), QByteArray("folder(a(inner),B,c),m,Z"));
        QCOMPARE(f.doc().rootSort(), 1);
        // The button applies the last local type again without changing it.
        f.selectLabel("inner");
        f.tree->localSort(sortrules::kCmdLocalSortButton);
        QCOMPARE(f.doc().info(a).m_nSort, 1);
        QCOMPARE(f.doc().m_nLastLocalSort, 1);

        QVERIFY(f.doc().saveDocument(f.fx.path("sorted.tqb")));
        CTreeFixture g;
        QVERIFY(g.doc().openDocument(f.fx.path("sorted.tqb")));
        g.build();
        QCOMPARE(g.shape(), QByteArray("folder(a(inner),B,c),m,Z"));
        QCOMPARE(g.doc().rootSort(), 1);
        QCOMPARE(g.doc().info(0).m_nSort, 2);
    }

    void executeForAllFoldersUsesTheDefault()
    {
        CTreeFixture f(2);
        const int x = f.row("x");
        f.row("b", x);
        const int sub = f.row("A", x);
        f.row("z", sub);
        f.row("y", sub);
        f.row("c", x);
        f.row("B");
        f.build();
        f.tree->executeForAllFolders();
        QCOMPARE(f.shape(), QByteArray("x(A(y,z),b,c),B"));  // folders first at every level
        for (const CNoteInfo &info : f.doc().infos())
            QCOMPARE(info.m_nSort, 2);
        QCOMPARE(f.doc().rootSort(), 2);
        QVERIFY(f.doc().isModified());
        QCOMPARE(f.doc().order().size(), 7);
        QCOMPARE(f.doc().title(f.doc().order()[6]), QByteArray("B"));
    }

    // New rows take their parent's icons; "Branch" gives a whole branch the
    // chosen set; the default set is written to the settings.
    void iconCommands()
    {
        CTreeFixture f;
        const int root = f.row("root");
        const int mid = f.row("mid", root);
        f.row("leaf", mid);
        f.row("other");
        f.build();
        f.selectLabel("mid");
        const iconrules::DialogSetup setup = f.tree->selectIconsSetup();
        QVERIFY(!setup.defaultsMode);
        const iconrules::IconSet chosen{10, 11, 12, 13, 14};
        f.tree->applyIcons(setup, chosen, true);
        QCOMPARE(f.doc().info(mid).m_nIcons, chosen);
        QCOMPARE(f.doc().info(size_t(mid) + 1).m_nIcons, chosen);
        QCOMPARE(f.doc().info(root).m_nIcons, (iconrules::IconSet{0, 1, 2, 3, 4}));
        QCOMPARE(f.model().selected(), f.item("leaf"));  // the walk ends on the branch's last item
        QCOMPARE(f.model().image(f.item("leaf")), 14);
        QVERIFY(f.doc().isModified());

        f.tree->insertNewNote();  // under "leaf": copies its set
        QCOMPARE(f.doc().infos().back().m_nIcons, chosen);
        QCOMPARE(f.model().image(f.item("leaf")), 13);  // a subfolder now, opened

        f.selectLabel("other");
        const iconrules::DialogSetup defaults = f.tree->defaultIconsSetup();
        QVERIFY(defaults.defaultsMode);
        f.tree->applyIcons(defaults, {20, 21, 22, 23, 24}, false);
        QCOMPARE(f.doc().defaultIcons(), (std::array<qint32, 5>{20, 21, 22, 23, 24}));
        QCOMPARE(storedDefaultIcons(*f.fx.settings), (std::array<qint32, 5>{20, 21, 22, 23, 24}));
        QCOMPARE(f.doc().info(root).m_nIcons, (iconrules::IconSet{0, 1, 2, 3, 4}));
        f.tree->addRootFolder();
        QCOMPARE(f.doc().infos().back().m_nIcons, (iconrules::IconSet{20, 21, 22, 23, 24}));
    }

    void renameAndUndoSwapLabels()
    {
        CTreeFixture f;
        f.row("one");
        f.row("two");
        f.build();
        f.selectLabel("one");
        f.tree->rename();
        QCOMPARE(f.model().editingItem(), f.item("one"));
        QCOMPARE(f.tree->undoKind(), int(CInfoTree::kUndoRename));
        f.tree->endLabelEdit(true, "uno");
        f.selectLabel("two");
        f.tree->undo();
        QCOMPARE(f.shape(), QByteArray("one,two"));
        QCOMPARE(f.doc().title(0), QByteArray("one"));
        QCOMPARE(f.doc().m_strCurTitle, QByteArray("two"));  // not the current item
        QCOMPARE(f.doc().title(1), QByteArray("two"));
        f.tree->undo();  // undo of undo
        QCOMPARE(f.shape(), QByteArray("uno,two"));
        QCOMPARE(f.doc().title(0), QByteArray("uno"));
        QCOMPARE(f.tree->undoKind(), int(CInfoTree::kUndoRename));
    }

    void pasteSplitExamples_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("position");
        QTest::addColumn<QByteArray>("title");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("sentence") << QByteArray("First sentence.   And the rest, here.\r\n") << 14
                                  << QByteArray("First sentence.") << QByteArray("And the rest, here.");
        QTest::newRow("question") << QByteArray("Why? Because.") << 3 << QByteArray("Why?") << QByteArray("Because.");
        QTest::newRow("line feed") << QByteArray("\tTitle\tline\r\nbody") << 12 << QByteArray("Title    line")
                                   << QByteArray("body");
        const QByteArray words = QByteArray(85, 'w') + " tail words";
        QTest::newRow("space from 80") << words << 85 << QByteArray(85, 'w') << QByteArray("tail words");
        QTest::newRow("no split") << QByteArray("short words only") << -1 << QByteArray() << QByteArray();
        const QByteArray late = QByteArray(210, 'x') + ".after";
        QTest::newRow("mark past 200, no space") << late << -1 << QByteArray() << QByteArray();
        QTest::newRow("at zero") << QByteArray(".lead text") << 0 << QByteArray() << QByteArray("lead text");
    }

    void pasteSplitExamples()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, position);
        QFETCH(QByteArray, title);
        QFETCH(QByteArray, body);
        const CInfoTree::LabelSplit split = CInfoTree::splitPastedText(text);
        QCOMPARE(split.position, position);
        QCOMPARE(split.title, title);
        QCOMPARE(split.body, body);
    }

    void pasteIntoANewNoteLabel()
    {
        CTreeFixture f;
        f.row("A");
        f.build();
        f.selectLabel("A");
        f.tree->insertNewNote();
        QVERIFY(f.tree->canPaste());
        QVERIFY(f.tree->pasteIntoLabel("Buy milk. Two bottles, please."));
        QVERIFY(!f.model().isEditing());
        const int row = f.model().data(f.item("Buy milk."));
        QVERIFY(row > 0);
        QCOMPARE(f.doc().title(row), QByteArray("Buy milk."));
        QCOMPARE(f.doc().text(row), QByteArray("Two bottles, please."));
        // A note that has a body already: pasted into the field as usual.
        f.tree->rename();
        QVERIFY(!f.tree->pasteIntoLabel("Other. text"));
        f.tree->endLabelEdit(true, "Buy milk.Other. text");
        QCOMPARE(f.doc().text(row), QByteArray("Two bottles, please."));
    }

    void deleteWithWarningAndUndo()
    {
        CTreeFixture f;
        const int a = f.row("A");
        const int x = f.row("x", a);
        f.row("x1", x);
        f.row("y", a);
        f.row("B");
        f.build();
        f.model().select(CTreeModel::kNone);
        f.tree->deleteSelected();
        QCOMPARE(f.prompter().messages.last(), QString::fromLatin1(CInfoTree::kMsgNoSelection));
        f.selectLabel("x");
        f.prompter().answers << IPrompter::Answer::Cancel;
        f.tree->deleteSelected();
        QCOMPARE(f.prompter().messages.last(), QString::fromLatin1(CInfoTree::kMsgDeleteWarning));
        QCOMPARE(f.shape(), QByteArray("A(x(x1),y),B"));
        QCOMPARE(f.tree->undoKind(), 0);
        f.prompter().answers << IPrompter::Answer::Ok;
        f.tree->deleteSelected();
        QCOMPARE(f.shape(), QByteArray("A(y),B"));
        QCOMPARE(f.tree->deletedRows(), QList<quint32>({1, 2}));
        QCOMPARE(f.model().selected(), f.item("y"));  // the neighbour
        QCOMPARE(f.doc().m_nCurItem, 3);
        QCOMPARE(f.doc().count(), 5);  // rows stay
        QCOMPARE(f.doc().order(), QList<quint32>({0, 3, 4}));
        // Undo: the branch comes back last in its old parent.
        f.tree->undo();
        QCOMPARE(f.shape(), QByteArray("A(y,x(x1)),B"));
        QCOMPARE(f.model().selected(), f.item("x"));
        QCOMPARE(f.doc().text(f.model().data(f.item("x1"))), QByteArray("x1 text"));
        QCOMPARE(f.tree->undoKind(), int(CInfoTree::kUndoAdded));
        // Undo of undo: deleted again (with the warning).
        f.prompter().answers << IPrompter::Answer::Ok;
        f.tree->undo();
        QCOMPARE(f.shape(), QByteArray("A(y),B"));
        // Deleting the last child turns the subfolder into a note.
        f.selectLabel("y");
        f.tree->deleteSelected();
        QCOMPARE(f.model().image(f.item("A")), 0);
    }

    // Undo of a delete gives each node its own picture back, not the
    // default set's.
    void undoOfADeleteKeepsThePictures()
    {
        CTreeFixture f;
        const int a = f.row("A");
        const int x = f.row("x", a);
        f.row("x1", x);
        f.build();
        f.selectLabel("x");
        f.tree->applyIcons(f.tree->selectIconsSetup(), {10, 11, 12, 13, 14}, true);
        f.prompter().answers << IPrompter::Answer::Ok;
        f.selectLabel("x");
        f.tree->deleteSelected();
        f.tree->undo();
        QCOMPARE(f.model().image(f.item("x")), 12);  // a closed subfolder of its own set
        QCOMPARE(f.model().image(f.item("x1")), 14);
    }

    void undoOfALargeDeleteIsOnePass()
    {
        CTreeFixture f;
        const int root = f.row("R");
        int parent = root;
        for (int i = 0; i < 5000; ++i)
            parent = f.row("n" + QByteArray::number(i), i % 3 == 0 ? root : parent);
        f.build();
        const QByteArray before = f.shape();
        f.selectLabel("R");
        f.prompter().answers << IPrompter::Answer::Ok;
        f.tree->deleteSelected();
        QCOMPARE(f.model().count(), 0);
        f.tree->undo();
        QCOMPARE(f.shape(), before);
        QVERIFY(consistent(f.model()));
    }

    void expandAndCollapse()
    {
        CTreeFixture f;
        const int a = f.row("A");
        const int x = f.row("x", a);
        f.row("x1", x);
        f.row("B");
        f.build();
        QVERIFY(f.tree->canExpandAll());
        QVERIFY(!f.tree->canCollapse());
        f.tree->expandAll();
        QVERIFY(f.model().isExpanded(f.item("x")));
        QCOMPARE(f.model().image(f.item("x")), 3);
        QVERIFY(f.tree->canCollapse());
        QVERIFY(!f.tree->canExpandAll());
        // Complete collapse off: only roots close.
        f.fx.settings->toggle(CSettings::Collapse);
        QVERIFY(!f.tree->isCompleteCollapseChecked());
        f.selectLabel("B");
        f.tree->collapse();
        QVERIFY(!f.model().isExpanded(f.item("A")));
        QVERIFY(f.model().isExpanded(f.item("x")));
        // On: everything closes, but the path to the selection opens again.
        f.tree->toggleCompleteCollapse();
        QCOMPARE(f.fx.settings->number(CSettings::Collapse), 1);
        f.tree->expandAll();
        f.selectLabel("x1");
        f.tree->collapse();
        QVERIFY(f.model().isExpanded(f.item("A")));
        QVERIFY(f.model().isExpanded(f.item("x")));
        QVERIFY(f.tree->canCollapse());  // the reopened path can be closed
        QCOMPARE(f.doc().m_nCurItem, 2);
        f.selectLabel("A");
        f.tree->collapse();
        QVERIFY(!f.model().isExpanded(f.item("x")));
        f.tree->expandBranch();
        QVERIFY(f.model().isExpanded(f.item("x")));
        QVERIFY(!f.model().isExpanded(f.item("B")));
        // The user's own collapse keeps the flags.
        f.tree->onItemCollapsed(f.item("A"));
        QVERIFY(!f.tree->canCollapse());
        QVERIFY(f.tree->canExpandAll());
        f.tree->onItemExpanded(f.item("A"));
        QVERIFY(f.tree->canCollapse());
        QCOMPARE(f.model().image(f.item("A")), 1);
        // A note shown by its index (a search result, a reminder) opens its
        // folders: they can be closed again.
        f.selectLabel("B");
        f.tree->collapse();
        QVERIFY(!f.tree->canCollapse());
        QVERIFY(f.tree->selectByIndex(2));
        QVERIFY(f.model().isExpanded(f.item("x")));
        QVERIFY(f.tree->canCollapse());
    }

    void enableRulesAndContextMenu()
    {
        CTreeFixture f;
        const int a = f.row("A");
        f.row("a", a);
        f.build();
        QVERIFY(!f.tree->canUndo());
        QVERIFY(f.tree->canCut());
        QVERIFY(f.tree->canDelete());
        QVERIFY(!f.tree->canPaste());
        f.tree->markForCopy();
        QVERIFY(f.tree->canPaste());
        QVERIFY(f.tree->canUndo());
        f.doc().setRootSort(0);
        QCOMPARE(f.tree->contextMenuPopup(), 1);
        f.doc().setRootSort(2);
        QCOMPARE(f.tree->contextMenuPopup(), 0);
        f.selectLabel("a");
        QCOMPARE(f.tree->contextMenuPopup(), 1);  // A sorts manually
        f.model().select(CTreeModel::kNone);
        QVERIFY(!f.tree->canCut());
        QVERIFY(!f.tree->canDelete());
    }

    void addNoteForQuickCapture()
    {
        CTreeFixture f(1);
        f.doc().setRootSort(1);
        f.row("m");
        f.build();
        const Handle h = f.tree->addNote("b title", "captured", true);
        QCOMPARE(f.shape(), QByteArray("b title,m"));
        QCOMPARE(f.doc().text(f.model().data(h)), QByteArray("captured"));
        QCOMPARE(f.tree->undoKind(), int(CInfoTree::kUndoAdded));
        f.selectLabel("m");
        f.tree->addNote("under", "t", false);
        QCOMPARE(f.shape(), QByteArray("b title,m(under)"));
    }

    // ------------------------------------------------------------ branch clipboard and undo

    void copyThenPasteTwiceCopiesTheCopy()
    {
        CTreeFixture f;
        const int a = f.row("A");
        f.row("a1", a);
        f.row("T");
        f.build();
        CNoteInfo info = f.doc().info(1);
        info.m_nRemind = 0;
        info.m_nIcons = {20, 21, 22, 23, 24};
        f.doc().setInfo(1, info);
        f.selectLabel("A");
        f.tree->markForCopy();
        QCOMPARE(f.tree->undoKind(), int(CInfoTree::kUndoMarked));
        f.selectLabel("T");
        f.tree->pasteInto();
        QCOMPARE(f.shape(), QByteArray("A(a1),T(A(a1))"));
        QCOMPARE(f.tree->undoKind(), int(CInfoTree::kUndoAdded));
        QVERIFY(!f.tree->canPaste());
        const Handle copy = f.tree->clipItem();
        QCOMPARE(f.model().parent(copy), f.item("T"));
        QCOMPARE(f.doc().count(), 5);
        // The copy has texts, but a fresh row: default sort, no reminder,
        // icons of the new parent.
        const int copiedChild = f.model().data(f.model().firstChild(copy));
        QCOMPARE(f.doc().text(copiedChild), QByteArray("a1 text"));
        QCOMPARE(f.doc().info(copiedChild).m_nRemind, -1);
        QCOMPARE(f.doc().info(copiedChild).m_nIcons, f.doc().info(f.model().data(copy)).m_nIcons);
        // The second paste copies the first copy.
        f.selectLabel("A");
        f.tree->pasteInto();
        QCOMPARE(f.shape(), QByteArray("A(a1,A(a1)),T(A(a1))"));
        QCOMPARE(f.model().parent(f.tree->clipItem()), f.item("A"));
        QVERIFY(consistent(f.model()));
        f.tree->collectOrder();
        QCOMPARE(f.doc().order().size(), 7);
    }

    void cutThenPasteMovesKeepingTheRows()
    {
        CTreeFixture f;
        const int a = f.row("A");
        const int x = f.row("x", a);
        f.row("x1", x);
        f.row("T");
        f.build();
        CNoteInfo info = f.doc().info(2);
        info.m_nRemind = 3;
        info.m_nIcons = {20, 21, 22, 23, 24};
        f.doc().setInfo(2, info);
        f.doc().setSort(1, 1);
        f.doc().setReminders({2});
        const QList<QByteArray> texts = f.doc().texts();
        f.selectLabel("x");
        f.tree->markForCut();
        f.selectLabel("T");
        f.tree->pasteInto();
        QCOMPARE(f.shape(), QByteArray("A,T(x(x1))"));
        QCOMPARE(f.doc().count(), 4);  // no new rows
        QCOMPARE(f.model().data(f.item("x")), 1);
        QCOMPARE(f.model().data(f.item("x1")), 2);
        QCOMPARE(f.doc().texts(), texts);
        QCOMPARE(f.doc().info(2).m_nRemind, 3);
        QCOMPARE(f.doc().info(2).m_nIcons, (std::array<qint32, 5>{20, 21, 22, 23, 24}));
        QCOMPARE(f.doc().info(1).m_nSort, 1);
        QCOMPARE(f.doc().parentLink(1), quint32(3 + 2));
        QCOMPARE(f.model().image(f.item("A")), 0);  // old parent closed
        QCOMPARE(f.tree->undoKind(), int(CInfoTree::kUndoMoved));
        // Cut, paste twice: it moves twice.
        f.selectLabel("A");
        f.tree->pasteInto();
        QCOMPARE(f.shape(), QByteArray("A(x(x1)),T"));
        QCOMPARE(f.doc().parentLink(1), quint32(0 + 2));
        // Undo: back into T as its last child; undo of undo: back into A.
        f.tree->undo();
        QCOMPARE(f.shape(), QByteArray("A,T(x(x1))"));
        f.tree->undo();
        QCOMPARE(f.shape(), QByteArray("A(x(x1)),T"));
        // A move out of a folder turns a subfolder left empty into a note.
        f.selectLabel("x1");
        f.tree->markForCut();
        f.selectLabel("T");
        f.tree->pasteInto();
        QCOMPARE(f.model().image(f.item("x")), 4);
    }

    void undoOfAMoveFromTheRootLevel()
    {
        CTreeFixture f(2);  // Paste root would apply; undo must not depend on it
        f.doc().setRootSort(0);
        f.row("A");
        f.row("B");
        f.row("C");
        f.build();
        f.selectLabel("A");
        f.tree->markForCut();
        f.selectLabel("B");
        f.tree->pasteInto();
        QCOMPARE(f.shape(), QByteArray("B(A),C"));
        f.selectLabel("C");
        f.tree->undo();
        QCOMPARE(f.shape(), QByteArray("B,C,A"));
        QCOMPARE(f.doc().parentLink(0), 1u);
        QCOMPARE(f.tree->undoKind(), int(CInfoTree::kUndoMoved));
        f.tree->undo();
        QCOMPARE(f.shape(), QByteArray("B(A),C"));
    }

    void pasteIntoItselfOrADescendantDoesNothing()
    {
        for (const bool cut : {true, false}) {
            CTreeFixture f;
            const int a = f.row("A");
            const int x = f.row("x", a);
            f.row("x1", x);
            f.build();
            f.selectLabel("A");
            cut ? f.tree->markForCut() : f.tree->markForCopy();
            for (const QByteArray &target : {QByteArray("A"), QByteArray("x"), QByteArray("x1")}) {
                f.selectLabel(target);
                f.tree->pasteInto();
                if (target != "A")  // before itself is a real place for a copy
                    f.tree->pasteBefore();
                QCOMPARE(f.shape(), QByteArray("A(x(x1))"));
            }
            QCOMPARE(f.doc().count(), 3);
            QVERIFY(f.prompter().messages.isEmpty());
        }
    }

    void pasteMessages()
    {
        CTreeFixture f;
        f.row("A");
        f.build();
        f.tree->pasteInto();
        QCOMPARE(f.prompter().messages.last(), QString::fromLatin1(CInfoTree::kMsgNothingCopied));
        f.tree->pasteBefore();
        QCOMPARE(f.prompter().messages.last(), QString::fromLatin1(CInfoTree::kMsgNothingCopied));
        f.tree->markForCopy();
        f.model().select(CTreeModel::kNone);
        f.tree->pasteInto();
        QCOMPARE(f.prompter().messages.last(), QString::fromLatin1(CInfoTree::kMsgNoSelectionItem));
        f.tree->markForCut();
        QCOMPARE(f.prompter().messages.last(), QString::fromLatin1(CInfoTree::kMsgNoSelectionCut));
        f.tree->markForCopy();
        QCOMPARE(f.prompter().messages.last(), QString::fromLatin1(CInfoTree::kMsgNoSelectionItem));
    }

    void pasteBeforeAndPasteRoot()
    {
        CTreeFixture f(0);
        const int a = f.row("A");
        f.row("a1", a);
        f.row("a2", a);
        f.row("B");
        f.build();
        f.selectLabel("B");
        f.tree->markForCopy();
        f.selectLabel("a2");
        f.tree->pasteBefore();  // default sort manual: before a2
        QCOMPARE(f.shape(), QByteArray("A(a1,B,a2),B"));
        f.selectLabel("a1");
        f.tree->pasteBefore();  // no previous sibling: first
        QCOMPARE(f.shape(), QByteArray("A(B,a1,B,a2),B"));
        f.fx.settings->setNumber(CSettings::SortType, 1);
        f.selectLabel("a1");
        f.tree->pasteBefore();  // Paste root
        QCOMPARE(f.shape(), QByteArray("A(B,a1,B,a2),B,B"));
    }

    void failedStoreDuringAPasteRollsBack()
    {
        CTreeFixture f;
        const int a = f.row("A");
        const int x = f.row("x", a);
        f.row("x1", x);
        f.row("x2", x);
        f.row("T");
        f.build();
        f.selectLabel("x");
        f.tree->markForCopy();
        f.selectLabel("T");
        FailAfter fail;
        fail.doc = &f.doc();
        fail.okAppends = 2;  // x and x1 get rows, x2 fails
        f.model().addObserver(&fail);
        f.tree->pasteInto();
        f.model().removeObserver(&fail);
        fail.held.reset();
        QCOMPARE(f.shape(), QByteArray("A(x(x1,x2)),T"));
        QVERIFY(f.prompter().messages.contains(QString::fromLatin1(CInfoTree::kMsgDataNotSaved)));
        QCOMPARE(f.model().count(), 5);
        f.tree->collectOrder();
        QCOMPARE(f.doc().order(), QList<quint32>({0, 1, 2, 3, 4}));
    }

    void undoOfAMarkForgetsIt()
    {
        CTreeFixture f;
        f.row("A");
        f.build();
        f.tree->markForCut();
        f.tree->undo();
        QCOMPARE(f.tree->undoKind(), 0);
        QCOMPARE(f.tree->clipItem(), CTreeModel::kNone);
        QVERIFY(!f.tree->isCut());
    }

    void undoDuringALabelEditOnlyCollects()
    {
        CTreeFixture f;
        f.row("A");
        f.build();
        f.tree->addRootFolder();
        f.doc().setModifiedFlag(false);
        f.tree->undo();
        QCOMPARE(f.shape(), QByteArray("A,New Folder"));
        QVERIFY(f.doc().isModified());
        QCOMPARE(f.tree->undoKind(), int(CInfoTree::kUndoAdded));
    }

    void importAppendsAndOneUndoRemovesIt()
    {
        CTreeFixture f;
        f.row("A");
        f.build();
        const Handle folder = f.tree->appendImportedItem(CTreeModel::kNone, "file", "c:\\file.txt");
        QVERIFY(folder);
        QCOMPARE(f.model().selected(), folder);
        f.tree->appendImportedItem(folder, "n1", "one");
        f.tree->appendImportedItem(folder, "n2", "two");
        f.tree->recordAdded(folder);
        f.tree->collectOrder();
        QCOMPARE(f.shape(), QByteArray("A,file(n1,n2)"));
        QCOMPARE(f.doc().parentLink(2), quint32(1 + 2));
        QCOMPARE(f.doc().info(2).m_nSort, 0);
        f.prompter().answers << IPrompter::Answer::Ok;
        f.tree->undo();
        QCOMPARE(f.shape(), QByteArray("A"));
    }

    void importRequestRunsOnceAfterTheBuild()
    {
        CTreeFixture f;
        int ran = 0;
        f.tree->setImportRunner([&](int request) {
            ran = request;
            f.tree->appendImportedItem(CTreeModel::kNone, "imported", "");
        });
        f.doc().m_nImport = CTorviQuillbookDoc::kImportCsv;
        f.doc().newDocument();
        f.tree->onUpdate(CTorviQuillbookDoc::kHintRefreshAll);
        QCOMPARE(ran, 2);
        QCOMPARE(f.doc().m_nImport, -1);
        QCOMPARE(f.shape(), QByteArray("imported"));
    }

    // ------------------------------------------------------------ drag and drop

    void dropMovesCopiesAndRefusesItsOwnBranch()
    {
        CTreeFixture f(0);
        f.doc().setRootSort(0);
        const int a = f.row("A");
        const int x = f.row("x", a);
        f.row("x1", x);
        f.row("B");
        f.row("C");
        f.build();
        // Onto a descendant, or itself: nothing.
        QVERIFY(f.tree->beginDrag(f.item("A"), 0));
        f.tree->dragMove(f.item("x1"), 10);
        f.tree->drop(false, false);
        QCOMPARE(f.shape(), QByteArray("A(x(x1)),B,C"));
        QVERIFY(f.tree->beginDrag(f.item("A"), 0));
        f.tree->dragMove(f.item("A"), 10);
        f.tree->drop(true, true);
        QCOMPARE(f.shape(), QByteArray("A(x(x1)),B,C"));
        QCOMPARE(f.doc().count(), 5);
        // Move into B.
        QVERIFY(f.tree->beginDrag(f.item("x"), 0));
        f.tree->dragMove(f.item("B"), 10);
        f.tree->drop(false, false);
        QCOMPARE(f.shape(), QByteArray("A,B(x(x1)),C"));
        QCOMPARE(f.tree->undoKind(), int(CInfoTree::kUndoMoved));
        QCOMPARE(f.model().selected(), f.item("x"));
        QCOMPARE(f.doc().parentLink(1), quint32(3 + 2));
        // Undo: back into A, last.
        f.tree->undo();
        QCOMPARE(f.shape(), QByteArray("A(x(x1)),B,C"));
        // Ctrl at the drop copies.
        QVERIFY(f.tree->beginDrag(f.item("C"), 0));
        f.tree->dragMove(f.item("B"), 10);
        f.tree->drop(true, false);
        QCOMPARE(f.shape(), QByteArray("A(x(x1)),B(C),C"));
        QCOMPARE(f.doc().count(), 6);
        QCOMPARE(f.tree->undoKind(), int(CInfoTree::kUndoAdded));
        // Alt: before the target.
        QVERIFY(f.tree->beginDrag(f.model().lastChild(CTreeModel::kRoot), 0));
        f.tree->dragMove(f.item("B"), 10);
        f.tree->drop(false, true);
        QCOMPARE(f.shape(), QByteArray("A(x(x1)),C,B(C)"));
        // Onto empty space: last at the root; with Alt: first.
        QVERIFY(f.tree->beginDrag(f.item("x1"), 0));
        f.tree->dragMove(CTreeModel::kNone, 10);
        f.tree->drop(false, false);
        QCOMPARE(f.shape(), QByteArray("A(x),C,B(C),x1"));
        QCOMPARE(f.model().image(f.item("x")), 4);  // left without children: a note
        QVERIFY(f.tree->beginDrag(f.item("x1"), 0));
        f.tree->drop(false, true);
        QCOMPARE(f.shape(), QByteArray("x1,A(x),C,B(C)"));
        QVERIFY(!f.tree->isDragging());
    }

    void cancelledDragKeepsTheCutMark()
    {
        CTreeFixture f;
        f.row("A");
        f.row("B");
        f.build();
        QVERIFY(f.tree->beginDrag(f.item("A"), 0));
        f.tree->dragMove(f.item("B"), 5);
        QCOMPARE(f.model().dropHighlight(), f.item("B"));
        QVERIFY(f.tree->keyDown(CInfoTree::Key::Escape));
        QVERIFY(!f.tree->isDragging());
        QCOMPARE(f.model().dropHighlight(), CTreeModel::kNone);
        QCOMPARE(f.tree->clipItem(), f.item("A"));
        QVERIFY(f.tree->isCut());
        QCOMPARE(f.tree->undoKind(), 0);
        QVERIFY(!f.tree->canPaste());
        QCOMPARE(f.shape(), QByteArray("A,B"));
    }

    void autoScrollRates()
    {
        const QRect client(0, 100, 200, 300);  // top 100, bottom 400
        auto linesOver = [&](QPoint cursor, int ticks) {
            int lines = 0;
            for (int t = 1; t <= ticks; ++t)
                lines += CInfoTree::autoScrollStep(t, cursor, client).y();
            return lines;
        };
        QCOMPARE(linesOver({100, 105}, 12), -3);   // 5 px inside the top: every 4th tick (120 ms)
        QCOMPARE(linesOver({100, 100 - 65}, 12), -12);  // 65 px above: every tick (30 ms)
        QCOMPARE(linesOver({100, 100 + 20 - 20}, 12), -4);  // 20 px past the band's inner edge: every 3rd
        QCOMPARE(linesOver({100, 100 - 20}, 12), -6);  // 40: every 2nd
        QCOMPARE(linesOver({100, 250}, 12), 0);
        QCOMPARE(linesOver({100, 395}, 12), 3);
        QCOMPARE(CInfoTree::autoScrollStep(4, {5, 250}, client), QPoint(-1, 0));
        QCOMPARE(CInfoTree::autoScrollStep(4, {195, 250}, client), QPoint(1, 0));
    }

    void dragTicksScrollAndHoverExpands()
    {
        CTreeFixture f;
        const int a = f.row("A");
        f.row("a", a);
        f.row("B");
        f.build();
        const QRect client(0, 0, 200, 300);
        QVERIFY(f.tree->beginDrag(f.item("B"), 1000));
        QCOMPARE(f.tree->dragTick(1000 + 120, {100, 5}, client).lines, -1);  // 4 ticks at 5 px
        QCOMPARE(f.tree->scrollTicks(), 4);
        f.tree->dragMove(f.item("A"), 1200);
        QVERIFY(f.tree->hoverTimerRunning());
        QCOMPARE(f.tree->dragTick(1200 + 1999, {100, 150}, client).expanded, CTreeModel::kNone);
        const CInfoTree::DragTick tick = f.tree->dragTick(1200 + 2000, {100, 150}, client);
        QCOMPARE(tick.expanded, f.item("A"));
        QCOMPARE(tick.lines, 0);
        QVERIFY(f.model().isExpanded(f.item("A")));
        QCOMPARE(f.model().image(f.item("A")), 1);
        // A folder without children never expands.
        f.tree->dragMove(f.item("a"), 3300);
        QCOMPARE(f.tree->dragTick(3300 + 4000, {100, 150}, client).expanded, CTreeModel::kNone);
        f.tree->cancelDrag();
        QVERIFY(!f.tree->hoverTimerRunning());
    }
};

QTEST_GUILESS_MAIN(TestTreeEdit)
#include "tst_tree_edit.moc"
