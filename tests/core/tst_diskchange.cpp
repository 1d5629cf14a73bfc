// The document's file changed by another program while it is open: an
// unchanged document follows the file, a changed one asks, and no save
// writes over the other program's work unasked.
#include "DocFixture.h"
#include "doc/DiskWatch.h"

#include <QDateTime>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Another program writes the document: a second document saves its own version.
void writeElsewhere(const QString &path, const QByteArray &firstText, const QByteArray &extraTitle = {})
{
    CDocFixture other;
    QVERIFY(other.doc->openDocument(path));
    other.doc->setText(0, firstText);
    if (!extraTitle.isEmpty()) {
        other.doc->appendToOrder(quint32(other.doc->appendItem(extraTitle, "", 1, CNoteInfo{})));
    }
    QVERIFY(other.doc->saveDocument(path));
}

// A saved document whose first text is changed here and, meanwhile, by
// another program; its path, or empty when the first save failed.
QString changedOnBothSides(CDocFixture &f, const char *name)
{
    f.addRootAndChild("mine");
    const QString path = f.path(name);
    if (!f.doc->saveDocument(path))
        return {};
    f.doc->setPathName(path);
    f.doc->setText(0, "mine, changed");
    f.doc->setModifiedFlag(true);
    writeElsewhere(path, "theirs");
    return path;
}

const QString kQuestionStart = QStringLiteral(" has been changed on disk by another program.");

}  // namespace

class TestDiskChange : public QObject
{
    Q_OBJECT

private slots:
    void unchangedDocumentFollowsTheFile()
    {
        CDocFixture f;
        f.addRootAndChild("mine", "child");
        const QString path = f.path("n.tqb");
        QVERIFY(f.doc->saveDocument(path));
        f.doc->setPathName(path);
        QVERIFY(!f.doc->fileChangedOnDisk());  // our own save is no change

        f.doc->m_nCurItem = 1;  // the child is selected
        writeElsewhere(path, "theirs", "Added");
        QVERIFY(f.doc->fileChangedOnDisk());
        QSignalSpy status(f.doc.get(), &CTorviQuillbookDoc::statusMessage);
        f.doc->checkDiskChange();
        QCOMPARE(f.doc->texts().value(0), QByteArray("theirs"));
        QCOMPARE(f.doc->count(), 3);
        QCOMPARE(status.size(), 1);
        QCOMPARE(status[0][0].toString(), QStringLiteral("n.tqb was changed on disk and has been read again."));
        QCOMPARE(f.doc->takeSelectionAfterReload(), 1);  // the child, found again
        QVERIFY(f.prompter.messages.isEmpty());
        QVERIFY(!f.doc->fileChangedOnDisk());
    }

