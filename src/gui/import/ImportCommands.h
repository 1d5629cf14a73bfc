#pragma once

#include "import/Importer.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

class CTorviQuillbookDoc;
class CInfoTree;

// File > Import > "Text", "CSV (list)", "Favorites", "Markdown folder...". The main window owns
// one, calls the three slots from its menu commands and gives it the New
// command (CDocManager::fileNew). It installs itself as the infotree's import
// runner, so a new document chosen as the destination gets the import once
// its tree is built.
class CImportCommands : public QObject
{
    Q_OBJECT

public:
    using NewCommand = std::function<bool()>;

    static constexpr const char *kTextStatus = QT_TR_NOOP("Import notes from a text file");
    static constexpr const char *kCsvStatus =
        QT_TR_NOOP("Import a comma (tab, semicolon) separated value list from a text or csv file");
    static constexpr const char *kFavoritesStatus = QT_TR_NOOP("Import IE Favorites");
    static constexpr const char *kMarkdownStatus = QT_TR_NOOP("Import a folder of Markdown notes, as other note programs keep them");

    CImportCommands(CTorviQuillbookDoc &doc, CInfoTree &tree, QWidget *parent, NewCommand newCommand);
    ~CImportCommands() override;

    // What the last import did, for the status bar and tests.
    CImporter &importer() { return m_importer; }

public slots:
    void importText() { run(CImporter::Kind::Text); }
    void importCsv() { run(CImporter::Kind::Csv); }
    void importFavorites() { run(CImporter::Kind::Favorites); }
    void importMarkdown() { run(CImporter::Kind::Markdown); }

signals:
    // The tree pane should take the focus (the command's first step).
    void activateTreePane();

private:
    void run(CImporter::Kind kind);

    CTorviQuillbookDoc &m_doc;
    CInfoTree &m_tree;
    QPointer<QWidget> m_parent;
    NewCommand m_newCommand;
    CImporter m_importer;
};
