#pragma once

#include "format/NoteInfo.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <array>
#include <optional>

// How an item is laid out in a Markdown folder: its file name, made safe for
// every common file system, and the front matter block that holds what a
// file name cannot (the exact title, the place among the siblings, icons
// that differ from the document's, the reminder, the children's sort type).
namespace markdown {

constexpr int kNameMaxBytes = 120;  // UTF-8 bytes of a name, before ".md"
constexpr const char *kUntitled = "Untitled";
constexpr const char *kExtension = ".md";

// The title made safe: the characters Windows refuses and control
// characters become "_", and so does a leading dot (the import skips hidden
// files); no trailing dots or blanks; a reserved device name (CON, NUL,
// COM1, ...) gets a "_"; at most kNameMaxBytes, cut at a character
// boundary; empty becomes "Untitled".
QString safeName(const QString &title);

// The names taken in one folder. Each item claims both NAME.md and NAME (its
// folder), compared as a case-insensitive file system would, and a name
// already taken gets " (2)", " (3)", ...
class CNameSet
{
public:
    QString claim(const QString &safe);

private:
    static QString key(const QString &name);
    bool isFree(const QString &name) const;

    QSet<QString> m_taken;
    QHash<QString, int> m_next;  // per name: the next number to try
};

struct CReminderFields
{
    qint32 mode = -1;  // 0 till, 1 from
    std::array<qint32, 5> times{};
    qint32 next = 0;   // the repeat-next unit, 0-4

    static CReminderFields of(const CNoteInfo &info) { return {info.m_nRemind, info.m_times, info.m_nKind}; }
};

struct CFrontMatter
{
    std::optional<QString> title;
    std::optional<double> order;
    std::optional<std::array<qint32, 5>> icons;
    std::optional<CReminderFields> reminder;
    std::optional<qint32> sort;  // how the item's children are ordered, when not by hand
};

// The block, "---" lines included, each line ending in a line feed.
QString writeFrontMatter(const CFrontMatter &matter);

// Ends our keys where a note's text starts with a front matter block of its
// own: the two are written as one block, ours first, so that other programs
// read the note's keys, and the import knows where the note's own text
// starts again. A YAML comment, which other programs pass over.
constexpr const char *kOwnKeysEnd = "# the note's own keys follow";

// A file's text: the block and the note's text (lines ending in LF). A text
// that starts with a block of its own shares one block with ours, unless
// both have a key (a key given twice would void the whole block for other
// programs): then the two blocks follow one another.
QString writeNote(const CFrontMatter &matter, const QString &text);

// A file's text split into the front matter keys of ours and the note's
// text. Other keys of the block, and lines of ours that do not read, stay
// in the text inside a block of their own; after kOwnKeysEnd the rest of
// the file is the note's text as it was. Line breaks of any kind become
// CR LF.
struct CNote
{
    CFrontMatter matter;
    QString text;
};
CNote readNote(QStringView file);

// The parts of the front matter, exposed for tests.
QString quoted(const QString &value);                    // a YAML double-quoted scalar
std::optional<QString> scalar(QStringView value);        // double-, single-quoted or plain
QString isoTime(qint32 seconds);                          // local time with its offset
std::optional<qint32> fromIsoTime(QStringView text);

}  // namespace markdown
