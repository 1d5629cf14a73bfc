// The split of captured text into a note's title and text, and its trimming.

#include "editor/CaptureSplit.h"
#include "tree/InfoTree.h"

#include <QTest>

using CaptureSplit::split;

class TstCaptureSplit : public QObject
{
    Q_OBJECT

private slots:
    void split_data()
    {
        QTest::addColumn<QString>("captured");
        QTest::addColumn<bool>("autoTitle");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");

        QTest::newRow("first sentence") << "Buy milk today.   Then call Anna, twice." << true << "Buy milk today."
                                        << "Then call Anna, twice.";
        QTest::newRow("question and exclamation")
            << "Why not? Because." << true << "Why not?" << "Because.";
        QTest::newRow("first line without mark, CR LF") << "Shopping list\r\neggs\r\nflour\r\n" << true
                                                         << "Shopping list" << "eggs\r\nflour";
        QTest::newRow("leading blanks, tabs and dots")
            << " \t\t,Title here. body" << true << "Title here." << "body";
        QTest::newRow("tab inside the title becomes four blanks")
            << "a\tb. rest" << true << "a    b." << "rest";
        QTest::newRow("text loses leading dots and trailing commas")
            << "Head!...text,, \r\n" << true << "Head!" << "text";
        QTest::newRow("line feed ends the title, which loses comma and blank")
            << "one, \n two" << true << "one" << "two";
        QTest::newRow("auto title off: whole text, trimmed")
            << "  Keep. All of it, \n" << false << "" << "Keep. All of it";
        QTest::newRow("no split point: whole text into the text box")
            << "short phrase without punctuation" << true << "" << "short phrase without punctuation";
        QTest::newRow("empty") << "" << true << "" << "";
        QTest::newRow("only separators") << " .,\r\n" << true << "" << "";
    }

    void split()
    {
        QFETCH(QString, captured);
        QFETCH(bool, autoTitle);
        const CaptureSplit::Result r = ::split(captured, autoTitle);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QCOMPARE(r.title, title);
        QCOMPARE(r.text, text);
    }

    // Without a sentence mark in the first 200 characters the title ends
    // before the first blank at or after position 80; a mark further on does
    // not count.
    void longTextsSplitAtTheBlankFromEighty()
    {
        QString words;
        while (words.size() < 300)
            words += QStringLiteral("abcdefg ");
        words.truncate(300);
        const CaptureSplit::Result r = ::split(words, true);
        const qsizetype blank = words.indexOf(QLatin1Char(' '), 80);
        QVERIFY(blank >= 80);
        QCOMPARE(r.title, words.left(blank));
        QCOMPARE(r.text, words.mid(blank + 1).trimmed());

        const QString lateMark = QString(199, QLatin1Char('x')) + QStringLiteral(" tail. more");
        const CaptureSplit::Result late = ::split(lateMark, true);
        QCOMPARE(late.title, QString(199, QLatin1Char('x')));
        QCOMPARE(late.text, QStringLiteral("tail. more"));

        const QString markAt199 = QString(199, QLatin1Char('x')) + QStringLiteral(". more");
        QCOMPARE(::split(markAt199, true).title, QString(199, QLatin1Char('x')) + QLatin1Char('.'));

        // 250 characters without blank or mark: nothing to split at.
        const QString solid(250, QLatin1Char('y'));
        const CaptureSplit::Result whole = ::split(solid, true);
        QCOMPARE(whole.title, QString());
        QCOMPARE(whole.text, solid);
    }

    // Paste into a tree label runs the same rule on code-page bytes and keeps
    // its "no split" answer (the label editor then pastes as usual).
    void labelPasteSharesTheRule()
    {
        const CInfoTree::LabelSplit s = CInfoTree::splitPastedText(" \tTitle\there. body,\r\n");
        QCOMPARE(s.position, 12);
        QCOMPARE(s.title, QByteArray("Title    here."));
        QCOMPARE(s.body, QByteArray("body"));
        const CInfoTree::LabelSplit none = CInfoTree::splitPastedText("no mark");
        QCOMPARE(none.position, -1);
        QVERIFY(none.title.isEmpty() && none.body.isEmpty());
        // A byte above 127 is an ordinary character, never a separator.
        QCOMPARE(CInfoTree::splitPastedText("\xe9t\xe9. x").title, QByteArray("\xe9t\xe9."));
    }
};

QTEST_APPLESS_MAIN(TstCaptureSplit)
#include "tst_capturesplit.moc"
