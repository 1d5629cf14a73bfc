// The CSV list import's parser on any bytes, with and without column names.

#include "ImportSinkCheck.h"
#include "import/CsvImport.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte decides the answer to the column-names question.
    const bool header = data[0] & 1;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    CCheckingSink sink;
    const int folder = sink.add(IImportSink::kDestination, "folder", {});
    CCsvImport::parse(bytes, [header](const QByteArray &) { return header; }, sink, folder);
    return 0;
}
