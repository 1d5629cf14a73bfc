#pragma once

#include "editor/NoteBlock.h"
#include "find/NoteText.h"

#include <QByteArray>
#include <QList>
#include <QString>

class CCodePage;

// Replace all in the note pane, worked out before the pane is touched: the
// pane's new characters and its new bytes in one pass over the note, so that
// a thousand replacements cost one note's length, not a thousand.
//
// `shown` is the pane's text with a line break as one character, `pane` its
// bytes with a line break as CR LF; the ranges count in `shown`. What lies
// between the ranges keeps its bytes as they were (undefined bytes included).
struct CPaneReplacement
{
    QString with;                // the replacement as the text gets it (line breaks as LF)
    QString shown;               // the pane's text after, from `first` on
    QByteArray pane;             // all of the pane's bytes after
    qsizetype first = -1;        // where the first replaced range starts
    qsizetype lastEnd = 0;       // where the last replaced range ended, before
    qsizetype lastNewEnd = 0;    // and where its replacement ends, after
    int count = 0;               // ranges replaced
    bool refused = false;        // a range reached into the separator and was left
    QString unmappable;          // the replacement has a character the code page lacks: nothing done

    static CPaneReplacement compute(const QString &shown, const QByteArray &pane, const noteblock::Layout &layout,
                                    const QList<INoteText::Range> &ranges, const QString &replacement,
                                    const CCodePage &codePage);
};
