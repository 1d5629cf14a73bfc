#pragma once

#include <QCoreApplication>

#include <QByteArray>
#include <QString>

class CCodePage;
class CItemTables;

// The tree as a Markdown folder: every item a NAME.md file holding its text,
// an item with children also a folder NAME beside it holding its children.
// Each file starts with the front matter block of MarkdownFormat.h; texts are
// UTF-8 with LF line ends and are otherwise written as they are.
//
// A new folder is written under a hidden temporary name beside the target,
// synced, and only then renamed to the target, so a folder of that name is
// always complete; an existing empty folder (which may be a mount point) is
// written into: the export is built in a hidden folder inside it and then
// moved up, name by name. The build folder is written and, when the export
// fails, removed through a handle held on it, wherever it was moved. A
// failure removes what was written, and so does
// the next export into that place after one that never finished. Every path
// is measured before anything is written: a tree too deep for the file
// system is refused whole.
class CMarkdownExport
{
public:
    static constexpr const char *kNotEmpty =
        QT_TRANSLATE_NOOP("CMarkdownExport", "%1 is not empty. A Markdown folder is written only into an empty folder or a new one.");
    static constexpr const char *kPathTooLong = QT_TRANSLATE_NOOP(
        "CMarkdownExport", "The file of the note \"%1\" would lie deeper than the %2 bytes a path may have. Nothing was exported.");
    static constexpr const char *kNotFolder = QT_TRANSLATE_NOOP("CMarkdownExport", "%1 is a file, not a folder.");

    struct Result
    {
        bool ok = false;
        QString error;      // the message for the user when !ok
        int files = 0;      // notes written
        int undefined = 0;  // bytes the code page does not define, written as U+FFFD
    };

    // The folder and its files open to group and others no more than
    // `documentPath` does; to the owner alone with `ownerOnly`.
    static Result write(const CItemTables &tables, const CCodePage &page, const QString &dir,
                        const QString &documentPath = {}, bool ownerOnly = false);

    // One item's file: front matter and text in UTF-8. `name` is the file's
    // name without ".md", `place` the item's 0-based place among its siblings.
    static QByteArray noteFile(const CItemTables &tables, const CCodePage &page, int item, int place,
                               const QString &name, int &undefined);
};
