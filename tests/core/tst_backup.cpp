#include "doc/Backup.h"
#include "format/ArchiveWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

constexpr qint64 kDay = 86400;

// A small document whose one item is titled `label`.
QByteArray doc(const char *label)
{
    CDataNotes item;
    item.m_nParent = 1;
    for (const char *c = label; *c; ++c)
        item.m_wTitle.push_back(quint16(*c));
    item.m_nRemind = -1;
    return CArchiveWriter::write({item});
}

// Writes a file as if it had been saved at `when`.
void writeFile(const QString &path, const QByteArray &content, const QDateTime &when)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(f.write(content), content.size());
    QVERIFY(f.flush());  // a later flush would stamp the file again
    QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
}

QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QDateTime lastWrite(const QString &path)
{
    return QFileInfo(path).lastModified();
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void names();
    void threeSavesOnThreeDays();
    void oneVersionRenewedOncePerPeriod();
    void dueAfterWholeDays_data();
    void dueAfterWholeDays();
    void firstSaveToNewPathLeavesTheSeries();
    void missingFolderOrBackupsOffChangeNothing();
    void damagedFileIsKeptAsideAndTheCopiesStay_data();
    void damagedFileIsKeptAsideAndTheCopiesStay();
    void listFolderSkipsFolders();
    void formatDate();
    void restoredPath_data();
    void restoredPath();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_doc;
    CBackupSettings m_settings;
    QDateTime m_t0;

    QString copy(int version) const { return CBackupStep::copyName(m_settings, m_doc, version); }
    // One save at `when`: the backup step, then the new content written.
    void save(const QByteArray &content, const QDateTime &when)
    {
        CBackupStep::run(m_doc, m_settings, when);
        writeFile(m_doc, content, when);
    }
};

void TestBackup::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkdir("bak"));
    m_doc = m_dir->filePath("notes.tqb");
    m_settings = CBackupSettings{};
    m_settings.on = true;
    m_settings.folder = m_dir->filePath("bak") + QLatin1Char('/');
    m_t0 = QDateTime(QDate(2026, 3, 1), QTime(10, 0));
}

void TestBackup::names()
{
    QCOMPARE(CBackupStep::baseName("/data/notes.tqb"), QString("notes."));
    QCOMPARE(CBackupStep::baseName("notes.tqb"), QString("notes."));
    QCOMPARE(CBackupStep::baseName("/data/ab"), QString());
    CBackupSettings s;
    s.folder = "/b/";
    QCOMPARE(CBackupStep::copyName(s, "/data/notes.tqb", 0), QString("/b/notes.bk0"));
    QCOMPARE(CBackupStep::copyName(s, "/data/notes.tqb", 5), QString("/b/notes.bk5"));
}

void TestBackup::threeSavesOnThreeDays()
{
    m_settings.versions = 3;
    writeFile(m_doc, doc("v1"), m_t0);
    save(doc("v2"), m_t0.addDays(1));
    save(doc("v3"), m_t0.addDays(2));
    save(doc("v4"), m_t0.addDays(3));

    QCOMPARE(contentOf(copy(0)), doc("v3"));
    QCOMPARE(contentOf(copy(1)), doc("v2"));
    QCOMPARE(contentOf(copy(2)), doc("v1"));
    QVERIFY(!QFile::exists(copy(3)));
    // Each copy carries the time its version was written, not the time of copying.
    QCOMPARE(lastWrite(copy(0)), m_t0.addDays(2));
    QCOMPARE(lastWrite(copy(1)), m_t0.addDays(1));
    QCOMPARE(lastWrite(copy(2)), m_t0);

    save(doc("v5"), m_t0.addDays(4));
    QCOMPARE(contentOf(copy(2)), doc("v2"));  // the oldest falls off
    QCOMPARE(contentOf(copy(0)), doc("v4"));
}

void TestBackup::oneVersionRenewedOncePerPeriod()
{
    writeFile(m_doc, doc("v1"), m_t0);
    save(doc("v2"), m_t0.addSecs(3600));  // no copy yet: made at once
    QCOMPARE(contentOf(copy(0)), doc("v1"));

    save(doc("v3"), m_t0.addSecs(2 * 3600));       // the copy is 2 hours old
    save(doc("v4"), m_t0.addSecs(kDay - 1));       // one second short of a day
    QCOMPARE(contentOf(copy(0)), doc("v1"));
    QCOMPARE(lastWrite(copy(0)), m_t0);

    save(doc("v5"), m_t0.addSecs(kDay));  // the version it holds is now a day old
    QCOMPARE(contentOf(copy(0)), doc("v4"));
    QCOMPARE(lastWrite(copy(0)), m_t0.addSecs(kDay - 1));
    QVERIFY(!QFile::exists(copy(1)));
    QCOMPARE(QDir(m_settings.folder).entryList(QDir::Files).size(), 1);  // no temporary files left
}

