// The lock: a locked document leaves nothing of its notes within reach, in
// the window or in the process's memory, loses no change, and comes back as
// it was for its password.
#include "DocFixture.h"
#include "GuiTestSupport.h"
#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "app/IdleLock.h"
#include "editor/TorviQuillbookView.h"
#include "find/GoToNotePopup.h"
#include "find/SearchDock.h"
#include "find/SearchResultsModel.h"
#include "password/PasswordDlg.h"
#include "tree/InfoTree.h"
#include "tree/LeftView.h"

#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <vector>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

const QByteArray kPassword = "lock pass";
constexpr char kMask = 0x5A;  // the words handed to the child process, never as themselves

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void answer(CPasswordDlg *dlg, const QByteArray &typed)
{
    auto *edit = dlg->findChild<QLineEdit *>(QStringLiteral("password"));
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromLatin1(typed));
    QTest::keyClick(edit, Qt::Key_Return);
}

// Inbox (Plan, Vault (the secret note)), Archive; protected by `form`.
QString makeDocument(const QString &path, Protection form, const QByteArray &secretTitle, const QByteArray &secretText)
{
    CDocFixture maker;
    CTorviQuillbookDoc &d = *maker.doc;
    const quint32 inbox = quint32(d.appendItem("Inbox", "visible inbox words", CItemTables::kRootParent, {}));
    const quint32 plan = quint32(d.appendItem("Plan", "alpha plan words", inbox + 2, {}));
    const quint32 vault = quint32(d.appendItem("Vault", "", inbox + 2, {}));
    const quint32 secret = quint32(d.appendItem(secretTitle, secretText, vault + 2, {}));
    const quint32 archive = quint32(d.appendItem("Archive", "old", CItemTables::kRootParent, {}));
    d.setOrder({inbox, plan, vault, secret, archive});
    return d.setPassword(kPassword, form) && d.saveDocument(path) ? path : QString();
}

CTreeModel::Handle findTitled(CInfoTree &tree, const QByteArray &title)
{
    CTreeModel &m = tree.model();
    for (auto h = m.firstRoot(); h != CTreeModel::kNone; h = m.nextPreOrder(h)) {
        if (m.label(h) == title)
            return h;
    }
    return CTreeModel::kNone;
}

struct CLockedProgram : guitest::CProgramInFolder
{
    QString path;

    bool open(Protection form = Protection::Encrypted)
    {
        path = makeDocument(dir.filePath(QStringLiteral("notes.tqb")), form, "Sealed", "hidden words");
        guitest::whenModalShows<CPasswordDlg>([](CPasswordDlg *dlg) { answer(dlg, kPassword); });
        return !path.isEmpty() && start(path) && shown();
    }
    CInfoTree &tree() const { return frame->itemView()->infoTree(); }
    // Locks by `how`; the password asked after the notes went is cancelled.
    bool lockAndCancel(const std::function<void()> &how)
    {
        bool asked = false;
        guitest::whenModalShowsNext<CPasswordDlg>([&](CPasswordDlg *dlg) {
            asked = doc().isLocked();
            dlg->reject();
        });
        how();
        return QTest::qWaitFor([&] { return asked; }, 20000) && frame->idleLock().isLocked();
    }
    bool unlock()
    {
        guitest::whenModalShowsNext<CPasswordDlg>([](CPasswordDlg *dlg) { answer(dlg, kPassword); });
        QTest::mouseClick(frame->lockPage()->findChild<QPushButton *>(QStringLiteral("unlock")), Qt::LeftButton);
        return QTest::qWaitFor([&] { return !frame->idleLock().isLocked(); }, 20000);
    }
};

// ------------------------------------------------------------ the child process whose memory is read

// Reads every readable mapping of this process, but the bytes from `skip`
// on (the words themselves and the reading buffer), and counts the places
// where one of the words is found.
struct CWord
{
    const char *data;
    size_t size;
};

