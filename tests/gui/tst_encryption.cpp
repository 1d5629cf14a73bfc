// Encrypted documents in the program: the password dialog's choice, the
// wrong-password flow when opening, Restore, and the lock after idle time.
#include "DocFixture.h"
#include "GuiTestSupport.h"
#include "app/DocManager.h"
#include "app/IdleLock.h"
#include "app/MainFrame.h"
#include "app/MainToolBar.h"
#include "app/TorviQuillbookApp.h"
#include "crypto/Envelope.h"
#include "password/PasswordDlg.h"
#include "doc/TorviQuillbookDoc.h"
#include "reminders/ReminderChecker.h"
#include "tree/InfoTree.h"
#include "tree/LeftView.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QSplitter>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray kPassword = "right pass";

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Types into the dialog's password field and presses Return, or cancels.
void answer(CPasswordDlg *dlg, const QString &typed)
{
    auto *edit = dlg->findChild<QLineEdit *>(QStringLiteral("password"));
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key_Return);
}

struct CProgram : guitest::CProgramInFolder
{
    QString path;

    // An encrypted file to open, and settings for the program not yet started.
    explicit CProgram(const std::function<void(CSettings &)> &configure = {})
    {
        path = dir.filePath(QStringLiteral("sealed.tqb"));
        CDocFixture maker;
        maker.addRootAndChild("root text", "secret child text");
        if (!maker.doc->setPassword(kPassword, Protection::Encrypted) || !maker.doc->saveDocument(path))
            path.clear();
        if (configure) {
            QSettings store(dir.filePath(QStringLiteral("app.ini")), QSettings::IniFormat);
            CSettings settings(store);
            configure(settings);
        }
    }
};

}  // namespace

class TestEncryptionGui : public QObject
{
    Q_OBJECT

private slots:
    void wrongPasswordIsRefusedAndAskedAgain_data()
    {
        QTest::addColumn<bool>("thenRight");
        QTest::newRow("then the right one") << true;
        QTest::newRow("then Cancel") << false;
    }
    void wrongPasswordIsRefusedAndAskedAgain()
    {
        QFETCH(bool, thenRight);
        CProgram p;
        QVERIFY(!p.path.isEmpty());
        QVERIFY(p.start());
        bool choiceShown = true;
        QString refusal;
        int asked = 0;
        guitest::whenModalShows<CPasswordDlg>([&](CPasswordDlg *dlg) {
            ++asked;
            choiceShown = dlg->findChild<QWidget *>(QStringLiteral("protection"))->isVisible();
            guitest::whenModalShowsNext<QMessageBox>([&](QMessageBox *box) {
                refusal = box->text();
                guitest::whenModalShowsNext<CPasswordDlg>([&](CPasswordDlg *again) {
                    ++asked;
                    if (thenRight)
                        answer(again, QString::fromLatin1(kPassword));
                    else
                        again->reject();
                });
                box->accept();
            });
            answer(dlg, QStringLiteral("wrong pass"));
        });
        const bool opened = p.app->manager().openDocumentFile(p.path);
        QCOMPARE(asked, 2);
        QVERIFY(!choiceShown);  // the file decides its form
        QCOMPARE(refusal, QStringLiteral("The password is wrong, or the file was changed or cut short."));
        QCOMPARE(opened, thenRight);
        if (thenRight) {
            QCOMPARE(p.doc().texts().value(1), QByteArray("secret child text"));
            QCOMPARE(p.frame->passwordPane()->text(), QStringLiteral("Encrypted"));
            QVERIFY(p.frame->windowTitle().contains(QStringLiteral("sealed")));
        } else {
            QCOMPARE(p.doc().count(), 0);
            QVERIFY(p.doc().pathName().isEmpty());
            QCOMPARE(p.frame->passwordPane()->text(), QStringLiteral(" No password protection  "));
        }
    }

