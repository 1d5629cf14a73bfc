// The editor's rules without a widget: the key guard, the guarded cut and
// paste, and what every change writes back to the document.
#include "DocFixture.h"
#include "editor/NoteBlock.h"

#include <QSignalSpy>
#include <QtTest>

using namespace noteblock;

namespace {

// "Title" + CR LF CR LF + text: the title ends at 5, the text starts at 9.
const Layout kTitle5{5, 9};

struct Shown
{
    CDocFixture f;
    std::unique_ptr<CNoteBlock> block;
    std::unique_ptr<QSignalSpy> hints;

    Shown(const QByteArray &title, const QByteArray &text)
    {
        const int i = f.doc->appendItem(title, text, CItemTables::kRootParent, CNoteInfo{});
        f.doc->setOrder({quint32(i)});
        f.doc->m_nCurItem = i;
        f.doc->m_strCurTitle = title;
        f.doc->m_strCurText = text;
        block = std::make_unique<CNoteBlock>(*f.doc);
        block->load();
        hints = std::make_unique<QSignalSpy>(f.doc.get(), &CTorviQuillbookDoc::updateAllViews);
    }
    CTorviQuillbookDoc &doc() { return *f.doc; }
    // Replaces pane characters as the widget reports them.
    void edit(qsizetype pos, qsizetype removed, const QByteArray &added) { QVERIFY(block->applyEdit(pos, removed, added)); }
    int titleHints() const
    {
        return int(std::count_if(hints->begin(), hints->end(), [](const QList<QVariant> &args) {
            return args.at(0).toInt() == CTorviQuillbookDoc::kHintTitleChanged;
        }));
    }
};

} // namespace

