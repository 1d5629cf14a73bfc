// The infotree pane in the main window, driven as a person does: keys, label
// edits, the context menu and mouse drags. Each result is checked in the
// document's tables and again in the file after Save and reopen.
#include "TestPaths.h"
#include "GuiTestSupport.h"
#include "app/MainFrame.h"
#include "app/TorviQuillbookApp.h"
#include "doc/TorviQuillbookDoc.h"
#include "tree/LeftView.h"
#include "editor/TorviQuillbookView.h"
#include "DocFixture.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QSvgRenderer>
#include <QToolBar>
#include "app/MainToolBar.h"
#include <QLineEdit>
#include <QListWidget>
#include <QStatusBar>
#include <QTabBar>
#include "tree/SelectIconsDlg.h"
#include "settings/LogFont.h"
#include "settings/Settings.h"
#include <QScrollBar>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <map>

namespace {

using Row = CRow;

// "title" -> "parent title" ("" for a root) of every row in the tree order.
std::map<QByteArray, QByteArray> shape(const CTorviQuillbookDoc &doc)
{
    std::map<QByteArray, QByteArray> out;
    for (quint32 i : doc.order()) {
        const quint32 link = doc.parentLink(i);
        out[doc.title(i)] = link == CItemTables::kRootParent ? QByteArray() : doc.title(link - 2);
    }
    return out;
}

std::map<QByteArray, QByteArray> shapeOfFile(const QString &path)
{
    CDocFixture reader;
    if (!reader.doc->openDocument(path))
        return {};
    return shape(*reader.doc);
}

struct Session : guitest::CProgramInFolder
{
    CLeftView *tree = nullptr;
    std::unique_ptr<QAbstractItemModelTester> tester;
    QString path;

    bool open(const QList<Row> &rows)
    {
        path = savedDocument(dir.filePath(QStringLiteral("tree.tqb")), rows);
        if (path.isEmpty() || !start(path))
            return false;
        tree = frame->itemView();
        tester = std::make_unique<QAbstractItemModelTester>(tree->model(),
                                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
        frame->activateWindow();
        tree->setFocus();
        return QTest::qWaitForWindowActive(frame);
    }
    QModelIndex find(const QString &title) const
    {
        const QModelIndexList found = tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole, title, 1,
                                                           Qt::MatchExactly | Qt::MatchRecursive | Qt::MatchWrap);
        return found.isEmpty() ? QModelIndex() : found.first();
    }
    QPoint centre(const QModelIndex &index) const
    {
        tree->scrollTo(index);
        return tree->visualRect(index).center();
    }
    void click(const QModelIndex &index) const
    {
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, centre(index));
    }
    // Presses on one row, moves over another in a few steps and lets go.
    void drag(const QModelIndex &from, const QModelIndex &onto, Qt::KeyboardModifiers atDrop) const
    {
        const QPoint a = centre(from);
        const QPoint b = centre(onto);
        QWidget *vp = tree->viewport();
        QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, a);
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(vp, a + (b - a) * step / 4);
        QTest::mouseRelease(vp, Qt::LeftButton, atDrop, b);
    }
    // Types into the open label editor and presses Enter.
    bool typeLabel(const QString &text) const
    {
        QLineEdit *editor = tree->labelEditor();
        if (!editor)
            return false;
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        // The editor commits and closes from the event loop.
        return QTest::qWaitFor([this] { return !tree->labelEditor(); });
    }
    bool save() const
    {
        frame->action(QStringLiteral("fileSave"))->trigger();
        return !app->document().isModified();
    }
};

} // namespace

