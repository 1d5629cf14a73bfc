// Search all notes and Go to note on the generated documents, through the
// real window (offscreen): from the end of the typing pause to the first 50
// rows in the results list and to the full count, the memory the hits take,
// and Go to note from the keystroke to the filled list; each beside reading
// the file's bytes and `grep -c` of the same text run as a process.
//   tqb_search_bench [ITEMS ...]      (default: 100000)
// Prints figures only and always exits with 0.
#include "BenchDocument.h"
#include "Prompter.h"
#include "app/MainFrame.h"
#include "app/TorviQuillbookApp.h"
#include "doc/TorviQuillbookDoc.h"
#include "find/GoToNotePopup.h"
#include "find/SearchDock.h"
#include "find/SearchResultsModel.h"
#include "settings/Settings.h"
#include "tree/LeftView.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <functional>
#include <limits>

namespace {

constexpr char kRare[] = "Quillfinder";  // planted in the last note only

class CBenchPrompter : public IPrompter
{
public:
    Answer message(const QString &text, Buttons) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return Answer::Ok;
    }
    PasswordAnswer askPassword(const PasswordRequest &) override { return {false, {}, false}; }
};

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// CPU time of the whole process (both threads): the work itself, whatever
// else the machine is doing meanwhile.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double fastest(int runs, const std::function<double()> &once)
{
    double best = std::numeric_limits<double>::max();
    for (int r = 0; r < runs; ++r)
        best = std::min(best, once());
    return best;
}

