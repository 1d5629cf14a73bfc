// Several writers of one document, and saves that fail on a full disk, all
// as processes: no note reported as saved goes missing, a writer that has to
// wait says who it waits for, and a failed save leaves the backup copies as
// they were.

#include "TestPaths.h"
#include "TqbProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QSysInfo>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif

#include <memory>

#ifdef Q_OS_UNIX
namespace {
int fileMode(const QString &name)
{
    struct stat info;
    return ::stat(QFile::encodeName(name).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}
}  // namespace
#endif

using namespace tqbtest;

class TstTqbWriters : public QObject, private tqbtest::CTqbFixture
{
    Q_OBJECT

private:
    // A tqb started with its standard input left open.
    std::unique_ptr<QProcess> startTqb(const QStringList &args) const
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TQB_SETTINGS_FILE"), settingsFile());
        process->setProcessEnvironment(env);
        process->setWorkingDirectory(m_dir->path());
        process->start(testpaths::tqb(), args);
        return process;
    }

private slots:
    void init() { QVERIFY(newFolder()); }

    // Two scripts adding notes to one document at the same time: every add
    // that said it was done is in the file.
    // The second writer names the same file, or reaches it through a
    // symbolic link: either way the two meet at one lock.
    void twoAddLoopsLoseNothing_data()
    {
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("same name") << false;
        QTest::newRow("one through a symbolic link") << true;
    }
    void twoAddLoopsLoseNothing()
    {
        QFETCH(bool, throughLink);
        const QString doc = path(QStringLiteral("shared.tqb"));
        QCOMPARE(tqb({QStringLiteral("new"), doc}).exitCode, 0);
        const QString other = throughLink ? path(QStringLiteral("link.tqb")) : doc;
        if (throughLink)
            QVERIFY(QFile::link(QStringLiteral("shared.tqb"), other));
        constexpr int kAdds = 25;
        const auto loop = [&](const QString &tag, const QString &target) {
            auto shell = std::make_unique<QProcess>();
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("TQB_SETTINGS_FILE"), settingsFile());
            shell->setProcessEnvironment(env);
            const QString script = QStringLiteral("i=1; while [ $i -le %1 ]; do echo %2$i | \"$0\" add \"$1\" >/dev/null "
                                                  "|| echo failed %2$i; i=$((i+1)); done")
                                       .arg(kAdds)
                                       .arg(tag);
            shell->start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script, testpaths::tqb(), target});
            return shell;
        };
        auto a = loop(QStringLiteral("a"), doc);
        auto b = loop(QStringLiteral("b"), other);
        QVERIFY(a->waitForFinished(120000));
        QVERIFY(b->waitForFinished(120000));
        QCOMPARE(a->readAllStandardOutput() + b->readAllStandardOutput(), QByteArray());
        QCOMPARE(a->readAllStandardError() + b->readAllStandardError(), QByteArray());

        QStringList expected;
        for (int i = 1; i <= kAdds; ++i)
            expected << QStringLiteral("a%1").arg(i) << QStringLiteral("b%1").arg(i);
        QStringList got = titles(doc);
        got.sort();
        expected.sort();
        QCOMPARE(got, expected);
        QVERIFY(!QFile::exists(path(QStringLiteral(".shared.tqb.lock"))));
    }

    // A writer holding the lock (an import still reading its standard
    // input): another waits as long as told, then says who holds it; a
    // writer that waits long enough applies its change to the version the
    // first one saved; a holder that died leaves a lock that is taken over.
    void aWriterWaitsForTheLockAndTakesOverADeadOne()
    {
        const QString doc = path(QStringLiteral("held.tqb"));
        QCOMPARE(tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("first")}, "x").exitCode, 0);
        const QByteArray before = fileBytes(doc, "<missing>");

        auto holder = startTqb({QStringLiteral("import-text"), doc, QStringLiteral("/dev/stdin")});
        QVERIFY(holder->waitForStarted());
        QTRY_VERIFY(QFile::exists(path(QStringLiteral(".held.tqb.lock"))));
        CRun waiting = tqb({QStringLiteral("add"), doc, QStringLiteral("--wait"), QStringLiteral("1"),
                            QStringLiteral("--title"), QStringLiteral("refused")},
                           "y");
        QCOMPARE(waiting.exitCode, 1);
        QCOMPARE(waiting.err.count(QLatin1Char('\n')), 1);
        QVERIFY2(waiting.err.contains(QStringLiteral("is being written by tqb (process %1 ").arg(holder->processId())),
                 qPrintable(waiting.err));
        QCOMPARE(fileBytes(doc, "<missing>"), before);

        // Waits, and adds to what the import saved.
        auto patient = startTqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("patient")});
        QVERIFY(patient->waitForStarted());
        patient->write("z");
        patient->closeWriteChannel();
        QTest::qWait(300);
        holder->write("Imported note\n\nits text\n");
        holder->closeWriteChannel();
        QVERIFY(holder->waitForFinished(30000));
        QCOMPARE(holder->exitCode(), 0);
        QVERIFY(patient->waitForFinished(30000));
        QCOMPARE(patient->exitCode(), 0);
        QStringList got = titles(doc);
        QVERIFY2(got.contains(QStringLiteral("first")) && got.contains(QStringLiteral("stdin"))
                     && got.contains(QStringLiteral("Imported note")) && got.contains(QStringLiteral("patient")),
                 qPrintable(got.join(QLatin1Char('|'))));

        // The holder killed: its lock is stale and the next writer goes on.
        auto dying = startTqb({QStringLiteral("import-text"), doc, QStringLiteral("/dev/stdin")});
        QVERIFY(dying->waitForStarted());
        QTRY_VERIFY(QFile::exists(path(QStringLiteral(".held.tqb.lock"))));
        dying->kill();
        QVERIFY(dying->waitForFinished());
        QVERIFY(QFile::exists(path(QStringLiteral(".held.tqb.lock"))));
        const CRun after = tqb({QStringLiteral("add"), doc, QStringLiteral("--wait"), QStringLiteral("1"),
                                QStringLiteral("--title"), QStringLiteral("after")},
                               "w");
        QCOMPARE(after.exitCode, 0);
        QVERIFY(titles(doc).contains(QStringLiteral("after")));
    }

