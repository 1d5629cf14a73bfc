#include "app/MainFrame.h"

#include "app/CommandTable.h"
#include "app/IdleLock.h"
#include "app/DocManager.h"
#include "GuidePaths.h"
#include "app/MainToolBar.h"
#include "app/StatusBar.h"
#include "app/WindowPlacement.h"
#include "backup/BackupDlg.h"
#include "backup/RestoreDlg.h"
#include "doc/Backup.h"
#include "doc/TorviQuillbookDoc.h"
#include "editor/EditorNoteText.h"
#include "editor/NewNoteDlg.h"
#include "editor/TorviQuillbookView.h"
#include "find/FindDlg.h"
#include "find/FindReplace.h"
#include "find/GoToNotePopup.h"
#include "find/SearchDock.h"
#include "import/ImportCommands.h"
#include "editor/QuickCapture.h"
#include "platform/CoreDumps.h"
#include "platform/Tone.h"
#include "reminders/ReminderChecker.h"
#include "reminders/ReminderEditing.h"
#include "reminders/ReminderListDlg.h"
#include "settings/Settings.h"
#include "settings/StartFolder.h"
#include "text/CodePage.h"
#include "generator/PasswordGenDlg.h"
#include "tree/LeftView.h"
#include "tree/SortRules.h"
#include "tree/TreeItemModel.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDataStream>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QInputDialog>
#include <QPushButton>
#include <QVBoxLayout>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QStyle>
#include <QWindow>
#include <QSplitter>
#include <QStatusBar>
#include <QUrl>

