// Start-up's first New, opening through the recent-file list, and restoring
// a backup copy under a name of its own.
#include "DocFixture.h"
#include "app/DocManager.h"
#include "app/RecentFileList.h"
#include "settings/Settings.h"

#include <QFile>
#include <QtTest>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void saveSample(CDocFixture &f, const QString &name, const QByteArray &text)
{
    f.doc->newDocument();
    f.addRootAndChild(text);
    QVERIFY(f.doc->saveDocument(f.path(name)));
    f.doc->newDocument();
}

}  // namespace

namespace {

// A recent-file list as an earlier run left it, "File1" first.
void storeRecentFiles(CSettings &settings, const QStringList &files)
{
    for (int i = 0; i < files.size(); ++i)
        settings.setText(CSettings::RecentFile, files[i], i);
}

}  // namespace

class TestDocManager : public QObject
{
    Q_OBJECT

private slots:
    void firstNewOpensTheLastFile()
    {
        CDocFixture f([](CSettings &s) { s.setNumber(CSettings::LastFile, 1); });
        saveSample(f, "last.tqb", "last text");
        storeRecentFiles(*f.settings, {f.path("last.tqb")});
        CDocManager manager(*f.doc, *f.settings);
        QVERIFY(manager.startUp({}));
        QCOMPARE(f.doc->pathName(), f.path("last.tqb"));
        QCOMPARE(f.doc->texts().value(0), QByteArray("last text"));
        // Every later New makes an empty document.
        QVERIFY(manager.fileNew());
        QCOMPARE(f.doc->count(), 0);
        QCOMPARE(f.doc->title(), QStringLiteral("Untitled"));
    }

    void lastFileThatCannotBeOpenedEndsStartUp()
    {
        CDocFixture f([](CSettings &s) { s.setNumber(CSettings::LastFile, 1); });
        saveSample(f, "second.tqb", "x");
        storeRecentFiles(*f.settings, {f.path("vanished.tqb"), f.path("second.tqb")});
        {
            CDocManager manager(*f.doc, *f.settings);
            QVERIFY(!manager.startUp({}));
            QCOMPARE(f.prompter.messages.size(), 1);
            QVERIFY(f.prompter.messages[0].contains(QStringLiteral("Cannot find this file.")));
        }
        QCOMPARE(CRecentFileList::load(*f.settings), QStringList{f.path("second.tqb")});
        // The next start opens the entry that moved up.
        CDocManager again(*f.doc, *f.settings);
        QVERIFY(again.startUp({}));
        QCOMPARE(f.doc->pathName(), f.path("second.tqb"));
    }

    void lastFileOffOrEmptyListMakesANewDocument()
    {
        CDocFixture f([](CSettings &s) { s.setNumber(CSettings::LastFile, 2); });
        saveSample(f, "a.tqb", "x");
        storeRecentFiles(*f.settings, {f.path("a.tqb")});
        CDocManager off(*f.doc, *f.settings);
        QVERIFY(off.startUp({}));
        QVERIFY(f.doc->pathName().isEmpty());

        CDocFixture g([](CSettings &s) { s.setNumber(CSettings::LastFile, 1); });
        CDocManager empty(*g.doc, *g.settings);
        QVERIFY(empty.startUp({}));
        QVERIFY(g.doc->pathName().isEmpty());
    }

    void commandLineFileTakesPrecedence()
    {
        CDocFixture f([](CSettings &s) { s.setNumber(CSettings::LastFile, 1); });
        saveSample(f, "last.tqb", "last");
        saveSample(f, "named.tqb", "named");
        storeRecentFiles(*f.settings, {f.path("last.tqb")});
        CDocManager manager(*f.doc, *f.settings);
        QVERIFY(manager.startUp(f.path("named.tqb")));
        QCOMPARE(f.doc->pathName(), f.path("named.tqb"));
        QCOMPARE(CRecentFileList::load(*f.settings), (QStringList{f.path("named.tqb"), f.path("last.tqb")}));
        // A later New is a plain New, not the last file.
        QVERIFY(manager.fileNew());
        QVERIFY(f.doc->pathName().isEmpty());
    }