#ifdef Q_OS_UNIX
    // A document with a second hard link: the add that splits them warns on
    // one line; the other name keeps the notes it had, and the next add is quiet.
    void aSaveThatSplitsHardLinksWarns()
    {
        const QString doc = path(QStringLiteral("linked.tqb"));
        const QString other = path(QStringLiteral("other.tqb"));
        QCOMPARE(tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("one")}, "1").exitCode, 0);
        QCOMPARE(::link(QFile::encodeName(doc).constData(), QFile::encodeName(other).constData()), 0);
        const CRun split = tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("two")}, "2");
        QCOMPARE(split.exitCode, 0);
        QCOMPARE(split.err, QStringLiteral("tqb: %1 had other names (hard links) for the same file. The save wrote a new file under this "
                                           "name only: the other names still show the version before this save.\n")
                                .arg(doc));
        QCOMPARE(titles(other), QStringList{QStringLiteral("one")});
        const CRun quiet = tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("three")}, "3");
        QCOMPARE(quiet.exitCode, 0);
        QCOMPARE(quiet.err, QString());
    }
#endif

#ifdef Q_OS_UNIX
    // What a power cut or a crash leaves at the lock's name holds no lock:
    // the next add takes it over at once and saves; a link's target is left alone.
    void brokenLockFilesAreTakenOver_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char *kind : {"empty", "garbage", "dead writer", "folder", "dangling link", "link to a file"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void brokenLockFilesAreTakenOver()
    {
        QFETCH(QString, kind);
        const QString doc = path(QStringLiteral("notes.tqb"));
        const QString lock = path(QStringLiteral(".notes.tqb.lock"));
        const QString target = path(QStringLiteral("elsewhere.txt"));
        QVERIFY(writeFile(QStringLiteral("elsewhere.txt"), "not a lock"));
        QCOMPARE(tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("before")}, "1").exitCode, 0);
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(lock));
        else if (kind == QLatin1String("dangling link"))
            QVERIFY(QFile::link(path(QStringLiteral("gone")), lock));
        else if (kind == QLatin1String("link to a file"))
            QVERIFY(QFile::link(target, lock));
        else
            QVERIFY(writeFile(QStringLiteral(".notes.tqb.lock"), kind == QLatin1String("empty") ? QByteArray()
                                                                 : kind == QLatin1String("garbage") ? QByteArray("\x01\xff garbled")
                                                                                                    : QByteArray("999999\ntqb\n") + QSysInfo::machineHostName().toUtf8() + "\n"));
        QElapsedTimer took;
        took.start();
        const CRun add = tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("after")}, "2");
        QCOMPARE(add.err, QString());
        QCOMPARE(add.exitCode, 0);
        QVERIFY(took.elapsed() < 5000);
        QStringList got = titles(doc);
        got.sort();
        QCOMPARE(got, QStringList({QStringLiteral("after"), QStringLiteral("before")}));
        QVERIFY(!QFileInfo::exists(lock) && !QFileInfo(lock).isSymLink());
        QCOMPARE(readFile(QStringLiteral("elsewhere.txt")), QByteArray("not a lock"));
    }

    // In a shared folder (sticky: only its owner may remove a file), another
    // user's writer at work is named with that user; once it died, its lock
    // file is named as left behind by that user. Nothing is saved either time.
    void aLockOfAnotherUserIsNamedAsTheirs()
    {
        if (::geteuid() != 0)
            QSKIP("acting as two other users needs root");
        const QString shared = path(QStringLiteral("shared"));
        QVERIFY(QDir().mkdir(shared));
        QCOMPARE(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
        QCOMPARE(::chmod(QFile::encodeName(m_dir->path()).constData(), 0755), 0);
        const QString doc = shared + QStringLiteral("/notes.tqb");
        const QString lock = shared + QStringLiteral("/.notes.tqb.lock");
        QCOMPARE(tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("mine")}, "1").exitCode, 0);
        QCOMPARE(::chown(QFile::encodeName(doc).constData(), 4322, 4322), 0);
        QVERIFY(QFileInfo::exists(settingsFile()) || writeFile(QStringLiteral("settings.ini"), {}));
        QCOMPARE(::chmod(QFile::encodeName(settingsFile()).constData(), 0644), 0);
        const QByteArray before = fileBytes(doc);
        const auto as = [&](int user, const QStringList &args) {
            auto process = std::make_unique<QProcess>();
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("TQB_SETTINGS_FILE"), settingsFile());
            process->setProcessEnvironment(env);
            process->setWorkingDirectory(shared);
            process->start(QStringLiteral("setpriv"), QStringList{QStringLiteral("--reuid=%1").arg(user), QStringLiteral("--regid=%1").arg(user),
                                                                  QStringLiteral("--clear-groups"), testpaths::tqb()} + args);
            return process;
        };
        auto holder = as(4321, {QStringLiteral("import-text"), doc, QStringLiteral("/dev/stdin")});
        QVERIFY(holder->waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(lock) || holder->state() == QProcess::NotRunning, 10000);
        if (holder->state() == QProcess::NotRunning)
            QSKIP("the test programs cannot be run as another user here");
        for (const bool live : {true, false}) {
            auto writer = as(4322, {QStringLiteral("add"), doc, QStringLiteral("--wait"), QStringLiteral("0"), QStringLiteral("--title"), QStringLiteral("theirs")});
            writer->closeWriteChannel();
            QVERIFY(writer->waitForFinished(30000));
            QCOMPARE(writer->exitCode(), 1);
            const QString expected = live ? QStringLiteral("tqb: %1 is being written by tqb (process %2 of user 4321 on %3). Nothing was saved; "
                                                           "try again when it is done.\n").arg(doc).arg(holder->processId()).arg(QSysInfo::machineHostName())
                                          : QStringLiteral("tqb: %1 cannot be saved: its lock file %2 was left behind by user 4321 and is no longer in use, "
                                                           "but it may not be removed by you. Ask 4321 or an administrator to delete it. Nothing was saved.\n").arg(doc, lock);
            QCOMPARE(QString::fromUtf8(writer->readAllStandardError()), expected);
            QCOMPARE(fileBytes(doc), before);
            if (live) {
                holder->kill();
                QVERIFY(holder->waitForFinished());
            }
        }
    }
