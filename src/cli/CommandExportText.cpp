#include "CliSession.h"
#include "Commands.h"
#include "doc/TorviQuillbookDoc.h"

int runExportText(CCliSession &session)
{
    if (!session.takePasswordOption())
        return CCliSession::kFailure;
    const auto doc = session.makeReader();
    if (!doc->openDocument(session.file(0), false))
        return CCliSession::kFailure;
    // The document reports a failed export itself ("Text file error!").
    return doc->exportText(session.file(1)) ? CCliSession::kSuccess : CCliSession::kFailure;
}
