#pragma once

#include <QCoreApplication>

#include "import/FolderListing.h"
#include "import/ImportSink.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <array>

class CImportDecoder;

// A Markdown folder as a branch: the folder becomes a folder item, each
// folder below it a folder item and each ".md" file a note; "NAME.md" beside
// a folder "NAME" is that folder's own text. Siblings are ordered by their
// "order:" where they have one, then by name as a file manager sorts; the
// front matter's title, order, icons and reminder are taken out of the text,
// other keys stay in it. Hidden entries (".obsidian", ".git", ".trash") and
// files other than ".md" are skipped and counted; so are links that lead
// outside the folder imported, nowhere or round in a circle, named pipes and
// devices. A folder reached again through a symbolic link is walked only the
// first time. A file or folder that cannot be read (one removed midway
// included) fails the import: what could not be read is collected and told
// once, by the caller, which then adds nothing.
class CMarkdownImport
{
public:
    static constexpr const char *kNotAFolder = QT_TRANSLATE_NOOP("CMarkdownImport", "%1 is not a folder.");
    static constexpr const char *kCannotRead = QT_TRANSLATE_NOOP("CMarkdownImport", "%1: the file cannot be read.");
    static constexpr const char *kFolderCannotBeRead = QT_TRANSLATE_NOOP("CMarkdownImport", "%1: the folder cannot be read.");
    static constexpr const char *kFolderGone =
        QT_TRANSLATE_NOOP("CMarkdownImport", "%1: the folder was removed or moved while it was read.");
    static constexpr const char *kFolderChanged =
        QT_TRANSLATE_NOOP("CMarkdownImport", "%1: the folder was changed while it was read.");
    static constexpr const char *kPathTooLong = QT_TRANSLATE_NOOP("CMarkdownImport", "%1: the path is too long.");
    static constexpr const char *kNothingImported =
        QT_TRANSLATE_NOOP("CMarkdownImport", "Nothing was imported: %1 file(s) or folder(s) could not be read.");
    static constexpr const char *kMoreProblems = QT_TRANSLATE_NOOP("CMarkdownImport", "... and %1 more.");

    // Items without icons of their own take `defaultIcons`.
    CMarkdownImport(IImportSink &sink, CImportDecoder &decoder, const std::array<qint32, 5> &defaultIcons);

    // The folder `dir` below `parent`; the id of its item, or kFailed.
    int walk(const QString &dir, int parent);

    bool readFailed() const { return !m_problems.isEmpty(); }
    // What could not be read, in one message; empty when everything was.
    QString failureReport() const;
    int hiddenSkipped() const { return m_hidden; }
    int othersSkipped() const { return m_others; }
    int linksSkipped() const { return m_links; }
    // What was skipped, in one sentence; empty when nothing was.
    QString report() const;

private:
    struct Entry;
    // A file's text: UTF-8 or UTF-16 after its mark, else the code page's.
    QString textOf(const QByteArray &bytes) const;
    // The entries of `folder` (canonical path `canonical`); false after
    // noting why it could not be read.
    bool list(const QString &folder, const QString &canonical, std::vector<Entry> &entries);
    void fail(const QString &problem) { m_problems.append(problem); }

    IImportSink &m_sink;
    CImportDecoder &m_decoder;
    std::array<qint32, 5> m_defaultIcons;
    QSet<QString> m_walked;  // canonical paths of the folders walked
    // Each folder listed, as it was then: checked again once all is read.
    std::vector<std::pair<QString, CFolderListing::Stamp>> m_listed;
    QString m_root;          // canonical path of the folder imported
    QStringList m_problems;  // what could not be read, one line each
    int m_hidden = 0;
    int m_others = 0;
    int m_links = 0;
    int m_outside = 0;
    int m_broken = 0;
    int m_loops = 0;
    int m_special = 0;
};