void waitUntil(const std::function<bool()> &done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

double grepMs(const QString &path, const QString &word, QByteArray *count)
{
    return fastest(3, [&] {
        QProcess grep;
        QElapsedTimer t;
        t.start();
        grep.start(QStringLiteral("grep"), {QStringLiteral("-c"), QStringLiteral("-a"), QStringLiteral("-i"), word, path});
        grep.waitForFinished(-1);
        const double took = ms(t);
        *count = grep.readAllStandardOutput().trimmed();
        return took;
    });
}

void figures(const QTemporaryDir &dir, int items)
{
    const QString path = dir.filePath(QStringLiteral("search-%1.tqb").arg(items));
    {
        QSettings store(dir.filePath(QStringLiteral("make.ini")), QSettings::IniFormat);
        CSettings settings(store);
        CBenchPrompter prompter;
        CTorviQuillbookDoc doc(settings, prompter);
        bench::fillDocument(doc, items);
        QByteArray last = doc.text(items - 1);
        last.insert(last.size() / 2, QByteArray(" ") + kRare + ' ');
        doc.setText(items - 1, std::move(last));
        doc.saveDocument(path);
    }
    // The same titles and texts as plain lines, for grep (the document file
    // itself is not plain text).
    const QString plain = dir.filePath(QStringLiteral("search-%1.txt").arg(items));
    {
        QSettings store(dir.filePath(QStringLiteral("make.ini")), QSettings::IniFormat);
        CSettings settings(store);
        CBenchPrompter prompter;
        CTorviQuillbookDoc doc(settings, prompter);
        doc.openDocument(path, false);
        QFile out(plain);
        out.open(QIODevice::WriteOnly);
        for (int i = 0; i < doc.count(); ++i)
            out.write(doc.title(i) + "\r\n" + doc.text(i) + "\r\n");
    }
    const double readMs = fastest(5, [&] {
        QElapsedTimer t;
        t.start();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        file.readAll();
        return ms(t);
    });
    std::printf("\n%d items, %.1f MB file; read all bytes: %.2f ms\n", items, double(QFileInfo(path).size()) / 1e6,
                readMs);

    CTorviQuillbookApp program(std::make_unique<QSettings>(dir.filePath(QStringLiteral("app.ini")), QSettings::IniFormat));
    if (!program.startUp({QStringLiteral("torvi-quillbook"), path}))
        return;
    CMainFrame *frame = program.mainFrame();
    CSearchDock *dock = frame->searchDock();
    frame->action(QStringLiteral("searchAll"))->trigger();
    QCoreApplication::processEvents();
    const CSearchResultsModel &model = dock->model();

    std::printf("%-40s %8s %8s %7s %7s %10s %7s\n", "search (real dock)", "ms", "cpu ms", "x read", "hits",
                "grep -c ms", "x grep");
    struct Case
    {
        const char *label;
        QString word;
        bool caseSensitive;
        bool full;  // to the full count, else to the first 50 rows
    };
    const Case cases[] = {
        {"first 50: word only in the last note", QString::fromLatin1(kRare).toLower(), false, false},
        {"first 50: same, case-sensitive", QString::fromLatin1(kRare), true, false},
        {"first 50: common word \"note\"", QStringLiteral("note"), false, false},
        {"full count: common word \"note\"", QStringLiteral("note"), false, true},
        {"full count: \"e\" (in every item)", QStringLiteral("e"), false, true},
    };
    for (const Case &c : cases) {
        dock->caseSensitiveBox()->blockSignals(true);
        dock->caseSensitiveBox()->setChecked(c.caseSensitive);
        dock->caseSensitiveBox()->blockSignals(false);
        qsizetype hits = 0;
        double cpu = std::numeric_limits<double>::max();
        const double took = fastest(3, [&] {
            dock->field()->blockSignals(true);
            dock->field()->setText(c.word);
            dock->field()->blockSignals(false);
            // The pause has ended: the search starts, and the rows come.
            QElapsedTimer t;
            const double cpuStart = cpuMs();
            t.start();
            dock->searchNow();
            // Fewer than 50 rows in all: until the search has gone through.
            waitUntil([&] { return (!c.full && model.rowCount() >= 50) || !dock->isSearching(); });
            const double took = ms(t);
            cpu = std::min(cpu, cpuMs() - cpuStart);
            waitUntil([&] { return !dock->isSearching(); });
            hits = model.rowCount();
            return took;
        });
        QByteArray grepCount;
        const double grep = grepMs(plain, c.word, &grepCount);
        std::printf("%-40s %8.2f %8.2f %7.2f %7lld %10.2f %7.2f   (grep -c: %s lines)\n", c.label, took, cpu,
                    took / readMs, qlonglong(hits), grep, took / grep, grepCount.constData());
        if (c.full) {
            std::printf("%-44s %9.2f bytes per hit (%lld hits, %lld bytes)\n", "  memory of the hits",
                        double(model.hits().bytes()) / double(std::max<qsizetype>(1, model.hits().size())),
                        qlonglong(model.hits().size()), qlonglong(model.hits().bytes()));
        }
    }
    std::printf("  dock status after the last search: %s\n", qPrintable(dock->status()->text()));

    // One keystroke in the note pane while a search holds a snapshot: the
    // tables are copied once (their items are shared, not their bytes).
    {
        CTorviQuillbookDoc &doc = program.document();
        CSearchSnapshot held = CSearchSnapshot::of(doc, frame->itemView()->infoTree());
        QElapsedTimer t;
        t.start();
        doc.setText(doc.count() - 1, doc.text(doc.count() - 1) + 'x');
        std::printf("%-44s %9.2f ms\n", "first edit while a snapshot is held", ms(t));
    }

    // Go to note: the keystroke that completes the words, to the filled list.
    CGoToNotePopup *popup = frame->goToNotePopup();
    for (const QString &typed : {QStringLiteral("garden idea"), QStringLiteral("river budget"), QStringLiteral("tra")}) {
        int rows = 0;
        double cpu = std::numeric_limits<double>::max();
        const double took = fastest(5, [&] {
            popup->open();
            popup->field()->blockSignals(true);
            popup->field()->setText(typed.chopped(1));
            popup->field()->blockSignals(false);
            QElapsedTimer t;
            const double cpuStart = cpuMs();
            t.start();
            popup->field()->setText(typed);
            const double took = ms(t);
            cpu = std::min(cpu, cpuMs() - cpuStart);
            rows = popup->list()->count();
            return took;
        });
        std::printf("go to note \"%s\": %.2f ms (cpu %.2f ms), %d rows (x read %.2f)\n", qPrintable(typed), took, cpu,
                    rows, took / readMs);
    }
    frame->close();
}

}  // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(QByteArray(argv[i]).toInt());
    if (sizes.empty())
        sizes = {100000};
    QTemporaryDir dir;
    std::printf("Each figure is the fastest of 3 runs (Go to note: 5). x read: figure / reading the file's bytes;\n"
                "x grep: figure / `grep -c -a -i WORD FILE` as a process.\n");
    for (int items : sizes) {
        if (items > 0)
            figures(dir, items);
    }
    return 0;
}
