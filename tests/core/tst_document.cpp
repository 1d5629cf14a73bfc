// The document's lifecycle: reading and writing files, the password step,
// automatic saving, Save As and the busy guard.
#include "DocFixture.h"
#include "doc/Backup.h"
#include "doc/DocumentFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

IPrompter::PasswordAnswer typed(const QByteArray &password, bool reload = false)
{
    return {true, password, reload};
}

// A device that takes `limit` bytes and then refuses, like a full disk.
class CFailingDevice : public QBuffer
{
public:
    explicit CFailingDevice(qint64 limit) : m_limit(limit) {}

protected:
    qint64 writeData(const char *data, qint64 len) override
    {
        const qint64 room = m_limit - size();
        if (room <= 0)
            return -1;
        return QBuffer::writeData(data, std::min(len, room));
    }

private:
    qint64 m_limit;
};

}  // namespace

class TestDocument : public QObject
{
    Q_OBJECT

private slots:
    // Save As of a private document makes a private file, not one the
    // whole machine may read.
    void saveAsOfAPrivateDocumentStaysPrivate()
    {
        CDocFixture f;
        f.addRootAndChild();
        QVERIFY(f.doc->saveDocument(f.path("private.tqb")));
        QVERIFY(QFile::setPermissions(f.path("private.tqb"), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        CDocFixture g;
        QVERIFY(g.doc->openDocument(f.path("private.tqb")));
        QVERIFY(g.doc->saveDocument(f.path("copy.tqb")));
        QCOMPARE(QFileInfo(f.path("copy.tqb")).permissions() & 0x00FF, QFileDevice::Permissions());  // nothing for group or others
        QCOMPARE(g.doc->titles(), (QList<QByteArray>{"Root", "Child"}));
    }

    void savedDocumentReadsBack()
    {
        CDocFixture f;
        f.addRootAndChild("first\r\nsecond", "\xE9t\xE9");
        CNoteInfo reminder = f.doc->info(1);
        reminder.m_nRemind = 0;
        reminder.m_times = {100000, 0, 0, 200000, 300000};
        f.doc->setInfo(1, reminder);
        f.doc->setPassword("pa55word");
        QVERIFY(f.doc->saveDocument(f.path("a.tqb")));

        CDocFixture g;
        g.prompter.passwordAnswers = {typed("pa55word")};
        QVERIFY(g.doc->openDocument(f.path("a.tqb")));
        QCOMPARE(g.prompter.passwordRequests.size(), 1);
        QVERIFY(g.prompter.passwordRequests[0].duringOpen);
        QVERIFY(!g.prompter.passwordRequests[0].allowReload);
        QCOMPARE(g.doc->titles(), (QList<QByteArray>{"Root", "Child"}));
        QCOMPARE(g.doc->text(1), QByteArray("\xE9t\xE9"));
        QCOMPARE(g.doc->parentLinks(), (QList<quint32>{1, 2}));
        QCOMPARE(g.doc->info(1).m_times, (std::array<qint32, 5>{100000, 0, 0, 200000, 300000}));
        QCOMPARE(g.doc->reminders(), (QList<quint32>{1}));
        QVERIFY(g.doc->hasReminders());
        QVERIFY(g.doc->hasPassword());
        QVERIFY(!g.doc->isModified());
        QCOMPARE(g.doc->title(), QStringLiteral("a.tqb"));
        QCOMPARE(g.doc->documentFolder(), f.dir.path() + QLatin1Char('/'));
    }

    void passwordStepAsksOnlyWhenTheFileMayBeEnciphered()
    {
        CDocFixture f;
        f.addRootAndChild();
        QVERIFY(f.doc->saveDocument(f.path("plain.tqb")));

        // A file without password clears the password held.
        CDocFixture g;
        g.doc->setPassword("held");
        QVERIFY(g.doc->openDocument(f.path("plain.tqb")));
        QVERIFY(g.prompter.passwordRequests.isEmpty());
        QVERIFY(!g.doc->hasPassword());

        // A file without header asks, unless "ReqPsw" is off.
        QByteArray headerless = readAll(f.path("plain.tqb"));
        g.prompter.passwordAnswers = {typed({})};
        writeFile(f.path("old.tqb"), QByteArray::fromHex("0200FFFF02000A00") + "CDataNotes" +
                                         headerless.mid(2 + 16 + 60 + 2));
        QVERIFY(g.doc->openDocument(f.path("old.tqb")));
        QCOMPARE(g.prompter.passwordRequests.size(), 1);
        QCOMPARE(g.doc->titles(), (QList<QByteArray>{"Root", "Child"}));

        CDocFixture h([](CSettings &s) { Q_UNUSED(s) });
        h.store->setValue(QStringLiteral("Settings/ReqPsw"), 0);
        QVERIFY(h.doc->openDocument(f.path("old.tqb")));
        QVERIFY(h.prompter.passwordRequests.isEmpty());
    }

    void reloadWithTheRightPassword()
    {
        CDocFixture f;
        f.addRootAndChild("readable");
        f.doc->setPassword("right");
        QVERIFY(f.doc->saveDocument(f.path("r.tqb")));

        CDocFixture g;
        g.prompter.passwordAnswers = {typed("wrong"), typed("right")};
        QVERIFY(g.doc->openDocument(f.path("r.tqb")));
        QVERIFY(g.doc->loadedItems());
        g.prompter.passwordRequests.clear();
        // Change password: the right one, with "Reload Document".
        g.prompter.passwordAnswers = {typed("right", true), typed("right")};
        g.prompter.answers = {IPrompter::Answer::No};
        g.doc->changePassword();
        QVERIFY(g.prompter.passwordRequests[0].allowReload);
        QVERIFY(!g.prompter.passwordRequests[0].duringOpen);
        QCOMPARE(g.doc->text(0), QByteArray("readable"));
        QCOMPARE(g.doc->pathName(), f.path("r.tqb"));
        QCOMPARE(g.doc->title(), QStringLiteral("r.tqb"));
        QVERIFY(!QFile::exists(f.path(CTorviQuillbookDoc::kReloadPlaceholder)));
    }

    void reloadOfAVanishedFileKeepsContentsAndName()
    {
        CDocFixture f;
        f.addRootAndChild("kept");
        QVERIFY(f.doc->saveDocument(f.path("gone.tqb")));
        CDocFixture g;
        QVERIFY(g.doc->openDocument(f.path("gone.tqb")));
        QVERIFY(QFile::remove(f.path("gone.tqb")));
        g.prompter.passwordAnswers = {typed({}, true)};
        g.doc->changePassword();
        QCOMPARE(g.doc->text(0), QByteArray("kept"));
        QCOMPARE(g.doc->pathName(), f.path("gone.tqb"));
        QCOMPARE(g.doc->title(), QStringLiteral("gone.tqb"));
        QVERIFY(g.prompter.messages.last().contains(QStringLiteral("Cannot find this file.")));
    }

    void changingThePasswordMarksLoadedDocumentsModified()
    {
        CDocFixture f;
        f.addRootAndChild();
        QVERIFY(f.doc->saveDocument(f.path("m.tqb")));
        CDocFixture g;
        QVERIFY(g.doc->openDocument(f.path("m.tqb")));
        g.prompter.passwordAnswers = {{}};  // Cancel keeps everything
        g.doc->changePassword();
        QVERIFY(!g.doc->isModified());
        g.prompter.passwordAnswers = {typed("new")};
        g.doc->changePassword();
        QVERIFY(g.doc->isModified());
        QVERIFY(g.doc->hasPassword());
        QCOMPARE(g.doc->passwordStatusText(), QStringLiteral("    Password protected  "));
        g.prompter.passwordAnswers = {typed({})};
        g.doc->changePassword();
        QCOMPARE(g.doc->passwordStatusText(), QStringLiteral(" No password protection  "));
    }

    void badFilesLeaveTheDocumentEmpty_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("garbage") << QByteArray("not a document at all") << QStringLiteral("Unexpected file format.");
        QTest::newRow("truncated") << QByteArray::fromHex("0100FFFF02000A00") + "CDataNotes" + QByteArray(10, '\0')
                                   << QStringLiteral("Unexpected file format.");
        // An icon file starts with two zero bytes, as an empty document does.
        QTest::newRow("other file, two zero bytes first") << QByteArray::fromHex("000001000100101000000100") + QByteArray(64, '\x7f')
                                                          << QStringLiteral("Unexpected file format.");
        QTest::newRow("schema 7") << QByteArray::fromHex("0100FFFF07000A00") + "CDataNotes" + QByteArray(60, '\0')
                                  << QStringLiteral("unknown version of the data");
    }
    void badFilesLeaveTheDocumentEmpty()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        CDocFixture f;
        writeFile(f.path("bad.tqb"), bytes);
        f.addRootAndChild();
        f.doc->setPassword("previous");
        f.doc->setCreationTime(1234);
        QVERIFY(!f.doc->openDocument(f.path("bad.tqb")));
        QCOMPARE(f.prompter.messages, QStringList{message});
        QCOMPARE(f.doc->count(), 0);
        QVERIFY(f.doc->order().isEmpty());
        QVERIFY(f.doc->pathName().isEmpty());
        QCOMPARE(f.doc->title(), QStringLiteral("Untitled"));
        // As after New: the previous document's password would otherwise
        // encipher what is typed next, unknown to the user.
        QVERIFY(!f.doc->hasPassword());
        QCOMPARE(f.doc->creationTime(), 0);
        f.addRootAndChild("typed after the failure");
        QVERIFY(f.doc->saveDocument(f.path("next.tqb")));
        CDocFixture g;
        QVERIFY(g.doc->openDocument(f.path("next.tqb")));
        QVERIFY(g.prompter.passwordRequests.isEmpty());
        QCOMPARE(g.doc->texts().value(0), QByteArray("typed after the failure"));
    }