int scanOwnMemory(const std::vector<CWord> &words, const char *skip, size_t skipSize)
{
    constexpr size_t kChunk = size_t(1) << 20;
    auto *buffer = static_cast<char *>(::mmap(nullptr, kChunk, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    const int mem = ::open("/proc/self/mem", O_RDONLY);
    FILE *maps = std::fopen("/proc/self/maps", "r");
    if (buffer == MAP_FAILED || mem < 0 || !maps)
        return -1;
    const std::pair<unsigned long long, unsigned long long> own[] = {
        {reinterpret_cast<unsigned long long>(skip), reinterpret_cast<unsigned long long>(skip) + skipSize},
        {reinterpret_cast<unsigned long long>(buffer), reinterpret_cast<unsigned long long>(buffer) + kChunk}};
    size_t longest = 0;
    for (const CWord &w : words)
        longest = std::max(longest, w.size);
    int found = 0;
    unsigned long long scanned = 0;
    char line[512];
    while (std::fgets(line, sizeof line, maps)) {
        unsigned long long begin = 0, end = 0;
        char perms[8] = {};
        if (std::sscanf(line, "%llx-%llx %7s", &begin, &end, perms) != 3 || perms[0] != 'r'
            || std::strstr(line, "[vvar]") || std::strstr(line, "[vsyscall]") || end - begin > (1ULL << 32))
            continue;
        for (unsigned long long at = begin; at < end;) {
            unsigned long long stop = std::min<unsigned long long>(end, at + kChunk);
            bool inside = false;
            for (const auto &[from, to] : own) {
                if (at >= from && at < to) {
                    at = to;
                    inside = true;
                } else if (from > at && from < stop) {
                    stop = from;
                }
            }
            if (inside)
                continue;
            const ssize_t got = ::pread(mem, buffer, size_t(stop - at), off_t(at));
            if (got <= 0) {
                at += 4096;  // a page that cannot be read
                continue;
            }
            scanned += size_t(got);
            for (size_t w = 0; w < words.size(); ++w) {
                if (::memmem(buffer, size_t(got), words[w].data, words[w].size)) {
                    ++found;
                    std::printf("word %zu found in %s", w, line);
                }
            }
            // Overlapping reads: a word across their border is seen too.
            at += size_t(got) > longest ? size_t(got) - longest + 1 : size_t(got);
        }
    }
    std::printf("scanned %llu bytes\n", scanned);
    return found;
}

// The program opens the document, searches, locks; then this process's memory is read.
int lockedChild(int argc, char **argv)
{
    QApplication app(argc, argv);
    // The words are unmasked into a page of their own, left out of the scan,
    // as bytes and as the UTF-16 the window's texts are made of.
    const QList<QByteArray> masked{QByteArray::fromHex(argv[4]), QByteArray::fromHex(argv[5])};
    const size_t length = size_t(masked[0].size());
    const size_t pageSize = 4096;
    char *words = static_cast<char *>(::mmap(nullptr, pageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    if (words == MAP_FAILED || length * 6 > pageSize || masked[1].size() != masked[0].size())
        return 100;

    guitest::CProgramRun run;
    guitest::whenModalShows<CPasswordDlg>([](CPasswordDlg *dlg) { answer(dlg, kPassword); });
    if (!run.start(QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[2])) || !run.shown())
        return 101;
    CSearchDock &dock = *run.frame->searchDock();
    dock.openSearch();
    QTest::keyClicks(dock.field(), QStringLiteral("visible"));
    dock.searchNow();
    if (!QTest::qWaitFor([&] { return !dock.isSearching() && dock.model().rowCount() == 1; }, 20000))
        return 102;
    bool asked = false;
    guitest::whenModalShowsNext<CPasswordDlg>([&](CPasswordDlg *dlg) {
        asked = true;
        dlg->reject();
    });
    run.frame->commands().execute(cmd::kLock);
    if (!QTest::qWaitFor([&] { return asked; }, 20000) || !run.doc().isLocked())
        return 103;

    // Each word as bytes and as the UTF-16 the window's texts are made of.
    std::vector<CWord> forms;
    char *next = words;
    for (const QByteArray &m : masked) {
        for (qsizetype i = 0; i < m.size(); ++i)
            next[i] = char(m[i] ^ kMask);
        forms.push_back({next, length});
        next += length;
        for (qsizetype i = 0; i < m.size(); ++i) {
            next[2 * i] = char(m[i] ^ kMask);
            next[2 * i + 1] = 0;
        }
        forms.push_back({next, 2 * length});
        next += 2 * length;
    }
    const int found = scanOwnMemory(forms, words, pageSize);
    std::memset(words, 0, pageSize);
    std::fflush(stdout);
    ::_exit(found == 0 ? 0 : 1);
}

}  // namespace

class TestLock : public QObject
{
    Q_OBJECT

private slots:
    // File > Lock's key locks at once; Cancel on the password leaves it
    // locked; the dock, Go to note, the tree and the pane then find and
    // change nothing, and nothing is written. The password brings back the
    // note and the open folders.
    void lockedDocumentIsOutOfReachUntilUnlocked()
    {
        CLockedProgram p;
        QVERIFY(p.open());
        CMainFrame &frame = *p.frame;
        CSearchDock &dock = *frame.searchDock();
        QVERIFY(p.tree().selectByIndex(1));
        QCOMPARE(p.doc().m_strCurTitle, QByteArray("Plan"));
        dock.openSearch();
        QTest::keyClicks(dock.field(), QStringLiteral("words"));
        dock.searchNow();
        QTRY_COMPARE(dock.model().rowCount(), 3);
        const QByteArray onDisk = readAll(p.path);
        QVERIFY(p.activate());

        QVERIFY(p.lockAndCancel([&] { QTest::keyClick(frame.itemView(), Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier); }));
        QCOMPARE(frame.centralWidget(), frame.lockPage());
        QCOMPARE(p.doc().count(), 0);
        QVERIFY(p.doc().m_strCurText.isEmpty());
        QCOMPARE(frame.itemView()->model()->rowCount(), 0);
        // The pane shows what it shows for an empty document.
        const QString emptyPane = frame.noteView()->toPlainText();
        QVERIFY(!emptyPane.contains(QStringLiteral("Plan")) && !emptyPane.contains(QStringLiteral("words")));
        QVERIFY(!frame.noteView()->isEnabled());
        QVERIFY(dock.isHidden());
        QCOMPARE(dock.model().rowCount(), 0);
        QVERIFY(dock.field()->text().isEmpty());

        // Every way in: the commands refuse; reached directly, the dock and
        // Go to note find nothing, and typing changes nothing.
        for (int id : {cmd::kSearchAll, cmd::kGoToNote, cmd::kFindReplace, cmd::kSave, cmd::kNew, cmd::kOpen, cmd::kLock})
            QVERIFY2(!frame.commands().execute(id), qPrintable(QString::number(id)));
        dock.field()->setText(QStringLiteral("words"));
        dock.searchNow();
        QTRY_VERIFY(!dock.isSearching());
        QCOMPARE(dock.model().rowCount(), 0);
        dock.field()->clear();
        frame.goToNotePopup()->open();
        QTest::keyClicks(frame.goToNotePopup()->field(), QStringLiteral("Plan"));
        QCOMPARE(frame.goToNotePopup()->list()->count(), 0);
        frame.goToNotePopup()->hide();
        QTest::keyClicks(frame.noteView(), QStringLiteral("typed while locked"));
        QCOMPARE(frame.noteView()->toPlainText(), emptyPane);
        QCOMPARE(p.doc().count(), 0);
        QVERIFY(!p.doc().isModified());
        QCOMPARE(readAll(p.path), onDisk);

        QVERIFY(p.unlock());
        QCOMPARE(frame.centralWidget(), frame.splitter());
        QCOMPARE(p.doc().count(), 5);
        QCOMPARE(p.doc().m_strCurTitle, QByteArray("Plan"));
        QVERIFY(frame.noteView()->toPlainText().startsWith(QStringLiteral("Plan")));
        QVERIFY(p.tree().model().isExpanded(findTitled(p.tree(), "Inbox")));
        QVERIFY(!p.tree().model().isExpanded(findTitled(p.tree(), "Vault")));
        QVERIFY(dock.isVisible());
        QVERIFY(!p.doc().isModified());
        QCOMPARE(readAll(p.path), onDisk);
    }

    // A file another program wrote while the document was locked is read
    // at the unlock, and the folders that stood open stay open.
    void unlockAfterAnOutsideChangeKeepsTheOpenFolders()
    {
        // The light form: its key comes from the password alone, so the
        // reload asks for nothing more.
        CLockedProgram p;
        QVERIFY(p.open(Protection::Compatible));
        QVERIFY(p.tree().selectByIndex(1));  // opens Inbox
        QVERIFY(p.tree().selectByIndex(4));
        QVERIFY(p.tree().model().isExpanded(findTitled(p.tree(), "Inbox")));
        QVERIFY(p.lockAndCancel([&] { p.frame->idleLock().lock(); }));
        QVERIFY(!makeDocument(p.path, Protection::Compatible, "Sealed", "changed elsewhere").isEmpty());
        QVERIFY(p.unlock());
        QTRY_COMPARE(p.doc().texts().value(3), QByteArray("changed elsewhere"));
        QCOMPARE(p.doc().m_strCurTitle, QByteArray("Archive"));
        QVERIFY(p.tree().model().isExpanded(findTitled(p.tree(), "Inbox")));
    }

    // The idle lock's save ends an open label edit first: what was typed is
    // in the file, also when it is the only change.
    void idleLockSavesAnOpenLabelEdit_data()
    {
        QTest::addColumn<bool>("alsoText");
        QTest::newRow("with a text change") << true;
        QTest::newRow("the label alone") << false;
    }
    void idleLockSavesAnOpenLabelEdit()
    {
        QFETCH(bool, alsoText);
        CLockedProgram p;
        QVERIFY(p.open(Protection::Compatible));
        CMainFrame &frame = *p.frame;
        QVERIFY(p.tree().selectByIndex(1));
        if (alsoText) {
            frame.noteView()->moveCursor(QTextCursor::End);
            QTest::keyClicks(frame.noteView(), QStringLiteral(" more"));
            QVERIFY(p.doc().isModified());
        }
        p.tree().rename();
        QLineEdit *editor = frame.itemView()->labelEditor();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("Renamed"));

        QVERIFY(p.lockAndCancel([&] {
            frame.idleLock().setMinutes(1);
            frame.idleLock().setIntervalForTesting(300);
        }));
        frame.idleLock().setMinutes(0);
        CDocFixture reader;
        reader.prompter.passwordAnswers = {{true, kPassword, false, false}};
        QVERIFY(reader.doc->openDocument(p.path));
        const qsizetype renamed = reader.doc->titles().indexOf("Renamed");
        QVERIFY(renamed >= 0);
        QCOMPARE(reader.doc->text(renamed), alsoText ? QByteArray("alpha plan words more") : QByteArray("alpha plan words"));
    }

    // A document that has no file yet loses nothing behind the lock.
    void unnamedDocumentComesBackWhole()
    {
        CLockedProgram p;
        QVERIFY(p.start());
        QVERIFY(p.doc().setPassword(kPassword, Protection::Compatible));
        p.tree().addRootFolder();
        QLineEdit *editor = p.frame->itemView()->labelEditor();
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("Unsaved"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!p.frame->itemView()->labelEditor());
        QVERIFY(p.lockAndCancel([&] { p.frame->commands().execute(cmd::kLock); }));
        QCOMPARE(p.doc().count(), 0);
        QVERIFY(p.frame->idleLock().holdsUnsavedWork());
        QVERIFY(p.unlock());
        QCOMPARE(p.doc().titles(), QList<QByteArray>{"Unsaved"});
        QVERIFY(p.doc().isModified());
        QVERIFY(p.doc().pathName().isEmpty());
        p.doc().setModifiedFlag(false);  // no question at the close
    }

    // No core file while a protected document is open; back as it was after.
    void noCoreDumpsWhileProtected()
    {
        CLockedProgram p;
        QVERIFY(p.open());
        QCOMPARE(::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
        QVERIFY(p.frame->commands().execute(cmd::kNew));
        QVERIFY(!p.doc().hasPassword());
        QCOMPARE(::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 1);
    }

    // Locked, the program's memory holds no word of a note that was never
    // shown: read from /proc by the process itself (a child started for it),
    // which gets the words only masked.
    void lockedMemoryHoldsNoHiddenWord_data()
    {
        QTest::addColumn<Protection>("form");
        QTest::newRow("strong") << Protection::Encrypted;
        QTest::newRow("compatible") << Protection::Compatible;
    }
    void lockedMemoryHoldsNoHiddenWord()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("The address sanitizer keeps freed blocks aside as they were, to catch late uses.");
#endif
        QFETCH(Protection, form);
        QTemporaryDir dir;
        // Lower case, so that a case-folded copy would be found too.
        const auto word = [] {
            QByteArray w;
            for (int i = 0; i < 14; ++i)
                w += char('a' + QRandomGenerator::global()->bounded(26));
            return w;
        };
        const QByteArray title = word();
        const QByteArray text = word();
        const QString path = makeDocument(dir.filePath(QStringLiteral("notes.tqb")), form, title, "first line " + text + " last");
        QVERIFY(!path.isEmpty());
        const auto masked = [](QByteArray w) {
            for (char &c : w)
                c = char(c ^ kMask);
            return QString::fromLatin1(w.toHex());
        };
        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--locked-child"), path, dir.filePath(QStringLiteral("app.ini")), masked(title), masked(text)});
        QVERIFY(child.waitForFinished(180000));
        const QByteArray output = child.readAll();
        QVERIFY2(output.contains("scanned"), output.constData());
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
    }
};

int main(int argc, char **argv)
{
    if (argc == 6 && std::strcmp(argv[1], "--locked-child") == 0)
        return lockedChild(argc, argv);
    QApplication app(argc, argv);
    TestLock test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_lock.moc"
