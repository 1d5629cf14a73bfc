// Search all notes and Go to note as a person uses them, in the real window:
// type, wait for the list, choose a row, and land on the note with the hit
// selected; the dock comes back where it was at the next start.
#include "DocFixture.h"
#include "GuiTestSupport.h"
#include "app/MainFrame.h"
#include "app/TorviQuillbookApp.h"
#include "doc/TorviQuillbookDoc.h"
#include "editor/TorviQuillbookView.h"
#include "find/GoToNotePopup.h"
#include "find/SearchDock.h"
#include "find/SearchResultsModel.h"
#include "tree/InfoTree.h"
#include "tree/LeftView.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Garden (Seeds), Recipes (Tomato soup), Trips: "tomato" is in one title and two texts.
QString makeDocument(const QString &path)
{
    CDocFixture f;
    CTorviQuillbookDoc &d = *f.doc;
    const int garden = d.appendItem("Garden", "Plant tomatoes in May", CItemTables::kRootParent, CNoteInfo{});
    const int seeds = d.appendItem("Seeds", "Order list:\r\nbuy\ttomato seeds and soil", quint32(garden) + 2, CNoteInfo{});
    const int recipes = d.appendItem("Recipes", "", CItemTables::kRootParent, CNoteInfo{});
    const int soup = d.appendItem("Tomato soup", "Boil, then blend.", quint32(recipes) + 2, CNoteInfo{});
    const int trips = d.appendItem("Trips", "passport, tickets", CItemTables::kRootParent, CNoteInfo{});
    d.setOrder({quint32(garden), quint32(seeds), quint32(recipes), quint32(soup), quint32(trips)});
    return d.saveDocument(path) ? path : QString();
}

QStringList rowTitles(const CSearchResultsModel &model)
{
    QStringList out;
    for (int r = 0; r < model.rowCount(); ++r)
        out << model.index(r).data().toString();
    return out;
}

QString selectedInPane(CTorviQuillbookView *pane)
{
    return pane->textCursor().selectedText();
}

}  // namespace

class TstSearchDock : public QObject
{
    Q_OBJECT

private slots:
    void searchTypeWaitChoose()
    {
        QTemporaryDir dir;
        const QString doc = makeDocument(dir.filePath(QStringLiteral("garden.tqb")));
        QVERIFY(!doc.isEmpty());
        CTorviQuillbookApp app(std::make_unique<QSettings>(dir.filePath(QStringLiteral("app.ini")), QSettings::IniFormat));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook"), doc}));
        CMainFrame *frame = app.mainFrame();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        CSearchDock *dock = frame->searchDock();
        QVERIFY(dock->isHidden());

        frame->action(QStringLiteral("searchAll"))->trigger();
        QVERIFY(dock->isVisible());
        QTRY_VERIFY(dock->field()->hasFocus());
        QTest::keyClicks(dock->field(), QStringLiteral("TOMATO"));
        // The list fills after the pause that follows the last keystroke.
        QTRY_VERIFY(dock->status()->text().startsWith(QStringLiteral("3 notes match (")));
        const CSearchResultsModel &model = dock->model();
        QCOMPARE(rowTitles(model), (QStringList{"Tomato soup", "Garden", "Seeds"}));
        QCOMPARE(model.index(0).data(CSearchResultsModel::PathRole).toString(), QStringLiteral("Recipes"));
        QCOMPARE(model.index(0).data(CSearchResultsModel::TitleHitRole).toPoint(), QPoint(0, 6));
        const QModelIndex seedsRow = model.index(2);
        QCOMPARE(seedsRow.data(CSearchResultsModel::PathRole).toString(), QStringLiteral("Garden"));
        QCOMPARE(seedsRow.data(CSearchResultsModel::ContextRole).toString(),
                 QStringLiteral("Order list: buy tomato seeds and soil"));
        QCOMPARE(seedsRow.data(CSearchResultsModel::ContextHitRole).toPoint(), QPoint(16, 6));
        QVERIFY(!seedsRow.data(Qt::DecorationRole).value<QIcon>().isNull());
        QVERIFY(guitest::saveScreenshot(*frame, QStringLiteral("search-dock")));

        // Down into the list, down twice more, Enter: Seeds, with "tomato" selected in its text.
        QTest::keyClick(dock->field(), Qt::Key_Down);
        QVERIFY(dock->results()->hasFocus());
        QTest::keyClick(dock->results(), Qt::Key_Down);
        QTest::keyClick(dock->results(), Qt::Key_Down);
        QCOMPARE(dock->results()->currentIndex().row(), 2);
        QTest::keyClick(dock->results(), Qt::Key_Return);
        CTorviQuillbookView *pane = frame->notePane();
        QCOMPARE(frame->itemView()->currentIndex().data().toString(), QStringLiteral("Seeds"));
        QTRY_VERIFY(pane->hasFocus());
        QCOMPARE(selectedInPane(pane), QStringLiteral("tomato"));
        QVERIFY(pane->textCursor().selectionStart() > pane->paneLayout().bodyStart);

        // Enter in the field takes the first result: the hit in the title line is selected.
        dock->field()->setFocus();
        QTest::keyClick(dock->field(), Qt::Key_Return);
        QCOMPARE(frame->itemView()->currentIndex().data().toString(), QStringLiteral("Tomato soup"));
        QCOMPARE(selectedInPane(pane), QStringLiteral("Tomato"));
        QCOMPARE(pane->textCursor().selectionStart(), 0);

        // Escape goes back to the tree.
        dock->results()->setFocus();
        QTest::keyClick(dock->results(), Qt::Key_Escape);
        QTRY_VERIFY(frame->itemView()->hasFocus());

        // Titles only: Tomato soup alone.
        guitest::clickCheckBox(dock->titlesOnlyBox());
        QTRY_VERIFY(dock->status()->text().startsWith(QStringLiteral("1 note matches (")));
        QCOMPARE(rowTitles(model), QStringList{"Tomato soup"});
        guitest::clickCheckBox(dock->titlesOnlyBox());
        QTRY_VERIFY(dock->status()->text().startsWith(QStringLiteral("3 notes match (")));

        // An edit in the note pane while a search runs starts it again over the new text.
        QVERIFY(frame->itemView()->infoTree().selectByIndex(4));  // Trips
        dock->searchNow();
        QVERIFY(dock->isSearching());
        pane->moveCursor(QTextCursor::End);
        QTest::keyClicks(pane, QStringLiteral(" tomato"));
        QTRY_VERIFY(dock->status()->text().startsWith(QStringLiteral("4 notes match (")));
        QCOMPARE(rowTitles(model), (QStringList{"Tomato soup", "Garden", "Seeds", "Trips"}));
    }

