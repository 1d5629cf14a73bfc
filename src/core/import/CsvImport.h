#pragma once

#include <QCoreApplication>

#include "import/ImportSink.h"

#include <QByteArray>
#include <QByteArrayView>

#include <functional>

// Separated-value lists as notes: one note per line, the first value as its
// title and the others as its text, one per line, each after its column's
// name when the first line holds the names. No quoting: a separator inside
// quotes still splits.
class CCsvImport
{
public:
    static constexpr const char *kHeaderQuestion =
        QT_TRANSLATE_NOOP("CCsvImport", "Do you want to add denominations from first line of the list? \n\n(");

    // Comma, semicolon or tab, from the counts in the line from position 1.
    static char chooseSeparator(QByteArrayView firstLine);
    // A name longer than 4 characters ending in "csv" loses its last 4.
    static QByteArray folderTitle(const QByteArray &fileName);

    // Asked once with the first line: does it hold the column names?
    using AskHeader = std::function<bool(const QByteArray &firstLine)>;
    // Parses the file's bytes (already in the code page) into notes below
    // `folder`, an id of the sink.
    static void parse(const QByteArray &fileBytes, const AskHeader &askHeader, IImportSink &sink, int folder);
};
