// Search all notes and Go to note, headless: which items a search lists and
// in which order, the matching rule, the context line, the ranking of
// titles, and a search running on its own thread while the document changes.
#include "TreeTestSupport.h"
#include "find/NoteSearch.h"
#include "find/SearchRunner.h"
#include "find/TitleRanking.h"
#include "settings/Settings.h"
#include "text/CodePage.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

using namespace treetest;

namespace {

QByteArray bytes(const QString &text, const QString &page = QStringLiteral("windows-1252"))
{
    return CCodePage(page).fromUnicode(text).value_or(QByteArray("?unmappable?"));
}

// "T2 X0 X3": item 2 by its title, then items 0 and 3 by their texts.
QByteArray listed(const std::vector<CSearchHit> &hits)
{
    QByteArray out;
    for (const CSearchHit &h : hits)
        out += (out.isEmpty() ? "" : " ") + QByteArray(h.inTitle() ? "T" : "X") + QByteArray::number(h.item);
    return out;
}

std::vector<CSearchHit> search(CTreeFixture &f, const QByteArray &needle, bool caseSensitive, bool titlesOnly = false)
{
    const CTextMatcher matcher(needle, caseSensitive, CCodePage(f.doc().settings().text(CSettings::CodePage)));
    return notesearch::searchAll(CSearchSnapshot::of(f.doc(), *f.tree), matcher, titlesOnly);
}

QByteArray titles(const CItemTables &tables, const std::vector<titleranking::Match> &found)
{
    QByteArray out;
    for (const titleranking::Match &m : found)
        out += (out.isEmpty() ? "" : "|") + tables.title(m.item);
    return out;
}

}  // namespace

class TstNoteSearch : public QObject
{
    Q_OBJECT

private slots:
    void titlesFirstThenTextsInTreeOrder()
    {
        CTreeFixture f;
        f.row("Zeta", -1, "an apple pie");        // 0
        f.row("Alpha", -1, "nothing here");       // 1
        f.row("apple tart", 1, "apple again");    // 2: under Alpha
        f.row("Beta", 0, "APPLE");                // 3: under Zeta, so before Alpha in the tree
        f.build();
        QCOMPARE(f.shape(), QByteArray("Zeta(Beta),Alpha(apple tart)"));

        // Item 2 is listed once, by its title; the texts follow in tree order, not index order.
        std::vector<CSearchHit> hits = search(f, "apple", false);
        QCOMPARE(listed(hits), QByteArray("T2 X0 X3"));
        QCOMPARE(hits[0].position(), 0);
        QCOMPARE(hits[1].position(), 3);
        QCOMPARE(listed(search(f, "apple", true)), QByteArray("T2 X0"));
        QCOMPARE(listed(search(f, "apple", false, true)), QByteArray("T2"));
        QCOMPARE(listed(search(f, "pear", false)), QByteArray());

        // A deleted item keeps its row in the tables until the next save, but never matches.
        f.selectLabel("Beta");
        f.tree->deleteSelected();
        QCOMPARE(f.shape(), QByteArray("Zeta,Alpha(apple tart)"));
        QCOMPARE(f.doc().texts().size(), 4);
        QCOMPARE(listed(search(f, "apple", false)), QByteArray("T2 X0"));
        // Brought back by Undo, it matches again, in its place.
        f.tree->undo();
        QCOMPARE(listed(search(f, "apple", false)), QByteArray("T2 X0 X3"));
    }

    void matchingRuleOfFindNext_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("needle");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<QByteArray>("expected");

