// A save cut off at any moment loses nothing: tqb rewrites a large document
// (backup copies included) and is killed at random moments; the document
// and its copies are always the old or the new version, whole. The file
// being written has no name until it is complete; a kill in the instant
// between naming it and renaming it over the old one can leave it under its
// temporary name, as one more whole copy, and nothing else is ever left.

#include "TestPaths.h"
#include "DocFixture.h"
#include "TqbProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <memory>

namespace {

constexpr int kKills = 50;
constexpr int kItems = 20000;  // about 20 MB of file
constexpr quint32 kSeed = 20261212;
const QByteArray kFirst = "first-pw";
const QByteArray kSecond = "second-pw";

QByteArray words(QRandomGenerator &random, int length)
{
    static const char *const kWords[] = {"note", "garden", "meeting", "caf\xE9", "invoice", "river", "draft", "list"};
    QByteArray text;
    while (text.size() < length) {
        text += kWords[random.bounded(int(std::size(kWords)))];
        text += random.bounded(12) == 0 ? "\r\n" : " ";
    }
    text.truncate(length);
    return text;
}

}  // namespace

class TestTqbKill : public QObject
{
    Q_OBJECT

    CDocFixture m_fixture;
    QString m_docs;      // holds the document only
    QString m_copies;    // holds the backup copies only
    QString m_document;
    QString m_settingsFile;

    // tqb passwd on the document, from one password to the other.
    void start(QProcess &process, const QByteArray &from, const QByteArray &to)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TQB_SETTINGS_FILE"), m_settingsFile);
        process.setProcessEnvironment(env);
        process.start(testpaths::tqb(), {QStringLiteral("passwd"), m_document});
        QVERIFY(process.waitForStarted(30000));
        process.write(from + '\n' + to + '\n');
        process.closeWriteChannel();
        QVERIFY(process.waitForBytesWritten(30000) || process.bytesToWrite() == 0);
    }

    void runToTheEnd(const QByteArray &from, const QByteArray &to)
    {
        QProcess process;
        start(process, from, to);
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir(m_fixture.dir.path()).mkpath(QStringLiteral("docs")));
        QVERIFY(QDir(m_fixture.dir.path()).mkpath(QStringLiteral("copies")));
        m_docs = m_fixture.path(QStringLiteral("docs"));
        m_copies = m_fixture.path(QStringLiteral("copies"));
        m_document = m_docs + QStringLiteral("/notes.tqb");
        m_settingsFile = m_fixture.path(QStringLiteral("tqb.ini"));

        // Every save rotates two copies, so that kills land in the backup step too.
        QSettings store(m_settingsFile, QSettings::IniFormat);
        CSettings settings(store);
        CBackupSettings backup;
        backup.on = true;
        backup.folder = m_copies + QLatin1Char('/');
        backup.versions = 2;
        backup.periodDays = 0;
        backup.store(settings);
        store.sync();
    }

    void killedSaveLeavesOldOrNewWhole()
    {
        QRandomGenerator random(kSeed);
        CTorviQuillbookDoc &doc = *m_fixture.doc;
        for (int i = 0; i < kItems; ++i) {
            const quint32 parent = i % 10 == 0 ? CItemTables::kRootParent : quint32(i - i % 10) + 2;
            doc.appendToOrder(quint32(doc.appendItem(words(random, 20), words(random, 500), parent, CNoteInfo{})));
        }
        doc.setPassword(kFirst);
        QVERIFY(doc.saveDocument(m_document));
        const QByteArray first = tqbtest::fileBytes(m_document);
        QVERIFY(first.size() > 19 * 1000 * 1000);

        // Both versions, each written whole by tqb itself.
        QElapsedTimer timer;
        timer.start();
        runToTheEnd(kFirst, kSecond);
        const qint64 fullRun = timer.nsecsElapsed() / 1000;
        const QByteArray second = tqbtest::fileBytes(m_document);
        QVERIFY(second != first);
        runToTheEnd(kSecond, kFirst);
        QCOMPARE(tqbtest::fileBytes(m_document), first);  // so the versions simply alternate
        qInfo("%lld bytes; a whole run takes %lld ms; seed %u", qlonglong(first.size()), fullRun / 1000, kSeed);

        const QStringList copyNames{QStringLiteral("notes.bk0"), QStringLiteral("notes.bk1")};
        int cutShort = 0;
        int namedLeftovers = 0;
        for (int kill = 0; kill < kKills; ++kill) {
            const bool atFirst = tqbtest::fileBytes(m_document) == first;
            QProcess process;
            start(process, atFirst ? kFirst : kSecond, atFirst ? kSecond : kFirst);
            // Anywhere from start-up to a little past the end of a whole run.
            QThread::usleep(quint64(random.bounded(fullRun + fullRun / 5)));
            process.kill();
            QVERIFY(process.waitForFinished(30000));
            cutShort += process.exitStatus() == QProcess::CrashExit;

            const QByteArray now = tqbtest::fileBytes(m_document);
            QVERIFY2(now == first || now == second, qPrintable(QStringLiteral("kill %1: the document is neither "
                                                                              "version (%2 bytes)")
                                                                   .arg(kill)
                                                                   .arg(now.size())));
            for (const QString &name : copyNames) {
                const QString copy = m_copies + QLatin1Char('/') + name;
                if (QFile::exists(copy)) {
                    const QByteArray held = tqbtest::fileBytes(copy);
                    QVERIFY2(held == first || held == second,
                             qPrintable(QStringLiteral("kill %1: %2 is neither version").arg(kill).arg(name)));
                }
            }
            const auto checkLeftovers = [&](const QString &folder, const QStringList &names) {
                for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
                    // A killed writer leaves its lock (and may leave the helper
                    // file of a stale lock's removal); the next writer takes it over.
                    if (names.contains(name) || name.startsWith(QStringLiteral(".notes.tqb.lock")))
                        continue;
                    const QByteArray held = tqbtest::fileBytes(folder + QLatin1Char('/') + name);
                    const bool namedTemporary = std::any_of(names.begin(), names.end(), [&](const QString &n) {
                        return name.size() == n.size() + 7 && name.startsWith(n + QLatin1Char('.'));
                    });
                    if (!namedTemporary || (held != first && held != second))
                        return QStringLiteral("kill %1 left %2").arg(kill).arg(name);
                    ++namedLeftovers;
                    QFile::remove(folder + QLatin1Char('/') + name);  // each kill is judged on its own
                }
                return QString();
            };
            const QString docsLeft = checkLeftovers(m_docs, {QStringLiteral("notes.tqb")});
            QVERIFY2(docsLeft.isEmpty(), qPrintable(docsLeft));
            const QString copiesLeft = checkLeftovers(m_copies, copyNames);
            QVERIFY2(copiesLeft.isEmpty(), qPrintable(copiesLeft));
        }
        qInfo("%d of %d kills cut a run short; %d left a whole copy under a temporary name", cutShort, kKills,
              namedLeftovers);
        QVERIFY(cutShort > 0);  // the kills did land inside the runs
    }
};

QTEST_GUILESS_MAIN(TestTqbKill)
#include "tst_tqb_kill.moc"