void TestBackup::dueAfterWholeDays_data()
{
    QTest::addColumn<qint64>("age");
    QTest::addColumn<int>("period");
    QTest::addColumn<bool>("due");

    QTest::newRow("a second short of a day") << kDay - 1 << 1 << false;
    QTest::newRow("exactly a day") << kDay << 1 << true;
    QTest::newRow("six days and 23 hours, weekly") << 7 * kDay - 3600 << 7 << false;
    QTest::newRow("a week, weekly") << 7 * kDay << 7 << true;
    QTest::newRow("period 0: every save") << qint64(0) << 0 << true;
    QTest::newRow("dated in the future") << -2 * kDay << 1 << false;
    QTest::newRow("odd period from the registry") << 5 * kDay << 5 << true;
}

void TestBackup::dueAfterWholeDays()
{
    QFETCH(qint64, age);
    QFETCH(int, period);
    QFETCH(bool, due);
    writeFile(copy(0), doc("old"), m_t0);
    QCOMPARE(CBackupStep::isDue(copy(0), period, m_t0.addSecs(age)), due);
    QVERIFY(CBackupStep::isDue(copy(1), period, m_t0.addSecs(age)));  // a missing copy is always due
}

// The series of that name (another document's, or one whose file is gone)
// loses nothing to a save that has no earlier version to add.
void TestBackup::firstSaveToNewPathLeavesTheSeries()
{
    m_settings.versions = 3;
    writeFile(copy(0), doc("old0"), m_t0);
    writeFile(copy(1), doc("old1"), m_t0.addDays(-1));
    writeFile(copy(2), doc("old2"), m_t0.addDays(-2));
    save(doc("new"), m_t0.addDays(5));

    QCOMPARE(contentOf(copy(2)), doc("old2"));
    QCOMPARE(contentOf(copy(1)), doc("old1"));
    QCOMPARE(contentOf(copy(0)), doc("old0"));
    QCOMPARE(contentOf(m_doc), doc("new"));
}

void TestBackup::missingFolderOrBackupsOffChangeNothing()
{
    writeFile(m_doc, doc("v1"), m_t0);
    m_settings.folder = m_dir->filePath("gone/");
    m_settings.versions = 3;
    save(doc("v2"), m_t0.addDays(1));
    QVERIFY(!QDir(m_dir->filePath("gone")).exists());
    QCOMPARE(contentOf(m_doc), doc("v2"));

    init();
    m_settings.on = false;
    writeFile(m_doc, doc("v1"), m_t0);
    save(doc("v2"), m_t0.addDays(1));
    QVERIFY(QDir(m_settings.folder).isEmpty());

    // A document that is there but cannot be read (here a folder) rotates nothing.
    init();
    m_settings.versions = 2;
    writeFile(copy(0), doc("old0"), m_t0);
    QVERIFY(QDir().mkpath(m_doc));
    QCOMPARE(CBackupStep::run(m_doc, m_settings, m_t0.addDays(5)).failedCopy, copy(0));
    QCOMPARE(contentOf(copy(0)), doc("old0"));
    QVERIFY(!QFile::exists(copy(1)));
}

void TestBackup::damagedFileIsKeptAsideAndTheCopiesStay_data()
{
    QTest::addColumn<QByteArray>("onDisk");
    QTest::addColumn<bool>("empty");
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("cut short") << doc("v3").left(20) << false;
    QTest::newRow("not a document") << QByteArray("plain text from another program\n") << false;
}