namespace {

constexpr quint32 kBarStateVersion = 1;

// Tells of every key, click, wheel turn and mouse move the program gets.
class CInputWatch : public QObject
{
public:
    CInputWatch(std::function<void()> seen, QObject *parent) : QObject(parent), m_seen(std::move(seen)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
            m_seen();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_seen;
};

}  // namespace

CMainFrame::CMainFrame(CDocManager &manager, const CCodePage &codePage, IPrompter &prompter, QWidget *parent)
    : QMainWindow(parent), m_manager(manager), m_doc(manager.document()), m_codePage(codePage), m_prompter(prompter)
{
    m_splitter = new QSplitter(this);
    m_splitter->setObjectName(QStringLiteral("splitter"));
    m_splitter->setChildrenCollapsible(false);
    m_items = new CLeftView(m_doc, codePage, m_splitter);
    m_note = new CTorviQuillbookView(m_doc, codePage, m_splitter);
    // What a screen reader says of the two panes.
    m_items->setAccessibleName(tr("Folders and notes"));
    m_items->setAccessibleDescription(tr("The tree of folders and notes of the document"));
    m_note->setAccessibleName(tr("Note"));
    m_note->setAccessibleDescription(
        tr("The selected item: its title on the first line, a blank line, then its text"));
    m_items->setMinimumWidth(10);
    m_splitter->setStretchFactor(1, 1);
    setCentralWidget(m_splitter);

    createSearch();
    m_commands = new CCommandTable(this);
    // A command's effects reach beyond the actions (the sort button's image).
    connect(m_commands, &CCommandTable::executed, this, &CMainFrame::updateCommandStates);
    createCommands();
    createMenus();
    m_toolbar = new CMainToolBar(*m_commands, m_doc.settings(), m_sortMenu, this);
    addToolBar(Qt::TopToolBarArea, m_toolbar);
    createStatusBar();
    setAcceptDrops(true);
    resize(CSettings::defaultNumber(CSettings::WindowRight) - CSettings::defaultNumber(CSettings::WindowLeft),
           CSettings::defaultNumber(CSettings::WindowBottom) - CSettings::defaultNumber(CSettings::WindowTop));

    // The capture dialog lives as long as the window, hidden between uses.
    m_newNoteDlg = new CNewNoteDlg(m_items->infoTree(), codePage, prompter, this);
    m_newNoteDlg->setActivateTreePane([this] { activateTreePane(); });
    m_capture = new CQuickCapture(this, *m_newNoteDlg, this);
    connect(m_capture, &CQuickCapture::statusMessage, this, [this](const QString &t) {
        statusBar()->showMessage(t);
    });
    connect(m_newNoteDlg, &QDialog::finished, this, &CMainFrame::updateCommandStates);

    // File > Import; it runs a pending import when a new document's tree is built.
    m_imports = new CImportCommands(m_doc, m_items->infoTree(), this, [this] { return m_manager.fileNew(); });
    connect(m_imports, &CImportCommands::activateTreePane, this, &CMainFrame::activateTreePane);

    m_tone = new CSampleTone(this);
    m_reminders = new CReminderChecker(m_doc, *m_tone, codePage, this, this);
    connect(m_reminders, &CReminderChecker::showNote, this, &CMainFrame::showItem);

    // Any input to the program counts; while locked only the password shows the document again.
    m_idleLock = new CIdleLock(m_doc, m_items->infoTree(), this);
    // A dialog or menu still open runs over the notes: they go once it has returned.
    m_idleLock->setDropCheck([] { return !QApplication::activeModalWidget() && !QApplication::activePopupWidget(); });
    qApp->installEventFilter(new CInputWatch([this] { m_idleLock->inputSeen(); }, this));
    connect(m_idleLock, &CIdleLock::lockedChanged, this, &CMainFrame::showLocked);
    m_commands->setGate([this](int id) {
        return !m_idleLock->isLocked() || id == kExit || id == kAbout || id == kHelp;
    });
    m_lockPage = new QWidget(this);
    m_lockPage->setObjectName(QStringLiteral("lockPage"));
    m_lockPage->hide();
    {
        auto *layout = new QVBoxLayout(m_lockPage);
        auto *label = new QLabel(QCoreApplication::translate("CIdleLock", CIdleLock::kLockedText), m_lockPage);
        label->setAlignment(Qt::AlignCenter);
        auto *unlock = new QPushButton(QCoreApplication::translate("CIdleLock", CIdleLock::kUnlockButton), m_lockPage);
        unlock->setObjectName(QStringLiteral("unlock"));
        connect(unlock, &QPushButton::clicked, m_idleLock, &CIdleLock::askToUnlock);
        layout->addStretch();
        layout->addWidget(label);
        layout->addWidget(unlock, 0, Qt::AlignCenter);
        layout->addStretch();
    }

    // The note pane follows the document's hints by itself.
    connect(&m_doc, &CTorviQuillbookDoc::updateAllViews, this, &CMainFrame::scheduleUpdate);
    // A refused character, the count of Replace all: they go when the note
    // shown changes, by an edit or another note.
    const auto noteMessage = [this](const QString &t) {
        statusBar()->showMessage(t);
        m_noteMessage = t;
    };
    connect(m_note, &CTorviQuillbookView::statusMessage, this, noteMessage);
    connect(&m_doc, &CTorviQuillbookDoc::noteMessage, this, noteMessage);
    connect(m_note, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_noteMessage.isEmpty() && statusBar()->currentMessage() == m_noteMessage)
            statusBar()->clearMessage();
        m_noteMessage.clear();
        if (m_findDlg)
            m_findDlg->clearResult();
    });

    // Find / Replace over the tree and the note pane; the dialog lives as
    // long as the window.
    m_noteText = std::make_unique<CEditorNoteText>(*m_note, codePage);
    m_find = std::make_unique<CFindReplace>(m_items->infoTree(), *m_noteText);
    m_find->setPaneActivation([this] { activateEditorPane(); }, [this] { activateTreePane(); });
    m_findDlg = new CFindDlg(*m_find, this);
    connect(&m_doc, &CTorviQuillbookDoc::titleChanged, this, &CMainFrame::updateTitle);
    connect(&m_doc, &CTorviQuillbookDoc::passwordChanged, this, &CMainFrame::updateTitle);
    connect(&m_doc, &CTorviQuillbookDoc::statusMessage, this, [this](const QString &t) {
        m_docMessagePath = m_doc.pathName();
        statusBar()->showMessage(t);
    });
    // What the document said of one file is wrong beside the next one.
    connect(&m_doc, &CTorviQuillbookDoc::titleChanged, this, [this] {
        if (!m_docMessagePath.isNull() && m_doc.pathName() != m_docMessagePath) {
            m_docMessagePath.clear();
            statusBar()->clearMessage();
        }
    });
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
    if (centralWidget() == m_lockPage)
        swapCentralWidget(m_splitter);
    // A label still open (a window destroyed without being closed) ends
    // now, while every pane that hears of it is whole; the focus leaving
    // the dying window would otherwise end it halfway through.
    m_items->infoTree().finishLabelEdit();
    // Closing the window may still end a label edit, which notifies the
    // document's views; this frame's members are going, so it listens no more.
    disconnect(&m_doc, nullptr, this, nullptr);
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(QApplication::clipboard(), nullptr, this, nullptr);
    // The note pane shows the edit's outcome while the status bar goes.
    disconnect(m_note, nullptr, this, nullptr);
    // The helpers that hold on to the tree go before the tree pane, which
    // the splitter (an earlier child) would otherwise delete first.
    delete m_imports;
    m_imports = nullptr;
    delete m_capture;
    m_capture = nullptr;
    delete m_newNoteDlg;
    delete m_findDlg;
    delete m_searchDock;
    delete m_goToNote;
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

