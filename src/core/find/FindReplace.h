#pragma once

#include <QCoreApplication>

#include "tree/InfoTree.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class CTextMatcher;
class CTorviQuillbookDoc;
class INoteText;

// Find next, Replace and Replace all: the in-note search of the editor pane
// combined with the item walk of the infotree. The Find / Replace dialog only
// collects the strings and options and calls these.
//
// The main window makes one for its tree and editor pane, and tells it how to
// activate each pane (the search moves the focus between them as it goes).
class CFindReplace
{
public:
    static constexpr const char *kMsgLoop = QT_TRANSLATE_NOOP("CFindReplace", "This is a loop...");

    CFindReplace(CInfoTree &tree, INoteText &note);

    void setPaneActivation(std::function<void()> activateEditor, std::function<void()> activateTree);

    // The next occurrence: from the end of the note's selection to the end of
    // the note, then (unless thisNoteOnly) in the next item in item-index
    // order that holds it, whose first occurrence is selected. True when an
    // occurrence is selected in the note.
    bool findNext(const QString &text, bool caseSensitive, bool thisNoteOnly);
    // Replaces the note's selection when it is an occurrence of `text` (so a
    // selection made by chance is never overwritten). True when replaced.
    bool replace(const QString &text, bool caseSensitive, const QString &replacement);
    // Replaces the selected occurrence and every later one, in the note and
    // (unless thisNoteOnly) in the items after it, each item visited at most
    // once, and then, back in the item it started in, those before the place
    // it started. Automatic saving waits until the run ends. Returns the number of
    // replacements made; -1 when the run did not start (an empty find text,
    // no note, a text the code page cannot hold, or "This is a loop...").
    int replaceAll(const QString &text, bool caseSensitive, const QString &replacement, bool thisNoteOnly);

    // What Replace all tells at its end; `left`: hits not replaced because
    // the note was full.
    static QString replacedMessage(int count, int left = 0);
    // What the last Replace all told.
    QString lastMessage() const { return m_lastMessage; }

private:
    // The text in the document's code page; nullopt after telling the user
    // (`what` names the field) that the page cannot hold it.
    std::optional<QByteArray> toBytes(const QString &text, const char *what) const;
    CTextMatcher matcher(const QByteArray &text, bool caseSensitive) const;
    bool hasNote() const;
    void activateEditor();
    void activateTree();
    // The first occurrence at or after `from`, selected; -1 when none.
    qsizetype findInNote(const CTextMatcher &matcher, qsizetype from);
    bool replaceMatchingSelection(const CTextMatcher &matcher, const QByteArray &replacement);

    CInfoTree &m_tree;
    CTorviQuillbookDoc &m_doc;
    INoteText &m_note;
    std::function<void()> m_activateEditor;
    std::function<void()> m_activateTree;
    QString m_lastMessage;
};