    // The rows follow the notes while the dock is open, and Enter right
    // after typing takes the first hit of what was typed.
    void dockFollowsTheNotes()
    {
        QTemporaryDir dir;
        const QString doc = makeDocument(dir.filePath(QStringLiteral("garden.tqb")));
        CTorviQuillbookApp app(std::make_unique<QSettings>(dir.filePath(QStringLiteral("app.ini")), QSettings::IniFormat));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook"), doc}));
        CMainFrame *frame = app.mainFrame();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        CSearchDock *dock = frame->searchDock();
        CInfoTree &tree = frame->itemView()->infoTree();
        frame->action(QStringLiteral("searchAll"))->trigger();
        QTest::keyClicks(dock->field(), QStringLiteral("tomato"));
        QTRY_VERIFY(dock->status()->text().startsWith(QStringLiteral("3 notes match (")));

        // A rename in the tree and an edit in the pane, long after the search ended.
        QVERIFY(tree.selectByIndex(4));
        tree.rename();
        QVERIFY(frame->itemView()->labelEditor());
        QTest::keyClicks(frame->itemView()->labelEditor(), QStringLiteral("Tomato trips"));
        QTest::keyClick(frame->itemView()->labelEditor(), Qt::Key_Return);
        QTRY_COMPARE(rowTitles(dock->model()), (QStringList{"Tomato soup", "Tomato trips", "Garden", "Seeds"}));
        QVERIFY(tree.selectByIndex(2));
        frame->notePane()->moveCursor(QTextCursor::End);
        QTest::keyClicks(frame->notePane(), QStringLiteral("tomato"));
        QTRY_VERIFY(dock->status()->text().startsWith(QStringLiteral("5 notes match (")));

        // A note deleted and chosen before the rows follow: gone; Undo brings it back, and the rows say so.
        QVERIFY(tree.selectByIndex(1));
        frame->action(QStringLiteral("deleteItem"))->trigger();
        QVERIFY(!dock->activateRow(int(rowTitles(dock->model()).indexOf(QStringLiteral("Seeds")))));
        QCOMPARE(dock->status()->text(), QStringLiteral("That note is no longer in the tree."));
        tree.undo();
        QTRY_VERIFY(dock->status()->text().startsWith(QStringLiteral("5 notes match (")));

        // Enter before the pause ends: the first hit of the new word, not of the old one.
        dock->field()->selectAll();
        QTest::keyClicks(dock->field(), QStringLiteral("passport"));
        QTest::keyClick(dock->field(), Qt::Key_Return);
        QTRY_COMPARE(frame->itemView()->currentIndex().data().toString(), QStringLiteral("Tomato trips"));
        QCOMPARE(selectedInPane(frame->notePane()), QStringLiteral("passport"));

        // Renamed while the dock was closed: listed anew when it opens.
        dock->close();
        tree.rename();
        QTest::keyClicks(frame->itemView()->labelEditor(), QStringLiteral("Journeys"));
        QTest::keyClick(frame->itemView()->labelEditor(), Qt::Key_Return);
        frame->action(QStringLiteral("searchAll"))->trigger();
        QTRY_COMPARE(rowTitles(dock->model()), QStringList{"Journeys"});
    }

