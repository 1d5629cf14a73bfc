// The program as a person uses it: start-up, selecting an item, changing the
// password, saving, and closing with unsaved changes.
#include "GuiTestSupport.h"
#include "app/AppIdentity.h"
#include "app/MainFrame.h"
#include "app/TorviQuillbookApp.h"
#include "about/AboutDlg.h"
#include "backup/BackupDlg.h"
#include "password/PasswordDlg.h"
#include "backup/RestoreDlg.h"
#include "doc/DocumentFile.h"
#include "doc/PasswordCheck.h"
#include "doc/TorviQuillbookDoc.h"
#include "editor/TorviQuillbookView.h"
#include "import/ImportPlaceDlg.h"
#include "reminders/ReminderChecker.h"
#include "reminders/ReminderPopupDlg.h"
#include "reminders/Reminders.h"
#include "tree/LeftView.h"
#include "DocFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

std::unique_ptr<QSettings> settingsIn(const QTemporaryDir &dir)
{
    return std::make_unique<QSettings>(dir.filePath(QStringLiteral("app.ini")), QSettings::IniFormat);
}

QString makeDocument(const QString &path, const QByteArray &password = {})
{
    CDocFixture f;
    f.addRootAndChild("root text", "child text");
    f.doc->setPassword(password);
    return f.doc->saveDocument(path) ? path : QString();
}

QModelIndex itemTitled(CLeftView *tree, const QString &title)
{
    const QModelIndexList found = tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole, title, 1,
                                                       Qt::MatchExactly | Qt::MatchRecursive | Qt::MatchWrap);
    return found.isEmpty() ? QModelIndex() : found.first();
}

void clickItem(CLeftView *tree, const QModelIndex &item)
{
    tree->scrollTo(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, tree->visualRect(item).center());
}

// Answers the modal windows of a session in turn: each password dialog takes
// the next password (none left: Cancel), each message box is noted and closed.
class ModalAnswers : public QObject
{
public:
    explicit ModalAnswers(QStringList passwords) : m_passwords(std::move(passwords))
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswers::answer);
        m_timer.start(10);
    }

    QStringList messages;
    int passwordDialogs = 0;
    bool pressEnter = false;  // answer message boxes as Enter does, not No

private:
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *dlg = qobject_cast<CPasswordDlg *>(modal)) {
            ++passwordDialogs;
            if (m_passwords.isEmpty()) {
                dlg->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->click();
                return;
            }
            auto *edit = dlg->findChild<QLineEdit *>(QStringLiteral("password"));
            edit->clear();
            QTest::keyClicks(edit, m_passwords.takeFirst());
            QTest::keyClick(edit, Qt::Key_Return);
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            messages.append(box->text());
            QAbstractButton *ok = box->button(QMessageBox::Ok);
            if (pressEnter)
                QTest::keyClick(box, Qt::Key_Return);
            else
                (ok ? ok : box->button(QMessageBox::No))->click();
        }
    }

    QStringList m_passwords;
    QTimer m_timer;
};

// Sets an environment variable for a test and puts the old value back.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const QString &value) : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        qputenv(name, QFile::encodeName(value));
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

// A folder nobody may write into while it lives, the test itself included:
// as root the thread gives up its right to write anywhere meanwhile.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &folder) : m_folder(folder)
    {
        if (m_folder.isEmpty())
            return;
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
#ifdef Q_OS_LINUX
        syscall(SYS_capget, &m_header, m_saved);
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        syscall(SYS_capset, &m_header, reduced);
#endif
    }
    ~ReadOnlyFolder()
    {
        if (m_folder.isEmpty())
            return;
#ifdef Q_OS_LINUX
        syscall(SYS_capset, &m_header, m_saved);
#endif
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

private:
    QString m_folder;
#ifdef Q_OS_LINUX
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
#endif
};

}  // namespace

class TestMainFrame : public QObject
{
    Q_OBJECT

private slots:
    // Each entry of the File menu has its own mnemonic (recent documents are
    // numbered instead).
    void fileMenuEntriesHaveMnemonics()
    {
        QTemporaryDir dir;
        CTorviQuillbookApp app(settingsIn(dir));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook")}));
        auto *file = app.mainFrame()->menuBar()->findChild<QMenu *>(QStringLiteral("menuFile"));
        QSet<QChar> letters;
        for (const QAction *a : file->actions()) {
            if (a->isSeparator() || a->objectName().startsWith(QLatin1String("recentFile")))
                continue;
            const qsizetype at = a->text().indexOf(QLatin1Char('&'));
            QVERIFY2(at >= 0 && at + 1 < a->text().size(), qPrintable(a->text()));
            const QChar letter = a->text()[at + 1].toLower();
            QVERIFY2(!letters.contains(letter), qPrintable(a->text()));
            letters.insert(letter);
        }
        QCOMPARE(letters.size(), 10);
    }

