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
    // How many times error() or errorRaw() wrote.
    static int errorCount();
    // False when standard output refused the bytes (a closed pipe, a full disk).
    static bool write(const QByteArray &bytes);
    static constexpr qsizetype kMaxLine = 1 << 20;
    // The next line of standard input without its line break (LF or CR LF);
    // std::nullopt at the end of the input, or (with `tooLong` set) when the
    // line runs past kMaxLine.
    static std::optional<QByteArray> readLine(bool *tooLong = nullptr);
    // The rest of standard input as it is; std::nullopt when it runs past `maxBytes`.
    static std::optional<QByteArray> readAll(qint64 maxBytes);
    // A message box text as one line: its lines joined by blanks.
    static QString oneLine(const QString &text);
};
