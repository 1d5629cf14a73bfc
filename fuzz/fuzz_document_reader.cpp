// libFuzzer target: every input is a document file, read, written and read
// back under the checks of DocumentReaderCheck.h. A broken check aborts, so
// libFuzzer keeps the input as a crash.
#include "DocumentReaderCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // One settings file for the whole run: reading it is all a document does.
    static DocumentReaderCheck::CScratchSettings scratch;
    const DocumentReaderCheck::CResult result =
        DocumentReaderCheck::check(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)),
                                   scratch.settings);
    if (!result.failure.isEmpty()) {
        std::fprintf(stderr, "document reader check failed: %s\n", qPrintable(result.failure));
        std::abort();
    }
    return 0;
}
