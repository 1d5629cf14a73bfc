#include "app/MainFrame.h"

#include "app/CommandTable.h"
#include "app/DocManager.h"
#include "app/MainToolBar.h"
#include "app/WindowPlacement.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/BackupDlg.h"
#include "dialogs/RestoreDlg.h"
#include "doc/Backup.h"
#include "doc/TorviQuillbookDoc.h"
#include "editor/EditorNoteText.h"
#include "editor/NewNoteDlg.h"
#include "editor/TorviQuillbookView.h"
#include "find/FindDlg.h"
#include "find/FindReplace.h"
#include "import/ImportCommands.h"
#include "editor/QuickCapture.h"
#include "platform/Tone.h"
#include "reminders/ReminderChecker.h"
#include "reminders/ReminderEditing.h"
#include "reminders/ReminderListDlg.h"
#include "settings/Settings.h"
#include "text/CodePage.h"
#include "tools/PasswordGenDlg.h"
#include "tree/LeftView.h"
#include "tree/SortRules.h"
#include "tree/TreeItemModel.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDataStream>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QUrl>

using Cmd = CCommandTable::Command;

namespace {

constexpr quint32 kBarStateVersion = 1;

QList<QKeySequence> keys(std::initializer_list<QKeyCombination> combos)
{
    QList<QKeySequence> out;
    for (QKeyCombination c : combos)
        out.append(QKeySequence(c));
    return out;
}

}  // namespace

CMainFrame::CMainFrame(CDocManager &manager, const CCodePage &codePage, IPrompter &prompter, QWidget *parent)
    : QMainWindow(parent), m_manager(manager), m_doc(manager.document()), m_codePage(codePage), m_prompter(prompter)
{
    m_splitter = new QSplitter(this);
    m_splitter->setObjectName(QStringLiteral("splitter"));
    m_splitter->setChildrenCollapsible(false);
    m_items = new CLeftView(m_doc, codePage, m_splitter);
    m_note = new CTorviQuillbookView(m_doc, codePage, m_splitter);
    m_items->setMinimumWidth(10);
    m_splitter->setStretchFactor(1, 1);
    setCentralWidget(m_splitter);

    m_commands = new CCommandTable(this);
    // A command's effects reach beyond the actions (the sort button's image).
    connect(m_commands, &CCommandTable::executed, this, &CMainFrame::updateCommandStates);
    createCommands();
    createMenus();
    m_toolbar = new CMainToolBar(*m_commands, m_doc.settings(), m_sortMenu, this);
    addToolBar(Qt::TopToolBarArea, m_toolbar);
    createStatusBar();
    setAcceptDrops(true);
    const CRestoreWndSettings defaults;
    resize(defaults.right - defaults.left, defaults.bottom - defaults.top);

    // The capture dialog lives as long as the window, hidden between uses.
    m_newNoteDlg = new CNewNoteDlg(m_items->infoTree(), codePage, prompter, this);
    m_newNoteDlg->setActivateTreePane([this] { activateTreePane(); });
    m_capture = new CQuickCapture(this, *m_newNoteDlg, this);
    connect(m_capture, &CQuickCapture::statusMessage, this, [this](const QString &t) { statusBar()->showMessage(t); });
    connect(m_newNoteDlg, &QDialog::finished, this, &CMainFrame::updateCommandStates);

    // File > Import; it runs a pending import when a new document's tree is built.
    m_imports = new CImportCommands(m_doc, m_items->infoTree(), this, [this] { return m_manager.fileNew(); });
    connect(m_imports, &CImportCommands::activateTreePane, this, &CMainFrame::activateTreePane);

    m_tone = new CSampleTone(this);
    m_reminders = new CReminderChecker(m_doc, *m_tone, codePage, this, this);
    connect(m_reminders, &CReminderChecker::showNote, this, &CMainFrame::showItem);

    // The note pane follows the document's hints by itself.
    connect(&m_doc, &CTorviQuillbookDoc::updateAllViews, this, &CMainFrame::scheduleUpdate);
    connect(m_note, &CTorviQuillbookView::statusMessage, this, [this](const QString &t) { statusBar()->showMessage(t); });

    // Find / Replace over the tree and the note pane; the dialog lives as
    // long as the window.
    m_noteText = std::make_unique<CEditorNoteText>(*m_note, codePage);
    m_find = std::make_unique<CFindReplace>(m_items->infoTree(), *m_noteText);
    m_find->setPaneActivation([this] { activateEditorPane(); }, [this] { activateTreePane(); });
    m_findDlg = new CFindDlg(*m_find, this);
    connect(&m_doc, &CTorviQuillbookDoc::titleChanged, this, &CMainFrame::updateTitle);
    connect(&m_doc, &CTorviQuillbookDoc::passwordChanged, this, &CMainFrame::updateTitle);
    connect(&m_doc, &CTorviQuillbookDoc::statusMessage, this, [this](const QString &t) { statusBar()->showMessage(t); });
    connect(&m_doc, &CTorviQuillbookDoc::activateTreePane, this, [this] {
        if (!m_bFirstShow)
            activateTreePane();
    });
    // Whatever changes the tree (keys, drags, the context menu) changes what
    // the commands may do.
    QAbstractItemModel *model = m_items->model();
    connect(model, &QAbstractItemModel::rowsInserted, this, &CMainFrame::scheduleUpdate);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &CMainFrame::scheduleUpdate);
    connect(model, &QAbstractItemModel::rowsMoved, this, &CMainFrame::scheduleUpdate);
    connect(model, &QAbstractItemModel::modelReset, this, &CMainFrame::scheduleUpdate);
    connect(model, &QAbstractItemModel::dataChanged, this, &CMainFrame::scheduleUpdate);
    connect(m_items, &QTreeView::expanded, this, &CMainFrame::scheduleUpdate);
    connect(m_items, &QTreeView::collapsed, this, &CMainFrame::scheduleUpdate);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { onFocusChanged(now); });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &CMainFrame::scheduleUpdate);
    connect(m_note, &QPlainTextEdit::selectionChanged, this, &CMainFrame::scheduleUpdate);
    connect(m_note, &QPlainTextEdit::undoAvailable, this, &CMainFrame::scheduleUpdate);

    updateTitle();
    updateCommandStates();
}