class TestLeftView : public QObject
{
    Q_OBJECT

private slots:
    // Alt+Insert, name, Enter; Insert, name, Enter; Delete with the warning
    // (Cancel first, then OK); everything in the tables and in the file.
    void keysShapeTheTreeAndTheFile()
    {
        Session s;
        QVERIFY(s.open({{"Inbox", "first", CItemTables::kRootParent}}));
        CTorviQuillbookDoc &doc = s.doc();

        QTest::keyClick(s.tree, Qt::Key_Insert, Qt::AltModifier);
        QLineEdit *editor = s.tree->labelEditor();
        QVERIFY(editor);
        QCOMPARE(editor->selectedText(), QStringLiteral("New Folder"));  // typing replaces it
        QVERIFY(s.typeLabel(QStringLiteral("Projects")));
        QCOMPARE(doc.titles().size(), 2);
        QCOMPARE(doc.title(1), QByteArray("Projects"));
        QCOMPARE(doc.parentLink(1), CItemTables::kRootParent);
        QVERIFY(s.find(QStringLiteral("Projects")).isValid());

        // Insert adds a note under the selected folder, its label open too.
        QCOMPARE(s.tree->currentIndex(), s.find(QStringLiteral("Projects")));
        QTest::keyClick(s.tree, Qt::Key_Insert);
        QVERIFY(s.tree->labelEditor());
        QCOMPARE(s.tree->labelEditor()->selectedText(), QStringLiteral("New Note"));
        QVERIFY(s.typeLabel(QStringLiteral("Plan")));
        QCOMPARE(doc.titles().size(), 3);
        QCOMPARE(doc.title(2), QByteArray("Plan"));
        QCOMPARE(doc.parentLink(2), quint32(1 + 2));
        QCOMPARE(s.find(QStringLiteral("Plan")).parent(), s.find(QStringLiteral("Projects")));
        QCOMPARE(s.frame->findChild<QPlainTextEdit *>(QStringLiteral("note"))->toPlainText(),
                 QStringLiteral("Plan\n\n"));

        QVERIFY(s.save());
        QCOMPARE(shapeOfFile(s.path), (std::map<QByteArray, QByteArray>{
                                          {"Inbox", ""}, {"Projects", ""}, {"Plan", "Projects"}}));

        // Delete on a folder with children asks first; Cancel keeps it.
        s.click(s.find(QStringLiteral("Projects")));
        QString asked;
        guitest::whenModalShows<QMessageBox>([&](QMessageBox *box) {
            asked = box->text();
            box->button(QMessageBox::Cancel)->click();
        });
        QTest::keyClick(s.tree, Qt::Key_Delete);
        QCOMPARE(asked, QStringLiteral("WARNING! This will delete the selected folder and all subfolders. "
                                       "Do you want to continue?"));
        QVERIFY(s.find(QStringLiteral("Projects")).isValid());

        guitest::whenModalShows<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::Ok)->click(); });
        QTest::keyClick(s.tree, Qt::Key_Delete);
        QVERIFY(!s.find(QStringLiteral("Projects")).isValid());
        QVERIFY(!s.find(QStringLiteral("Plan")).isValid());
        QCOMPARE(s.tree->model()->rowCount(), 1);
        QCOMPARE(doc.order(), (QList<quint32>{0}));
        QCOMPARE(s.tree->currentIndex(), s.find(QStringLiteral("Inbox")));

        QVERIFY(s.save());
        QCOMPARE(shapeOfFile(s.path), (std::map<QByteArray, QByteArray>{{"Inbox", ""}}));
    }

    // A mouse drag moves a branch into another item; with Ctrl held at the
    // drop it copies it, text included, and the original stays.
    void mouseDragMovesAndCtrlCopies()
    {
        Session s;
        QVERIFY(s.open({{"Alpha", "a", CItemTables::kRootParent},
                        {"Leaf", "leaf text", 2},
                        {"Beta", "b", CItemTables::kRootParent},
                        {"Gamma", "gamma text", CItemTables::kRootParent}}));
        CTorviQuillbookDoc &doc = s.doc();

        s.drag(s.find(QStringLiteral("Alpha")), s.find(QStringLiteral("Beta")), Qt::NoModifier);
        QVERIFY(!s.tree->infoTree().isDragging());
        QCOMPARE(s.find(QStringLiteral("Alpha")).parent(), s.find(QStringLiteral("Beta")));
        QCOMPARE(doc.parentLink(0), quint32(2 + 2));  // Beta is row 2
        QCOMPARE(doc.titles().size(), 4);            // a move keeps the rows
        QCOMPARE(s.tree->currentIndex(), s.find(QStringLiteral("Alpha")));

        s.drag(s.find(QStringLiteral("Gamma")), s.find(QStringLiteral("Beta")), Qt::ControlModifier);
        QCOMPARE(doc.titles().size(), 5);
        QCOMPARE(doc.title(4), QByteArray("Gamma"));
        QCOMPARE(doc.text(4), QByteArray("gamma text"));
        QCOMPARE(doc.parentLink(4), quint32(2 + 2));
        QCOMPARE(doc.parentLink(3), CItemTables::kRootParent);  // the original stays at the root

        // Dropping a folder into its own branch does nothing.
        s.tree->expand(s.find(QStringLiteral("Alpha")));
        s.drag(s.find(QStringLiteral("Beta")), s.find(QStringLiteral("Leaf")), Qt::NoModifier);
        QCOMPARE(s.find(QStringLiteral("Beta")).parent(), QModelIndex());

        QVERIFY(s.save());
        CDocFixture reader;
        QVERIFY(reader.doc->openDocument(s.path));
        QCOMPARE(reader.doc->count(), 5);
        int gammas = 0;
        for (int i = 0; i < reader.doc->count(); ++i) {
            if (reader.doc->title(i) != "Gamma")
                continue;
            ++gammas;
            QCOMPARE(reader.doc->text(i), QByteArray("gamma text"));
        }
        QCOMPARE(gammas, 2);
        const auto saved = shape(*reader.doc);
        QCOMPARE(saved.at("Alpha"), QByteArray("Beta"));
        QCOMPARE(saved.at("Leaf"), QByteArray("Alpha"));
        QCOMPARE(saved.at("Beta"), QByteArray());
    }

    // Escape during a drag cancels it: nothing moves, nothing is marked modified.
    void escapeCancelsADrag()
    {
        Session s;
        QVERIFY(s.open({{"One", "", CItemTables::kRootParent}, {"Two", "", CItemTables::kRootParent}}));
        const QPoint a = s.centre(s.find(QStringLiteral("One")));
        const QPoint b = s.centre(s.find(QStringLiteral("Two")));
        QTest::mousePress(s.tree->viewport(), Qt::LeftButton, Qt::NoModifier, a);
        QTest::mouseMove(s.tree->viewport(), b);
        QVERIFY(s.tree->infoTree().isDragging());
        QCOMPARE(s.tree->infoTree().model().dropHighlight(), s.tree->handleAt(s.find(QStringLiteral("Two"))));
        QTest::keyClick(s.tree, Qt::Key_Escape);
        QVERIFY(!s.tree->infoTree().isDragging());
        QTest::mouseRelease(s.tree->viewport(), Qt::LeftButton, Qt::NoModifier, b);
        QCOMPARE(s.find(QStringLiteral("One")).parent(), QModelIndex());
        QCOMPARE(s.doc().parentLink(0), CItemTables::kRootParent);
        QVERIFY(!s.doc().isModified());
    }

    // Ctrl+V in the label of a new, empty note splits the copied text into
    // title and body; both reach the file.
    void pastedTextBecomesTitleAndBody()
    {
        Session s;
        QVERIFY(s.open({{"Folder", "", CItemTables::kRootParent}}));
        QTest::keyClick(s.tree, Qt::Key_Insert);
        QVERIFY(s.tree->labelEditor());
        QApplication::clipboard()->setText(QStringLiteral("Buy milk.   Then call Ann about the car."));
        QTest::keyClick(s.tree->labelEditor(), Qt::Key_V, Qt::ControlModifier);
        QVERIFY(!s.tree->labelEditor());
        QCOMPARE(s.doc().title(1), QByteArray("Buy milk."));
        QCOMPARE(s.doc().text(1), QByteArray("Then call Ann about the car."));
        QVERIFY(s.find(QStringLiteral("Buy milk.")).isValid());
        QVERIFY(s.save());
        CDocFixture reader;
        QVERIFY(reader.doc->openDocument(s.path));
        QCOMPARE(reader.doc->texts().last(), QByteArray("Then call Ann about the car."));
    }

    // Right-click selects the row under the cursor and opens the popup of its
    // folder's sort type; its commands run on that row.
    void contextMenuSelectsAndRuns()
    {
        Session s;
        QVERIFY(s.open({{"Left", "left text", CItemTables::kRootParent},
                        {"Right", "right text", CItemTables::kRootParent}}));
        const QStringList expected{QStringLiteral("Undo\tCtrl+Z"), QString(), QStringLiteral("Add a root folder\tAlt+Ins"),
                                   QStringLiteral("Insert new note\tIns"), QString(), QStringLiteral("Cut\tCtrl+X"),
                                   QStringLiteral("Copy\tCtrl+C"), QStringLiteral("Paste into\tCtrl+V"),
                                   QStringLiteral("Paste root\t Alt+V"), QString(), QStringLiteral("Rename"), QString(),
                                   QStringLiteral("Expand branch"), QStringLiteral("Expand all "),
                                   QStringLiteral("Collapse"), QString(), QStringLiteral("Delete\tDel")};
        QStringList shown;
        for (QAction *a : s.tree->contextMenu(0)->actions())
            shown.append(a->text());
        QCOMPARE(shown, expected);
        QCOMPARE(s.tree->contextMenu(1)->actions().at(8)->text(), QStringLiteral("Paste before\t Alt+V"));

        // The root level sorts alphabetically by default: popup 0.
        const QPoint at = s.centre(s.find(QStringLiteral("Right")));
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, s.tree->viewport()->mapToGlobal(at));
        QApplication::sendEvent(s.tree->viewport(), &event);
        QCOMPARE(s.tree->currentIndex(), s.find(QStringLiteral("Right")));
        QCOMPARE(s.doc().m_strCurText, QByteArray("right text"));
        QMenu *menu = s.tree->contextMenu(0);
        QTRY_VERIFY(menu->isVisible());
        menu->close();

        // "Rename" opens the label; Escape there collapses and keeps it open;
        // the new name is stored; Undo brings the old one back.
        menu->actions().at(10)->trigger();
        QVERIFY(s.tree->labelEditor());
        QTest::keyClick(s.tree->labelEditor(), Qt::Key_Escape);
        QVERIFY(s.tree->labelEditor());
        QVERIFY(s.typeLabel(QStringLiteral("Renamed")));
        QCOMPARE(s.doc().title(1), QByteArray("Renamed"));
        QTest::keyClick(s.tree, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(s.doc().title(1), QByteArray("Right"));
        QVERIFY(s.find(QStringLiteral("Right")).isValid());
        // F2 is the same command: Undo takes its name back too.
        QTest::keyClick(s.tree, Qt::Key_F2);
        QVERIFY(s.typeLabel(QStringLiteral("Keyed")));
        QCOMPARE(s.doc().title(1), QByteArray("Keyed"));
        QTest::keyClick(s.tree, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(s.doc().title(1), QByteArray("Right"));
    }

    void typedNameGoesToTheEditedItem_data();
    void typedNameGoesToTheEditedItem();
    void typedNameSurvivesChangesOfItsRow();
    void labelWithAnUndefinedByteEdits();
    void typedNameSurvivesTreeWideCommands_data();
    void typedNameSurvivesTreeWideCommands();
    void saveAndCloseTakeAnOpenName_data();
    void saveAndCloseTakeAnOpenName();
    void editCommandsActOnTheOpenLabel();
    void foldersOpenedForTheSelectionShowTheOpenPicture();
    void dragImageAndDropsOutsideTheTree();
    void longLabelsDeepDownScrollSideways();
    void toolbarPicturesOnEveryPalette();
    void localSortAndBranchIconsReachTheFile();
    void screenshotOfAPopulatedTree();
    void draggingNearTheEdgeScrollsAndHoverOpensAFolder();
    void leftPanelFontComesFromTheStoredLogFont();
};


