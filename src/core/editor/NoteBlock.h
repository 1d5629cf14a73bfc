#pragma once

#include <QCoreApplication>

#include <QByteArray>
#include <QString>

class CTorviQuillbookDoc;

// The editor pane's rules: the block of title, separator and text that the
// pane shows for the current item, how every change is written back to the
// document, and the guards that keep the separator between title and text
// intact whatever the user types, pastes or inserts.
//
// The guards take positions in whatever units the caller counts (the pane
// widget counts a line break as one character, the document as CR LF), as
// long as the layout and the selection use the same ones.
namespace noteblock {

inline constexpr qsizetype kTextLimit = 0xFFFFF;  // title, separator and text together
inline constexpr const char *kSeparator = "\r\n\r\n";
inline constexpr const char *kNoItemText =
    "\r\n \r\nClick on the (toolbar) Root folder icon.\r\n\r\nCreate the first root folder.";
inline constexpr const char *kDontCut = QT_TRANSLATE_NOOP("noteblock", "Don't cut any characters following the title");
inline constexpr const char *kDontPaste = QT_TRANSLATE_NOOP("noteblock", "Don't paste any characters following the title");
inline constexpr const char *kFourSpaces = "    ";

// Where the title ends and the text starts.
struct Layout
{
    qsizetype titleEnd = 0;
    qsizetype bodyStart = 0;
};

// Does the selection s..e reach into the separator? A caret inside the
// blank line counts too.
inline bool touchesSeparator(const Layout &l, qsizetype s, qsizetype e)
{
    return s < l.bodyStart && e > l.titleEnd;
}

enum class Key { Pass, Delete, Backspace, Enter, Other };
enum class KeyDecision {
    Normal,      // let the pane handle the key
    Swallow,     // the key does nothing
    JumpToBody,  // caret to the start of the text, the key does nothing else
};
// The title-line key guard. Key::Pass stands for Tab, F6 and the arrow keys,
// which always go through.
KeyDecision guardKey(Key key, const Layout &l, qsizetype s, qsizetype e);

// Cut and paste from a command: the refusal to show, empty when the edit may
// go on. Paste, insertion at the caret and replacing a selection share the
// paste rule.
QString cutRefusal(const Layout &l, qsizetype s, qsizetype e);
QString pasteRefusal(const Layout &l, qsizetype s, qsizetype e);

// Text going in at s: a line break in the title line would split the title
// from itself, so there CR and LF become blanks; in the text it stays.
template <class S>
S fitToLine(const Layout &l, qsizetype s, S text)
{
    if (s > l.titleEnd)
        return text;
    for (auto &c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return text;
}

// How many characters fit when `selected` of `current` are replaced. As many
// as were selected always fit: that does not grow the note, even one that
// another program wrote past the limit.
inline qsizetype room(qsizetype current, qsizetype selected)
{
    const qsizetype left = kTextLimit - (current - selected);
    return left > selected ? left : selected;
}

// A paste cut at the limit says how much went in ("Only N of M characters
// were pasted: ..."), counted as the limit counts (a line break is two).
QString partialPasteMessage(qsizetype pasted, qsizetype offered);

// Lines break at blanks. A run of more characters than this without one
// (pasted data, a long address) makes the pane break anywhere instead:
// looking for a blank first costs time in proportion to such a run at
// every keystroke, seconds for a run of a megabyte.
inline constexpr qsizetype kLongestWord = 2000;
bool hasOverlongWord(QStringView text);

// Lone CR and lone LF become CR LF: the pane shows each as a line break
// and writes each break back as CR LF, so the pane's bytes say so from the start.
QByteArray normalizeBreaks(const QByteArray &text);

// Find in note: the next occurrence of `what` in `pane` from `from` (the end
// of the selection); -1 when there is none or either string is empty.
qsizetype findInPane(const QString &pane, const QString &what, qsizetype from, bool caseSensitive);

} // namespace noteblock

// The pane's bytes for the current item and their write-back. Positions are
// the document's: a line break counts as CR LF.
class CNoteBlock
{
public:
    explicit CNoteBlock(CTorviQuillbookDoc &doc);

    bool hasItem() const;
    // Takes the working copy of the current item into the pane (or the hint
    // text without one) and returns what the pane shows. Writes nothing.
    const QByteArray &load();
    const QByteArray &pane() const { return m_pane; }
    const noteblock::Layout &layout() const { return m_layout; }
    // True after a change left no line break at all: the title has no text
    // below it, and the pane should be shown again to get its separator back.
    bool separatorMissing() const { return m_bNoSeparator; }

    // The pane's characters pos .. pos+removed became `added`. Writes the
    // item back; false (nothing changed) when the range lies outside the pane.
    bool applyEdit(qsizetype pos, qsizetype removed, const QByteArray &added);
    // The whole pane, when a change could not be followed piece by piece.
    void setPane(const QByteArray &pane);

    // CR LF pairs in the pane before pos.
    qsizetype lineBreaksBefore(qsizetype pos) const;

private:
    void writeBack();

    CTorviQuillbookDoc &m_doc;
    QByteArray m_pane;
    noteblock::Layout m_layout;
    bool m_bNoSeparator = false;
};