    void openingTheOpenDocumentAgainChangesNothing()
    {
        CDocFixture f;
        saveSample(f, "same.tqb", "on disk");
        CDocManager manager(*f.doc, *f.settings);
        QVERIFY(manager.openDocumentFile(f.path("same.tqb")));
        f.doc->setText(0, "edited");
        f.doc->setModifiedFlag(true);
        QVERIFY(manager.openDocumentFile(f.path("same.tqb")));
        QCOMPARE(f.doc->text(0), QByteArray("edited"));
        QVERIFY(f.prompter.messages.isEmpty());
    }

    void cancelledQuestionKeepsTheRecentEntry()
    {
        CDocFixture f;
        saveSample(f, "r.tqb", "x");
        CDocManager manager(*f.doc, *f.settings);
        manager.recentFiles().add(f.path("r.tqb"));
        f.addRootAndChild();
        f.doc->setModifiedFlag(true);
        f.prompter.answers = {IPrompter::Answer::Cancel};
        QVERIFY(!manager.openRecentFile(0));
        QCOMPARE(manager.recentFiles().files(), QStringList{f.path("r.tqb")});
        QCOMPARE(f.doc->count(), 2);
    }

    void restoredCopyIsSavedUnderItsOwnName()
    {
        CDocFixture f([](CSettings &s) { s.setNumber(CSettings::AutoSave, 1); });
        QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("bk")));
        QVERIFY(QDir::setCurrent(f.dir.path()));
        saveSample(f, "bk/notes.bk0", "backed up");
        CBackupSettings backup;
        backup.folder = f.path("bk") + QLatin1Char('/');
        f.doc->setBackup(backup);
        const QByteArray copy = readAll(f.path("bk/notes.bk0"));

        CDocManager manager(*f.doc, *f.settings);
        f.doc->setProgramFolder(f.dir.path());
        QVERIFY(manager.canRestore());
        QVERIFY(manager.restore(QStringLiteral("notes.bk0")));
        QCOMPARE(f.doc->texts().value(0), QByteArray("backed up"));
        QCOMPARE(f.doc->pathName(), f.path("notes.tqb"));
        QVERIFY(f.doc->isModified());
        QVERIFY(manager.recentFiles().files().isEmpty());

        f.doc->setText(0, "changed after restore");
        f.doc->autoSaveOnSelectionChange();
        QCOMPARE(readAll(f.path("bk/notes.bk0")), copy);
        QVERIFY(QFile::exists(f.path("notes.tqb")));

        // A file that is no document fails with the format message.
        QFile other(f.path("bk/readme.txt"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("just text");
        other.close();
        QVERIFY(!manager.restore(QStringLiteral("readme.txt")));
        QCOMPARE(f.prompter.messages.last(), QStringLiteral("Unexpected file format."));
        QCOMPARE(f.doc->texts().value(0), QByteArray("changed after restore"));

        // Nor does opening one (a stray drop) give up the document shown:
        // nothing is asked or saved, the changes stay.
        f.doc->setText(0, "not saved yet");
        f.doc->setModifiedFlag(true);
        f.prompter.messages.clear();
        QVERIFY(!manager.openDocumentFile(f.path("bk/readme.txt")));
        QCOMPARE(f.prompter.messages, QStringList{QStringLiteral("Unexpected file format.")});
        QCOMPARE(f.doc->texts().value(0), QByteArray("not saved yet"));
        QVERIFY(f.doc->isModified());
        QCOMPARE(f.doc->pathName(), f.path("notes.tqb"));
    }

    // The save before a restore rotates the copies; the copy chosen must be
    // the one restored, whatever the rotation does to its file.
    void restoreGivesTheChosenCopyThoughTheSaveRotates_data()
    {
        QTest::addColumn<int>("versions");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("one version") << 1 << "notes.bk0" << QByteArray("OLD VERSION");
        QTest::newRow("three, newest") << 3 << "notes.bk0" << QByteArray("OLD VERSION");
        QTest::newRow("three, middle") << 3 << "notes.bk1" << QByteArray("OLDER VERSION");
        QTest::newRow("three, oldest") << 3 << "notes.bk2" << QByteArray("OLDEST VERSION");
    }

    void restoreGivesTheChosenCopyThoughTheSaveRotates()
    {
        QFETCH(int, versions);
        QFETCH(QString, chosen);
        QFETCH(QByteArray, expected);
        CDocFixture f([](CSettings &s) { s.setNumber(CSettings::AutoSave, 1); });
        QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("bk")));
        QVERIFY(QDir::setCurrent(f.dir.path()));
        const QDateTime twoDaysAgo = QDateTime::currentDateTime().addDays(-2);
        const QList<QByteArray> copies{"OLD VERSION", "OLDER VERSION", "OLDEST VERSION"};
        for (int v = 0; v < versions; ++v) {
            const QString name = QStringLiteral("bk/notes.bk%1").arg(v);
            saveSample(f, name, copies[v]);
            QFile file(f.path(name));
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(twoDaysAgo.addSecs(-v * 86400), QFileDevice::FileModificationTime));
        }
        CBackupSettings backup;
        backup.on = true;
        backup.folder = f.path("bk") + QLatin1Char('/');
        backup.versions = versions;
        backup.periodDays = 1;
        f.doc->setBackup(backup);
        // The current document, saved, then changed: Restore saves it first.
        f.addRootAndChild("CURRENT VERSION");
        f.doc->setBackup(CBackupSettings{});
        QVERIFY(f.doc->saveDocument(f.path("notes.tqb")));
        f.doc->setBackup(backup);
        f.doc->setPathName(f.path("notes.tqb"));
        f.doc->setText(0, "CURRENT VERSION, changed");
        f.doc->setModifiedFlag(true);

        CDocManager manager(*f.doc, *f.settings);
        QVERIFY(manager.restore(chosen));
        QCOMPARE(f.doc->texts().value(0), expected);
        // The save did happen, and its backup copy holds the version before it.
        CDocFixture g;
        QVERIFY(g.doc->openDocument(f.path("notes.tqb")));
        QCOMPARE(g.doc->texts().value(0), QByteArray("CURRENT VERSION, changed"));
        QVERIFY(g.doc->openDocument(f.path("bk/notes.bk0")));
        QCOMPARE(g.doc->texts().value(0), QByteArray("CURRENT VERSION"));

        // The restored copy is saved beside the document, under a name of
        // its own: neither the document nor any copy of the series changes.
        QCOMPARE(f.doc->pathName(), f.path("notes (2).tqb"));
        QList<QByteArray> series;
        for (int v = 0; v < versions; ++v)
            series << readAll(f.path(QStringLiteral("bk/notes.bk%1").arg(v)));
        QVERIFY(f.doc->saveDocument(f.doc->pathName()));
        for (int v = 0; v < versions; ++v)
            QCOMPARE(readAll(f.path(QStringLiteral("bk/notes.bk%1").arg(v))), series[v]);
        QVERIFY(g.doc->openDocument(f.path("notes.tqb")));
        QCOMPARE(g.doc->texts().value(0), QByteArray("CURRENT VERSION, changed"));
        QVERIFY(g.doc->openDocument(f.path("notes (2).tqb")));
        QCOMPARE(g.doc->texts().value(0), expected);

        // Restored again, and another program makes a file of the chosen
        // name before the first save: it is asked about, not written over.
        QVERIFY(manager.restore(chosen));
        QCOMPARE(f.doc->pathName(), f.path("notes (3).tqb"));
        QVERIFY(QFile::copy(f.path("notes.tqb"), f.path("notes (3).tqb")));
        f.prompter.choices = {-1};  // cancelled
        QVERIFY(!f.doc->saveDocument(f.doc->pathName()));
        QVERIFY(f.prompter.messages.last().contains(QStringLiteral("has been changed on disk by another program")));
        QVERIFY(g.doc->openDocument(f.path("notes (3).tqb")));
        QCOMPARE(g.doc->texts().value(0), QByteArray("CURRENT VERSION, changed"));
    }

    void restoreNeedsABackupFolder()
    {
        CDocFixture f;
        CDocManager manager(*f.doc, *f.settings);
        QVERIFY(!manager.canRestore());
        QVERIFY(!manager.restore(QStringLiteral("x")));
        QVERIFY(f.prompter.messages.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDocManager)
#include "tst_docmanager.moc"
