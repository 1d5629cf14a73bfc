// The note pane in the real main window, driven with keys and clicks: the
// title line's guard, renaming by typing, the guarded cut and paste, links
// on a double-click, and typing in a large note.
#include "editor/NoteBlock.h"
#include "GuiTestSupport.h"
#include "app/MainFrame.h"
#include "app/StatusBar.h"
#include "app/TorviQuillbookApp.h"
#include "doc/TorviQuillbookDoc.h"
#include "editor/TorviQuillbookView.h"
#include "find/FindDlg.h"
#include "generator/PasswordGenDlg.h"
#include "tree/LeftView.h"
#include "DocFixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QSignalSpy>
#include <QLabel>
#include <QStatusBar>
#include <QUrl>
#include <QtTest>

namespace {

using Row = CRow;

// A folder "Box" sorted alphabetically with three notes.
const QList<Row> kBox = {{"Box", "", CItemTables::kRootParent, sortedBy(1)},
                         {"Apple", "a text", 2},
                         {"Mango", "m text", 2},
                         {"Zebra", "z text", 2}};

struct FakeLauncher : CTorviQuillbookView::ILauncher
{
    QList<QUrl> urls;
    QStringList programs;
    QStringList numbers;
    void openUrl(const QUrl &url) override { urls.append(url); }
    void startProgram(const QString &program) override { programs.append(program); }
    void dial(const QString &number) override { numbers.append(number); }
};

struct Session : guitest::CProgramInFolder
{
    CLeftView *tree = nullptr;
    CTorviQuillbookView *note = nullptr;
    QString path;

    bool open(const QList<Row> &rows)
    {
        path = rows.isEmpty() ? QString() : savedDocument(dir.filePath(QStringLiteral("notes.tqb")), rows);
        if (!start(path))
            return false;
        tree = frame->itemView();
        note = frame->noteView();
        return activate();
    }
    QModelIndex find(const QString &title) const
    {
        const QModelIndexList found = tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole, title, 1,
                                                           Qt::MatchExactly | Qt::MatchRecursive | Qt::MatchWrap);
        return found.isEmpty() ? QModelIndex() : found.first();
    }
    // Selects the item in the tree with a click, then puts the caret in the note.
    bool select(const QString &title, int caret)
    {
        tree->expandAll();
        const QModelIndex item = find(title);
        if (!item.isValid())
            return false;
        tree->scrollTo(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, tree->visualRect(item).center());
        note->setFocus();
        setSelection(caret, caret);
        return tree->currentIndex() == item;
    }
    void setSelection(int from, int to) const
    {
        QTextCursor c = note->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        note->setTextCursor(c);
    }
    int caret() const { return note->textCursor().position(); }
    QStringList children(const QString &folder) const
    {
        QStringList out;
        const QModelIndex parent = find(folder);
        for (int r = 0; r < tree->model()->rowCount(parent); ++r)
            out.append(tree->model()->index(r, 0, parent).data().toString());
        return out;
    }
};

// Find / Replace opened from the tree, "This note only", Replace all.
CFindDlg *replaceAllInThisNote(Session &s, const QString &what, const QString &with)
{
    QTest::keyClick(s.tree, Qt::Key_F, Qt::ControlModifier);
    CFindDlg *dlg = s.frame->findDialog();
    QTest::keyClicks(dlg->findEdit(), what);
    QTest::keyClicks(dlg->replaceEdit(), with);
    guitest::clickCheckBox(dlg->thisNoteBox());
    QTest::mouseClick(dlg->replaceAllButton(), Qt::LeftButton);
    return dlg;
}

} // namespace

