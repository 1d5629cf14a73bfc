#pragma once

#include <QCoreApplication>

#include "doc/ItemTables.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// Writes the items of the tree as an indented plain-text file: per item a
// rule line, the title between asterisks and the text wrapped to the width
// left beside the indent. Line breaks are written as CR LF.
//
// A line break that straddles the end of a full-width piece ends the line
// before it (the export would otherwise write a lone CR).
//
// Items whose parent chain does not end at a root (a parent link of 0, a link
// past the tables, a cycle) are left out, as are order entries past the tables.
class CTextExport
{
public:
    static constexpr const char *kErrorMessage = QT_TRANSLATE_NOOP("CTextExport", "Text file error!");  // shown by the caller when write() fails
    static constexpr int kLineWidth = 80;
    static constexpr int kIndentStep = 4;
    // From depth 20 on the indent would leave no room for text at all; such
    // items keep the width of depth 19, so every piece moves the export on.
    static constexpr int kMinWidth = 4;

    static QByteArray render(const CItemTables &tables);
    // Writes the export beside `path` and puts it in place whole; false on
    // any error, with an earlier file of that name left as it was. A new
    // file opens to group and others no more than `documentPath` does, to
    // the owner alone with `ownerOnly`. A target that is there and is not a
    // regular file (a device, a named pipe) is refused unopened.
    static bool write(const CItemTables &tables, const QString &path, const QString &documentPath = {},
                      bool ownerOnly = false);
    static bool write(const CItemTables &tables, QIODevice &device);
};
