#pragma once

#include <QCoreApplication>

#include <QByteArray>
#include <QString>

class CCodePage;
class CItemTables;

// The tree as one file for readers and outliners:
// - HTML: one self-contained UTF-8 page, readable with scripts off. The tree
//   is nested <details> (the first level open), each text in <pre> with its
//   web and mail addresses made links, everything else escaped; the style
//   sheet follows the reader's light or dark preference.
// - OPML 2.0: one <outline> per item, text = title and _note = the text.
//   XML cannot hold most control characters: they are left out and counted.
// Both are written as the document is saved: aside, synced, then renamed.
class COutlineExport
{
public:
    static constexpr const char *kIsFolder = QT_TRANSLATE_NOOP("COutlineExport", "%1 is a folder, not a file.");

    struct Result
    {
        bool ok = false;
        QString error;      // the message for the user when !ok
        int dropped = 0;    // characters XML cannot hold, left out (OPML)
        int undefined = 0;  // bytes the code page does not define, written as U+FFFD
    };

    // `name` is the document's name for the page title and the OPML head.
    static QByteArray html(const CItemTables &tables, const CCodePage &page, const QString &name, int *undefined = nullptr);
    static QByteArray opml(const CItemTables &tables, const CCodePage &page, const QString &name, int *dropped = nullptr,
                           int *undefined = nullptr);

    // A new file opens to group and others no more than `documentPath` does,
    // to the owner alone with `ownerOnly` (a protected document's notes). A
    // target that is there and is not a regular file is refused untouched.
    static Result writeHtml(const CItemTables &tables, const CCodePage &page, const QString &name, const QString &path,
                            const QString &documentPath = {}, bool ownerOnly = false);
    static Result writeOpml(const CItemTables &tables, const CCodePage &page, const QString &name, const QString &path,
                            const QString &documentPath = {}, bool ownerOnly = false);

    // Escaped text with http, https and mailto addresses as links.
    static QString linkified(QStringView text);
};