#endif

    // A save to a read-only place or into a missing folder says which it is.
    void readOnlyAndMissingPlacesAreNamed()
    {
        const CRun missing = tqb({QStringLiteral("add"), path(QStringLiteral("gone/x.tqb"))}, "note");
        QCOMPARE(missing.exitCode, 1);
        QCOMPARE(missing.err, QStringLiteral("tqb: Unable to write to %1, its folder does not exist.\n")
                                  .arg(path(QStringLiteral("gone/x.tqb"))));
#ifdef Q_OS_UNIX
        // Root writes through permission bits: only a read-only mount is read-only for everyone.
        const QString disk = path(QStringLiteral("ro"));
        QVERIFY(QDir().mkpath(disk));
        if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                                        QStringLiteral("-o"), QStringLiteral("size=64k"),
                                                        QStringLiteral("tmpfs"), disk})
            != 0)
            QSKIP("no tmpfs can be mounted here");
        const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {disk}); });
        const QString doc = disk + QStringLiteral("/notes.tqb");
        QCOMPARE(tqb({QStringLiteral("new"), doc}).exitCode, 0);
        QCOMPARE(QProcess::execute(QStringLiteral("mount"),
                                   {QStringLiteral("-o"), QStringLiteral("remount,ro"), disk}),
                 0);
        const CRun readOnly = tqb({QStringLiteral("add"), doc}, "note");
        QCOMPARE(readOnly.exitCode, 1);
        QCOMPARE(readOnly.err,
                 QStringLiteral("tqb: Unable to write to %1, it is read-only or opened by someone else.\n").arg(doc));
