#pragma once

#include "EditTarget.h"
#include "editor/EditedBytes.h"
#include "editor/LinkActions.h"
#include "editor/LinkRunner.h"
#include "editor/NoteBlock.h"
#include "find/NoteText.h"

#include <QPlainTextEdit>
#include <QTimer>


class CCodePage;
class CTorviQuillbookDoc;
class QMenu;
class QUrl;

// The note pane: the selected item as title, blank line and text, edited in
// place. It holds no rule of its own: CNoteBlock decides the layout, the key
// guard and the write-back, links:: decides the link actions and CLinkRunner
// carries them out, CPaneReplacement works out Replace all; this widget
// turns keys, mouse and commands into those calls and shows the result.
//
// The main window embeds it as the right pane and reaches its commands
// through the public slots below; the pane follows the document's update
// hints by itself.
class CTorviQuillbookView : public QPlainTextEdit, public IEditTarget
{
    Q_OBJECT

public:
    // Carries out what a link action hands over; tests put their own in.
    using ILauncher = CLinkRunner::ILauncher;

    static constexpr int kMargin = 8;
    static constexpr int kWordPauseMs = 400;   // before a double-click reads its word
    static constexpr int kRangePauseMs = 600;  // before a recovered path is shown

    CTorviQuillbookView(CTorviQuillbookDoc &doc, const CCodePage &codePage, QWidget *parent = nullptr);
    ~CTorviQuillbookView() override;

    // The Edit commands on the note: refused while no note is shown (read-only).
    bool canRunEdit(Edit edit) const override;
    void runEdit(Edit edit) override;

    // nullptr: the desktop's own (QDesktopServices, QProcess, the dialler).
    void setLauncher(ILauncher *launcher);
    QMenu *contextMenu() const { return m_menuContext; }

    // The title/text layout in this widget's positions (a line break is one).
    noteblock::Layout paneLayout() const;
    // How often a change had to be read as the whole pane rather than as the
    // piece that changed (a check for the speed of typing).
    int wholePaneReads() const { return m_nWholeReads; }

public slots:
    // Shows the document's current item (or the hint text without one).
    void showCurrentItem();

    // Edit commands. Copy, Undo and Select all are QPlainTextEdit's own.
    void guardedCut();
    void guardedPaste();
    void insertFourSpaces();
    // Replaces the selection with `text` (the password generator), not
    // offered for undo. False when refused (reported) or nothing changed.
    bool insertAtCaret(const QString &text);

    // Link commands.
    void openSelection();
    void emailSelection();
    void callSelection();
    void insertLocalLink();

    // Find in note / Replace selection, for Find and Replace.
    bool findInNote(const QString &text, bool caseSensitive);
    bool replaceSelection(const QString &text);
    // Replaces each range of pane positions (in order, apart) with `text` as
    // one change, not offered for undo; the caret ends after the last one.
    // Ranges reaching into the separator are refused. Returns how many were
    // replaced.
    int replaceRanges(const QList<INoteText::Range> &ranges, const QString &text);

    // The "Font" setting: applied when first shown, chosen by the "Right
    // panel" command.
    void applyFont();
    void chooseFont();

signals:
    // For the status bar: a character refused, and the like.
    void statusMessage(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    // Files dragged over the note go on to the window, which opens them.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    enum class Insert { Typed, Pasted, Command };
    void onDocumentUpdate(int hint);
    void onContentsChange(int position, int removed, int added);
    void readWholePane();
    // The bytes for `text` standing where the pane's bytes from .. from +
    // removed stood (CEditedBytes). `lost` receives a character that had to
    // become "?".
    QByteArray bytesFor(qsizetype from, qsizetype removed, const QString &text, QString *lost);
    // Tells, once the change in progress is over, that a character of
    // `text` at `at` is refused.
    void reportUnmappable(const QString &text, qsizetype at);
    void setMargins();
    void breakLinesAnywhere(bool anywhere);
    void moveCaret(qsizetype position);
    // The separator guard, the code page and the text limit for text going
    // in over the selection; `mode` says how a refusal is told.
    bool insertGuarded(QString text, Insert mode, bool undoable);
    qsizetype bytePosition(qsizetype position) const;
    void runDoubleClick();
    void perform(const links::Action &action);
    QString selectedPaneText() const;

    CTorviQuillbookDoc &m_doc;
    const CCodePage &m_codePage;
    CNoteBlock m_block;
    QMenu *m_menuContext;
    CLinkRunner m_links;
    QTimer m_wordPause;
    CEditedBytes m_edited;
    int m_nBlockCount = 1;
    int m_nWholeReads = 0;
    bool m_bLoading = false;
    bool m_bWritingBack = false;
    bool m_bFontApplied = false;
};
