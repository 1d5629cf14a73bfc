// The favorites import's readers on any bytes: an Internet shortcut file
// and a browser bookmark file (HTML5 parser), through the code page. Only
// bytes the code page defines arrive; a file nested too deeply for the
// parser is refused before it reaches it, so that large inputs (-max_len
// of a megabyte and more) stay fast.

#include "ImportSinkCheck.h"
#include "import/FavoritesImport.h"
#include "import/ImportFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static CImportDecoder decoder(QStringLiteral("windows-1252"));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    bool section = false;
    QByteArray address;
    CFavoritesImport::readShortcut(decoder.toCodePage(bytes, QStringLiteral("x.url")), section, address);

    CCheckingSink sink(&decoder.codePage());
    const int folder = sink.add(IImportSink::kDestination, "folder", {});
    CFavoritesImport::parseBookmarks(decoder.toUtf8(bytes), sink, folder, [](const QString &text) {
        return decoder.fromUnicode(text, QStringLiteral("b.html"));
    });
    return 0;
}
