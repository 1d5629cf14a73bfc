#pragma once

#include "app/CommandIds.h"
#include "app/FieldEditTarget.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class CCodePage;
class CCommandTable;
class CDocManager;
class CIdleLock;
class CImportCommands;
class CLeftView;
class CMainToolBar;
class CNewNoteDlg;
class CQuickCapture;
class CReminderChecker;
class CSampleTone;
class CTorviQuillbookDoc;
class IPrompter;
class QAction;
class QLabel;
class QMenu;
class CEditorNoteText;
#include "find/FindDlg.h"
class CFindReplace;
class CGoToNotePopup;
class CSearchDock;
class CTorviQuillbookView;
class QPrinter;
class QSplitter;

// The program's main window: the tree and the note side by side, the menus,
// toolbar and status bar over one command table, the window's layout kept
// between runs, and the modeless capture dialog.
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr const char *kProgramName = "Torvi Quillbook";
    static constexpr const char *kReady = QT_TR_NOOP("Ready");
    static constexpr const char *kGuideMissing =
        QT_TR_NOOP("The user guide could not be opened. It belongs in the folder \"%1\".");
    static constexpr const char *kWebSite = "https://torvi-quillbook.example.org";

    // The command ids, as CMainFrame::kNew and so on.
    using enum cmd::Id;
    enum class Pane { Tree, Editor };

    CMainFrame(CDocManager &manager, const CCodePage &codePage, IPrompter &prompter, QWidget *parent = nullptr);
    ~CMainFrame() override;

    CLeftView *itemView() const { return m_items; }
    CTorviQuillbookView *notePane() const { return m_note; }
    CTorviQuillbookView *noteView() const { return m_note; }
    CFindDlg *findDialog() const { return m_findDlg; }
    CSearchDock *searchDock() const { return m_searchDock; }
    CGoToNotePopup *goToNotePopup() const { return m_goToNote; }
    CReminderChecker *reminderChecker() const { return m_reminders; }
    CMainToolBar *toolBar() const { return m_toolbar; }
    QSplitter *splitter() const { return m_splitter; }
    CNewNoteDlg *newNoteDialog() const;  // null once the window has closed
    CCommandTable &commands() const { return *m_commands; }
    QAction *action(const QString &objectName) const;
    QAction *action(int id) const;
    QLabel *passwordPane() const { return m_passwordPane; }
    CIdleLock &idleLock() const { return *m_idleLock; }
    // Shown instead of the tree and the note while the document is locked.
    QWidget *lockPage() const { return m_lockPage; }
    // The message pane's text: a status text, a message, or "Ready".
    QString messageText() const;

    // Shows the window the first time, as "RestoreWnd" and the saved bar
    // state say; starts the reminder check and the capture hot key.
    void showFirstTime();
    // Writes the placement, splitter width and bar state (done at close).
    void saveLayout();

    // The pane that has, or last had, the focus.
    Pane activePane() const { return m_activePane; }
    void activateTreePane();
    void activateEditorPane();
    // Show item: the tree pane active and the item with that index selected.
    void showItem(int index);

    // Prints the note the editor shows on `printer`.
    void printNote(QPrinter &printer);

    // Updates every command's enabled and checked state.
    void updateCommandStates();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createCommands();
    void createMenus();
    void createStatusBar();
    void createSearch();
    void scheduleUpdate();
    void updateTitle();
    void onFocusChanged(QWidget *now);
    void fillRecentFiles(QMenu *file);

    // Command handlers.
    void onOpen();
    void onPrint();
    void onPrintSetup();
    void onBackupSettings();
    void onRestore();
    void onOtherFolder();
    void onReminder();
    void onRemindersList();
    void onCustomizeToolbar();
    void onPasswordGenerator();
    void onHelp();
    void onLockAfter();
    void switchPane();
    void showLocked(bool locked);
    void closeDialogs();
    void clearOwnedClipboard();
    void swapCentralWidget(QWidget *shown);

    // Where Undo, Cut, Copy and Paste go: a text field outside the panes
    // that has the focus, else the active pane.
    IEditTarget &editTarget();

    // The editor pane's commands.
    bool editorReady() const;
    void editorOpenLink();
    void editorMail();
    void editorCall();
    void editorLocalLink();
    void editorFourSpaces();
    void editorSetFont();
    void editorInsert(const QString &text);
    // The Find / Replace dialog, once it lands.
    bool findDialogReady() const;
    void showFindDialog();

    bool treeActive() const { return m_activePane == Pane::Tree; }

    CDocManager &m_manager;
    CTorviQuillbookDoc &m_doc;
    const CCodePage &m_codePage;
    IPrompter &m_prompter;
    CCommandTable *m_commands = nullptr;
    QSplitter *m_splitter = nullptr;
    CLeftView *m_items = nullptr;
    CTorviQuillbookView *m_note = nullptr;
    std::unique_ptr<CEditorNoteText> m_noteText;
    std::unique_ptr<CFindReplace> m_find;
    QPointer<CFindDlg> m_findDlg;
    CSearchDock *m_searchDock = nullptr;
    CGoToNotePopup *m_goToNote = nullptr;
    CMainToolBar *m_toolbar = nullptr;
    QMenu *m_sortMenu = nullptr;
    QLabel *m_readyPane = nullptr;
    QLabel *m_passwordPane = nullptr;
    QList<QAction *> m_recentActions;
    QAction *m_recentAnchor = nullptr;
    QPointer<CNewNoteDlg> m_newNoteDlg;
    CImportCommands *m_imports = nullptr;
    CQuickCapture *m_capture = nullptr;
    CSampleTone *m_tone = nullptr;
    CReminderChecker *m_reminders = nullptr;
    CIdleLock *m_idleLock = nullptr;
    QWidget *m_lockPage = nullptr;
    bool m_remindersBeforeLock = false;
    bool m_searchShownBeforeLock = false;
    std::unique_ptr<QPrinter> m_printer;
    Pane m_activePane = Pane::Tree;
    CFieldEditTarget m_field;
    QPointer<QWidget> m_fieldInFocus;
    bool m_bFirstShow = true;
    bool m_updatePending = false;
    QString m_noteMessage;  // on the status bar until the note changes
    QString m_docMessagePath;  // the document the last status message from the document was about
};