#endif
    }

    // A private document stays private through saves, and so do its backup
    // copies; root saving someone's document leaves it theirs, with its mode.
    void savesKeepTheModeAndOwnerOfTheDocument()
    {
#ifdef Q_OS_UNIX
        const QString doc = path(QStringLiteral("private.tqb"));
        const QString folder = path(QStringLiteral("bak/"));
        QVERIFY(QDir().mkpath(folder));
        {
            QSettings settings(settingsFile(), QSettings::IniFormat);
            settings.setValue(QStringLiteral("BackUp/BackUp"), 1);
            settings.setValue(QStringLiteral("BackUp/BackUpPath"), folder);
            settings.setValue(QStringLiteral("BackUp/BackUpNumber"), 2);
            settings.setValue(QStringLiteral("BackUp/BackUpPeriod"), 0);
        }
        const QString bk0 = folder + QStringLiteral("private.bk0");
        const QString bk1 = folder + QStringLiteral("private.bk1");
        for (const char *title : {"v1", "v2"})
            QCOMPARE(tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QString::fromLatin1(title)}, "1").exitCode, 0);
        QCOMPARE(fileMode(bk0), 0644);  // a copy from before the document was made private
        QVERIFY(QFile::setPermissions(doc, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QCOMPARE(tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("v3")}, "1").exitCode, 0);
        QCOMPARE(fileMode(doc), 0600);
        QCOMPARE(fileMode(bk0), 0600);
        QCOMPARE(fileMode(bk1), 0600);  // moved up from the older, readable bk0
        QCOMPARE(titles(doc), QStringList({QStringLiteral("v1"), QStringLiteral("v2"), QStringLiteral("v3")}));

        if (::geteuid() != 0)
            QSKIP("giving a file to another user needs root");
        QCOMPARE(::chown(QFile::encodeName(doc).constData(), 4321, 4322), 0);
        QVERIFY(QFile::setPermissions(doc, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        QCOMPARE(tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("v4")}, "1").exitCode, 0);
        struct stat info;
        QCOMPARE(::stat(QFile::encodeName(doc).constData(), &info), 0);
        QCOMPARE(int(info.st_uid), 4321);
        QCOMPARE(int(info.st_gid), 4322);
        QCOMPARE(fileMode(doc), 0440);
        QCOMPARE(::stat(QFile::encodeName(bk0).constData(), &info), 0);
        QCOMPARE(int(info.st_uid), 4321);
        QCOMPARE(fileMode(bk0), 0440);
        QCOMPARE(titles(doc).last(), QStringLiteral("v4"));
