#include "editor/NoteBlock.h"
#include <QCoreApplication>

#include "doc/TorviQuillbookDoc.h"

#include <QLocale>

namespace noteblock {

KeyDecision guardKey(Key key, const Layout &l, qsizetype s, qsizetype e)
{
    if (key == Key::Pass)
        return KeyDecision::Normal;
    if (touchesSeparator(l, s, e))
        return KeyDecision::JumpToBody;
    if (key == Key::Delete && s < l.bodyStart && e >= l.titleEnd)
        return KeyDecision::Swallow;
    if (key == Key::Backspace && s == e && s == l.bodyStart)
        return KeyDecision::Swallow;
    if (key == Key::Enter && s < l.bodyStart)
        return KeyDecision::JumpToBody;
    return KeyDecision::Normal;
}

QString cutRefusal(const Layout &l, qsizetype s, qsizetype e)
{
    return touchesSeparator(l, s, e) ? QCoreApplication::translate("noteblock", kDontCut) : QString();
}

QString pasteRefusal(const Layout &l, qsizetype s, qsizetype e)
{
    return touchesSeparator(l, s, e) ? QCoreApplication::translate("noteblock", kDontPaste) : QString();
}

QString partialPasteMessage(qsizetype pasted, qsizetype offered)
{
    const QLocale english(QLocale::English);
    return QCoreApplication::translate("noteblock", "Only %1 of %2 characters were pasted: a note holds at most %3.")
        .arg(english.toString(qlonglong(pasted)), english.toString(qlonglong(offered)),
             english.toString(qlonglong(kTextLimit)));
}

bool hasOverlongWord(QStringView text)
{
    qsizetype run = 0;
    for (QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kLongestWord)
            return true;
    }
    return false;
}

QByteArray normalizeBreaks(const QByteArray &text)
{
    if (!text.contains('\r') && !text.contains('\n'))
        return text;
    QByteArray out;
    out.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += "\r\n";
            ++i;
        } else if (c == '\r' || c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

qsizetype findInPane(const QString &pane, const QString &what, qsizetype from, bool caseSensitive)
{
    if (pane.isEmpty() || what.isEmpty() || from < 0 || from > pane.size())
        return -1;
    return pane.indexOf(what, from, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
}

} // namespace noteblock

CNoteBlock::CNoteBlock(CTorviQuillbookDoc &doc) : m_doc(doc) {}

bool CNoteBlock::hasItem() const
{
    return m_doc.m_nCurItem >= 0;
}

const QByteArray &CNoteBlock::load()
{
    m_bNoSeparator = false;
    if (!hasItem()) {
        m_pane = noteblock::kNoItemText;
        m_layout = {};
        return m_pane;
    }
    // A title holds no line break (a tree label cannot); if a file brought
    // one, the pane shows it as blanks rather than split the title.
    const QByteArray title = noteblock::fitToLine(noteblock::Layout{}, 0, m_doc.m_strCurTitle);
    m_pane = title + noteblock::kSeparator + noteblock::normalizeBreaks(m_doc.m_strCurText);
    m_layout = {title.size(), title.size() + 4};
    return m_pane;
}

bool CNoteBlock::applyEdit(qsizetype pos, qsizetype removed, const QByteArray &added)
{
    if (pos < 0 || removed < 0 || pos + removed > m_pane.size())
        return false;
    m_pane.replace(pos, removed, added);
    writeBack();
    return true;
}

void CNoteBlock::setPane(const QByteArray &pane)
{
    m_pane = pane;
    writeBack();
}

qsizetype CNoteBlock::lineBreaksBefore(qsizetype pos) const
{
    qsizetype count = 0;
    const qsizetype end = qMin(pos, m_pane.size());
    for (qsizetype i = 0; i + 1 < end; ++i) {
        if (m_pane[i] == '\r' && m_pane[i + 1] == '\n')
            ++count;
    }
    return count;
}

void CNoteBlock::writeBack()
{
    const int item = m_doc.m_nCurItem;
    if (item < 0)
        return;
    // The first line is the title, however short: an empty one is an empty
    // title, and the text below it is kept all the same.
    const qsizetype p = m_pane.indexOf("\r\n");
    QByteArray title;
    QByteArray text;
    if (p < 0) {
        // No line break at all: everything is the title line, nothing is lost.
        title = m_pane;
        m_layout = {m_pane.size(), m_pane.size() + 4};
        m_bNoSeparator = true;
    } else {
        // Only a whole separator is skipped; a single break before the text
        // keeps the text's first line.
        const qsizetype sep = m_pane.mid(p, 4) == noteblock::kSeparator ? 4 : 2;
        title = m_pane.left(p);
        text = m_pane.mid(p + sep);
        m_layout = {p, p + sep};
        m_bNoSeparator = false;
    }
    const bool titleChanged = title != m_doc.m_strCurTitle;
    m_doc.m_strCurText = text;
    if (m_doc.isItem(item))
        m_doc.setText(item, m_doc.m_strCurText);
    if (titleChanged) {
        m_doc.m_strCurTitle = title;
        if (m_doc.isItem(item))
            m_doc.setTitle(item, title);
    }
    m_doc.setModifiedFlag(true);
    if (titleChanged)
        emit m_doc.updateAllViews(CTorviQuillbookDoc::kHintTitleChanged);
}