void CMainFrame::createSearch()
{
    // Hidden until asked for; the window's saved state brings back its place and size.
    m_searchDock = new CSearchDock(*m_items, *m_note, m_codePage, this);
    m_searchDock->setPaneActivation([this] { activateEditorPane(); }, [this] { activateTreePane(); });
    addDockWidget(Qt::RightDockWidgetArea, m_searchDock);
    m_searchDock->hide();
    m_goToNote = new CGoToNotePopup(*m_items, m_codePage, this);
    m_goToNote->setActivateTree([this] { activateTreePane(); });
}

void CMainFrame::createStatusBar()
{
    setStatusBar(new CStatusBar(this));
    // The message pane: "Ready" until a status text or message covers it.
    m_readyPane = new QLabel(tr(kReady), this);
    m_readyPane->setObjectName(QStringLiteral("messagePane"));
    m_readyPane->setAccessibleName(tr("Status"));
    statusBar()->addWidget(m_readyPane, 1);
    m_passwordPane = new QLabel(this);
    m_passwordPane->setObjectName(QStringLiteral("passwordPane"));
    m_passwordPane->setAccessibleName(tr("Password protection"));
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
    // No core file holds the notes of a protected document.
    coredumps::allow(!m_doc.hasPassword());
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
        // An "&" of the path is shown as itself, not taken as a mnemonic.
        QString shown = QDir::toNativeSeparators(files[i]);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto *a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown), file);
        a->setObjectName(QStringLiteral("recentFile%1").arg(i + 1));
        a->setStatusTip(tr("Open this document"));
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
    QWidget *field = nullptr;
    if (now == m_items || m_items->isAncestorOf(now))
        pane = Pane::Tree;
    else if (now == m_note || m_note->isAncestorOf(now))
        pane = Pane::Editor;
    else if (CFieldEditTarget::isField(now))
        field = now;
    if (pane == m_activePane && field == m_fieldInFocus)
        return;
    m_activePane = pane;
    m_fieldInFocus = field;
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