#endif
    }

    // Exports and a Save As of a private document come out private; of an
    // open one, as open as ever.
    void newFilesMadeFromADocumentAreNoMoreOpenThanIt()
    {
#ifdef Q_OS_UNIX
        const mode_t oldMask = ::umask(022);
        const auto restore = qScopeGuard([oldMask] { ::umask(oldMask); });
        const QString doc = path(QStringLiteral("mine.tqb"));
        QCOMPARE(tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("Private")}, "body").exitCode, 0);
        QCOMPARE(tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("child"), QStringLiteral("--under"), QStringLiteral("0")}, "x").exitCode, 0);
        for (const int docMode : {0600, 0640, 0644}) {
            QCOMPARE(::chmod(QFile::encodeName(doc).constData(), mode_t(docMode)), 0);
            const QString tag = QString::number(docMode, 8);
            const QString text = path(QStringLiteral("out%1.txt").arg(tag));
            const QString html = path(QStringLiteral("out%1.html").arg(tag));
            const QString md = path(QStringLiteral("md%1").arg(tag));
            QCOMPARE(tqb({QStringLiteral("export-text"), doc, text}).exitCode, 0);
            QCOMPARE(tqb({QStringLiteral("export-html"), doc, html}).exitCode, 0);
            QCOMPARE(tqb({QStringLiteral("export-md"), doc, md}).exitCode, 0);
            QCOMPARE(fileMode(text), docMode);
            QCOMPARE(fileMode(html), docMode);
            QCOMPARE(fileMode(md), docMode | ((docMode & 0444) >> 2));  // readable folders are searchable
            QCOMPARE(fileMode(md + QStringLiteral("/Private.md")), docMode);
            QCOMPARE(fileMode(md + QStringLiteral("/Private")), docMode | ((docMode & 0444) >> 2));
        }
