// The text import's parser on any bytes, decoded as the import decodes a
// file (UTF-8, UTF-16 or the code page): no crash, no hang, every parent
// exists, only bytes the code page defines arrive, and the notes hold no
// more text than the decoded file gave (plus the CR of each line break and
// "noname").

#include "ImportSinkCheck.h"
#include "import/ImportFile.h"
#include "import/TextImport.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static CImportDecoder decoder(QStringLiteral("windows-1252"));
    const QByteArray bytes =
        decoder.toCodePage(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), QStringLiteral("x.txt"));
    CCheckingSink sink(&decoder.codePage());
    const int folder = sink.add(IImportSink::kDestination, "folder", {});
    CTextImport::parse(bytes, sink, folder);
    const size_t decoded = size_t(bytes.size());
    if (sink.bytes() > 6 + 2 * (decoded + 1) + 6 * size_t(sink.count()))
        std::abort();
    return 0;
}