    void unreadableFileKeepsTheContents()
    {
        CDocFixture f;
        f.addRootAndChild();
        QVERIFY(!f.doc->openDocument(f.path("missing.tqb")));
        QCOMPARE(f.prompter.messages,
                 QStringList{f.path("missing.tqb") +
                             "\nCannot find this file.\nPlease verify that the correct path and file name are given."});
        QCOMPARE(f.doc->count(), 2);
    }

    void emptyFileOpensWithoutPassword()
    {
        CDocFixture f;
        writeFile(f.path("empty.tqb"), {});
        f.addRootAndChild();
        QVERIFY(f.doc->openDocument(f.path("empty.tqb")));
        QCOMPARE(f.doc->count(), 0);
        QVERIFY(f.prompter.passwordRequests.isEmpty());
        QVERIFY(f.doc->creationTime() != 0);  // from the file system
    }

    void failedWriteLeavesTheOldFile()
    {
        CDocFixture f;
        f.addRootAndChild();
        QVERIFY(f.doc->saveDocument(f.path("keep.tqb")));
        const QByteArray before = readAll(f.path("keep.tqb"));
        f.doc->setText(0, QByteArray(1 << 20, 'x'));
        f.doc->setModifiedFlag(true);

        // A file size limit makes the write fail half way, like a full disk.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 64 * 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool saved = f.doc->saveDocument(f.path("keep.tqb"));
        setrlimit(RLIMIT_FSIZE, &old);

        QVERIFY(!saved);
        QCOMPARE(readAll(f.path("keep.tqb")), before);
        QVERIFY(f.doc->isModified());
        QCOMPARE(f.prompter.messages.size(), 1);
        QVERIFY(f.prompter.messages[0] == QStringLiteral("Destination disk drive is full.") ||
                f.prompter.messages[0] == QStringLiteral("Failed to save document."));
        QStringList left = QDir(f.dir.path()).entryList(QDir::Files);
        left.removeAll(QStringLiteral("settings.ini"));
        QCOMPARE(left, QStringList{"keep.tqb"});  // no temporary file left behind

        QVERIFY(!f.doc->saveDocument(f.path("no/such/folder/x.tqb")));
        QVERIFY(f.prompter.messages.last().startsWith(QStringLiteral("Unable to write to ")));

        CFailingDevice device(10);
        QVERIFY(device.open(QIODevice::WriteOnly));
        QVERIFY(!CDocumentFile::writeAll(device, QByteArray(100, 'y')));
    }

