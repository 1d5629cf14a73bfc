// tqb find as a process: the items that hold a text, by item index, with the
// program's matching rule, and grep's exit codes.

#include "TqbProcess.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
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

    // What find prints and its exit code, grep's: 0 found, 1 nothing found
    // (and nothing printed), 2 wrong usage. "DOC" stands for the document.
    void findPrints_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out");
        // Without --case "é" and "É" are the same letter; the output is UTF-8.
        QTest::newRow("title and text, case folded")
            << QStringList{"find", "DOC", "café"} << 0 << QByteArray("0\tGroceries\n2\tCaf\xc3\xa9 list\n");
        QTest::newRow("--case") << QStringList{"find", "--case", "DOC", "Café"} << 0
                                << QByteArray("2\tCaf\xc3\xa9 list\n");
        QTest::newRow("upper case pattern") << QStringList{"find", "DOC", "PASSPORT"} << 0 << QByteArray("1\tTrip\n");
        QTest::newRow("--case after the pattern")
            << QStringList{"find", "DOC", "PASSPORT", "--case"} << 1 << QByteArray();
        QTest::newRow("nothing matched") << QStringList{"find", "DOC", "zebra"} << 1 << QByteArray();
        // "café" stands in the text of item 0 and the title of item 2: --titles keeps item 2 only.
        QTest::newRow("--titles") << QStringList{"find", "--titles", "DOC", "café"} << 0
                                  << QByteArray("2\tCaf\xc3\xa9 list\n");
        QTest::newRow("--titles, only in a text")
            << QStringList{"find", "--titles", "DOC", "passport"} << 1 << QByteArray();
        // The context: the text around the hit, its line break shown as one blank;
        // an item found by its title shows the start of its text (here empty).
        QTest::newRow("--context") << QStringList{"find", "--context", "DOC", "café"} << 0
                                   << QByteArray("0\tGroceries\tmilk CAF\xc3\x89 beans\n2\tCaf\xc3\xa9 list\t\n");
        QTest::newRow("--context --titles") << QStringList{"find", "--context", "--titles", "DOC", "groc"} << 0
                                            << QByteArray("0\tGroceries\tmilk CAF\xc3\x89 beans\n");
        // The other commands refuse both options.
        QTest::newRow("tree --titles") << QStringList{"tree", "DOC", "--titles"} << 2 << QByteArray();
        QTest::newRow("tree --context") << QStringList{"tree", "DOC", "--context"} << 2 << QByteArray();
    }

    void findPrints()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        QCOMPARE(fromJson(sampleJson(), QStringLiteral("a.tqb")), 0);
        args.replaceInStrings(QRegularExpression(QStringLiteral("^DOC$")), path(QStringLiteral("a.tqb")));
        const CRun run = tqb(args);
        QCOMPARE(run.exitCode, exitCode);
        if (exitCode < 2) {
            QCOMPARE(run.out, out);
            QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        }
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