#endif
    }

    // A list that lets one more user read the file (its mask shows as the
    // group bits) stays on the file through a save; dropped, the group bits
    // would open it to the whole group.
    void savesKeepTheAccessList()
    {
#ifdef Q_OS_UNIX
        QVERIFY(QDir().mkpath(path(QStringLiteral("acl"))));
        const QString doc = path(QStringLiteral("acl/shared.tqb"));
        QCOMPARE(tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("v1")}, "1").exitCode, 0);
        QVERIFY(QFile::setPermissions(doc, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        // owner rw, user 4321 rw, group none, mask rw, others none
        const quint32 none = 0xFFFFFFFFu;
        const quint32 entries[][2] = {{1 | 6 << 16, none}, {2 | 6 << 16, 4321}, {4, none}, {0x10 | 6 << 16, none}, {0x20, none}};
        QByteArray list("\x02\x00\x00\x00", 4);
        for (const auto &entry : entries)
            list.append(reinterpret_cast<const char *>(entry), sizeof entry);
        const QByteArray name = QFile::encodeName(doc);
        const char *key = "system.posix_acl_access";
        if (::setxattr(name.constData(), key, list.constData(), size_t(list.size()), 0) != 0)
            QSKIP("this file system keeps no access lists");
        const auto listOf = [&] {
            QByteArray stored(256, '\0');
            const ssize_t size = ::getxattr(name.constData(), key, stored.data(), size_t(stored.size()));
            return stored.left(size < 0 ? 0 : size);
        };
        const QByteArray before = listOf();
        QVERIFY(!before.isEmpty());
        QCOMPARE(tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("v2")}, "1").exitCode, 0);
        QCOMPARE(listOf(), before);
        // A list the folder would hand down to a new file is not one the document had.
        QCOMPARE(::removexattr(name.constData(), key), 0);
        QVERIFY(QFile::setPermissions(doc, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        const QByteArray folder = QFile::encodeName(QFileInfo(doc).absolutePath());
        QCOMPARE(::setxattr(folder.constData(), "system.posix_acl_default", list.constData(), size_t(list.size()), 0), 0);
        QCOMPARE(tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("v3")}, "1").exitCode, 0);
        QVERIFY(listOf().isEmpty());
        QCOMPARE(fileMode(doc), 0600);
        QCOMPARE(titles(doc).size(), 3);

        // Backups on a file system that keeps no lists (ramfs) still come:
        // the group bits (the mask, r) become the owning group's own (none).
        if (::geteuid() != 0)
            QSKIP("mounting a ramfs needs root");
        const QString ram = path(QStringLiteral("ram"));
        QVERIFY(QDir().mkpath(ram));
        if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("ramfs"), QStringLiteral("ramfs"), ram}) != 0)
            QSKIP("no ramfs can be mounted here");
        const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {ram}); });
        {
            QSettings settings(settingsFile(), QSettings::IniFormat);
            settings.setValue(QStringLiteral("BackUp/BackUp"), 1);
            settings.setValue(QStringLiteral("BackUp/BackUpPath"), ram + QLatin1Char('/'));
            settings.setValue(QStringLiteral("BackUp/BackUpNumber"), 2);
            settings.setValue(QStringLiteral("BackUp/BackUpPeriod"), 0);
        }
        QCOMPARE(tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("v4")}, "1").exitCode, 0);
        QCOMPARE(fileMode(ram + QStringLiteral("/shared.bk0")), 0600);
        list[4 + 8 + 2] = 4;  // the named user may read only: mask r
        list[4 + 24 + 2] = 4;
        QCOMPARE(::setxattr(name.constData(), key, list.constData(), size_t(list.size()), 0), 0);
        QCOMPARE(fileMode(doc), 0640);
        const QByteArray narrowed = listOf();
        const CRun saved = tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("v5")}, "1");
        QCOMPARE(saved.exitCode, 0);
        QCOMPARE(saved.err, QString());
        QCOMPARE(fileMode(ram + QStringLiteral("/shared.bk0")), 0600);
        QCOMPARE(fileMode(ram + QStringLiteral("/shared.bk1")), 0600);
        QCOMPARE(titles(ram + QStringLiteral("/shared.bk0")).size(), 4);
        QCOMPARE(listOf(), narrowed);