CMainFrame::~CMainFrame()
{
    // Closing the window may still end a label edit, which notifies the
    // document's views; this frame's members are going, so it listens no more.
    disconnect(&m_doc, nullptr, this, nullptr);
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(QApplication::clipboard(), nullptr, this, nullptr);
    // The helpers that hold on to the tree go before the tree pane, which
    // the splitter (an earlier child) would otherwise delete first.
    delete m_imports;
    m_imports = nullptr;
    delete m_capture;
    m_capture = nullptr;
    delete m_newNoteDlg;
    delete m_findDlg;
    m_find.reset();
    m_noteText.reset();
}

QAction *CMainFrame::action(const QString &objectName) const
{
    if (QAction *a = m_commands->action(objectName))
        return a;
    return findChild<QAction *>(objectName);
}

CNewNoteDlg *CMainFrame::newNoteDialog() const
{
    return m_newNoteDlg.data();
}

QAction *CMainFrame::action(int id) const
{
    return m_commands->action(id);
}

// ---------------------------------------------------------------- the command table

void CMainFrame::createCommands()
{
    CSettings &settings = m_doc.settings();
    CDocumentFlags &flags = m_doc.flags();
    CInfoTree &tree = m_items->infoTree();
    const auto ed = [this] { return !treeActive(); };
    const auto tr = [this] { return treeActive(); };
    const auto add = [this](Cmd c) { return m_commands->add(std::move(c)); };
    const auto toggle = [this](std::function<void()> change) {
        return [this, change = std::move(change)] {
            change();
            updateCommandStates();
        };
    };

    // File
    add({kNew, "fileNew", "&New\tCtrl+N", "Create a new document\nNew", keys({Qt::CTRL | Qt::Key_N}), 0,
         [this] { m_manager.fileNew(); }, {}, {}, false});
    add({kOpen, "fileOpen", "&Open...\tCtrl+O", "Open an existing document\nOpen", keys({Qt::CTRL | Qt::Key_O}), 1,
         [this] { onOpen(); }, {}, {}, false});
    const auto importCmd = [this](int id, const char *name, const char *text, const char *prompt,
                                  std::function<void(CImportCommands &)> run) {
        m_commands->add({id, name, QString::fromLatin1(text), QString::fromLatin1(prompt), {}, -1,
                         [this, run = std::move(run)] { run(*m_imports); }, {}, {}, false});
    };
    importCmd(kImportText, "importText", "Text", CImportCommands::kTextStatus,
              [](CImportCommands &c) { c.importText(); });
    importCmd(kImportCsv, "importCsv", "CSV (list)", CImportCommands::kCsvStatus,
              [](CImportCommands &c) { c.importCsv(); });
    importCmd(kImportFavorites, "importFavorites", "Favorites", CImportCommands::kFavoritesStatus,
              [](CImportCommands &c) { c.importFavorites(); });
    add({kSave, "fileSave", "&Save\tCtrl+S", "Save the active document\nSave", keys({Qt::CTRL | Qt::Key_S}), 2,
         [this] { m_doc.saveCommand(); }, [this] { return m_doc.canSave(); }, {}, false});
    add({kSaveAs, "fileSaveAs", "Save &As...", "Save the active document with a new name\nSave As", {}, -1,
         [this] { m_doc.saveAsCommand(); }, [this] { return m_doc.canSaveAs(); }, {}, false});
    add({kRestore, "restore", "Restore", "Restore the document from a backup copy\nRestore", {}, -1,
         [this] { onRestore(); }, [this] { return m_manager.canRestore(); }, {}, false});
    add({kPrint, "filePrint", "&Print...\tCtrl+P", "Print the note\nPrint", keys({Qt::CTRL | Qt::Key_P}), 3,
         [this] { onPrint(); }, [this] { return m_doc.canPrint(); }, {}, false});
    add({kRecentFile, "recentFile", "Recent File", "Open this document", {}, -1, {}, [] { return false; }, {}, false});
    add({kExit, "fileExit", "E&xit", "Quit the application; prompts to save documents\nExit", {}, -1,
         [this] { close(); }, {}, {}, false});

    // Edit: the active pane's.
    add({kUndo, "editUndo", "&Undo\tCtrl+Z", "Undo the last action\nUndo",
         keys({Qt::CTRL | Qt::Key_Z, Qt::ALT | Qt::Key_Backspace}), 7,
         [this, &tree] { treeActive() ? tree.undo() : editorUndo(); },
         [this, &tree] { return treeActive() ? tree.canUndo() : editorCanUndo(); }, {}, false});
    add({kCut, "editCut", "Cu&t\tCtrl+X", "Cut the selection and put it on the Clipboard\nCut",
         keys({Qt::CTRL | Qt::Key_X, Qt::SHIFT | Qt::Key_Delete}), 4,
         [this, &tree] { treeActive() ? tree.markForCut() : editorCut(); },
         [this, &tree] { return treeActive() ? tree.canCut() : editorCanCut(); }, {}, false});
    add({kCopy, "editCopy", "&Copy\tCtrl+C", "Copy the selection and put it on the Clipboard\nCopy",
         keys({Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_Insert}), 5,
         [this, &tree] { treeActive() ? tree.markForCopy() : editorCopy(); },
         [this, &tree] { return treeActive() ? tree.canCopy() : editorCanCopy(); }, {}, false});
    add({kPaste, "editPaste", "&Paste\tCtrl+V", "Insert Clipboard contents\nPaste",
         keys({Qt::CTRL | Qt::Key_V, Qt::SHIFT | Qt::Key_Insert}), 6,
         [this, &tree] { treeActive() ? tree.paste() : editorPaste(); },
         [this, &tree] { return treeActive() ? tree.canPaste() : editorCanPaste(); }, {}, false});
    add({kFindReplace, "findReplace", "&Find/Replace \tCtrl+F", "Find and replace text in the notes\nFind",
         keys({Qt::CTRL | Qt::Key_F}), 17, [this] { showFindDialog(); },
         [this, &tree] { return findDialogReady() && (!treeActive() || tree.canFindReplace()); }, {}, false});
    add({kRemindersList, "remindersList", "Reminders list\tCtrl+L", "Edit (view) reminders list\nReminders list",
         keys({Qt::CTRL | Qt::Key_L}), 16, [this] { onRemindersList(); }, [this] { return m_doc.hasReminders(); },
         {}, false});
    add({kPassword, "password", "Pass&word\t Alt+P", "Set or change the document's password\nPassword",
         keys({Qt::ALT | Qt::Key_P}), 21, [this] { m_doc.changePassword(); },
         [this] { return m_doc.canChangePassword(); }, {}, false});

    // The tree's commands: only while the tree is the active pane.
    add({kAddRoot, "addRootFolder", "Add a root folder\tAlt+Ins", "Add a root folder\nRoot folder",
         keys({Qt::ALT | Qt::Key_Insert}), 8, [&tree] { tree.addRootFolder(); }, tr, {}, false});
    add({kInsertNote, "insertNote", "Insert new note\tIns", "Insert new note (subFolder)\nNote (subfolder)", {}, 9,
         [&tree] { tree.insertNewNote(); }, [this, &tree] { return treeActive() && tree.canInsertNote(); }, {}, false});
    add({kRename, "rename", "Rename", "Rename the selected item\nRename the selected item", {}, -1,
         [&tree] { tree.rename(); }, tr, {}, false});
    add({kExpandBranch, "expandBranch", "Expand branch",
         "Expand the selected branch of the tree\nExpand the selected branch of the tree", {}, -1,
         [&tree] { tree.expandBranch(); }, tr, {}, false});
    add({kExpandAll, "expandAll", "Expand all ", "Expand all branch of the tree\nExpand", {}, 11,
         [&tree] { tree.expandAll(); }, [this, &tree] { return treeActive() && tree.canExpandAll(); }, {}, false});
    add({kCollapseCmd, "collapseTree", "Collapse", "Collapse\nCollapse", {}, 12, [&tree] { tree.collapse(); },
         [this, &tree] { return treeActive() && tree.canCollapse(); }, {}, false});
    add({kDelete, "deleteItem", "Delete\tDel", "Delete the selected folder or note\nDelete", {}, 10,
         [&tree] { tree.deleteSelected(); }, [this, &tree] { return treeActive() && tree.canDelete(); }, {}, false});
    add({kPasteBefore, "pasteBefore", "Paste before\t Alt+V",
         "Paste the copied branch of the tree before the selected folder", keys({Qt::ALT | Qt::Key_V}), -1,
         [&tree] { tree.pasteBefore(); }, tr, {}, false});
    add({kSelectIcons, "selectIcons", "Select icons", "Select icons for tree item(s)\nSelect icons", {}, 14,
         [this] { m_items->chooseIcons(); }, tr, {}, false});
    add({kSortButton, "localSort", "Local sorting type",
         "Select the notes sorting type (in that folder)\nLocal sorting type", {}, -1,
         [this, &tree] {
             if (treeActive())
                 tree.localSort(sortrules::kCmdLocalSortButton);
         },
         [this] { return sortrules::localSortButtonEnabled(m_doc.m_nCurItem); }, {}, false});
    const auto localSort = [&](int id, const char *name, const char *text, const char *prompt) {
        add({id, name, QString::fromLatin1(text), QString::fromLatin1(prompt), {}, -1,
             [&tree, id] { tree.localSort(id); }, tr, {}, false});
    };
    localSort(kLocalManual, "localSortManual", "Manual", "Sort folders and notes manually\nSort folders and notes manually");
    localSort(kLocalAlpha, "localSortAlphabetical", "Alphabetical",
              "Sort folders and notes in alphabetical order\nSort folders and notes in alphabetical order ");
    localSort(kLocalFolderFirst, "localSortFolderFirst", "Alphabetical (folder first)",
              "Sort folders and notes in alphabetical order (folder first)\nSort folders and notes in alphabetical "
              "order (folder first)");
    add({kReminder, "reminder", "Reminder", "Set the reminder of the selected note\nReminder", {}, 15,
         [this] { onReminder(); }, [this] { return m_doc.m_nCurItem >= 0; }, {}, false});

    // The editor's commands: only while the editor is the active pane.
    const auto editorCmd = [&](int id, const char *name, const char *text, const char *prompt,
                               QList<QKeySequence> k, int image, void (CMainFrame::*run)()) {
        add({id, name, QString::fromLatin1(text), QString::fromLatin1(prompt), std::move(k), image,
             [this, run] { (this->*run)(); }, [this, ed] { return ed() && editorReady(); }, {}, false});
    };
    editorCmd(kOpenLink, "openLink", "Open\tAlt+O", "Open the selected file or URL\nOpen URL", keys({Qt::ALT | Qt::Key_O}),
              18, &CMainFrame::editorOpenLink);
    editorCmd(kMail, "mailTo", "E-mail\tAlt+E", "Write an e-mail to the selected address\nE-mail",
              keys({Qt::ALT | Qt::Key_E}), -1, &CMainFrame::editorMail);
    editorCmd(kCall, "call", "Call\tAlt+D", "Call the selected number\nCall", keys({Qt::ALT | Qt::Key_D}), -1,
              &CMainFrame::editorCall);
    editorCmd(kLocalLink, "localLink", "Local link", "Insert a link to a local file\nLink", {}, 19,
              &CMainFrame::editorLocalLink);
    editorCmd(kGenerator, "passwordGenerator", "Password generator", "Password generator\nPassword generator", {}, 20,
              &CMainFrame::onPasswordGenerator);
    editorCmd(kFourSpaces, "fourSpaces", "Four spaces", "", keys({Qt::CTRL | Qt::Key_Tab}), -1,
              &CMainFrame::editorFourSpaces);

    // Panes.
    add({kNextPane, "nextPane", "Next pane", "Switch to the next window pane\nNext pane",
         keys({Qt::Key_Tab, Qt::Key_F6}), -1, [this] { switchPane(); }, {}, {}, false});
    add({kPrevPane, "previousPane", "Previous pane", "Switch back to the previous window pane\nPrevious pane",
         keys({Qt::SHIFT | Qt::Key_F6}), -1, [this] { switchPane(); }, {}, {}, false});

    // Settings
    add({kProgramFolder, "programFolder", "Program folder", "Keep documents in the program's folder", {}, -1,
         toggle([&] { flags.useProgramFolder(settings); }), {}, [&] { return flags.isProgramFolderChecked(); }, false});
    add({kOtherFolder, "otherFolder", "Other folder", "Choose the folder for documents", {}, -1,
         toggle([this] { onOtherFolder(); }), {}, [&] { return flags.isOtherFolderChecked(); }, false});
    add({kAutoSave, "autoSave", "Auto saving", "Save the document automatically\nAuto saving", {}, -1,
         toggle([&] { flags.toggleAutoSave(settings); }), {}, [&] { return flags.isAutoSaveChecked(); }, false});
    add({kLastFile, "lastFile", "Open the file at start", "Open the last document at start\nOpen the file at start",
         {}, -1, toggle([&] { flags.toggleLastFile(settings); }), {}, [&] { return flags.isLastFileChecked(); }, false});
    add({kBackupSettings, "backupSettings", "Backup settings...", "Set up backup copies\nBackup settings", {}, -1,
         [this] { onBackupSettings(); }, {}, {}, false});
    const auto defaultSort = [&](int id, const char *name, const char *text, const char *prompt, int type) {
        add({id, name, QString::fromLatin1(text), QString::fromLatin1(prompt), {}, -1,
             toggle([&flags, &settings, type] { flags.setDefaultSortType(settings, type); }), {},
             [&flags, type] { return flags.isSortTypeChecked(type); }, true});
    };
    defaultSort(kSortManual, "sort0", "Manual", "Sort folders and notes manually", sortrules::kManual);
    defaultSort(kSortAlpha, "sort1", "Alphabetical",
                "Sort folders and notes in alphabetical order\nSort folders and notes in alphabetical order ",
                sortrules::kAlphabetical);
    defaultSort(kSortFolderFirst, "sort2", "Alphabetical (folder first)",
                "Sort folders and notes in alphabetical order (folder first)\nSort folders and notes in alphabetical "
                "order (folder first)",
                sortrules::kFolderFirst);
    add({kExecuteAll, "executeForAllFolders", "Execute for all folders",
         "Execute default sorting for all folders\nExecute default sorting for all folders", {}, -1,
         [&tree] { tree.executeForAllFolders(); }, tr, {}, false});
    add({kDefaultIcons, "defaultIcons", "Icons (default)...", "Select default icons\nSelect default icons", {}, -1,
         [this] {
             activateTreePane();
             m_items->chooseDefaultIcons();
         },
         {}, {}, false});
    add({kRightFont, "rightPanelFont", "Right panel", "Choose the font of the note pane\nRight panel font", {}, -1,
         [this] {
             activateEditorPane();
             editorSetFont();
         },
         [this] { return editorReady(); }, {}, false});
    add({kLeftFont, "leftPanelFont", "Left panel", "Choose the font of the tree pane\nLeft panel font", {}, -1,
         [this] {
             activateTreePane();
             m_items->chooseLeftPanelFont();
         },
         {}, {}, false});
    add({kCompleteCollapse, "collapse", "&Complete collapse ",
         "Check mark this option if you want to collapse all branches: otherwise  only root branches will "
         "collapse\nCollapse type",
         {}, -1, toggle([&] { flags.toggleCollapse(settings); }), {}, [&] { return flags.isCollapseChecked(); }, false});
    const auto dbl = [&](int id, const char *name, const char *text, const char *prompt, void (CDocumentFlags::*t)(CSettings &),
                         bool (CDocumentFlags::*is)() const) {
        add({id, name, QString::fromLatin1(text), QString::fromLatin1(prompt), {}, -1,
             toggle([&flags, &settings, t] { (flags.*t)(settings); }), {}, [&flags, is] { return (flags.*is)(); },
             false});
    };
    dbl(kDblU, "dblU", "URL", "A double-click opens web addresses", &CDocumentFlags::toggleDblU,
        &CDocumentFlags::isDblUChecked);
    dbl(kDblM, "dblM", "E-Mail", "A double-click writes to e-mail addresses", &CDocumentFlags::toggleDblM,
        &CDocumentFlags::isDblMChecked);
    dbl(kDblP, "dblP", "Phone", "A double-click dials phone numbers", &CDocumentFlags::toggleDblP,
        &CDocumentFlags::isDblPChecked);
    dbl(kDblF, "dblF", "File", "A double-click opens files", &CDocumentFlags::toggleDblF, &CDocumentFlags::isDblFChecked);
    add({kPrintSetup, "printSetup", "P&rint Setup...", "Change the printer and printing options\nPage Setup", {}, -1,
         [this] { onPrintSetup(); }, {}, {}, false});
    add({kToolbarBar, "viewToolbar", "&Toolbar", "Show or hide the toolbar\nToggle ToolBar", {}, -1,
         [this] { m_toolbar->setVisible(!m_toolbar->isVisible()); }, {},
         [this] { return m_toolbar && !m_toolbar->isHidden(); }, false});
    add({kCustomizeToolbar, "customizeToolbar", "Customize toolbar...", "Choose the toolbar's buttons\nCustomize toolbar",
         {}, -1, [this] { onCustomizeToolbar(); }, {}, {}, false});
    add({kStatusBar, "viewStatusBar", "&Status Bar", "Show or hide the status bar\nToggle StatusBar", {}, -1,
         [this] { statusBar()->setVisible(!statusBar()->isVisible()); }, {},
         [this] { return !statusBar()->isHidden(); }, false});

    // Help
    add({kHelp, "help", "Help\tF1", "Open the user guide\nHelp", keys({Qt::Key_F1}), -1, [this] { onHelp(); }, {}, {},
         false});
    add({kAbout, "about", "&About Torvi Quillbook...", "Display program information, version number and copyright\nAbout",
         {}, -1,
         [this] {
             CAboutDlg dlg(this);
             dlg.exec();
         },
         {}, {}, false});

    // Radio marks for the default sort type.
    auto *group = new QActionGroup(this);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int id : {kSortManual, kSortAlpha, kSortFolderFirst})
        group->addAction(m_commands->action(id));
}

