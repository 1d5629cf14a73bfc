#include "FakeNotePane.h"
#include "TreeTestSupport.h"
#include "find/FindReplace.h"
#include "find/NoteText.h"
#include "text/TextMatch.h"
#include "settings/Settings.h"
#include "text/CodePage.h"

#include <QObject>
#include <QTest>

using namespace treetest;

namespace {

struct CFindSetup
{
    explicit CFindSetup(int sortType = 0) : f(sortType), note(f.doc(), *f.tree), find(*f.tree, note) {}
    CTreeFixture f;
    CFakeNotePane note;
    CFindReplace find;
    int current() const { return f.fx.doc->m_nCurItem; }
    QByteArray textOf(int row) const { return f.fx.doc->text(row); }
};

}  // namespace

class TestFindReplace : public QObject
{
    Q_OBJECT

private slots:
    void matchingRuleFollowsTheCodePage()
    {
        const CCodePage cp1252;
        const CTextMatcher e(QByteArray("\xc9t\xc9"), false, cp1252);  // "ÉtÉ"
        QCOMPARE(e.indexIn(QByteArray("x \xe9t\xe9 y")), 2);           // "été"
        QCOMPARE(e.indexIn(QByteArray("x \xe9t\xe9 y"), 3), -1);
        QVERIFY(e.equals(QByteArray("\xe9T\xe9")));
        QVERIFY(!e.equals(QByteArray("\xe9T\xe9 ")));
        QCOMPARE(CTextMatcher("ETE", false, cp1252).indexIn("\xe9t\xe9"), -1);  // accents are not dropped
        QCOMPARE(CTextMatcher("ab", true, cp1252).indexIn("AB ab"), 3);
        QCOMPARE(CTextMatcher("", false, cp1252).indexIn("abc"), -1);
        QCOMPARE(CTextMatcher("abc", false, cp1252).indexIn("ab"), -1);

        // Cyrillic in windows-1251: "ПРИВЕТ" finds "привет"; the same bytes
        // read as windows-1252 letters are other characters.
        const QByteArray upper("\xcf\xd0\xc8\xc2\xc5\xd2"), lower("\xef\xf0\xe8\xe2\xe5\xf2");
        QCOMPARE(CTextMatcher(upper, false, CCodePage(QStringLiteral("windows-1251"))).indexIn("- " + lower), 2);
        QCOMPARE(CTextMatcher(QByteArray("\xcf"), false, cp1252).indexIn(QByteArray("\xef")), 0);  // Ï ï
        QCOMPARE(CTextMatcher(QByteArray("\xd7"), false, cp1252).indexIn(QByteArray("\xf7")), -1);  // × is not ÷

        // Repetitive haystacks (the skip table's worst cases).
        QCOMPARE(CTextMatcher("aab", false, cp1252).indexIn("aaaaaaAAB"), 6);
        QCOMPARE(CTextMatcher("aba", false, cp1252).indexIn("abABaBA", 1), 2);
    }

    // Find next goes on in item-index order, not in the order shown, finds a
    // title-only occurrence in the title line, and wraps round to item 0.
    void findNextWalksItemIndexOrder()
    {
        CFindSetup s;
        s.f.row("Mike", -1, "needle one");
        s.f.row("Zulu", -1, "none");
        s.f.row("Alpha", -1, "none");
        s.f.row("Bravo", -1, "NEEDLE");
        s.f.row("Yankee needle", -1, "none");
        s.f.build();
        s.f.selectLabel("Mike");
        QCOMPARE(s.current(), 0);

        QVERIFY(s.find.findNext(QStringLiteral("needle"), false, false));
        QCOMPARE(s.current(), 0);
        QCOMPARE(s.note.selectionStart(), 8);  // "Mike\r\n\r\n" first
        QVERIFY(s.find.findNext(QStringLiteral("needle"), false, false));
        QCOMPARE(s.current(), 3);
        QCOMPARE(s.note.selected(), QByteArray("NEEDLE"));
        QVERIFY(s.find.findNext(QStringLiteral("needle"), false, false));
        QCOMPARE(s.current(), 4);
        QCOMPARE(s.note.selectionStart(), 7);  // in the title line
        QVERIFY(s.find.findNext(QStringLiteral("needle"), false, false));
        QCOMPARE(s.current(), 0);

        // Case-sensitive, "NEEDLE" of item 3 no longer counts.
        QVERIFY(s.find.findNext(QStringLiteral("needle"), true, false));
        QCOMPARE(s.current(), 4);
        QVERIFY(s.f.prompter().messages.isEmpty());
    }

