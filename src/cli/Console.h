#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// tqb's three streams: results on standard output, one-line messages on
// standard error, passwords from standard input.
class CConsole
{
public:
    // Writes "tqb: " and the text folded onto one line to standard error.
    static void error(const QString &text);
    // Writes the text as it is (UTF-8) to standard error.
    static void errorRaw(const QString &text);
    // False when standard output refused the bytes (a closed pipe, a full disk).
    static bool write(const QByteArray &bytes);
    // The next line of standard input without its line break (LF or CR LF);
    // std::nullopt at the end of the input.
    static std::optional<QByteArray> readLine();
    // The rest of standard input as it is.
    static QByteArray readAll();
    // A message box text as one line: its lines joined by blanks.
    static QString oneLine(const QString &text);
};
