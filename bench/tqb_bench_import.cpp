// Text import at 1, 10 and 50 MB (or the sizes given, in MB): the whole
// import (read, code page, parse, append every note to the infotree, order)
// beside a plain read of the same file. Prints figures, never fails.

#include "Prompter.h"
#include "doc/TorviQuillbookDoc.h"
#include "import/Importer.h"
#include "settings/Settings.h"
#include "tree/InfoTree.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <vector>

namespace {

class CSilentPrompter : public IPrompter
{
public:
    Answer message(const QString &, Buttons buttons) override
    {
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    PasswordAnswer askPassword(const PasswordRequest &) override { return {}; }
};

// Sections in the export's layout: a rule line, the title between
// asterisks, wrapped text, indents of zero to three levels.
QByteArray makeText(qsizetype bytes)
{
    QByteArray out;
    out.reserve(bytes + 1024);
    const QByteArray words = "lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor ";
    int n = 0;
    while (out.size() < bytes) {
        const int depth = (n * 7) % 4;
        const QByteArray indent(4 * depth, ' ');
        out += indent + QByteArray(80 - 4 * depth, '_') + "\r\n";
        out += indent + "*Note number " + QByteArray::number(n) + "*\r\n";
        for (int line = 0; line < 1 + n % 6; ++line)
            out += indent + words.left(72 - 4 * depth) + "\r\n";
        out += "\r\n";
        ++n;
    }
    return out;
}

long peakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        const int mb = QByteArray(argv[i]).toInt();
        if (mb > 0)
            sizes.push_back(mb);
    }
    if (sizes.empty())
        sizes = {1, 10, 50};

    QTemporaryDir dir;
    QSettings store(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    CSettings settings(store);
    CSilentPrompter prompter;

    std::printf("import: text import into an empty document (read, parse, append, order). read: QFile::readAll.\n"
                "x: import time / read time. peak: the process's peak resident memory so far.\n\n");
    std::printf("%5s %9s | %8s %8s %7s | %8s %6s\n", "MB", "notes", "read ms", "imp. ms", "x", "MB/s", "peak");
    for (int mb : sizes) {
        const QString path = dir.filePath(QStringLiteral("bench%1.txt").arg(mb));
        {
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly) || f.write(makeText(qsizetype(mb) * 1024 * 1024)) < 0)
                return 0;
        }
        QElapsedTimer timer;
        timer.start();
        {
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly))
                return 0;
            const QByteArray bytes = f.readAll();
            if (bytes.isEmpty())
                return 0;
        }
        const double readMs = double(timer.nsecsElapsed()) / 1e6;

        CTorviQuillbookDoc doc(settings, prompter);
        CInfoTree tree(doc);
        tree.initialUpdate();
        CImporter importer(tree);
        timer.restart();
        importer.importText(path, CImporter::Place::Root);
        const double importMs = double(timer.nsecsElapsed()) / 1e6;
        std::printf("%5d %9d | %8.1f %8.1f %7.1f | %8.1f %5ldM\n", mb, doc.count() - 1, readMs, importMs,
                    importMs / (readMs > 0 ? readMs : 1), mb / (importMs / 1000.0), peakRssMb());
        QFile::remove(path);
    }
    return 0;
}