    // Another program empties the file, cuts it short or writes something
    // else over it: the notes shown are the only copy left, so they stay,
    // the user is told, and saving (after the question) puts them back.
    void aFileSpoiltElsewhereLeavesTheNotesHere_data()
    {
        QTest::addColumn<int>("keep");  // bytes of the file left; -1: other bytes written over it
        QTest::newRow("emptied") << 0;
        QTest::newRow("cut short") << 60;
        QTest::newRow("written over") << -1;
    }
    void aFileSpoiltElsewhereLeavesTheNotesHere()
    {
        QFETCH(int, keep);
        CDocFixture f;
        f.addRootAndChild("mine", "child");
        const QString path = f.path("s.tqb");
        QVERIFY(f.doc->saveDocument(path));
        f.doc->setPathName(path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        if (keep >= 0) {
            QVERIFY(file.resize(keep));
        } else {
            QVERIFY(file.resize(0));
            file.write("plain text, no notes\n");
        }
        file.close();

        f.doc->checkDiskChange();
        QCOMPARE(f.doc->texts().value(0), QByteArray("mine"));
        QCOMPARE(f.doc->texts().value(1), QByteArray("child"));
        QVERIFY(f.doc->isModified());
        QCOMPARE(f.prompter.messages,
                 QStringList{QStringLiteral("%1 was changed on disk by another program and cannot be read now:\n"
                                            "Unexpected file format.\nYour notes stay open here; save them to keep them.")
                                 .arg(path)});
        f.doc->checkDiskChange();  // told once
        QCOMPARE(f.prompter.messages.size(), 1);

        f.prompter.choices = {1};  // keep my version
        QVERIFY(f.doc->saveDocument(path));
        QVERIFY(f.prompter.messages[1].contains(kQuestionStart));
        CDocFixture g;
        QVERIFY(g.doc->openDocument(path));
        QCOMPARE(g.doc->texts(), (QList<QByteArray>{"mine", "child"}));
    }

    // Another program removed or added a note before the selected one,
    // whose title other notes share: the selected note is found by its text.
    void reloadFindsTheSelectedNoteAmongLikeTitledOnes_data()
    {
        QTest::addColumn<QByteArrayList>("theirs");
        // Ours: "Same|one", "Other|between", "Same|two", with "Same|two" selected.
        QTest::newRow("one before it removed") << QByteArrayList{"Same|one", "Same|two"};
        QTest::newRow("one added ahead, the old place now holds a like title")
            << QByteArrayList{"New|x", "Same|one", "Same|zero", "Same|two"};
    }

    void reloadFindsTheSelectedNoteAmongLikeTitledOnes()
    {
        QFETCH(QByteArrayList, theirs);
        const auto append = [](CTorviQuillbookDoc &doc, const QByteArray &row) {
            const QByteArrayList parts = row.split('|');
            doc.appendToOrder(quint32(doc.appendItem(parts[0], parts[1], CItemTables::kRootParent, CNoteInfo{})));
        };
        CDocFixture f;
        for (const char *row : {"Same|one", "Other|between", "Same|two"})
            append(*f.doc, row);
        const QString path = f.path("same.tqb");
        QVERIFY(f.doc->saveDocument(path));
        f.doc->setPathName(path);
        f.doc->m_nCurItem = 2;  // "Same", "two"

        CDocFixture other;
        for (const QByteArray &row : theirs)
            append(*other.doc, row);
        QVERIFY(other.doc->saveDocument(path));

        f.doc->checkDiskChange();
        QCOMPARE(f.doc->count(), theirs.size());
        const int selected = f.doc->takeSelectionAfterReload();
        QVERIFY(selected >= 0);
        QCOMPARE(f.doc->texts().value(selected), QByteArray("two"));
    }

#ifdef Q_OS_UNIX
    // A document with a second hard link: the first save gives its name a
    // file of its own and says so once; the other name keeps the old notes.
    void aSaveThatSplitsHardLinksSaysSoOnce()
    {
        const auto bytes = [](const QString &name) {
            QFile file(name);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
        };
        CDocFixture f;
        f.addRootAndChild();
        const QString doc = f.path("linked.tqb");
        QVERIFY(f.doc->saveDocument(doc));
        const QByteArray before = bytes(doc);
        QCOMPARE(::link(QFile::encodeName(doc).constData(), QFile::encodeName(f.path("other.tqb")).constData()), 0);
        f.doc->setPathName(doc);
        f.doc->setModifiedFlag(true);
        QVERIFY(f.doc->saveDocument(doc));
        QCOMPARE(f.prompter.messages, QStringList{QStringLiteral("%1 had other names (hard links) for the same file. The save wrote a new file "
                                                                 "under this name only: the other names still show the version before this save.")
                                                      .arg(doc)});
        QCOMPARE(bytes(f.path("other.tqb")), before);
        QVERIFY(f.doc->saveDocument(doc));
        QCOMPARE(f.prompter.messages.size(), 1);
    }
#endif

    void touchedButUnchangedIsNoChange()
    {
        CDocFixture f;
        f.addRootAndChild();
        const QString path = f.path("t.tqb");
        QVERIFY(f.doc->saveDocument(path));
        f.doc->setPathName(path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        file.close();
        QVERIFY(!f.doc->fileChangedOnDisk());
    }

    // A modified document asks once; "Keep my version" lets the next save
    // write over the file without asking again.
    void modifiedDocumentAsksOnceAndKeeps()
    {
        CDocFixture f;
        const QString path = changedOnBothSides(f, "m.tqb");
        QVERIFY(!path.isEmpty());

        f.prompter.choices = {1};
        f.doc->checkDiskChange();
        f.doc->checkDiskChange();
        QCOMPARE(f.prompter.messages.size(), 1);
        QVERIFY(f.prompter.messages[0].endsWith(QStringLiteral("Reload it (your unsaved changes are lost), keep your "
                                                               "version (the next save writes over the file), or save "
                                                               "your version under another name?")));
        QVERIFY(f.prompter.messages[0].contains(kQuestionStart));
        QCOMPARE(f.prompter.choiceLists[0], CTorviQuillbookDoc::changedOnDiskChoices());
        QCOMPARE(f.doc->texts().value(0), QByteArray("mine, changed"));
        QVERIFY(f.doc->saveDocument(path));
        QCOMPARE(f.prompter.messages.size(), 1);
        CDocFixture g;
        QVERIFY(g.doc->openDocument(path));
        QCOMPARE(g.doc->texts().value(0), QByteArray("mine, changed"));
    }

    // "Keep my version" accepts the file as the question found it: a note
    // another writer saves while the question is open is asked about again,
    // not written over.
    void keepAcceptsOnlyWhatTheQuestionFound()
    {
        CDocFixture f;
        const QString path = changedOnBothSides(f, "k.tqb");
        QVERIFY(!path.isEmpty());
        f.prompter.whileChoosing = [&] {
            f.prompter.whileChoosing = nullptr;
            writeElsewhere(path, "theirs, again");
        };
        f.prompter.choices = {1};
        f.doc->checkDiskChange();
        const QByteArray later = readAll(path);
        QVERIFY(!f.doc->saveCommand());  // asked again; unscripted: Cancel
        QCOMPARE(f.prompter.messages.size(), 2);
        QCOMPARE(readAll(path), later);
    }

    // A save that meets a changed file asks first: Cancel writes nothing,
    // Reload takes the file, Save as keeps both versions.
    void saveNeverWritesOverUnasked()
    {
        CDocFixture f;
        const QString path = changedOnBothSides(f, "s.tqb");
        QVERIFY(!path.isEmpty());
        const QByteArray theirs = readAll(path);

        QVERIFY(!f.doc->saveCommand());  // unscripted: Cancel
        QCOMPARE(readAll(path), theirs);
        QVERIFY(f.doc->isModified());

        f.prompter.choices = {2};
        f.prompter.saveFileAnswers = {f.path("mine.tqb")};
        QVERIFY(f.doc->saveCommand());
        QCOMPARE(readAll(path), theirs);
        QCOMPARE(f.doc->pathName(), f.path("mine.tqb"));
        CDocFixture g;
        QVERIFY(g.doc->openDocument(f.path("mine.tqb")));
        QCOMPARE(g.doc->texts().value(0), QByteArray("mine, changed"));

        // Back on the first file, changed again: Reload.
        QVERIFY(f.doc->openDocument(path));
        f.doc->setText(0, "lost on reload");
        f.doc->setModifiedFlag(true);
        writeElsewhere(path, "theirs again");
        f.prompter.choices = {0};
        QVERIFY(!f.doc->saveDocument(path));
        QCOMPARE(f.doc->texts().value(0), QByteArray("theirs again"));
        QVERIFY(!f.doc->isModified());
    }

    void automaticSaveAsksOnceAndSavesNothing()
    {
        CDocFixture f([](CSettings &s) { s.setNumber(CSettings::AutoSave, 1); });
        const QString path = changedOnBothSides(f, "a.tqb");
        QVERIFY(!path.isEmpty());
        const QByteArray theirs = readAll(path);
        f.doc->autoSaveOnSelectionChange();
        f.doc->autoSaveOnSelectionChange();
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(readAll(path), theirs);
    }

    // The watcher notices a write by another program without being told.
    void watcherNoticesAWrite()
    {
        CDocFixture f;
        f.addRootAndChild("mine");
        const QString path = f.path("w.tqb");
        QVERIFY(f.doc->saveDocument(path));
        f.doc->setPathName(path);
        CDiskWatch watch(*f.doc);
        QSignalSpy status(f.doc.get(), &CTorviQuillbookDoc::statusMessage);
        writeElsewhere(path, "theirs");
        QTRY_COMPARE_WITH_TIMEOUT(f.doc->texts().value(0), QByteArray("theirs"), 10000);
        QCOMPARE(status.size(), 1);
        // A second write, after the file was replaced, is noticed too.
        writeElsewhere(path, "theirs, twice");
        QTRY_COMPARE_WITH_TIMEOUT(f.doc->texts().value(0), QByteArray("theirs, twice"), 10000);
    }
};

QTEST_GUILESS_MAIN(TestDiskChange)
#include "tst_diskchange.moc"
