#include "CliSession.h"
#include "Commands.h"
#include "Console.h"
#include "doc/TorviQuillbookDoc.h"
#include "import/Importer.h"
#include "tree/InfoTree.h"

#include <QDir>
#include <QFileInfo>

// Appends the import to DOC (created when missing) and saves it as the
// program does. Nothing is saved when a file could not be read.
int runImport(CCliSession &session, CImporter::Kind kind)
{
    const QString &docPath = session.file(0);
    const QString &source = session.file(1);
    if (!session.takePasswordOption())
        return CCliSession::kFailure;
    QString skipped;  // what the import left out, told once it is saved
    const int result = session.changeDocument(docPath, [&](CTorviQuillbookDoc &doc) {
        CInfoTree tree(doc);
        tree.initialUpdate();
        CImporter::Place place = CImporter::Place::Root;
        if (session.args().under >= 0) {
            const int under = session.args().under;
            if (under >= doc.count() || !tree.selectByIndex(under))
                return CCliSession::fail(QStringLiteral("%1 has no item %2 in its tree")
                                             .arg(QDir::toNativeSeparators(docPath))
                                             .arg(under));
            place = CImporter::Place::Selected;
        }

        CImporter importer(tree);
        importer.setCodePage(session.codePage().name());
        CImporter::Handle top = CInfoTree::kNone;
        switch (kind) {
        case CImporter::Kind::Text:
            top = importer.importText(source, place);
            break;
        case CImporter::Kind::Csv:
            top = importer.importCsv(source, place,
                                     session.args().header ? CImporter::Header::Yes : CImporter::Header::No);
            break;
        case CImporter::Kind::Favorites:
            top = importer.importFavorites(source, place);
            break;
        case CImporter::Kind::Markdown:
            top = importer.importMarkdown(source, place);
            break;
        }
        if (importer.readFailed())
            return CCliSession::fail(QStringLiteral("%1 was not changed").arg(QDir::toNativeSeparators(docPath)));
        if (top == CInfoTree::kNone)
            return CCliSession::fail(QStringLiteral("nothing was imported"));
        skipped = importer.skipReport();
        return int(CCliSession::kSuccess);
    });
    if (result == CCliSession::kSuccess && !skipped.isEmpty())
        CConsole::error(skipped);
    return result;
}

int runImportText(CCliSession &session)
{
    return runImport(session, CImporter::Kind::Text);
}

int runImportCsv(CCliSession &session)
{
    return runImport(session, CImporter::Kind::Csv);
}

int runImportFavorites(CCliSession &session)
{
    return runImport(session, CImporter::Kind::Favorites);
}
