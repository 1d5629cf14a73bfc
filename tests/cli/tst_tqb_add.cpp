// tqb add and tqb genpass as processes: notes added to new and existing
// documents (with a password too), and passwords printed from the generator.

#include "TqbProcess.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

using tqbtest::CRun;

// An item as "parent|title|text".
const QStringList kNote{QStringLiteral("parent"), QStringLiteral("title"), QStringLiteral("text")};

}  // namespace

class TstTqbAdd : public QObject, private tqbtest::CTqbFixture
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(newFolder()); }

    void addCreatesTheDocumentAndSplitsLikeCapture()
    {
        const QString doc = path(QStringLiteral("notes.tqb"));
        CRun run = tqb({QStringLiteral("add"), doc}, "  Buy bread. And milk,\nand eggs.\n");
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("0\n"));
        QCOMPARE(rows(doc, kNote), QStringList{QStringLiteral("1|Buy bread.|And milk,\r\nand eggs.")});

        // Below item 0, with a title of its own: the whole input is the text.
        run = tqb({QStringLiteral("add"), doc, QStringLiteral("--under"), QStringLiteral("0"), QStringLiteral("--title"),
                   QStringLiteral("Caf\u00e9 list")},
                  QStringLiteral("Espresso. Latte\n").toUtf8());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("1\n"));
        QCOMPARE(rows(doc, kNote), (QStringList{QStringLiteral("1|Buy bread.|And milk,\r\nand eggs."),
                                          QStringLiteral("2|Caf\u00e9 list|Espresso. Latte")}));

        // No split point: the whole text, no title.
        QCOMPARE(tqb({QStringLiteral("add"), doc}, "just words").exitCode, 0);
        QVERIFY(rows(doc, kNote).contains(QStringLiteral("1||just words")));
    }

    // The index printed is the one the note has in the saved file, also
    // where the sorted root level puts it ahead of older notes: --under and
    // every other command find it by that number.
    void printedIndexIsTheSavedOne()
    {
        const QString doc = path(QStringLiteral("sorted.tqb"));
        for (const char *title : {"Zebra", "Mango"})
            QCOMPARE(tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QString::fromLatin1(title)}, "text").exitCode, 0);
        const CRun run = tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("Apple")}, "text");
        QCOMPARE(run.exitCode, 0);
        const int printed = run.out.trimmed().toInt();
        QCOMPARE(titles(doc).value(printed), QStringLiteral("Apple"));
        const CRun child = tqb({QStringLiteral("add"), doc, QStringLiteral("--under"), QString::number(printed),
                                QStringLiteral("--title"), QStringLiteral("Seed")}, "text");
        QCOMPARE(child.exitCode, 0);
        const int seed = child.out.trimmed().toInt();
        QCOMPARE(titles(doc).value(seed), QStringLiteral("Seed"));
        // A parent field counts from 2 for item 0.
        QCOMPARE(rows(doc, {QStringLiteral("parent")}).value(seed), QString::number(printed + 2));
    }

    void addRefusesBadInputAndKeepsTheDocument()
    {
        const QString doc = path(QStringLiteral("keep.tqb"));
        QCOMPARE(tqb({QStringLiteral("add"), doc}, "First. note").exitCode, 0);
        QFile file(doc);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();

        CRun run = tqb({QStringLiteral("add"), doc, QStringLiteral("--under"), QStringLiteral("7")}, "x. y");
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("has no item 7")), qPrintable(run.err));
        run = tqb({QStringLiteral("add"), doc}, QStringLiteral("Price. 5 \u20bd").toUtf8());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("windows-1252 cannot hold")), qPrintable(run.err));
        run = tqb({QStringLiteral("add"), doc}, " \r\n");
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("no text to add")), qPrintable(run.err));
        QCOMPARE(tqb({QStringLiteral("add"), doc, QStringLiteral("--under"), QStringLiteral("x")}, "a. b").exitCode, 2);
        QCOMPARE(tqb({QStringLiteral("add"), doc, QStringLiteral("--length"), QStringLiteral("8")}, "a. b").exitCode, 2);

        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    void addWithAPassword()
    {
        const QString doc = path(QStringLiteral("secret.tqb"));
        QCOMPARE(tqb({QStringLiteral("add"), doc, QStringLiteral("--password-stdin")}, "pw1\nBank. PIN 1234\n").exitCode,
                 0);
        QCOMPARE(tqb({QStringLiteral("add"), doc, QStringLiteral("--password-stdin")}, "pw1\nSecond. one\n").exitCode, 0);
        QCOMPARE(rows(doc, kNote, QStringLiteral("|"), "pw1"),
                 (QStringList{QStringLiteral("1|Bank.|PIN 1234"), QStringLiteral("1|Second.|one")}));
        // Without the password the document is not touched.
        const CRun refused = tqb({QStringLiteral("add"), doc}, "Third. x");
        QCOMPARE(refused.exitCode, 1);
        QCOMPARE(rows(doc, kNote, QStringLiteral("|"), "pw1").size(), 2);
    }

    void genpassPrintsFromTheGenerator()
    {
        CRun run = tqb({QStringLiteral("genpass")});
        QCOMPARE(run.exitCode, 0);
        QList<QByteArray> lines = run.out.split('\n');
        QCOMPARE(lines.size(), 2);  // one password and the final line break
        QCOMPARE(lines[0].size(), 10);
        for (char c : lines[0])
            QVERIFY(QChar::fromLatin1(c).isLetterOrNumber());

        run = tqb({QStringLiteral("genpass"), QStringLiteral("--length"), QStringLiteral("6"), QStringLiteral("--digits"),
                   QStringLiteral("--count"), QStringLiteral("5")});
        QCOMPARE(run.exitCode, 0);
        lines = run.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 5);
        for (const QByteArray &line : lines) {
            QCOMPARE(line.size(), 6);
            for (char c : line)
                QVERIFY(c >= '0' && c <= '9');
        }

        run = tqb({QStringLiteral("genpass"), QStringLiteral("--special"), QStringLiteral("--length"),
                   QStringLiteral("127")});
        QCOMPARE(run.out.size(), 128);
        for (char c : run.out.left(127))
            QVERIFY(c >= ' ' && c <= '~' && !QChar::fromLatin1(c).isLetterOrNumber());

        // Two runs never repeat each other, unlike a generator seeded the same each run.
        QVERIFY(tqb({QStringLiteral("genpass"), QStringLiteral("--length"), QStringLiteral("32")}).out
                != tqb({QStringLiteral("genpass"), QStringLiteral("--length"), QStringLiteral("32")}).out);
    }

    void genpassUsesTheSettingsAndRefusesBadUsage()
    {
        {
            QSettings store(path(QStringLiteral("settings.ini")), QSettings::IniFormat);
            CSettings settings(store);
            CPasswordGenSettings s;
            s.quantity = 0;
            s.numbers = 1;
            s.letters = 0;
            s.store(settings);
        }
        CRun run = tqb({QStringLiteral("genpass")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.size(), 7);
        for (char c : run.out.left(6))
            QVERIFY(c >= '0' && c <= '9');

        for (const QStringList &bad : {QStringList{QStringLiteral("--length"), QStringLiteral("5")},
                                       QStringList{QStringLiteral("--length"), QStringLiteral("128")},
                                       QStringList{QStringLiteral("--count"), QStringLiteral("0")},
                                       QStringList{QStringLiteral("--title"), QStringLiteral("t")},
                                       QStringList{QStringLiteral("extra.tqb")}}) {
            run = tqb(QStringList{QStringLiteral("genpass")} + bad);
            QVERIFY2(run.exitCode == 2, qPrintable(bad.join(QLatin1Char(' '))));
            QVERIFY(run.out.isEmpty());
        }

        {
            QSettings store(path(QStringLiteral("settings.ini")), QSettings::IniFormat);
            CSettings settings(store);
            CPasswordGenSettings none;
            none.numbers = 0;
            none.letters = 0;
            none.store(settings);
        }
        run = tqb({QStringLiteral("genpass")});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(QStringLiteral("no character class selected")), qPrintable(run.err));
        QCOMPARE(tqb({QStringLiteral("genpass"), QStringLiteral("--letters")}).exitCode, 0);
    }
};

QTEST_GUILESS_MAIN(TstTqbAdd)
#include "tst_tqb_add.moc"