namespace {

// A (a1, a2, a3) and C at the root; rows 0..4 in that order.
const QList<Row> kFolderAndC{{"A", "a text", CItemTables::kRootParent},
                             {"a1", "one", 2},
                             {"a2", "two", 2},
                             {"a3", "three", 2},
                             {"C", "c text", CItemTables::kRootParent}};

// A second click on the selected item's label (which records nothing for
// Undo and keeps a marked branch), then the text typed over the label.
QLineEdit *startTyping(Session &s, const QString &item, const QString &text)
{
    if (s.tree->currentIndex() != s.find(item)) {
        s.click(s.find(item));
        QTest::qWait(QApplication::doubleClickInterval() + 20);
    }
    s.click(s.find(item));
    if (!QTest::qWaitFor([&s] { return s.tree->labelEditor() != nullptr; }))
        return nullptr;
    QLineEdit *editor = s.tree->labelEditor();
    if (editor)
        QTest::keyClicks(editor, text);
    return editor;
}

QList<QByteArray> titlesInFile(const QString &path)
{
    CDocFixture reader;
    return reader.doc->openDocument(path) ? reader.doc->titles() : QList<QByteArray>{};
}

}  // namespace

// A command that selects another item while a name is being typed: the
// typed name goes to the item being edited, and no other item is renamed.
void TestLeftView::typedNameGoesToTheEditedItem_data()
{
    QTest::addColumn<QString>("route");
    QTest::newRow("Alt+V pastes the cut branch") << "pasteBefore";
    QTest::newRow("Paste into from the context menu") << "pasteInto";
    QTest::newRow("Alt+Insert adds a root folder") << "addRoot";
    QTest::newRow("Insert adds a note") << "insert";
}

