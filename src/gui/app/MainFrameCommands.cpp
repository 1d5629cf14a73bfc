// The window's commands (texts, keys, images, handlers, enable and check
// rules) and the menus that show them.
#include "app/MainFrame.h"

#include "app/CommandTable.h"
#include "app/DocManager.h"
#include "app/IdleLock.h"
#include "app/MainToolBar.h"
#include "about/AboutDlg.h"
#include "doc/TorviQuillbookDoc.h"
#include "export/Exporter.h"
#include "editor/TorviQuillbookView.h"
#include "find/GoToNotePopup.h"
#include "find/SearchDock.h"
#include "import/ImportCommands.h"
#include "settings/Settings.h"
#include "settings/StartFolder.h"
#include "tree/LeftView.h"
#include "tree/SortRules.h"

#include <QActionGroup>
#include <QMenuBar>
#include <QStatusBar>

using Cmd = CCommandTable::Command;

namespace {

QList<QKeySequence> keys(std::initializer_list<QKeyCombination> combos)
{
    QList<QKeySequence> out;
    for (QKeyCombination c : combos)
        out.append(QKeySequence(c));
    return out;
}

}  // namespace

void CMainFrame::createCommands()
{
    CSettings &settings = m_doc.settings();
    CInfoTree &tree = m_items->infoTree();
    const auto ed = [this] { return !treeActive(); };
    const auto inTree = [this] { return treeActive(); };
    const auto add = [this](Cmd c) { return m_commands->add(std::move(c)); };
    const auto toggle = [this](std::function<void()> change) {
        return [this, change = std::move(change)] {
            change();
            updateCommandStates();
        };
    };

    // File
    add({kNew, "fileNew", tr("&New\tCtrl+N"), tr("Create a new document\nNew"), keys({Qt::CTRL | Qt::Key_N}), 0,
         [this] { m_manager.fileNew(); }, {}, {}, false});
    add({kOpen, "fileOpen", tr("&Open...\tCtrl+O"), tr("Open an existing document\nOpen"), keys({Qt::CTRL | Qt::Key_O}), 1,
         [this] { onOpen(); }, {}, {}, false});
    const auto importCmd = [this](int id, const char *name, const char *text, const char *prompt,
                                  std::function<void(CImportCommands &)> run) {
        m_commands->add({id, name, tr(text), QCoreApplication::translate("CImportCommands", prompt), {}, -1,
                         [this, run = std::move(run)] { run(*m_imports); }, {}, {}, false});
    };
    importCmd(kImportText, "importText", QT_TR_NOOP("&Text..."), CImportCommands::kTextStatus,
              [](CImportCommands &c) { c.importText(); });
    importCmd(kImportCsv, "importCsv", QT_TR_NOOP("&CSV (list)..."), CImportCommands::kCsvStatus,
              [](CImportCommands &c) { c.importCsv(); });
    importCmd(kImportFavorites, "importFavorites", QT_TR_NOOP("&Favorites..."), CImportCommands::kFavoritesStatus,
              [](CImportCommands &c) { c.importFavorites(); });
    importCmd(kImportMarkdown, "importMarkdown", QT_TR_NOOP("&Markdown folder..."), CImportCommands::kMarkdownStatus,
              [](CImportCommands &c) { c.importMarkdown(); });
    const auto exportCmd = [this](int id, const char *name, const char *text, const char *prompt, CExporter::Kind kind) {
        m_commands->add({id, name, tr(text), tr(prompt), {}, -1,
                         [this, kind] { CExporter(m_doc, m_codePage).run(kind); }, {}, {}, false});
    };
    exportCmd(kExportMarkdown, "exportMarkdown", QT_TR_NOOP("&Markdown folder..."),
              QT_TR_NOOP("Export the notes as a folder of Markdown files\nExport Markdown"), CExporter::Kind::Markdown);
    exportCmd(kExportHtml, "exportHtml", QT_TR_NOOP("&HTML file..."), QT_TR_NOOP("Export the notes as one web page\nExport HTML"),
              CExporter::Kind::Html);
    exportCmd(kExportOpml, "exportOpml", QT_TR_NOOP("&OPML outline..."), QT_TR_NOOP("Export the notes as an OPML outline\nExport OPML"),
              CExporter::Kind::Opml);
    add({kSave, "fileSave", tr("&Save\tCtrl+S"), tr("Save the active document\nSave"), keys({Qt::CTRL | Qt::Key_S}), 2,
         [this] { m_doc.saveCommand(); }, [this] { return m_doc.canSave(); }, {}, false});
    add({kSaveAs, "fileSaveAs", tr("Save &As..."), tr("Save the active document with a new name\nSave As"), {}, -1,
         [this] { m_doc.saveAsCommand(); }, [this] { return m_doc.canSaveAs(); }, {}, false});
    add({kLock, "fileLock", tr("&Lock\tCtrl+Shift+L"), tr("Hide the document until its password is given\nLock"),
         keys({Qt::CTRL | Qt::SHIFT | Qt::Key_L}), -1, [this] { m_idleLock->lock(); },
         [this] { return m_doc.hasPassword(); }, {}, false});
    add({kRestore, "restore", tr("&Restore"), tr("Restore the document from a backup copy\nRestore"), {}, -1,
         [this] { onRestore(); }, [this] { return m_manager.canRestore(); }, {}, false});
    add({kPrint, "filePrint", tr("&Print...\tCtrl+P"), tr("Print the note\nPrint"), keys({Qt::CTRL | Qt::Key_P}), 3,
         [this] { onPrint(); }, [this] { return m_doc.canPrint(); }, {}, false});
    add({kRecentFile, "recentFile", tr("Recent File"), tr("Open this document"), {}, -1, {}, [] { return false; }, {}, false});
    add({kExit, "fileExit", tr("E&xit"), tr("Quit the application; prompts to save documents\nExit"), {}, -1,
         [this] { close(); }, {}, {}, false});

    // Edit: the active pane's.
    using Edit = IEditTarget::Edit;
    const auto editCmd = [&](int id, const char *name, const QString &text, const QString &prompt,
                             QList<QKeySequence> k, int image, Edit what) {
        add({id, name, text, prompt, std::move(k), image, [this, what] { editTarget().runEdit(what); },
             [this, what] { return editTarget().canRunEdit(what); }, {}, false});
    };
    editCmd(kUndo, "editUndo", tr("&Undo\tCtrl+Z"), tr("Undo the last action\nUndo"),
            keys({Qt::CTRL | Qt::Key_Z, Qt::ALT | Qt::Key_Backspace}), 7, Edit::Undo);
    editCmd(kCut, "editCut", tr("Cu&t\tCtrl+X"), tr("Cut the selection and put it on the Clipboard\nCut"),
            keys({Qt::CTRL | Qt::Key_X, Qt::SHIFT | Qt::Key_Delete}), 4, Edit::Cut);
    editCmd(kCopy, "editCopy", tr("&Copy\tCtrl+C"), tr("Copy the selection and put it on the Clipboard\nCopy"),
            keys({Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_Insert}), 5, Edit::Copy);
    editCmd(kPaste, "editPaste", tr("&Paste\tCtrl+V"), tr("Insert Clipboard contents\nPaste"),
            keys({Qt::CTRL | Qt::Key_V, Qt::SHIFT | Qt::Key_Insert}), 6, Edit::Paste);
    add({kFindReplace, "findReplace", tr("&Find/Replace \tCtrl+F"), tr("Find and replace text in the notes\nFind"),
         keys({Qt::CTRL | Qt::Key_F}), 17, [this] { showFindDialog(); },
         [this, &tree] { return findDialogReady() && (!treeActive() || tree.canFindReplace()); }, {}, false});
    add({kSearchAll, "searchAll", tr("Search all notes...\tCtrl+Shift+F"),
         tr("List every note that holds a text\nSearch all notes"), keys({Qt::CTRL | Qt::SHIFT | Qt::Key_F}), -1,
         [this] { m_searchDock->openSearch(); }, {}, {}, false});
    add({kGoToNote, "goToNote", tr("Go to note...\tCtrl+G"), tr("Select a note by its title\nGo to note"),
         keys({Qt::CTRL | Qt::Key_G}), -1, [this] { m_goToNote->open(); },
         [&tree] { return tree.model().count() > 0; }, {}, false});
    add({kRemindersList, "remindersList", tr("Reminders list\tCtrl+L"), tr("Edit (view) reminders list\nReminders list"),
         keys({Qt::CTRL | Qt::Key_L}), 16, [this] { onRemindersList(); }, [this] { return m_doc.hasReminders(); },
         {}, false});
    add({kPassword, "password", tr("Pass&word\t Alt+P"), tr("Set or change the document's password\nPassword"),
         keys({Qt::ALT | Qt::Key_P}), 21, [this] { m_doc.changePassword(); },
         [this] { return m_doc.canChangePassword(); }, {}, false});

    // The tree's commands: only while the tree is the active pane.
    add({kAddRoot, "addRootFolder", tr("Add a root folder\tAlt+Ins"), tr("Add a root folder\nRoot folder"),
         keys({Qt::ALT | Qt::Key_Insert}), 8, [&tree] { tree.addRootFolder(); }, inTree, {}, false});
    add({kInsertNote, "insertNote", tr("Insert new note\tIns"), tr("Insert new note (subFolder)\nNote (subfolder)"), {}, 9,
         [&tree] { tree.insertNewNote(); }, [this, &tree] { return treeActive() && tree.canInsertNote(); }, {}, false});
    add({kRename, "rename", tr("Rename"), tr("Rename the selected item\nRename the selected item"), {}, -1,
         [&tree] { tree.rename(); }, inTree, {}, false});
    add({kExpandBranch, "expandBranch", tr("Expand branch"),
         tr("Expand the selected branch of the tree\nExpand the selected branch of the tree"), {}, -1,
         [&tree] { tree.expandBranch(); }, inTree, {}, false});
    add({kExpandAll, "expandAll", tr("Expand all "), tr("Expand all branch of the tree\nExpand"), {}, 11,
         [&tree] { tree.expandAll(); }, [this, &tree] { return treeActive() && tree.canExpandAll(); }, {}, false});
    add({kCollapseCmd, "collapseTree", tr("Collapse"), tr("Collapse\nCollapse"), {}, 12, [&tree] { tree.collapse(); },
         [this, &tree] { return treeActive() && tree.canCollapse(); }, {}, false});
    add({kDelete, "deleteItem", tr("Delete\tDel"), tr("Delete the selected folder or note\nDelete"), {}, 10,
         [&tree] { tree.deleteSelected(); }, [this, &tree] { return treeActive() && tree.canDelete(); }, {}, false});
    add({kPasteBefore, "pasteBefore", tr("Paste before\t Alt+V"),
         tr("Paste the copied branch of the tree before the selected folder"), keys({Qt::ALT | Qt::Key_V}), -1,
         [&tree] { tree.pasteBefore(); }, inTree, {}, false});
    add({kSelectIcons, "selectIcons", tr("Select icons"), tr("Select icons for tree item(s)\nSelect icons"), {}, 14,
         [this] { m_items->chooseIcons(); }, inTree, {}, false});
    add({kSortButton, "localSort", tr("Local sorting type"),
         tr("Select the notes sorting type (in that folder)\nLocal sorting type"), {}, -1,
         [this, &tree] {
             if (treeActive())
                 tree.localSort(sortrules::kCmdLocalSortButton);
         },
         [this] { return sortrules::localSortButtonEnabled(m_doc.m_nCurItem); }, {}, false});
    const auto localSort = [&](int id, const char *name, const char *text, const char *prompt) {
        add({id, name, tr(text), tr(prompt), {}, -1,
             [&tree, id] { tree.localSort(id); }, inTree, {}, false});
    };
    localSort(kLocalManual, "localSortManual", QT_TR_NOOP("Manual"), QT_TR_NOOP("Sort folders and notes manually\nSort folders and notes manually"));
    localSort(kLocalAlpha, "localSortAlphabetical", QT_TR_NOOP("Alphabetical"),
              QT_TR_NOOP("Sort folders and notes in alphabetical order\nSort folders and notes in alphabetical order "));
    localSort(kLocalFolderFirst, "localSortFolderFirst", QT_TR_NOOP("Alphabetical (folder first)"),
              QT_TR_NOOP("Sort folders and notes in alphabetical order (folder first)\nSort folders and notes in "
                         "alphabetical order (folder first)"));
    add({kReminder, "reminder", tr("Reminder"), tr("Set the reminder of the selected note\nReminder"), {}, 15,
         [this] { onReminder(); }, [this] { return m_doc.m_nCurItem >= 0; }, {}, false});

    // The editor's commands: only while the editor is the active pane.
    const auto editorCmd = [&](int id, const char *name, const char *text, const char *prompt,
                               QList<QKeySequence> k, int image, void (CMainFrame::*run)()) {
        add({id, name, tr(text), tr(prompt), std::move(k), image,
             [this, run] { (this->*run)(); }, [this, ed] { return ed() && editorReady(); }, {}, false});
    };
    editorCmd(kOpenLink, "openLink", QT_TR_NOOP("Open\tAlt+O"), QT_TR_NOOP("Open the selected file or URL\nOpen URL"), keys({Qt::ALT | Qt::Key_O}),
              18, &CMainFrame::editorOpenLink);
    editorCmd(kMail, "mailTo", QT_TR_NOOP("E-mail\tAlt+E"), QT_TR_NOOP("Write an e-mail to the selected address\nE-mail"),
              keys({Qt::ALT | Qt::Key_E}), -1, &CMainFrame::editorMail);
    editorCmd(kCall, "call", QT_TR_NOOP("Call\tAlt+D"), QT_TR_NOOP("Call the selected number\nCall"), keys({Qt::ALT | Qt::Key_D}), -1,
              &CMainFrame::editorCall);
    editorCmd(kLocalLink, "localLink", QT_TR_NOOP("Local link"), QT_TR_NOOP("Insert a link to a local file\nLink"), {}, 19,
              &CMainFrame::editorLocalLink);
    editorCmd(kGenerator, "passwordGenerator", QT_TR_NOOP("Password generator"), QT_TR_NOOP("Password generator\nPassword generator"), {}, 20,
              &CMainFrame::onPasswordGenerator);
    editorCmd(kFourSpaces, "fourSpaces", QT_TR_NOOP("Four spaces"), "", keys({Qt::CTRL | Qt::Key_Tab}), -1,
              &CMainFrame::editorFourSpaces);

    // Panes.
    add({kNextPane, "nextPane", tr("Next pane"), tr("Switch to the next window pane\nNext pane"),
         keys({Qt::Key_Tab, Qt::Key_F6}), -1, [this] { switchPane(); }, {}, {}, false});
    add({kPrevPane, "previousPane", tr("Previous pane"), tr("Switch back to the previous window pane\nPrevious pane"),
         keys({Qt::SHIFT | Qt::Key_F6}), -1, [this] { switchPane(); }, {}, {}, false});

    // Settings
    add({kProgramFolder, "programFolder", tr("Program folder"), tr("Keep documents in the program's folder"), {}, -1,
         toggle([&] { startfolder::useProgramFolder(settings); }), {},
         [&] { return settings.text(CSettings::StartPath).isEmpty(); }, false});
    add({kOtherFolder, "otherFolder", tr("Other folder"), tr("Choose the folder for documents"), {}, -1,
         toggle([this] { onOtherFolder(); }), {}, [&] { return !settings.text(CSettings::StartPath).isEmpty(); }, false});
    add({kAutoSave, "autoSave", tr("Auto saving"), tr("Save the document automatically\nAuto saving"), {}, -1,
         toggle([&] { settings.toggle(CSettings::AutoSave); }), {}, [&] { return settings.isOn(CSettings::AutoSave); }, false});
    add({kLockAfter, "lockAfter", QCoreApplication::translate("CIdleLock", CIdleLock::kSettingName) + QStringLiteral("..."),
         tr("Hide the document after a time without input, until its password is given\nLock"), {}, -1,
         [this] { onLockAfter(); }, {}, {}, false});
    add({kLastFile, "lastFile", tr("Open the file at start"), tr("Open the last document at start\nOpen the file at start"),
         {}, -1, toggle([&] { settings.toggle(CSettings::LastFile); }), {}, [&] { return settings.isOn(CSettings::LastFile); },
         false});
    add({kBackupSettings, "backupSettings", tr("Backup settings..."), tr("Set up backup copies\nBackup settings"), {}, -1,
         [this] { onBackupSettings(); }, {}, {}, false});
    const auto defaultSort = [&](int id, const char *name, const char *text, const char *prompt, int type) {
        add({id, name, tr(text), tr(prompt), {}, -1,
             toggle([&settings, type] { settings.setNumber(CSettings::SortType, type); }), {},
             [&settings, type] { return settings.number(CSettings::SortType) == type; }, true});
    };
    defaultSort(kSortManual, "sort0", QT_TR_NOOP("Manual"), QT_TR_NOOP("Sort folders and notes manually"), sortrules::kManual);
    defaultSort(kSortAlpha, "sort1", QT_TR_NOOP("Alphabetical"),
                QT_TR_NOOP("Sort folders and notes in alphabetical order\nSort folders and notes in alphabetical order "),
                sortrules::kAlphabetical);
    defaultSort(kSortFolderFirst, "sort2", QT_TR_NOOP("Alphabetical (folder first)"),
                QT_TR_NOOP("Sort folders and notes in alphabetical order (folder first)\nSort folders and notes in "
                           "alphabetical order (folder first)"),
                sortrules::kFolderFirst);
    add({kExecuteAll, "executeForAllFolders", tr("Execute for all folders"),
         tr("Execute default sorting for all folders\nExecute default sorting for all folders"), {}, -1,
         [&tree] { tree.executeForAllFolders(); }, inTree, {}, false});
    add({kDefaultIcons, "defaultIcons", tr("Icons (default)..."), tr("Select default icons\nSelect default icons"), {}, -1,
         [this] {
             activateTreePane();
             m_items->chooseDefaultIcons();
         },
         {}, {}, false});
    add({kRightFont, "rightPanelFont", tr("Right panel"), tr("Choose the font of the note pane\nRight panel font"), {}, -1,
         [this] {
             activateEditorPane();
             editorSetFont();
         },
         [this] { return editorReady(); }, {}, false});
    add({kLeftFont, "leftPanelFont", tr("Left panel"), tr("Choose the font of the tree pane\nLeft panel font"), {}, -1,
         [this] {
             activateTreePane();
             m_items->chooseLeftPanelFont();
         },
         {}, {}, false});
    add({kCompleteCollapse, "collapse", tr("&Complete collapse "),
         tr("Check mark this option if you want to collapse all branches: otherwise  only root branches will "
            "collapse\nCollapse type"),
         {}, -1, toggle([&] { settings.toggle(CSettings::Collapse); }), {}, [&] { return settings.isOn(CSettings::Collapse); },
         false});
    const auto dbl = [&](int id, const char *name, const char *text, const char *prompt, CSettings::Key key) {
        add({id, name, tr(text), tr(prompt), {}, -1, toggle([&settings, key] { settings.toggle(key); }), {},
             [&settings, key] { return settings.isOn(key); }, false});
    };
    dbl(kDblU, "dblU", QT_TR_NOOP("URL"), QT_TR_NOOP("A double-click opens web addresses"), CSettings::DblU);
    dbl(kDblM, "dblM", QT_TR_NOOP("E-Mail"), QT_TR_NOOP("A double-click writes to e-mail addresses"), CSettings::DblM);
    dbl(kDblP, "dblP", QT_TR_NOOP("Phone"), QT_TR_NOOP("A double-click dials phone numbers"), CSettings::DblP);
    dbl(kDblF, "dblF", QT_TR_NOOP("File"), QT_TR_NOOP("A double-click opens files"), CSettings::DblF);
    add({kPrintSetup, "printSetup", tr("P&rint Setup..."), tr("Change the printer and printing options\nPage Setup"), {}, -1,
         [this] { onPrintSetup(); }, {}, {}, false});
    add({kToolbarBar, "viewToolbar", tr("&Toolbar"), tr("Show or hide the toolbar\nToggle ToolBar"), {}, -1,
         [this] { m_toolbar->setVisible(!m_toolbar->isVisible()); }, {},
         [this] { return m_toolbar && !m_toolbar->isHidden(); }, false});
    add({kCustomizeToolbar, "customizeToolbar", tr("Customize toolbar..."), tr("Choose the toolbar's buttons\nCustomize toolbar"),
         {}, -1, [this] { onCustomizeToolbar(); }, {}, {}, false});
    add({kStatusBar, "viewStatusBar", tr("&Status Bar"), tr("Show or hide the status bar\nToggle StatusBar"), {}, -1,
         [this] { statusBar()->setVisible(!statusBar()->isVisible()); }, {},
         [this] { return !statusBar()->isHidden(); }, false});

    // Help
    add({kHelp, "help", tr("Help\tF1"), tr("Open the user guide\nHelp"), keys({Qt::Key_F1}), -1, [this] { onHelp(); }, {}, {},
         false});
    add({kAbout, "about", tr("&About Torvi Quillbook..."), tr("Display program information, version number and copyright\nAbout"),
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
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("menuFile"));
    fill(file, {kNew, kOpen});
    QMenu *import = file->addMenu(tr("&Import"));
    import->setObjectName(QStringLiteral("menuImport"));
    fill(import, {kImportText, kImportCsv, kImportFavorites, kImportMarkdown});
    QMenu *exports = file->addMenu(tr("&Export"));
    exports->setObjectName(QStringLiteral("menuExport"));
    fill(exports, {kExportMarkdown, kExportHtml, kExportOpml});
    fill(file, {0, kSave, kSaveAs, kLock, 0, kRestore, 0, kPrint, 0, kRecentFile, 0, kExit});
    m_recentAnchor = action(kRecentFile);
    connect(file, &QMenu::aboutToShow, this, [this, file] { fillRecentFiles(file); });

    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    edit->setObjectName(QStringLiteral("menuEdit"));
    fill(edit, {kUndo, 0, kCut, kCopy, kPaste, 0, kFindReplace, kSearchAll, kGoToNote, 0, kRemindersList, 0, kPassword});

    QMenu *settings = menuBar()->addMenu(tr("&Settings"));
    settings->setObjectName(QStringLiteral("menuSettings"));
    QMenu *folder = settings->addMenu(tr("Default folder"));
    fill(folder, {kProgramFolder, kOtherFolder});
    fill(settings, {0, kAutoSave, kLockAfter, 0, kLastFile, 0, kBackupSettings, 0});
    QMenu *sort = settings->addMenu(tr("Sort (default)"));
    fill(sort, {kSortManual, kSortAlpha, kSortFolderFirst, 0, kExecuteAll});
    fill(settings, {kDefaultIcons, 0});
    QMenu *font = settings->addMenu(tr("&Font"));
    fill(font, {kRightFont, kLeftFont});
    fill(settings, {0, kCompleteCollapse, 0});
    QMenu *dbl = settings->addMenu(tr("DblClick"));
    fill(dbl, {kDblU, kDblM, kDblP, kDblF});
    fill(settings, {0, kPrintSetup, 0, kToolbarBar, kCustomizeToolbar, 0, kStatusBar});

    QMenu *help = menuBar()->addMenu(tr("&Help"));
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