    // With the dock open, Tab still goes between the two panes: from the note
    // to the tree and back.
    void tabGoesBetweenThePanesBesideTheDock()
    {
        QTemporaryDir dir;
        const QString doc = makeDocument(dir.filePath(QStringLiteral("garden.tqb")));
        CTorviQuillbookApp app(std::make_unique<QSettings>(dir.filePath(QStringLiteral("app.ini")), QSettings::IniFormat));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook"), doc}));
        CMainFrame *frame = app.mainFrame();
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        frame->action(QStringLiteral("searchAll"))->trigger();
        QTRY_VERIFY(frame->searchDock()->field()->hasFocus());
        frame->activateEditorPane();
        QTRY_VERIFY(frame->notePane()->hasFocus());
        QTest::keyClick(frame->notePane(), Qt::Key_Tab);
        QTRY_VERIFY(frame->itemView()->hasFocus());
        QTest::keyClick(frame->itemView(), Qt::Key_Tab);
        QTRY_VERIFY(frame->notePane()->hasFocus());
    }

    void dockComesBackAtTheNextStart()
    {
        QTemporaryDir dir;
        const QString doc = makeDocument(dir.filePath(QStringLiteral("garden.tqb")));
        const QString ini = dir.filePath(QStringLiteral("app.ini"));
        {
            CTorviQuillbookApp app(std::make_unique<QSettings>(ini, QSettings::IniFormat));
            QVERIFY(app.startUp({QStringLiteral("torvi-quillbook"), doc}));
            QVERIFY(QTest::qWaitForWindowExposed(app.mainFrame()));
            app.mainFrame()->action(QStringLiteral("searchAll"))->trigger();
            QVERIFY(app.mainFrame()->close());
        }
        {
            CTorviQuillbookApp app(std::make_unique<QSettings>(ini, QSettings::IniFormat));
            QVERIFY(app.startUp({QStringLiteral("torvi-quillbook"), doc}));
            CSearchDock *dock = app.mainFrame()->searchDock();
            QVERIFY(dock->isVisible());
            QCOMPARE(app.mainFrame()->dockWidgetArea(dock), Qt::RightDockWidgetArea);
            dock->close();
            QVERIFY(app.mainFrame()->close());
        }
        CTorviQuillbookApp app(std::make_unique<QSettings>(ini, QSettings::IniFormat));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook"), doc}));
        QVERIFY(app.mainFrame()->searchDock()->isHidden());
    }

    void goToNote()
    {
        QTemporaryDir dir;
        const QString doc = makeDocument(dir.filePath(QStringLiteral("garden.tqb")));
        CTorviQuillbookApp app(std::make_unique<QSettings>(dir.filePath(QStringLiteral("app.ini")), QSettings::IniFormat));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook"), doc}));
        CMainFrame *frame = app.mainFrame();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        CGoToNotePopup *popup = frame->goToNotePopup();

        frame->action(QStringLiteral("goToNote"))->trigger();
        QVERIFY(popup->isVisible());
        QTRY_VERIFY(popup->field()->hasFocus());
        // Words in any order, case-blind; the title that starts with one comes first.
        QTest::keyClicks(popup->field(), QStringLiteral("S"));
        QCOMPARE(popup->list()->item(0)->text(), QStringLiteral("Seeds\nGarden"));
        QVERIFY(popup->list()->visualItemRect(popup->list()->item(0)).height() >= 2 * popup->fontMetrics().height());
        QTest::keyClicks(popup->field(), QStringLiteral("O TOM"));
        QCOMPARE(popup->list()->count(), 1);
        QCOMPARE(popup->list()->item(0)->text(), QStringLiteral("Tomato soup\nRecipes"));
        QVERIFY(guitest::saveScreenshot(*frame, QStringLiteral("go-to-note")));
        QTest::keyClick(popup->field(), Qt::Key_Return);
        QVERIFY(popup->isHidden());
        QCOMPARE(frame->itemView()->currentIndex().data().toString(), QStringLiteral("Tomato soup"));
        QTRY_VERIFY(frame->itemView()->hasFocus());

        // Down picks the next one; Escape closes without moving.
        frame->action(QStringLiteral("goToNote"))->trigger();
        QTest::keyClicks(popup->field(), QStringLiteral("e"));
        QVERIFY(popup->list()->count() >= 3);
        QTest::keyClick(popup->field(), Qt::Key_Down);
        const QString second = popup->list()->currentItem()->text().section(QLatin1Char('\n'), 0, 0);
        QTest::keyClick(popup->field(), Qt::Key_Return);
        QCOMPARE(frame->itemView()->currentIndex().data().toString(), second);
        frame->action(QStringLiteral("goToNote"))->trigger();
        QTest::keyClicks(popup->field(), QStringLiteral("trips"));
        QTest::keyClick(popup->field(), Qt::Key_Escape);
        QVERIFY(popup->isHidden());
        QCOMPARE(frame->itemView()->currentIndex().data().toString(), second);
    }
};

QTEST_MAIN(TstSearchDock)
#include "tst_searchdock.moc"
