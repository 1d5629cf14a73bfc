#pragma once

#include <QMainWindow>

class CDocManager;
class CTorviQuillbookDoc;
class CCodePage;
class IPrompter;
class QAction;
class QLabel;
class QMenu;
class CTorviQuillbookView;
class CLeftView;

// The program's main window: the menus of the document commands, a view of
// the items and the selected note, and the password state in the status bar.
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr const char *kProgramName = "Torvi Quillbook";

    CMainFrame(CDocManager &manager, const CCodePage &codePage, IPrompter &prompter, QWidget *parent = nullptr);
    ~CMainFrame() override;

    CLeftView *itemView() const { return m_items; }
    CTorviQuillbookView *noteView() const { return m_note; }
    QAction *action(const QString &objectName) const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createMenus();
    void updateCommandStates();
    void updateTitle();
    void onOpen();
    void onBackupSettings();
    void onRestore();
    void onOtherFolder();
    void fillRecentFiles();
    QAction *addCommand(QMenu *menu, const QString &name, const QString &text, void (CMainFrame::*slot)());
    QAction *addToggle(QMenu *menu, const QString &name, const QString &text, std::function<void()> toggle);

    CDocManager &m_manager;
    CTorviQuillbookDoc &m_doc;
    const CCodePage &m_codePage;
    IPrompter &m_prompter;
    CLeftView *m_items;
    CTorviQuillbookView *m_note;
    QLabel *m_passwordPane;
    QMenu *m_recentMenu = nullptr;
    QList<std::pair<QAction *, std::function<bool()>>> m_enableRules;
    QList<std::pair<QAction *, std::function<bool()>>> m_checkRules;
};