void TestLeftView::typedNameGoesToTheEditedItem()
{
    QFETCH(QString, route);
    Session s;
    QVERIFY(s.open(kFolderAndC));
    CTorviQuillbookDoc &doc = s.doc();
    s.click(s.find(QStringLiteral("C")));
    QTest::keyClick(s.tree, Qt::Key_X, Qt::ControlModifier);
    s.tree->expand(s.find(QStringLiteral("A")));
    QLineEdit *editor = startTyping(s, QStringLiteral("a3"), QStringLiteral("zzz"));
    QVERIFY(editor);

    if (route == QLatin1String("pasteBefore"))
        QTest::keyClick(editor, Qt::Key_V, Qt::AltModifier);
    else if (route == QLatin1String("pasteInto"))
        s.tree->contextMenu(1)->actions().at(7)->trigger();
    else if (route == QLatin1String("addRoot"))
        QTest::keyClick(editor, Qt::Key_Insert, Qt::AltModifier);
    else
        QTest::keyClick(editor, Qt::Key_Insert);

    QCOMPARE(doc.titles().mid(0, 5), (QList<QByteArray>{"A", "a1", "a2", "zzz", "C"}));
    QVERIFY(s.find(QStringLiteral("zzz")).isValid());
    QVERIFY(s.find(QStringLiteral("C")).isValid());
    if (route == QLatin1String("insert")) {
        QCOMPARE(s.find(QStringLiteral("New Note")).parent(), s.find(QStringLiteral("zzz")));
        QCOMPARE(doc.text(3), QByteArray("three"));
    }
    QVERIFY(s.tree->labelEditor() == nullptr || s.tree->labelEditor()->text() != QLatin1String("zzz"));
    QVERIFY(s.save());
    QCOMPARE(titlesInFile(s.path).count("zzz"), 1);
    QCOMPARE(titlesInFile(s.path).count("C"), 1);
}

// 0x81 means nothing in windows-1252: the label edits around it, keeps it,
// and loses it only when the user deletes it; the title line likewise.
void TestLeftView::labelWithAnUndefinedByteEdits()
{
    Session s;
    QVERIFY(s.open({{"Mid\x81" "dle", "", CItemTables::kRootParent}, {"Two\x81", "", CItemTables::kRootParent}}));
    QLineEdit *editor = startTyping(s, QStringLiteral("Mid\uFFFDdle"), QString());
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_End);
    QVERIFY(s.typeLabel(QStringLiteral("s")));
    QCOMPARE(s.doc().title(0), QByteArray("Mid\x81" "dles"));
    QVERIFY(!s.frame->messageText().contains(QStringLiteral("U+FFFD")));

    editor = startTyping(s, QStringLiteral("Mid\uFFFDdles"), QString());
    QVERIFY(editor);
    editor->setCursorPosition(4);
    QTest::keyClick(editor, Qt::Key_Backspace);
    QVERIFY(s.typeLabel(QString()));
    QCOMPARE(s.doc().title(0), QByteArray("Middles"));

    s.click(s.find(QStringLiteral("Two\uFFFD")));
    s.frame->notePane()->setFocus();
    s.frame->notePane()->moveCursor(QTextCursor::Start);
    QTest::keyClicks(s.frame->notePane(), QStringLiteral("A "));
    QCOMPARE(s.doc().m_strCurTitle, QByteArray("A Two\x81"));
    QVERIFY(s.save());
    QList<QByteArray> saved = titlesInFile(s.path);
    std::sort(saved.begin(), saved.end());
    QCOMPARE(saved, (QList<QByteArray>{"A Two\x81", "Middles"}));
}

// The name being typed stays in the editor when its row changes under it:
// Escape closes the open folder (a new picture), Insert gives it a child.
void TestLeftView::typedNameSurvivesChangesOfItsRow()
{
    Session s;
    QVERIFY(s.open(kFolderAndC));
    s.tree->expand(s.find(QStringLiteral("A")));
    QLineEdit *editor = startTyping(s, QStringLiteral("A"), QStringLiteral("Books"));
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Escape);
    QVERIFY(!s.tree->isExpanded(s.find(QStringLiteral("A"))));
    QCOMPARE(s.tree->labelEditor(), editor);
    QCOMPARE(editor->text(), QStringLiteral("Books"));
    QVERIFY(s.typeLabel(QStringLiteral(" old")));
    QCOMPARE(s.doc().title(0), QByteArray("Books old"));

    // A new folder named, then a note inserted into it while the name is open.
    QTest::keyClick(s.tree, Qt::Key_Insert, Qt::AltModifier);
    QTest::keyClicks(s.tree->labelEditor(), QStringLiteral("Alpha"));
    QTest::keyClick(s.tree->labelEditor(), Qt::Key_Insert);
    QCOMPARE(s.doc().title(5), QByteArray("Alpha"));
    QCOMPARE(s.doc().title(6), QByteArray("New Note"));
    QCOMPARE(s.find(QStringLiteral("New Note")).parent(), s.find(QStringLiteral("Alpha")));
    QVERIFY(s.typeLabel(QStringLiteral("Beta")));
    QCOMPARE(s.doc().title(6), QByteArray("Beta"));
    QCOMPARE(s.doc().title(5), QByteArray("Alpha"));

    // What the code page cannot hold is refused where it is typed, and said.
    QLineEdit *named = startTyping(s, QStringLiteral("Beta"), QStringLiteral("Bug "));
    QVERIFY(named);
    guitest::typeText(named, QStringLiteral("\u0416e"));
    QCOMPARE(named->text(), QStringLiteral("Bug e"));
    QVERIFY2(s.frame->statusBar()->currentMessage().contains(QStringLiteral("(U+0416)")),
             qPrintable(s.frame->statusBar()->currentMessage()));
    QTest::keyClick(named, Qt::Key_Return);
    QVERIFY(QTest::qWaitFor([&s] { return !s.tree->labelEditor(); }));  // commits from the event loop
    QCOMPARE(s.doc().title(6), QByteArray("Bug e"));
}