// ---------------------------------------------------------------- menus and status bar

void CMainFrame::createMenus()
{
    const auto fill = [this](QMenu *menu, std::initializer_list<int> ids) {
        for (int id : ids) {
            if (id == 0)
                menu->addSeparator();
            else
                m_commands->addTo(menu, id);
        }
    };
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("menuFile"));
    fill(file, {kNew, kOpen});
    QMenu *import = file->addMenu(QStringLiteral("Import"));
    import->setObjectName(QStringLiteral("menuImport"));
    fill(import, {kImportText, kImportCsv, kImportFavorites});
    fill(file, {0, kSave, kSaveAs, 0, kRestore, 0, kPrint, 0, kRecentFile, 0, kExit});
    m_recentAnchor = action(kRecentFile);
    connect(file, &QMenu::aboutToShow, this, [this, file] { fillRecentFiles(file); });

    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("menuEdit"));
    fill(edit, {kUndo, 0, kCut, kCopy, kPaste, 0, kFindReplace, 0, kRemindersList, 0, kPassword});

    QMenu *settings = menuBar()->addMenu(QStringLiteral("&Settings"));
    settings->setObjectName(QStringLiteral("menuSettings"));
    QMenu *folder = settings->addMenu(QStringLiteral("Default folder"));
    fill(folder, {kProgramFolder, kOtherFolder});
    fill(settings, {0, kAutoSave, 0, kLastFile, 0, kBackupSettings, 0});
    QMenu *sort = settings->addMenu(QStringLiteral("Sort (default)"));
    fill(sort, {kSortManual, kSortAlpha, kSortFolderFirst, 0, kExecuteAll});
    fill(settings, {kDefaultIcons, 0});
    QMenu *font = settings->addMenu(QStringLiteral("&Font"));
    fill(font, {kRightFont, kLeftFont});
    fill(settings, {0, kCompleteCollapse, 0});
    QMenu *dbl = settings->addMenu(QStringLiteral("DblClick"));
    fill(dbl, {kDblU, kDblM, kDblP, kDblF});
    fill(settings, {0, kPrintSetup, 0, kToolbarBar, kCustomizeToolbar, 0, kStatusBar});

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("menuHelp"));
    fill(help, {kHelp, kAbout});

    // The sort button's drop-down.
    m_sortMenu = new QMenu(this);
    m_sortMenu->setObjectName(QStringLiteral("localSortMenu"));
    fill(m_sortMenu, {kLocalManual, kLocalAlpha, kLocalFolderFirst});

    // Every menu shows the states of the moment it opens.
    for (QMenu *menu : menuBar()->findChildren<QMenu *>())
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
    connect(m_sortMenu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
}

