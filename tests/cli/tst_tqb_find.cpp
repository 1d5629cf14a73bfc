// tqb find as a process: the items that hold a text, by item index, with the
// program's matching rule, and grep's exit codes.

#include "TqbProcess.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

using namespace tqbtest;

// Items in index order; item 2 is a child of item 0.
QByteArray sampleJson()
{
    const QJsonArray zero{0, 0, 0, 0, 0};
    return documentJson(QJsonValue::Null, {item(1, "Groceries", "milk\r\nCAF\u00c9 beans", zero),
                                           item(1, "Trip", "passport", zero), item(2, "Caf\u00e9 list", "", zero)});
}

}  // namespace

class TstTqbFind : public QObject, private tqbtest::CTqbFixture
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(newFolder()); }

    void findsTitlesAndTextsByItemIndex()
    {
        QCOMPARE(fromJson(sampleJson(), QStringLiteral("a.tqb")), 0);
        const QString doc = path(QStringLiteral("a.tqb"));
        // Without --case "é" and "É" are the same letter; the output is UTF-8.
        CRun run = tqb({QStringLiteral("find"), doc, QStringLiteral("café")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("0\tGroceries\n2\tCaf\xc3\xa9 list\n"));
        run = tqb({QStringLiteral("find"), QStringLiteral("--case"), doc, QStringLiteral("Café")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("2\tCaf\xc3\xa9 list\n"));
        run = tqb({QStringLiteral("find"), doc, QStringLiteral("PASSPORT")});
        QCOMPARE(run.out, QByteArray("1\tTrip\n"));

        // Nothing matched: 1, as grep, and nothing printed.
        QCOMPARE(tqb({QStringLiteral("find"), doc, QStringLiteral("PASSPORT"), QStringLiteral("--case")}).exitCode, 1);
        run = tqb({QStringLiteral("find"), doc, QStringLiteral("zebra")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.isEmpty());
        QVERIFY(run.err.isEmpty());
    }

    void titlesOnlyAndContext()
    {
        QCOMPARE(fromJson(sampleJson(), QStringLiteral("c.tqb")), 0);
        const QString doc = path(QStringLiteral("c.tqb"));
        // "café" stands in the text of item 0 and the title of item 2: --titles keeps item 2 only.
        CRun run = tqb({QStringLiteral("find"), QStringLiteral("--titles"), doc, QStringLiteral("café")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("2\tCaf\xc3\xa9 list\n"));
        QCOMPARE(tqb({QStringLiteral("find"), QStringLiteral("--titles"), doc, QStringLiteral("passport")}).exitCode, 1);

        // The context: the text around the hit, its line break shown as one blank;
        // an item found by its title shows the start of its text (here empty).
        run = tqb({QStringLiteral("find"), QStringLiteral("--context"), doc, QStringLiteral("café")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("0\tGroceries\tmilk CAF\xc3\x89 beans\n2\tCaf\xc3\xa9 list\t\n"));
        run = tqb({QStringLiteral("find"), QStringLiteral("--context"), QStringLiteral("--titles"), doc,
                   QStringLiteral("groc")});
        QCOMPARE(run.out, QByteArray("0\tGroceries\tmilk CAF\xc3\x89 beans\n"));
        // The other commands refuse both options.
        QCOMPARE(tqb({QStringLiteral("tree"), doc, QStringLiteral("--titles")}).exitCode, 2);
        QCOMPARE(tqb({QStringLiteral("tree"), doc, QStringLiteral("--context")}).exitCode, 2);
    }

    void passwordAndFailures()
    {
        QCOMPARE(fromJson(sampleJson(), QStringLiteral("p.tqb"), "secret"), 0);
        const QString doc = path(QStringLiteral("p.tqb"));
        CRun run = tqb({QStringLiteral("find"), QStringLiteral("--password-stdin"), doc, QStringLiteral("milk")},
                       "secret\n");
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("0\tGroceries\n"));
        // A wrong password is a failure, not "no match".
        run = tqb({QStringLiteral("find"), QStringLiteral("--password-stdin"), doc, QStringLiteral("milk")}, "wrong\n");
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY(!run.err.isEmpty());

        QCOMPARE(tqb({QStringLiteral("find"), path(QStringLiteral("missing.tqb")), QStringLiteral("x")}).exitCode, 2);
        // A text the code page cannot hold can never match: told, not silently "no match".
        run = tqb({QStringLiteral("find"), doc, QString(QChar(0x0436))});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains(QStringLiteral("windows-1252")));

        // Wrong usage.
        QCOMPARE(tqb({QStringLiteral("find"), doc}).exitCode, 2);
        QCOMPARE(tqb({QStringLiteral("find"), doc, QString()}).exitCode, 2);
        QCOMPARE(tqb({QStringLiteral("find"), doc, QStringLiteral("a"), QStringLiteral("b")}).exitCode, 2);
        run = tqb({QStringLiteral("tree"), doc, QStringLiteral("--case")});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains(QStringLiteral("--case")));
    }
};

QTEST_GUILESS_MAIN(TstTqbFind)
#include "tst_tqb_find.moc"