#endif
    }

    // Saves that fail for a full disk, three times, with backups on: the
    // document and every backup copy stay as they were.
    void failedSavesOnAFullDiskLeaveTheBackups()
    {
#ifdef Q_OS_UNIX
        if (::geteuid() != 0)
            QSKIP("mounting a small tmpfs needs root");
        const QString disk = path(QStringLiteral("disk"));
        QVERIFY(QDir().mkpath(disk));
        QProcess mount;
        mount.start(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                              QStringLiteral("size=512k"), QStringLiteral("tmpfs"), disk});
        if (!mount.waitForFinished(10000) || mount.exitStatus() != QProcess::NormalExit || mount.exitCode() != 0)
            QSKIP(qPrintable(QStringLiteral("no tmpfs can be mounted here: %1")
                                 .arg(QString::fromLocal8Bit(mount.readAllStandardError()).trimmed())));
        const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {disk}); });

        const QString doc = disk + QStringLiteral("/notes.tqb");
        const QString folder = disk + QStringLiteral("/bak/");
        QVERIFY(QDir().mkpath(folder));
        {
            QSettings settings(settingsFile(), QSettings::IniFormat);
            settings.setValue(QStringLiteral("BackUp/BackUp"), 1);
            settings.setValue(QStringLiteral("BackUp/BackUpPath"), folder);
            settings.setValue(QStringLiteral("BackUp/BackUpNumber"), 3);
            settings.setValue(QStringLiteral("BackUp/BackUpPeriod"), 1);
        }
        // Three saves on three days make the series bk0..bk2.
        QCOMPARE(tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("v1")}, "1").exitCode, 0);
        for (int version = 2; version <= 4; ++version) {
            for (const QString &name : QDir(folder).entryList(QDir::Files)) {
                QFile copy(folder + name);
                QVERIFY(copy.open(QIODevice::ReadWrite));
                QVERIFY(copy.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
            }
            QCOMPARE(tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("v%1").arg(version)},
                         "1")
                         .exitCode,
                     0);
        }
        for (int n = 0; n < 3; ++n) {
            QFile copy(folder + QStringLiteral("notes.bk%1").arg(n));
            QVERIFY(copy.open(QIODevice::ReadWrite));
            QVERIFY(copy.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
        }
        const QStringList names{QStringLiteral("notes.tqb"), QStringLiteral("bak/notes.bk0"),
                                QStringLiteral("bak/notes.bk1"), QStringLiteral("bak/notes.bk2")};
        QList<QByteArray> before;
        for (const QString &name : names)
            before << fileBytes(disk + QLatin1Char('/') + name, "<missing>");
        QCOMPARE(before.size(), 4);
        QVERIFY(before[1] != before[2] && before[2] != before[3]);

        // A document whose export is larger than the room left below, and an earlier export.
        const QString wide = disk + QStringLiteral("/wide.tqb");
        const QString exported = disk + QStringLiteral("/notes.txt");
        QCOMPARE(tqb({QStringLiteral("add"), wide, QStringLiteral("--title"), QStringLiteral("wide")},
                     QByteArray(100 * 1024, 'w'))
                     .exitCode,
                 0);
        {
            QFile old(exported);
            QVERIFY(old.open(QIODevice::WriteOnly));
            QCOMPARE(old.write("the earlier export\n"), qint64(19));
        }

        // Room left for the small copies, none for a note of 400 KB.
        QFile filler(disk + QStringLiteral("/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const qint64 room = QStorageInfo(disk).bytesAvailable() - 64 * 1024;
        QVERIFY(room > 0);
        QCOMPARE(filler.write(QByteArray(room, 'f')), room);
        filler.close();
        for (int attempt = 0; attempt < 3; ++attempt) {
            const CRun full = tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("big")},
                                  QByteArray(400 * 1024, 'b'));
            QCOMPARE(full.exitCode, 1);
            for (qsizetype i = 0; i < names.size(); ++i)
                QVERIFY2(fileBytes(disk + QLatin1Char('/') + names[i], "<missing>") == before[i], qPrintable(names[i]));
            QCOMPARE(full.err, QStringLiteral("tqb: Destination disk drive is full.\n"));
        }
        // An export that does not fit: an earlier export of that name stays, and no part of the
        // new one is left on the disk.
        const QStringList onDisk = QDir(disk).entryList(QDir::Files);
        QCOMPARE(tqb({QStringLiteral("export-text"), wide, exported}).exitCode, 1);
        QCOMPARE(fileBytes(exported, "<missing>"), QByteArray("the earlier export\n"));
        QCOMPARE(QDir(disk).entryList(QDir::Files), onDisk);

        // No room at all: even the temporary file cannot be made, and that is a full disk, not a
        // read-only file.
        QVERIFY(filler.open(QIODevice::Append));
        while (filler.write(QByteArray(4096, 'f')) == 4096 && filler.flush()) {
        }
        filler.close();
        const CRun none = tqb({QStringLiteral("add"), doc, QStringLiteral("--title"), QStringLiteral("tiny")}, "t");
        QCOMPARE(none.exitCode, 1);
        QCOMPARE(none.err, QStringLiteral("tqb: Destination disk drive is full.\n"));
        QVERIFY(fileBytes(doc, "<missing>") == before[0]);
        // A small export, all of it in the write buffer until the end, on the full disk.
        const QStringList full = QDir(disk).entryList(QDir::Files);
        QCOMPARE(tqb({QStringLiteral("export-text"), doc, exported}).exitCode, 1);
        QCOMPARE(fileBytes(exported, "<missing>"), QByteArray("the earlier export\n"));
        QCOMPARE(QDir(disk).entryList(QDir::Files), full);
#else
        QSKIP("mounting a small tmpfs is a Unix matter");
#endif
    }
};

QTEST_GUILESS_MAIN(TstTqbWriters)
#include "tst_tqb_writers.moc"