class TestNoteBlock : public QObject
{
    Q_OBJECT

private slots:
    void keyGuard_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("s");
        QTest::addColumn<int>("e");
        QTest::addColumn<int>("decision");
        const int pass = int(Key::Pass), del = int(Key::Delete), back = int(Key::Backspace),
                  enter = int(Key::Enter), other = int(Key::Other);
        const int normal = int(KeyDecision::Normal), swallow = int(KeyDecision::Swallow),
                  jump = int(KeyDecision::JumpToBody);
        QTest::newRow("arrows pass over a selection into the text") << pass << 2 << 12 << normal;
        QTest::newRow("any key on a selection into the text jumps") << other << 2 << 12 << jump;
        QTest::newRow("backspace on a selection into the text jumps") << back << 3 << 10 << jump;
        QTest::newRow("caret in the blank line jumps") << other << 7 << 7 << jump;
        QTest::newRow("delete at the end of the title") << del << 5 << 5 << swallow;
        QTest::newRow("delete on the whole title") << del << 0 << 5 << swallow;
        QTest::newRow("delete inside the title") << del << 2 << 2 << normal;
        QTest::newRow("delete in the text") << del << 9 << 9 << normal;
        QTest::newRow("backspace at the start of the text") << back << 9 << 9 << swallow;
        QTest::newRow("backspace on the whole title") << back << 0 << 5 << normal;
        QTest::newRow("backspace later in the text") << back << 10 << 10 << normal;
        QTest::newRow("enter in the title") << enter << 2 << 2 << jump;
        QTest::newRow("enter at the end of the title") << enter << 5 << 5 << jump;
        QTest::newRow("enter in the text") << enter << 11 << 11 << normal;
        QTest::newRow("typing in the text") << other << 9 << 9 << normal;
        QTest::newRow("typing at the end of the title") << other << 5 << 5 << normal;
    }
    void keyGuard()
    {
        QFETCH(int, key);
        QFETCH(int, s);
        QFETCH(int, e);
        QFETCH(int, decision);
        QCOMPARE(int(guardKey(Key(key), kTitle5, s, e)), decision);
    }

    void cutAndPasteRefuseTheSeparatorOnly()
    {
        QCOMPARE(cutRefusal(kTitle5, 3, 10), QStringLiteral("Don't cut any characters following the title"));
        QCOMPARE(pasteRefusal(kTitle5, 3, 10), QStringLiteral("Don't paste any characters following the title"));
        QCOMPARE(pasteRefusal(kTitle5, 6, 6), QStringLiteral("Don't paste any characters following the title"));
        QVERIFY(cutRefusal(kTitle5, 0, 5).isEmpty());
        QVERIFY(cutRefusal(kTitle5, 9, 14).isEmpty());
        QVERIFY(pasteRefusal(kTitle5, 5, 5).isEmpty());
    }

    void noItemShowsTheHintText()
    {
        CDocFixture f;
        CNoteBlock block(*f.doc);
        QVERIFY(!block.hasItem());
        QCOMPARE(block.load(),
                 QByteArray("\r\n \r\nClick on the (toolbar) Root folder icon.\r\n\r\nCreate the first root folder."));
        // Nothing selected: a change writes nowhere.
        QVERIFY(block.applyEdit(0, 0, "x"));
        QVERIFY(!f.doc->isModified());
    }

    void typingInTheTextStoresItWithoutRenaming()
    {
        Shown n("Title", "line one\r\nline two");
        QCOMPARE(n.block->pane(), QByteArray("Title\r\n\r\nline one\r\nline two"));
        QCOMPARE(n.block->layout().titleEnd, 5);
        QCOMPARE(n.block->layout().bodyStart, 9);
        n.edit(9, 0, "new ");
        n.edit(n.block->pane().size(), 0, "\r\nthree");
        QCOMPARE(n.doc().m_strCurText, QByteArray("new line one\r\nline two\r\nthree"));
        QCOMPARE(n.doc().text(0), n.doc().m_strCurText);
        QCOMPARE(n.doc().title(0), QByteArray("Title"));
        QVERIFY(n.doc().isModified());
        QCOMPARE(n.titleHints(), 0);
    }

    void typingInTheTitleRenamesOncePerChange()
    {
        Shown n("Title", "text");
        n.edit(5, 0, "s");
        QCOMPARE(n.doc().m_strCurTitle, QByteArray("Titles"));
        QCOMPARE(n.doc().title(0), QByteArray("Titles"));
        QCOMPARE(n.doc().text(0), QByteArray("text"));
        QCOMPARE(n.titleHints(), 1);
        QCOMPARE(n.block->layout().bodyStart, 10);
        n.edit(10, 0, "more ");
        QCOMPARE(n.titleHints(), 1);
    }

    // Emptying the title, then typing in the text: the text is kept and the
    // item's title is the empty one the pane shows, not the old one.
    void textTypedWhileTheTitleIsEmptyIsKept()
    {
        Shown n("Old", "body");
        n.edit(0, 3, "");
        QCOMPARE(n.doc().title(0), QByteArray());
        QCOMPARE(n.block->layout().titleEnd, 0);
        QCOMPARE(n.block->layout().bodyStart, 4);
        n.edit(8, 0, " and more");
        QCOMPARE(n.doc().text(0), QByteArray("body and more"));
        QCOMPARE(n.doc().m_strCurText, QByteArray("body and more"));
        n.edit(0, 0, "N");
        QCOMPARE(n.doc().title(0), QByteArray("N"));
        QCOMPARE(n.doc().text(0), QByteArray("body and more"));
        QCOMPARE(n.titleHints(), 2);
    }

    // Should the separator ever lose a line break, or every break, no
    // character of the note is dropped.
    void aDamagedSeparatorLosesNoText()
    {
        Shown n("T", "first\r\nsecond");
        n.edit(1, 2, "");  // "T\r\nfirst..."
        QCOMPARE(n.doc().title(0), QByteArray("T"));
        QCOMPARE(n.doc().text(0), QByteArray("first\r\nsecond"));
        QVERIFY(!n.block->separatorMissing());

        Shown all("T", "x");
        all.edit(0, all.block->pane().size(), "only a title");
        QCOMPARE(all.doc().title(0), QByteArray("only a title"));
        QCOMPARE(all.doc().text(0), QByteArray());
        QVERIFY(all.block->separatorMissing());
        // Shown again, it has its separator back.
        all.doc().m_strCurText.clear();
        QCOMPARE(all.block->load(), QByteArray("only a title\r\n\r\n"));
    }

    void anEditOutsideThePaneChangesNothing()
    {
        Shown n("T", "x");
        QVERIFY(!n.block->applyEdit(4, 5, "y"));
        QVERIFY(!n.block->applyEdit(-1, 0, "y"));
        QCOMPARE(n.block->pane(), QByteArray("T\r\n\r\nx"));
        QVERIFY(!n.doc().isModified());
    }

    void storedBreaksAreShownAsCrLf()
    {
        QCOMPARE(normalizeBreaks("a\nb\rc\r\nd\n\r"), QByteArray("a\r\nb\r\nc\r\nd\r\n\r\n"));
        Shown n("T", "a\nb");
        QCOMPARE(n.block->pane(), QByteArray("T\r\n\r\na\r\nb"));
        QCOMPARE(n.block->lineBreaksBefore(6), 2);
        QCOMPARE(n.block->lineBreaksBefore(7), 2);
        QCOMPARE(n.block->lineBreaksBefore(8), 3);
        // Shown, not changed: the row keeps its bytes until the user edits.
        QCOMPARE(n.doc().text(0), QByteArray("a\nb"));
        QVERIFY(!n.doc().isModified());
    }
};

QTEST_GUILESS_MAIN(TestNoteBlock)
#include "tst_noteblock.moc"