// Collapse and Expand all rebuild the whole tree view: the name being typed
// is taken first, not thrown away with the editor.
void TestLeftView::typedNameSurvivesTreeWideCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("Collapse") << "collapseTree";
    QTest::newRow("Expand all") << "expandAll";
}

void TestLeftView::typedNameSurvivesTreeWideCommands()
{
    QFETCH(QString, command);
    Session s;
    QVERIFY(s.open(kFolderAndC));
    s.tree->expand(s.find(QStringLiteral("A")));
    if (command == QLatin1String("expandAll"))
        s.tree->collapse(s.find(QStringLiteral("A")));
    QVERIFY(startTyping(s, command == QLatin1String("expandAll") ? QStringLiteral("C") : QStringLiteral("a3"),
                        QStringLiteral("Zed")));
    QAction *action = s.frame->action(command);
    QVERIFY(action->isEnabled());
    action->trigger();
    QVERIFY(s.tree->labelEditor() == nullptr || s.tree->labelEditor()->text() == QLatin1String("Zed"));
    QVERIFY(s.save());
    QCOMPARE(titlesInFile(s.path).count("Zed"), 1);
}

// Save and closing the window take the name still being typed; pasted line
// breaks become blanks in it.
void TestLeftView::saveAndCloseTakeAnOpenName_data()
{
    QTest::addColumn<QString>("route");
    QTest::newRow("Ctrl+S") << "save";
    QTest::newRow("closing the window") << "close";
}

void TestLeftView::saveAndCloseTakeAnOpenName()
{
    QFETCH(QString, route);
    Session s;
    QVERIFY(s.open(kFolderAndC));
    // A name typed over an unchanged document, with a two-line paste in it.
    QLineEdit *editor = startTyping(s, QStringLiteral("C"), QStringLiteral("Budget"));
    QVERIFY(editor);
    QApplication::clipboard()->setText(QStringLiteral("2024\r\nplan"));
    editor->paste();
    QCOMPARE(editor->text(), QStringLiteral("Budget2024  plan"));
    const QByteArray typed("Budget2024  plan");

    if (route == QLatin1String("save")) {
        QVERIFY(s.frame->action(QStringLiteral("fileSave"))->isEnabled());
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
    } else {
        QString asked;
        guitest::whenModalShows<QMessageBox>([&](QMessageBox *box) {
            asked = box->text();
            box->button(QMessageBox::Yes)->click();
        });
        QVERIFY(s.frame->close());
        QCOMPARE(asked, QStringLiteral("Save changes to tree.tqb?"));
    }
    QVERIFY(!s.doc().isModified());
    QCOMPARE(titlesInFile(s.path).value(4), typed);
}

// Edit > Cut, Copy, Paste and Undo while a label is edited work on its text,
// from the menu, the toolbar and the keys alike; the marked branch stays.
void TestLeftView::editCommandsActOnTheOpenLabel()
{
    Session s;
    QVERIFY(s.open(kFolderAndC));
    s.click(s.find(QStringLiteral("C")));
    QTest::keyClick(s.tree, Qt::Key_X, Qt::ControlModifier);
    s.tree->expand(s.find(QStringLiteral("A")));
    QAction *cut = s.frame->action(QStringLiteral("editCut"));
    QAction *copy = s.frame->action(QStringLiteral("editCopy"));
    QAction *paste = s.frame->action(QStringLiteral("editPaste"));
    QAction *undo = s.frame->action(QStringLiteral("editUndo"));

    QLineEdit *editor = startTyping(s, QStringLiteral("a1"), QStringLiteral("first"));
    QVERIFY(editor);
    s.frame->updateCommandStates();
    QVERIFY(undo->isEnabled());
    undo->trigger();
    QCOMPARE(editor->text(), QStringLiteral("a1"));

    editor->selectAll();
    QApplication::clipboard()->clear();
    s.frame->updateCommandStates();
    QVERIFY(copy->isEnabled());
    QVERIFY(!paste->isEnabled());  // nothing the field could paste
    copy->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("a1"));
    cut->trigger();
    QCOMPARE(editor->text(), QString());
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("a1"));

    QApplication::clipboard()->setText(QStringLiteral("Pasted name"));
    s.frame->updateCommandStates();
    QVERIFY(paste->isEnabled());
    paste->trigger();
    QVERIFY(!s.tree->labelEditor());
    QCOMPARE(s.doc().title(1), QByteArray("Pasted name"));
    QCOMPARE(s.find(QStringLiteral("C")).parent(), QModelIndex());  // the cut branch did not move

    // The keys the window knows (Alt+Backspace, Shift+Delete) reach the field too.
    editor = startTyping(s, QStringLiteral("a2"), QStringLiteral("x"));
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Backspace, Qt::AltModifier);
    QCOMPARE(editor->text(), QStringLiteral("a2"));
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(editor->text(), QString());
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("a2"));
    QCOMPARE(s.find(QStringLiteral("C")).parent(), QModelIndex());
    QCOMPARE(s.tree->infoTree().undoKind(), int(CInfoTree::kUndoMarked));
}

