#include "GuiTestSupport.h"
#include "common/FakePrompter.h"
#include "backup/BackupDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Fixture
{
    CFakePrompter prompter;
    CBackupDlg dlg;
    QCheckBox *backup;
    QComboBox *versions;
    QComboBox *period;
    QLineEdit *folder;
    QPushButton *overview;
    QPushButton *ok;
    QPushButton *cancel;

    explicit Fixture(const CBackupSettings &current)
        : dlg(current, QStringLiteral("/home/someone/Documents/"), prompter)
        , backup(dlg.findChild<QCheckBox *>(QStringLiteral("backup")))
        , versions(dlg.findChild<QComboBox *>(QStringLiteral("versions")))
        , period(dlg.findChild<QComboBox *>(QStringLiteral("period")))
        , folder(dlg.findChild<QLineEdit *>(QStringLiteral("folder")))
        , overview(dlg.findChild<QPushButton *>(QStringLiteral("overview")))
        , ok(dlg.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok))
        , cancel(dlg.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel))
    {
        dlg.show();
    }

    bool isComplete() const { return backup && versions && period && folder && overview && ok && cancel; }

    void typeFolder(const QString &text)
    {
        folder->setFocus();
        folder->selectAll();
        QTest::keyClicks(folder, text);
    }

    QList<bool> enabledControls() const
    {
        return {folder->isEnabled(), versions->isEnabled(), period->isEnabled(), overview->isEnabled()};
    }
};

QStringList itemsOf(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

}  // namespace

class TestBackupDlg : public QObject
{
    Q_OBJECT

private slots:
    void opensWithStoredValues();
    void opensWithProgramFolderWhenNoneSet();
    void checkBoxEnablesControls();
    void okWithExistingFolderReturnsSettings();
    void okOffersToCreateMissingFolder();
    void declinedCreationKeepsDialogOpen();
    void overviewFillsFolderField();
    void switchingOffIgnoresFolder();
    void cancelChangesNothing();
};

void TestBackupDlg::opensWithStoredValues()
{
    Fixture f(CBackupSettings{true, QStringLiteral("/srv/copies/"), 4, 14});
    QVERIFY(f.isComplete());
    QVERIFY(f.backup->isChecked());
    QCOMPARE(f.folder->text(), QStringLiteral("/srv/copies/"));
    QCOMPARE(f.folder->maxLength(), 256);
    QCOMPARE(itemsOf(f.versions), (QStringList{"1", "2", "3", "4", "5", "6"}));
    QCOMPARE(itemsOf(f.period),
             (QStringList{"Every day", "Every 3 days", "Every week", "Every 2 week", "Every month"}));
    QCOMPARE(f.versions->currentText(), QStringLiteral("4"));
    QCOMPARE(f.period->currentText(), QStringLiteral("Every 2 week"));
    QCOMPARE(f.enabledControls(), (QList<bool>{true, true, true, true}));
    QVERIFY(guitest::saveScreenshot(f.dlg, QStringLiteral("backup")));
    // Backups off show as off, their values kept for when they are turned on.
    Fixture off(CBackupSettings{false, QStringLiteral("/srv/copies/"), 4, 14});
    QVERIFY(!off.backup->isChecked());
    QCOMPARE(off.enabledControls(), (QList<bool>{false, false, false, false}));
    QCOMPARE(off.versions->currentText(), QStringLiteral("4"));
}

void TestBackupDlg::opensWithProgramFolderWhenNoneSet()
{
    Fixture f(CBackupSettings{});
    QCOMPARE(f.folder->text(), QStringLiteral("/home/someone/Documents/"));
    // A period the list does not offer shows no selection.
    Fixture odd(CBackupSettings{true, QStringLiteral("/b/"), 1, 10});
    QCOMPARE(odd.period->currentIndex(), -1);
}

void TestBackupDlg::checkBoxEnablesControls()
{
    Fixture f(CBackupSettings{});
    QVERIFY(!f.backup->isChecked());
    QCOMPARE(f.enabledControls(), (QList<bool>{false, false, false, false}));
    QVERIFY(guitest::saveScreenshot(f.dlg, QStringLiteral("backup-off")));
    guitest::clickCheckBox(f.backup);
    QCOMPARE(f.enabledControls(), (QList<bool>{true, true, true, true}));
    guitest::clickCheckBox(f.backup);
    QCOMPARE(f.enabledControls(), (QList<bool>{false, false, false, false}));
}

