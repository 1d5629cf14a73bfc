#include "find/PaneReplacement.h"

#include "text/CodePage.h"

#include <optional>

CPaneReplacement CPaneReplacement::compute(const QString &shown, const QByteArray &pane,
                                           const noteblock::Layout &layout, const QList<INoteText::Range> &ranges,
                                           const QString &replacement, const CCodePage &codePage)
{
    CPaneReplacement result;
    QString &text = result.with;
    text = replacement;
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    // In the title line a line break would split the title: blanks there.
    const QString inTitle = noteblock::fitToLine(layout, 0, text);
    const std::optional<QByteArray> bodyBytes = codePage.fromUnicode(text);
    const std::optional<QByteArray> titleBytes = codePage.fromUnicode(inTitle);
    if (!bodyBytes || !titleBytes) {
        result.unmappable = codePage.unmappableMessage(text, codePage.firstUnmappable(text));
        return result;
    }
    const QByteArray body8 = noteblock::normalizeBreaks(*bodyBytes);

    QString newShown;
    QByteArray &newPane = result.pane;
    newShown.reserve(shown.size());
    newPane.reserve(pane.size());
    qsizetype p = 0;  // in shown
    qsizetype b = 0;  // in pane, where a line break is CR LF
    qsizetype size = pane.size();
    const auto bytesOf = [&](qsizetype from, qsizetype to) {
        return (to - from) + QStringView(shown).mid(from, to - from).count(QLatin1Char('\n'));
    };
    for (const INoteText::Range &r : ranges) {
        if (r.start < p || r.end <= r.start || r.end > shown.size())
            continue;
        if (noteblock::touchesSeparator(layout, r.start, r.end)) {
            result.refused = true;
            continue;
        }
        const bool title = r.start <= layout.titleEnd;
        const QString &with = title ? inTitle : text;
        const QByteArray &with8 = title ? *titleBytes : body8;
        const qsizetype removed = bytesOf(r.start, r.end);
        // The note is full: the rest stay as they are. A replacement that
        // does not grow the note always goes in, even past the limit (a note
        // another program wrote that long).
        if (with8.size() > removed && size - removed + with8.size() > noteblock::kTextLimit)
            break;
        const qsizetype between = bytesOf(p, r.start);
        newShown += QStringView(shown).mid(p, r.start - p);
        newPane += QByteArrayView(pane).sliced(b, between);
        b += between + removed;
        newShown += with;
        newPane += with8;
        size += with8.size() - removed;
        p = r.end;
        if (result.first < 0)
            result.first = r.start;
        result.lastEnd = r.end;
        result.lastNewEnd = newShown.size();
        ++result.count;
    }
    if (result.count == 0)
        return result;
    newPane += QByteArrayView(pane).sliced(b);
    result.shown = newShown.mid(result.first);
    return result;
}