void CMainFrame::createStatusBar()
{
    // The message pane: "Ready" until a status text or message covers it.
    m_readyPane = new QLabel(QString::fromLatin1(kReady), this);
    m_readyPane->setObjectName(QStringLiteral("messagePane"));
    statusBar()->addWidget(m_readyPane, 1);
    m_passwordPane = new QLabel(this);
    m_passwordPane->setObjectName(QStringLiteral("passwordPane"));
    statusBar()->addPermanentWidget(m_passwordPane);
    statusBar()->setObjectName(QStringLiteral("statusBar"));
}

QString CMainFrame::messageText() const
{
    const QString message = statusBar()->currentMessage();
    return message.isEmpty() ? m_readyPane->text() : message;
}

void CMainFrame::scheduleUpdate()
{
    // Many notices come in a row (a rebuild, a paste): one pass after them.
    if (m_updatePending)
        return;
    m_updatePending = true;
    QMetaObject::invokeMethod(this, [this] {
        m_updatePending = false;
        updateCommandStates();
    }, Qt::QueuedConnection);
}

void CMainFrame::updateCommandStates()
{
    m_commands->update();
    if (m_toolbar)
        m_toolbar->setSortImage(sortrules::localSortButtonImage(m_doc.m_nLastLocalSort));
}