// Folders opened to show the selected item (Collapse keeps its path open)
// show the open picture, like folders the user opened.
void TestLeftView::foldersOpenedForTheSelectionShowTheOpenPicture()
{
    Session s;
    QVERIFY(s.open({{"Root", "", CItemTables::kRootParent}, {"Sub", "", 2}, {"Leaf", "", 3}}));
    const CTreeModel &model = s.tree->infoTree().model();
    s.tree->infoTree().expandAll();
    s.click(s.find(QStringLiteral("Leaf")));
    s.frame->activateTreePane();
    s.frame->updateCommandStates();
    s.frame->action(QStringLiteral("collapseTree"))->trigger();
    QVERIFY(s.tree->isExpanded(s.find(QStringLiteral("Root"))));
    QVERIFY(s.tree->isExpanded(s.find(QStringLiteral("Sub"))));
    QCOMPARE(model.image(s.tree->handleAt(s.find(QStringLiteral("Root")))), 1);
    QCOMPARE(model.image(s.tree->handleAt(s.find(QStringLiteral("Sub")))), 3);
    QCOMPARE(model.image(s.tree->handleAt(s.find(QStringLiteral("Leaf")))), 4);
}

// The drag image is small, faint and beside the cursor; a release outside
// the tree gives the drag up, one on its empty area drops at the root's end;
// the next click selects as usual.
void TestLeftView::dragImageAndDropsOutsideTheTree()
{
    Session s;
    QVERIFY(s.open(kFolderAndC));
    CTorviQuillbookDoc &doc = s.doc();
    s.tree->expand(s.find(QStringLiteral("A")));
    QWidget *vp = s.tree->viewport();
    const QPoint from = s.centre(s.find(QStringLiteral("a2")));
    const QPoint over = s.centre(s.find(QStringLiteral("C")));
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(vp, from + QPoint(0, 2));  // a hand trembles before it drags
    QTest::mouseMove(vp, (from + over) / 2);
    QTest::mouseMove(vp, over);
    QVERIFY(s.tree->infoTree().isDragging());
    QPointer<QLabel> image = vp->findChild<QLabel *>();
    QVERIFY(image && image->isVisible());
    QVERIFY(!image->geometry().contains(over));
    QVERIFY(image->x() > over.x());
    QVERIFY(image->height() <= 2 * CLeftView::kItemHeight);
    QVERIFY(image->width() < vp->width());
    const QImage picture = image->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    int opaque = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            opaque += qAlpha(picture.pixel(x, y)) == 255;
    QCOMPARE(opaque, 0);
    guitest::saveScreenshot(*s.tree, QStringLiteral("leftview-dragging"));

    // Let go over the note pane: nothing moves.
    const QPoint outside = vp->mapFromGlobal(s.frame->findChild<QPlainTextEdit *>(QStringLiteral("note"))
                                                 ->mapToGlobal(QPoint(40, 40)));
    QTest::mouseMove(vp, outside);
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, outside);
    QVERIFY(!s.tree->infoTree().isDragging());
    // The image is gone, or at least hidden.
    QVERIFY(!image || !image->isVisible());
    QCOMPARE(s.find(QStringLiteral("a2")).parent(), s.find(QStringLiteral("A")));
    QCOMPARE(doc.parentLink(2), quint32(0 + 2));
    QVERIFY(!doc.isModified());

    // The first click after it selects.
    s.click(s.find(QStringLiteral("a3")));
    QCOMPARE(s.tree->currentIndex(), s.find(QStringLiteral("a3")));

    // Let go on the empty area below the last row: to the end of the root level.
    const QPoint empty(20, vp->height() - 4);
    QVERIFY(!s.tree->indexAt(empty).isValid());
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, s.centre(s.find(QStringLiteral("a1"))));
    QTest::mouseMove(vp, over);
    QTest::mouseMove(vp, empty);
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, empty);
    QCOMPARE(s.find(QStringLiteral("a1")).parent(), QModelIndex());
    QCOMPARE(doc.parentLink(1), CItemTables::kRootParent);
    s.click(s.find(QStringLiteral("C")));
    QCOMPARE(s.tree->currentIndex(), s.find(QStringLiteral("C")));
}

// A long label at a deep level is shown whole: the tree scrolls sideways.
void TestLeftView::longLabelsDeepDownScrollSideways()
{
    Session s;
    QList<Row> rows{{"Level 0", "", CItemTables::kRootParent}};
    for (quint32 level = 1; level < 8; ++level)
        rows.append({QByteArray("Level ") + QByteArray::number(level), "", level + 1});
    const QString longLabel = QStringLiteral("A rather long name of a note that sits eight levels down in the tree");
    rows.append({longLabel.toLatin1(), "", 9});
    QVERIFY(s.open(rows));
    s.tree->infoTree().expandAll();
    const QModelIndex deep = s.find(longLabel);
    QVERIFY(deep.isValid());
    QTRY_VERIFY(s.tree->horizontalScrollBar()->maximum() > 0);
    const QRect shown = s.tree->visualRect(deep);
    QVERIFY(shown.width() >= s.tree->fontMetrics().horizontalAdvance(longLabel) + 16);
    s.tree->horizontalScrollBar()->setValue(s.tree->horizontalScrollBar()->maximum());
    QVERIFY(guitest::saveScreenshot(*s.tree, QStringLiteral("leftview-long-label-scrolled")));
}

namespace {

// The most colourful pixel: how far its channels are apart (0 for grey).
int colourfulness(const QImage &image)
{
    int most = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = QColor::fromRgba(image.pixel(x, y));
            if (c.alpha() > 128)
                most = qMax(most, qMax(c.red(), qMax(c.green(), c.blue())) - qMin(c.red(), qMin(c.green(), c.blue())));
        }
    return most;
}

}  // namespace

