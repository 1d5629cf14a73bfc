#pragma once

#include "text/CodePage.h"

#include <QCoreApplication>

#include <QByteArray>
#include <QString>

#include <array>
#include <memory>

// An import file read in one go: a regular file of at most
// CInputFile::kMaxImportBytes, or standard input (/dev/stdin) up to as much.
// `ok` is false when it could not be opened or read to the end; `bytes`
// then holds what was read. `refusal` says why a file was not read at all
// (not a regular file, too large); nothing of it should be imported then.
struct CImportFile
{
    QByteArray bytes;
    bool ok = false;
    QString refusal;

    static CImportFile read(const QString &path);
};

// A file or folder name made into an item's title: line breaks and other
// control characters, which a title cannot show, become blanks.
QString titleFromFileName(QString name);

// Brings the text of import files into the document's code page. A file in
// UTF-8 (with or without a byte-order mark) is recognised and converted; any
// other file is taken as written in the code page already. A character the
// code page cannot hold becomes "?" and is counted, so the import can say so
// once instead of changing text silently.
class CImportDecoder
{
public:
    static constexpr const char *kReplacedInFiles = QT_TRANSLATE_NOOP(
        "ImportFile", "%1 and %2 other file(s): %3 character(s) that the code page %4 cannot hold were imported as \"?\".");

    explicit CImportDecoder(const QString &codePageName);

    const CCodePage &codePage() const { return m_page; }

    // `name` is the file the bytes came from, kept for the report. Text in
    // UTF-8 or, after its byte-order mark, UTF-16 is converted; any other
    // text is taken as the code page's, where a byte the page leaves
    // undefined becomes "?" and is counted with the characters it cannot hold.
    QByteArray toCodePage(const QByteArray &bytes, const QString &name);
    QByteArray fromUnicode(const QString &text, const QString &name);
    // The bytes as UTF-8, for the HTML parser: UTF-8 stays, anything else is
    // read in the code page. A byte-order mark is dropped.
    QByteArray toUtf8(const QByteArray &bytes) const;
    QString toUnicode(const QByteArray &codePageBytes) const { return m_page.toUnicode(codePageBytes); }

    static bool isUtf8(const QByteArray &bytes, bool &hasBom);
    // A UTF-16 byte-order mark (either byte order) starts the bytes.
    static bool isUtf16(const QByteArray &bytes);

    int replaced() const { return m_replaced; }
    QString firstReplacedIn() const { return m_firstReplacedIn; }
    // The report of the characters replaced so far; empty when none was.
    QString replacedMessage() const;

private:
    CCodePage m_page;
    // Unicode code unit -> byte of the page, -1 where the page has none.
    std::shared_ptr<std::array<qint16, 0x10000>> m_fromUnicode;
    std::array<bool, 256> m_defined{};
    int m_replaced = 0;
    QString m_firstReplacedIn;
    int m_filesReplaced = 0;  // files with a character replaced, each counted once
    QString m_lastReplacedIn;
    void countReplaced(int replaced, const QString &name);
};
