#pragma once

#include <QCoreApplication>

#include "import/ImportSink.h"

#include <QSet>
#include <QString>

#include <array>

class CImportDecoder;
class IPrompter;

// A Markdown folder as a branch: the folder becomes a folder item, each
// folder below it a folder item and each ".md" file a note; "NAME.md" beside
// a folder "NAME" is that folder's own text. Siblings are ordered by their
// "order:" where they have one, then by name as a file manager sorts; the
// front matter's title, order, icons and reminder are taken out of the text,
// other keys stay in it. Hidden entries (".obsidian", ".git", ".trash") and
// files other than ".md" are skipped and counted; a folder reached again
// through a symbolic link is walked only the first time.
class CMarkdownImport
{
public:
    static constexpr const char *kNotAFolder = QT_TRANSLATE_NOOP("CMarkdownImport", "%1 is not a folder.");
    static constexpr const char *kCannotRead = QT_TRANSLATE_NOOP("CMarkdownImport", "%1: the file cannot be read.");
    static constexpr const char *kFolderCannotBeRead = QT_TRANSLATE_NOOP("CMarkdownImport", "%1: the folder cannot be read.");

    // Items without icons of their own take `defaultIcons`.
    CMarkdownImport(IImportSink &sink, CImportDecoder &decoder, IPrompter &prompter,
                    const std::array<qint32, 5> &defaultIcons);

    // The folder `dir` below `parent`; the id of its item, or kFailed.
    int walk(const QString &dir, int parent);

    bool readFailed() const { return m_readFailed; }
    int hiddenSkipped() const { return m_hidden; }
    int othersSkipped() const { return m_others; }
    int linksSkipped() const { return m_links; }
    // What was skipped, in one sentence; empty when nothing was.
    QString report() const;

private:
    struct Entry;
    // A file's text: UTF-8 or UTF-16 after its mark, else the code page's.
    QString textOf(const QByteArray &bytes) const;
    std::vector<Entry> list(const QString &folder);

    IImportSink &m_sink;
    CImportDecoder &m_decoder;
    IPrompter &m_prompter;
    std::array<qint32, 5> m_defaultIcons;
    QSet<QString> m_walked;  // canonical paths of the folders walked
    bool m_readFailed = false;
    int m_hidden = 0;
    int m_others = 0;
    int m_links = 0;
};
