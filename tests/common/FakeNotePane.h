#pragma once

#include "doc/TorviQuillbookDoc.h"
#include "find/NoteText.h"
#include "tree/InfoTree.h"

#include <QByteArray>
#include <QObject>

// The note pane as Find / Replace sees it: the selected item shown as title,
// blank line, text, and every replacement written back to the working copy
// and the tables (renaming the item when the title changed), as the real
// pane's change handling does. The text is held as bytes with CR LF breaks;
// a GUI test that wants a real widget keeps the text there instead and
// overrides the pane's storage, keeping the write-back.
class CFakeNotePane : public INoteText
{
public:
    CFakeNotePane(CTorviQuillbookDoc &doc, CInfoTree &tree) : m_doc(doc), m_tree(tree)
    {
        // Tied to a member, so that no notice reaches a pane already gone.
        QObject::connect(&doc, &CTorviQuillbookDoc::updateAllViews, &m_alive, [this](int hint) {
            if (hint == CTorviQuillbookDoc::kHintShowItem)
                show();
        });
    }
    ~CFakeNotePane() override = default;

    QByteArray text() const override { return m_pane; }
    qsizetype selectionStart() const override { return m_start; }
    qsizetype selectionEnd() const override { return m_end; }
    void setSelection(qsizetype start, qsizetype end) override
    {
        m_start = start;
        m_end = end;
    }
    bool replaceSelection(const QByteArray &text) override
    {
        if (m_start == m_end)
            return false;
        m_pane.replace(m_start, m_end - m_start, text);
        m_start = m_end = m_start + text.size();
        storeBack(m_pane, "\r\n\r\n");
        return true;
    }
    QByteArray selected() const { return m_pane.mid(m_start, m_end - m_start); }

protected:
    // Shows the current item.
    virtual void show()
    {
        m_pane = m_doc.m_nCurItem < 0 ? QByteArray() : m_doc.m_strCurTitle + "\r\n\r\n" + m_doc.m_strCurText;
        m_start = m_end = 0;
    }

    // Writes the pane's text, title and text split at `separator`, back to
    // the working copy and the tables.
    void storeBack(const QByteArray &pane, const QByteArray &separator)
    {
        const qsizetype sep = pane.indexOf(separator);
        const QByteArray title = sep < 0 ? pane : pane.left(sep);
        const bool renamed = title != m_doc.m_strCurTitle;
        m_doc.m_strCurTitle = title;
        m_doc.m_strCurText = sep < 0 ? QByteArray() : pane.mid(sep + separator.size());
        m_doc.setTitle(m_doc.m_nCurItem, m_doc.m_strCurTitle);
        m_doc.setText(m_doc.m_nCurItem, m_doc.m_strCurText);
        m_doc.setModifiedFlag(true);
        if (renamed)
            m_tree.onUpdate(CTorviQuillbookDoc::kHintTitleChanged);
    }

    CTorviQuillbookDoc &m_doc;
    CInfoTree &m_tree;

private:
    QObject m_alive;
    QByteArray m_pane;
    qsizetype m_start = 0;
    qsizetype m_end = 0;
};
