// Times loading, saving and exporting documents of 1,000 to 100,000 items,
// with and without a password, beside plain file I/O of the same bytes.
//   tqb_bench [ITEMS ...]      (default: 1000 10000 100000)
//   tqb_bench --write FILE ITEMS   writes one such document, for process.sh
// Prints figures only and always exits with 0.
#include "BenchDocument.h"
#include "Prompter.h"
#include "doc/TextExport.h"
#include "doc/TorviQuillbookDoc.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>
#include <vector>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

constexpr char kPassword[] = "Bench#42";

class CBenchPrompter : public IPrompter
{
public:
    Answer message(const QString &text, Buttons) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return Answer::Cancel;
    }
    PasswordAnswer askPassword(const PasswordRequest &) override { return {true, QByteArray(kPassword), false}; }
};

// The fastest of `runs` runs, in seconds: the machine is shared, and the
// fastest run is the one least disturbed.
double fastest(int runs, const std::function<void()> &work)
{
    double best = std::numeric_limits<double>::max();
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e9);
    }
    return best;
}

struct CFigures
{
    qint64 fileBytes = 0;
    double load = 0, plainRead = 0;
    double save = 0, plainWrite = 0, plainWriteSync = 0;
    double exportTime = 0;
    qint64 exportBytes = 0;
};

CFigures measure(CSettings &settings, const QTemporaryDir &dir, int items, bool password)
{
    CBenchPrompter prompter;
    const QString path = dir.filePath(QStringLiteral("bench.tqb"));
    const QString plainPath = dir.filePath(QStringLiteral("plain.bin"));
    const int runs = items <= 1000 ? 20 : items <= 10000 ? 5 : 3;
    CFigures f;

    QByteArray bytes;
    {
        CTorviQuillbookDoc doc(settings, prompter);
        bench::fillDocument(doc, items);
        if (password)
            doc.setPassword(kPassword);
        f.save = fastest(runs, [&] { doc.saveDocument(path); });
    }
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        bytes = file.readAll();
        f.fileBytes = bytes.size();
    }
    f.plainWrite = fastest(runs, [&] {
        QFile file(plainPath);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(bytes);
        file.flush();
    });
    // The document is saved through a temporary file that is synced before it
    // replaces the old one; the same bytes synced show what that part costs.
    f.plainWriteSync = fastest(runs, [&] {
        QFile file(plainPath);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(bytes);
        file.flush();
#ifdef Q_OS_UNIX
        ::fsync(file.handle());
#endif
    });
    f.plainRead = fastest(runs, [&] {
        QFile file(plainPath);
        file.open(QIODevice::ReadOnly);
        bytes = file.readAll();
    });
    bytes.clear();

    CTorviQuillbookDoc loaded(settings, prompter);
    f.load = fastest(runs, [&] { loaded.openDocument(path, false); });
    f.exportTime = fastest(runs, [&] { f.exportBytes = CTextExport::render(loaded).size(); });
    return f;
}

void printRow(int items, bool password, const CFigures &f)
{
    const double mb = double(f.fileBytes) / 1e6;
    std::printf("%7d  %-3s %7.1f | %6.0f %6.0f %6.0f %5.2f | %6.0f %6.0f %6.0f %5.2f %6.0f %5.2f | %6.0f %6.0f\n", items,
                password ? "yes" : "no", mb, f.load * 1e3, mb / f.load, mb / f.plainRead, f.load / f.plainRead,
                f.save * 1e3, mb / f.save, mb / f.plainWrite, f.save / f.plainWrite, mb / f.plainWriteSync,
                f.save / f.plainWriteSync, f.exportTime * 1e3, double(f.exportBytes) / 1e6 / f.exportTime);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--write") {
        // Named before the document exists: it moves the current folder to the program's.
        const QString out = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
        QTemporaryDir dir;
        QSettings store(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
        CSettings settings(store);
        CBenchPrompter prompter;
        CTorviQuillbookDoc doc(settings, prompter);
        bench::fillDocument(doc, std::max(1, QByteArray(argv[3]).toInt()));
        if (!doc.saveDocument(out))
            std::fprintf(stderr, "could not write %s\n", argv[2]);
        return 0;
    }
    const std::vector<int> sizes = bench::sizesFromArguments(argc, argv);

    QTemporaryDir dir;
    QSettings store(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    CSettings settings(store);

    std::printf("load: file read + parse + take over. save: prepare + write + save through a synced temporary file.\n"
                "read, write: the same bytes with QFile (readAll; write + flush); w+sync: write, flush, fsync.\n"
                "x: document time / plain time. export: text export rendered in memory. Speeds in MB/s.\n\n");
    std::printf("%7s  %-3s %7s | %6s %6s %6s %5s | %6s %6s %6s %5s %6s %5s | %6s %6s\n", "items", "pw", "MB",
                "load", "MB/s", "read", "x", "save", "MB/s", "write", "x", "w+sync", "x", "export", "MB/s");
    std::printf("%7s  %-3s %7s | %6s %6s %6s %5s | %6s %6s %6s %5s %6s %5s | %6s %6s\n", "", "", "", "ms", "", "MB/s",
                "", "ms", "", "MB/s", "", "MB/s", "", "ms", "");
    for (int items : sizes) {
        for (bool password : {false, true})
            printRow(items, password, measure(settings, dir, items, password));
    }
    return 0;
}