    void findNextStaysSilentWhenNothingFollows()
    {
        CFindSetup s;
        s.f.row("One", -1, "a word and a word");
        s.f.row("Two", -1, "nothing");
        s.f.build();
        s.f.selectLabel("One");
        QVERIFY(s.find.findNext(QStringLiteral("word"), false, true));
        QVERIFY(s.find.findNext(QStringLiteral("word"), false, true));
        const qsizetype last = s.note.selectionStart();
        // This note only: after the last occurrence, silence, selection kept.
        QVERIFY(!s.find.findNext(QStringLiteral("word"), false, true));
        QCOMPARE(s.note.selectionStart(), last);
        // Across notes: the occurrences before the caret are not found again,
        // and the walk never counts the current item.
        QVERIFY(!s.find.findNext(QStringLiteral("word"), false, false));
        QCOMPARE(s.current(), 0);
        QVERIFY(!s.find.findNext(QString(), false, false));
        QVERIFY(s.f.prompter().messages.isEmpty());
    }

    // Replace overwrites only a selection that is an occurrence of the find
    // text; a paragraph selected by chance stays.
    void replaceOnlyAMatchingSelection()
    {
        CFindSetup s;
        s.f.row("Note", -1, "keep this line\r\ncat here");
        s.f.build();
        s.f.selectLabel("Note");
        s.note.setSelection(8, 22);  // "keep this line"
        QVERIFY(!s.find.replace(QStringLiteral("cat"), false, QStringLiteral("dog")));
        QCOMPARE(s.textOf(0), QByteArray("keep this line\r\ncat here"));
        QVERIFY(!s.f.doc().isModified());

        QVERIFY(s.find.findNext(QStringLiteral("CAT"), false, false));
        QVERIFY(s.find.replace(QStringLiteral("CAT"), false, QStringLiteral("dog")));
        QCOMPARE(s.textOf(0), QByteArray("keep this line\r\ndog here"));
        QVERIFY(s.f.doc().isModified());
        // The caret is past the replacement: nothing selected, nothing replaced again.
        QVERIFY(!s.find.replace(QStringLiteral("dog"), false, QStringLiteral("cow")));
    }

    // A replacement that holds the find text: every run ends, each
    // occurrence replaced once, each item visited once, wrapping past the
    // last index and round to the start of the item it started in.
    void replaceAllEndsWhenTheReplacementHoldsTheText()
    {
        CFindSetup s;
        s.f.row("A", -1, "e1 e2");
        s.f.row("B", -1, "xx");
        s.f.row("C", -1, "e e");
        s.f.row("D", -1, "ee");
        s.f.build();
        s.f.selectLabel("C");
        s.note.setSelection(7, 7);  // "C\r\n\r\ne |e": before the second e
        QCOMPARE(s.find.replaceAll(QStringLiteral("e"), false, QStringLiteral("ee"), false), 6);
        QCOMPARE(s.textOf(2), QByteArray("ee ee"));   // the part before the caret too, once
        QCOMPARE(s.textOf(3), QByteArray("eeee"));
        QCOMPARE(s.textOf(0), QByteArray("ee1 ee2"));
        QCOMPARE(s.textOf(1), QByteArray("xx"));
        QCOMPARE(s.current(), 2);  // back where it started
        QCOMPARE(s.find.lastMessage(), QStringLiteral("6 replacements made."));
        QVERIFY(s.f.prompter().messages.isEmpty());

        // Again from the start of C: everything in the document doubles once more.
        s.f.selectLabel("C");
        QCOMPARE(s.find.replaceAll(QStringLiteral("E"), false, QStringLiteral("EE"), false), 12);
        QCOMPARE(s.textOf(2), QByteArray("EEEE EEEE"));
        QCOMPARE(s.textOf(0), QByteArray("EEEE1 EEEE2"));
    }

