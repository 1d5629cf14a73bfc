#include "common/FakePrompter.h"
#include "doc/BackupChoice.h"
#include "doc/BackupFolderCheck.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bool makeFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

}  // namespace

class TestBackupFolder : public QObject
{
    Q_OBJECT

private slots:
    void existingFolderIsTakenWithOneSeparator_data();
    void existingFolderIsTakenWithOneSeparator();
    void missingFolderIsCreatedOnOk();
    void missingFolderIsKeptOpenOnCancel();
    void fileOfThatNameKeepsDialogOpen();
    void emptyFolderIsRefused();
    void uncreatableFolderIsReported();

    void choiceMapsStoredValuesToIndices_data();
    void choiceMapsStoredValuesToIndices();
    void choiceWithoutSelectionKeepsValues();
};

void TestBackupFolder::existingFolderIsTakenWithOneSeparator_data()
{
    QTest::addColumn<bool>("trailing");
    QTest::newRow("typed without separator") << false;
    QTest::newRow("typed with separator") << true;
}

void TestBackupFolder::existingFolderIsTakenWithOneSeparator()
{
    QFETCH(bool, trailing);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CFakePrompter prompter;
    const QString typed = dir.path() + (trailing ? QStringLiteral("/") : QString());
    const std::optional<QString> folder = CBackupFolderCheck::accept(typed, prompter);
    QCOMPARE(folder, std::optional<QString>(dir.path() + QStringLiteral("/")));
    QVERIFY(prompter.messages.isEmpty());
}

void TestBackupFolder::missingFolderIsCreatedOnOk()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.path() + QStringLiteral("/backups/deeper");
    CFakePrompter prompter;
    prompter.answers = {IPrompter::Answer::Ok};
    const std::optional<QString> folder = CBackupFolderCheck::accept(target + QStringLiteral("/"), prompter);
    QCOMPARE(prompter.messages, QStringList{QStringLiteral("Do you want to create this folder?\n") + target});
    QCOMPARE(prompter.messageButtons.front(), IPrompter::Buttons::OkCancelDefaultOk);
    QCOMPARE(folder, std::optional<QString>(target + QStringLiteral("/")));
    QVERIFY(QFileInfo(target).isDir());
}

void TestBackupFolder::missingFolderIsKeptOpenOnCancel()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.path() + QStringLiteral("/backups");
    CFakePrompter prompter;
    prompter.answers = {IPrompter::Answer::Cancel};
    QCOMPARE(CBackupFolderCheck::accept(target, prompter), std::nullopt);
    QCOMPARE(prompter.messages.size(), 1);
    QVERIFY(!QFileInfo::exists(target));
}

void TestBackupFolder::fileOfThatNameKeepsDialogOpen()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("notes.bk0"));
    QVERIFY(makeFile(path));
    CFakePrompter prompter;
    QCOMPARE(CBackupFolderCheck::accept(path, prompter), std::nullopt);
    QCOMPARE(prompter.messages, QStringList{QStringLiteral("This name belongs to a file, not a folder:\n") + path});
    QCOMPARE(prompter.unscriptedQuestions, 0);
    QVERIFY(QFileInfo(path).isFile());
}

void TestBackupFolder::emptyFolderIsRefused()
{
    CFakePrompter prompter;
    QCOMPARE(CBackupFolderCheck::accept(QString(), prompter), std::nullopt);
    QCOMPARE(prompter.messages, QStringList{QStringLiteral("Enter the folder for the backup copies.")});
}

void TestBackupFolder::uncreatableFolderIsReported()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A folder cannot be made below a file.
    const QString blocker = dir.filePath(QStringLiteral("plain"));
    QVERIFY(makeFile(blocker));
    const QString target = blocker + QStringLiteral("/sub");
    CFakePrompter prompter;
    prompter.answers = {IPrompter::Answer::Ok};
    QCOMPARE(CBackupFolderCheck::accept(target, prompter), std::nullopt);
    QCOMPARE(prompter.messages.size(), 2);
    QCOMPARE(prompter.messages.last(), QStringLiteral("The folder could not be created:\n") + target);
}



void TestBackupFolder::choiceMapsStoredValuesToIndices_data()
{
    QTest::addColumn<int>("versions");
    QTest::addColumn<int>("period");
    QTest::addColumn<int>("versionIndex");
    QTest::addColumn<int>("periodIndex");
    QTest::newRow("defaults") << 1 << 1 << 0 << 0;
    QTest::newRow("three days") << 3 << 3 << 2 << 1;
    QTest::newRow("week") << 6 << 7 << 5 << 2;
    QTest::newRow("two weeks") << 4 << 14 << 3 << 3;
    QTest::newRow("month") << 2 << 30 << 1 << 4;
    QTest::newRow("other period") << 2 << 5 << 1 << -1;
    QTest::newRow("count beyond list") << 9 << 1 << -1 << 0;
    QTest::newRow("count zero") << 0 << 1 << -1 << 0;
}

void TestBackupFolder::choiceMapsStoredValuesToIndices()
{
    QFETCH(int, versions);
    QFETCH(int, period);
    const CBackupSettings settings{true, QStringLiteral("/b/"), versions, period};
    const CBackupChoice choice = CBackupChoice::fromSettings(settings, QString());
    QTEST(choice.versionIndex, "versionIndex");
    QTEST(choice.periodIndex, "periodIndex");
    // Reopening and pressing OK unchanged gives back what was stored.
    QCOMPARE(choice.applyTo(settings), settings);
}


void TestBackupFolder::choiceWithoutSelectionKeepsValues()
{
    const CBackupSettings before{false, QString(), 2, 5};
    const CBackupChoice choice{true, QStringLiteral("/b/"), -1, -1};
    QCOMPARE(choice.applyTo(before), (CBackupSettings{true, QStringLiteral("/b/"), 2, 5}));
}

QTEST_GUILESS_MAIN(TestBackupFolder)
#include "tst_backupfolder.moc"