void TestBackupDlg::okWithExistingFolderReturnsSettings()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const CBackupSettings before{false, QString(), 1, 1};
    Fixture f(before);
    guitest::clickCheckBox(f.backup);  // backups were off
    f.typeFolder(dir.path());
    QTest::keyClick(f.versions, Qt::Key_Down);
    QTest::keyClick(f.versions, Qt::Key_Down);
    QTest::keyClick(f.period, Qt::Key_End);
    QTest::mouseClick(f.ok, Qt::LeftButton);

    QVERIFY(f.prompter.messages.isEmpty());
    QCOMPARE(f.dlg.QDialog::result(), int(QDialog::Accepted));
    QCOMPARE(f.dlg.result(before), (CBackupSettings{true, dir.path() + QStringLiteral("/"), 3, 30}));
}

void TestBackupDlg::okOffersToCreateMissingFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.path() + QStringLiteral("/copies");
    Fixture f(CBackupSettings{});
    guitest::clickCheckBox(f.backup);
    f.prompter.answers = {IPrompter::Answer::Ok};
    f.typeFolder(target + QStringLiteral("/"));
    QTest::keyClick(f.folder, Qt::Key_Return);

    QCOMPARE(f.prompter.messages, QStringList{QStringLiteral("Do you want to create this folder?\n") + target});
    QCOMPARE(f.prompter.messageButtons, QList<IPrompter::Buttons>{IPrompter::Buttons::OkCancelDefaultOk});
    QVERIFY(QFileInfo(target).isDir());
    QCOMPARE(f.dlg.QDialog::result(), int(QDialog::Accepted));
    QCOMPARE(f.dlg.result(CBackupSettings{}).folder, target + QStringLiteral("/"));
}

void TestBackupDlg::declinedCreationKeepsDialogOpen()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.path() + QStringLiteral("/copies");
    Fixture f(CBackupSettings{});
    guitest::clickCheckBox(f.backup);
    f.prompter.answers = {IPrompter::Answer::Cancel};
    f.typeFolder(target);
    QTest::mouseClick(f.ok, Qt::LeftButton);

    QCOMPARE(f.prompter.messages.size(), 1);
    QVERIFY(f.dlg.isVisible());
    QVERIFY(!QFileInfo::exists(target));
    QCOMPARE(f.folder->text(), target);

    // Changing the answer on a second OK closes it.
    f.prompter.answers = {IPrompter::Answer::Ok};
    QTest::mouseClick(f.ok, Qt::LeftButton);
    QVERIFY(!f.dlg.isVisible());
    QVERIFY(QFileInfo(target).isDir());
}

void TestBackupDlg::overviewFillsFolderField()
{
    Fixture f(CBackupSettings{true, QStringLiteral("/old/"), 1, 1});
    f.prompter.folderAnswers = {QStringLiteral("/chosen/place/"), QString()};
    QTest::mouseClick(f.overview, Qt::LeftButton);
    QCOMPARE(f.prompter.chooserTitles, QStringList{QStringLiteral("Select folder")});
    QCOMPARE(f.folder->text(), QStringLiteral("/chosen/place"));
    // Cancelling the folder browser leaves the field alone.
    QTest::mouseClick(f.overview, Qt::LeftButton);
    QCOMPARE(f.folder->text(), QStringLiteral("/chosen/place"));
}

void TestBackupDlg::switchingOffIgnoresFolder()
{
    const CBackupSettings before{true, QStringLiteral("/gone/for/good/"), 5, 7};
    Fixture f(before);
    guitest::clickCheckBox(f.backup);
    QTest::mouseClick(f.ok, Qt::LeftButton);
    QVERIFY(f.prompter.messages.isEmpty());
    QCOMPARE(f.dlg.QDialog::result(), int(QDialog::Accepted));
    QCOMPARE(f.dlg.result(before), (CBackupSettings{false, QStringLiteral("/gone/for/good/"), 5, 7}));
}

void TestBackupDlg::cancelChangesNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const CBackupSettings before{false, QStringLiteral("/x/"), 2, 3};
    Fixture f(before);
    f.typeFolder(dir.path());
    QTest::mouseClick(f.cancel, Qt::LeftButton);
    QVERIFY(!f.dlg.isVisible());
    QCOMPARE(f.dlg.result(before), before);
}

QTEST_MAIN(TestBackupDlg)
#include "tst_backupdlg.moc"
