#include "DocFixture.h"
#include "FakeNotePane.h"
#include "GuiTestSupport.h"
#include "find/FindDlg.h"
#include "find/FindReplace.h"
#include "find/NoteText.h"
#include "settings/Settings.h"
#include "text/CodePage.h"
#include "tree/InfoTree.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

// A plain-text pane standing in for the note editor: it shows the current
// item as title, blank line, text, and writes each replacement back to the
// working copy and the tables.
class CPlainNote : public CFakeNotePane
{
public:
    CPlainNote(CTorviQuillbookDoc &doc, CInfoTree &tree) : CFakeNotePane(doc, tree) {}
    QByteArray text() const override { return m_page.fromUnicode(edit.toPlainText()).value_or(QByteArray()); }
    qsizetype selectionStart() const override { return edit.textCursor().selectionStart(); }
    qsizetype selectionEnd() const override { return edit.textCursor().selectionEnd(); }
    void setSelection(qsizetype start, qsizetype end) override
    {
        QTextCursor c = edit.textCursor();
        c.setPosition(int(start));
        c.setPosition(int(end), QTextCursor::KeepAnchor);
        edit.setTextCursor(c);
        edit.ensureCursorVisible();
    }
    bool replaceSelection(const QByteArray &text) override
    {
        QTextCursor c = edit.textCursor();
        if (!c.hasSelection())
            return false;
        c.insertText(m_page.toUnicode(text));
        edit.setTextCursor(c);
        storeBack(this->text(), "\n\n");
        return true;
    }

    QPlainTextEdit edit;

protected:
    void show() override
    {
        const QByteArray pane = m_doc.m_nCurItem < 0 ? QByteArray() : m_doc.m_strCurTitle + "\n\n" + m_doc.m_strCurText;
        edit.setPlainText(m_page.toUnicode(pane));
        edit.moveCursor(QTextCursor::Start);
    }

private:
    CCodePage m_page;
};

// The dialog over a real document, infotree and pane, as the main window wires them.
struct CFindGui
{
    CFindGui()
    {
        tree = std::make_unique<CInfoTree>(*fx.doc);
        note = std::make_unique<CPlainNote>(*fx.doc, *tree);
        find = std::make_unique<CFindReplace>(*tree, *note);
        find->setPaneActivation([this] { ++editorActivations; }, [this] { ++treeActivations; });
        owner.resize(800, 600);
        dlg = std::make_unique<CFindDlg>(*find, &owner);
    }
    int row(const QByteArray &title, const QByteArray &text, quint32 parent = CItemTables::kRootParent)
    {
        return fx.doc->appendItem(title, text, parent, CNoteInfo{});
    }
    void selectRow(int index) { QVERIFY(tree->selectByIndex(index)); }
    QString selectedText() const { return note->edit.textCursor().selectedText(); }
    int current() const { return fx.doc->m_nCurItem; }

    CDocFixture fx;
    std::unique_ptr<CInfoTree> tree;
    std::unique_ptr<CPlainNote> note;
    std::unique_ptr<CFindReplace> find;
    QWidget owner;
    std::unique_ptr<CFindDlg> dlg;
    int editorActivations = 0;
    int treeActivations = 0;
};

}  // namespace

class TestFindDlg : public QObject
{
    Q_OBJECT

private slots:
    void controlsAndShowing()
    {
        CFindGui g;
        QCOMPARE(g.dlg->windowTitle(), QStringLiteral("Find / Replace"));
        QVERIFY(!g.dlg->isModal());
        QCOMPARE(g.dlg->caseBox()->text(), QStringLiteral("&Case sensitive"));
        QCOMPARE(g.dlg->thisNoteBox()->text(), QStringLiteral("This note &only"));
        QVERIFY(!g.dlg->caseBox()->isChecked() && !g.dlg->thisNoteBox()->isChecked());
        QCOMPARE(g.dlg->findNextButton()->text(), QStringLiteral("Find &next"));
        QVERIFY(g.dlg->findNextButton()->isDefault());
        QCOMPARE(g.dlg->replaceButton()->text(), QStringLiteral("Re&place"));
        QCOMPARE(g.dlg->replaceAllButton()->text(), QStringLiteral("Replace &all"));
        QCOMPARE(g.dlg->closeButton()->text(), QStringLiteral("Close"));

        g.owner.show();
        g.dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(g.dlg.get()));
        QCOMPARE(g.dlg->focusWidget(), g.dlg->findEdit());

