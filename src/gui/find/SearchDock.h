#pragma once

#include "find/SearchRunner.h"

#include <QDockWidget>
#include <QTimer>

#include <functional>

class CCodePage;
class CLeftView;
class CSearchResultsModel;
class CTorviQuillbookDoc;
class CTorviQuillbookView;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;

// "Search": every note that holds the typed text, listed as the user types.
// The search runs off the window's thread over a snapshot of the tables; a
// keystroke, a change of the options, an edit in the note pane or a change of
// the tree (a rename, a delete, an Undo) cancels it and starts it again after
// a short pause, while the dock is shown (else when it is shown again).
// Choosing a row selects its item in the tree and the hit in the note pane.
class CSearchDock : public QDockWidget
{
    Q_OBJECT

public:
    static constexpr int kPauseMs = 150;  // after the last keystroke
    static constexpr const char *kGone = QT_TR_NOOP("That note is no longer in the tree.");

    CSearchDock(CLeftView &tree, CTorviQuillbookView &note, const CCodePage &codePage, QWidget *parent = nullptr);
    ~CSearchDock() override;

    // How the window moves the focus to its panes.
    void setPaneActivation(std::function<void()> activateEditor, std::function<void()> activateTree);

    // Shows the dock with the focus in its field, the text selected.
    void openSearch();
    // Starts the search for the field's text now (the pause's end).
    void searchNow();
    // Drops the field's text, the rows and the search's snapshot of the
    // notes, once its thread has let go of it (the document locks).
    void forget();
    // Selects the row's item and its hit; false when the item is gone.
    bool activateRow(int row);

    QLineEdit *field() const { return m_field; }
    QCheckBox *caseSensitiveBox() const { return m_case; }
    QCheckBox *titlesOnlyBox() const { return m_titlesOnly; }
    QListView *results() const { return m_list; }
    QLabel *status() const { return m_status; }
    CSearchResultsModel &model() const { return *m_model; }
    bool isSearching() const { return m_runner.isRunning() || m_pause.isActive(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void restart();           // a change: cancel what runs, search after the pause
    void notesChanged();      // an edit: the rows may be out of date
    void onHits(const std::vector<CSearchHit> &hits);
    void onFinished(qsizetype count, qint64 ms);
    void selectHitInPane(const CSearchHit &hit);

    CLeftView &m_tree;
    CTorviQuillbookView &m_note;
    CTorviQuillbookDoc &m_doc;
    const CCodePage &m_codePage;
    std::function<void()> m_activateEditor;
    std::function<void()> m_activateTree;
    QLineEdit *m_field;
    QCheckBox *m_case;
    QCheckBox *m_titlesOnly;
    QListView *m_list;
    QLabel *m_status;
    CSearchResultsModel *m_model;
    CSearchRunner m_runner;
    QTimer m_pause;
    bool m_takeFirst = false;  // Enter came before the first results
    bool m_stale = false;      // the notes changed while the dock was hidden
    int m_keepItem = -1;       // the current row's item, kept current by a refresh
    int m_shownItem = -1;      // the item the note pane showed at its last change
};