bool CMainFrame::focusNextPrevChild(bool next)
{
    // Tab in either pane goes to the other one, also when a dock (the
    // search) stands between them in the focus chain.
    QWidget *focus = QApplication::focusWidget();
    if (focus && (focus == m_note || focus == m_items)) {
        switchPane();
        return true;
    }
    return QMainWindow::focusNextPrevChild(next);
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

IEditTarget &CMainFrame::editTarget()
{
    // The focus may have moved on since it was noted; only a field that
    // still has it takes the commands.
    if (m_fieldInFocus && m_fieldInFocus == QApplication::focusWidget()) {
        m_field.setField(m_fieldInFocus);
        return m_field;
    }
    if (treeActive())
        return *m_items;
    return *m_note;
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
    const QString path = m_prompter.chooseOpenFile(tr("Open"), m_doc.dialogFolder(),
                                                   tr("Torvi Quillbook Files (*.tqb);;All Files (*.*)"));
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
    CBackupDlg dlg(m_doc.backupSettings(), m_doc.defaultFolder(), m_prompter, this);
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
    startfolder::useOtherFolder(m_doc.settings(), m_prompter.chooseFolder(tr("Select folder")));
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
    // The guide where it is installed, seen from the program (a build tree
    // has the same layout).
    const QString installed =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/" TQB_GUIDE_FROM_BINDIR));
    const QString page = installed + QStringLiteral("/index.html");
    if (QFileInfo(page).isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
        return;
    // No guide: the program's web page instead; say so only when that fails too.
    if (!QDesktopServices::openUrl(QUrl(QString::fromLatin1(kWebSite))))
        m_prompter.message(tr(kGuideMissing).arg(QDir::toNativeSeparators(installed)));
}

// ---------------------------------------------------------------- layout

void CMainFrame::showFirstTime()
{
    if (!m_bFirstShow) {
        show();
        return;
    }
    const CSettings &settings = m_doc.settings();

    // The docking state first, then the placement.
    const QByteArray bars = settings.bytes(CSettings::BarState);
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
    // The window's frame counts too. An X11 window manager frames the window
    // only once it is shown, around the place asked for (the client stays
    // where it was put): until then room for a title bar is kept above it and
    // for the edges beside and below it.
    create();
    const QMargins known = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const int edge = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
    const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    QList<QRect> screens;
    for (QScreen *screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        screens.append(known.isNull() ? area.adjusted(edge, title, -edge, -edge) : area.marginsRemoved(known));
    }
    const QRect rect = windowplacement::onScreen(
        QRect(QPoint(settings.number(CSettings::WindowLeft), settings.number(CSettings::WindowTop)),
              QPoint(settings.number(CSettings::WindowRight) - 1, settings.number(CSettings::WindowBottom) - 1)),
        screens);
    setGeometry(rect);
    const int splitter = std::max(10, settings.number(CSettings::Splitter));
    m_splitter->setSizes({splitter, std::max(10, rect.width() - splitter)});

    switch (windowplacement::stateFor(settings.number(CSettings::WindowShowCmd))) {
    case windowplacement::State::Maximized:
        showMaximized();
        break;
    case windowplacement::State::Minimized:
        if (settings.number(CSettings::WindowFlag) & windowplacement::kRestoreToMaximized)
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
    // All seven values are written each time, the defaults for what is not known.
    const auto placement = [&](CSettings::Key key, int value, bool known) {
        m_doc.settings().setNumber(key, known ? value : CSettings::defaultNumber(key));
    };
    placement(CSettings::WindowFlag, windowplacement::flagFor(state, states & Qt::WindowMaximized), true);
    placement(CSettings::WindowShowCmd, windowplacement::showCmdFor(state), true);
    placement(CSettings::WindowLeft, normal.left(), normal.isValid());
    placement(CSettings::WindowTop, normal.top(), normal.isValid());
    placement(CSettings::WindowRight, normal.right() + 1, normal.isValid());
    placement(CSettings::WindowBottom, normal.bottom() + 1, normal.isValid());
    const QList<int> sizes = m_splitter->sizes();
    placement(CSettings::Splitter, sizes.value(0), !sizes.isEmpty());

    QByteArray bars;
    QDataStream out(&bars, QIODevice::WriteOnly);
    out << kBarStateVersion << saveState() << !statusBar()->isHidden();
    m_doc.settings().setBytes(CSettings::BarState, bars);
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    // The save question may cancel the close: only then is the close
    // certain and the layout, the hot key and the dialogs are let go.
    // Locked, the document is empty here: it is not saved, and changes that
    // only its protected copy holds need the password first.
    if (m_idleLock->holdsUnsavedWork())
        m_idleLock->askToUnlock();
    if (m_idleLock->isLocked() ? m_idleLock->holdsUnsavedWork() : !m_doc.saveModified()) {
        event->ignore();
        return;
    }
    saveLayout();
    m_reminders->stop();
    if (m_idleLock->isLocked())
        showLocked(false);  // the layout and the splitter go with the window
    m_capture->stop();
    delete m_capture;
    m_capture = nullptr;
    delete m_newNoteDlg;
    event->accept();
}

void CMainFrame::onLockAfter()
{
    bool ok = false;
    const int minutes = QInputDialog::getInt(this, tr("Lock"),
                                             tr("&Lock after N minutes without input (0 = never):"),
                                             m_idleLock->minutes(), 0, 24 * 60, 1, &ok);
    if (ok)
        m_idleLock->setMinutes(minutes);
}

void CMainFrame::swapCentralWidget(QWidget *shown)
{
    // The widget put aside stays this window's, to be shown again or deleted with it.
    if (QWidget *aside = takeCentralWidget()) {
        aside->setParent(this);
        aside->hide();
    }
    setCentralWidget(shown);
    shown->show();
}

void CMainFrame::showLocked(bool locked)
{
    if (locked == (centralWidget() == m_lockPage))
        return;
    if (locked) {
        // Nothing of the notes stays in view or within reach: not the panes,
        // not a dialog, not a list of hits or titles, not a search typed.
        swapCentralWidget(m_lockPage);
        updateCommandStates();
        closeDialogs();
        if (m_findDlg) {
            m_findDlg->hide();
            m_findDlg->findEdit()->clear();
            m_findDlg->replaceEdit()->clear();
            m_findDlg->clearResult();
        }
        if (m_newNoteDlg)
            m_newNoteDlg->hide();
        m_capture->setPaused(true);
        m_searchShownBeforeLock = m_searchDock->isVisible();
        m_searchDock->hide();
        m_searchDock->forget();
        m_goToNote->hide();
        m_goToNote->field()->clear();
        m_goToNote->list()->clear();
        m_remindersBeforeLock = m_reminders->isActive();
        m_reminders->stop();
        clearOwnedClipboard();
    } else {
        swapCentralWidget(m_splitter);
        if (m_capture)
            m_capture->setPaused(false);
        if (m_searchShownBeforeLock)
            m_searchDock->show();
        if (m_remindersBeforeLock)
            m_reminders->start();
        updateCommandStates();
        activateTreePane();
    }
}

void CMainFrame::closeDialogs()
{
    // Menus first, then the modal dialogs from the top: each closes as its
    // Escape would (Cancel, No), and its caller goes on with that answer.
    while (QWidget *popup = QApplication::activePopupWidget()) {
        popup->close();
        if (QApplication::activePopupWidget() == popup)
            break;
    }
    while (QWidget *modal = QApplication::activeModalWidget()) {
        modal->close();
        if (QApplication::activeModalWidget() == modal)
            break;  // one that will not close: the notes go once it has
    }
}

void CMainFrame::clearOwnedClipboard()
{
    // Only what this program put there: text the user copied from another
    // program since is theirs.
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard->ownsClipboard())
        clipboard->clear(QClipboard::Clipboard);
    if (clipboard->supportsSelection() && clipboard->ownsSelection())
        clipboard->clear(QClipboard::Selection);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent *event)
{
    if (m_idleLock->isLocked())
        return;  // the locked document stays until its password is given
    // One document at a time: the first local file dropped is opened.
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            m_manager.openDocumentFile(url.toLocalFile());
            break;
        }
    }
    event->acceptProposedAction();
}