class TestNoteEditor : public QObject
{
    Q_OBJECT

private slots:
    // Ctrl+F in the real window: Find next goes from the note to the next
    // item in item-index order (not tree order), and Replace all with "This
    // note only" changes that note alone.
    // The password generator from the window's command: OK puts the
    // password into the note at the caret, as typed text would go.
    void generatorInsertsAtTheCaret()
    {
        Session f;
        QVERIFY(f.open(kBox));
        QVERIFY(f.select(QStringLiteral("Mango"), 9));  // after "Mango\n\nm "
        QString shown;
        guitest::whenModalShows<CPasswordGenDlg>([&](CPasswordGenDlg *dlg) {
            shown = dlg->passwordEdit()->text();
            dlg->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        f.frame->action(QStringLiteral("passwordGenerator"))->trigger();
        QVERIFY(!shown.isEmpty());
        QCOMPARE(f.note->toPlainText(), QStringLiteral("Mango\n\nm ") + shown + QStringLiteral("text"));
        QCOMPARE(f.doc().m_strCurText, QByteArray("m ") + shown.toLatin1() + "text");
        QCOMPARE(QApplication::clipboard()->text(), shown);
    }

    void findAndReplaceInTheWindow()
    {
        Session f;
        // Item-index order Box, Zebra, Apple; the tree sorts Apple before Zebra.
        QVERIFY(f.open({{"Box", "", CItemTables::kRootParent, sortedBy(1)},
                        {"Zebra", "a needle and a needle", 2},
                        {"Apple", "needle here too", 2}}));
        QVERIFY(f.select(QStringLiteral("Zebra"), 0));
        QTest::keyClick(f.tree, Qt::Key_F, Qt::ControlModifier);
        CFindDlg *dlg = f.frame->findDialog();
        QVERIFY(dlg && dlg->isVisible());
        QTest::keyClicks(dlg->findEdit(), QStringLiteral("needle"));
        QTest::mouseClick(dlg->findNextButton(), Qt::LeftButton);
        QCOMPARE(f.doc().titles().value(f.doc().m_nCurItem), QByteArray("Zebra"));
        QCOMPARE(f.note->textCursor().selectedText(), QStringLiteral("needle"));
        QTest::mouseClick(dlg->findNextButton(), Qt::LeftButton);
        QTest::mouseClick(dlg->findNextButton(), Qt::LeftButton);
        QCOMPARE(f.doc().titles().value(f.doc().m_nCurItem), QByteArray("Apple"));

        QVERIFY(f.select(QStringLiteral("Zebra"), 0));
        QTest::mouseClick(dlg->findNextButton(), Qt::LeftButton);
        dlg->replaceEdit()->setFocus();
        QTest::keyClicks(dlg->replaceEdit(), QStringLiteral("pin"));
        guitest::clickCheckBox(dlg->thisNoteBox());
        QVERIFY(dlg->thisNoteBox()->isChecked());
        QTest::mouseClick(dlg->replaceAllButton(), Qt::LeftButton);
        QCOMPARE(f.doc().texts().value(1), QByteArray("a pin and a pin"));
        QCOMPARE(f.doc().texts().value(2), QByteArray("needle here too"));
        QVERIFY(f.doc().isModified());
    }

    void withoutAnItemThePaneShowsTheHintAndTakesNoInput()
    {
        Session s;
        QVERIFY(s.open({}));
        QVERIFY(!s.note->isEnabled());
        QCOMPARE(s.note->toPlainText(),
                 QStringLiteral("\n \nClick on the (toolbar) Root folder icon.\n\nCreate the first root folder."));
    }

    // Enter in the title jumps to the text; Backspace at the start of the text
    // and Delete at the end of the title do nothing; elsewhere they work.
    void theTitleLineKeepsItsSeparator()
    {
        Session s;
        QVERIFY(s.open(kBox));
        QVERIFY(s.select(QStringLiteral("Apple"), 2));
        QVERIFY(s.note->isEnabled());
        QCOMPARE(s.note->toPlainText(), QStringLiteral("Apple\n\na text"));
        const int body = 7;

        QTest::keyClick(s.note, Qt::Key_Return);
        QCOMPARE(s.caret(), body);
        QCOMPARE(s.note->toPlainText(), QStringLiteral("Apple\n\na text"));
        QTest::keyClick(s.note, Qt::Key_Backspace);
        QCOMPARE(s.note->toPlainText(), QStringLiteral("Apple\n\na text"));
        s.setSelection(5, 5);
        QTest::keyClick(s.note, Qt::Key_Delete);
        QCOMPARE(s.note->toPlainText(), QStringLiteral("Apple\n\na text"));
        s.setSelection(0, 5);  // the whole title: Delete does nothing either
        QTest::keyClick(s.note, Qt::Key_Delete);
        QCOMPARE(s.note->toPlainText(), QStringLiteral("Apple\n\na text"));
        QVERIFY(!s.doc().isModified());

        // A caret in the blank line, or a selection reaching into the text,
        // only sends the caret to the text's start.
        s.setSelection(6, 6);
        QTest::keyClick(s.note, Qt::Key_X);
        QCOMPARE(s.caret(), body);
        s.setSelection(3, 9);
        QTest::keyClick(s.note, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(s.caret(), body);
        // Word deletes stop at the separator as the plain keys do.
        s.setSelection(5, 5);
        QTest::keyClick(s.note, Qt::Key_Delete, Qt::ControlModifier);
        s.setSelection(body, body);
        QTest::keyClick(s.note, Qt::Key_Backspace, Qt::ControlModifier);
        QCOMPARE(s.note->toPlainText(), QStringLiteral("Apple\n\na text"));

        // Typing in the text and Enter there go into the item's text.
        s.setSelection(body, body);
        QTest::keyClicks(s.note, QStringLiteral("new"));
        QTest::keyClick(s.note, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClick(s.note, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(s.note->toPlainText(), QStringLiteral("Apple\n\nnew\n    a text"));
        const int apple = int(s.doc().titles().indexOf("Apple"));
        QCOMPARE(s.doc().text(apple), QByteArray("new\r\n    a text"));
        QVERIFY(s.doc().isModified());
        QCOMPARE(s.doc().title(apple), QByteArray("Apple"));
    }

    void typingInTheTitleRenamesTheItemAndSortsItsLevel()
    {
        Session s;
        QVERIFY(s.open(kBox));
        QVERIFY(s.select(QStringLiteral("Apple"), 0));
        QCOMPARE(s.children(QStringLiteral("Box")),
                 (QStringList{QStringLiteral("Apple"), QStringLiteral("Mango"), QStringLiteral("Zebra")}));
        s.setSelection(0, 5);
        QTest::keyClicks(s.note, QStringLiteral("Zulu"));
        QCOMPARE(s.children(QStringLiteral("Box")),
                 (QStringList{QStringLiteral("Mango"), QStringLiteral("Zebra"), QStringLiteral("Zulu")}));
        QCOMPARE(s.tree->currentIndex().data().toString(), QStringLiteral("Zulu"));
        QCOMPARE(s.note->toPlainText(), QStringLiteral("Zulu\n\na text"));
        QCOMPARE(s.caret(), 4);  // the pane was not shown again under the typist's hands
        guitest::saveScreenshot(*s.frame, QStringLiteral("note-editor"));

        // The rename outlives a change of selection, a save and a reopen.
        QVERIFY(s.select(QStringLiteral("Mango"), 0));
        QCOMPARE(s.note->toPlainText(), QStringLiteral("Mango\n\nm text"));
        QVERIFY(s.doc().saveDocument(s.path));
        CDocFixture reader;
        QVERIFY(reader.doc->openDocument(s.path));
        QVERIFY(reader.doc->titles().contains("Zulu"));
        QCOMPARE(reader.doc->text(reader.doc->titles().indexOf("Zulu")), QByteArray("a text"));
    }

    // Emptying the title and typing in the text keeps that text.
    void textTypedUnderAnEmptyTitleIsKept()
    {
        Session s;
        QVERIFY(s.open(kBox));
        QVERIFY(s.select(QStringLiteral("Mango"), 0));
        const int mango = int(s.doc().titles().indexOf("Mango"));
        s.setSelection(0, 5);
        QTest::keyClick(s.note, Qt::Key_Backspace);
        s.setSelection(2, 2);
        QTest::keyClicks(s.note, QStringLiteral("kept "));
        QVERIFY(s.select(QStringLiteral("Zebra"), 0));
        QCOMPARE(s.doc().title(mango), QByteArray());
        QCOMPARE(s.doc().text(mango), QByteArray("kept m text"));
    }

    void cutAndPasteAcrossTheSeparatorAreRefused()
    {
        Session s;
        QVERIFY(s.open(kBox));
        QVERIFY(s.select(QStringLiteral("Apple"), 0));
        s.setSelection(3, 9);
        QString shown;
        guitest::whenModalShows<QMessageBox>([&](QMessageBox *box) {
            shown = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        s.note->guardedCut();
        QCOMPARE(shown, QStringLiteral("Don't cut any characters following the title"));
        QApplication::clipboard()->setText(QStringLiteral("one\r\ntwo"));
        shown.clear();
        guitest::whenModalShows<QMessageBox>([&](QMessageBox *box) {
            shown = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        s.note->guardedPaste();
        QCOMPARE(shown, QStringLiteral("Don't paste any characters following the title"));
        QCOMPARE(s.note->toPlainText(), QStringLiteral("Apple\n\na text"));

        // Into the title a line break arrives as blanks; into the text as it is.
        s.setSelection(5, 5);
        s.note->guardedPaste();
        s.setSelection(s.note->toPlainText().size(), s.note->toPlainText().size());
        QTest::keyClick(s.note, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(s.note->toPlainText(), QStringLiteral("Appleone  two\n\na textone\ntwo"));
        const int item = s.doc().m_nCurItem;
        QCOMPARE(s.doc().title(item), QByteArray("Appleone  two"));
        QCOMPARE(s.doc().text(item), QByteArray("a textone\r\ntwo"));
        QCOMPARE(s.tree->currentIndex().data().toString(), QStringLiteral("Appleone  two"));

        // Find in note selects the next hit after the selection; Replace
        // selection puts text in its place.
        s.setSelection(0, 0);
        QVERIFY(!s.note->findInNote(QStringLiteral("TEXTONE"), true));
        QVERIFY(s.note->findInNote(QStringLiteral("TEXTONE"), false));
        QCOMPARE(s.note->textCursor().selectedText(), QStringLiteral("textone"));
        QVERIFY(s.note->replaceSelection(QStringLiteral("found")));
        QCOMPARE(s.doc().text(item), QByteArray("a found\r\ntwo"));

        // A character the code page cannot hold is refused and said so.
        QSignalSpy status(s.note, &CTorviQuillbookView::statusMessage);
        guitest::typeText(s.note, QStringLiteral("\u4e2d"));
        QCOMPARE(status.count(), 1);
        QCOMPARE(s.doc().text(item), QByteArray("a found\r\ntwo"));
    }

    void aDoubleClickOpensWebAndMailButAsksForFiles()
    {
        Session s;
        QVERIFY(s.open({{"Links", "mail ann@example.org or \"C:\\Tools\\run.exe\" now, bob@example.org?attach=/etc/passwd",
                         CItemTables::kRootParent}}));
        QVERIFY(s.select(QStringLiteral("Links"), 0));
        FakeLauncher launcher;
        s.note->setLauncher(&launcher);
        const auto clickWord = [&](const QString &word) {
            const int at = int(s.note->toPlainText().indexOf(word)) + 2;
            QTextCursor c = s.note->textCursor();
            c.setPosition(at);
            const QPoint p = s.note->cursorRect(c).center();
            QTest::mouseDClick(s.note->viewport(), Qt::LeftButton, Qt::NoModifier, p);
        };
        clickWord(QStringLiteral("ann@"));
        QTRY_COMPARE(launcher.urls.size(), 1);
        QCOMPARE(launcher.urls[0].toString(), QStringLiteral("mailto:ann@example.org"));

        // A program is asked about with No as the answer Enter gives.
        QString asked;
        bool enterSaysNo = false;
        guitest::whenModalShowsNext<QMessageBox>([&](QMessageBox *box) {
            asked = box->text();
            enterSaysNo = box->defaultButton() == box->button(QMessageBox::No);
            QTest::keyClick(box, Qt::Key_Return);
        });
        clickWord(QStringLiteral("Tools"));
        QTRY_COMPARE(asked, QStringLiteral("Run the program C:\\Tools\\run.exe?"));
        QVERIFY(enterSaysNo);
        QCOMPARE(s.note->textCursor().selectedText(), QStringLiteral("\"C:\\Tools\\run.exe\""));
        QCOMPARE(launcher.urls.size(), 1);
        QVERIFY(launcher.programs.isEmpty());

        // A mail address with parameters for the mail program is asked about,
        // whole, and Enter does not send it.
        asked.clear();
        guitest::whenModalShowsNext<QMessageBox>([&](QMessageBox *box) {
            asked = box->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        clickWord(QStringLiteral("bob@"));
        QTRY_COMPARE(asked, QStringLiteral("Open MailTo:bob@example.org?attach=/etc/passwd?"));
        QCOMPARE(launcher.urls.size(), 1);
        s.note->setLauncher(nullptr);
    }

    // Typing in a note of a megabyte, in a tree of many items, follows each
    // change piece by piece: no whole-pane read, no rename notice.
    void typingInALargeNoteTouchesOnlyTheChange()
    {
        QByteArray big;
        for (int i = 0; big.size() < 1000000; ++i)
            big += "Line " + QByteArray::number(i) + " of a long note, written to fill a megabyte.\r\n";
        QList<Row> rows{{"Big", big, CItemTables::kRootParent}};
        for (int i = 0; i < 20000; ++i)
            rows.append({"Item " + QByteArray::number(i), "text", CItemTables::kRootParent});
        Session s;
        QVERIFY(s.open(rows));
        QVERIFY(s.select(QStringLiteral("Big"), 0));
        const int at = int(s.note->toPlainText().indexOf(QStringLiteral("Line 9000 ")));
        s.setSelection(at, at);
        QSignalSpy hints(&s.doc(), &CTorviQuillbookDoc::updateAllViews);
        QElapsedTimer clock;
        clock.start();
        QTest::keyClicks(s.note, QStringLiteral("typed here"));
        QTest::keyClick(s.note, Qt::Key_Return);
        QTest::keyClick(s.note, Qt::Key_Backspace);
        QTest::keyClick(s.note, Qt::Key_Backspace);
        qInfo("12 keys in a %lld-byte note: %lld ms", qint64(big.size()), qint64(clock.elapsed()));
        QCOMPARE(s.note->wholePaneReads(), 0);
        QCOMPARE(hints.count(), 0);
        QByteArray expected = big;
        expected.insert(expected.indexOf("Line 9000 "), "typed her");
        QCOMPARE(s.doc().text(0).size(), expected.size());
        QVERIFY(s.doc().text(0) == expected);
    }

    // The pane holds 0xFFFFF characters (title, separator and text): a key
    // past that goes nowhere, a paste puts in what fits, and what was
    // already there is never pushed out. A megabyte without a blank (pasted
    // data) is broken into lines anywhere: looking for blanks to break at
    // would take seconds per key.
    void theNoteStopsAtItsLimit()
    {
        constexpr qsizetype kLimit = 0xFFFFF;
        const QByteArray text = QByteArray(kLimit - 4 - 4 - 3, 'x');  // "Full", CR LF CR LF, room for 3
        Session s;
        QVERIFY(s.open({{"Full", text, CItemTables::kRootParent}, {"Words", "a few words", CItemTables::kRootParent}}));
        QVERIFY(s.select(QStringLiteral("Words"), 0));
        QCOMPARE(s.note->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
        QVERIFY(s.select(QStringLiteral("Full"), 0));
        QCOMPARE(s.note->wordWrapMode(), QTextOption::WrapAnywhere);
        QTest::keyClick(s.note, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(s.note, QStringLiteral("abcd"));
        QCOMPARE(s.doc().text(0), text + "abc");

        QTest::keyClick(s.note, Qt::Key_Backspace);
        QTest::keyClick(s.note, Qt::Key_Backspace);
        QGuiApplication::clipboard()->setText(QStringLiteral("12345"));
        QTest::keyClick(s.note, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(s.doc().text(0), text + "a12");
        QCOMPARE(s.doc().title(0), QByteArray("Full"));
        QCOMPARE(s.frame->messageText(),
                 QStringLiteral("Only 2 of 5 characters were pasted: a note holds at most 1,048,575."));
        QTest::keyClick(s.note, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(s.doc().text(0), text + "a12");
        QCOMPARE(s.frame->messageText(),
                 QStringLiteral("Only 0 of 5 characters were pasted: a note holds at most 1,048,575."));
        QVERIFY(s.select(QStringLiteral("Words"), 0));
        QCOMPARE(s.note->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    }

    // An emoji (two QChars) or a CJK character, typed as one key or pasted,
    // is refused whole and named by its code point; nothing of it reaches
    // the note, its label or the file. The message goes with the next edit.
    void charactersOutsideTheCodePageAreRefused_data()
    {
        QTest::addColumn<QString>("character");
        QTest::addColumn<QString>("named");
        QTest::addColumn<bool>("pasted");
        const QString emoji = QStringLiteral("\U0001F600");
        QTest::newRow("emoji typed") << emoji << QStringLiteral("\"%1\" (U+1F600)").arg(emoji) << false;
        QTest::newRow("emoji pasted") << emoji << QStringLiteral("\"%1\" (U+1F600)").arg(emoji) << true;
        QTest::newRow("CJK typed") << QStringLiteral("\u4e2d") << QStringLiteral("\"\u4e2d\" (U+4E2D)") << false;
    }

    void charactersOutsideTheCodePageAreRefused()
    {
        QFETCH(QString, character);
        QFETCH(QString, named);
        QFETCH(bool, pasted);
        Session s;
        QVERIFY(s.open(kBox));
        QVERIFY(s.select(QStringLiteral("Mango"), 5));  // in the title: the label would change at once
        if (pasted) {
            QApplication::clipboard()->setText(QStringLiteral("x") + character);
            QTest::keyClick(s.note, Qt::Key_V, Qt::ControlModifier);
        } else {
            QTest::sendKeyEvent(QTest::Click, s.note, Qt::Key_unknown, character, Qt::NoModifier);
        }
        QCOMPARE(s.note->toPlainText(), QStringLiteral("Mango\n\nm text"));
        QCOMPARE(s.tree->currentIndex().data().toString(), QStringLiteral("Mango"));
        QVERIFY(s.doc().saveDocument(s.path));
        CDocFixture reader;
        QVERIFY(reader.doc->openDocument(s.path));
        QVERIFY(reader.doc->titles().contains("Mango"));
        QVERIFY(!reader.doc->titles().contains("Mango??"));
        QCOMPARE(s.frame->messageText(),
                 QStringLiteral("The character %1 cannot be kept in this document's code page (windows-1252).").arg(named));
        QTest::keyClicks(s.note, QStringLiteral("s"));
        QCOMPARE(s.tree->currentIndex().data().toString(), QStringLiteral("Mangos"));
        QCOMPARE(s.frame->messageText(), QStringLiteral("Ready"));
    }

    // A note read from a document of another code page holds bytes this one
    // leaves undefined (0x81, 0x8D in windows-1252); they show as U+FFFD.
    // Typing over one and undoing that, or Replace all, leaves every such
    // byte as it was, the touched one included.
    void undefinedBytesKeepTheirValue()
    {
        const QByteArray text = "one \x81 two \x8d three \x81\x8d";
        Session s;
        QVERIFY(s.open({{"Odd", text, CItemTables::kRootParent}, {"Other", "x", CItemTables::kRootParent}}));
        QVERIFY(s.select(QStringLiteral("Odd"), 0));
        const int at = int(s.note->toPlainText().indexOf(QChar(0xFFFD)));
        QVERIFY(at > 0);
        s.setSelection(at - 1, at + 2);  // " \x81 " of "one \x81 two"
        QTest::keyClicks(s.note, QStringLiteral("Z"));
        QCOMPARE(s.doc().text(0), QByteArray("oneZtwo \x8d three \x81\x8d"));
        QTest::keyClick(s.note, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(s.note->toPlainText().count(QChar(0xFFFD)), 4);
        QCOMPARE(s.doc().text(0), text);

        // Replace all, this note only, from the start of the note.
        s.setSelection(0, 0);
        QTest::keyClick(s.tree, Qt::Key_F, Qt::ControlModifier);
        CFindDlg *dlg = s.frame->findDialog();
        QVERIFY(dlg && dlg->isVisible());
        QTest::keyClicks(dlg->findEdit(), QStringLiteral("t"));
        QTest::keyClicks(dlg->replaceEdit(), QStringLiteral("T"));
        guitest::clickCheckBox(dlg->thisNoteBox());
        guitest::clickCheckBox(dlg->caseBox());
        QTest::mouseClick(dlg->replaceAllButton(), Qt::LeftButton);
        QCOMPARE(s.doc().text(0), QByteArray("one \x81 Two \x8d Three \x81\x8d"));
        QCOMPARE(dlg->resultLabel()->text(), QStringLiteral("2 replacements made."));
        QCOMPARE(s.frame->messageText(), QStringLiteral("2 replacements made."));
        // The count belongs to that note: another note shown, it goes.
        QVERIFY(s.select(QStringLiteral("Other"), 0));
        QCOMPARE(s.frame->messageText(), QStringLiteral("Ready"));
        QCOMPARE(dlg->resultLabel()->text(), QString());
    }

    // Replace all in one note: a hit in the title renames the item, every
    // hit in the text is replaced, and the caret ends after the last one.
    void replaceAllInOneNoteChangesEveryHit()
    {
        Session s;
        QVERIFY(s.open({{"cat box", "a cat, a CAT\r\nand cats", CItemTables::kRootParent}}));
        QVERIFY(s.select(QStringLiteral("cat box"), 0));
        CFindDlg *dlg = replaceAllInThisNote(s, QStringLiteral("cat"), QStringLiteral("dog"));
        QCOMPARE(s.doc().title(0), QByteArray("dog box"));
        QCOMPARE(s.doc().text(0), QByteArray("a dog, a dog\r\nand dogs"));
        QCOMPARE(s.note->toPlainText(), QStringLiteral("dog box\n\na dog, a dog\nand dogs"));
        QCOMPARE(s.tree->currentIndex().data().toString(), QStringLiteral("dog box"));
        QCOMPARE(s.caret(), int(s.note->toPlainText().lastIndexOf(QStringLiteral("dog"))) + 3);
        QCOMPARE(dlg->resultLabel()->text(), QStringLiteral("4 replacements made."));
        QVERIFY(s.doc().isModified());
    }

    // Replace all across notes comes round to the note it started in: the
    // hit before the caret there is replaced too, and counted.
    void replaceAllAcrossNotesComesBackToTheStartNote()
    {
        Session s;
        QVERIFY(s.open({{"Box", "", CItemTables::kRootParent}, {"Apple", "a cat", 2}, {"Mango", "cat m cat", 2}}));
        QVERIFY(s.select(QStringLiteral("Mango"), 10));  // "Mango\n\ncat|"
        QTest::keyClick(s.tree, Qt::Key_F, Qt::ControlModifier);
        CFindDlg *dlg = s.frame->findDialog();
        QTest::keyClicks(dlg->findEdit(), QStringLiteral("cat"));
        QTest::keyClicks(dlg->replaceEdit(), QStringLiteral("dog"));
        QTest::mouseClick(dlg->replaceAllButton(), Qt::LeftButton);
        QCOMPARE(s.doc().text(2), QByteArray("dog m dog"));
        QCOMPARE(s.doc().text(1), QByteArray("a dog"));
        QCOMPARE(dlg->resultLabel()->text(), QStringLiteral("3 replacements made."));
        QCOMPARE(s.tree->currentIndex().data().toString(), QStringLiteral("Mango"));
    }

    // Enter closes "This is a loop..." and the keys go back to Find /
    // Replace: the next word typed is a search, not a change to the note.
    void afterAMessageTheKeysGoBackToFind()
    {
        Session s;
        QVERIFY(s.open({{"Box", "a cat", CItemTables::kRootParent}}));
        QVERIFY(s.select(QStringLiteral("Box"), 0));
        QTest::keyClick(s.tree, Qt::Key_F, Qt::ControlModifier);
        CFindDlg *dlg = s.frame->findDialog();
        QTest::keyClicks(dlg->findEdit(), QStringLiteral("cat"));
        QTest::keyClicks(dlg->replaceEdit(), QStringLiteral("CAT"));
        QString said;
        guitest::whenModalShows<QMessageBox>([&](QMessageBox *box) {
            said = box->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg));
        dlg->replaceEdit()->setFocus();
        QTest::mouseClick(dlg->replaceAllButton(), Qt::LeftButton);
        QTRY_COMPARE(said, QStringLiteral("This is a loop..."));
        QTRY_COMPARE(QApplication::focusWidget(), dlg->findEdit());
        QCOMPARE(s.doc().text(0), QByteArray("a cat"));
    }

    // Replace all in a note that fills up on the way: it stops at the limit,
    // says how many hits it could not replace, and the note stays whole.
    void replaceAllSaysWhenTheNoteIsFull()
    {
        const QByteArray filler = QByteArray("word ").repeated(noteblock::kTextLimit / 5).left(noteblock::kTextLimit - 45);
        Session s;
        QVERIFY(s.open({{"full", filler + QByteArray("ab ab ab ab ab ab ab ab ab ab"), CItemTables::kRootParent}}));
        QVERIFY(s.select(QStringLiteral("full"), 0));
        CFindDlg *dlg = replaceAllInThisNote(s, QStringLiteral("ab"), QStringLiteral("abcdef"));
        const QByteArray text = s.doc().text(0);
        const int made = int(text.count("abcdef"));
        QVERIFY2(made > 0 && made < 10, qPrintable(dlg->resultLabel()->text()));
        QCOMPARE(text.count("ab"), 10);
        QVERIFY(text.startsWith(filler));
        QCOMPARE(dlg->resultLabel()->text(),
                 QStringLiteral("%1 replacements made. %2 more were not made: a note holds at most 1,048,575 characters.")
                     .arg(made)
                     .arg(10 - made));

        // A note already past the limit (written by another program) still
        // takes replacements that shorten it.
        Session over;
        QVERIFY(over.open({{"over", filler + QByteArray(100, 'w') + QByteArray(" ab ab ab"), CItemTables::kRootParent}}));
        QVERIFY(over.select(QStringLiteral("over"), 0));
        CFindDlg *overDlg = replaceAllInThisNote(over, QStringLiteral("ab"), QStringLiteral("a"));
        QCOMPARE(overDlg->resultLabel()->text(), QStringLiteral("3 replacements made."));
        QVERIFY(over.doc().text(0).endsWith(QByteArray(" a a a")));
        // So does typing over a selection, with no more characters than it.
        over.note->setFocus();
        QTest::keyClick(over.note, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(over.note, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClicks(over.note, QStringLiteral("z"));
        QVERIFY(over.doc().text(0).endsWith(QByteArray(" a az")));
    }

    // The quick-capture message is longer than a narrow window's status bar:
    // the bar shows its start and its end, cut in the middle, and its tooltip
    // says it whole.
    void theHotKeyMessageIsSaidWhole()
    {
        Session s;
        QVERIFY(s.open(kBox));
        s.frame->resize(400, 300);
        QTRY_VERIFY(s.frame->messageText().startsWith(QStringLiteral("Quick capture is off")));
        const QString message = s.frame->messageText();
        auto *bar = qobject_cast<CStatusBar *>(s.frame->statusBar());
        QVERIFY(bar->fontMetrics().horizontalAdvance(message) > s.frame->width());
        QCOMPARE(bar->toolTip(), message);
        const QString shown = bar->shownMessage();
        const qsizetype cut = shown.indexOf(QChar(0x2026));
        QVERIFY2(cut > 5 && message.startsWith(shown.left(cut)) && message.endsWith(shown.mid(cut + 1))
                     && shown.size() - cut > 5,
                 qPrintable(shown));
        QVERIFY(bar->fontMetrics().horizontalAdvance(shown) < s.frame->width());
    }
};

QTEST_MAIN(TestNoteEditor)
#include "tst_noteeditor.moc"
