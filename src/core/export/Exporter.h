#pragma once

#include <QCoreApplication>

#include <QString>

class CCodePage;
class CTorviQuillbookDoc;

// The export commands, from the chosen place to the written folder or file:
// File > Export in the window and tqb's export-md, export-html and
// export-opml. Failures and notes go through the document's prompter.
class CExporter
{
public:
    enum class Kind { Markdown, Html, Opml };

    static constexpr const char *kMarkdownChooserTitle = QT_TRANSLATE_NOOP("CExporter", "Export to an empty folder");
    static constexpr const char *kExportTitle = QT_TRANSLATE_NOOP("CExporter", "Export");
    static constexpr const char *kHtmlFilters = QT_TRANSLATE_NOOP("CExporter", "HTML Files (*.html);;All Files (*.*)");
    static constexpr const char *kOpmlFilters = QT_TRANSLATE_NOOP("CExporter", "OPML Files (*.opml);;All Files (*.*)");
    static constexpr const char *kUndefinedNote =
        QT_TRANSLATE_NOOP("CExporter", "%1 byte(s) that the code page %2 does not define were written as U+FFFD.");
    // Asked before a document stored encrypted is written out plain.
    static constexpr const char *kMarkdownNotEncrypted =
        QT_TRANSLATE_NOOP("CExporter", "The Markdown files will not be encrypted. Save them anyway?");
    static constexpr const char *kHtmlNotEncrypted =
        QT_TRANSLATE_NOOP("CExporter", "The HTML file will not be encrypted. Save it anyway?");
    static constexpr const char *kOpmlNotEncrypted =
        QT_TRANSLATE_NOOP("CExporter", "The OPML file will not be encrypted. Save it anyway?");
    static constexpr const char *kDroppedNote = QT_TRANSLATE_NOOP("CExporter", "%1 control character(s) that XML cannot hold were left out.");

    CExporter(CTorviQuillbookDoc &doc, const CCodePage &page);

    // Asks where, then exports; false when cancelled or failed.
    bool run(Kind kind);
    // Exports to `path` (a folder for Markdown); false after the failure was shown.
    bool exportTo(Kind kind, const QString &path);

private:
    CTorviQuillbookDoc &m_doc;
    const CCodePage &m_page;
};
