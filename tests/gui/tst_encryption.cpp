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

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
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

// The same with any characters, one key event each.
void answerTyped(CPasswordDlg *dlg, const QString &typed)
{
    auto *edit = dlg->findChild<QLineEdit *>(QStringLiteral("password"));
    edit->selectAll();
    guitest::typeText(edit, typed);
    QTest::keyClick(edit, Qt::Key_Return);
}

// Whether `password`, as these bytes, is the key the file is sealed with.
bool sealedWith(const QString &path, const QByteArray &password)
{
    const QByteArray file = readAll(path);
    CEnvelope::Header header;
    if (CEnvelope::readHeader(file, header) != CEnvelope::HeaderStatus::Ok)
        return false;
    const auto key = CEnvelopeKey::derive(password, header.params, header.salt);
    QByteArray plain;
    return key && key->open(file, plain);
}

// A document file sealed with the key given (the costs a header may ask).
bool writeSealed(const QString &path, const CEnvelopeKey &key)
{
    CDocFixture maker;
    maker.addRootAndChild("root text", "secret child text");
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(key.seal(maker.doc->writeToBytes())) > 0;
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

    // The strong form takes any password, as UTF-8, set and opened in the window.
    void anyPasswordSealsAndOpens_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("repeated") << QStringLiteral("zz");
        QTest::newRow("euro sign") << QStringLiteral("abc\u20acdef");
        QTest::newRow("cyrillic") << QStringLiteral("\u043f\u0430\u0440\u043e\u043b\u044c");
    }
    void anyPasswordSealsAndOpens()
    {
        QFETCH(QString, password);
        CProgram p;
        const QString file = p.dir.filePath(QStringLiteral("any.tqb"));
        {
            CDocFixture maker;
            maker.addRootAndChild("root", "child words");
            QVERIFY(maker.doc->saveDocument(file));
        }
        QVERIFY(p.start(file));
        guitest::whenModalShows<CPasswordDlg>([&](CPasswordDlg *dlg) { answerTyped(dlg, password); });
        p.frame->action(QStringLiteral("password"))->trigger();
        QCOMPARE(p.doc().protection(), Protection::Encrypted);
        QVERIFY(p.doc().saveCommand());
        QVERIFY(sealedWith(file, password.toUtf8()));

        const QString copy = p.dir.filePath(QStringLiteral("copy.tqb"));
        QVERIFY(QFile::copy(file, copy));
        guitest::whenModalShows<CPasswordDlg>([&](CPasswordDlg *dlg) { answerTyped(dlg, password); });
        QVERIFY(p.app->manager().openDocumentFile(copy));
        QCOMPARE(p.doc().texts().value(1), QByteArray("child words"));
    }

    // Builds before UTF-8 sealed with the code page's bytes: the file still
    // opens, and its next save is sealed with the UTF-8 ones.
    void fileSealedWithCodePageBytesOpens()
    {
        CProgram p;
        const QString file = p.dir.filePath(QStringLiteral("older.tqb"));
        const QByteArray cp1252 = "caf\xe9\x80";  // "café€"
        const auto key = CEnvelopeKey::derive(cp1252, CEnvelope::Params{});
        QVERIFY(key && writeSealed(file, *key));
        QVERIFY(p.start());
        guitest::whenModalShows<CPasswordDlg>([&](CPasswordDlg *dlg) { answerTyped(dlg, QStringLiteral("caf\u00e9\u20ac")); });
        QVERIFY(p.app->manager().openDocumentFile(file));
        QCOMPARE(p.doc().texts().value(1), QByteArray("secret child text"));
        p.doc().setModifiedFlag(true);
        QVERIFY(p.doc().saveCommand());
        QVERIFY(sealedWith(file, QStringLiteral("caf\u00e9\u20ac").toUtf8()));
    }

    // A header asking for costly keys: the window keeps answering while the
    // key is derived, and Cancel leaves everything as a Cancel of the
    // password would, the file untouched and openable.
    void slowKeyKeepsTheWindowAnsweringAndCancelLosesNothing()
    {
        CProgram p;
        const QString slow = p.dir.filePath(QStringLiteral("slow.tqb"));
        QElapsedTimer sealing;
        sealing.start();
        // The costliest key a file may ask for: the busy window (shown after
        // 300 ms) shows on a fast machine too.
        const auto key = CEnvelopeKey::derive(kPassword, CEnvelope::Params{48, 65536});
        const qint64 deriveMs = sealing.elapsed();
        QVERIFY(key && writeSealed(slow, *key));
        const QByteArray before = readAll(slow);
        QVERIFY(p.start());

        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
        ticker.start(10);
        int ticksWhileBusy = -1;
        QString busyText;
        QElapsedTimer sinceCancel;
        guitest::whenModalShows<CPasswordDlg>([&](CPasswordDlg *dlg) {
            guitest::whenModalShowsNext<QProgressDialog>([&](QProgressDialog *busy) {
                busyText = busy->labelText();
                const int atShow = ticks;
                QTimer::singleShot(150, busy, [&, busy, atShow] {
                    ticksWhileBusy = ticks - atShow;
                    sinceCancel.start();
                    QTest::mouseClick(busy->findChild<QPushButton *>(), Qt::LeftButton);
                });
            });
            answer(dlg, QString::fromLatin1(kPassword));
        });
        QVERIFY(!p.app->manager().openDocumentFile(slow));
        QCOMPARE(busyText, QStringLiteral("Deriving the key from the password..."));
        QVERIFY2(ticksWhileBusy >= 3, qPrintable(QString::number(ticksWhileBusy)));
        QVERIFY2(sinceCancel.elapsed() < deriveMs / 2, qPrintable(QString::number(deriveMs)));
        QVERIFY(p.doc().pathName().isEmpty());
        QCOMPARE(p.doc().protection(), Protection::None);
        QCOMPARE(readAll(slow), before);

        guitest::whenModalShows<CPasswordDlg>([&](CPasswordDlg *dlg) { answer(dlg, QString::fromLatin1(kPassword)); });
        QVERIFY(p.app->manager().openDocumentFile(slow));
        QCOMPARE(p.doc().texts().value(1), QByteArray("secret child text"));
    }

    // Protection made stronger in the window: the backup copies are sealed
    // too, and the user is told.
    void strongerProtectionSealsTheBackupCopies()
    {
        CProgram p;
        const QString file = p.dir.filePath(QStringLiteral("weak.tqb"));
        const QString backups = p.dir.filePath(QStringLiteral("bk/"));
        QVERIFY(QDir().mkpath(backups));
        {
            CDocFixture maker;
            maker.addRootAndChild("root", "child words");
            QVERIFY(maker.doc->saveDocument(file));
        }
        QVERIFY(QFile::copy(file, backups + QStringLiteral("weak.bk1")));
        QVERIFY(p.start(file));
        CBackupSettings b;
        b.on = true;
        b.folder = backups;
        b.versions = 3;
        b.periodDays = 0;
        p.doc().setBackup(b);
        guitest::whenModalShows<CPasswordDlg>([&](CPasswordDlg *dlg) { answer(dlg, QStringLiteral("strong one")); });
        p.frame->action(QStringLiteral("password"))->trigger();
        QString told;
        guitest::whenModalShows<QMessageBox>([&](QMessageBox *box) {
            told = box->text();
            box->accept();
        });
        QVERIFY(p.doc().saveCommand());
        QCOMPARE(told, QStringLiteral("The backup copies of this document were encrypted with the new password as well."));
        const QStringList copies = QDir(backups).entryList(QDir::Files);
        QCOMPARE(copies, QStringList({"weak.bk0", "weak.bk2"}));  // the older one moved up
        for (const QString &copy : copies) {
            QVERIFY2(sealedWith(backups + copy, "strong one"), qPrintable(copy));
            QVERIFY(!readAll(backups + copy).contains(QByteArray("c\0h\0i\0l\0d", 9)));
        }
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
