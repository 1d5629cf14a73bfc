// The main window as a whole: its menus and the states of their commands,
// keys that must not run a disabled command, the status bar, the layout and
// the toolbar kept across a restart, and the window's own commands.
#include "GuiTestSupport.h"
#include "DocFixture.h"
#include "app/CommandTable.h"
#include "app/DocManager.h"
#include "import/ImportPlaceDlg.h"
#include "app/MainFrame.h"
#include "editor/TorviQuillbookView.h"
#include "app/MainToolBar.h"
#include "app/TorviQuillbookApp.h"
#include "password/PasswordDlg.h"
#include "doc/TorviQuillbookDoc.h"
#include "editor/NewNoteDlg.h"
#include "settings/Settings.h"
#include "tree/LeftView.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QSignalSpy>
#include <QActionGroup>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

using Row = CRow;

const QList<Row> kSmall{{"Root", "root text", CItemTables::kRootParent}, {"Child", "child text", 2}};

// One run of the program on a settings file that outlives it.
struct Run : guitest::CProgramRun
{
    bool start(const QString &settingsFile, const QString &document = {})
    {
        return CProgramRun::start(settingsFile, document) && shown();
    }
};

// The texts of a menu in order: "-" for a separator, "[title]" for a popup.
QStringList menuTexts(QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions()) {
        if (a->isSeparator())
            out << QStringLiteral("-");
        else if (a->menu())
            out << QLatin1Char('[') + a->menu()->title() + QLatin1Char(']');
        else if (a->isVisible())
            out << a->text();
    }
    return out;
}

QMenu *topMenu(CMainFrame *frame, const QString &title)
{
    for (QAction *a : frame->menuBar()->actions()) {
        if (a->text() == title)
            return a->menu();
    }
    return nullptr;
}