// Every toolbar button looks different enabled and disabled, "Insert new
// note" is not grey when enabled, and without an icon theme the buttons
// show our pictures, not numbers. Screenshots in a light and a dark palette.
void TestLeftView::toolbarPicturesOnEveryPalette()
{
    const QSize size(24, 24);
    const auto checkButtons = [&](QToolBar *bar) {
        int buttons = 0;
        for (QAction *a : bar->actions()) {
            if (a->isSeparator())
                continue;
            ++buttons;
            const QImage normal = a->icon().pixmap(size, QIcon::Normal).toImage();
            const QImage disabled = a->icon().pixmap(size, QIcon::Disabled).toImage();
            QVERIFY2(!normal.isNull() && normal != disabled, qPrintable(a->objectName()));
            QVERIFY2(colourfulness(disabled) < 20, qPrintable(a->objectName()));
        }
        QCOMPARE(buttons, 22);
    };
    {
        Session s;
        QVERIFY(s.open(kFolderAndC));
        auto *bar = s.frame->findChild<QToolBar *>(QStringLiteral("toolbar"));
        QVERIFY(bar);
        checkButtons(bar);
        const QImage note = s.frame->action(QStringLiteral("insertNote"))->icon().pixmap(size).toImage();
        QVERIFY(colourfulness(note) > 60);
        QVERIFY(guitest::saveScreenshot(*bar, QStringLiteral("toolbar-light")));
        bar->setEnabled(false);
        QVERIFY(guitest::saveScreenshot(*bar, QStringLiteral("toolbar-light-disabled")));
    }

    // No icon theme at all, and a dark palette.
    const QPalette light = QApplication::palette();
    QIcon::setThemeSearchPaths({});
    QIcon::setFallbackSearchPaths({});
    QIcon::setThemeName(QStringLiteral("no-such-theme"));
    QIcon::setFallbackThemeName(QStringLiteral("no-such-theme"));
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x34));
    dark.setColor(QPalette::Button, QColor(0x30, 0x30, 0x34));
    dark.setColor(QPalette::Base, QColor(0x24, 0x24, 0x28));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::Text, Qt::white);
    QApplication::setPalette(dark);
    {
        Session s;
        QVERIFY(s.open(kFolderAndC));
        auto *bar = s.frame->findChild<QToolBar *>(QStringLiteral("toolbar"));
        checkButtons(bar);
        // Each button shows the picture drawn for it (the sort button's
        // three as well), no two alike.
        const QDir art(testpaths::data(QStringLiteral("../../res/icons/toolbar")));
        const QStringList files = art.entryList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name);
        QCOMPARE(files.size(), 24);
        QList<QImage> seen;
        for (int image = 0; image < 24; ++image) {
            const QImage picture =
                CMainToolBar::image(image).pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QImage drawn(size, QImage::Format_ARGB32_Premultiplied);
            drawn.fill(Qt::transparent);
            QPainter painter(&drawn);
            QSvgRenderer(art.filePath(files[image])).render(&painter);
            painter.end();
            int different = 0;
            for (int y = 0; y < 24; ++y)
                for (int x = 0; x < 24; ++x)
                    different += qAbs(qGray(picture.pixel(x, y)) - qGray(drawn.pixel(x, y))) > 24
                        || qAbs(qAlpha(picture.pixel(x, y)) - qAlpha(drawn.pixel(x, y))) > 24;
            QVERIFY2(different < 12, qPrintable(files[image]));
            QVERIFY2(!seen.contains(picture), qPrintable(files[image]));
            seen.append(picture);
        }
        QVERIFY(guitest::saveScreenshot(*bar, QStringLiteral("toolbar-dark-no-theme")));
        bar->setEnabled(false);
        QVERIFY(guitest::saveScreenshot(*bar, QStringLiteral("toolbar-dark-no-theme-disabled")));
        s.tree->infoTree().expandAll();
        QVERIFY(guitest::saveScreenshot(*s.frame, QStringLiteral("mainwindow-dark-no-theme")));
    }
    QApplication::setPalette(light);
}

void TestLeftView::localSortAndBranchIconsReachTheFile()
{
    Session s;
    CNoteInfo manual;
    manual.m_nSort = 0;
    QVERIFY(s.open({{"Box", "", CItemTables::kRootParent, manual},
                    {"b", "", 2}, {"A", "", 2}, {"c", "", 2}}));
    CTorviQuillbookDoc &doc = s.doc();
    const QModelIndex box = s.find(QStringLiteral("Box"));
    s.tree->expand(box);
    auto childTitles = [&] {
        QStringList titles;
        for (int r = 0; r < s.tree->model()->rowCount(box); ++r)
            titles.append(s.tree->model()->index(r, 0, box).data().toString());
        return titles;
    };
    QCOMPARE(childTitles(), (QStringList{"b", "A", "c"}));

    // "Alphabetical" from the local sort drop-down, with a child selected,
    // sorts that child's level and stores the folder's sort type.
    s.click(s.find(QStringLiteral("b")));
    s.tree->localSortMenu()->actions().at(1)->trigger();
    QCOMPARE(childTitles(), (QStringList{"A", "b", "c"}));
    QCOMPARE(doc.info(0).m_nSort, 1);

    // Select icons on the folder: five picks fill the five slots, "Branch"
    // gives the whole branch the same set.
    s.click(box);
    guitest::whenModalShows<CSelectIconsDlg>([](CSelectIconsDlg *dlg) {
        QListWidget *list = dlg->iconList();
        for (int image : {10, 11, 12, 13, 14})
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                              list->visualItemRect(list->item(image)).center());
        dlg->branchButton()->click();
        dlg->accept();
    });
    s.frame->action(QStringLiteral("selectIcons"))->trigger();
    const std::array<qint32, 5> chosen{10, 11, 12, 13, 14};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(doc.info(i).m_nIcons, chosen);
    // The walk ends on the branch's last item; a note shows its slot-4 picture.
    QCOMPARE(s.tree->currentIndex(), s.find(QStringLiteral("c")));
    QCOMPARE(s.tree->infoTree().model().image(s.tree->handleAt(s.find(QStringLiteral("c")))), 14);
    guitest::saveScreenshot(*s.frame, QStringLiteral("leftview-branch-icons"));

    QVERIFY(s.save());
    CDocFixture reader;
    QVERIFY(reader.doc->openDocument(s.path));
    QCOMPARE(reader.doc->titles(), (QList<QByteArray>{"Box", "A", "b", "c"}));  // saved in tree order
    QCOMPARE(reader.doc->info(0).m_nSort, 1);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(reader.doc->info(i).m_nIcons, chosen);
}

