#pragma once

#include "text/CodePage.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <memory>

// An import file read in one go. `ok` is false when it could not be opened
// or read to the end; `bytes` then holds what was read.
struct CImportFile
{
    QByteArray bytes;
    bool ok = false;

    static CImportFile read(const QString &path);
};

// Brings the text of import files into the document's code page. A file in
// UTF-8 (with or without a byte-order mark) is recognised and converted; any
// other file is taken as written in the code page already. A character the
// code page cannot hold becomes "?" and is counted, so the import can say so
// once instead of changing text silently.
class CImportDecoder
{
public:
    explicit CImportDecoder(const QString &codePageName);

    const CCodePage &codePage() const { return m_page; }

    // `name` is the file the bytes came from, kept for the report.
    QByteArray toCodePage(const QByteArray &bytes, const QString &name);
    QByteArray fromUnicode(const QString &text, const QString &name);
    // The bytes as UTF-8, for the HTML parser: UTF-8 stays, anything else is
    // read in the code page. A byte-order mark is dropped.
    QByteArray toUtf8(const QByteArray &bytes) const;
    QString toUnicode(const QByteArray &codePageBytes) const { return m_page.toUnicode(codePageBytes); }

    static bool isUtf8(const QByteArray &bytes, bool &hasBom);

    int replaced() const { return m_replaced; }
    QString firstReplacedIn() const { return m_firstReplacedIn; }
    // The report of the characters replaced so far; empty when none was.
    QString replacedMessage() const;

private:
    CCodePage m_page;
    // Unicode code unit -> byte of the page, -1 where the page has none.
    std::shared_ptr<std::array<qint16, 0x10000>> m_fromUnicode;
    int m_replaced = 0;
    QString m_firstReplacedIn;
};
