#include "find/FindReplace.h"
#include <QCoreApplication>
#include <QLocale>

#include "doc/TorviQuillbookDoc.h"
#include "editor/NoteBlock.h"
#include "find/NoteText.h"
#include "text/TextMatch.h"
#include "settings/Settings.h"
#include "text/CodePage.h"

CFindReplace::CFindReplace(CInfoTree &tree, INoteText &note) : m_tree(tree), m_doc(tree.document()), m_note(note) {}

void CFindReplace::setPaneActivation(std::function<void()> activateEditor, std::function<void()> activateTree)
{
    m_activateEditor = std::move(activateEditor);
    m_activateTree = std::move(activateTree);
}

QString CFindReplace::replacedMessage(int count, int left)
{
    QString message = count == 1 ? QCoreApplication::translate("CFindReplace", "1 replacement made.")
                                 : QCoreApplication::translate("CFindReplace", "%1 replacements made.").arg(count);
    if (left > 0) {
        const QLocale english(QLocale::English);
        message += QLatin1Char(' ')
            + QCoreApplication::translate("CFindReplace", "%1 more were not made: a note holds at most %2 characters.")
                  .arg(left)
                  .arg(english.toString(qlonglong(noteblock::kTextLimit)));
    }
    return message;
}

std::optional<QByteArray> CFindReplace::toBytes(const QString &text, const char *what) const
{
    const CCodePage page(m_doc.settings().text(CSettings::CodePage));
    if (!page.isValid())
        return text.toLatin1();
    auto bytes = page.fromUnicode(text);
    if (!bytes) {
        m_doc.prompter().message(QCoreApplication::translate("CFindReplace", "The %1 holds a character that the document's code page (%2) cannot "
                                                "hold. Nothing was searched or replaced.")
                                     .arg(QLatin1String(what), page.name()));
    }
    return bytes;
}

CTextMatcher CFindReplace::matcher(const QByteArray &text, bool caseSensitive) const
{
    return CTextMatcher(text, caseSensitive, CCodePage(m_doc.settings().text(CSettings::CodePage)));
}

bool CFindReplace::hasNote() const
{
    // Without a current item the pane shows a hint, not a note.
    return m_doc.m_nCurItem >= 0;
}

void CFindReplace::activateEditor()
{
    if (m_activateEditor)
        m_activateEditor();
}

void CFindReplace::activateTree()
{
    if (m_activateTree)
        m_activateTree();
}

qsizetype CFindReplace::findInNote(const CTextMatcher &matcher, qsizetype from)
{
    const QByteArray text = m_note.text();
    const qsizetype hit = matcher.indexIn(text, from);
    if (hit >= 0)
        m_note.setSelection(hit, hit + matcher.needle().size());
    return hit;
}

bool CFindReplace::replaceMatchingSelection(const CTextMatcher &matcher, const QByteArray &replacement)
{
    const qsizetype start = m_note.selectionStart();
    const qsizetype end = m_note.selectionEnd();
    if (start < 0 || end <= start)
        return false;
    const QByteArray text = m_note.text();
    if (end > text.size() || !matcher.equals(text.mid(start, end - start)))
        return false;
    return m_note.replaceSelection(replacement);
}

bool CFindReplace::findNext(const QString &text, bool caseSensitive, bool thisNoteOnly)
{
    if (text.isEmpty() || !hasNote())
        return false;
    const auto bytes = toBytes(text, "find text");
    if (!bytes)
        return false;
    const CTextMatcher m = matcher(*bytes, caseSensitive);
    activateEditor();
    if (findInNote(m, m_note.selectionEnd()) >= 0)
        return true;
    if (thisNoteOnly)
        return false;
    activateTree();
    if (m_tree.findNextItem(m, m_tree.beginItemWalk()) < 0)
        return false;
    // The item just loaded: its first occurrence, which may lie in the title line.
    activateEditor();
    m_note.setSelection(0, 0);
    return findInNote(m, 0) >= 0;
}