        // Escape hides it and keeps the values; shown again after a search,
        // the focus is on "Find next".
        QTest::keyClicks(g.dlg->findEdit(), QStringLiteral("abc"));
        g.dlg->findNext();  // no note: nothing happens
        QTest::keyClick(g.dlg.get(), Qt::Key_Escape);
        QVERIFY(!g.dlg->isVisible());
        g.dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(g.dlg.get()));
        QCOMPARE(g.dlg->findEdit()->text(), QStringLiteral("abc"));
        QCOMPARE(g.dlg->focusWidget(), g.dlg->findNextButton());
        QTest::mouseClick(g.dlg->closeButton(), Qt::LeftButton);
        QVERIFY(!g.dlg->isVisible());
        QVERIFY(g.fx.prompter.messages.isEmpty());
    }

    // Enter in the find field is "Find next": from the note on to the next
    // item in item-index order (not the order shown), the occurrence selected.
    void findNextGoesToTheNextItemIndex()
    {
        CFindGui g;
        g.row("Start", "plain");
        g.row("Later", "a Target here", 2 + 2);  // a child of "Earlier"
        g.row("Earlier", "target too");
        g.tree->initialUpdate();
        // Shown: Start, Earlier, Later; "Find next" goes by index: Later first.
        const CTreeModel &m = g.tree->model();
        QCOMPARE(m.label(m.nextPreOrder(m.firstRoot())), QByteArray("Earlier"));
        g.selectRow(0);
        g.owner.show();
        g.dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(g.dlg.get()));
        QTest::keyClicks(g.dlg->findEdit(), QStringLiteral("target"));
        QTest::keyClick(g.dlg->findEdit(), Qt::Key_Return);
        QCOMPARE(g.current(), 1);
        QCOMPARE(g.selectedText(), QStringLiteral("Target"));
        QCOMPARE(g.note->edit.textCursor().selectionStart(), 9);  // "Later\n\na "
        QVERIFY(g.treeActivations > 0 && g.editorActivations > 0);

        QTest::mouseClick(g.dlg->findNextButton(), Qt::LeftButton);
        QCOMPARE(g.current(), 2);
        QCOMPARE(g.selectedText(), QStringLiteral("target"));

        // Case sensitive: only item 2 holds "target"; the walk comes round to
        // it and stops there, finding nothing else.
        QTest::mouseClick(g.dlg->caseBox(), Qt::LeftButton);
        QTest::mouseClick(g.dlg->findNextButton(), Qt::LeftButton);
        QCOMPARE(g.current(), 2);
        QVERIFY(g.fx.prompter.messages.isEmpty());
        guitest::saveScreenshot(*g.dlg, QStringLiteral("finddlg"));
    }

    // Replace all with "This note only": the selected occurrence and every
    // later one in the note, nothing in the other notes; the count is shown.
    void replaceAllInThisNoteOnly()
    {
        CFindGui g;
        g.row("Pets", "cat and dog\ncat again, Cat");
        g.row("Other", "cat");
        g.tree->initialUpdate();
        g.selectRow(0);
        g.owner.show();
        g.dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(g.dlg.get()));
        QSignalSpy counted(g.dlg.get(), &CFindDlg::replacedAll);

        // "Replace" leaves a selection that is not an occurrence alone.
        g.note->setSelection(10, 13);  // "and"
        QTest::keyClicks(g.dlg->findEdit(), QStringLiteral("cat"));
        QTest::keyClicks(g.dlg->replaceEdit(), QStringLiteral("bird"));
        QTest::mouseClick(g.dlg->replaceButton(), Qt::LeftButton);
        QCOMPARE(g.fx.doc->text(0), QByteArray("cat and dog\ncat again, Cat"));
        QVERIFY(!g.fx.doc->isModified());

        g.note->setSelection(7, 7);  // after the first "c"
        QTest::mouseClick(g.dlg->thisNoteBox(), Qt::LeftButton);
        QTest::mouseClick(g.dlg->replaceAllButton(), Qt::LeftButton);
        QCOMPARE(g.fx.doc->text(0), QByteArray("cat and dog\nbird again, bird"));
        QCOMPARE(g.fx.doc->text(1), QByteArray("cat"));
        QCOMPARE(g.current(), 0);
        QCOMPARE(g.dlg->resultLabel()->text(), QStringLiteral("2 replacements made."));
        QCOMPARE(counted.size(), 1);
        QCOMPARE(counted.at(0).at(0).toInt(), 2);
        QVERIFY(g.fx.doc->isModified());

        // The same pair without case sensitivity would never end: refused.
        g.dlg->replaceEdit()->setText(QStringLiteral("CAT"));
        QTest::mouseClick(g.dlg->replaceAllButton(), Qt::LeftButton);
        QCOMPARE(g.fx.prompter.messages, QStringList{QStringLiteral("This is a loop...")});
        QCOMPARE(g.fx.doc->text(0), QByteArray("cat and dog\nbird again, bird"));
        QCOMPARE(counted.size(), 1);
    }
};

QTEST_MAIN(TestFindDlg)
#include "tst_finddlg.moc"
