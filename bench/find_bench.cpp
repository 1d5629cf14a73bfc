// Times Find next across a document when only its last item holds the text:
// from the first item, through the note and the item walk to the last item,
// whose occurrence is selected; case-insensitive (the dialog's default) and
// case-sensitive, and `tqb find` run as a process on the same file. Each
// figure is printed beside the time to read the file's bytes.
//   tqb_find_bench [ITEMS ...]      (default: 1000 10000 100000)
// Prints figures only and always exits with 0.
#include "BenchDocument.h"
#include "Prompter.h"
#include "doc/TorviQuillbookDoc.h"
#include "find/FindReplace.h"
#include "find/NoteText.h"
#include "settings/Settings.h"
#include "tree/InfoTree.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <limits>

namespace {

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

// The pane the editor would be: the current item as title, CR LF CR LF, text.
class CBenchNote : public INoteText
{
public:
    explicit CBenchNote(CTorviQuillbookDoc &doc) : m_doc(doc)
    {
        QObject::connect(&doc, &CTorviQuillbookDoc::updateAllViews, &doc, [this](int hint) {
            if (hint == CTorviQuillbookDoc::kHintShowItem) {
                m_pane = m_doc.m_strCurTitle + "\r\n\r\n" + m_doc.m_strCurText;
                m_start = m_end = 0;
            }
        });
    }
    QByteArray text() const override { return m_pane; }
    qsizetype selectionStart() const override { return m_start; }
    qsizetype selectionEnd() const override { return m_end; }
    void setSelection(qsizetype start, qsizetype end) override
    {
        m_start = start;
        m_end = end;
    }
    bool replaceSelection(const QByteArray &) override { return false; }

private:
    CTorviQuillbookDoc &m_doc;
    QByteArray m_pane;
    qsizetype m_start = 0;
    qsizetype m_end = 0;
};

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

void row(const char *what, int items, double ms, double readMs)
{
    std::printf("%-36s %7d %10.3f %10.3f %8.2f\n", what, items, ms, readMs, ms / readMs);
    std::fflush(stdout);
}

void figures(CSettings &settings, const QTemporaryDir &dir, int items)
{
    constexpr char kNeedle[] = "Quillfinder";  // the generator's words never hold it
    CBenchPrompter prompter;
    const QString path = dir.filePath(QStringLiteral("find-%1.tqb").arg(items));
    {
        CTorviQuillbookDoc doc(settings, prompter);
        bench::fillDocument(doc, items);
        QByteArray last = doc.text(items - 1);
        last.insert(last.size() / 2, QByteArray(" ") + kNeedle + ' ');
        doc.setText(items - 1, std::move(last));
        doc.saveDocument(path);
    }
    const double readMs = fastest(5, {}, [&] {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        file.readAll();
    });

    CTorviQuillbookDoc doc(settings, prompter);
    doc.openDocument(path, false);
    CInfoTree tree(doc);
    tree.initialUpdate();
    CBenchNote note(doc);
    CFindReplace find(tree, note);
    const int runs = items <= 10000 ? 5 : 3;
    for (const bool caseSensitive : {false, true}) {
        bool found = false;
        const double ms = fastest(
            runs, [&] { tree.selectByIndex(0); },
            [&] { found = find.findNext(QString::fromLatin1(kNeedle).toLower(), caseSensitive, false); });
        if (!found && !caseSensitive)
            std::fprintf(stderr, "not found at %d items\n", items);
        row(caseSensitive ? "Find next, case-sensitive" : "Find next (last item only)", items, ms, readMs);
    }
    const double process = fastest(runs, {}, [&] {
        QProcess tqb;
        tqb.start(QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/" TQB_BINARY_FROM_BENCH)), {QStringLiteral("find"), path, QString::fromLatin1(kNeedle)});
        tqb.waitForFinished(-1);
    });
    row("tqb find (process)", items, process, readMs);
    std::printf("%-36s %7d %10.1f MB\n", "file size", items, double(QFileInfo(path).size()) / 1e6);
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.append(QByteArray(argv[i]).toInt());
    if (sizes.isEmpty())
        sizes = {1000, 10000, 100000};
    QTemporaryDir dir;
    QSettings store(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    CSettings settings(store);
    std::printf("%-36s %7s %10s %10s %8s\n", "operation", "items", "ms", "read ms", "x");
    for (int items : sizes) {
        if (items > 0)
            figures(settings, dir, items);
    }
    return 0;
}