// A populated tree with its icons, for a person to look at.
void TestLeftView::screenshotOfAPopulatedTree()
{
    Session s;
    auto icons = [](std::array<qint32, 5> set) {
        CNoteInfo info;
        info.m_nIcons = set;
        return info;
    };
    QVERIFY(s.open({{"Notebook", "", CItemTables::kRootParent},
                    {"Chapter one", "", 2},
                    {"Opening lines", "", 3},
                    {"Ideas", "", 3},
                    {"Chapter two", "", 2},
                    {"Money", "", CItemTables::kRootParent, icons({10, 11, 2, 3, 12})},
                    {"Bank cards", "", 7, icons({10, 11, 2, 3, 18})},
                    {"Coins", "", 7, icons({10, 11, 2, 3, 15})},
                    {"People", "", CItemTables::kRootParent, icons({20, 21, 7, 8, 24})},
                    {"Ann", "", 10, icons({20, 21, 7, 8, 23})},
                    {"Bob", "", 10, icons({20, 21, 7, 8, 22})},
                    {"Travel", "", CItemTables::kRootParent, icons({44, 44, 7, 8, 53})},
                    {"Empty folder", "", CItemTables::kRootParent}}));
    s.tree->infoTree().expandAll();
    QTRY_VERIFY(s.tree->isExpanded(s.find(QStringLiteral("Chapter one"))));
    QVERIFY(s.tree->visualRect(s.find(QStringLiteral("Ideas"))).isValid());
    QCOMPARE(s.tree->visualRect(s.find(QStringLiteral("Ideas"))).height(), CLeftView::kItemHeight);
    QVERIFY(guitest::saveScreenshot(*s.frame, QStringLiteral("leftview")));
}

// The drag's own timer: near the bottom edge the tree scrolls; resting on a
// collapsed folder opens it (after 2 s). Escape then leaves everything in place.
void TestLeftView::draggingNearTheEdgeScrollsAndHoverOpensAFolder()
{
    Session s;
    QList<Row> rows{{"Folder", "", CItemTables::kRootParent}, {"Inside", "", 2}};
    for (int i = 0; i < 80; ++i)
        rows.append({QByteArray("Item ") + QByteArray::number(100 + i), "", CItemTables::kRootParent});
    QVERIFY(s.open(rows));
    QWidget *vp = s.tree->viewport();
    const QModelIndex folder = s.find(QStringLiteral("Folder"));
    QVERIFY(!s.tree->isExpanded(folder));
    const QPoint from = s.centre(s.find(QStringLiteral("Item 100")));
    const QPoint onto = s.centre(folder);
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(vp, onto);
    QVERIFY(s.tree->infoTree().isDragging());
    QTRY_VERIFY_WITH_TIMEOUT(s.tree->isExpanded(folder), 10000);
    QVERIFY(s.tree->infoTree().model().isExpanded(s.tree->handleAt(folder)));

    QCOMPARE(s.tree->verticalScrollBar()->value(), 0);
    QTest::mouseMove(vp, QPoint(40, vp->height() - 5));
    QTRY_VERIFY(s.tree->verticalScrollBar()->value() > 0);

    QTest::keyClick(s.tree, Qt::Key_Escape);
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, QPoint(40, vp->height() - 5));
    QCOMPARE(s.find(QStringLiteral("Item 100")).parent(), QModelIndex());
    QVERIFY(!s.doc().isModified());
}

// "FontL" holds a LOGFONT: the tree shows that face, size and weight, rows
// stay readable, and opening leaves the stored bytes as they were.
void TestLeftView::leftPanelFontComesFromTheStoredLogFont()
{
    Session s;
    CLogFont stored;
    stored.height = -24;
    stored.weight = CLogFont::kWeightBold;
    stored.faceName = "DejaVu Sans";
    stored.raw[23] = char(204);  // a character set the font record does not describe
    const QByteArray bytes = stored.toBytes();
    {
        QSettings store(s.dir.filePath(QStringLiteral("app.ini")), QSettings::IniFormat);
        CSettings(store).setBytes(CSettings::FontL, bytes);
    }
    QVERIFY(s.open({{"Big letters", "", CItemTables::kRootParent}}));
    QCOMPARE(s.tree->font().pixelSize(), 24);
    QVERIFY(s.tree->font().bold());
    QCOMPARE(s.tree->font().family(), QStringLiteral("DejaVu Sans"));
    QVERIFY(s.tree->visualRect(s.find(QStringLiteral("Big letters"))).height() >= QFontMetrics(s.tree->font()).height());
    QCOMPARE(s.doc().settings().bytes(CSettings::FontL), bytes);
}

QTEST_MAIN(TestLeftView)
#include "tst_leftview.moc"
