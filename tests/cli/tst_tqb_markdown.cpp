// tqb export-md, import-md, export-html and export-opml as processes: a
// document and back, a folder kept by another note program, and the ways a
// target can refuse (not empty, read-only, full).

#include "TestPaths.h"
#include "TqbProcess.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QThread>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <gumbo.h>

#include <memory>

#include <cstring>
#include <fcntl.h>
#include <sys/xattr.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace tqbtest;

// A tree with what a file name cannot hold: the same title twice, unsafe
// characters, markup, an empty title, icons and a reminder.
QJsonArray sampleItems()
{
    return {item(1, "Projects", "Plans.\r\nSee https://example.org/a?b=1&c=2 (today)."),
            item(2, "a/b <script>alert(1)</script>", "", {5, 6, 7, 8, 9}, 0, 0,
                 {1700000000, 3600, 86400, 1699990000, 1700001000}, 2),
            item(2, "a/b <script>alert(1)</script>", "second\r\n\r\nmailto:ann@example.org"),
            item(4, "deeper", "x"),
            item(1, "", "---\r\nnot: ours\r\n---\r\nbody"),
            item(1, "CON", "c")};
}

// A text's characters as a tree: depth and title of every outline/details.
QStringList gumboOutline(const GumboNode *node, int depth)
{
    QStringList out;
    if (node->type != GUMBO_NODE_ELEMENT)
        return out;
    const GumboVector &kids = node->v.element.children;
    for (unsigned i = 0; i < kids.length; ++i) {
        const auto *child = static_cast<const GumboNode *>(kids.data[i]);
        if (child->type != GUMBO_NODE_ELEMENT)
            continue;
        if (child->v.element.tag == GUMBO_TAG_DETAILS) {
            QString line = QString(depth * 2, u' ');
            line += gumbo_get_attribute(&child->v.element.attributes, "open") ? QStringLiteral("+") : QStringLiteral("-");
            const GumboVector &parts = child->v.element.children;
            for (unsigned p = 0; p < parts.length; ++p) {
                const auto *part = static_cast<const GumboNode *>(parts.data[p]);
                if (part->type != GUMBO_NODE_ELEMENT)
                    continue;
                // The text the reader sees, links included.
                QString seen;
                std::vector<const GumboNode *> stack{part};
                while (!stack.empty()) {
                    const GumboNode *n = stack.back();
                    stack.pop_back();
                    if (n->type == GUMBO_NODE_TEXT || n->type == GUMBO_NODE_WHITESPACE)
                        seen += QString::fromUtf8(n->v.text.text);
                    else if (n->type == GUMBO_NODE_ELEMENT) {
                        if (n->v.element.tag == GUMBO_TAG_A)
                            seen += QStringLiteral("[link %1 rel=%2]").arg(
                                QString::fromUtf8(gumbo_get_attribute(&n->v.element.attributes, "href")->value),
                                QString::fromUtf8(gumbo_get_attribute(&n->v.element.attributes, "rel")->value));
                        for (unsigned k = n->v.element.children.length; k > 0; --k)
                            stack.push_back(static_cast<const GumboNode *>(n->v.element.children.data[k - 1]));
                    }
                }
                if (part->v.element.tag == GUMBO_TAG_SUMMARY)
                    line += QLatin1Char('[') + seen + QLatin1Char(']');
                else if (part->v.element.tag == GUMBO_TAG_PRE)
                    line += QLatin1Char(' ') + seen;
            }
            out << line;
            out << gumboOutline(child, depth + 1);
        } else {
            out << gumboOutline(child, depth);
        }
    }
    return out;
}

}  // namespace

class TstTqbMarkdown : public QObject, private tqbtest::CTqbFixture
{
    Q_OBJECT

private:
    QStringList entriesBelow(const QString &folder) const
    {
        QStringList out;
        QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            out << QDir(folder).relativeFilePath(it.next());
        out.sort();
        return out;
    }

    // What an export of a.tqb into a new folder holds.
    QStringList entriesBelowExport() const
    {
        tqb({QStringLiteral("export-md"), QStringLiteral("a.tqb"), QStringLiteral("plain")});
        return entriesBelow(path(QStringLiteral("plain")));
    }

