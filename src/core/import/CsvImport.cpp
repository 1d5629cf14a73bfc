#include "import/CsvImport.h"

#include "import/ImportLines.h"

#include <QList>

using importlines::trimLeft;

namespace {

template<typename F>
void forEachValue(QByteArrayView line, char separator, F &&f)
{
    qsizetype start = 0;
    for (;;) {
        const qsizetype sep = line.indexOf(separator, start);
        if (sep < 0) {
            f(line.sliced(start), true);
            return;
        }
        f(line.sliced(start, sep - start), false);
        start = sep + 1;
    }
}

}  // namespace

char CCsvImport::chooseSeparator(QByteArrayView firstLine)
{
    qsizetype commas = 0, semicolons = 0, tabs = 0;
    for (qsizetype i = 1; i < firstLine.size(); ++i) {
        switch (firstLine[i]) {
        case ',': ++commas; break;
        case ';': ++semicolons; break;
        case '\t': ++tabs; break;
        default: break;
        }
    }
    if (commas > semicolons && commas > tabs)
        return ',';
    if (semicolons > tabs)
        return ';';
    return '\t';
}

QByteArray CCsvImport::folderTitle(const QByteArray &fileName)
{
    if (fileName.size() > 4 && fileName.endsWith("csv"))
        return fileName.left(fileName.size() - 4);
    return fileName;
}

void CCsvImport::parse(const QByteArray &fileBytes, const AskHeader &askHeader, IImportSink &sink, int folder)
{
    bool first = true;
    bool header = false;
    char separator = '\t';
    QList<QByteArray> names;
    importlines::forEach(fileBytes, [&](QByteArrayView line) {
        QByteArray title;
        QByteArray text;
        if (first) {
            first = false;
            separator = chooseSeparator(line);
            header = askHeader && askHeader(line.toByteArray());
            if (header) {
                forEachValue(line, separator, [&](QByteArrayView v, bool) { names.append(trimLeft(v).toByteArray()); });
                return;
            }
        }
        if (!header) {
            forEachValue(line, separator, [&](QByteArrayView v, bool last) {
                if (v.isEmpty() && !last)
                    return;  // between two adjacent separators
                v = trimLeft(v);
                if (title.isEmpty()) {
                    title = v.toByteArray();
                } else {
                    text.append(v);
                    if (!last)
                        text.append("\r\n");
                }
            });
        } else {
            qsizetype column = 0;
            forEachValue(line, separator, [&](QByteArrayView v, bool) {
                const qsizetype k = column++;
                v = trimLeft(v);
                if (v.isEmpty())
                    return;
                if (title.isEmpty()) {
                    title = v.toByteArray();
                    return;
                }
                if (k < names.size() && !names[k].isEmpty()) {
                    text.append(names[k]);
                    text.append(": ");
                }
                text.append(v);
                text.append("\r\n");
            });
        }
        sink.add(folder, title, text);
    });
}