void CMainFrame::updateTitle()
{
    setWindowTitle(m_doc.title() + QStringLiteral(" - ") + QString::fromLatin1(kProgramName));
    // The password pane follows the document at once.
    m_passwordPane->setText(m_doc.passwordStatusText());
    updateCommandStates();
}

void CMainFrame::fillRecentFiles(QMenu *file)
{
    // The recent documents stand in the File menu in place of "Recent File".
    for (QAction *a : std::as_const(m_recentActions)) {
        file->removeAction(a);
        a->deleteLater();
    }
    m_recentActions.clear();
    const QStringList files = m_manager.recentFiles().files();
    m_recentAnchor->setVisible(files.isEmpty());
    for (int i = 0; i < files.size(); ++i) {
        auto *a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(files[i])), file);
        a->setObjectName(QStringLiteral("recentFile%1").arg(i + 1));
        a->setStatusTip(QStringLiteral("Open this document"));
        connect(a, &QAction::triggered, this, [this, i] { m_manager.openRecentFile(i); });
        file->insertAction(m_recentAnchor, a);
        m_recentActions.append(a);
    }
}

// ---------------------------------------------------------------- panes

void CMainFrame::onFocusChanged(QWidget *now)
{
    if (!now)
        return;
    Pane pane = m_activePane;
    if (now == m_items || m_items->isAncestorOf(now))
        pane = Pane::Tree;
    else if (now == m_note || m_note->isAncestorOf(now))
        pane = Pane::Editor;
    if (pane == m_activePane)
        return;
    m_activePane = pane;
    updateCommandStates();
}