    void startsWithAnUntitledDocument()
    {
        QTemporaryDir dir;
        CTorviQuillbookApp app(settingsIn(dir));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook")}));
        CMainFrame *frame = app.mainFrame();
        QCOMPARE(frame->windowTitle(), QStringLiteral("Untitled - Torvi Quillbook"));
        QVERIFY(!frame->action(QStringLiteral("fileSaveAs"))->isEnabled());
        QVERIFY(!frame->action(QStringLiteral("password"))->isEnabled());
        QVERIFY(!frame->action(QStringLiteral("restore"))->isEnabled());
        const auto labels = frame->statusBar()->findChildren<QLabel *>();
        QVERIFY(std::any_of(labels.begin(), labels.end(),
                            [](QLabel *l) { return l->text() == QStringLiteral(" No password protection  "); }));
    }

    void openSelectProtectAndSave()
    {
        QTemporaryDir dir;
        const QString path = makeDocument(dir.filePath(QStringLiteral("notes.tqb")));
        QVERIFY(!path.isEmpty());
        CTorviQuillbookApp app(settingsIn(dir));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook"), path}));
        CMainFrame *frame = app.mainFrame();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        QCOMPARE(frame->windowTitle(), QStringLiteral("notes.tqb - Torvi Quillbook"));

        CLeftView *tree = frame->itemView();
        tree->expandAll();
        const QModelIndex child = itemTitled(tree, QStringLiteral("Child"));
        QVERIFY(child.isValid());
        clickItem(tree, child);
        QCOMPARE(frame->findChild<QPlainTextEdit *>(QStringLiteral("note"))->toPlainText(),
                 QStringLiteral("Child\n\nchild text"));
        QVERIFY(frame->action(QStringLiteral("fileSaveAs"))->isEnabled());
        QVERIFY(frame->action(QStringLiteral("password"))->isEnabled());

        guitest::whenModalShows<CPasswordDlg>([](CPasswordDlg *dlg) {
            auto *edit = dlg->findChild<QLineEdit *>(QStringLiteral("password"));
            QTest::keyClicks(edit, QStringLiteral("ab"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        frame->action(QStringLiteral("password"))->trigger();
        CTorviQuillbookDoc &doc = app.document();
        QVERIFY(doc.hasPassword());
        QVERIFY(doc.isModified());
        const auto labels = frame->statusBar()->findChildren<QLabel *>();
        QVERIFY(std::any_of(labels.begin(), labels.end(),
                            [](QLabel *l) { return l->text() == QStringLiteral("Encrypted"); }));  // a new password's default
        guitest::saveScreenshot(*frame, QStringLiteral("mainframe"));

        QVERIFY(frame->action(QStringLiteral("fileSave"))->isEnabled());
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        QTest::keyClick(tree, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!doc.isModified());

        CDocFixture reader;
        reader.prompter.passwordAnswers = {{true, "ab", false}};
        QVERIFY(reader.doc->openDocument(path));
        QCOMPARE(reader.doc->texts(), (QList<QByteArray>{"root text", "child text"}));
    }

    // Typing a bare name with the text filter: the extension is added and the
    // existing file with that final name is not replaced without a Yes.
    void saveAsAsksAboutTheFinalName()
    {
        QTemporaryDir dir;
        const QString path = makeDocument(dir.filePath(QStringLiteral("notes.tqb")));
        QFile victim(dir.filePath(QStringLiteral("victim.txt")));
        QVERIFY(victim.open(QIODevice::WriteOnly));
        victim.write("keep me");
        victim.close();
        CTorviQuillbookApp app(settingsIn(dir));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook"), path}));
        CMainFrame *frame = app.mainFrame();
        // The first item is selected on opening, so Save As is there at once.
        QVERIFY(frame->action(QStringLiteral("fileSaveAs"))->isEnabled());

        QString asked;
        int fileDialogs = 0;
        std::function<void(QFileDialog *)> typeVictim = [&](QFileDialog *dialog) {
            ++fileDialogs;
            if (fileDialogs > 1) {
                dialog->reject();  // back in the chooser after No: give up
                return;
            }
            // It opens in the document's folder with the text filter first.
            QCOMPARE(dialog->selectedNameFilter(), QStringLiteral("Text Files (*.txt)"));
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->selectAll();
            QTest::keyClicks(name, QStringLiteral("victim"));
            guitest::whenModalShowsNext<QMessageBox>([&](QMessageBox *box) {
                asked = box->text();
                guitest::whenModalShowsNext<QFileDialog>(typeVictim);
                box->button(QMessageBox::No)->click();
            });
            auto *buttons = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
            QVERIFY(buttons);
            QTest::mouseClick(buttons->button(QDialogButtonBox::Save), Qt::LeftButton);
        };
        guitest::whenModalShows<QFileDialog>(typeVictim);
        frame->action(QStringLiteral("fileSaveAs"))->trigger();
        QCOMPARE(asked, QStringLiteral("victim.txt already exists.\nDo you want to replace it?"));
        QCOMPARE(fileDialogs, 2);
        QVERIFY(victim.open(QIODevice::ReadOnly));
        QCOMPARE(victim.readAll(), QByteArray("keep me"));
    }

    // A wrong password at opening is told and asked again, never shown as garbage.
    void wrongPasswordIsAskedAgain()
    {
        QTemporaryDir dir;
        const QString path = makeDocument(dir.filePath(QStringLiteral("p.tqb")), "right");
        CTorviQuillbookApp app(settingsIn(dir));
        QStringList told;
        std::function<void(CPasswordDlg *)> type = [&](CPasswordDlg *dlg) {
            auto *edit = dlg->findChild<QLineEdit *>(QStringLiteral("password"));
            edit->selectAll();
            QTest::keyClicks(edit, told.isEmpty() ? QStringLiteral("wrong") : QStringLiteral("right"));
            QTest::keyClick(edit, Qt::Key_Return);
            if (told.isEmpty()) {
                guitest::whenModalShows<QMessageBox>([&](QMessageBox *box) {
                    told.append(box->text());
                    guitest::whenModalShows<CPasswordDlg>(type);
                    box->button(QMessageBox::Ok)->click();
                });
            }
        };
        guitest::whenModalShows<CPasswordDlg>(type);
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook"), path}));
        QCOMPARE(told, QStringList{QStringLiteral("The password seems to be wrong: the document does not read "
                                                  "correctly with it.")});
        QCOMPARE(app.document().texts(), (QList<QByteArray>{"root text", "child text"}));
        QCOMPARE(app.mainFrame()->itemView()->model()->index(0, 0).data().toString(), QStringLiteral("Root"));
    }

    // A due reminder in the running program: the popup at the next check,
    // and "Show the note" selects the note in the tree.
    void dueReminderShowsTheNote()
    {
        QTemporaryDir dir;
        CDocFixture f;
        f.addRootAndChild("root text", "call the bank");
        f.doc->appendItem("Other", "", 1, CNoteInfo{});
        f.doc->appendToOrder(2);
        CReminder due;
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        due.mode = CReminder::kTill;
        due.moment = now + 3600;
        due.lead = 7200;
        due.start = now - 60;
        due.end = now + 3600;
        QVERIFY(Reminders::set(*f.doc, 1, due));
        const QString path = dir.filePath(QStringLiteral("due.tqb"));
        QVERIFY(f.doc->saveDocument(path));

        CTorviQuillbookApp app(settingsIn(dir));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook"), path}));
        CMainFrame *frame = app.mainFrame();
        QCOMPARE(app.document().m_nCurItem, 0);
        QString title;
        guitest::whenModalShows<CReminderPopupDlg>([&](CReminderPopupDlg *popup) {
            title = popup->findChild<QLabel *>(QStringLiteral("title"))->text();
            QTest::mouseClick(popup->findChild<QPushButton *>(QStringLiteral("show")), Qt::LeftButton);
        });
        frame->reminderChecker()->check();
        QCOMPARE(title, QStringLiteral("Child"));
        QCOMPARE(app.document().m_nCurItem, 1);
        QCOMPARE(app.document().m_strCurText, QByteArray("call the bank"));
    }

    // File > Import > Text through the menu into a new document, then Edit >
    // Undo takes the whole import away again.
    void importTextIntoANewDocumentThenUndo()
    {
        QTemporaryDir dir;
        const QString path = makeDocument(dir.filePath(QStringLiteral("old.tqb")));
        QFile text(dir.filePath(QStringLiteral("Recipes.txt")));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("Soup\r\nwater, salt\r\n***\r\nBread\r\nflour\r\n");
        text.close();
        CTorviQuillbookApp app(settingsIn(dir));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook"), path}));
        CMainFrame *frame = app.mainFrame();

        guitest::whenModalShows<CImportPlaceDlg>([&](CImportPlaceDlg *dlg) {
            QTest::mouseClick(dlg->button(CImportPlaceDlg::kNewDocument), Qt::LeftButton);
            guitest::whenModalShowsNext<QFileDialog>([&](QFileDialog *files) {
                auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                name->selectAll();
                // It opens in the folder of the document last read.
                QCOMPARE(QDir(files->directory()).absolutePath(), QDir(dir.path()).absolutePath());
                QTest::keyClicks(name, QStringLiteral("Recipes.txt"));
                QTest::mouseClick(files->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))
                                      ->button(QDialogButtonBox::Open),
                                  Qt::LeftButton);
            });
            dlg->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        frame->action(QStringLiteral("importText"))->trigger();
        CTorviQuillbookDoc &doc = app.document();
        QCOMPARE(doc.title(), QStringLiteral("Untitled"));
        QCOMPARE(doc.titles(), (QList<QByteArray>{"Recipes", "Soup", "Bread"}));

        guitest::whenModalShowsNext<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::Ok)->click(); });
        frame->itemView()->setFocus();
        QVERIFY(frame->action(QStringLiteral("editUndo"))->isEnabled());
        frame->action(QStringLiteral("editUndo"))->trigger();
        QVERIFY(doc.order().isEmpty());
    }

    // File > Export > Markdown folder into an empty folder picked in the
    // folder dialog, then File > Import > Markdown folder as a root folder:
    // the same items come back, and Edit > Undo takes them away again.
    void markdownFolderOutAndBackThroughTheMenus()
    {
        QTemporaryDir dir;
        const QString path = makeDocument(dir.filePath(QStringLiteral("old.tqb")));
        const QString folder = dir.filePath(QStringLiteral("md"));
        QVERIFY(QDir().mkdir(folder));
        CTorviQuillbookApp app(settingsIn(dir));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook"), path}));
        CMainFrame *frame = app.mainFrame();
        const auto pickFolder = [folder](QFileDialog *files) {
            QCOMPARE(files->fileMode(), QFileDialog::Directory);
            auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            name->selectAll();
            files->setDirectory(QFileInfo(folder).absolutePath());
            QTest::keyClicks(name, QFileInfo(folder).fileName());
            QTest::mouseClick(files->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Open),
                              Qt::LeftButton);
        };
        guitest::whenModalShows<QFileDialog>(pickFolder);
        frame->action(QStringLiteral("exportMarkdown"))->trigger();
        QVERIFY(QFile::exists(folder + QStringLiteral("/Root.md")));
        QVERIFY(QFile::exists(folder + QStringLiteral("/Root/Child.md")));

        guitest::whenModalShows<CImportPlaceDlg>([&](CImportPlaceDlg *dlg) {
            QTest::mouseClick(dlg->button(CImportPlaceDlg::kAsRoot), Qt::LeftButton);
            guitest::whenModalShowsNext<QFileDialog>(pickFolder);
            dlg->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        frame->action(QStringLiteral("importMarkdown"))->trigger();
        CTorviQuillbookDoc &doc = app.document();
        QCOMPARE(doc.titles(), (QList<QByteArray>{"Root", "Child", "md", "Root", "Child"}));
        QCOMPARE(doc.texts().mid(3), (QList<QByteArray>{"root text", "child text"}));
        QCOMPARE(doc.order(), (QList<quint32>{0, 1, 2, 3, 4}));

        QString asked;
        guitest::whenModalShows<QMessageBox>([&asked](QMessageBox *box) {
            asked = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        frame->itemView()->setFocus();
        frame->action(QStringLiteral("editUndo"))->trigger();
        QCOMPARE(asked, QString::fromLatin1(CInfoTree::kMsgDeleteWarning));
        QCOMPARE(doc.order(), (QList<quint32>{0, 1}));
    }

    void closingAsksAboutUnsavedChanges()
    {
        QTemporaryDir dir;
        const QString path = makeDocument(dir.filePath(QStringLiteral("c.tqb")));
        CTorviQuillbookApp app(settingsIn(dir));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook"), path}));
        CMainFrame *frame = app.mainFrame();
        app.document().setModifiedFlag(true);

        QString asked;
        guitest::whenModalShows<QMessageBox>([&](QMessageBox *box) {
            asked = box->text();
            box->button(QMessageBox::Cancel)->click();
        });
        QVERIFY(!frame->close());
        QCOMPARE(asked, QStringLiteral("Save changes to c.tqb?"));
        QVERIFY(frame->isVisible());

        guitest::whenModalShows<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::No)->click(); });
        QVERIFY(frame->close());
    }

    // Files dropped anywhere on the window open as the document, the note
    // pane included (Qt offers file URLs as text too); plain text dropped on
    // the note is typed into it.
    void droppedFileOpensAsTheDocument_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("window") << QStringLiteral("window");
        QTest::newRow("tree") << QStringLiteral("tree");
        QTest::newRow("note") << QStringLiteral("note");
    }