bool CFindReplace::replace(const QString &text, bool caseSensitive, const QString &replacement)
{
    if (text.isEmpty() || !hasNote())
        return false;
    const auto bytes = toBytes(text, "find text");
    if (!bytes)
        return false;
    const auto with = toBytes(replacement, "replacement");
    if (!with)
        return false;
    activateEditor();
    return replaceMatchingSelection(matcher(*bytes, caseSensitive), *with);
}

int CFindReplace::replaceAll(const QString &text, bool caseSensitive, const QString &replacement, bool thisNoteOnly)
{
    if (text.isEmpty() || !hasNote())
        return -1;
    const auto bytes = toBytes(text, "find text");
    if (!bytes)
        return -1;
    const auto with = toBytes(replacement, "replacement");
    if (!with)
        return -1;
    const CTextMatcher m = matcher(*bytes, caseSensitive);
    if (m.equals(*with)) {
        m_doc.prompter().message(QCoreApplication::translate("CFindReplace", kMsgLoop));
        return -1;
    }

    CAutoSaveHold hold(m_doc);
    int count = 0;
    int left = 0;  // hits the note had no room to take
    // Every occurrence after the start of the note's text in one change: the
    // search goes on after each replacement, never into it, so a replacement
    // that holds the find text is not found again.
    // `before`: only hits that start before it and end by `end`. Returns
    // where the first replacement went (the note's end when none did).
    const qsizetype length = m.needle().size();
    const auto replaceFrom = [&](qsizetype from, QList<INoteText::Range> ranges, qsizetype before = -1,
                                 qsizetype end = -1) {
        const QByteArray text = m_note.text();
        for (qsizetype hit = m.indexIn(text, from); hit >= 0; hit = m.indexIn(text, hit + length)) {
            if (before >= 0 && (hit >= before || hit + length > end))
                break;
            ranges.append({hit, hit + length});
        }
        if (!ranges.isEmpty()) {
            const int made = m_note.replaceRanges(ranges, *with);
            count += made;
            left += int(ranges.size()) - made;
        }
        return ranges.isEmpty() ? text.size() : ranges.front().start;
    };

    activateEditor();
    const int startItem = m_doc.m_nCurItem;
    const qsizetype selStart = m_note.selectionStart();
    const qsizetype selEnd = m_note.selectionEnd();
    QList<INoteText::Range> selected;
    if (selStart >= 0 && selEnd > selStart) {
        const QByteArray text = m_note.text();
        if (selEnd <= text.size() && m.equals(text.mid(selStart, selEnd - selStart)))
            selected.append({selStart, selEnd});
    }
    const qsizetype began = selected.isEmpty() ? selEnd : selStart;
    const qsizetype firstChanged = replaceFrom(selEnd, selected);

    if (!thisNoteOnly) {
        const CInfoTree::ItemWalk walk = m_tree.beginItemWalk(startItem);
        const int n = m_doc.count();
        int lastDistance = 0;
        for (;;) {
            activateTree();
            const int found = m_tree.findNextItem(m, walk);
            if (found < 0)
                break;
            // Each item once: the walk only moves on, and never past the start.
            const int distance = int((qint64(found) - startItem + n) % n);
            if (distance <= lastDistance)
                break;
            lastDistance = distance;
            activateEditor();
            m_note.setSelection(0, 0);
            replaceFrom(0, {});
        }
        // Round to the start note's beginning, as Find next comes back to
        // it: its hits before the place the run began, where its text is
        // still as it was.
        if (startItem >= 0 && began > 0) {
            activateTree();
            if (m_doc.m_nCurItem == startItem || m_tree.selectByIndex(startItem)) {
                activateEditor();
                m_note.setSelection(0, 0);
                replaceFrom(0, {}, began, firstChanged);
            }
        }
    }
    m_lastMessage = replacedMessage(count, left);
    emit m_doc.noteMessage(m_lastMessage);
    return count;
}
