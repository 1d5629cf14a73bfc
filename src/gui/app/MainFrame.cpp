#include "app/MainFrame.h"

#include "app/DocManager.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/BackupDlg.h"
#include "dialogs/RestoreDlg.h"
#include "doc/Backup.h"
#include "doc/TorviQuillbookDoc.h"
#include "editor/TorviQuillbookView.h"
#include "settings/Settings.h"
#include "text/CodePage.h"
#include "tree/LeftView.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>

CMainFrame::CMainFrame(CDocManager &manager, const CCodePage &codePage, IPrompter &prompter, QWidget *parent)
    : QMainWindow(parent), m_manager(manager), m_doc(manager.document()), m_codePage(codePage), m_prompter(prompter)
{
    auto *splitter = new QSplitter(this);
    m_items = new CLeftView(m_doc, codePage, splitter);
    m_note = new CTorviQuillbookView(m_doc, codePage, splitter);
    splitter->setSizes({220, 580});
    setCentralWidget(splitter);

    m_passwordPane = new QLabel(this);
    statusBar()->addPermanentWidget(m_passwordPane);
    setAcceptDrops(true);
    resize(800, 550);

    createMenus();
    // The note pane follows the document's hints by itself.
    connect(&m_doc, &CTorviQuillbookDoc::updateAllViews, this, [this](int hint) {
        if (hint == CTorviQuillbookDoc::kHintShowItem || hint == CTorviQuillbookDoc::kHintRefreshAll)
            updateCommandStates();
    });
    connect(m_note, &CTorviQuillbookView::statusMessage, this, [this](const QString &text) {
        statusBar()->showMessage(text);
    });
    connect(&m_doc, &CTorviQuillbookDoc::titleChanged, this, &CMainFrame::updateTitle);
    connect(&m_doc, &CTorviQuillbookDoc::activateTreePane, this, [this] { m_items->setFocus(); });
    updateTitle();
}

CMainFrame::~CMainFrame()
{
    // Closing the window may still end a label edit, which notifies the
    // document's views; this frame's members are going, so it listens no more.
    disconnect(&m_doc, nullptr, this, nullptr);
}

QAction *CMainFrame::action(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

QAction *CMainFrame::addCommand(QMenu *menu, const QString &name, const QString &text, void (CMainFrame::*slot)())
{
    QAction *a = menu->addAction(text);
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, slot);
    return a;
}

QAction *CMainFrame::addToggle(QMenu *menu, const QString &name, const QString &text, std::function<void()> toggle)
{
    QAction *a = menu->addAction(text);
    a->setObjectName(name);
    a->setCheckable(true);
    connect(a, &QAction::triggered, this, [toggle = std::move(toggle), this] {
        toggle();
        updateCommandStates();
    });
    return a;
}

