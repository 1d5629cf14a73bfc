// Markdown folders: the name rules, the front matter, and whole documents
// exported and imported again through the real importer and infotree.

#include "DocFixture.h"
#include "export/ExportTree.h"
#include "export/Exporter.h"
#include "export/MarkdownExport.h"
#include "export/MarkdownFormat.h"
#include "export/OutlineExport.h"
#include "import/ImportFile.h"
#include "import/Importer.h"
#include "import/MarkdownImport.h"
#include "text/CodePage.h"
#include "tree/InfoTree.h"

#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>

using namespace markdown;

namespace {

// One item as the user sees it: depth, title, text, icons and reminder.
QStringList treeOf(const CItemTables &t, int skipDepth = -1)
{
    QStringList out;
    const CExportTree tree(t);
    for (const CExportTree::Node &n : tree.nodes()) {
        if (n.depth <= skipDepth)
            continue;
        const CNoteInfo &i = t.info(n.item);
        out << QStringLiteral("%1|%2|%3|%4,%5,%6,%7,%8|%9|%10,%11,%12,%13,%14|%15|%16")
                   .arg(n.depth - skipDepth - 1)
                   .arg(QString::fromLatin1(t.title(n.item).toHex()), QString::fromLatin1(t.text(n.item).toHex()))
                   .arg(i.m_nIcons[0]).arg(i.m_nIcons[1]).arg(i.m_nIcons[2]).arg(i.m_nIcons[3]).arg(i.m_nIcons[4])
                   .arg(i.m_nRemind)
                   .arg(i.m_times[0]).arg(i.m_times[1]).arg(i.m_times[2]).arg(i.m_times[3]).arg(i.m_times[4])
                   .arg(i.m_nKind)
                   .arg(i.m_nSort);
    }
    return out;
}

// A windows-1252 character the page defines.
char definedByte(QRandomGenerator &r)
{
    for (;;) {
        const int b = 0x20 + int(r.bounded(0xE0));
        if (b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D && b != 0x7F)
            return char(b);
    }
}

QByteArray randomTitle(QRandomGenerator &r)
{
    static const QByteArray kPool[] = {"", "Note", "note", "NOTE.", "CON", "aux.txt", ".hidden", "..", "Note (2)",
                                       "a/b\\c:d*e?f\"g<h>i|j", "tab\there", " lead and trail ", "A.md"};
    switch (r.bounded(4)) {
    case 0:
        return kPool[r.bounded(int(std::size(kPool)))];
    case 1: {  // very long, with two-byte characters at the cut
        QByteArray t;
        for (int i = 0, n = 100 + int(r.bounded(200)); i < n; ++i)
            t += r.bounded(3) == 0 ? '\xE9' : char('a' + r.bounded(26));
        return t;
    }
    default: {
        QByteArray t;
        for (int i = 0, n = int(r.bounded(12)); i < n; ++i)
            t += r.bounded(20) == 0 ? char(1 + r.bounded(31)) : definedByte(r);
        return t;
    }
    }
}

QByteArray randomText(QRandomGenerator &r)
{
    QByteArray t = r.bounded(5) == 0 ? QByteArray("---\r\nnot: ours\r\n---\r\n") : QByteArray();
    for (int i = 0, n = int(r.bounded(200)); i < n; ++i)
        t += r.bounded(15) == 0 ? QByteArray("\r\n") : QByteArray(1, definedByte(r));
    return t;
}

// Random nesting in pre-order, icons and reminders, the document's own default icons.
void fillRandom(CItemTables &t, QRandomGenerator &r)
{
    t.setDefaultIcons({int(r.bounded(60)), 1, 2, 3, int(r.bounded(60))});
    std::vector<int> lastAt;
    for (int i = 0, n = int(r.bounded(40)); i < n; ++i) {
        const int depth = lastAt.empty() ? 0 : int(r.bounded(int(std::min<size_t>(lastAt.size(), 6)) + 1));
        lastAt.resize(size_t(depth));
        CNoteInfo info;
        info.m_nIcons = r.bounded(2) ? t.defaultIcons() : std::array<qint32, 5>{int(r.bounded(60)), 7, 8, 9, 10};
        if (r.bounded(4) == 0) {
            info.m_nRemind = int(r.bounded(2));
            info.m_times = {qint32(r.bounded(2000000000)), qint32(r.bounded(100000)), 86400,
                            qint32(r.bounded(2000000000)), qint32(r.bounded(2000000000))};
            info.m_nKind = int(r.bounded(5));
        }
        const int sorts[] = {0, 0, 1, 2, 7};  // 7: a value no version names
        info.m_nSort = sorts[r.bounded(5)];
        const quint32 parent = depth == 0 ? CItemTables::kRootParent : quint32(lastAt.back()) + 2;
        const int index = t.appendItem(randomTitle(r), randomText(r), parent, info);
        t.appendToOrder(quint32(index));
        lastAt.push_back(index);
    }
}

}  // namespace