void CMainFrame::activateTreePane()
{
    m_activePane = Pane::Tree;
    m_items->setFocus(Qt::OtherFocusReason);
    updateCommandStates();
}

void CMainFrame::activateEditorPane()
{
    m_activePane = Pane::Editor;
    m_note->setFocus(Qt::OtherFocusReason);
    updateCommandStates();
}

void CMainFrame::switchPane()
{
    // Two panes: next and previous are the same one.
    if (treeActive())
        activateEditorPane();
    else
        activateTreePane();
}

void CMainFrame::showItem(int index)
{
    activateTreePane();
    m_items->infoTree().selectByIndex(index);
    updateCommandStates();
}

// ---------------------------------------------------------------- editor routing

bool CMainFrame::editorReady() const
{
    return !m_note->isReadOnly();
}

bool CMainFrame::editorCanUndo() const
{
    return editorReady() && m_note->document()->isUndoAvailable();
}

bool CMainFrame::editorCanCut() const
{
    return editorReady() && m_note->textCursor().hasSelection();
}

bool CMainFrame::editorCanCopy() const
{
    return m_note->textCursor().hasSelection();
}

bool CMainFrame::editorCanPaste() const
{
    return editorReady() && m_note->canPaste();
}

void CMainFrame::editorUndo()
{
    m_note->undo();
}