// Records the URLs the program asks the desktop to open.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};

}  // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    // First, before any tree icon is made: the toolbar alone must find the
    // desktop's pictures, also where no platform theme names the icon folders.
    void toolbarShowsTheThemesPictures()
    {
        const QImage shown = CMainToolBar::image(0).pixmap(CMainToolBar::kImageSize).toImage();
        QVERIFY(QIcon::hasThemeIcon(QStringLiteral("document-new")));
        const int size = CMainToolBar::kImageSize;
        QCOMPARE(shown, QIcon::fromTheme(QStringLiteral("document-new")).pixmap(size).toImage());
    }

    // What a menu item says its key is, is the key that runs it: pressed in
    // the pane the command works in, it reaches the very same action, and no
    // other action and no widget takes the key first.
    void everyMenuKeyHintRunsItsCommand()
    {
        QTemporaryDir dir;
        const QString doc = savedDocument(dir.filePath(QStringLiteral("d.tqb")), kSmall);
        Run run;
        QVERIFY(run.start(dir.filePath(QStringLiteral("s.ini")), doc));
        QVERIFY(run.activate());
        CMainFrame *f = run.frame;

        QList<QAction *> hinted;
        QList<QMenu *> menus = f->menuBar()->findChildren<QMenu *>();
        menus.append(f->findChild<QMenu *>(QStringLiteral("localSortMenu")));
        for (QMenu *menu : menus) {
            for (QAction *a : menu->actions()) {
                if (!a->menu() && a->text().contains(QLatin1Char('\t')) && !hinted.contains(a))
                    hinted.append(a);
            }
        }
        QCOMPARE(hinted.size(), 15);  // File 5, Edit 9, Help 1
        // Only the route is under test: no handler runs.
        for (QAction *a : std::as_const(hinted))
            QVERIFY(QObject::disconnect(a, &QAction::triggered, nullptr, nullptr));

        for (QAction *a : std::as_const(hinted)) {
            const QString hint = a->text().section(QLatin1Char('\t'), 1).trimmed();
            const QKeySequence key = QKeySequence::fromString(hint, QKeySequence::PortableText);
            QVERIFY2(key.count() == 1, qPrintable(a->text()));
            QVERIFY2(a->shortcuts().contains(key), qPrintable(a->text()));

            // Pressed where the command works.
            QWidget *target = nullptr;
            const bool editorCommand = a->objectName() == QLatin1String("openLink")
                                       || a->objectName() == QLatin1String("mailTo")
                                       || a->objectName() == QLatin1String("call");
            if (editorCommand) {
                f->activateEditorPane();
                target = f->notePane();
            } else {
                f->activateTreePane();
                target = f->itemView();
            }
            QSignalSpy ran(a, &QAction::triggered);
            a->setEnabled(true);
            QTest::keyClick(target, key[0].key(), key[0].keyboardModifiers());
            QVERIFY2(ran.count() == 1, qPrintable(a->text()));
        }
    }

    // Undo, Cut, Copy and Paste go to the text field that has the focus,
    // not to the pane that had it before.
    void editCommandsReachTheFocusedField()
    {
        QTemporaryDir dir;
        const QString doc = savedDocument(dir.filePath(QStringLiteral("d.tqb")), kSmall);
        Run run;
        QVERIFY(run.start(dir.filePath(QStringLiteral("s.ini")), doc));
        QVERIFY(run.activate());
        CMainFrame *f = run.frame;
        f->activateEditorPane();
        const QString noteBefore = f->notePane()->toPlainText();

        QApplication::clipboard()->setText(QStringLiteral("pasted"));
        f->action(QStringLiteral("searchAll"))->trigger();
        auto *field = f->findChild<QLineEdit *>(QStringLiteral("searchField"));
        QVERIFY(field);
        QTRY_VERIFY(field->hasFocus());
        f->updateCommandStates();
        QVERIFY(f->action(QStringLiteral("editPaste"))->isEnabled());
        f->action(QStringLiteral("editPaste"))->trigger();
        QCOMPARE(field->text(), QStringLiteral("pasted"));
        field->selectAll();
        f->updateCommandStates();
        QApplication::clipboard()->clear();
        f->action(QStringLiteral("editCut"))->trigger();
        QCOMPARE(field->text(), QString());
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("pasted"));
        f->updateCommandStates();
        f->action(QStringLiteral("editUndo"))->trigger();
        QCOMPARE(field->text(), QStringLiteral("pasted"));
        QCOMPARE(f->notePane()->toPlainText(), noteBefore);
        QVERIFY(!run.doc().isModified());
    }

    void menusReadAsSpecified()
    {
        QTemporaryDir dir;
        Run run;
        QVERIFY(run.start(dir.filePath(QStringLiteral("s.ini"))));
        QCOMPARE(menuTexts(topMenu(run.frame, QStringLiteral("&File"))),
                 (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "[&Import]", "[&Export]", "-", "&Save\tCtrl+S", "Save &As...",
                              "&Lock\tCtrl+Shift+L", "-", "&Restore", "-", "&Print...\tCtrl+P", "-", "Recent File", "-", "E&xit"}));
        QCOMPARE(menuTexts(topMenu(run.frame, QStringLiteral("&Edit"))),
                 (QStringList{"&Undo\tCtrl+Z", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "-",
                              "&Find/Replace \tCtrl+F", "Search all notes...\tCtrl+Shift+F", "Go to note...\tCtrl+G",
                              "-", "Reminders list\tCtrl+L", "-", "Pass&word\t Alt+P"}));
        QCOMPARE(menuTexts(topMenu(run.frame, QStringLiteral("&Settings"))),
                 (QStringList{"[Default folder]", "-", "Auto saving", "Lock after N minutes without input...", "-", "Open the file at start", "-",
                              "Backup settings...", "-", "[Sort (default)]", "Icons (default)...", "-", "[&Font]", "-",
                              "&Complete collapse ", "-", "[DblClick]", "-", "P&rint Setup...", "-", "&Toolbar",
                              "Customize toolbar...", "-", "&Status Bar"}));
        // The default sort type is a radio choice; the DblClick flags are checks.
        QAction *alpha = run.frame->action(CMainFrame::kSortAlpha);
        QVERIFY(alpha->actionGroup() && alpha->actionGroup()->isExclusive());
        QVERIFY(run.frame->action(CMainFrame::kDblU)->isCheckable());
        QVERIFY(!run.frame->action(CMainFrame::kDblU)->actionGroup());
        QCOMPARE(menuTexts(topMenu(run.frame, QStringLiteral("&File"))->findChild<QMenu *>(QStringLiteral("menuImport"))),
                 (QStringList{"&Text...", "&CSV (list)...", "&Favorites...", "&Markdown folder..."}));
        QCOMPARE(menuTexts(topMenu(run.frame, QStringLiteral("&File"))->findChild<QMenu *>(QStringLiteral("menuExport"))),
                 (QStringList{"&Markdown folder...", "&HTML file...", "&OPML outline..."}));
    }

    // A document without items: nothing that needs an item can run, by menu or by key.
    void disabledCommandsRefuseTheirKeys()
    {
        QTemporaryDir dir;
        Run run;
        QVERIFY(run.start(dir.filePath(QStringLiteral("s.ini"))));
        QVERIFY(run.activate());
        CMainFrame *f = run.frame;
        for (int id : {CMainFrame::kSave, CMainFrame::kSaveAs, CMainFrame::kPrint, CMainFrame::kPassword,
                       CMainFrame::kDelete, CMainFrame::kInsertNote, CMainFrame::kSortButton, CMainFrame::kRemindersList,
                       CMainFrame::kCollapseCmd})
            QVERIFY2(!f->action(id)->isEnabled(), qPrintable(QString::number(id)));
        QVERIFY(f->action(CMainFrame::kAddRoot)->isEnabled());

        bool passwordAsked = false;
        guitest::whenModalShows<CPasswordDlg>([&](CPasswordDlg *dlg) {
            passwordAsked = true;
            dlg->reject();
        });
        QTest::keyClick(f->itemView(), Qt::Key_P, Qt::AltModifier);
        QCoreApplication::processEvents();
        QVERIFY(!passwordAsked);
        // Nor does a trigger that bypasses the greyed item.
        QVERIFY(!f->commands().execute(CMainFrame::kPassword));

        // Alt+Ins adds a root folder, and with it the item commands come alive.
        QTest::keyClick(f->itemView(), Qt::Key_Insert, Qt::AltModifier);
        QCOMPARE(run.doc().titles().size(), 1);
        QCoreApplication::processEvents();
        for (int id : {CMainFrame::kSaveAs, CMainFrame::kPrint, CMainFrame::kPassword, CMainFrame::kDelete,
                       CMainFrame::kInsertNote, CMainFrame::kSortButton, CMainFrame::kSave})
            QVERIFY2(f->action(id)->isEnabled(), qPrintable(QString::number(id)));
        guitest::whenModalShows<CPasswordDlg>([&](CPasswordDlg *dlg) {
            passwordAsked = true;
            dlg->reject();
        });
        QTest::keyClick(f->itemView(), Qt::Key_P, Qt::AltModifier);
        QVERIFY(passwordAsked);
    }

    // Tab and F6 move between the panes; the tree's commands belong to the tree.
    void paneSwitchingDecidesWhoseCommandsRun()
    {
        QTemporaryDir dir;
        const QString path = savedDocument(dir.filePath(QStringLiteral("p.tqb")), kSmall);
        Run run;
        QVERIFY(run.start(dir.filePath(QStringLiteral("s.ini")), path));
        QVERIFY(run.activate());
        CMainFrame *f = run.frame;
        f->itemView()->setFocus();
        QCOMPARE(f->activePane(), CMainFrame::Pane::Tree);
        QVERIFY(f->action(CMainFrame::kDelete)->isEnabled());
        QVERIFY(f->action(CMainFrame::kCut)->isEnabled());

        QTest::keyClick(f->itemView(), Qt::Key_Tab);
        QCOMPARE(f->activePane(), CMainFrame::Pane::Editor);
        QVERIFY(f->notePane()->hasFocus());
        QVERIFY(!f->action(CMainFrame::kDelete)->isEnabled());
        QVERIFY(!f->action(CMainFrame::kAddRoot)->isEnabled());
        QVERIFY(!f->action(CMainFrame::kCut)->isEnabled());  // nothing selected in the note
        // Alt+Ins in the note adds nothing to the tree.
        QTest::keyClick(f->notePane(), Qt::Key_Insert, Qt::AltModifier);
        QCOMPARE(run.doc().titles().size(), 2);

        QTest::keyClick(f->notePane(), Qt::Key_F6, Qt::ShiftModifier);
        QCOMPARE(f->activePane(), CMainFrame::Pane::Tree);
        QVERIFY(f->itemView()->hasFocus());
        QTest::keyClick(f->itemView(), Qt::Key_F6);
        QCOMPARE(f->activePane(), CMainFrame::Pane::Editor);
    }

    void statusBarTellsWhatACommandDoes()
    {
        QTemporaryDir dir;
        Run run;
        QVERIFY(run.start(dir.filePath(QStringLiteral("s.ini"))));
        CMainFrame *f = run.frame;
        QCOMPARE(f->passwordPane()->text(), QStringLiteral(" No password protection  "));

        // The mouse over a menu item.
        QMenu *edit = topMenu(f, QStringLiteral("&File"));
        QTest::mouseClick(f->menuBar(), Qt::LeftButton, {}, f->menuBar()->actionGeometry(edit->menuAction()).center());
        QVERIFY(QTest::qWaitForWindowExposed(edit));
        // The item under the mouse (or reached by the arrow keys) is the menu's active one.
        edit->setActiveAction(f->action(CMainFrame::kNew));
        QTRY_COMPARE(f->messageText(), QStringLiteral("Create a new document"));
        edit->close();
        QTRY_COMPARE(f->messageText(), QStringLiteral("Ready"));

        // The mouse over a toolbar button; its tooltip is the short form.
        QWidget *root = f->toolBar()->widgetForAction(f->action(CMainFrame::kAddRoot));
        QVERIFY(root);
        QCOMPARE(f->action(CMainFrame::kAddRoot)->toolTip(), QStringLiteral("Root folder"));
        QTest::mouseMove(root);
        QTRY_COMPARE(f->messageText(), QStringLiteral("Add a root folder"));

        // The password pane follows the password at once.
        run.doc().setPassword("secret");
        QCOMPARE(f->passwordPane()->text(), QStringLiteral("    Password protected  "));
    }

    void layoutComesBackAfterARestart()
    {
        QTemporaryDir dir;
        const QString settings = dir.filePath(QStringLiteral("s.ini"));
        {
            Run first;
            QVERIFY(first.start(settings));
            // First run: 50, 50, 700 x 500, the tree 220 pixels wide.
            QCOMPARE(first.frame->geometry(), QRect(50, 50, 700, 500));
            QCOMPARE(first.frame->splitter()->sizes().first(), 220);
            first.frame->setGeometry(QRect(120, 90, 640, 420));
            first.frame->splitter()->setSizes({150, 490});
            first.frame->addToolBar(Qt::LeftToolBarArea, first.frame->toolBar());
            first.frame->statusBar()->hide();
            QVERIFY(first.frame->close());
        }
        {
            Run second;
            QVERIFY(second.start(settings));
            QCOMPARE(second.frame->geometry(), QRect(120, 90, 640, 420));
            QCOMPARE(second.frame->splitter()->sizes().first(), 150);
            QCOMPARE(second.frame->toolBarArea(second.frame->toolBar()), Qt::LeftToolBarArea);
            QVERIFY(second.frame->statusBar()->isHidden());
            QVERIFY(!second.frame->action(CMainFrame::kStatusBar)->isChecked());
            second.frame->showMaximized();
            QTRY_VERIFY(second.frame->isMaximized());
            QVERIFY(second.frame->close());
        }
        QSettings stored(settings, QSettings::IniFormat);
        QCOMPARE(stored.value(QStringLiteral("RestoreWnd/SHOWCMD")).toInt(), 3);
        QCOMPARE(stored.value(QStringLiteral("RestoreWnd/LEFT")).toInt(), 120);
        QCOMPARE(stored.value(QStringLiteral("RestoreWnd/RIGHT")).toInt(), 760);
        {
            Run third;
            QVERIFY(third.start(settings));
            QTRY_VERIFY(third.frame->isMaximized());
            QCOMPARE(third.frame->normalGeometry(), QRect(120, 90, 640, 420));
            QVERIFY(third.frame->close());
        }
        // A rectangle on a screen that is gone comes back onto this one.
        stored.setValue(QStringLiteral("RestoreWnd/SHOWCMD"), 1);
        stored.setValue(QStringLiteral("RestoreWnd/LEFT"), 30000);
        stored.setValue(QStringLiteral("RestoreWnd/TOP"), 30000);
        stored.setValue(QStringLiteral("RestoreWnd/RIGHT"), 30600);
        stored.setValue(QStringLiteral("RestoreWnd/BOTTOM"), 30400);
        stored.sync();
        Run fourth;
        QVERIFY(fourth.start(settings));
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().intersects(fourth.frame->geometry()));
        QCOMPARE(fourth.frame->geometry().size(), QSize(600, 400));
        QVERIFY(fourth.frame->close());
        // One larger than the screen it is on (a first start at a large
        // scale, a smaller screen since) is fitted into its available area.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        stored.setValue(QStringLiteral("RestoreWnd/LEFT"), screen.left() + 50);
        stored.setValue(QStringLiteral("RestoreWnd/TOP"), screen.top() + 50);
        stored.setValue(QStringLiteral("RestoreWnd/RIGHT"), screen.left() + 50 + 2 * screen.width());
        stored.setValue(QStringLiteral("RestoreWnd/BOTTOM"), screen.top() + 50 + 2 * screen.height());
        stored.sync();
        Run fifth;
        QVERIFY(fifth.start(settings));
        QVERIFY(fifth.shown());
        QVERIFY(screen.contains(fifth.frame->frameGeometry()));
        QVERIFY(fifth.frame->width() > screen.width() - 50 && fifth.frame->height() > screen.height() - 50);
    }

    void toolbarCustomisationWaitsForTheNextStart()
    {
        QTemporaryDir dir;
        const QString settings = dir.filePath(QStringLiteral("s.ini"));
        const auto buttons = [](CMainFrame *f) {
            int n = 0;
            for (QAction *a : f->toolBar()->actions())
                n += a->isSeparator() ? 0 : 1;
            return n;
        };
        {
            Run first;
            QVERIFY(first.start(settings));
            QCOMPARE(first.frame->toolBar()->actions().size(), 34);
            QCOMPARE(buttons(first.frame), 22);
            QString told;
            guitest::whenModalShows<CToolbarDlg>([&](CToolbarDlg *dlg) {
                QCOMPARE(dlg->box(22)->text(), QStringLiteral("Reminder"));
                QCOMPARE(dlg->box(21)->text(), QStringLiteral("separator"));
                dlg->box(21)->setChecked(false);
                dlg->box(22)->setChecked(false);
                guitest::whenModalShowsNext<QMessageBox>([&](QMessageBox *box) {
                    told = box->text();
                    box->accept();
                });
                dlg->accept();
            });
            first.frame->action(CMainFrame::kCustomizeToolbar)->trigger();
            QCOMPARE(told, QStringLiteral("Restart program for update"));
            QCOMPARE(first.frame->toolBar()->actions().size(), 34);  // not before a restart
            // The dialog shows the stored choice, not the running toolbar.
            guitest::whenModalShows<CToolbarDlg>([&](CToolbarDlg *dlg) {
                QVERIFY(!dlg->box(22)->isChecked());
                QVERIFY(dlg->box(23)->isChecked());
                dlg->reject();
            });
            first.frame->action(CMainFrame::kCustomizeToolbar)->trigger();
            QVERIFY(first.frame->close());
        }
        Run second;
        QVERIFY(second.start(settings));
        QCOMPARE(second.frame->toolBar()->actions().size(), 32);
        QCOMPARE(buttons(second.frame), 21);
        QVERIFY(!second.frame->toolBar()->actions().contains(second.frame->action(CMainFrame::kReminder)));
        QVERIFY(second.frame->toolBar()->actions().contains(second.frame->action(CMainFrame::kRemindersList)));
    }

    // The sort button: greyed without an item, its picture follows the last local sort.
    void sortButtonFollowsTheLastLocalSort()
    {
        QTemporaryDir dir;
        Run empty;
        QVERIFY(empty.start(dir.filePath(QStringLiteral("e.ini"))));
        QVERIFY(!empty.frame->action(CMainFrame::kSortButton)->isEnabled());
        QVERIFY(empty.frame->close());

        const QString path = savedDocument(dir.filePath(QStringLiteral("s.tqb")),
                                          {{"b", "", CItemTables::kRootParent}, {"a", "", CItemTables::kRootParent}});
        Run run;
        QVERIFY(run.start(dir.filePath(QStringLiteral("s.ini")), path));
        QVERIFY(run.activate());
        run.frame->itemView()->setFocus();
        auto *button = qobject_cast<QToolButton *>(
            run.frame->toolBar()->widgetForAction(run.frame->action(CMainFrame::kSortButton)));
        QVERIFY(button && button->menu());
        QCOMPARE(button->popupMode(), QToolButton::MenuButtonPopup);
        QAction *folderFirst = run.frame->action(CMainFrame::kLocalFolderFirst);
        QVERIFY(button->menu()->actions().contains(folderFirst));
        folderFirst->trigger();
        QCOMPARE(run.frame->toolBar()->sortImage(), 23);
        QCOMPARE(run.doc().title(int(run.doc().order().first())), QByteArray("a"));
        run.frame->action(CMainFrame::kLocalManual)->trigger();
        QCOMPARE(run.frame->toolBar()->sortImage(), 22);
    }

    // Cancelling New's save question takes the import request back.
    void cancelledNewDocumentForgetsTheImport()
    {
        QTemporaryDir dir;
        const QString path = savedDocument(dir.filePath(QStringLiteral("i.tqb")), kSmall);
        Run run;
        QVERIFY(run.start(dir.filePath(QStringLiteral("s.ini")), path));
        QVERIFY(run.frame->action(CMainFrame::kImportCsv)->isEnabled());
        run.doc().setModifiedFlag(true);

        bool asked = false;
        guitest::whenModalShows<CImportPlaceDlg>([&](CImportPlaceDlg *dlg) {
            QVERIFY(dlg->button(CImportPlaceDlg::kSelectedFolder)->isChecked());
            dlg->button(CImportPlaceDlg::kNewDocument)->setChecked(true);
            guitest::whenModalShowsNext<QMessageBox>([&](QMessageBox *box) {
                asked = true;
                box->button(QMessageBox::Cancel)->click();
            });
            dlg->accept();
        });
        run.frame->action(CMainFrame::kImportCsv)->trigger();
        QVERIFY(asked);
        QCOMPARE(run.doc().m_nImport, int(CTorviQuillbookDoc::kNoImport));
        QCOMPARE(run.doc().pathName(), path);
        QCOMPARE(run.doc().titles().size(), 2);
    }

    // The capture dialog and the layout outlive a close the user cancels.
    void cancelledCloseKeepsDialogsAndLayout()
    {
        QTemporaryDir dir;
        const QString settings = dir.filePath(QStringLiteral("s.ini"));
        Run run;
        QVERIFY(run.start(settings));
        QVERIFY(run.frame->newNoteDialog());
        run.doc().setModifiedFlag(true);
        guitest::whenModalShows<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::Cancel)->click(); });
        QVERIFY(!run.frame->close());
        QVERIFY(run.frame->newNoteDialog());
        run.frame->newNoteDialog()->capture(QStringLiteral("kept\nafter all"));
        QVERIFY(!QSettings(settings, QSettings::IniFormat).contains(QStringLiteral("RestoreWnd/LEFT")));

        guitest::whenModalShows<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::No)->click(); });
        QVERIFY(run.frame->close());
        QVERIFY(!run.frame->newNoteDialog());
        QVERIFY(QSettings(settings, QSettings::IniFormat).contains(QStringLiteral("RestoreWnd/LEFT")));
    }

    void helpOpensTheGuide()
    {
        QTemporaryDir dir;
        Run run;
        QVERIFY(run.start(dir.filePath(QStringLiteral("s.ini"))));
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
        run.frame->action(CMainFrame::kHelp)->trigger();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(recorder.opened.size(), 1);
        QVERIFY(recorder.opened.first().toLocalFile().endsWith(QStringLiteral("guide/index.html")));
        QVERIFY(QFileInfo::exists(recorder.opened.first().toLocalFile()));
    }

    // Print with the tree focused previews the note and leaves the editor active.
    void printPreviewsTheShownNote()
    {
        QTemporaryDir dir;
        const QString path = savedDocument(dir.filePath(QStringLiteral("pr.tqb")), kSmall);
        Run run;
        QVERIFY(run.start(dir.filePath(QStringLiteral("s.ini")), path));
        QVERIFY(run.activate());
        run.frame->itemView()->setFocus();
        bool previewed = false;
        guitest::whenModalShows<QPrintPreviewDialog>([&](QPrintPreviewDialog *dlg) {
            previewed = true;
            dlg->reject();
        });
        run.frame->action(CMainFrame::kPrint)->trigger();
        QVERIFY(previewed);
        QCOMPARE(run.frame->activePane(), CMainFrame::Pane::Editor);
    }

    // /pt with a printer that does not exist says so, and no window stays.
    void printSwitchWithAnUnknownPrinter()
    {
        QTemporaryDir dir;
        const QString path = savedDocument(dir.filePath(QStringLiteral("pt.tqb")), kSmall);
        CTorviQuillbookApp app(std::make_unique<QSettings>(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat));
        QString told;
        guitest::whenModalShows<QMessageBox>([&](QMessageBox *box) {
            told = box->text();
            box->accept();
        });
        QVERIFY(!app.startUp({QStringLiteral("torvi-quillbook"), QStringLiteral("/pt"), path,
                              QStringLiteral("No Such Printer 42")}));
        QCOMPARE(told, QStringLiteral("The printer \"No Such Printer 42\" was not found; nothing was printed."));
        QVERIFY(!app.mainFrame());
        QVERIFY(app.exitCode() != 0);
        QCOMPARE(CTorviQuillbookApp::fileArgument({QStringLiteral("x"), QStringLiteral("/p"), path}), path);
    }

    // A picture of the whole window for the user guide.
    void screenshotOfThePopulatedWindow()
    {
        QTemporaryDir dir;
        const QString path = savedDocument(
            dir.filePath(QStringLiteral("notebook.tqb")),
            {{"Household", "", CItemTables::kRootParent},
             {"Shopping", "Bread, milk, apples.\r\nLight bulbs for the hall.", 2},
             {"Repairs", "Call the plumber on Monday.", 2},
             {"Work", "", CItemTables::kRootParent},
             {"Meeting notes", "Budget review moved to Thursday.\r\nBring the figures for the third quarter.", 5},
             {"Ideas", "A shared calendar for the team.", 5},
             {"Travel", "", CItemTables::kRootParent},
             {"Packing list", "Passport\r\nCharger\r\nWalking shoes", 8}});
        Run run;
        QVERIFY(run.start(dir.filePath(QStringLiteral("s.ini")), path));
        run.frame->resize(960, 540);
        run.frame->itemView()->expandAll();
        run.app->document().setPassword("x");
        QVERIFY(run.frame->itemView()->infoTree().selectByIndex(4));
        QVERIFY(run.frame->notePane()->toPlainText().startsWith(QStringLiteral("Meeting notes")));
        run.frame->statusBar()->clearMessage();
        QCOMPARE(run.frame->messageText(), QStringLiteral("Ready"));
        QVERIFY(guitest::saveScreenshot(*run.frame, QStringLiteral("mainwindow")));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