    // A small file system of its own at `where`; false where it cannot be mounted.
    static bool mountTmpfs(const QString &where, const QString &options)
    {
        return QDir().mkpath(where)
            && QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                           options, QStringLiteral("tmpfs"), where})
            == 0;
    }
    static void unmount(const QString &where) { QProcess::execute(QStringLiteral("umount"), {where}); }

    // `levels` folders "ab", each in the one before, below `top`: deeper than
    // a path can name, so made a level at a time.
    static bool makeChain(const QString &top, int levels)
    {
        int fd = ::open(QFile::encodeName(top).constData(), O_RDONLY | O_DIRECTORY);
        for (int i = 0; i < levels && fd >= 0; ++i) {
            const int next = ::mkdirat(fd, "ab", 0755) == 0 ? ::openat(fd, "ab", O_RDONLY | O_DIRECTORY) : -1;
            ::close(fd);
            fd = next;
        }
        return fd >= 0 && ::close(fd) == 0;
    }

private slots:
    void init() { QVERIFY(newFolder()); }

    // Export, then import into a new document: below the import's folder the
    // same items, texts, icons and reminders; --under puts it below an item.
    void exportAndImportGiveTheSameTree()
    {
        QCOMPARE(fromJson(documentJson(QJsonValue::Null, sampleItems()), QStringLiteral("a.tqb")), 0);
        CRun run = tqb({QStringLiteral("export-md"), QStringLiteral("a.tqb"), QStringLiteral("out")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(entriesBelow(path(QStringLiteral("out"))),
                 (QStringList{"CON_.md", "Projects", "Projects.md", "Projects/a_b _script_alert(1)__script_ (2)",
                              "Projects/a_b _script_alert(1)__script_ (2).md",
                              "Projects/a_b _script_alert(1)__script_ (2)/deeper.md",
                              "Projects/a_b _script_alert(1)__script_.md", "Untitled.md"}));
        QFile untitled(path(QStringLiteral("out/Untitled.md")));
        QVERIFY(untitled.open(QIODevice::ReadOnly));
        // The note's own front matter shares the one block.
        QCOMPARE(untitled.readAll(), QByteArray("---\ntitle: \"\"\norder: 2\n# the note's own keys follow\nnot: ours\n---\nbody"));

        run = tqb({QStringLiteral("import-md"), QStringLiteral("b.tqb"), QStringLiteral("out")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QString());
        QJsonArray got = items(QStringLiteral("b.tqb"));
        QCOMPARE(got.first().toObject().value(QStringLiteral("title")).toString(), QStringLiteral("out"));
        got.removeFirst();
        QJsonArray expected = sampleItems();
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QJsonObject o = expected[i].toObject();
            o[QStringLiteral("parent")] = o[QStringLiteral("parent")].toInt() + 1;  // below the folder
            expected[i] = o;
        }
        QCOMPARE(got, expected);

        run = tqb({QStringLiteral("import-md"), QStringLiteral("b.tqb"), QStringLiteral("out"), QStringLiteral("--under"),
                   QStringLiteral("4")});
        QCOMPARE(run.exitCode, 0);
        const QJsonArray twice = items(QStringLiteral("b.tqb"));
        QCOMPARE(twice.size(), 14);
        QCOMPARE(twice[5].toObject().value(QStringLiteral("title")).toString(), QStringLiteral("out"));
        QCOMPARE(twice[5].toObject().value(QStringLiteral("parent")).toInt(), 4 + 2);
    }

    // A folder as another Markdown program keeps it: nested folders, front
    // matter with keys of its own, its settings folder, a trash, pictures.
    void folderOfAnotherNoteProgram()
    {
        const CRun run = tqb({QStringLiteral("import-md"), QStringLiteral("v.tqb"),
                              testpaths::data(QStringLiteral("markdown-vault"))});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QStringLiteral("tqb: Skipped: 2 hidden file(s) or folder(s), 3 file(s) other than .md.\n"));
        QStringList tree;
        QHash<QString, QString> texts;
        for (const QJsonValue &v : items(QStringLiteral("v.tqb"))) {
            const QJsonObject o = v.toObject();
            tree << QStringLiteral("%1:%2").arg(o.value(QStringLiteral("parent")).toInt()).arg(o.value(QStringLiteral("title")).toString());
            texts.insert(o.value(QStringLiteral("title")).toString(), o.value(QStringLiteral("text")).toString());
        }
        QCOMPARE(tree, (QStringList{"1:markdown-vault", "2:attachments", "2:Daily", "4:2024-01-2", "4:2024-01-9",
                                    "4:2024-01-10", "2:Projects", "8:Garden", "9:Garden plan", "9:Seeds", "8:Tools",
                                    "2:Welcome to my notes"}));
        QCOMPARE(texts.value(QStringLiteral("Welcome to my notes")),
                 QStringLiteral("---\r\naliases: [Start, Home]\r\ntags:\r\n  - inbox\r\n  - meta\r\ncreated: 2024-01-02T09:30\r\n"
                                "---\r\n# Welcome\r\n\r\nSee [[Projects]] and ![[attachments/diagram.svg]].\r\n"));
        QCOMPARE(texts.value(QStringLiteral("Projects")), QStringLiteral("---\r\ntags: project\r\n---\r\nAll projects live here.\r\n"));
        QCOMPARE(texts.value(QStringLiteral("Seeds")), QStringLiteral("Seeds to order:\r\n\u00B7 Bohnen \u2013 \u20AC4\r\n"));
    }

    // Links that lead back up or to a folder walked already: each real
    // folder once, and the import ends.
    void linkedFoldersAreWalkedOnce()
    {
        QDir(path(QStringLiteral("md"))).mkpath(QStringLiteral("A/B"));
        QVERIFY(QFile::link(path(QStringLiteral("md")), path(QStringLiteral("md/A/B/up"))));
        QVERIFY(QFile::link(path(QStringLiteral("md/A")), path(QStringLiteral("md/C"))));
        const CRun run = tqb({QStringLiteral("import-md"), QStringLiteral("l.tqb"), QStringLiteral("md")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QStringLiteral("tqb: Skipped: 2 link(s) to a folder imported already.\n"));
        QCOMPARE(items(QStringLiteral("l.tqb")).size(), 3);  // md, A, B
    }

    // A note's own front matter: one block where the keys do not clash, and
    // the note's text back byte for byte after the import.
    void ownFrontMatterComesBack_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("oneBlock");
        QTest::addRow("keys of its own") << "---\r\ntags: [a, b]\r\n\r\nx: \"# the note's\"\r\n---\r\nBody\r\n" << true;
        QTest::addRow("closed by dots") << "---\r\naliases: x\r\n...\r\n---\r\n" << true;
        QTest::addRow("a title, ours not written") << "---\r\ntitle: Other\r\n---\r\nBody" << true;
        QTest::addRow("a key ours has too") << "---\r\norder: 3\r\n---\r\nBody" << false;
        QTest::addRow("never closed") << "---\r\nnot: a block" << false;
    }
    void ownFrontMatterComesBack()
    {
        QFETCH(QString, text);
        QFETCH(bool, oneBlock);
        QCOMPARE(fromJson(documentJson(QJsonValue::Null, {item(1, "Note", text)}), QStringLiteral("a.tqb")), 0);
        QCOMPARE(tqb({QStringLiteral("export-md"), QStringLiteral("a.tqb"), QStringLiteral("out")}).exitCode, 0);
        const QByteArray file = readFile(QStringLiteral("out/Note.md"));
        QVERIFY(file.startsWith("---\norder: 1\n"));
        QCOMPARE(file.startsWith("---\norder: 1\n# the note's own keys follow\n" + text.mid(5).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8()),
                 oneBlock);
        QCOMPARE(tqb({QStringLiteral("import-md"), QStringLiteral("b.tqb"), QStringLiteral("out")}).exitCode, 0);
        const QJsonArray back = items(QStringLiteral("b.tqb"));
        QCOMPARE(back.size(), 2);
        QCOMPARE(back[1].toObject().value(QStringLiteral("title")).toString(), QStringLiteral("Note"));
        QCOMPARE(back[1].toObject().value(QStringLiteral("text")).toString().toUtf8(), text.toUtf8());
    }

    // Titles of the front matter: an escaped NUL does not enter one, and a
    // U+FEFF the code page cannot hold is told as any other character.
    void escapedTitleCharacters()
    {
        QVERIFY(QDir().mkpath(path(QStringLiteral("v"))));
        QVERIFY(writeFile(QStringLiteral("v/n.md"), "---\ntitle: \"a\\uFEFFb\"\n---\n"));
        QVERIFY(writeFile(QStringLiteral("v/z.md"), "---\ntitle: \"x\\0y\\x00\"\n---\n"));
        const CRun run = tqb({QStringLiteral("import-md"), QStringLiteral("t.tqb"), QStringLiteral("v"), QStringLiteral("--codepage"),
                              QStringLiteral("windows-1252")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QStringLiteral("tqb: %1: 1 character(s) that the code page windows-1252 cannot hold were imported as \"?\".\n")
                              .arg(path(QStringLiteral("v/n.md"))));
        QCOMPARE(titles(QStringLiteral("t.tqb")), (QStringList{"v", "a?b", "xy"}));
    }

    // A title is one line: escaped line breaks in front matter become spaces.
    // Several files with characters the page cannot hold are counted.
    void importedTitlesAreOneLineAndLossesCounted()
    {
        QVERIFY(QDir().mkpath(path("v")));
        QVERIFY(writeFile("v/1.md", "---\ntitle: \"nl\\nx\\ry\\r\\nz\"\n---\n\xe4\xb8\xad"));
        QVERIFY(writeFile("v/2.md", "\xe4\xb8\xad"));
        const CRun run = tqb({"import-md", "t.tqb", "v", "--codepage", "windows-1252"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QStringLiteral("tqb: %1 and 1 other file(s): 2 character(s) that the code page windows-1252 "
                                         "cannot hold were imported as \"?\".\n").arg(path("v/1.md")));
        QCOMPARE(titles("t.tqb"), (QStringList{"v", "nl x y z", "2"}));
    }

    // A link to a folder inside is the one skipped, never the folder, in
    // whatever order the names come; a way into a hidden entry is hidden.
    void theFolderIsKeptAndLinksIntoHiddenEntriesSkipped()
    {
        QVERIFY(QDir().mkpath(path("t/sub")) && QDir().mkpath(path("t/.hid")));
        QVERIFY(writeFile("t/sub/b.md", "b") && writeFile("t/.hid/h.md", "h"));
        QVERIFY(QFile::link("sub", path("t/alink")) && QFile::link(".hid", path("t/vis")));
        QVERIFY(QFile::link(".hid/h.md", path("t/vh.md")));
        const CRun run = tqb({"import-md", "l.tqb", "t"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QStringLiteral("tqb: Skipped: 3 hidden file(s) or folder(s), 1 link(s) to a folder imported already.\n"));
        QCOMPARE(titles("l.tqb"), (QStringList{"t", "sub", "b"}));
    }

    // Links are followed only inside the folder imported: a file or "/"
    // outside is skipped and counted; what is not a file or a folder is told
    // as what it is, and a named pipe does not block the import.
    void linksLeadingOutsideAreSkipped()
    {
        QVERIFY(QDir().mkpath(path(QStringLiteral("v/sub"))));
        QVERIFY(writeFile(QStringLiteral("v/a.md"), "inside"));
        QVERIFY(writeFile(QStringLiteral("secret.md"), "secret words"));
        QVERIFY(QFile::link(path(QStringLiteral("secret.md")), path(QStringLiteral("v/passwd.md"))));
        QVERIFY(QFile::link(QStringLiteral("/"), path(QStringLiteral("v/root"))));
        QVERIFY(QFile::link(QStringLiteral("../a.md"), path(QStringLiteral("v/sub/inside.md"))));
        QVERIFY(QFile::link(QStringLiteral("nowhere.md"), path(QStringLiteral("v/broken.md"))));
        QVERIFY(QFile::link(QStringLiteral("loop2"), path(QStringLiteral("v/loop1"))));
        QVERIFY(QFile::link(QStringLiteral("loop1"), path(QStringLiteral("v/loop2"))));
        QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {path(QStringLiteral("v/pipe.md"))}), 0);
        const CRun run = tqb({QStringLiteral("import-md"), QStringLiteral("l.tqb"), QStringLiteral("v")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QStringLiteral("tqb: Skipped: 2 link(s) leading outside the folder, 1 broken link(s), 2 link loop(s), "
                                         "1 named pipe(s), socket(s) or device(s).\n"));
        QCOMPARE(rows(QStringLiteral("l.tqb"), {QStringLiteral("title"), QStringLiteral("text")}).mid(1),
                 (QStringList{"a|inside", "sub|", "inside|inside"}));
        // The folder itself given as a link: its target is the folder imported.
        QVERIFY(QFile::link(path(QStringLiteral("v")), path(QStringLiteral("lv"))));
        QCOMPARE(tqb({QStringLiteral("import-md"), QStringLiteral("k.tqb"), QStringLiteral("lv")}).exitCode, 0);
        QCOMPARE(titles(QStringLiteral("k.tqb")), (QStringList{"lv", "a", "sub", "inside"}));
    }

    // A folder deeper than a path may be: nothing saved, and the message
    // says why, in a line of its own size.
    void importOfATooDeepFolderFails()
    {
        QVERIFY(QDir().mkpath(path(QStringLiteral("deep"))));
        QVERIFY(makeChain(path(QStringLiteral("deep")), 2100));
        const auto cleanup = qScopeGuard([&] { QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), path(QStringLiteral("deep"))}); });
        const CRun run = tqb({QStringLiteral("import-md"), QStringLiteral("d.tqb"), QStringLiteral("deep")});
        QCOMPARE(run.exitCode, 1);
        const QStringList lines = run.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].startsWith(QStringLiteral("tqb: Nothing was imported: 1 file(s) or folder(s) could not be read. "))
                     && lines[0].endsWith(QStringLiteral("/ab/ab/ab: the path is too long.")) && lines[0].size() < 400,
                 qPrintable(lines[0]));
        QVERIFY(!QFile::exists(path(QStringLiteral("d.tqb"))));
    }

    // A target that is not empty, or a file: refused, left as it was.
    void exportNeedsAnEmptyFolder()
    {
        QCOMPARE(fromJson(documentJson(QJsonValue::Null, sampleItems()), QStringLiteral("a.tqb")), 0);
        QDir().mkpath(path(QStringLiteral("full")));
        QFile mine(path(QStringLiteral("full/mine.txt")));
        QVERIFY(mine.open(QIODevice::WriteOnly) && mine.write("mine") == 4);
        mine.close();
        CRun run = tqb({QStringLiteral("export-md"), QStringLiteral("a.tqb"), QStringLiteral("full")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, QStringLiteral("tqb: %1 is not empty. A Markdown folder is written only into an empty folder or a new one.\n")
                              .arg(path(QStringLiteral("full"))));
        QCOMPARE(entriesBelow(path(QStringLiteral("full"))), QStringList{"mine.txt"});
        run = tqb({QStringLiteral("export-md"), QStringLiteral("a.tqb"), QStringLiteral("full/mine.txt")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains(QStringLiteral("is a file, not a folder.")));
        // An HTML file is not written over a folder.
        run = tqb({QStringLiteral("export-html"), QStringLiteral("a.tqb"), QStringLiteral("full")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, QStringLiteral("tqb: %1 is a folder, not a file.\n").arg(path(QStringLiteral("full"))));
        QCOMPARE(entriesBelow(path(QStringLiteral("full"))), QStringList{"mine.txt"});
        // An empty folder takes the export.
        QDir().mkpath(path(QStringLiteral("empty")));
        QCOMPARE(tqb({QStringLiteral("export-md"), QStringLiteral("a.tqb"), QStringLiteral("empty")}).exitCode, 0);
        QVERIFY(QFile::exists(path(QStringLiteral("empty/CON_.md"))));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Hidden | QDir::AllEntries | QDir::NoDotAndDotDot).filter(QStringLiteral(".tqb-")),
                 QStringList());
    }

    // An export killed while it builds leaves its hidden folder of plain
    // notes; the next export into that place removes it, and leaves alone a
    // folder of that name that is not known to be an export's.
    void killedExportIsClearedByTheNext()
    {
        QJsonArray tree;
        for (int i = 0; i < 1000; ++i)
            tree.append(item(1, QStringLiteral("note %1").arg(i), QStringLiteral("secret words ").repeated(1000)));
        QCOMPARE(fromJson(documentJson(QJsonValue::Null, tree), QStringLiteral("a.tqb")), 0);
        QVERIFY(QDir().mkpath(path(QStringLiteral(".out.tqb-0badf00d"))));  // not ours: no mark
        const auto hidden = [this] {
            return QDir(m_dir->path()).entryList({QStringLiteral(".out.tqb-*")}, QDir::AllEntries | QDir::Hidden);
        };
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TQB_SETTINGS_FILE"), settingsFile());
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(m_dir->path());
        process.start(testpaths::tqb(), {QStringLiteral("export-md"), QStringLiteral("a.tqb"), QStringLiteral("out")});
        QVERIFY(process.waitForStarted());
        QElapsedTimer waited;
        waited.start();
        while (hidden().size() < 3 && !waited.hasExpired(20000))  // its folder and its mark beside the other
            QThread::msleep(2);
        process.kill();
        QVERIFY(process.waitForFinished());
        QCOMPARE(hidden().size(), 3);
        QCOMPARE(tqb({QStringLiteral("export-md"), QStringLiteral("a.tqb"), QStringLiteral("out")}).exitCode, 0);
        QCOMPARE(hidden(), QStringList{".out.tqb-0badf00d"});
        QCOMPARE(QDir(path(QStringLiteral("out"))).count(), uint(1000 + 2));
    }

    // An export of a protected document that fails midway, its build folder
    // moved away meanwhile: the plain notes go wherever the folder went.
    void aFailedExportRemovesItsBuildFolderWhereverItWent()
    {
        QCOMPARE(fromJson(documentJson(QJsonValue::Null, {item(1, "n1", "secret"), item(1, "n2", "secret")}), "p.tqb", "pw"), 0);
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TQB_SETTINGS_FILE"), settingsFile());
        env.insert(QStringLiteral("TQB_TEST_EXPORT_PAUSE"), path("paused"));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(m_dir->path());
        process.start(testpaths::tqb(), {"export-md", "p.tqb", "out", "--password-stdin"});
        process.write("pw\n");
        process.closeWriteChannel();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path("paused")), 20000);
        const QStringList built = QDir(m_dir->path()).entryList({".out.tqb-*"}, QDir::Dirs | QDir::Hidden);
        QCOMPARE(built.size(), 1);
        QVERIFY(QDir().mkdir(path("elsewhere")) && QDir().rename(path(built[0]), path("elsewhere/moved")));
        QVERIFY(QFile::remove(path("paused")));
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 1);
        QCOMPARE(QDir(path("elsewhere")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
        QVERIFY(!QFile::exists(path("out")));
    }

    // A protected document's notes in plain are its owner's alone, whatever
    // the document's mode or that of the file an export replaces.
    void exportsOfAProtectedDocumentAreTheOwnersAlone()
    {
        QCOMPARE(fromJson(documentJson(QJsonValue::Null, {item(1, "n", "secret"), item(2, "m", "s")}), "p.tqb", "pw"), 0);
        QVERIFY(writeFile("out-export-text", "an earlier export"));
        for (const char *name : {"p.tqb", "out-export-text"})
            QVERIFY(::chmod(QFile::encodeName(path(name)).constData(), 0644) == 0);
        for (const char *command : {"export-md", "export-html", "export-opml", "export-text"})
            QCOMPARE(tqb({command, "p.tqb", QStringLiteral("out-%1").arg(QLatin1String(command)), "--password-stdin"}, "pw\n").exitCode, 0);
        QDirIterator it(m_dir->path(), QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        int files = 0;
        for (struct stat info; it.hasNext();) {
            const QString name = it.next();
            if (!QDir(m_dir->path()).relativeFilePath(name).startsWith(QLatin1String("out-")))
                continue;
            ++files;
            QVERIFY(::stat(QFile::encodeName(name).constData(), &info) == 0);
            QVERIFY2((info.st_mode & 077) == 0, qPrintable(QStringLiteral("%1 %2").arg(name).arg(info.st_mode & 0777, 0, 8)));
        }
        QCOMPARE(files, 4 + 3);  // the folder with n.md, n/ and n/m.md
    }

    // A tree deeper than a path may be: refused before anything is written
    // (no folder made on the way), with a message that names the note.
    void tooDeepTreeIsRefusedWhole_data()
    {
        QTest::addColumn<int>("levels");
        QTest::addColumn<int>("titleLength");
        QTest::addRow("3000-level chain") << 3000 << 1;
        QTest::addRow("40 levels of long titles") << 40 << 120;
    }
    void tooDeepTreeIsRefusedWhole()
    {
        QFETCH(int, levels);
        QFETCH(int, titleLength);
        QJsonArray tree;
        for (int i = 0; i < levels; ++i)
            tree.append(item(i + 1, QString(titleLength, QLatin1Char('a' + i % 26)), QString()));
        QCOMPARE(fromJson(documentJson(QJsonValue::Null, tree), QStringLiteral("a.tqb")), 0);
        const CRun run = tqb({QStringLiteral("export-md"), QStringLiteral("a.tqb"), QStringLiteral("new/out")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.startsWith(QStringLiteral("tqb: The file of the note \"")) && run.err.size() < 300
                     && run.err.endsWith(QStringLiteral("\" would lie deeper than the 4095 bytes a path may have. Nothing was exported.\n")),
                 qPrintable(run.err));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("new"))));
    }

    // An empty folder that is a mount point takes the export: nothing can
    // be renamed over it.
    void exportIntoAnEmptyMountPoint()
    {
        QCOMPARE(fromJson(documentJson(QJsonValue::Null, sampleItems()), QStringLiteral("a.tqb")), 0);
        const QString mount = path(QStringLiteral("mnt"));
        if (!mountTmpfs(mount, QStringLiteral("size=1m")))
            QSKIP("no tmpfs can be mounted here (needs root)");
        const auto cleanup = qScopeGuard([&] { unmount(mount); });
        const CRun run = tqb({QStringLiteral("export-md"), QStringLiteral("a.tqb"), mount});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(entriesBelow(mount), entriesBelowExport());
    }

    // A document whose access list gives its owning group nothing: no export
    // opens to that group, though the mode's group bits (the list's mask,
    // for a user it names) say read.
    void exportsOfADocumentWithAnAccessListStayClosed()
    {
        QCOMPARE(fromJson(documentJson(QJsonValue::Null, sampleItems()), QStringLiteral("a.tqb")), 0);
        const QByteArray doc = QFile::encodeName(path(QStringLiteral("a.tqb")));
        // Owner rw, user 65534 r, owning group none, mask r, others none.
        const auto entry = [](quint16 tag, quint16 permissions, quint32 id) {
            QByteArray e(8, 0);
            std::memcpy(e.data(), &tag, 2);
            std::memcpy(e.data() + 2, &permissions, 2);
            std::memcpy(e.data() + 4, &id, 4);
            return e;
        };
        const QByteArray list = QByteArray::fromHex("02000000") + entry(0x01, 6, 0xFFFFFFFF) + entry(0x02, 4, 65534)
            + entry(0x04, 0, 0xFFFFFFFF) + entry(0x10, 4, 0xFFFFFFFF) + entry(0x20, 0, 0xFFFFFFFF);
        if (::setxattr(doc.constData(), "system.posix_acl_access", list.constData(), size_t(list.size()), 0) != 0)
            QSKIP("this file system keeps no access lists");
        struct stat info;
        QVERIFY(::stat(doc.constData(), &info) == 0);
        QCOMPARE(int(info.st_mode & 077), 040);
        for (const char *command : {"export-md", "export-html", "export-opml", "export-text"})
            QCOMPARE(tqb({QString::fromLatin1(command), QStringLiteral("a.tqb"), QStringLiteral("out-%1").arg(QLatin1String(command))}).exitCode, 0);
        QDirIterator it(m_dir->path(), QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        int files = 0;
        while (it.hasNext()) {
            const QString name = it.next();
            if (!QDir(m_dir->path()).relativeFilePath(name).startsWith(QLatin1String("out-")))
                continue;
            QVERIFY(::stat(QFile::encodeName(name).constData(), &info) == 0);
            QVERIFY2((info.st_mode & 077) == 0, qPrintable(QStringLiteral("%1 %2").arg(name).arg(info.st_mode & 0777, 0, 8)));
            ++files;
        }
        QVERIFY(files > 4);
    }

    // Read-only and full file systems: the right message, exit 1, and
    // nothing left that looks complete (an older HTML file stays whole).
    void targetsThatRefuse_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("message");
        const QString readOnly = QStringLiteral("Unable to write to %1, it is read-only or opened by someone else.");
        const QString full = QStringLiteral("Destination disk drive is full. %1 was not written.");
        for (const char *command : {"export-md", "export-html", "export-opml"}) {
            QTest::addRow("%s read-only", command) << command << "ro,size=1m" << readOnly;
            QTest::addRow("%s full", command) << command << "size=32k" << full;
        }
    }
    void targetsThatRefuse()
    {
        QFETCH(QString, command);
        QFETCH(QString, options);
        QFETCH(QString, message);
        QJsonArray tree = sampleItems();
        for (int i = 0; i < 40; ++i)
            tree.append(item(1, QStringLiteral("filler %1").arg(i), QString(2000, QLatin1Char('x'))));
        QCOMPARE(fromJson(documentJson(QJsonValue::Null, tree), QStringLiteral("a.tqb")), 0);
        const QString mount = path(QStringLiteral("mnt"));
        if (!mountTmpfs(mount, options))
            QSKIP("no tmpfs can be mounted here (needs root)");
        const auto cleanup = qScopeGuard([&] { unmount(mount); });
        // An earlier export of the same name, where the file system takes one.
        const QString target = mount + (command == QLatin1String("export-md") ? QStringLiteral("/md") : QStringLiteral("/old.out"));
        if (!options.startsWith(QLatin1String("ro"))) {
            QFile old(target);
            QVERIFY(command == QLatin1String("export-md") || (old.open(QIODevice::WriteOnly) && old.write("old") == 3));
        }
        const QStringList before = entriesBelow(mount);
        const CRun run = tqb({command, QStringLiteral("a.tqb"), target});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, QStringLiteral("tqb: ") + (message.contains(QLatin1String("%1")) ? message.arg(target) : message)
                              + QLatin1Char('\n'));
        QCOMPARE(entriesBelow(mount), before);
        if (QFile::exists(target) && command != QLatin1String("export-md")) {
            QFile old(target);
            QVERIFY(old.open(QIODevice::ReadOnly));
            QCOMPARE(old.readAll(), QByteArray("old"));
        }
    }

    // The page as a browser's parser reads it: nested <details>, the first
    // level open, markup in titles shown as text, addresses made links.
    void htmlReadsAsTheTree()
    {
        QJsonArray tree = sampleItems();
        tree.append(item(1, QStringLiteral("bell\u0007"), QStringLiteral("nul\u0001 esc\u001B")));
        QCOMPARE(fromJson(documentJson(QJsonValue::Null, tree), QStringLiteral("a.tqb")), 0);
        QCOMPARE(tqb({QStringLiteral("export-html"), QStringLiteral("a.tqb"), QStringLiteral("a.html")}).exitCode, 0);
        QFile file(path(QStringLiteral("a.html")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray page = file.readAll();
        QVERIFY(!page.contains("<script"));
        // HTML allows no control characters in text: they show as U+FFFD.
        const QString text = QString::fromUtf8(page);
        QVERIFY(std::none_of(text.cbegin(), text.cend(), [](QChar c) {
            return (c.unicode() < 0x20 && c != u'\n' && c != u'\t' && c != u'\r') || (c.unicode() >= 0x7F && c.unicode() <= 0x9F);
        }));
        QVERIFY(page.contains("prefers-color-scheme:dark"));
        GumboOutput *output = gumbo_parse_with_options(&kGumboDefaultOptions, page.constData(), size_t(page.size()));
        const QStringList outline = gumboOutline(output->root, 0);
        gumbo_destroy_output(&kGumboDefaultOptions, output);
        QCOMPARE(outline,
                 (QStringList{"+[Projects] Plans.\nSee [link https://example.org/a?b=1&c=2 rel=noopener noreferrer]"
                              "https://example.org/a?b=1&c=2 (today).",
                              "  -[a/b <script>alert(1)</script>]",
                              "  -[a/b <script>alert(1)</script>] second\n\n[link mailto:ann@example.org rel=noopener "
                              "noreferrer]mailto:ann@example.org",
                              "    -[deeper] x", "+[] ---\nnot: ours\n---\nbody", "+[CON] c",
                              "+[bell\uFFFD] nul\uFFFD esc\uFFFD"}));
    }

    // Well-formed OPML for any title: control characters left out and said so.
    void opmlIsWellFormed()
    {
        QJsonArray tree = sampleItems();
        tree.append(item(1, QStringLiteral("bell\u0007 & \"quotes\""), QStringLiteral("tab\there\r\nline")));
        QCOMPARE(fromJson(documentJson(QJsonValue::Null, tree), QStringLiteral("a.tqb")), 0);
        const CRun run = tqb({QStringLiteral("export-opml"), QStringLiteral("a.tqb"), QStringLiteral("a.opml")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QStringLiteral("tqb: 1 control character(s) that XML cannot hold were left out.\n"));
        QFile file(path(QStringLiteral("a.opml")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QStringList outline;
        int depth = 0;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"outline") {
                outline << QStringLiteral("%1%2|%3").arg(QString(depth * 2, u' '),
                                                         xml.attributes().value(QLatin1String("text")).toString(),
                                                         xml.attributes().value(QLatin1String("_note")).toString());
                ++depth;
            } else if (xml.isEndElement() && xml.name() == u"outline") {
                --depth;
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(outline, (QStringList{"Projects|Plans.\nSee https://example.org/a?b=1&c=2 (today).",
                                       "  a/b <script>alert(1)</script>|",
                                       "  a/b <script>alert(1)</script>|second\n\nmailto:ann@example.org",
                                       "    deeper|x", "|---\nnot: ours\n---\nbody", "CON|c",
                                       "bell & \"quotes\"|tab\there\nline"}));
    }
};

QTEST_GUILESS_MAIN(TstTqbMarkdown)
#include "tst_tqb_markdown.moc"
