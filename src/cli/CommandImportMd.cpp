#include "CliSession.h"
#include "Commands.h"

int runImportMd(CCliSession &session)
{
    return runImport(session, CImporter::Kind::Markdown);
}
