#pragma once

#include <QByteArray>
#include <QList>

// The note as the editor pane shows it, for Find / Replace: the pane text
// (title line, blank line, text) in the document's code page, and its
// selection. Positions count bytes of text(); the pane chooses how it writes
// line breaks, as long as text() and the selection agree.
//
// The editor pane implements it. Find and replace never touch the item
// tables themselves: a replacement goes through the pane's own change
// handling, so it updates the record (and renames the item when it falls in
// the title line) just as typing would.
class INoteText
{
public:
    virtual ~INoteText() = default;

    virtual QByteArray text() const = 0;
    virtual qsizetype selectionStart() const = 0;
    virtual qsizetype selectionEnd() const = 0;
    // Selects start .. end (the caret at end) and scrolls it into view.
    virtual void setSelection(qsizetype start, qsizetype end) = 0;
    // Replaces the selection with `text` through the pane's change handling
    // (the title-line guard included) and leaves the caret after it. False
    // when nothing was replaced (an empty selection, or the pane refused).
    virtual bool replaceSelection(const QByteArray &text) = 0;

    struct Range
    {
        qsizetype start = 0;
        qsizetype end = 0;
    };
    // Replaces each of the ranges (in order, apart from each other) with
    // `text`, as replaceSelection would one after the other, and leaves the
    // caret after the last one replaced. Returns how many were replaced. A
    // pane that can do it as one change should: one by one costs the whole
    // note per replacement.
    virtual int replaceRanges(const QList<Range> &ranges, const QByteArray &text)
    {
        int count = 0;
        qsizetype moved = 0;
        for (const Range &r : ranges) {
            setSelection(r.start + moved, r.end + moved);
            if (replaceSelection(text)) {
                ++count;
                moved += text.size() - (r.end - r.start);
            }
        }
        return count;
    }
};