void CMainFrame::editorCut()
{
    m_note->guardedCut();
}

void CMainFrame::editorCopy()
{
    m_note->copy();
}

void CMainFrame::editorPaste()
{
    m_note->guardedPaste();
}

void CMainFrame::editorOpenLink()
{
    m_note->openSelection();
}

void CMainFrame::editorMail()
{
    m_note->emailSelection();
}

void CMainFrame::editorCall()
{
    m_note->callSelection();
}

void CMainFrame::editorLocalLink()
{
    m_note->insertLocalLink();
}

void CMainFrame::editorSetFont()
{
    m_note->chooseFont();
}

void CMainFrame::editorFourSpaces()
{
    m_note->insertFourSpaces();
}

void CMainFrame::editorInsert(const QString &text)
{
    m_note->insertAtCaret(text);
}

bool CMainFrame::findDialogReady() const
{
    return m_findDlg != nullptr;
}

void CMainFrame::showFindDialog()
{
    m_findDlg->show();
    m_findDlg->raise();
    m_findDlg->activateWindow();
}

// ---------------------------------------------------------------- command handlers

void CMainFrame::onOpen()
{
    const QString path = m_prompter.chooseOpenFile(QStringLiteral("Open"), m_doc.documentFolder(),
                                                   QStringLiteral("Torvi Quillbook Files (*.tqb);;All Files (*.*)"));
    if (!path.isEmpty())
        m_manager.openDocumentFile(path);
}

void CMainFrame::printNote(QPrinter &printer)
{
    m_note->print(&printer);
}

void CMainFrame::onPrint()
{
    // Print always prints the note: the editor becomes the active pane. The
    // preview window shows the pages and holds the Print button.
    activateEditorPane();
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>();
    QPrintPreviewDialog preview(m_printer.get(), this);
    preview.setObjectName(QStringLiteral("printPreview"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *p) { printNote(*p); });
    preview.exec();
}

void CMainFrame::onPrintSetup()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>();
    QPageSetupDialog dlg(m_printer.get(), this);
    dlg.exec();
}

void CMainFrame::onBackupSettings()
{
    CBackupDlg dlg(m_doc.backupSettings(), m_prompter, this);
    const bool accepted = dlg.exec() == QDialog::Accepted;
    m_doc.setBackup(accepted ? dlg.result(m_doc.backupSettings()) : m_doc.backupSettings());
}

void CMainFrame::onRestore()
{
    QList<QPair<QString, QString>> rows;
    for (const CBackupEntry &entry : CBackupRestore::listFolder(m_doc.backupSettings().folder))
        rows.append({entry.fileName, CBackupRestore::formatDate(entry.lastWrite)});
    CRestoreDlg dlg(rows, this);
    if (dlg.exec() == QDialog::Accepted)
        m_manager.restore(dlg.chosenName());
}

void CMainFrame::onOtherFolder()
{
    m_doc.flags().useOtherFolder(m_doc.settings(), m_prompter.chooseFolder(QStringLiteral("Select folder")));
}

