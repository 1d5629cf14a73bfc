#pragma once

#include "import/ImportSink.h"

#include <QByteArray>

// Text files as notes: sections split at a separator chosen by counting,
// the first line of a section as the title, four-space indents as nesting.
// Reads back the layout of the document's own text export.
//
// Linear in the size of the file: the text is walked by position, never cut
// from the front, and every search starts where the last one ended.
class CTextImport
{
public:
    // Candidates for the separator, in order of preference on equal counts.
    static constexpr const char kCandidates[] = "*%$#'_-=+/-~\t\n";
    static constexpr int kTitleMax = 60;       // a first line this long is cut
    static constexpr int kTitleSpaceFrom = 38; // where a cut looks for a space
    static constexpr int kTitleCut = 40;       // the cut without such a space
    static constexpr const char *kNoName = "noname";

    // The file as lines each followed by one line feed; `longest` is the
    // largest line length + 1.
    static QByteArray wholeText(const QByteArray &fileBytes, qsizetype &longest);
    // The candidate whose triple occurs most often (from position 1, overlaps
    // counted); "*" when none occurs.
    static char chooseSeparator(const QByteArray &whole);
    // The folder's title for a file name: a name longer than 4 characters
    // ending in "txt" loses its last 4.
    static QByteArray folderTitle(const QByteArray &fileName);

    // Parses the file's bytes (already in the code page) into notes below
    // `folder`, an id of the sink.
    static void parse(const QByteArray &fileBytes, IImportSink &sink, int folder);
};