    // While the password of the next file is asked, the tree still shows the
    // names of the document on the screen, not empty rows.
    void namesStayInSightWhileThePasswordIsAsked()
    {
        CProgram p;
        QVERIFY(!p.path.isEmpty());
        const QString shown = p.dir.filePath(QStringLiteral("shown.tqb"));
        CDocFixture maker;
        maker.addRootAndChild();
        QVERIFY(maker.doc->saveDocument(shown));
        QVERIFY(p.start(shown));
        QAbstractItemModel *model = p.frame->itemView()->model();
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("Root"));
        QString behind = QStringLiteral("<not asked>");
        guitest::whenModalShows<CPasswordDlg>([&](CPasswordDlg *dlg) {
            behind = model->index(0, 0).data().toString();
            answer(dlg, QString::fromLatin1(kPassword));
        });
        QVERIFY(p.app->manager().openDocumentFile(p.path));
        QCOMPARE(behind, QStringLiteral("Root"));
        QCOMPARE(p.doc().texts().value(1), QByteArray("secret child text"));
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("Root"));
        // Built again from the new document: a name written in the tree is the document's.
        CTreeModel &tree = p.frame->itemView()->infoTree().model();
        tree.setLabel(tree.firstRoot(), "Renamed");
        QCOMPARE(p.doc().titles().value(0), QByteArray("Renamed"));
    }

    void newPasswordDefaultsToStrongEncryption()
    {
        CProgram p;
        QTemporaryDir dir;
        const QString plain = dir.filePath(QStringLiteral("plain.tqb"));
        {
            CDocFixture maker;
            maker.addRootAndChild("root", "child words");
            QVERIFY(maker.doc->saveDocument(plain));
        }
        QVERIFY(p.start(plain));
        QVERIFY(p.doc().m_nCurItem >= 0);
        bool strongFirst = false;
        QStringList notes;
        guitest::whenModalShows<CPasswordDlg>([&](CPasswordDlg *dlg) {
            strongFirst = dlg->findChild<QRadioButton *>(QStringLiteral("strong"))->isChecked();
            for (const char *name : {"strongNote", "compatibleNote"})
                notes << dlg->findChild<QLabel *>(QString::fromLatin1(name))->text();
            guitest::saveScreenshot(*dlg, QStringLiteral("password-choice"));
            answer(dlg, QStringLiteral("new secret"));
        });
        p.frame->action(QStringLiteral("password"))->trigger();
        QVERIFY(strongFirst);
        QCOMPARE(notes, (QStringList{QString::fromLatin1(CPasswordDlg::kStrongNote),
                                     QString::fromLatin1(CPasswordDlg::kCompatibleNote)}));
        QCOMPARE(p.doc().protection(), Protection::Encrypted);
        QCOMPARE(p.frame->passwordPane()->text(), QStringLiteral("Encrypted"));
        QVERIFY(p.doc().saveCommand());
        QVERIFY(CEnvelope::isEnvelope(readAll(plain)));
        QVERIFY(!readAll(plain).contains("child words"));

        // The form stays unless the other choice is made.
        bool strongKept = false;
        guitest::whenModalShows<CPasswordDlg>([&](CPasswordDlg *dlg) {
            strongKept = dlg->findChild<QRadioButton *>(QStringLiteral("strong"))->isChecked();
            QTest::mouseClick(dlg->findChild<QRadioButton *>(QStringLiteral("compatible")), Qt::LeftButton);
            QTest::keyClick(dlg->findChild<QLineEdit *>(QStringLiteral("password")), Qt::Key_Return);
        });
        p.frame->action(QStringLiteral("password"))->trigger();
        QVERIFY(strongKept);
        QCOMPARE(p.doc().protection(), Protection::Compatible);
        QCOMPARE(p.frame->passwordPane()->text(), QStringLiteral("    Password protected  "));
        QVERIFY(p.doc().saveCommand());
        QVERIFY(!CEnvelope::isEnvelope(readAll(plain)));
    }

    void restoreAsksForThePassword()
    {
        CProgram p;
        const QString backups = p.dir.filePath(QStringLiteral("bk/"));
        QVERIFY(QDir().mkpath(backups));
        QVERIFY(QFile::copy(p.path, backups + QStringLiteral("sealed.bk0")));
        QVERIFY(p.start());
        CBackupSettings b;
        b.on = true;
        b.folder = backups;
        p.doc().setBackup(b);
        int asked = 0;
        guitest::whenModalShows<CPasswordDlg>([&](CPasswordDlg *dlg) {
            ++asked;
            answer(dlg, QString::fromLatin1(kPassword));
        });
        QVERIFY(p.app->manager().restore(QStringLiteral("sealed.bk0")));
        QCOMPARE(asked, 1);
        QCOMPARE(p.doc().texts().value(1), QByteArray("secret child text"));
        QCOMPARE(p.doc().protection(), Protection::Encrypted);
        QVERIFY(p.doc().isModified());
    }

    void lockAfterIdleSavesHidesAndAsks()
    {
        CProgram p;
        int asked = 0;
        guitest::whenModalShows<CPasswordDlg>([&](CPasswordDlg *dlg) {
            ++asked;
            answer(dlg, QString::fromLatin1(kPassword));
        });
        QVERIFY(p.start(p.path));
        QCOMPARE(asked, 1);
        CMainFrame &frame = *p.frame;
        QVERIFY(frame.reminderChecker()->isActive());
        p.doc().setText(1, "typed before the lock");
        p.doc().setModifiedFlag(true);
        const QByteArray before = readAll(p.path);

        // Locked: saved, the notes out of view, the reminders paused, and
        // the password asked; a wrong one is refused.
        bool hidden = false;
        bool paused = false;
        bool passwordCommandOff = false;
        QStringList enabledButtons;
        QString refusal;
        guitest::whenModalShowsNext<CPasswordDlg>([&](CPasswordDlg *dlg) {
            ++asked;
            hidden = frame.centralWidget() == frame.lockPage() && !frame.splitter()->isVisible();
            paused = !frame.reminderChecker()->isActive();
            passwordCommandOff = !frame.action(QStringLiteral("password"))->isEnabled();
            for (QAction *a : frame.toolBar()->actions()) {
                if (!a->isSeparator() && a->isEnabled())
                    enabledButtons << a->objectName() + a->text();
            }
            guitest::saveScreenshot(frame, QStringLiteral("locked-window"));
            guitest::whenModalShowsNext<QMessageBox>([&](QMessageBox *box) {
                refusal = box->text();
                guitest::whenModalShowsNext<CPasswordDlg>([&](CPasswordDlg *again) {
                    ++asked;
                    answer(again, QString::fromLatin1(kPassword));
                });
                box->accept();
            });
            answer(dlg, QStringLiteral("wrong pass"));
        });
        frame.idleLock().setMinutes(1);
        frame.idleLock().setIntervalForTesting(300);
        QTRY_COMPARE_WITH_TIMEOUT(asked, 3, 20000);
        QVERIFY(hidden);
        QVERIFY(paused);
        QVERIFY(passwordCommandOff);
        QCOMPARE(enabledButtons, QStringList());
        QCOMPARE(refusal, QString::fromLatin1(CIdleLock::kWrongPassword));
        QVERIFY(readAll(p.path) != before);
        QVERIFY(CEnvelope::isEnvelope(readAll(p.path)));
        QVERIFY(!p.doc().isModified());
        QTRY_VERIFY(!frame.idleLock().isLocked());
        QCOMPARE(frame.centralWidget(), frame.splitter());
        QVERIFY(frame.splitter()->isVisible());
        QVERIFY(frame.reminderChecker()->isActive());
        QCOMPARE(p.doc().texts().value(1), QByteArray("typed before the lock"));
        frame.idleLock().setMinutes(0);

        CDocFixture reader;
        reader.prompter.passwordAnswers = {{true, kPassword, false, false}};
        QVERIFY(reader.doc->openDocument(p.path));
        QCOMPARE(reader.doc->texts().value(1), QByteArray("typed before the lock"));
    }
};

QTEST_MAIN(TestEncryptionGui)
#include "tst_encryption.moc"
