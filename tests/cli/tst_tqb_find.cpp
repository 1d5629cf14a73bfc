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

using tqbtest::CRun;

}  // namespace

class TstTqbFind : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString &name) const { return m_dir->filePath(name); }

    CRun tqb(const QStringList &args, const QByteArray &input = {}) const
    {
        return tqbtest::run(m_dir->path(), path(QStringLiteral("settings.ini")), args, input);
    }

    // A document from JSON: items in index order; item 2 is a child of item 0.
    QString makeDocument(const QString &name, const QByteArray &password = {})
    {
        const QByteArray json = R"({"format": "tqb-json/1", "header": null, "items": [
            {"parent": 1, "title": "Groceries", "text": "milk\r\nCAFÉ beans", "icons": [0,0,0,0,0], "sort": 0,
             "remind": -1, "times": [0,0,0,0,0], "kind": 0},
            {"parent": 1, "title": "Trip", "text": "passport", "icons": [0,0,0,0,0], "sort": 0,
             "remind": -1, "times": [0,0,0,0,0], "kind": 0},
            {"parent": 2, "title": "Café list", "text": "", "icons": [0,0,0,0,0], "sort": 0,
             "remind": -1, "times": [0,0,0,0,0], "kind": 0}]})";
        QFile file(path(name + QStringLiteral(".json")));
        if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size())
            return {};
        file.close();
        QStringList args{QStringLiteral("from-json"), file.fileName(), path(name)};
        if (!password.isEmpty())
            args << QStringLiteral("--password-stdin");
        const CRun run = tqb(args, password + '\n');
        return run.exitCode == 0 ? path(name) : QString();
    }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void findsTitlesAndTextsByItemIndex()
    {
        const QString doc = makeDocument(QStringLiteral("a.tqb"));
        QVERIFY(!doc.isEmpty());
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
        const QString doc = makeDocument(QStringLiteral("c.tqb"));
        QVERIFY(!doc.isEmpty());
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
        const QString doc = makeDocument(QStringLiteral("p.tqb"), "secret");
        QVERIFY(!doc.isEmpty());
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