    void droppedFileOpensAsTheDocument()
    {
        QFETCH(QString, target);
        QTemporaryDir dir;
        const QString first = makeDocument(dir.filePath(QStringLiteral("first.tqb")));
        const QString dropped = makeDocument(dir.filePath(QStringLiteral("dropped.tqb")));
        QFile firstFile(first);
        QVERIFY(firstFile.open(QIODevice::ReadOnly));
        const QByteArray firstBytes = firstFile.readAll();
        firstFile.close();
        auto store = settingsIn(dir);
        store->setValue(QStringLiteral("Settings/AutoSave"), 1);
        CTorviQuillbookApp app(std::move(store));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook"), first}));
        CMainFrame *frame = app.mainFrame();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        QCOMPARE(app.document().m_strCurTitle, QByteArray("Root"));
        QVERIFY(frame->noteView()->isEnabled());

        QWidget *receiver = frame;
        if (target == QLatin1String("tree"))
            receiver = frame->itemView()->viewport();
        else if (target == QLatin1String("note"))
            receiver = frame->noteView()->viewport();
        const QPoint at = receiver->rect().center();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(dropped)});
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(receiver, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(receiver, &drop);

        QCOMPARE(frame->windowTitle(), QStringLiteral("dropped.tqb - Torvi Quillbook"));
        QVERIFY(itemTitled(frame->itemView(), QStringLiteral("Root")).isValid());
        // Leaving the first document saved it as it was: nothing was typed in.
        QVERIFY(firstFile.open(QIODevice::ReadOnly));
        QCOMPARE(firstFile.readAll(), firstBytes);
    }

    void droppedTextGoesIntoTheNote()
    {
        QTemporaryDir dir;
        const QString path = makeDocument(dir.filePath(QStringLiteral("notes.tqb")));
        CTorviQuillbookApp app(settingsIn(dir));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook"), path}));
        CMainFrame *frame = app.mainFrame();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        QCOMPARE(app.document().m_strCurTitle, QByteArray("Root"));
        CTorviQuillbookView *note = frame->noteView();
        QTextCursor end = note->textCursor();
        end.movePosition(QTextCursor::End);
        const QPoint at = note->cursorRect(end).center();

        QMimeData data;
        data.setText(QStringLiteral(" and more"));
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(note->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(note->viewport(), &drop);
        QCOMPARE(note->toPlainText(), QStringLiteral("Root\n\nroot text and more"));
        QCOMPARE(frame->windowTitle(), QStringLiteral("notes.tqb - Torvi Quillbook"));
        QVERIFY(app.document().isModified());
    }

    // "Open the file at start" with a protected last file: a password not
    // given starts the program with an empty document and keeps the file
    // first in the list; a file that does not read as a document ends the
    // start and leaves the list. A file named on the command line (a file
    // manager's double-click) whose password is not given starts empty too.
    void lastFileAtStartWithoutItsPassword_data()
    {
        QTest::addColumn<QStringList>("passwords");
        QTest::addColumn<bool>("isDocument");
        QTest::addColumn<bool>("commandLine");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("cancelled") << QStringList() << true << false << QStringList();
        QTest::newRow("cancelled after a wrong one")
            << QStringList{QStringLiteral("wrong")} << true << false
            << QStringList{QString::fromLatin1(CPasswordCheck::kSeemsWrong)};
        QTest::newRow("refused") << QStringList{QStringLiteral("wrong"), QStringLiteral("wrong")} << true << false
                                 << QStringList{QString::fromLatin1(CPasswordCheck::kSeemsWrong),
                                                QString::fromLatin1(CPasswordCheck::kNotOpened)};
        QTest::newRow("not a document") << QStringList() << false << false
                                        << QStringList{QString::fromLatin1(CDocumentFile::kUnexpectedFormat)};
        QTest::newRow("cancelled, on the command line") << QStringList() << true << true << QStringList();
    }

    void lastFileAtStartWithoutItsPassword()
    {
        QFETCH(QStringList, passwords);
        QFETCH(bool, isDocument);
        QFETCH(bool, commandLine);
        QFETCH(QStringList, messages);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("last.tqb"));
        const QString other = makeDocument(dir.filePath(QStringLiteral("other.tqb")));
        if (isDocument) {
            QCOMPARE(makeDocument(path, "right"), path);
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("this is no document at all");
        }
        {
            auto store = settingsIn(dir);
            store->setValue(QStringLiteral("Settings/LastFile"), 1);
            store->setValue(QStringLiteral("Recent File List/File1"), path);
            store->setValue(QStringLiteral("Recent File List/File2"), other);
            CTorviQuillbookApp app(std::move(store));
            ModalAnswers answers(passwords);
            QStringList arguments{QStringLiteral("torvi-quillbook")};
            if (commandLine)
                arguments << path;
            const bool started = app.startUp(arguments);
            QCOMPARE(answers.messages, messages);
            QCOMPARE(started, isDocument);
            if (started) {
                QCOMPARE(answers.passwordDialogs, passwords.size() + (passwords.size() < 2 ? 1 : 0));
                CMainFrame *frame = app.mainFrame();
                QCOMPARE(frame->windowTitle(), QStringLiteral("Untitled - Torvi Quillbook"));
                QCOMPARE(app.document().count(), 0);
                QVERIFY(!app.document().hasPassword());
                QVERIFY(frame->close());
            }
        }
        const auto store = settingsIn(dir);
        const QStringList recent{store->value(QStringLiteral("Recent File List/File1")).toString(),
                                 store->value(QStringLiteral("Recent File List/File2")).toString()};
        QCOMPARE(recent, isDocument ? QStringList({path, other}) : QStringList({other, QString()}));
    }

    // An "&" in a recent document's name is shown, and the entry opens it.
    void recentFileMenuShowsTheNameAsItIs()
    {
        QTemporaryDir dir;
        const QString path = makeDocument(dir.filePath(QStringLiteral("R&D plans.tqb")));
        auto store = settingsIn(dir);
        store->setValue(QStringLiteral("Recent File List/File1"), path);
        CTorviQuillbookApp app(std::move(store));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook")}));
        CMainFrame *frame = app.mainFrame();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        auto *file = frame->menuBar()->findChild<QMenu *>(QStringLiteral("menuFile"));
        file->popup(frame->mapToGlobal(QPoint(0, 0)));
        QVERIFY(QTest::qWaitForWindowExposed(file));
        auto *entry = file->findChild<QAction *>(QStringLiteral("recentFile1"));
        QVERIFY(entry);
        QCOMPARE(entry->iconText(), QStringLiteral("1 ") + QDir::toNativeSeparators(path));
        guitest::saveScreenshot(*file, QStringLiteral("recent-files"));
        QTest::mouseClick(file, Qt::LeftButton, Qt::NoModifier, file->actionGeometry(entry).center());
        QCOMPARE(frame->windowTitle(), QStringLiteral("R&D plans.tqb - Torvi Quillbook"));
    }

    // "Reload Document" with automatic saving on reads the file again and
    // writes nothing: no file under the placeholder name, the own file as it
    // was. Changes made before are asked about: No, and Enter with it,
    // keeps them and reads nothing.
    void reloadDocumentWritesNothing_data()
    {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<bool>("enter");
        QTest::addColumn<QStringList>("messages");
        const QStringList asked{QStringLiteral("The changes made since the document was last saved will be lost "
                                               "when it is read again. Read it again?")};
        QTest::newRow("unmodified") << false << false << QStringList();
        QTest::newRow("modified, Enter") << true << true << asked;
        QTest::newRow("modified, No") << true << false << asked;
    }

    void reloadDocumentWritesNothing()
    {
        QFETCH(bool, modified);
        QFETCH(bool, enter);
        QFETCH(QStringList, messages);
        QTemporaryDir dir;
        const QString path = makeDocument(dir.filePath(QStringLiteral("notes.tqb")), "right");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray onDisk = file.readAll();
        file.close();
        auto store = settingsIn(dir);
        store->setValue(QStringLiteral("Settings/AutoSave"), 1);
        CTorviQuillbookApp app(std::move(store));
        QVERIFY(QDir::setCurrent(dir.path()));
        ModalAnswers answers({QStringLiteral("right")});
        answers.pressEnter = enter;
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook"), path}));
        CMainFrame *frame = app.mainFrame();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        QCOMPARE(app.document().m_strCurTitle, QByteArray("Root"));
        if (modified) {
            QTest::keyClick(frame->noteView(), Qt::Key_End, Qt::ControlModifier);
            QTest::keyClicks(frame->noteView(), QStringLiteral(" typed"));
            QVERIFY(app.document().isModified());
        }

        guitest::whenModalShows<CPasswordDlg>([](CPasswordDlg *dlg) {
            guitest::clickCheckBox(dlg->findChild<QCheckBox *>(QStringLiteral("reload")));
            QTest::keyClick(dlg->findChild<QLineEdit *>(QStringLiteral("password")), Qt::Key_Return);
        });
        frame->action(QStringLiteral("password"))->trigger();
        QTRY_COMPARE(answers.messages, messages);

        QCOMPARE(frame->windowTitle(), QStringLiteral("notes.tqb - Torvi Quillbook"));
        const bool kept = modified;  // Enter answers No
        QCOMPARE(app.document().texts().first(), kept ? QByteArray("root text typed") : QByteArray("root text"));
        QCOMPARE(app.document().isModified(), kept);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{QStringLiteral("app.ini"), QStringLiteral("notes.tqb")}));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), onDisk);
    }

    // Backups set up and restored as a new user does, with the program in a
    // folder the user may write, and in one the user may not (installed):
    // then the backup folder offered, the restored copy and its save go to
    // the user's documents folder. The list shows the newest copy first,
    // with date and time.
    // Help > About: untitled, with the program's own icon in the box and on
    // its title bar.
    void aboutBoxShowsTheProgramsIcon()
    {
        QTemporaryDir dir;
        CTorviQuillbookApp app(settingsIn(dir));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook")}));
        CMainFrame *frame = app.mainFrame();
        const QIcon own = AppIdentity::applicationIcon();
        QVERIFY(!own.isNull());

        QString title;
        QImage windowIcon;
        QList<QImage> pictures;
        guitest::whenModalShows<CAboutDlg>([&](CAboutDlg *dlg) {
            title = dlg->windowTitle();
            windowIcon = dlg->windowIcon().pixmap(32).toImage();
            for (QLabel *label : dlg->findChildren<QLabel *>()) {
                if (!label->pixmap().isNull())
                    pictures.append(label->pixmap().toImage());
            }
            guitest::saveScreenshot(*dlg, QStringLiteral("about-from-menu"));
            dlg->accept();
        });
        frame->action(QStringLiteral("about"))->trigger();
        QCOMPARE(title, QString());
        QCOMPARE(pictures.size(), 1);
        QCOMPARE(pictures.first(), own.pixmap(pictures.first().size()).toImage());
        QCOMPARE(windowIcon, own.pixmap(32).toImage());
    }

    void restoreABackupCopyFromTheMenu_data()
    {
        QTest::addColumn<bool>("programFolderWritable");
        QTest::addColumn<bool>("onSearchPath");
        QTest::newRow("program folder writable") << true << false;
        QTest::newRow("program folder read-only") << false << false;
        // An installed program's folder (/usr/bin, writable for root) is
        // shared by every program: documents do not go there.
        QTest::newRow("program folder on the search path") << true << true;
    }

    void restoreABackupCopyFromTheMenu()
    {
        QFETCH(bool, programFolderWritable);
        QFETCH(bool, onSearchPath);
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("program"));
        const QString home = dir.filePath(QStringLiteral("home"));
        const QString backups = dir.filePath(QStringLiteral("bk"));
        for (const QString &folder : {program, home, backups})
            QVERIFY(QDir().mkpath(folder));
        const QDateTime newer = QDateTime(QDate(2026, 3, 5), QTime(14, 7));
        for (const auto &[name, when] : {std::pair{"notes.bk1", newer.addDays(-2)}, std::pair{"notes.bk0", newer}}) {
            QFile copy(makeDocument(backups + QLatin1Char('/') + QLatin1String(name)));
            QVERIFY(copy.open(QIODevice::ReadWrite));
            QVERIFY(copy.setFileTime(when, QFileDevice::FileModificationTime));
        }
        const QString documents = home + QStringLiteral("/Documents");
        const QString expectedFolder = programFolderWritable && !onSearchPath ? program : documents;
        ScopedEnv pathEnv("PATH", onSearchPath ? qEnvironmentVariable("PATH") + QLatin1Char(':') + program
                                               : qEnvironmentVariable("PATH"));
        ScopedEnv homeEnv("HOME", home);
        ScopedEnv configEnv("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
        ReadOnlyFolder readOnly(programFolderWritable ? QString() : program);

        CTorviQuillbookApp app(settingsIn(dir));
        app.document().setProgramFolder(program);
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook")}));
        CMainFrame *frame = app.mainFrame();
        QAction *restore = frame->action(QStringLiteral("restore"));
        QVERIFY(!restore->isEnabled());

        QString offered;
        guitest::whenModalShows<CBackupDlg>([&](CBackupDlg *dlg) {
            auto *folder = dlg->findChild<QLineEdit *>(QStringLiteral("folder"));
            offered = folder->text();
            guitest::clickCheckBox(dlg->findChild<QCheckBox *>(QStringLiteral("backup")));  // off until turned on
            folder->selectAll();
            QTest::keyClicks(folder, backups);
            dlg->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        frame->action(QStringLiteral("backupSettings"))->trigger();
        QCOMPARE(QDir::fromNativeSeparators(offered), expectedFolder + QLatin1Char('/'));
        frame->updateCommandStates();
        QVERIFY(restore->isEnabled());

        QStringList shown;
        guitest::whenModalShows<CRestoreDlg>([&](CRestoreDlg *dlg) {
            auto *list = dlg->findChild<QTreeWidget *>(QStringLiteral("files"));
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                shown << list->topLevelItem(i)->text(0) + QLatin1Char('|') + list->topLevelItem(i)->text(1);
            guitest::saveScreenshot(*dlg, QStringLiteral("restore-list"));
            QTreeWidgetItem *row = list->topLevelItem(0);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(row).center());
            QTest::mouseClick(dlg->findChild<QPushButton *>(QStringLiteral("restore")), Qt::LeftButton);
        });
        restore->trigger();
        const QLocale locale = QLocale::system();
        QCOMPARE(shown, (QStringList{QStringLiteral("notes.bk0|") + locale.toString(newer, QStringLiteral("MMMM dd yyyy  HH:mm")),
                                     QStringLiteral("notes.bk1|") + locale.toString(newer.addDays(-2), QStringLiteral("MMMM dd yyyy  HH:mm"))}));
        QCOMPARE(frame->windowTitle(), QStringLiteral("notes.tqb - Torvi Quillbook"));
        QCOMPARE(app.document().pathName(), expectedFolder + QStringLiteral("/notes.tqb"));
        QVERIFY(app.document().isModified());
        QVERIFY(itemTitled(frame->itemView(), QStringLiteral("Root")).isValid());

        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        QTest::keyClick(frame->itemView(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!app.document().isModified());
        QVERIFY(QFileInfo(expectedFolder + QStringLiteral("/notes.tqb")).isFile());
        if (!programFolderWritable)
            QVERIFY(QDir(program).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        QCOMPARE(QDir(backups).entryList(QDir::Files), (QStringList{QStringLiteral("notes.bk0"), QStringLiteral("notes.bk1")}));
    }

    void commandLineFileThatCannotBeOpenedEndsStartUp()
    {
        QTemporaryDir dir;
        CTorviQuillbookApp app(settingsIn(dir));
        QString shown;
        guitest::whenModalShows<QMessageBox>([&](QMessageBox *box) {
            shown = box->text();
            box->accept();
        });
        QVERIFY(!app.startUp({QStringLiteral("torvi-quillbook"), dir.filePath(QStringLiteral("none.tqb"))}));
        QVERIFY(shown.endsWith(QStringLiteral("\nCannot find this file.\nPlease verify that the correct path and file "
                                              "name are given.")));
        QVERIFY(!app.mainFrame());
    }
};

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
