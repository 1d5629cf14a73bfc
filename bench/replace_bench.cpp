// Times Replace all with "This note only" in the real window on a note of
// one megabyte holding 1,000, 10,000 and 40,000 occurrences, beside the time
// to read the document file's bytes and the note pane's bytes.
//   tqb_replace_bench [HITS ...]      (default: 1000 10000 40000)
// Prints figures only and always exits with 0.
#include "BenchDocument.h"
#include "app/MainFrame.h"
#include "app/TorviQuillbookApp.h"
#include "doc/TorviQuillbookDoc.h"
#include "editor/EditorNoteText.h"
#include "editor/TorviQuillbookView.h"
#include "find/FindDlg.h"
#include "settings/Settings.h"
#include "text/CodePage.h"
#include "tree/InfoTree.h"
#include "tree/LeftView.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <limits>

namespace {

constexpr qsizetype kNoteSize = 1 << 20;

// A megabyte of words with `hits` occurrences of "needle" spread evenly.
QByteArray noteWith(int hits)
{
    bench::CRandom random;
    const QByteArray filler = bench::words(random, int(kNoteSize));
    QByteArray text;
    text.reserve(kNoteSize + 16 * hits);
    const qsizetype step = kNoteSize / hits;
    for (int i = 0; i < hits; ++i)
        text += filler.mid(i * step, step - 7) + " needle";
    return text;
}

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::vector<int> hitCounts;
    for (int i = 1; i < argc; ++i)
        hitCounts.push_back(QByteArray(argv[i]).toInt());
    if (hitCounts.empty())
        hitCounts = {1000, 10000, 40000};

    QTemporaryDir dir;
    std::printf("Replace all, \"This note only\", from the start of a note of 1 MB, in the real window.\n"
                "Fastest of 3 runs. file: QFile::readAll of the document; pane: the note pane's bytes read once.\n"
                "x: Replace all / file.\n\n");
    std::printf("%8s %10s %12s %10s %10s %8s\n", "hits", "replaced", "replace ms", "file ms", "pane ms", "x");
    for (const int hits : hitCounts) {
        const QString path = dir.filePath(QStringLiteral("replace-%1.tqb").arg(hits));
        {
            QSettings store(dir.filePath(QStringLiteral("maker.ini")), QSettings::IniFormat);
            CSettings settings(store);
            struct : IPrompter
            {
                Answer message(const QString &, Buttons) override { return Answer::Ok; }
                PasswordAnswer askPassword(const PasswordRequest &) override { return {}; }
            } quiet;
            CTorviQuillbookDoc doc(settings, quiet);
            doc.appendToOrder(quint32(doc.appendItem("Long note", noteWith(hits), CItemTables::kRootParent, {})));
            if (!doc.saveDocument(path))
                return 0;
        }
        double fileMs = std::numeric_limits<double>::max();
        double paneMs = fileMs;
        double replaceMs = fileMs;
        int replaced = 0;
        for (int run = 0; run < 3; ++run) {
            QElapsedTimer timer;
            timer.start();
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            const QByteArray bytes = file.readAll();
            fileMs = std::min(fileMs, msSince(timer));

            CTorviQuillbookApp program(
                std::make_unique<QSettings>(dir.filePath(QStringLiteral("app.ini")), QSettings::IniFormat));
            if (!program.startUp({QStringLiteral("torvi-quillbook"), path}))
                return 0;
            CMainFrame *frame = program.mainFrame();
            frame->itemView()->infoTree().selectByIndex(0);
            QCoreApplication::processEvents();
            CCodePage page;
            CEditorNoteText pane(*frame->noteView(), page);
            timer.restart();
            const QByteArray shown = pane.text();
            paneMs = std::min(paneMs, msSince(timer));
            pane.setSelection(0, 0);

            frame->action(QStringLiteral("findReplace"))->trigger();
            CFindDlg *dlg = frame->findDialog();
            dlg->findEdit()->setText(QStringLiteral("needle"));
            dlg->replaceEdit()->setText(QStringLiteral("pin"));
            dlg->thisNoteBox()->setChecked(true);
            timer.restart();
            dlg->replaceAll();
            replaceMs = std::min(replaceMs, msSince(timer));
            replaced = int(program.document().texts().value(0).count("pin"));
            program.document().setModifiedFlag(false);
            Q_UNUSED(bytes) Q_UNUSED(shown)
        }
        std::printf("%8d %10d %12.1f %10.2f %10.2f %8.1f\n", hits, replaced, replaceMs, fileMs, paneMs,
                    replaceMs / fileMs);
        std::fflush(stdout);
    }
    return 0;
}
