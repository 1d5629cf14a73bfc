#include "CliSession.h"
#include "Commands.h"
#include "doc/TorviQuillbookDoc.h"
#include "export/Exporter.h"

int runExportOpml(CCliSession &session)
{
    if (!session.takePasswordOption())
        return CCliSession::kFailure;
    const auto doc = session.makeReader();
    if (!doc->openDocument(session.file(0), false))
        return CCliSession::kFailure;
    // The exporter reports a failure itself.
    CExporter exporter(*doc, session.codePage());
    return exporter.exportTo(CExporter::Kind::Opml, session.file(1)) ? CCliSession::kSuccess : CCliSession::kFailure;
}