void CMainFrame::onReminder()
{
    ReminderEditing::edit(m_doc, m_doc.m_nCurItem, m_prompter, this);
}

void CMainFrame::onRemindersList()
{
    CReminderListDlg *list = nullptr;
    CReminderListDlg dlg(m_doc, m_doc.settings(), m_codePage,
                         [this, &list](int index) { return ReminderEditing::edit(m_doc, index, m_prompter, list); },
                         this);
    list = &dlg;
    if (dlg.exec() == QDialog::Accepted && dlg.chosenIndex() >= 0)
        showItem(dlg.chosenIndex());
}

void CMainFrame::onCustomizeToolbar()
{
    CToolbarDlg dlg(m_doc.settings(), m_prompter, this);
    dlg.exec();
}

void CMainFrame::onPasswordGenerator()
{
    PasswordGenCommand::run(m_doc, m_prompter, [this](const QString &password) { editorInsert(password); }, this);
}

void CMainFrame::onHelp()
{
    // The guide beside the program (installed), or in the source tree (a build).
    const QString appDir = QCoreApplication::applicationDirPath();
    QStringList candidates{appDir + QStringLiteral("/guide/index.html"),
                           appDir + QStringLiteral("/../share/torvi-quillbook/guide/index.html")};
#ifdef TQB_SOURCE_GUIDE
    candidates.append(QStringLiteral(TQB_SOURCE_GUIDE) + QStringLiteral("/index.html"));
#endif
    for (const QString &path : std::as_const(candidates)) {
        if (QFileInfo(path).isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())))
            return;
    }
    // No guide: the program's web page instead; say so only when that fails too.
    if (!QDesktopServices::openUrl(QUrl(QString::fromLatin1(kWebSite))))
        m_prompter.message(QString::fromLatin1(kGuideMissing));
}

// ---------------------------------------------------------------- layout

void CMainFrame::showFirstTime()
{
    if (!m_bFirstShow) {
        show();
        return;
    }
    CSettings &settings = m_doc.settings();
    const CRestoreWndSettings stored = settings.restoreWnd();

    // The docking state first, then the placement.
    const QByteArray bars = settings.barState();
    if (!bars.isEmpty()) {
        QDataStream in(bars);
        quint32 version = 0;
        QByteArray state;
        bool statusShown = true;
        in >> version >> state >> statusShown;
        if (in.status() == QDataStream::Ok && version == kBarStateVersion) {
            restoreState(state);
            statusBar()->setVisible(statusShown);
        }
    }
    QList<QRect> screens;
    for (QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    const QRect rect = windowplacement::onScreen(
        QRect(QPoint(stored.left, stored.top), QPoint(stored.right - 1, stored.bottom - 1)), screens);
    setGeometry(rect);
    m_splitter->setSizes({std::max(10, stored.splitter), std::max(10, rect.width() - std::max(10, stored.splitter))});

    switch (windowplacement::stateFor(stored.showCmd)) {
    case windowplacement::State::Maximized:
        showMaximized();
        break;
    case windowplacement::State::Minimized:
        if (stored.flag & windowplacement::kRestoreToMaximized)
            setWindowState(Qt::WindowMaximized);
        showMinimized();
        break;
    case windowplacement::State::Normal:
        show();
        break;
    }
    m_bFirstShow = false;
    m_reminders->start();
    updateCommandStates();
}

void CMainFrame::saveLayout()
{
    using windowplacement::State;
    const Qt::WindowStates states = windowState();
    const State state = states & Qt::WindowMinimized ? State::Minimized
                        : states & Qt::WindowMaximized ? State::Maximized
                                                       : State::Normal;
    const QRect normal = state == State::Normal ? geometry() : normalGeometry();
    CRestoreWndSettings values;
    values.flag = windowplacement::flagFor(state, states & Qt::WindowMaximized);
    values.showCmd = windowplacement::showCmdFor(state);
    if (normal.isValid()) {
        values.left = normal.left();
        values.top = normal.top();
        values.right = normal.right() + 1;
        values.bottom = normal.bottom() + 1;
    }
    const QList<int> sizes = m_splitter->sizes();
    values.splitter = sizes.isEmpty() ? values.splitter : sizes.first();
    CSettings &settings = m_doc.settings();
    settings.setRestoreWnd(values);

    QByteArray bars;
    QDataStream out(&bars, QIODevice::WriteOnly);
    out << kBarStateVersion << saveState() << !statusBar()->isHidden();
    settings.setBarState(bars);
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    // The save question may cancel the close: only then is the close
    // certain and the layout, the hot key and the dialogs are let go.
    if (!m_doc.saveModified()) {
        event->ignore();
        return;
    }
    saveLayout();
    m_reminders->stop();
    m_capture->stop();
    delete m_capture;
    m_capture = nullptr;
    delete m_newNoteDlg;
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent *event)
{
    // One document at a time: the first local file dropped is opened.
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            m_manager.openDocumentFile(url.toLocalFile());
            break;
        }
    }
    event->acceptProposedAction();
}
