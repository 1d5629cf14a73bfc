// The CSV list import's parser on any bytes, decoded as the import decodes
// a file, with and without column names: every parent exists and only bytes
// the code page defines arrive.

#include "ImportSinkCheck.h"
#include "import/CsvImport.h"
#include "import/ImportFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte decides the answer to the column-names question.
    const bool header = data[0] & 1;
    static CImportDecoder decoder(QStringLiteral("windows-1252"));
    const QByteArray bytes = decoder.toCodePage(
        QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)), QStringLiteral("x.csv"));
    CCheckingSink sink(&decoder.codePage());
    const int folder = sink.add(IImportSink::kDestination, "folder", {});
    CCsvImport::parse(bytes, [header](const QByteArray &) { return header; }, sink, folder);
    return 0;
}