        const QStringList latin{QStringLiteral("CAFÉ au lait"), QStringLiteral("cafe"), QStringLiteral("Café"),
                                QStringLiteral("STRASSE und Straße")};
        QTest::newRow("1252 case-blind folds É") << "windows-1252" << latin << "café" << false << QByteArray("X0 X2");
        QTest::newRow("1252 case-sensitive") << "windows-1252" << latin << "Café" << true << QByteArray("X2");
        QTest::newRow("1252 no accent folding") << "windows-1252" << latin << "cafe" << false << QByteArray("X1");
        QTest::newRow("1252 ß stays ß") << "windows-1252" << latin << "STRASSE" << false << QByteArray("X3");
        const QStringList cyrillic{QStringLiteral("ЖУК и ёж"), QStringLiteral("жук"), QStringLiteral("ЁЖ")};
        QTest::newRow("1251 folds Ж") << "windows-1251" << cyrillic << "жук" << false << QByteArray("X0 X1");
        QTest::newRow("1251 folds Ё") << "windows-1251" << cyrillic << "ёж" << false << QByteArray("X0 X2");
        QTest::newRow("1251 case-sensitive") << "windows-1251" << cyrillic << "ЖУК" << true << QByteArray("X0");
        const QStringList polish{QStringLiteral("ŁÓDŹ"), QStringLiteral("łódź"), QStringLiteral("lodz")};
        QTest::newRow("1250 folds Ł") << "windows-1250" << polish << "łódź" << false << QByteArray("X0 X1");
    }

    void matchingRuleOfFindNext()
    {
        QFETCH(QString, page);
        QFETCH(QStringList, texts);
        QFETCH(QString, needle);
        QFETCH(bool, caseSensitive);
        QFETCH(QByteArray, expected);
        CTreeFixture f;
        f.doc().settings().setText(CSettings::CodePage, page);
        for (int i = 0; i < texts.size(); ++i)
            f.row("Item " + QByteArray::number(i), -1, bytes(texts[i], page));
        f.build();
        QCOMPARE(listed(search(f, bytes(needle, page), caseSensitive)), expected);

        // Find next walks to the same items: from each listed item it reaches the next one.
        const std::vector<CSearchHit> hits = search(f, bytes(needle, page), caseSensitive);
        const CTextMatcher matcher(bytes(needle, page), caseSensitive, CCodePage(page));
        for (size_t k = 0; k + 1 < hits.size(); ++k) {
            QVERIFY(f.tree->selectByIndex(int(hits[k].item)));
            QCOMPARE(f.tree->findNextItem(matcher, f.tree->beginItemWalk()), int(hits[k + 1].item));
        }
    }

    // Every place in texts long enough for the scan 16 bytes at a time and
    // short ones, matches at every offset and up to the last byte, against
    // a plain comparison of the decoded, lower-cased characters.
    void matcherAgreesWithPlainComparison_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("letters");
        QTest::newRow("1252") << "windows-1252" << "aAbBéÉšŠ ";
        QTest::newRow("1251") << "windows-1251" << "жЖуУкКёЁ ";
        QTest::newRow("1250") << "windows-1250" << "łŁoOźŹdD ";
    }

    void matcherAgreesWithPlainComparison()
    {
        QFETCH(QString, page);
        QFETCH(QString, letters);
        const CCodePage codePage(page);
        QRandomGenerator random(21);
        const auto randomText = [&](int length) {
            QString text;
            for (int i = 0; i < length; ++i)
                text += letters.at(int(random.bounded(letters.size())));
            return text;
        };
        for (int round = 0; round < 3000; ++round) {
            const QString hay = randomText(int(random.bounded(90)));
            const QString needle = randomText(1 + int(random.bounded(round % 2 ? 3 : 6)));
            const bool caseSensitive = round % 5 == 0;
            const CTextMatcher matcher(bytes(needle, page), caseSensitive, codePage);
            const qsizetype from = hay.isEmpty() ? 0 : random.bounded(int(hay.size()));
            qsizetype expected = -1;
            for (qsizetype at = from; at + needle.size() <= hay.size() && expected < 0; ++at) {
                const QString here = hay.mid(at, needle.size());
                if (caseSensitive ? here == needle : here.toLower() == needle.toLower())
                    expected = at;
            }
            QCOMPARE(matcher.indexIn(bytes(hay, page), from), expected);
            // The same characters as the low bytes of WORDs whose high bytes
            // are noise, searched where they lie (tqb find in the file bytes).
            const QByteArray plain = bytes(hay, page);
            QByteArray words(2 * plain.size(), Qt::Uninitialized);
            for (qsizetype i = 0; i < plain.size(); ++i) {
                words[2 * i] = plain[i];
                words[2 * i + 1] = char(random.bounded(256));
            }
            QCOMPARE(matcher.indexInEveryOther(words.constData(), plain.size()), matcher.indexIn(plain));
        }
    }

    void contextLine_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("hit");
        QTest::addColumn<int>("length");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("hitStart");
        QTest::addColumn<bool>("cutBefore");
        QTest::addColumn<bool>("cutAfter");

        QTest::newRow("breaks and tabs as blanks") << QByteArray("milk\r\nbeans\tand tea") << 6 << 5
                                                   << QByteArray("milk beans and tea") << 5 << false << false;
        QTest::newRow("lone LF") << QByteArray("a\nb") << 2 << 1 << QByteArray("a b") << 2 << false << false;
        const QByteArray longText = QByteArray(100, 'x') + "NEEDLE" + QByteArray(300, 'y');
        QTest::newRow("cut on both sides") << longText << 100 << 6
                                           << QByteArray(40, 'x') + "NEEDLE" + QByteArray(74, 'y') << 40 << true
                                           << true;
        QTest::newRow("no hit: the start") << QByteArray("first\r\nsecond") << -1 << 0
                                           << QByteArray("first second") << 0 << false << false;
        QTest::newRow("empty text") << QByteArray() << -1 << 0 << QByteArray() << 0 << false << false;
    }

    void contextLine()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, hit);
        QFETCH(int, length);
        const notesearch::Context c = notesearch::contextLine(text, hit, length);
        QTEST(c.line, "line");
        QTEST(int(c.hitStart), "hitStart");
        QTEST(c.cutBefore, "cutBefore");
        QTEST(c.cutAfter, "cutAfter");
        if (length > 0)
            QCOMPARE(c.line.mid(c.hitStart, c.hitLength), text.mid(hit, length).replace('\t', ' '));
    }

    void goToNoteRanking_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("expected");

        // Title start, then word starts, then anywhere; fewer folders above, then shorter titles.
        QTest::newRow("one word") << "gar" << QByteArray("Garden|Garden notes|Old garden notes|Vinegar nook");
        QTest::newRow("two words, any order, case-blind")
            << "NO gar" << QByteArray("Garden notes|Old garden notes|Vinegar nook");
        QTest::newRow("every word must be there") << "garden zebra" << QByteArray();
        QTest::newRow("blanks only") << "   " << QByteArray();
        QTest::newRow("deeper item after a shallower one")
            << "list" << QByteArray("List|Lists of things|Shopping list|Shopping list");
    }

    void goToNoteRanking()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, expected);
        CTreeFixture f;
        const int archive = f.row("Archive");
        f.row("Old garden notes", archive);
        f.row("Vinegar nook", archive);
        const int deep = f.row("Shopping list", archive);  // at depth 1 ...
        f.row("Shopping list", deep);                        // ... and at depth 2
        f.row("Garden notes");
        f.row("Garden");
        f.row("Lists of things");
        f.row("List");
        f.build();
        const auto found = titleranking::rank(f.doc(), f.doc().order().size(), typed, CCodePage());
        QCOMPARE(titles(f.doc(), found), expected);
        if (!found.empty()) {
            const int deeper = deep + 1;
            // Of the two "Shopping list", the shallower comes first.
            const auto at = [&](int item) {
                return std::find_if(found.begin(), found.end(), [item](auto &m) { return m.item == item; });
            };
            if (at(deep) != found.end())
                QVERIFY(at(deep) < at(deeper));
        }
    }

    void goToNoteShowsFiftyAtMost()
    {
        CTreeFixture f;
        for (int i = 0; i < 80; ++i)
            f.row("Meeting " + QByteArray::number(i));
        f.row("Unrelated");
        f.build();
        const auto found = titleranking::rank(f.doc(), f.doc().order().size(), QStringLiteral("meet"), CCodePage());
        QCOMPARE(found.size(), size_t(50));
        // Equal class and depth: the shorter title, then tree order.
        QCOMPARE(f.doc().title(found[0].item), QByteArray("Meeting 0"));
        QCOMPARE(f.doc().title(found[10].item), QByteArray("Meeting 10"));
        QCOMPARE(titleranking::rank(f.doc(), 0, QStringLiteral("meet"), CCodePage()).size(), size_t(0));
    }

    void runnerOnItsOwnThread()
    {
        CTreeFixture f;
        for (int i = 0; i < 3000; ++i)
            f.row("Note " + QByteArray::number(i), -1, i % 3 == 0 ? "a common word" : "something else");
        f.build();
        const CCodePage page;
        CSearchRunner runner;
        QSignalSpy hits(&runner, &CSearchRunner::hitsFound);
        QSignalSpy finished(&runner, &CSearchRunner::finished);
        qsizetype delivered = 0;
        connect(&runner, &CSearchRunner::hitsFound, this,
                [&delivered](const std::vector<CSearchHit> &h) { delivered += qsizetype(h.size()); });

        // A newer search replaces the running one: only its results arrive.
        runner.start(CSearchSnapshot::of(f.doc(), *f.tree), CTextMatcher("note", false, page), false);
        runner.start(CSearchSnapshot::of(f.doc(), *f.tree), CTextMatcher("common", false, page), false);
        QVERIFY(runner.isRunning());
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0].value<qsizetype>(), qsizetype(1000));
        QCOMPARE(delivered, qsizetype(1000));
        QVERIFY(!runner.isRunning());

        // The search reads the tables as they were when it started, while the
        // document changes and even goes away under it.
        delivered = 0;
        runner.start(CSearchSnapshot::of(f.doc(), *f.tree), CTextMatcher("common", false, page), false);
        for (int i = 0; i < 3000; i += 3)
            f.doc().setText(i, "changed");
        f.tree.reset();
        f.fx.doc.reset();
        QTRY_COMPARE(finished.size(), 2);
        QCOMPARE(delivered, qsizetype(1000));

        // Cancelled: nothing more arrives.
        CTreeFixture g;
        for (int i = 0; i < 3000; ++i)
            g.row("Note", -1, "word");
        g.build();
        hits.clear();
        runner.start(CSearchSnapshot::of(g.doc(), *g.tree), CTextMatcher("word", false, page), false);
        runner.cancel();
        runner.waitForIdle();
        QCoreApplication::processEvents();
        QCOMPARE(hits.size(), 0);
        QCOMPARE(finished.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TstNoteSearch)
#include "tst_notesearch.moc"
