// The program as a person uses it: start-up, selecting an item, changing the
// password, saving, and closing with unsaved changes.
#include "GuiTestSupport.h"
#include "app/MainFrame.h"
#include "app/TorviQuillbookApp.h"
#include "dialogs/PasswordDlg.h"
#include "dialogs/RestoreDlg.h"
#include "doc/TorviQuillbookDoc.h"
#include "import/ImportPlaceDlg.h"
#include "reminders/ReminderChecker.h"
#include "reminders/ReminderPopupDlg.h"
#include "reminders/Reminders.h"
#include "tree/LeftView.h"
#include "DocFixture.h"

#include <QAction>
#include <QDir>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

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

}  // namespace

class TestMainFrame : public QObject
{
    Q_OBJECT

private slots:
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
                            [](QLabel *l) { return l->text() == QStringLiteral("    Password protected  "); }));
        guitest::saveScreenshot(*frame, QStringLiteral("mainframe"));

        QVERIFY(frame->action(QStringLiteral("fileSave"))->isEnabled());
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        QTest::keyClick(tree, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!doc.isModified());

        CDocFixture reader;
        reader.prompter.passwordAnswers = {{true, "ab", false}};
        QVERIFY(reader.doc->openDocument(path));
        QCOMPARE(reader.doc->m_arTexts, (QList<QByteArray>{"root text", "child text"}));
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
        QCOMPARE(app.document().m_arTexts, (QList<QByteArray>{"root text", "child text"}));
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
        f.doc->m_arOrder.append(2);
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
        QCOMPARE(doc.m_arTitles, (QList<QByteArray>{"Recipes", "Soup", "Bread"}));

        guitest::whenModalShowsNext<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::Ok)->click(); });
        frame->itemView()->setFocus();
        QVERIFY(frame->action(QStringLiteral("editUndo"))->isEnabled());
        frame->action(QStringLiteral("editUndo"))->trigger();
        QVERIFY(doc.m_arOrder.isEmpty());
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
        QCOMPARE(doc.m_arTitles, (QList<QByteArray>{"Root", "Child", "md", "Root", "Child"}));
        QCOMPARE(doc.m_arTexts.mid(3), (QList<QByteArray>{"root text", "child text"}));
        QCOMPARE(doc.m_arOrder, (QList<quint32>{0, 1, 2, 3, 4}));

        QString asked;
        guitest::whenModalShows<QMessageBox>([&asked](QMessageBox *box) {
            asked = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        frame->itemView()->setFocus();
        frame->action(QStringLiteral("editUndo"))->trigger();
        QCOMPARE(asked, QString::fromLatin1(CInfoTree::kMsgDeleteWarning));
        QCOMPARE(doc.m_arOrder, (QList<quint32>{0, 1}));
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

    void droppedFileOpensAsTheDocument()
    {
        QTemporaryDir dir;
        const QString path = makeDocument(dir.filePath(QStringLiteral("dropped.tqb")));
        CTorviQuillbookApp app(settingsIn(dir));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook")}));
        CMainFrame *frame = app.mainFrame();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame, &drop);
        QCOMPARE(frame->windowTitle(), QStringLiteral("dropped.tqb - Torvi Quillbook"));
        QVERIFY(itemTitled(frame->itemView(), QStringLiteral("Root")).isValid());
    }

    void restoreABackupCopyFromTheMenu()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("bk")));
        QVERIFY(!makeDocument(dir.filePath(QStringLiteral("bk/notes.bk0"))).isEmpty());
        auto store = settingsIn(dir);
        store->setValue(QStringLiteral("BackUp/BackUpPath"), dir.filePath(QStringLiteral("bk")) + QLatin1Char('/'));
        CTorviQuillbookApp app(std::move(store));
        QVERIFY(QDir::setCurrent(dir.path()));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook")}));
        CMainFrame *frame = app.mainFrame();
        QAction *restore = frame->action(QStringLiteral("restore"));
        QVERIFY(restore->isEnabled());

        guitest::whenModalShows<CRestoreDlg>([](CRestoreDlg *dlg) {
            auto *list = dlg->findChild<QTreeWidget *>(QStringLiteral("files"));
            QTreeWidgetItem *row = list->topLevelItem(0);
            QCOMPARE(row->text(0), QStringLiteral("notes.bk0"));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(row).center());
            QTest::mouseClick(dlg->findChild<QPushButton *>(QStringLiteral("restore")), Qt::LeftButton);
        });
        restore->trigger();
        QCOMPARE(frame->windowTitle(), QStringLiteral("notes - Torvi Quillbook"));
        QVERIFY(app.document().isModified());
        QVERIFY(itemTitled(frame->itemView(), QStringLiteral("Root")).isValid());
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
