// tqb import-text, import-csv and import-favorites as processes, the
// results read back with tqb to-json.

#include "TestPaths.h"
#include "TqbProcess.h"
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

using tqbtest::CRun;

// An item as "parent:title", in file order.
const QStringList kParentTitle{QStringLiteral("parent"), QStringLiteral("title")};

}  // namespace

class TstTqbImport : public QObject, private tqbtest::CTqbFixture
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(newFolder()); }

    void textCreatesTheDocumentThenNestsBelowAnItem()
    {
        QVERIFY(writeFile(QStringLiteral("a.txt"), "First\nbody one\n    ***\nInner\nbody two\n***\nLast\nx\n"));
        CRun run = tqb({QStringLiteral("import-text"), QStringLiteral("n.tqb"), QStringLiteral("a.txt")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(rows(QStringLiteral("n.tqb"), kParentTitle, QStringLiteral(":")),
                 (QStringList{QStringLiteral("1:a"), QStringLiteral("2:First"), QStringLiteral("3:Inner"),
                              QStringLiteral("2:Last")}));
        QCOMPARE(items(QStringLiteral("n.tqb")).at(1).toObject().value(QStringLiteral("text")).toString(),
                 QStringLiteral("body one "));

        // Again below item 3 ("Last"): the second import is its child.
        run = tqb({QStringLiteral("import-text"), QStringLiteral("n.tqb"), QStringLiteral("a.txt"),
                   QStringLiteral("--under"), QStringLiteral("3")});
        QCOMPARE(run.exitCode, 0);
        const QStringList after = rows(QStringLiteral("n.tqb"), kParentTitle, QStringLiteral(":"));
        QCOMPARE(after.size(), 8);
        QCOMPARE(after.mid(4, 2), (QStringList{QStringLiteral("5:a"), QStringLiteral("6:First")}));
        QVERIFY(QFile::exists(path(QStringLiteral("n.tqb"))));

        // No such item: refused, the document unchanged.
        run = tqb({QStringLiteral("import-text"), QStringLiteral("n.tqb"), QStringLiteral("a.txt"),
                   QStringLiteral("--under=99")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(rows(QStringLiteral("n.tqb"), kParentTitle, QStringLiteral(":")), after);
    }

    void unreadableSourceSavesNothing()
    {
        QVERIFY(writeFile(QStringLiteral("a.txt"), "One\nx\n"));
        QCOMPARE(tqb({QStringLiteral("import-text"), QStringLiteral("d.tqb"), QStringLiteral("a.txt")}).exitCode, 0);
        const QByteArray before = [&] {
            QFile f(path(QStringLiteral("d.tqb")));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        const CRun run = tqb({QStringLiteral("import-text"), QStringLiteral("d.tqb"), QStringLiteral("missing.txt")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("Text file error!")), qPrintable(run.err));
        QFile f(path(QStringLiteral("d.tqb")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        // A new document is not created for nothing either.
        QCOMPARE(tqb({QStringLiteral("import-csv"), QStringLiteral("none.tqb"), QStringLiteral("missing.csv")}).exitCode, 1);
        QVERIFY(!QFile::exists(path(QStringLiteral("none.tqb"))));
    }

    void csvHeaderOption()
    {
        QVERIFY(writeFile(QStringLiteral("p.csv"), "Name;Phone\nAnn;555\n"));
        CRun run = tqb({QStringLiteral("import-csv"), QStringLiteral("c.tqb"), QStringLiteral("p.csv"),
                        QStringLiteral("--header")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(rows(QStringLiteral("c.tqb"), kParentTitle, QStringLiteral(":")),
                 (QStringList{QStringLiteral("1:p"), QStringLiteral("2:Ann")}));
        QCOMPARE(items(QStringLiteral("c.tqb")).at(1).toObject().value(QStringLiteral("text")).toString(),
                 QStringLiteral("Phone: 555\r\n"));
        // Without --header the first line is a note too; no question waits.
        run = tqb({QStringLiteral("import-csv"), QStringLiteral("c2.tqb"), QStringLiteral("p.csv")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(rows(QStringLiteral("c2.tqb"), kParentTitle, QStringLiteral(":")),
                 (QStringList{QStringLiteral("1:p"), QStringLiteral("2:Name"), QStringLiteral("2:Ann")}));
        QCOMPARE(tqb({QStringLiteral("import-text"), QStringLiteral("c.tqb"), QStringLiteral("p.csv"),
                      QStringLiteral("--header")})
                     .exitCode,
                 2);
    }

    void favoritesIntoProtectedDocument()
    {
        QVERIFY(QDir().mkpath(path(QStringLiteral("Fav/Sub"))));
        QVERIFY(writeFile(QStringLiteral("Fav/Sub/Site.url"), "[InternetShortcut]\r\nURL=https://site.example/\r\n"));
        CRun run = tqb({QStringLiteral("import-favorites"), QStringLiteral("p.tqb"), QStringLiteral("Fav"),
                        QStringLiteral("--password-stdin")},
                       "secret\n");
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(rows(QStringLiteral("p.tqb"), kParentTitle, QStringLiteral(":"), "secret"),
                 (QStringList{QStringLiteral("1:Fav"), QStringLiteral("2:Sub"), QStringLiteral("3:Site")}));
        // Without the password the document is refused and stays as it was.
        run = tqb({QStringLiteral("import-favorites"), QStringLiteral("p.tqb"), QStringLiteral("Fav")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(rows(QStringLiteral("p.tqb"), kParentTitle, QStringLiteral(":"), "secret").size(), 3);
        // A bookmark file.
        run = tqb({QStringLiteral("import-favorites"), QStringLiteral("p.tqb"),
                   testpaths::data(QStringLiteral("bookmarks/chrome-style.html")), QStringLiteral("--password-stdin")},
                  "secret\n");
        QCOMPARE(run.exitCode, 0);
        const QStringList all = rows(QStringLiteral("p.tqb"), kParentTitle, QStringLiteral(":"), "secret");
        QCOMPARE(all.size(), 3 + 9);
        QVERIFY(all.contains(QStringLiteral("1:chrome-style.html")));
        // The bookmark folder is item 3, "Other bookmarks" sits right below it
        // and holds the UTF-8 title, converted.
        const qsizetype other = all.indexOf(QStringLiteral("5:Other bookmarks"));
        QVERIFY2(other > 0, qPrintable(all.join(QLatin1Char('|'))));
        QCOMPARE(all.value(other + 1), QStringLiteral("%1:Caf\u00e9").arg(other + 2));
    }
};

QTEST_GUILESS_MAIN(TstTqbImport)
#include "tst_tqb_import.moc"
