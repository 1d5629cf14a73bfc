#pragma once

#include "find/NoteText.h"

class CCodePage;
class CTorviQuillbookView;

// The note pane as Find / Replace sees it. The pane holds one character per
// code-page byte, so its positions are the byte positions of text().
class CEditorNoteText : public INoteText
{
public:
    CEditorNoteText(CTorviQuillbookView &view, const CCodePage &codePage);

    QByteArray text() const override;
    qsizetype selectionStart() const override;
    qsizetype selectionEnd() const override;
    void setSelection(qsizetype start, qsizetype end) override;
    bool replaceSelection(const QByteArray &text) override;
    int replaceRanges(const QList<Range> &ranges, const QByteArray &text) override;

private:
    CTorviQuillbookView &m_view;
    const CCodePage &m_codePage;
};
