// tqb on encrypted documents: every reader opens them with the password,
// none with a wrong one, and the forms convert without losing a byte.

#include "TqbProcess.h"
#include "crypto/Envelope.h"
#include "text/CodePage.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <QElapsedTimer>
#include <QProcess>

#include <csignal>
#include <memory>

namespace {

using namespace tqbtest;

const QString kRefused = QStringLiteral("tqb: The password is wrong, or the file was changed or cut short.\n");

QByteArray sampleJson()
{
    return documentJson(header({0, 1, 2, 3, 4}, 2, 1000000000),
                        {item(1, "Bank", "PIN 1234\r\nsecond line", {1, 2, 3, 4, 5}),
                         item(2, "Mail", "account: someone", {1, 2, 3, 4, 5}, 0, 0,
                              {1100000000, 60, 0, 1100000600, 0})});
}

// Text as a document without password stores it: one WORD per character.
QByteArray stored(const QByteArray &ascii)
{
    QByteArray words;
    for (char c : ascii)
        words.append(c).append('\0');
    return words;
}

}  // namespace

class TstTqbCrypto : public QObject, private tqbtest::CTqbFixture
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(newFolder()); }

    void formsConvertAndEveryReaderOpensTheEncryptedOne()
    {
        writeFile("in.json", sampleJson());
        QCOMPARE(tqb({"from-json", "in.json", "c.tqb", "--password-stdin"}, "right-one\n").exitCode, 0);
        const QByteArray compatible = readFile("c.tqb");
        const QByteArray expectedItems = asText(items("c.tqb", "right-one"));
        QVERIFY(expectedItems.contains("PIN 1234"));
        QVERIFY(tqb({"info", "c.tqb"}).out.contains("protection: compatible\n"));

        QCOMPARE(tqb({"passwd", "c.tqb", "--encrypt"}, "right-one\nstrong-one\n").exitCode, 0);
        const QByteArray sealed = readFile("c.tqb");
        QVERIFY(sealed.startsWith("TQBCRYPT"));
        QVERIFY(!sealed.contains("Bank"));
        const CRun info = tqb({"info", "c.tqb"});
        QCOMPARE(info.exitCode, 0);
        QVERIFY2(info.out.contains("protection: encrypted (argon2id, 65536 KiB, 3 passes)\n"), info.out.constData());
        QVERIFY(info.out.contains("items: -\n"));
        QVERIFY(tqb({"info", "c.tqb", "--password-stdin"}, "strong-one\n").out.contains("items: 2\n"));

        // Every reading command: the right password reads, a wrong one
        // gives exit 1 and the one line, and nothing else.
        QCOMPARE(asText(items("c.tqb", "strong-one")), expectedItems);
        const QList<QStringList> readers{{"tree", "c.tqb"},
                                         {"export-text", "c.tqb", "c.txt"},
                                         {"find", "c.tqb", "someone"},
                                         {"reminders", "c.tqb", "--at", "2004-11-09 12:00"},
                                         {"to-json", "c.tqb"},
                                         {"info", "c.tqb"}};
        for (const QStringList &reader : readers) {
            const CRun right = tqb(reader + QStringList{"--password-stdin"}, "strong-one\n");
            QVERIFY2(right.exitCode == 0 && right.err.isEmpty(), qPrintable(reader.join(' ') + right.err));
            const CRun wrong = tqb(reader + QStringList{"--password-stdin"}, "right-one\n");
            QVERIFY2(wrong.exitCode == (reader[0] == "find" ? 2 : 1), qPrintable(reader.join(' ')));
            QCOMPARE(wrong.err, kRefused);
            QVERIFY(wrong.out.isEmpty());
        }
        QVERIFY(readFile("c.txt").contains("PIN 1234"));
        const CRun wrongPasswd = tqb({"passwd", "c.tqb"}, "right-one\nother\n");
        QCOMPARE(wrongPasswd.exitCode, 1);
        QCOMPARE(wrongPasswd.err, kRefused);
        const CRun noOld = tqb({"passwd", "c.tqb"}, "\nother\n");
        QCOMPARE(noOld.exitCode, 1);
        // An empty new password asked to encrypt: refused, not saved in plain.
        const CRun emptyNew = tqb({"passwd", "c.tqb", "--encrypt"}, "strong-one\n\n");
        QCOMPARE(emptyNew.exitCode, 1);
        QCOMPARE(emptyNew.err, QStringLiteral("tqb: the new password is empty: --encrypt asks for a password\n"));
        QCOMPARE(readFile("c.tqb"), sealed);

        // Without an option the form stays; adding a note keeps it too.
        QCOMPARE(tqb({"passwd", "c.tqb"}, "strong-one\nstrong-two\n").exitCode, 0);
        QVERIFY(readFile("c.tqb").startsWith("TQBCRYPT"));
        QCOMPARE(tqb({"add", "c.tqb", "--title", "Added", "--password-stdin"}, "strong-two\nnew words\n").exitCode, 0);
        QVERIFY(readFile("c.tqb").startsWith("TQBCRYPT"));
        QVERIFY(!readFile("c.tqb").contains("new words"));
        QVERIFY(asText(items("c.tqb", "strong-two")).contains("new words"));

        // Back to the compatible form: the very bytes it had before.
        const CRun find = tqb({"find", "c.tqb", "Added", "--password-stdin"}, "strong-two\n");
        const QByteArray added = find.out.split('\t').value(0);
        QCOMPARE(added, QByteArray("2"));
        QCOMPARE(tqb({"passwd", "c.tqb", "--compatible"}, "strong-two\nright-one\n").exitCode, 0);
        QVERIFY(tqb({"info", "c.tqb"}).out.contains("protection: compatible\n"));
        QVERIFY(asText(items("c.tqb", "right-one")).contains("new words"));
        writeFile("in.json", sampleJson());
        QCOMPARE(tqb({"from-json", "in.json", "d.tqb", "--password-stdin"}, "right-one\n").exitCode, 0);
        QCOMPARE(readFile("d.tqb"), compatible);
    }

    void fromJsonEncryptsOnlyWhenAsked()
    {
        writeFile("in.json", sampleJson());
        QCOMPARE(tqb({"from-json", "in.json", "s.tqb", "--encrypt", "--password-stdin"}, "strong-one\n").exitCode, 0);
        QVERIFY(readFile("s.tqb").startsWith("TQBCRYPT"));
        QVERIFY(asText(items("s.tqb", "strong-one")).contains("PIN 1234"));
        QCOMPARE(tqb({"from-json", "in.json", "p.tqb"}).exitCode, 0);
        QVERIFY(tqb({"info", "p.tqb"}).out.contains("protection: none\n"));
        const CRun noPassword = tqb({"from-json", "in.json", "x.tqb", "--encrypt", "--password-stdin"}, "\n");
        QCOMPARE(noPassword.exitCode, 1);
        QVERIFY(!QFile::exists(path("x.tqb")));
        QCOMPARE(tqb({"tree", "s.tqb", "--encrypt"}).exitCode, 2);
        QCOMPARE(tqb({"passwd", "s.tqb", "--encrypt", "--compatible"}, "strong-one\nx-y\n").exitCode, 1);
    }

    // The sealed form takes any password as UTF-8; the compatible one keeps
    // its rules, and no refusal shows the password.
    void sealedTakesAnyPasswordAndNoRefusalShowsIt_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("repeated") << QStringLiteral("zz");
        QTest::newRow("euro sign") << QStringLiteral("abc\u20acdef");
        QTest::newRow("cyrillic") << QStringLiteral("\u043f\u0430\u0440\u043e\u043b\u044c");
    }

    void sealedTakesAnyPasswordAndNoRefusalShowsIt()
    {
        QFETCH(QString, password);
        const QByteArray line = password.toUtf8() + '\n';
        writeFile("in.json", sampleJson());
        QCOMPARE(tqb({"from-json", "in.json", "s.tqb", "--encrypt", "--password-stdin"}, line).exitCode, 0);
        QVERIFY(asText(items("s.tqb", password.toUtf8())).contains("PIN 1234"));
        QCOMPARE(tqb({"passwd", "s.tqb"}, line + "other\n").exitCode, 0);
        QCOMPARE(tqb({"passwd", "s.tqb"}, "other\n" + line).exitCode, 0);
        QVERIFY(readFile("s.tqb").startsWith("TQBCRYPT"));
        QCOMPARE(tqb({"add", "s.tqb", "--title", "More", "--password-stdin"}, line + "added\n").exitCode, 0);
        QVERIFY(asText(items("s.tqb", password.toUtf8())).contains("added"));

        // Every refusal: a wrong password for the sealed file, the password
        // where the compatible cipher cannot take it.
        const QList<CRun> refused{tqb({"to-json", "s.tqb", "--password-stdin"}, password.toUtf8() + "x\n"),
                                  tqb({"passwd", "s.tqb", "--compatible"}, line + line),
                                  tqb({"new", "n.tqb", "--password-stdin"}, line),
                                  tqb({"from-json", "in.json", "c.tqb", "--password-stdin"}, line)};
        for (const CRun &run : refused) {
            QCOMPARE(run.exitCode, 1);
            QVERIFY(!run.err.isEmpty());
            QVERIFY2(!run.err.contains(password), qPrintable(run.err));
        }
        QVERIFY(!QFile::exists(path("n.tqb")) && !QFile::exists(path("c.tqb")));
    }

    // Builds before UTF-8 sealed with the code page's bytes: such a file
    // opens under that code page, and its next save needs no code page.
    void fileSealedWithCodePageBytesStillOpens()
    {
        const QString password = QStringLiteral("\u043f\u0430\u0440\u043e\u043b\u044c");
        writeFile("in.json", sampleJson());
        QCOMPARE(tqb({"from-json", "in.json", "plain.tqb"}).exitCode, 0);
        const std::unique_ptr<CEnvelopeKey> key =
            CEnvelopeKey::derive(*CCodePage(QStringLiteral("windows-1251")).fromUnicode(password), CEnvelope::Params{});
        QVERIFY(key);
        writeFile("old.tqb", key->seal(readFile("plain.tqb")));

        const QByteArray line = password.toUtf8() + '\n';
        QCOMPARE(toJson("old.tqb", password.toUtf8()).exitCode, 1);  // windows-1252 has no such letters
        const CRun opened = toJson("old.tqb", password.toUtf8(), QStringLiteral("windows-1251"));
        QVERIFY2(opened.exitCode == 0, qPrintable(opened.err));
        QVERIFY(opened.out.contains("PIN 1234"));
        QCOMPARE(tqb({"add", "old.tqb", "--title", "New", "--codepage", "windows-1251", "--password-stdin"},
                     line + "text\n")
                     .exitCode,
                 0);
        QVERIFY(asText(items("old.tqb", password.toUtf8())).contains("PIN 1234"));
    }

    // An emptied file gets the password given, as a missing one does.
    void addToEmptiedFileKeepsThePassword()
    {
        writeFile("empty.tqb", {});
        QCOMPARE(tqb({"add", "empty.tqb", "--title", "Secret", "--password-stdin"}, "pass-word\nhidden words\n").exitCode, 0);
        QVERIFY(tqb({"info", "empty.tqb"}).out.contains("password: yes\n"));
        QVERIFY(!readFile("empty.tqb").contains(stored("hidden")));
        QVERIFY(asText(items("empty.tqb", "pass-word")).contains("hidden words"));
        QCOMPARE(toJson("empty.tqb").exitCode, 1);
    }

    // Stronger protection leaves no copy in the weaker form: every backup
    // copy is sealed with the new key and still opens.
    void strongerProtectionSealsTheBackupCopies()
    {
        const QString folder = path("backups") + QLatin1Char('/');
        QVERIFY(QDir().mkpath(folder));
        {
            QSettings settings(settingsFile(), QSettings::IniFormat);
            settings.setValue(QStringLiteral("BackUp/BackUp"), 1);
            settings.setValue(QStringLiteral("BackUp/BackUpPath"), folder);
            settings.setValue(QStringLiteral("BackUp/BackUpNumber"), 3);
            settings.setValue(QStringLiteral("BackUp/BackUpPeriod"), 0);
        }
        writeFile("in.json", sampleJson());
        QCOMPARE(tqb({"from-json", "in.json", "d.tqb"}).exitCode, 0);
        QCOMPARE(tqb({"add", "d.tqb", "--title", "One"}, "first words\n").exitCode, 0);
        QCOMPARE(tqb({"passwd", "d.tqb", "--compatible"}, "\nlight\n").exitCode, 0);
        const CRun sealed = tqb({"passwd", "d.tqb", "--encrypt"}, "light\nstrong\n");
        QCOMPARE(sealed.exitCode, 0);
        QCOMPARE(sealed.err, QStringLiteral("tqb: The backup copies of this document were encrypted with the new password as well.\n"));

        const QStringList copies = QDir(folder).entryList(QDir::Files);
        QCOMPARE(copies, QStringList({"d.bk0", "d.bk1", "d.bk2"}));
        for (const QString &copy : copies) {
            const QByteArray bytes = fileBytes(folder + copy);
            QVERIFY2(bytes.startsWith("TQBCRYPT"), qPrintable(copy));
            QVERIFY(!bytes.contains("PIN") && !bytes.contains(stored("PIN")));
            QCOMPARE(tqb({"to-json", folder + copy}).exitCode, 1);
            QVERIFY(asText(items(folder + copy, "strong")).contains("PIN 1234"));
        }
        QVERIFY(asText(items(folder + "d.bk0", "strong")).contains("first words"));  // the compatible version
    }

    // A header asking for costly keys: tqb says nothing more while it
    // derives, and Ctrl+C ends it at once.
    void slowKeyIsInterruptible()
    {
        writeFile("in.json", sampleJson());
        QCOMPARE(tqb({"from-json", "in.json", "plain.tqb"}).exitCode, 0);
        QElapsedTimer deriving;
        deriving.start();
        const auto key = CEnvelopeKey::derive("slow-one", CEnvelope::Params{16, 65536});
        const qint64 deriveMs = deriving.elapsed();
        QVERIFY(key);
        writeFile("slow.tqb", key->seal(readFile("plain.tqb")));

        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TQB_SETTINGS_FILE"), settingsFile());
        process.setProcessEnvironment(env);
        process.start(testpaths::tqb(), {"to-json", path("slow.tqb"), "--password-stdin"});
        QVERIFY(process.waitForStarted());
        process.write("slow-one\n");
        process.closeWriteChannel();
        QTest::qWait(int(deriveMs / 4));
        QVERIFY(process.state() == QProcess::Running);
        QElapsedTimer sinceInterrupt;
        sinceInterrupt.start();
        ::kill(pid_t(process.processId()), SIGINT);
        QVERIFY(process.waitForFinished(10000));
        QVERIFY2(sinceInterrupt.elapsed() < deriveMs / 2, qPrintable(QString::number(deriveMs)));
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
        QVERIFY(process.readAllStandardOutput().isEmpty());
        QVERIFY(process.readAllStandardError().isEmpty());
    }

    void cutOrChangedFilesAreRefused()
    {
        writeFile("in.json", sampleJson());
        QCOMPARE(tqb({"from-json", "in.json", "s.tqb", "--encrypt", "--password-stdin"}, "strong-one\n").exitCode, 0);
        const QByteArray sealed = readFile("s.tqb");
        QByteArray changed = sealed;
        changed[sealed.size() / 2] = char(changed[sealed.size() / 2] ^ 0x20);
        writeFile("changed.tqb", changed);
        writeFile("cut.tqb", sealed.left(sealed.size() - 17));
        writeFile("header.tqb", sealed.left(40));
        for (const char *name : {"changed.tqb", "cut.tqb", "header.tqb"}) {
            const CRun run = tqb({"to-json", name, "--password-stdin"}, "strong-one\n");
            QCOMPARE(run.exitCode, 1);
            QCOMPARE(run.err, kRefused);
        }
        QCOMPARE(tqb({"info", "header.tqb"}).err, kRefused);
    }
};

QTEST_GUILESS_MAIN(TstTqbCrypto)
#include "tst_tqb_crypto.moc"