void CMainFrame::createMenus()
{
    CSettings &settings = m_doc.settings();
    CDocumentFlags &flags = m_doc.flags();

    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction *newAction = file->addAction(QStringLiteral("&New"), QKeySequence::New, this, [this] { m_manager.fileNew(); });
    newAction->setObjectName(QStringLiteral("fileNew"));
    QAction *open = addCommand(file, QStringLiteral("fileOpen"), QStringLiteral("&Open..."), &CMainFrame::onOpen);
    open->setShortcut(QKeySequence::Open);
    QAction *save = file->addAction(QStringLiteral("&Save"), QKeySequence::Save, this, [this] { m_doc.saveCommand(); });
    save->setObjectName(QStringLiteral("fileSave"));
    QAction *saveAs = file->addAction(QStringLiteral("Save &As..."), this, [this] { m_doc.saveAsCommand(); });
    saveAs->setObjectName(QStringLiteral("fileSaveAs"));
    file->addSeparator();
    QAction *restore = addCommand(file, QStringLiteral("restore"), QStringLiteral("Restore"), &CMainFrame::onRestore);
    file->addSeparator();
    m_recentMenu = file->addMenu(QStringLiteral("Recent &Files"));
    connect(m_recentMenu, &QMenu::aboutToShow, this, &CMainFrame::fillRecentFiles);
    file->addSeparator();
    QAction *exitAction = file->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
    exitAction->setObjectName(QStringLiteral("fileExit"));

    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    QAction *password = edit->addAction(QStringLiteral("Pass&word"), this, [this] { m_doc.changePassword(); });
    password->setObjectName(QStringLiteral("password"));
    password->setShortcut(QKeySequence(Qt::ALT | Qt::Key_P));
    // Until the toolbar comes: its "Select icons" button and the local sort
    // drop-down, reached from here.
    edit->addSeparator();
    QAction *selectIcons = edit->addAction(QStringLiteral("Select icons"), m_items, &CLeftView::chooseIcons);
    selectIcons->setObjectName(QStringLiteral("selectIcons"));
    QMenu *localSort = m_items->localSortMenu();
    localSort->setTitle(QStringLiteral("Local sorting type"));
    edit->addMenu(localSort);

    QMenu *settingsMenu = menuBar()->addMenu(QStringLiteral("&Settings"));
    m_checkRules += {addToggle(settingsMenu, QStringLiteral("autoSave"), QStringLiteral("Auto saving"),
                               [&] { flags.toggleAutoSave(settings); }),
                     [&] { return flags.isAutoSaveChecked(); }};
    m_checkRules += {addToggle(settingsMenu, QStringLiteral("lastFile"), QStringLiteral("Open the file at start"),
                               [&] { flags.toggleLastFile(settings); }),
                     [&] { return flags.isLastFileChecked(); }};
    m_checkRules += {addToggle(settingsMenu, QStringLiteral("collapse"), QStringLiteral("&Complete collapse "),
                               [&] { flags.toggleCollapse(settings); }),
                     [&] { return flags.isCollapseChecked(); }};
    QMenu *dbl = settingsMenu->addMenu(QStringLiteral("DblClick"));
    m_checkRules += {addToggle(dbl, QStringLiteral("dblU"), QStringLiteral("URL"), [&] { flags.toggleDblU(settings); }),
                     [&] { return flags.isDblUChecked(); }};
    m_checkRules += {addToggle(dbl, QStringLiteral("dblM"), QStringLiteral("E-Mail"), [&] { flags.toggleDblM(settings); }),
                     [&] { return flags.isDblMChecked(); }};
    m_checkRules += {addToggle(dbl, QStringLiteral("dblP"), QStringLiteral("Phone"), [&] { flags.toggleDblP(settings); }),
                     [&] { return flags.isDblPChecked(); }};
    m_checkRules += {addToggle(dbl, QStringLiteral("dblF"), QStringLiteral("File"), [&] { flags.toggleDblF(settings); }),
                     [&] { return flags.isDblFChecked(); }};
    QMenu *sort = settingsMenu->addMenu(QStringLiteral("Sort (default)"));
    const QStringList sortNames{QStringLiteral("Manual"), QStringLiteral("Alphabetical"),
                                QStringLiteral("Alphabetical (folder first)")};
    for (int type = 0; type < sortNames.size(); ++type) {
        m_checkRules += {addToggle(sort, QStringLiteral("sort%1").arg(type), sortNames[type],
                                   [&, type] { flags.setDefaultSortType(settings, type); }),
                         [&, type] { return flags.isSortTypeChecked(type); }};
    }
    sort->addSeparator();
    QAction *executeAll = sort->addAction(QStringLiteral("Execute for all folders"), this,
                                          [this] { m_items->infoTree().executeForAllFolders(); });
    executeAll->setObjectName(QStringLiteral("executeForAllFolders"));
    QAction *defaultIcons = settingsMenu->addAction(QStringLiteral("Icons (default)..."), m_items,
                                                    &CLeftView::chooseDefaultIcons);
    defaultIcons->setObjectName(QStringLiteral("defaultIcons"));
    QMenu *fontMenu = settingsMenu->addMenu(QStringLiteral("&Font"));
    QAction *leftFont = fontMenu->addAction(QStringLiteral("Left panel"), m_items, &CLeftView::chooseLeftPanelFont);
    leftFont->setObjectName(QStringLiteral("leftPanelFont"));
    QMenu *folder = settingsMenu->addMenu(QStringLiteral("Default folder"));
    m_checkRules += {addToggle(folder, QStringLiteral("programFolder"), QStringLiteral("Program folder"),
                               [&] { flags.useProgramFolder(settings); }),
                     [&] { return flags.isProgramFolderChecked(); }};
    m_checkRules += {addToggle(folder, QStringLiteral("otherFolder"), QStringLiteral("Other folder"),
                               [this] { onOtherFolder(); }),
                     [&] { return flags.isOtherFolderChecked(); }};
    settingsMenu->addSeparator();
    addCommand(settingsMenu, QStringLiteral("backupSettings"), QStringLiteral("Backup settings..."),
               &CMainFrame::onBackupSettings);
    settingsMenu->addAction(restore);

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction *about = help->addAction(QStringLiteral("&About Torvi Quillbook..."), this, [this] {
        CAboutDlg dlg(this);
        dlg.exec();
    });
    about->setObjectName(QStringLiteral("about"));

    m_enableRules = {
        {save, [this] { return m_doc.canSave(); }},
        {saveAs, [this] { return m_doc.canSaveAs(); }},
        {password, [this] { return m_doc.canChangePassword(); }},
        {restore, [this] { return m_manager.canRestore(); }},
    };
    for (QMenu *menu : {file, edit, settingsMenu, help})
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
    updateCommandStates();
}

void CMainFrame::updateCommandStates()
{
    for (const auto &[a, rule] : std::as_const(m_enableRules))
        a->setEnabled(rule());
    for (const auto &[a, rule] : std::as_const(m_checkRules))
        a->setChecked(rule());
}

void CMainFrame::updateTitle()
{
    setWindowTitle(m_doc.title() + QStringLiteral(" - ") + QString::fromLatin1(kProgramName));
    m_passwordPane->setText(m_doc.passwordStatusText());
    updateCommandStates();
}

void CMainFrame::fillRecentFiles()
{
    m_recentMenu->clear();
    const QStringList files = m_manager.recentFiles().files();
    for (int i = 0; i < files.size(); ++i) {
        m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(files[i])), this,
                                [this, i] { m_manager.openRecentFile(i); });
    }
    m_recentMenu->setEnabled(!files.isEmpty());
}

void CMainFrame::onOpen()
{
    const QString path = m_prompter.chooseOpenFile(QStringLiteral("Open"), m_doc.documentFolder(),
                                                   QStringLiteral("Torvi Quillbook Files (*.tqb);;All Files (*.*)"));
    if (!path.isEmpty())
        m_manager.openDocumentFile(path);
}

void CMainFrame::onBackupSettings()
{
    CBackupDlg dlg(m_doc.backupSettings(), m_prompter, this);
    const bool accepted = dlg.exec() == QDialog::Accepted;
    m_doc.setBackup(accepted ? dlg.result(m_doc.backupSettings()) : m_doc.backupSettings());
    updateCommandStates();
}

void CMainFrame::onRestore()
{
    if (!m_manager.canRestore())
        return;
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

void CMainFrame::closeEvent(QCloseEvent *event)
{
    if (m_doc.saveModified())
        event->accept();
    else
        event->ignore();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent *event)
{
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            m_manager.openDocumentFile(url.toLocalFile());
    }
    event->acceptProposedAction();
}
