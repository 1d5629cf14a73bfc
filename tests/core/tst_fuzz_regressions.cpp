// The document reader's checks, run on the seed documents the fuzzer starts
// from and on every input the fuzzer once broke (tests/data/fuzz-regressions).
#include "TestPaths.h"
#include "../../fuzz/DocumentReaderCheck.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString dataFolder(const char *name)
{
    return testpaths::data(QString::fromLatin1(name));
}

}  // namespace

class TestFuzzRegressions : public QObject
{
    Q_OBJECT

private:
    DocumentReaderCheck::CScratchSettings m_scratch;

private slots:
    // Every seed is a sound document: it reads, takes the expected shape and
    // survives the round trip through a file.
    void seedDocuments_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("items");
        QTest::addColumn<bool>("asksPassword");
        QTest::newRow("header alone") << "empty.tqb" << 0 << false;
        QTest::newRow("nested items") << "items.tqb" << 5 << false;
        QTest::newRow("enciphered") << "password.tqb" << 5 << true;
        QTest::newRow("old layout") << "schema1.tqb" << 3 << true;
        QTest::newRow("no header") << "headerless.tqb" << 2 << true;
        QTest::newRow("long title") << "long-title.tqb" << 1 << false;
    }
    void seedDocuments()
    {
        QFETCH(QString, name);
        QFETCH(int, items);
        QFETCH(bool, asksPassword);
        const QByteArray bytes = readAll(dataFolder("seeds") + QLatin1Char('/') + name);
        QVERIFY2(!bytes.isEmpty(), qPrintable(name));
        const DocumentReaderCheck::CResult result = DocumentReaderCheck::check(bytes, m_scratch.settings);
        QVERIFY2(result.failure.isEmpty(), qPrintable(result.failure));
        QVERIFY(result.parsed);
        QCOMPARE(result.items, items);
        QCOMPARE(result.askedPassword, asksPassword);
    }

    // The password seed read with the fixed password gives the same items as
    // the plain one: the checks really decipher.
    void encipheredSeedReadsAsPlain()
    {
        DocumentReaderCheck::CFixedPasswordPrompter prompter;
        CTorviQuillbookDoc plain(m_scratch.settings, prompter);
        CTorviQuillbookDoc enciphered(m_scratch.settings, prompter);
        QVERIFY(plain.readFromBytes(readAll(dataFolder("seeds/items.tqb"))));
        QVERIFY(enciphered.readFromBytes(readAll(dataFolder("seeds/password.tqb"))));
        QVERIFY(enciphered.hasPassword());
        QCOMPARE(enciphered.titles(), plain.titles());
        QCOMPARE(enciphered.texts(), plain.texts());
        QVERIFY(enciphered.infos() == plain.infos());
        QVERIFY(readAll(dataFolder("seeds/items.tqb")) != readAll(dataFolder("seeds/password.tqb")));
    }

    // Not data-driven: the folder is empty until the fuzzer finds something.
    void regressionInputs()
    {
        const QDir folder(dataFolder("fuzz-regressions"));
        const QStringList names = folder.entryList(QDir::Files, QDir::Name);
        if (names.isEmpty())
            QSKIP("no fuzz regression recorded yet");
        for (const QString &name : names) {
            const DocumentReaderCheck::CResult result =
                DocumentReaderCheck::check(readAll(folder.filePath(name)), m_scratch.settings);
            QVERIFY2(result.failure.isEmpty(), qPrintable(name + QStringLiteral(": ") + result.failure));
        }
    }
};

QTEST_MAIN(TestFuzzRegressions)
#include "tst_fuzz_regressions.moc"
