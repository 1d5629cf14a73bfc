#pragma once

#include <QCoreApplication>

#include "import/ImportSink.h"

#include <QByteArray>
#include <QSet>
#include <QString>

#include <functional>

class CImportDecoder;
class IPrompter;

// Favorites: Internet shortcut files (".url") and folders of them, and the
// browser bookmark file every browser exports ("Netscape bookmark file"
// HTML, read with an HTML5 parser). Folders become folder items, shortcuts
// and links notes whose text is the address.
class CFavoritesImport
{
public:
    static constexpr const char *kUrlFileError = QT_TRANSLATE_NOOP("CFavoritesImport", "URL file error!");
    static constexpr const char *kTextFileError = QT_TRANSLATE_NOOP("CFavoritesImport", "Text file error!");
    static constexpr const char *kSelectFolder = QT_TRANSLATE_NOOP("CFavoritesImport", "Select folder");
    static constexpr const char *kChooserTitle = QT_TRANSLATE_NOOP("CFavoritesImport", "Select folder (favorite)");
    static constexpr const char *kSection = "[InternetShortcut]";
    static constexpr const char *kNotFound =
        QT_TRANSLATE_NOOP("CFavoritesImport", "%1\nCannot find this file.\nPlease verify that the correct path and file name are given.");
    static constexpr const char *kNotFavorites =
        QT_TRANSLATE_NOOP("CFavoritesImport", "%1 is neither an Internet shortcut (.url) nor a bookmark file (.html, .htm), nor a folder of them.");
    static constexpr const char *kTooDeep =
        QT_TRANSLATE_NOOP("CFavoritesImport", "%1 nests its elements more than %2 levels deep, which no bookmark file does; it was not imported.");
    static constexpr const char *kLinksSkipped =
        QT_TRANSLATE_NOOP("CFavoritesImport", "%1: %2 linked folder(s) lead to folders imported already and were skipped.");
    // Deeper than any real bookmark file, and shallow enough for the HTML
    // parser, whose work on each tag grows with the depth.
    static constexpr int kMaxBookmarkDepth = 512;

    // A picked path is a single shortcut when it ends in ".url" (any case).
    static bool isShortcutPath(const QString &path);
    // A file met in a folder is a shortcut when its name ends in "url".
    static bool isShortcutName(const QString &name);
    static bool isBookmarkFile(const QString &path);  // ".html" or ".htm"
    // The name without its last 4 characters; a name shorter than that keeps
    // all it has.
    static QString shortcutTitle(const QString &name);

    // Reads a shortcut's lines: the address follows "URL=" on the first
    // non-empty line after the section line. `section` is the folder's
    // flag, which carries over from one shortcut to the next.
    static void readShortcut(const QByteArray &bytes, bool &section, QByteArray &address);

    // Links and folders of a bookmark file (UTF-8) below `parent`, in file
    // order. `toCodePage` turns titles and addresses into document text.
    // False, with nothing added, for a file nested deeper than
    // kMaxBookmarkDepth.
    using ToCodePage = std::function<QByteArray(const QString &)>;
    static bool parseBookmarks(const QByteArray &utf8, IImportSink &sink, int parent, const ToCodePage &toCodePage);

    // The walk over a picked path: a shortcut, a bookmark file or a folder
    // (with everything below it, in the order the file system lists it).
    // Returns the id of the one top item, or kFailed.
    CFavoritesImport(IImportSink &sink, CImportDecoder &decoder, IPrompter &prompter);
    int walk(const QString &path, int parent);
    // Something could not be read or was refused; the message was shown.
    bool readFailed() const { return m_readFailed; }
    // Links to folders that were walked already in this import (each real
    // folder is walked once, so linked folders cannot multiply the walk).
    int skippedLinks() const { return m_skippedLinks; }
    QString skippedLinksMessage(const QString &picked) const;

private:
    void walkFolder(const QString &path, int parent);
    QByteArray readShortcutFile(const QString &path, const QString &shownName, bool &section);

    IImportSink &m_sink;
    CImportDecoder &m_decoder;
    IPrompter &m_prompter;
    bool m_readFailed = false;
    QSet<QString> m_walked;  // canonical paths of the folders walked
    int m_skippedLinks = 0;
};
