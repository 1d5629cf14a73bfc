#pragma once

#include <QCoreApplication>

#include "tree/InfoTree.h"

#include <QString>

#include <functional>

class CImportDecoder;
class IImportSink;

// The three imports, from a chosen file to the finished branch: read the
// file, parse it, append every item through the infotree's Append imported
// item under one model reset, and leave the undo record on the new branch's
// top item, so one Undo removes the whole import. The GUI's commands and
// tqb both run imports through this class.
class CImporter
{
public:
    using Handle = CInfoTree::Handle;
    // The numbers are the document's import requests.
    enum class Kind { Text = 1, Csv = 2, Favorites = 3, Markdown = 4 };
    enum class Place { Selected = 0, Root = 1 };
    enum class Header { Ask, Yes, No };

    static constexpr const char *kTextFileError = QT_TRANSLATE_NOOP("CImporter", "Text file error!");
    static constexpr const char *kOpenTitle = QT_TRANSLATE_NOOP("CImporter", "Open");
    static constexpr const char *kTextFilters = QT_TRANSLATE_NOOP("CImporter", "Text Files (*.txt);;All Files (*.*)");
    static constexpr const char *kCsvFilters = QT_TRANSLATE_NOOP("CImporter", "Comma Separated Text Files (*.csv);;All Files (*.*)");
    static constexpr const char *kFavoritesFilters =
        QT_TRANSLATE_NOOP("CImporter", "Favorites (*.url *.html *.htm);;All Files (*)");
    static constexpr const char *kMarkdownChooserTitle = QT_TRANSLATE_NOOP("CImporter", "Import a Markdown folder");

    explicit CImporter(CInfoTree &tree);
    // The code page of the document's text; default: the "CodePage" setting.
    void setCodePage(const QString &name) { m_codePage = name; }

    // The import command once the destination is known: forget the undo
    // record, choose the file through the prompter (the favorites chooser
    // starts in the home folder and takes a folder, a .url file or a bookmark
    // file), then import it. kNone when nothing was chosen or imported.
    Handle run(Kind kind, Place place);

    // Imports `path`; the top item of the new branch, kNone when none was made.
    Handle importText(const QString &path, Place place);
    Handle importCsv(const QString &path, Place place, Header header = Header::Ask);
    Handle importFavorites(const QString &path, Place place);
    Handle importMarkdown(const QString &path, Place place);

    // After an import: some file or folder could not be read (its message
    // was shown), and how many characters the code page could not hold.
    bool readFailed() const { return m_readFailed; }
    int replacedCharacters() const { return m_replaced; }
    // What the last import skipped, in one sentence; empty when nothing was.
    QString skipReport() const { return m_skipReport; }

private:
    using FolderTitle = std::function<QByteArray(const QByteArray &fileName)>;
    using Parse = std::function<void(const QByteArray &bytes, CImportDecoder &decoder, IImportSink &sink, int folder)>;
    // A text or CSV file: its folder, the file read and decoded, `parse` into the folder.
    Handle importFile(const QString &path, Place place, const FolderTitle &folderTitle, const Parse &parse);
    Handle destination(Place place) const;
    void finish(Handle top, bool expand);

    QString codePage() const;

    CInfoTree &m_tree;
    QString m_codePage;
    bool m_readFailed = false;
    int m_replaced = 0;
    QString m_skipReport;
};
