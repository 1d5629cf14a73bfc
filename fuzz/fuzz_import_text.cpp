// The text import's parser on any bytes: no crash, no hang, every parent
// exists, and the notes hold no more text than the file gave (plus the CR
// of each line break and "noname").

#include "ImportSinkCheck.h"
#include "import/TextImport.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    CCheckingSink sink;
    const int folder = sink.add(IImportSink::kDestination, "folder", {});
    CTextImport::parse(bytes, sink, folder);
    if (sink.bytes() > 6 + 2 * (size + 1) + 6 * size_t(sink.count()))
        std::abort();
    return 0;
}