    void automaticSaving()
    {
        CDocFixture f([](CSettings &s) { s.setNumber(CSettings::AutoSave, 1); });
        f.addRootAndChild();
        f.doc->setModifiedFlag(true);
        f.doc->autoSaveOnSelectionChange();  // unnamed: nothing saved
        QVERIFY(f.doc->isModified());
        QVERIFY(f.prompter.chooserTitles.isEmpty());

        QVERIFY(f.doc->saveDocument(f.path("auto.tqb")));
        f.doc->setPathName(f.path("auto.tqb"));
        QVERIFY(QFile::remove(f.path("auto.tqb")));
        // Unmodified and named: closing still writes the file.
        QVERIFY(f.doc->saveModified());
        QVERIFY(QFile::exists(f.path("auto.tqb")));
        QVERIFY(f.prompter.messages.isEmpty());
    }

    void failingAutomaticSaveIsToldOnce()
    {
        CDocFixture f([](CSettings &s) { s.setNumber(CSettings::AutoSave, 1); });
        f.addRootAndChild();
        f.doc->setPathName(f.path("missing-folder/doc.tqb"));
        f.doc->setModifiedFlag(true);
        f.doc->autoSaveOnSelectionChange();
        f.doc->autoSaveOnSelectionChange();
        f.doc->autoSaveOnSelectionChange();
        QCOMPARE(f.prompter.messages.size(), 1);
        QVERIFY(f.doc->isModified());
        QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("missing-folder")));
        f.doc->autoSaveOnSelectionChange();
        QVERIFY(!f.doc->isModified());
        QVERIFY(QFile::exists(f.path("missing-folder/doc.tqb")));
    }

    void saveModifiedAsksWithoutAutomaticSaving()
    {
        CDocFixture f;
        f.addRootAndChild();
        QVERIFY(f.doc->saveModified());  // not modified: no question
        f.doc->setModifiedFlag(true);
        f.prompter.answers = {IPrompter::Answer::Cancel, IPrompter::Answer::No, IPrompter::Answer::Yes};
        QVERIFY(!f.doc->saveModified());
        QCOMPARE(f.prompter.messages.last(), QStringLiteral("Save changes to Untitled?"));
        QCOMPARE(f.prompter.messageButtons.last(), IPrompter::Buttons::YesNoCancelDefaultYes);
        QVERIFY(f.doc->saveModified());
        f.prompter.saveFileAnswers = {f.path("named.tqb")};
        QVERIFY(f.doc->saveModified());
        QCOMPARE(f.prompter.chooserTitles, QStringList{"Save As"});
        QCOMPARE(f.doc->pathName(), f.path("named.tqb"));
        QVERIFY(QFile::exists(f.path("named.tqb")));
    }

    void saveAsChoosesBetweenTextAndDocument()
    {
        CDocFixture f;
        f.addRootAndChild("a");
        QVERIFY(f.doc->saveDocument(f.path("doc.tqb")));
        f.doc->setPathName(f.path("doc.tqb"));
        f.doc->setModifiedFlag(true);

        f.prompter.saveFileAnswers = {f.path("out.txt"), f.path("X.TXT")};
        f.doc->saveAsCommand();
        QVERIFY(readAll(f.path("out.txt")).startsWith(QByteArray(80, '_') + "\r\n\r\n*Root*\r\n"));
        QCOMPARE(f.doc->pathName(), f.path("doc.tqb"));
        QVERIFY(f.doc->isModified());

        f.doc->saveAsCommand();
        QVERIFY(readAll(f.path("X.TXT")).startsWith(QByteArray::fromHex("0300FFFF0200")));
        QCOMPARE(f.doc->pathName(), f.path("X.TXT"));
        QVERIFY(!f.doc->isModified());

        // A name that cannot be written: the document keeps its own name,
        // and the recent list never gets one that holds no file.
        f.doc->setModifiedFlag(true);
        QSignalSpy recent(f.doc.get(), &CTorviQuillbookDoc::addedToRecentFiles);
        f.prompter.messages.clear();
        f.prompter.saveFileAnswers = {f.path("no such folder/y.tqb")};
        f.doc->saveAsCommand();
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.doc->pathName(), f.path("X.TXT"));
        QCOMPARE(f.doc->title(), QStringLiteral("X.TXT"));
        QVERIFY(f.doc->isModified());
        QCOMPARE(recent.count(), 0);
    }

    // Whatever way the name is given, an existing file is replaced only
    // after a Yes; No goes back to the chooser.
    void saveAsAsksBeforeReplacingAFile()
    {
        CDocFixture f;
        f.addRootAndChild("new contents");
        f.doc->m_nCurItem = 0;
        writeFile(f.path("victim.txt"), "keep me");
        writeFile(f.path("victim2.tqb"), "keep me too");
        const QString question = QStringLiteral("victim.txt already exists.\nDo you want to replace it?");

        f.prompter.saveFileAnswers = {f.path("victim.txt"), f.path("victim2.tqb")};
        f.prompter.answers = {IPrompter::Answer::No, IPrompter::Answer::No};
        f.doc->saveAsCommand();
        QCOMPARE(f.prompter.messages,
                 (QStringList{question, QStringLiteral("victim2.tqb already exists.\nDo you want to replace it?")}));
        QCOMPARE(f.prompter.messageButtons.first(), IPrompter::Buttons::YesNo);
        QCOMPARE(f.prompter.chooserTitles.size(), 3);  // asked again after each No
        QCOMPARE(readAll(f.path("victim.txt")), QByteArray("keep me"));
        QCOMPARE(readAll(f.path("victim2.tqb")), QByteArray("keep me too"));
        QVERIFY(f.doc->pathName().isEmpty());

        f.prompter.messages.clear();
        f.prompter.saveFileAnswers = {f.path("victim.txt")};
        f.prompter.answers = {IPrompter::Answer::Yes};
        f.doc->saveAsCommand();
        QCOMPARE(f.prompter.messages, QStringList{question});
        QVERIFY(readAll(f.path("victim.txt")).contains("new contents"));

        // Save of an unnamed document asks too.
        f.prompter.messages.clear();
        f.prompter.saveFileAnswers = {f.path("victim2.tqb")};
        f.prompter.answers = {IPrompter::Answer::No};
        QVERIFY(!f.doc->saveCommand());
        QCOMPARE(readAll(f.path("victim2.tqb")), QByteArray("keep me too"));
    }

    void exportErrorIsReported()
    {
        CDocFixture f;
        f.addRootAndChild();
        QVERIFY(!f.doc->exportText(f.path("nowhere/x.txt")));
        QCOMPARE(f.prompter.messages, QStringList{"Text file error!"});
    }

    void enableRulesFollowTheSelection()
    {
        CDocFixture f;
        f.addRootAndChild();
        QVERIFY(!f.doc->canSaveAs());
        QVERIFY(!f.doc->canChangePassword());
        QVERIFY(!f.doc->canSave());
        f.doc->m_nCurItem = 0;
        f.doc->setModifiedFlag(true);
        QVERIFY(f.doc->canSaveAs() && f.doc->canPrint() && f.doc->canChangePassword() && f.doc->canSave());
        f.doc->newDocument();
        QVERIFY(!f.doc->canSaveAs());
        QVERIFY(!f.doc->canSave());
        QCOMPARE(f.doc->title(), QStringLiteral("Untitled"));
    }

    void busyDocumentRefusesAnotherOperation()
    {
        CDocFixture f;
        f.addRootAndChild();
        {
            CBusyGuard running(*f.doc, CTorviQuillbookDoc::kBusyTree);
            QVERIFY(bool(running));
            QVERIFY(!f.doc->saveDocument(f.path("busy.tqb")));
            QVERIFY(!f.doc->exportText(f.path("busy.txt")));
            QVERIFY(!f.doc->readFromBytes(QByteArray::fromHex("0000")));
            QVERIFY(!f.doc->openDocument(f.path("busy.tqb")));
        }
        QCOMPARE(f.doc->count(), 2);
        QCOMPARE(f.prompter.messages, QStringList(4, QString::fromLatin1(CBusyGuard::kInternalError)));
        QVERIFY(!QFile::exists(f.path("busy.tqb")));
        QCOMPARE(f.doc->busy(), int(CTorviQuillbookDoc::kIdle));
        QVERIFY(f.doc->saveDocument(f.path("busy.tqb")));
    }

    void savingMakesABackupFirst()
    {
        CDocFixture f;
        CBackupSettings backup;
        backup.on = true;
        backup.folder = f.path("bk") + QLatin1Char('/');
        QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("bk")));
        f.doc->setBackup(backup);
        f.addRootAndChild("version 1");
        QVERIFY(f.doc->saveDocument(f.path("n.tqb")));
        const QByteArray first = readAll(f.path("n.tqb"));
        f.doc->setText(0, "version 2");
        QVERIFY(f.doc->saveDocument(f.path("n.tqb")));
        QCOMPARE(readAll(f.path("bk/n.bk0")), first);
        QCOMPARE(CBackupSettings::load(*f.settings), backup);
    }

    // Another program left the file damaged: the save asks, and on "Keep my
    // version" keeps that file aside, says where, leaves the good copy in
    // place and still saves.
    void damagedFileOnDiskIsKeptAsideNotRotated()
    {
        CDocFixture f;
        f.doc->setPathName(f.path("n.tqb"), false);
        CBackupSettings backup;
        backup.on = true;
        backup.periodDays = 0;  // every save is due
        backup.folder = f.path("bk") + QLatin1Char('/');
        QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("bk")));
        f.doc->setBackup(backup);
        f.addRootAndChild("version 1");
        QVERIFY(f.doc->saveDocument(f.path("n.tqb")));
        f.doc->setText(0, "version 2");
        QVERIFY(f.doc->saveDocument(f.path("n.tqb")));
        const QByteArray good = readAll(f.path("bk/n.bk0"));
        const QByteArray damaged = readAll(f.path("n.tqb")).left(100);
        writeFile(f.path("n.tqb"), damaged);

        f.doc->setText(0, "version 3");
        f.prompter.choices = {1};  // Keep my version
        QVERIFY(f.doc->saveDocument(f.path("n.tqb")));
        QCOMPARE(readAll(f.path("bk/n.bk0")), good);
        const QStringList kept = QDir(f.path("bk")).entryList({QStringLiteral("n.unreadable-*.tqb")}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(readAll(f.path("bk/") + kept.front()), damaged);
        QCOMPARE(f.prompter.messages,
                 (QStringList{QString::fromLatin1(CTorviQuillbookDoc::kChangedOnDisk)
                                  .arg(QDir::toNativeSeparators(f.path("n.tqb"))),
                              QString::fromLatin1(CBackupStep::kUnreadableKept)
                                  .arg(QDir::toNativeSeparators(f.path("n.tqb")),
                                       QDir::toNativeSeparators(f.path("bk/") + kept.front()))}));
        CDocFixture g;
        QVERIFY(g.doc->openDocument(f.path("n.tqb")));
        QCOMPARE(g.doc->texts().value(0), QByteArray("version 3"));
    }

    // A copy that cannot be written is told once; the saves go on.
    void failingBackupIsToldOnceAndTheSaveGoesOn()
    {
        CDocFixture f;
        CBackupSettings backup;
        backup.on = true;
        backup.folder = f.path("no such folder") + QLatin1Char('/');
        f.doc->setBackup(backup);
        f.addRootAndChild("version 1");
        QVERIFY(f.doc->saveDocument(f.path("n.tqb")));
        QVERIFY(f.prompter.messages.isEmpty());  // the first save has nothing to copy
        for (const QByteArray text : {"version 2", "version 3"}) {
            f.doc->setText(0, text);
            QVERIFY(f.doc->saveDocument(f.path("n.tqb")));
        }
        const QString copy = QDir::toNativeSeparators(backup.folder + QStringLiteral("n.bk0"));
        QCOMPARE(f.prompter.messages,
                 QStringList{QStringLiteral("The backup copy %1 could not be written.\nThe document is saved without it.")
                                 .arg(copy)});
        CDocFixture g;
        QVERIFY(g.doc->openDocument(f.path("n.tqb")));
        QCOMPARE(g.doc->texts().value(0), QByteArray("version 3"));
    }
};

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