    // No other note holds it: the start note's own beginning still comes
    // round, the occurrence the caret stood in included.
    void replaceAllAcrossNotesCoversTheWholeStartNote()
    {
        CFindSetup s;
        s.f.row("Start", -1, "cat and cat");
        s.f.row("Other", -1, "none");
        s.f.build();
        s.f.selectLabel("Start");
        s.note.setSelection(11, 11);  // "Start\r\n\r\nca|t and cat"
        QCOMPARE(s.find.replaceAll(QStringLiteral("cat"), false, QStringLiteral("dog"), false), 2);
        QCOMPARE(s.textOf(0), QByteArray("dog and dog"));
        QCOMPARE(s.find.lastMessage(), QStringLiteral("2 replacements made."));
    }

    void replaceAllInThisNoteOnly()
    {
        CFindSetup s;
        s.f.row("Cat note", -1, "cat, cat and CAT");
        s.f.row("Other", -1, "cat");
        s.f.build();
        s.f.selectLabel("Cat note");
        s.note.setSelection(0, 3);  // "Cat" in the title: replaced first
        QCOMPARE(s.find.replaceAll(QStringLiteral("cat"), false, QStringLiteral("dog"), true), 4);
        QCOMPARE(s.f.doc().title(0), QByteArray("dog note"));
        QCOMPARE(s.f.model().label(s.f.item("dog note")), QByteArray("dog note"));  // the tree was told
        QCOMPARE(s.textOf(0), QByteArray("dog, dog and dog"));
        QCOMPARE(s.textOf(1), QByteArray("cat"));
        QCOMPARE(s.current(), 0);
    }

    void replaceAllRefusesALoopAndUnwritableText()
    {
        CFindSetup s;
        s.f.row("Note", -1, "word Word");
        s.f.build();
        s.f.selectLabel("Note");
        QCOMPARE(s.find.replaceAll(QStringLiteral("word"), false, QStringLiteral("WORD"), false), -1);
        QCOMPARE(s.f.prompter().messages, QStringList{QStringLiteral("This is a loop...")});
        QCOMPARE(s.textOf(0), QByteArray("word Word"));

        // A character the code page cannot hold is never written as another one.
        s.f.prompter().messages.clear();
        QCOMPARE(s.find.replaceAll(QStringLiteral("word"), true, QStringLiteral("\u0436"), false), -1);
        QCOMPARE(s.f.prompter().messages.size(), 1);
        QVERIFY(s.f.prompter().messages[0].contains(QStringLiteral("windows-1252")));
        QCOMPARE(s.textOf(0), QByteArray("word Word"));

        // Case-sensitive, the same pair is an ordinary replacement.
        s.f.prompter().messages.clear();
        QCOMPARE(s.find.replaceAll(QStringLiteral("word"), true, QStringLiteral("WORD"), false), 1);
        QCOMPARE(s.textOf(0), QByteArray("WORD Word"));
        QVERIFY(s.f.prompter().messages.isEmpty());
    }

    // Replace all across notes with automatic saving on writes the file once,
    // at the end, with every replacement in it.
    void replaceAllSavesOnceAtTheEnd()
    {
        CFindSetup s;
        for (int i = 0; i < 6; ++i)
            s.f.row("N" + QByteArray::number(i), -1, "old text");
        s.f.build();
        const QString path = s.f.fx.path(QStringLiteral("doc.tqb"));
        s.f.doc().setPathName(path, false);
        QVERIFY(s.f.doc().saveDocument(path));
        s.f.fx.settings->toggle(CSettings::AutoSave);
        QVERIFY(s.f.fx.settings->isOn(CSettings::AutoSave));
        s.f.selectLabel("N0");

        int saves = 0;
        QObject::connect(&s.f.doc(), &CTorviQuillbookDoc::titleChanged, &s.f.doc(), [&] {
            if (!s.f.doc().isModified())
                ++saves;
        });
        QCOMPARE(s.find.replaceAll(QStringLiteral("old"), false, QStringLiteral("new"), false), 6);
        QCOMPARE(saves, 1);
        QVERIFY(!s.f.doc().isModified());
        CDocFixture reread;
        QVERIFY(reread.doc->openDocument(path, false));
        QCOMPARE(reread.doc->texts().size(), 6);
        for (const QByteArray &text : std::as_const(reread.doc->texts()))
            QCOMPARE(text, QByteArray("new text"));
    }
};

QTEST_GUILESS_MAIN(TestFindReplace)
#include "tst_findreplace.moc"
