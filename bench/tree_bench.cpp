// Times the infotree on documents of 1,000 to 100,000 items: the core
// operations, a level of 10,000 children, its branch of 11,001 items deleted and
// brought back, and the real tree pane opening a document until its first
// paint, each beside the time to read the file's bytes.
//   tqb_tree_bench [ITEMS ...]      (default: 1000 10000 100000)
//   tqb_tree_bench --window FILE    the whole window on FILE to its first paint, and peak memory
//   tqb_tree_bench --start [FILE]   starts the program on FILE (or on an empty document) and
//                                   ends the process when it is idle with the document shown:
//                                   prints nothing; time it as a whole process (bench/process.sh)
// Prints figures only and always exits with 0.
#include "BenchDocument.h"
#include "Prompter.h"
#include "doc/TorviQuillbookDoc.h"
#include "settings/Settings.h"
#include "text/CodePage.h"
#include "app/MainFrame.h"
#include "app/TorviQuillbookApp.h"
#include "editor/TorviQuillbookView.h"
#include "tree/InfoTree.h"
#include "tree/LeftView.h"
#include "tree/SortRules.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <functional>
#include <limits>

namespace {

// Every question is answered OK (the delete warning), every message shown on stderr.
class CBenchPrompter : public IPrompter
{
public:
    Answer message(const QString &text, Buttons buttons) override
    {
        if (buttons == Buttons::Ok)
            std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return Answer::Ok;
    }
    PasswordAnswer askPassword(const PasswordRequest &) override { return {false, {}, false}; }
};

// The fastest of `runs` runs of work, each after an untimed setup, in ms.
double fastest(int runs, const std::function<void()> &setup, const std::function<void()> &work)
{
    double best = std::numeric_limits<double>::max();
    for (int r = 0; r < runs; ++r) {
        if (setup)
            setup();
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

double readBytesMs(const QString &path)
{
    return fastest(5, {}, [&] {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        file.readAll();
    });
}

void row(const char *what, int items, double ms, double readMs)
{
    std::printf("%-36s %7d %10.4f %10.3f %8.2f\n", what, items, ms, readMs, ms / readMs);
    std::fflush(stdout);
}

// A document of `items` generated items plus a root folder "Big" with
// `children` children, every tenth of them with a child of its own.
QString makeDocument(CSettings &settings, const QTemporaryDir &dir, int items, int children)
{
    CBenchPrompter prompter;
    CTorviQuillbookDoc doc(settings, prompter);
    bench::fillDocument(doc, items);
    if (children > 0) {
        bench::CRandom random;
        CNoteInfo info;
        info.m_nSort = sortrules::kAlphabetical;
        const int big = doc.appendItem("Big", "", CItemTables::kRootParent, info);
        doc.appendToOrder(quint32(big));
        for (int made = 1; made <= children; ++made) {
            const int child = doc.appendItem(bench::words(random, 12), "text", quint32(big) + 2, CNoteInfo{});
            doc.appendToOrder(quint32(child));
            if (made % 10 == 0)
                doc.appendToOrder(quint32(doc.appendItem("inner", "", quint32(child) + 2, CNoteInfo{})));
        }
    }
    const QString path = dir.filePath(QStringLiteral("tree-%1-%2.tqb").arg(items).arg(children));
    doc.saveDocument(path);
    return path;
}

void coreFigures(CSettings &settings, const QTemporaryDir &dir, int items)
{
    CBenchPrompter prompter;
    const QString path = makeDocument(settings, dir, items, 0);
    const double readMs = readBytesMs(path);
    CTorviQuillbookDoc doc(settings, prompter);
    doc.openDocument(path, false);
    CInfoTree tree(doc);
    const int runs = items <= 10000 ? 5 : 3;

    row("Build tree", items, fastest(runs, {}, [&] { tree.buildTree(); }), readMs);
    row("Collect order", items, fastest(runs, {}, [&] { tree.collectOrder(); }), readMs);
    // The last item: the walk goes through the whole tree.
    row("Select by index (last item)", items,
        fastest(runs, [&] { tree.selectByIndex(0); }, [&] { tree.selectByIndex(items - 1); }), readMs);
    // Store the old item, load the new one: the mean of many changes.
    const CTreeModel::Handle a = tree.model().firstRoot();
    const CTreeModel::Handle b = tree.model().nextPreOrder(a);
    constexpr int kChanges = 1000;
    const double changes = fastest(runs, {}, [&] {
        for (int i = 0; i < kChanges; ++i)
            tree.model().select(i % 2 ? a : b);
    });
    row("Selection change (store + load)", items, changes / kChanges, readMs);
}

void branchFigures(CSettings &settings, const QTemporaryDir &dir, int items, int children)
{
    CBenchPrompter prompter;
    const int branch = children + children / 10 + 1;
    const QString path = makeDocument(settings, dir, items - branch, children);
    const double readMs = readBytesMs(path);
    CTorviQuillbookDoc doc(settings, prompter);
    doc.openDocument(path, false);
    CInfoTree tree(doc);
    tree.buildTree();
    CTreeModel &model = tree.model();
    CTreeModel::Handle big = model.lastChild(CTreeModel::kRoot);
    std::vector<CTreeModel::Handle> reversed = model.children(big);
    std::reverse(reversed.begin(), reversed.end());

    // Sort the level of Big's children from reversed order each time.
    const int level = model.childCount(big);
    const double sortMs = fastest(3, [&] {
        model.reorderChildren(big, reversed);
        model.select(model.firstChild(big));
    }, [&] { tree.localSort(sortrules::kCmdLocalAlphabetical); });
    char label[64];
    std::snprintf(label, sizeof label, "Sort a level of %d children", level);
    row(label, items, sortMs, readMs);

    // Rename a child of Big as typing in the note's title line does: the
    // table's title and the working copy change, then the title notice
    // re-sorts the level and collects the order. The name alternates
    // between the two ends of the level, so every rename moves the item.
    model.select(model.firstChild(big));
    const int renamed = doc.m_nCurItem;
    int turn = 0;
    const double renameMs = fastest(5, {}, [&] {
        const QByteArray name = turn++ % 2 ? QByteArray("aaaa first") : QByteArray("zzzz last");
        doc.setTitle(renamed, name);
        doc.m_strCurTitle = name;
        tree.onUpdate(CTorviQuillbookDoc::kHintTitleChanged);
    });
    std::snprintf(label, sizeof label, "Rename in a level of %d children", level);
    row(label, items, renameMs, readMs);
    // The part of a rename that follows the sort: the order list.
    row("  collect the order: whole tree", items, fastest(5, {}, [&] { tree.collectOrder(); }), readMs);
    row("  collect the order: that branch", items, fastest(5, {}, [&] { tree.collectLevelOrder(big); }), readMs);

    const double deleteMs = fastest(3, [&] {
        if (model.selected() != big)
            model.select(big);
    }, [&] { tree.deleteSelected(); tree.undo(); big = model.selected(); });
    std::snprintf(label, sizeof label, "Delete + undo a %d-item branch", branch);
    row(label, items, deleteMs, readMs);
}

void guiFigures(CSettings &settings, const QTemporaryDir &dir, int items)
{
    CBenchPrompter prompter;
    const QString path = makeDocument(settings, dir, items, 0);
    const double readMs = readBytesMs(path);
    const CCodePage codePage;
    double loadMs = std::numeric_limits<double>::max();
    double openMs = std::numeric_limits<double>::max();
    for (int r = 0; r < 3; ++r) {
        CTorviQuillbookDoc doc(settings, prompter);
        QElapsedTimer timer;
        timer.start();
        doc.openDocument(path, false);
        loadMs = std::min(loadMs, double(timer.nsecsElapsed()) / 1e6);
    }
    for (int r = 0; r < 3; ++r) {
        CTorviQuillbookDoc doc(settings, prompter);
        CLeftView view(doc, codePage);
        view.resize(260, 700);
        bool painted = false;
        struct CPaintWatch : QObject
        {
            bool *painted;
            bool eventFilter(QObject *, QEvent *event) override
            {
                if (event->type() == QEvent::Paint)
                    *painted = true;
                return false;
            }
        } watch;
        watch.painted = &painted;
        view.viewport()->installEventFilter(&watch);
        QElapsedTimer timer;
        timer.start();
        doc.openDocument(path, false);  // hint 5: the pane builds its tree
        view.show();
        while (!painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        openMs = std::min(openMs, double(timer.nsecsElapsed()) / 1e6);
    }
    row("Document load alone", items, loadMs, readMs);
    row("Open in the tree pane to 1st paint", items, openMs, readMs);

#ifdef TQB_BINARY_FROM_BENCH
    QElapsedTimer timer;
    timer.start();
    QProcess tqb;
    tqb.start(QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/" TQB_BINARY_FROM_BENCH)), {QStringLiteral("info"), path});
    tqb.waitForFinished(120000);
    const double infoMs = double(timer.nsecsElapsed()) / 1e6;
    row("tqb info (a process)", items, infoMs, readMs);
    std::printf("%-36s %7d %10.2f\n", "  pane open / tqb info", items, openMs / infoMs);
#endif
}

// Counts the first paint of each of the program's two panes.
class CFirstPaints : public QObject
{
public:
    explicit CFirstPaints(CMainFrame &frame)
    {
        frame.itemView()->viewport()->installEventFilter(this);
        frame.noteView()->viewport()->installEventFilter(this);
    }
    bool bothPainted() const { return m_painted >= 2; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !watched->property("tqbPainted").toBool()) {
            watched->setProperty("tqbPainted", true);
            ++m_painted;
        }
        return false;
    }

private:
    int m_painted = 0;
};

} // namespace

// The whole program's window on FILE: start-up to the first paint of both
// panes, and this process's peak memory beside the file's size.
int windowFigures(const QString &path)
{
    QTemporaryDir dir;
    const double readMs = readBytesMs(path);
    QElapsedTimer timer;
    timer.start();
    CTorviQuillbookApp program(
        std::make_unique<QSettings>(dir.filePath(QStringLiteral("app.ini")), QSettings::IniFormat));
    if (!program.startUp({QStringLiteral("torvi-quillbook"), path}))
        return 1;
    const CFirstPaints watch(*program.mainFrame());
    while (!watch.bothPainted())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const double openMs = double(timer.nsecsElapsed()) / 1e6;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double peakMb = double(usage.ru_maxrss) / 1024.0;
    const double fileMb = double(QFileInfo(path).size()) / (1024.0 * 1024.0);
    std::printf("window open to first paint of both panes: %.1f ms (file read %.1f ms, x %.1f)\n", openMs, readMs,
                openMs / readMs);
    std::printf("peak memory %.0f MB for a %.0f MB file (x %.2f)\n", peakMb, fileMb, peakMb / fileMb);
    return 0;
}

// The program started as a user starts it, ended as soon as both panes have
// been painted and the event loop has nothing left to do. It ends with
// _Exit: what is timed is start to idle, not the teardown.
int startToIdle(const QStringList &arguments)
{
    QTemporaryDir dir;
    CTorviQuillbookApp program(
        std::make_unique<QSettings>(dir.filePath(QStringLiteral("app.ini")), QSettings::IniFormat));
    if (!program.startUp(arguments))
        return 1;
    const CFirstPaints watch(*program.mainFrame());
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, [&watch] {
        if (watch.bothPainted()) {
            std::fflush(nullptr);
            std::_Exit(0);
        }
    });
    return QCoreApplication::exec();
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--window")
        return windowFigures(QString::fromLocal8Bit(argv[2]));
    if ((argc == 2 || argc == 3) && QByteArray(argv[1]) == "--start") {
        QStringList arguments{QStringLiteral("torvi-quillbook")};
        if (argc == 3)
            arguments << QString::fromLocal8Bit(argv[2]);
        return startToIdle(arguments);
    }
    const std::vector<int> sizes = bench::sizesFromArguments(argc, argv);

    QTemporaryDir dir;
    QSettings store(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    CSettings settings(store);

    std::printf("Each figure is the fastest of 3 to 5 runs. read: QFile::readAll of the same document file.\n"
                "x: figure / read. Selection change: the mean of 1,000 changes.\n\n");
    std::printf("%-36s %7s %10s %10s %8s\n", "", "items", "ms", "read ms", "x");
    for (int items : sizes)
        coreFigures(settings, dir, items);
    const int largest = *std::max_element(sizes.begin(), sizes.end());
    if (largest > 10000)
        branchFigures(settings, dir, largest, 10000);
    guiFigures(settings, dir, largest);
    return 0;
}