// A file that another program emptied or damaged must not push the good
// versions out of the series; it is kept where the user can find it.
void TestBackup::damagedFileIsKeptAsideAndTheCopiesStay()
{
    QFETCH(QByteArray, onDisk);
    QFETCH(bool, empty);
    m_settings.versions = 2;
    writeFile(m_doc, doc("v1"), m_t0);
    save(doc("v2"), m_t0.addDays(1));
    writeFile(m_doc, onDisk, m_t0.addDays(2));

    const CBackupStep::Outcome first = CBackupStep::run(m_doc, m_settings, m_t0.addDays(3));
    QCOMPARE(contentOf(copy(0)), doc("v1"));
    QVERIFY(!QFile::exists(copy(1)));  // nothing shifted either
    QVERIFY(first.failedCopy.isEmpty());
    QCOMPARE(first.keptEmpty, empty);
    QCOMPARE(QFileInfo(first.keptAside).absolutePath(), QFileInfo(copy(0)).absolutePath());
    QCOMPARE(contentOf(first.keptAside), onDisk);
    QCOMPARE(lastWrite(first.keptAside), m_t0.addDays(2));
    const QString told = CBackupStep::keptAsideMessage(m_doc, first);
    QVERIFY2(told.startsWith(QDir::toNativeSeparators(m_doc)), qPrintable(told));
    QVERIFY2(told.endsWith(QDir::toNativeSeparators(first.keptAside) + QLatin1Char('.')), qPrintable(told));

    // Kept again in the same second: a name of its own, the first one stays.
    const CBackupStep::Outcome second = CBackupStep::run(m_doc, m_settings, m_t0.addDays(3));
    QVERIFY(second.keptAside != first.keptAside);
    QCOMPARE(contentOf(first.keptAside), onDisk);

    // Once a document is on disk again the series goes on as before.
    writeFile(m_doc, doc("v4"), m_t0.addDays(4));
    save(doc("v5"), m_t0.addDays(5));
    QCOMPARE(contentOf(copy(0)), doc("v4"));
    QCOMPARE(contentOf(copy(1)), doc("v1"));
    QStringList expected{QFileInfo(copy(0)).fileName(), QFileInfo(copy(1)).fileName(),
                         QFileInfo(first.keptAside).fileName(), QFileInfo(second.keptAside).fileName()};
    QStringList files = QDir(m_settings.folder).entryList(QDir::Files);
    expected.sort();
    files.sort();
    QCOMPARE(files, expected);  // no temporary files either
}

void TestBackup::listFolderSkipsFolders()
{
    const QString folder = m_settings.folder;
    writeFile(folder + "notes.bk0", "a", m_t0);
    writeFile(folder + "other.txt", "b", m_t0.addDays(-40));
    writeFile(folder + "notes.bk1", "c", m_t0.addSecs(-60));
    writeFile(folder + ".hidden", "d", m_t0);
    QVERIFY(QDir(folder).mkdir("sub"));

    // Newest first; equal times by name.
    const QList<CBackupEntry> entries = CBackupRestore::listFolder(folder);
    QStringList names;
    for (const CBackupEntry &entry : entries)
        names.append(entry.fileName);
    QCOMPARE(names, (QStringList{".hidden", "notes.bk0", "notes.bk1", "other.txt"}));
    QCOMPARE(entries[1].lastWrite, m_t0);
    QCOMPARE(entries[3].lastWrite, m_t0.addDays(-40));

    QVERIFY(CBackupRestore::listFolder(m_dir->filePath("gone")).isEmpty());
}

void TestBackup::formatDate()
{
    QCOMPARE(CBackupRestore::formatDate(QDateTime(QDate(2026, 3, 5), QTime(23, 59)), QLocale::c()),
             QString("March 05 2026  23:59"));
    QCOMPARE(CBackupRestore::formatDate(QDateTime(QDate(1999, 12, 31), QTime(0, 0)), QLocale::c()),
             QString("December 31 1999  00:00"));
}

void TestBackup::restoredPath_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");

    QTest::newRow("backup copy") << "notes.bk0" << "notes.tqb";
    QTest::newRow("cut at the last dot") << "my.notes.bk2" << "my.notes.tqb";
    QTest::newRow("dot first") << ".hidden" << "Restore.tqb";
    QTest::newRow("no dot") << "noext" << "Restore.tqb";
    QTest::newRow("dot last") << "notes." << "notes.tqb";
    QTest::newRow("name taken twice") << "taken.bk0" << "taken (3).tqb";
}

void TestBackup::restoredPath()
{
    QFETCH(QString, title);
    QFETCH(QString, name);
    const QString folder = m_dir->filePath("restored");
    QVERIFY(QDir().mkpath(folder));
    writeFile(folder + "/taken.tqb", "a", m_t0);
    writeFile(folder + "/taken (2).tqb", "b", m_t0);
    QCOMPARE(CBackupRestore::restoredPath(title, folder + "/"), QDir(folder).absoluteFilePath(name));
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