class TstMarkdown : public QObject
{
    Q_OBJECT

private slots:
    void safeName_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "Shopping list" << "Shopping list";
        QTest::newRow("every unsafe character") << "a/b\\c:d*e?f\"g<h>i|j" << "a_b_c_d_e_f_g_h_i_j";
        QTest::newRow("control characters") << QStringLiteral("a\tb\nc\x7F" "d\u0085") << "a_b_c_d_";
        QTest::newRow("trailing dots and blanks") << "Notes. . " << "Notes";
        QTest::newRow("leading dot would hide it") << ".obsidian" << "_obsidian";
        QTest::newRow("only dots") << "..." << "_";
        QTest::newRow("reserved name") << "CON" << "CON_";
        QTest::newRow("reserved, any case, with extension") << "nul.txt" << "nul_.txt";
        QTest::newRow("reserved with a blank") << "com1 .md" << "com1_ .md";
        QTest::newRow("not reserved") << "CONSOLE" << "CONSOLE";
        QTest::newRow("superscript digit") << QStringLiteral("COM\u00B9") << QStringLiteral("COM\u00B9_");
        QTest::newRow("superscript digit, extension") << QStringLiteral("lpt\u00B3.txt") << QStringLiteral("lpt\u00B3_.txt");
        QTest::newRow("digit zero") << "COM0" << "COM0_";
        QTest::newRow("LPT zero") << "lpt0" << "lpt0_";
        QTest::newRow("console input") << "CONIN$" << "CONIN$_";
        QTest::newRow("console output, extension") << "conout$.log" << "conout$_.log";
        QTest::newRow("empty") << "" << "Untitled";
        QTest::newRow("blanks only") << "   " << "Untitled";
        QTest::newRow("120 bytes kept") << QString(120, u'x') << QString(120, u'x');
        QTest::newRow("cut at 120 bytes") << QString(130, u'x') << QString(120, u'x');
        QTest::newRow("cut before a two-byte character") << QString(119, u'x') + QStringLiteral("\u00E9z")
                                                         << QString(119, u'x');
        QTest::newRow("cut before a four-byte character")
            << QString(118, u'x') + QStringLiteral("\U0001F600") << QString(118, u'x');
        QTest::newRow("cut, then trailing blanks") << QString(110, u'x') + QString(20, u' ') + u'y' << QString(110, u'x');
    }
    void safeName()
    {
        QFETCH(QString, title);
        QFETCH(QString, name);
        QCOMPARE(markdown::safeName(title), name);
        QVERIFY(markdown::safeName(title).toUtf8().size() <= kNameMaxBytes);
    }

    // Siblings never share NAME.md or NAME, whatever the case, and the
    // numbered names stay within the byte limit.
    void siblingNamesAreUnique()
    {
        CNameSet set;
        QCOMPARE(set.claim(QStringLiteral("Note")), QStringLiteral("Note"));
        QCOMPARE(set.claim(QStringLiteral("note")), QStringLiteral("note (2)"));
        QCOMPARE(set.claim(QStringLiteral("Note")), QStringLiteral("Note (3)"));
        QCOMPARE(set.claim(QStringLiteral("Note (2)")), QStringLiteral("Note (2) (2)"));
        QCOMPARE(set.claim(QStringLiteral("Note.md")), QStringLiteral("Note.md (2)"));  // its folder is Note.md
        QCOMPARE(set.claim(QStringLiteral("\u00C9t\u00E9")), QStringLiteral("\u00C9t\u00E9"));
        QCOMPARE(set.claim(QStringLiteral("E\u0301te\u0301")), QStringLiteral("E\u0301te\u0301 (2)"));  // the same, decomposed
        const QString longName(120, u'\u00E9');  // 240 bytes, cut to 60 characters
        const QString first = set.claim(markdown::safeName(longName));
        const QString second = set.claim(markdown::safeName(longName));
        QCOMPARE(first, QString(60, u'\u00E9'));
        QVERIFY(second.endsWith(QLatin1String(" (2)")));
        QVERIFY(second.toUtf8().size() <= kNameMaxBytes);
    }

    void frontMatterReadsWhatItWrites()
    {
        QString every;
        for (char16_t u = 0; u < 0x3000; ++u)
            every += QChar(u);
        CFrontMatter m;
        m.title = every;
        m.order = 7;
        m.icons = std::array<qint32, 5>{59, -1, 0, 80, 2147483647};
        m.reminder = CReminderFields{1, {1700000000, 3600, 86400, -5, 2000000000}, 4};
        m.sort = 2;
        const CNote note = readNote(writeFrontMatter(m) + QStringLiteral("body\nline\r\nlast"));
        QCOMPARE(*note.matter.title, every);
        QCOMPARE(*note.matter.order, 7.0);
        QCOMPARE(*note.matter.icons, *m.icons);
        QCOMPARE(note.matter.reminder->mode, 1);
        QCOMPARE(note.matter.reminder->times, m.reminder->times);
        QCOMPARE(note.matter.reminder->next, 4);
        QCOMPARE(*note.matter.sort, 2);
        QCOMPARE(note.text, QStringLiteral("body\r\nline\r\nlast"));
    }

    void frontMatterOfOtherPrograms_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("other keys stay in the text")
            << "\xEF\xBB\xBF---\r\ntags: [a, b]\r\ntitle: 'It''s'\r\naliases:\r\n  - x\r\norder: 2.5\r\n---\r\nBody\r\n"
            << "It's" << "---\r\ntags: [a, b]\r\naliases:\r\n  - x\r\n---\r\nBody\r\n";
        QTest::newRow("no closing line: no block") << "---\ntitle: x\nBody" << "" << "---\r\ntitle: x\r\nBody";
        QTest::newRow("not at the start") << "Body\n---\ntitle: x\n---\n" << "" << "Body\r\n---\r\ntitle: x\r\n---\r\n";
        QTest::newRow("a line of ours that does not read stays")
            << "---\nicons: [1, 2]\ntitle: plain # comment\n...\nx" << "plain" << "---\r\nicons: [1, 2]\r\n---\r\nx";
        QTest::newRow("an escaped U+FEFF is a character like any")
            << "---\ntitle: \"a\\uFEFFb\\x41\\U0001F600\"\n---\n" << QStringLiteral("a\uFEFFbA\U0001F600") << "";
        QTest::newRow("reminder without a period stays")
            << "---\nreminder: {mode: till, moment: 2024-01-01T10:00:00Z}\n---\n" << ""
            << "---\r\nreminder: {mode: till, moment: 2024-01-01T10:00:00Z}\r\n---\r\n";
    }
    void frontMatterOfOtherPrograms()
    {
        QFETCH(QString, file);
        QFETCH(QString, title);
        QFETCH(QString, text);
        if (file.startsWith(QLatin1String("\xEF\xBB\xBF")))
            file = QString::fromUtf8(file.toLatin1());
        const CNote note = readNote(file);
        QCOMPARE(note.matter.title.value_or(QString()), title);
        QCOMPARE(note.text, text);
    }

    // An address in a note's text ends where the sentence or the markup
    // around it begins again.
    void addressesEndWhereTheTextAroundThemStarts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("links");
        QTest::newRow("emphasis") << "**https://a.org/x**, *https://b.org*" << QStringList{"https://a.org/x", "https://b.org"};
        QTest::newRow("code") << "`https://a.org/x`." << QStringList{"https://a.org/x"};
        QTest::newRow("markdown link") << "[https://a.org](https://a.org/y)." << QStringList{"https://a.org", "https://a.org/y"};
        QTest::newRow("in parentheses") << "(see https://a.org/wiki/Foo_(bar))," << QStringList{"https://a.org/wiki/Foo_(bar)"};
        QTest::newRow("brackets it opened") << "https://a.org/?q=[1]]." << QStringList{"https://a.org/?q=[1]"};
        QTest::newRow("sentence") << "Mail mailto:ann@example.org." << QStringList{"mailto:ann@example.org"};
    }
    void addressesEndWhereTheTextAroundThemStarts()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, links);
        QStringList found;
        static const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
        for (auto it = href.globalMatch(COutlineExport::linkified(text)); it.hasNext();)
            found << it.next().captured(1).replace(QLatin1String("&amp;"), QLatin1String("&"));
        QCOMPARE(found, links);
    }

    // File > Export > Markdown folder starts beside the document and
    // writes where the user chose.
    void exportChooserStartsBesideTheDocument()
    {
        CDocFixture f;
        f.addRootAndChild();
        QVERIFY(QDir().mkpath(f.path(QStringLiteral("docs"))));
        QVERIFY(f.doc->saveDocument(f.path(QStringLiteral("docs/a.tqb"))));
        QVERIFY(f.doc->openDocument(f.path(QStringLiteral("docs/a.tqb")), false));
        f.prompter.folderAnswers = {f.path(QStringLiteral("out"))};
        QVERIFY(CExporter(*f.doc, CCodePage(QStringLiteral("windows-1252"))).run(CExporter::Kind::Markdown));
        QCOMPARE(QDir::cleanPath(f.prompter.folderStarts.value(0)), f.path(QStringLiteral("docs")));
        QVERIFY(QFile::exists(f.path(QStringLiteral("out/Root/Child.md"))));

        // A sealed document asks before any chooser, as the other exports do.
        QVERIFY(f.doc->setPassword("pw", Protection::Encrypted));
        f.prompter.answers = {IPrompter::Answer::No};
        f.prompter.folderAnswers = {f.path(QStringLiteral("plain"))};
        QVERIFY(!CExporter(*f.doc, CCodePage(QStringLiteral("windows-1252"))).run(CExporter::Kind::Markdown));
        QCOMPARE(f.prompter.messages.last(), QString::fromLatin1(CExporter::kMarkdownNotEncrypted));
        QCOMPARE(f.prompter.folderStarts.size(), 1);
        QVERIFY(!QFileInfo::exists(f.path(QStringLiteral("plain"))));
    }

    // A folder removed, or changed after it was listed, while the import
    // walks: a read failure that names it, not a link skipped or a note lost.
    void folderChangedMidwayFailsTheImport_data()
    {
        QTest::addColumn<QString>("removed");
        QTest::addColumn<QString>("report");  // %1: the folder imported
        const QString changed = QStringLiteral("%1: the folder was changed while it was read.");
        QTest::newRow("a folder listed, not yet walked")
            << "m/C" << "2 file(s) or folder(s) could not be read.\n%1/C: the folder was removed or moved while it was read.\n" + changed;
        QTest::newRow("a file of a folder walked") << "m/z.md" << "1 file(s) or folder(s) could not be read.\n" + changed;
    }
    void folderChangedMidwayFailsTheImport()
    {
        QFETCH(QString, removed);
        QFETCH(QString, report);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("m/B")) && QDir(dir.path()).mkpath(QStringLiteral("m/C")));
        for (const char *name : {"m/C/y.md", "m/z.md"}) {
            QFile note(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(note.open(QIODevice::WriteOnly) && note.write("y") == 1);
        }
        QThread::msleep(20);  // a change within the same clock tick would leave the folder's time as it was
        // Takes one away as soon as B, listed before it, is added.
        struct CRemovingSink : IImportSink
        {
            QString removed;
            int count = 0;
            int add(int, const QByteArray &title, const QByteArray &) override
            {
                if (title == "B" && !(QFileInfo(removed).isDir() ? QDir(removed).removeRecursively() : QFile::remove(removed)))
                    qFatal("cannot remove");
                return count++;
            }
        } sink;
        sink.removed = dir.filePath(removed);
        CImportDecoder decoder(QStringLiteral("windows-1252"));
        CMarkdownImport walk(sink, decoder, {0, 1, 2, 3, 4});
        walk.walk(dir.filePath(QStringLiteral("m")), IImportSink::kDestination);
        QVERIFY(!QFileInfo::exists(sink.removed));
        QVERIFY(walk.readFailed());
        QCOMPARE(walk.failureReport(),
                 QStringLiteral("Nothing was imported: ") + report.arg(QFileInfo(dir.filePath(QStringLiteral("m"))).canonicalFilePath()));
        QCOMPARE(walk.report(), QString());
    }

    // Export, then import through the importer into a document with the
    // same default icons: the same tree below the import's folder, over 200
    // random documents.
    void roundTripOfRandomDocuments()
    {
        const CCodePage page(QStringLiteral("windows-1252"));
        for (int seed = 1; seed <= 200; ++seed) {
            QRandomGenerator random{quint32(seed)};
            CDocFixture from;
            fillRandom(*from.doc, random);
            // In memory where the system has it: the export syncs its file
            // system, which on the shared test disk only measures the others.
            QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/tst_markdown-XXXXXX")
                                                                        : QDir::tempPath() + QStringLiteral("/tst_markdown-XXXXXX"));
            const QString folder = dir.filePath(QStringLiteral("export"));
            const CMarkdownExport::Result written = CMarkdownExport::write(*from.doc, page, folder);
            QVERIFY2(written.ok, qPrintable(written.error));

            CDocFixture to;
            to.doc->setDefaultIcons(from.doc->defaultIcons());
            CInfoTree tree(*to.doc);
            tree.initialUpdate();
            CImporter importer(tree);
            importer.setCodePage(page.name());
            QVERIFY(importer.importMarkdown(folder, CImporter::Place::Root) != CInfoTree::kNone);
            QVERIFY(!importer.readFailed());
            QCOMPARE(importer.replacedCharacters(), 0);
            QCOMPARE(importer.skipReport(), QString());
            QStringList expected = treeOf(*from.doc);
            for (QString &line : expected) {  // a title comes back as one line
                QStringList fields = line.split(QLatin1Char('|'));
                fields[1] = QString::fromLatin1(
                    QByteArray::fromHex(fields[1].toLatin1()).replace("\r\n", " ").replace('\r', ' ').replace('\n', ' ').toHex());
                line = fields.join(QLatin1Char('|'));
            }
            const QStringList got = treeOf(*to.doc, 0);
            if (got != expected) {
                qsizetype at = 0;
                while (at < got.size() && at < expected.size() && got[at] == expected[at])
                    ++at;
                QFAIL(qPrintable(QStringLiteral("seed %1 differs at line %2: %3 / %4")
                                     .arg(seed)
                                     .arg(at)
                                     .arg(expected.value(at), got.value(at))));
            }
            // Imported reminders are listed for the reminder check.
            QCOMPARE(to.doc->reminders().size(), std::count_if(from.doc->infos().begin(), from.doc->infos().end(),
                                                                 [](const CNoteInfo &i) { return i.m_nRemind >= 0; }));
        }
    }
};

QTEST_GUILESS_MAIN(TstMarkdown)
#include "tst_markdown.moc"
