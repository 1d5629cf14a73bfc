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
    // One byte per character of the pane, so positions agree; a character
    // without a byte (a byte the code page leaves undefined shows as U+FFFD)
    // stands as a placeholder here, for searching only.
    return m_codePage.fromUnicodeOr(m_view.toPlainText(), '?');
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

int CEditorNoteText::replaceRanges(const QList<Range> &ranges, const QByteArray &text)
{
    return m_view.replaceRanges(ranges, m_codePage.toUnicode(text));
}
