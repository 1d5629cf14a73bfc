#include "editor/EditorNoteText.h"

#include "editor/TorviQuillbookView.h"
#include "text/CodePage.h"

#include <QTextCursor>

CEditorNoteText::CEditorNoteText(CTorviQuillbookView &view, const CCodePage &codePage)
    : m_view(view), m_codePage(codePage)
{
}

QByteArray CEditorNoteText::text() const
{
    // Every character in the pane came through the code page, so each
    // has its byte; one that somehow has none stays a placeholder of one byte.
    const QString shown = m_view.toPlainText();
    QByteArray bytes(shown.size(), '?');
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (const std::optional<QByteArray> b = m_codePage.fromUnicode(shown.mid(i, 1)); b && b->size() == 1)
            bytes[i] = b->at(0);
    }
    return bytes;
}

qsizetype CEditorNoteText::selectionStart() const
{
    return m_view.textCursor().selectionStart();
}

qsizetype CEditorNoteText::selectionEnd() const
{
    return m_view.textCursor().selectionEnd();
}

void CEditorNoteText::setSelection(qsizetype start, qsizetype end)
{
    QTextCursor cursor = m_view.textCursor();
    cursor.setPosition(int(start));
    cursor.setPosition(int(end), QTextCursor::KeepAnchor);
    m_view.setTextCursor(cursor);
    m_view.ensureCursorVisible();
}

bool CEditorNoteText::replaceSelection(const QByteArray &text)
{
    return m_view.replaceSelection(m_codePage.toUnicode(text));
}
