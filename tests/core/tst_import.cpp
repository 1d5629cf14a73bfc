// Imports end to end: a file on disk, the importer, the infotree and the
// document's tables, as the user gets them.

#include "TestPaths.h"
#include "TreeTestSupport.h"
#include "doc/TextExport.h"
#include "import/CsvImport.h"
#include "import/FavoritesImport.h"
#include "import/Importer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace treetest;

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray textOf(CTreeFixture &t, Handle h)
{
    return t.doc().texts().value(t.model().data(h));
}

}  // namespace

class TestImport : public QObject
{
    Q_OBJECT

private slots:
    // ------------------------------------------------------------ text
    void textExportComesBackWithItsNestingAndTitles();
    void textLongFirstLinesAreCut();
    void textFolderTitleFromFileName();
    void textSeparatorsAndAsterisksDisappear();
    void textTwoBlankLinesSeparateNamelessNotes();
    void textIndentJumpBackUsesDeepestParent();
    void textEmptyAndUnreadableFiles();
    void textUndoRemovesTheWholeImport();
    void textUtf8IsConvertedAndLossReported();
    // ------------------------------------------------------------ CSV
    void csvSeparatorChoice();
    void csvColumnNames();
    void csvWithoutColumnNames();
    // ------------------------------------------------------------ favorites
    void favoritesFolderWalk();
    void favoritesLinkIntoAncestorIsNotFollowed();
    void favoritesSingleShortcutAndUnreadableOne();
    void bookmarksFirefoxStyle();
    void bookmarksChromeStyle();
};

// ================================================================ text

void TestImport::textExportComesBackWithItsNestingAndTitles()
{
    CTreeFixture src;
    const int a = src.row("Projects", -1, "A folder text that is long enough to be wrapped by the export at "
                                          "eighty columns, so that the import has to join it again.");
    const int b = src.row("Garden", a, "Tomatoes. Beans.\r\nSecond line.");
    src.row("Seeds", b, "Order in March.");
    src.row("Kitchen", a, "Tiles");
    const int e = src.row("Letters", -1, "");
    src.row("To Anna", e, "Dear Anna,\r\nthanks.");
    src.build();
    src.doc().setOrder({});
    src.tree->collectOrder();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("export.txt"));
    QVERIFY(CTextExport::write(src.doc(), path));

    CTreeFixture t;
    t.build();
    CImporter importer(*t.tree);
    const Handle top = importer.importText(path, CImporter::Place::Root);
    QVERIFY(top != CTreeModel::kNone);
    QCOMPARE(dump(t.model(), top), src.shape());
    QCOMPARE(t.model().label(top), QByteArray("export"));
    QCOMPARE(textOf(t, top), QDir::toNativeSeparators(path).toLatin1());
    // The wrapped text is one paragraph again, without asterisks or rules.
    const QByteArray projects = textOf(t, t.item("Projects"));
    QVERIFY2(projects.startsWith("A folder text that is long enough to be wrapped by the export at eighty columns,"),
             projects.constData());
    QVERIFY(!projects.contains('\n') || projects.endsWith("\r\n"));
    QVERIFY(!textOf(t, t.item("Seeds")).contains('_'));
    QVERIFY(textOf(t, t.item("Seeds")).startsWith("Order in March."));
    // Titles and tables agree, and the order list holds every item.
    for (Handle h = t.model().firstRoot(); h != CTreeModel::kNone; h = t.model().nextPreOrder(h))
        QCOMPARE(t.doc().title(t.model().data(h)), t.model().label(h));
    QCOMPARE(t.doc().order().size(), qsizetype(t.model().count()));
    QVERIFY(t.doc().isModified());
    QCOMPARE(t.tree->undoKind(), int(CInfoTree::kUndoAdded));
    QCOMPARE(t.model().selected(), top);
}

void TestImport::textLongFirstLinesAreCut()
{
    // First space from position 38 on at 45: a 45-character title. None
    // between 38 and 59: the first 40 characters.
    const QByteArray spaced = QByteArray(45, 'a') + ' ' + QByteArray(54, 'b');
    const QByteArray solid = QByteArray(30, 'c') + ' ' + QByteArray(69, 'd');
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.txt"));
    QVERIFY(writeFile(path, spaced + "\r\nrest one\r\n***\r\n" + solid + "\r\nrest two\r\n***\r\nshort\r\nbody\r\n"));
    CTreeFixture t;
    t.build();
    CImporter importer(*t.tree);
    const Handle top = importer.importText(path, CImporter::Place::Root);
    const auto &kids = t.model().children(top);
    QCOMPARE(kids.size(), size_t(3));
    QCOMPARE(t.model().label(kids[0]), QByteArray(45, 'a'));
    QVERIFY(textOf(t, kids[0]).startsWith(QByteArray(54, 'b')));
    QCOMPARE(t.model().label(kids[1]), QByteArray(30, 'c') + ' ' + QByteArray(9, 'd'));
    QVERIFY(textOf(t, kids[1]).startsWith(QByteArray(60, 'd')));
    QCOMPARE(t.model().label(kids[2]), QByteArray("short"));
    QCOMPARE(textOf(t, kids[2]), QByteArray("body\r\n"));
}

void TestImport::textFolderTitleFromFileName()
{
    QTemporaryDir dir;
    const struct
    {
        const char *file;
        const char *title;
    } cases[] = {{"Notes.TXT", "Notes.TXT"}, {"notes.txt", "notes"}, {"data_txt", "data"}, {"a.txt", "a"}, {"txt", "txt"}};
    CTreeFixture t;
    t.build();
    CImporter importer(*t.tree);
    for (const auto &c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.file));
        QVERIFY(writeFile(path, "x\n"));
        const Handle top = importer.importText(path, CImporter::Place::Root);
        QCOMPARE(t.model().label(top), QByteArray(c.title));
    }
}

void TestImport::textSeparatorsAndAsterisksDisappear()
{
    // Underscore triples outnumber every other candidate: they separate, and
    // every underscore and every title asterisk goes.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("u.txt"));
    QVERIFY(writeFile(path, "*First* note\nsnake_case text\n____\n**Second**\nmore\n____\n___\n\n____\nThird\nend.\n"));
    CTreeFixture t;
    t.build();
    CImporter importer(*t.tree);
    const Handle top = importer.importText(path, CImporter::Place::Root);
    QCOMPARE(dump(t.model(), top), QByteArray("First note,Second,Third"));
    // The line is longer than two thirds of the longest: re-flowed into a space.
    QCOMPARE(textOf(t, t.item("First note")), QByteArray("snakecase text "));

    // No triple at all: one note, first line as title.
    const QString single = dir.filePath(QStringLiteral("single.txt"));
    QVERIFY(writeFile(single, "Shopping\r\nmilk\r\nbread\r\n"));
    const Handle one = importer.importText(single, CImporter::Place::Root);
    QCOMPARE(dump(t.model(), one), QByteArray("Shopping"));
    QCOMPARE(textOf(t, t.model().firstChild(one)), QByteArray("milk\r\nbread\r\n"));
}

void TestImport::textTwoBlankLinesSeparateNamelessNotes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("blank.txt"));
    QVERIFY(writeFile(path, "one\nalpha\n\n\ntwo\nbeta\n\n\nthree\n"));
    CTreeFixture t;
    t.build();
    CImporter importer(*t.tree);
    const Handle top = importer.importText(path, CImporter::Place::Root);
    QCOMPARE(dump(t.model(), top), QByteArray("noname,noname,noname"));
    QCOMPARE(textOf(t, t.model().firstChild(top)), QByteArray("onealpha"));
}

void TestImport::textIndentJumpBackUsesDeepestParent()
{
    // 12 spaces (three levels down at once), then 8: the stack entry for
    // depth 2 was never set; the deepest one that exists stands in.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("jump.txt"));
    QVERIFY(writeFile(path, "A\ntext a\n            ***\nB\ntext b\n        ***\nC\ntext c\n***\nD\ntext d\n"));
    CTreeFixture t;
    t.build();
    CImporter importer(*t.tree);
    const Handle top = importer.importText(path, CImporter::Place::Root);
    QCOMPARE(dump(t.model(), top), QByteArray("A(B,C),D"));
    QVERIFY(consistent(t.model()));
    // Separator as the very last characters: nothing runs past the end.
    const QString tail = dir.filePath(QStringLiteral("tail.txt"));
    QVERIFY(writeFile(tail, "X\nx\n***"));
    const Handle second = importer.importText(tail, CImporter::Place::Root);
    QCOMPARE(dump(t.model(), second), QByteArray("X"));
}

void TestImport::textEmptyAndUnreadableFiles()
{
    QTemporaryDir dir;
    CTreeFixture t;
    t.row("Keep");
    t.build();
    CImporter importer(*t.tree);

    const QString empty = dir.filePath(QStringLiteral("empty.txt"));
    QVERIFY(writeFile(empty, ""));
    const Handle e = importer.importText(empty, CImporter::Place::Root);
    QCOMPARE(t.model().childCount(e), 0);
    QVERIFY(!importer.readFailed());
    // Only separators and blank lines: no note either.
    const QString seps = dir.filePath(QStringLiteral("seps.txt"));
    QVERIFY(writeFile(seps, "\n*****\n\n   \n*****\n"));
    QCOMPARE(t.model().childCount(importer.importText(seps, CImporter::Place::Root)), 0);
    QVERIFY(t.prompter().messages.isEmpty());

    const QString missing = dir.filePath(QStringLiteral("missing.txt"));
    const Handle m = importer.importText(missing, CImporter::Place::Root);
    QVERIFY(importer.readFailed());
    QCOMPARE(t.prompter().messages, QStringList{QStringLiteral("Text file error!")});
    // The folder stays with the path as its text; nothing else changed.
    QCOMPARE(textOf(t, m), QDir::toNativeSeparators(missing).toLatin1());
    QCOMPARE(t.shape(), QByteArray("Keep,empty,seps,missing"));
}

void TestImport::textUndoRemovesTheWholeImport()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("many.txt"));
    QByteArray text;
    for (int i = 0; i < 50; ++i)
        text += "Note " + QByteArray::number(i) + "\nbody\n" + (i % 3 == 0 ? "    " : "") + "***\n";
    QVERIFY(writeFile(path, text));
    CTreeFixture t;
    const int root = t.row("Root");
    t.row("Child", root);
    t.build();
    t.selectLabel("Child");
    const QByteArray before = t.shape();
    CImporter importer(*t.tree);
    const Handle top = importer.importText(path, CImporter::Place::Selected);
    QCOMPARE(t.model().parent(top), t.item("Child"));
    QCOMPARE(t.model().branch(top).size(), size_t(51));
    t.prompter().answers = {IPrompter::Answer::Ok};  // the delete warning
    t.tree->undo();
    QCOMPARE(t.shape(), before);
    QCOMPARE(t.doc().order().size(), qsizetype(2));
}

void TestImport::textUtf8IsConvertedAndLossReported()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("utf8.txt"));
    QVERIFY(writeFile(path, "\xEF\xBB\xBF" "Caf\xC3\xA9\nna\xC3\xAFve \xD0\x96 \xF0\x9F\x98\x80\n"));
    CTreeFixture t;
    t.build();
    CImporter importer(*t.tree);
    const Handle top = importer.importText(path, CImporter::Place::Root);
    const Handle note = t.model().firstChild(top);
    QCOMPARE(t.model().label(note), QByteArray("Caf\xE9"));
    QCOMPARE(textOf(t, note), QByteArray("na\xEFve ? ? "));
    QCOMPARE(importer.replacedCharacters(), 2);
    QCOMPARE(t.prompter().messages.size(), 1);
    QVERIFY(t.prompter().messages[0].contains(QDir::toNativeSeparators(path)));

    // Bytes that are not UTF-8 are the code page's already.
    const QString ansi = dir.filePath(QStringLiteral("ansi.txt"));
    QVERIFY(writeFile(ansi, "Caf\xE9\nx\n"));
    QCOMPARE(t.model().label(t.model().firstChild(importer.importText(ansi, CImporter::Place::Root))),
             QByteArray("Caf\xE9"));
    QCOMPARE(t.prompter().messages.size(), 1);
}

// ================================================================ CSV

void TestImport::csvSeparatorChoice()
{
    QTemporaryDir dir;
    CTreeFixture t;
    t.build();
    CImporter importer(*t.tree);
    // Three commas, three semicolons: the comma is not above both.
    const QString both = dir.filePath(QStringLiteral("both.csv"));
    QVERIFY(writeFile(both, "a,b;c,d;e,f;g\n"));
    const Handle b = importer.importCsv(both, CImporter::Place::Root, CImporter::Header::No);
    QCOMPARE(t.model().label(b), QByteArray("both"));
    QCOMPARE(dump(t.model(), b), QByteArray("a,b"));
    QCOMPARE(textOf(t, t.model().firstChild(b)), QByteArray("c,d\r\ne,f\r\ng"));
    // No separator: the tab; every line is one title, an empty line an
    // empty note. Quotes do not protect a separator.
    const QString plain = dir.filePath(QStringLiteral("plain.csv"));
    QVERIFY(writeFile(plain, "Ann Smith\r\n\r\n\"x\ty\"\r\n"));
    const Handle p = importer.importCsv(plain, CImporter::Place::Root, CImporter::Header::No);
    const auto &kids = t.model().children(p);
    QCOMPARE(kids.size(), size_t(3));
    QCOMPARE(t.model().label(kids[0]), QByteArray("Ann Smith"));
    QCOMPARE(t.model().label(kids[1]), QByteArray());
    QCOMPARE(textOf(t, kids[1]), QByteArray());
    QCOMPARE(t.model().label(kids[2]), QByteArray("\"x"));
    QCOMPARE(textOf(t, kids[2]), QByteArray("y\""));
}

void TestImport::csvColumnNames()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("people.csv"));
    QVERIFY(writeFile(path, "Name;Phone;Mail\nAnn; 555-1234;x\nBob;;b@example.org;extra\n"));
    CTreeFixture t;
    t.build();
    t.prompter().answers = {IPrompter::Answer::Yes};
    CImporter importer(*t.tree);
    const Handle top = importer.importCsv(path, CImporter::Place::Root);
    QCOMPARE(t.prompter().messages,
             QStringList{QStringLiteral("Do you want to add denominations from first line of the list? \n\n"
                                        "(Name;Phone;Mail)")});
    QCOMPARE(t.prompter().messageButtons.value(0), IPrompter::Buttons::YesNoDefaultYes);
    QCOMPARE(dump(t.model(), top), QByteArray("Ann,Bob"));
    QCOMPARE(textOf(t, t.item("Ann")), QByteArray("Phone: 555-1234\r\nMail: x\r\n"));
    // The empty value still counts as a column; a column without a name
    // gives the value alone.
    QCOMPARE(textOf(t, t.item("Bob")), QByteArray("Mail: b@example.org\r\nextra\r\n"));
}

void TestImport::csvWithoutColumnNames()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.CSV"));
    QVERIFY(writeFile(path, "Ann,555,x\n,,Bob,, 7,\n"));
    CTreeFixture t;
    t.build();
    t.prompter().answers = {IPrompter::Answer::No};
    CImporter importer(*t.tree);
    const Handle top = importer.importCsv(path, CImporter::Place::Root);
    QCOMPARE(t.model().label(top), QByteArray("list.CSV"));
    QCOMPARE(dump(t.model(), top), QByteArray("Ann,Bob"));
    QCOMPARE(textOf(t, t.item("Ann")), QByteArray("555\r\nx"));
    QCOMPARE(textOf(t, t.item("Bob")), QByteArray("7\r\n"));
}

// ================================================================ favorites

void TestImport::favoritesFolderWalk()
{
    QTemporaryDir dir;
    const QString fav = dir.filePath(QStringLiteral("Favorites"));
    QVERIFY(QDir().mkpath(fav + QStringLiteral("/Links/Empty")));
    QVERIFY(writeFile(fav + QStringLiteral("/Home.url"), "[InternetShortcut]\r\nURL=https://home.example/\r\n"));
    QVERIFY(writeFile(fav + QStringLiteral("/Links/Upper.URL"),
                      "\r\n[DEFAULT]\r\nBASEURL=x\r\n[InternetShortcut]  \r\n\r\nURL=https://upper.example/  \r\n"));
    QVERIFY(writeFile(fav + QStringLiteral("/Links/Odd.url"), "[InternetShortcut]\r\nIconIndex=1\r\nURL=https://no/\r\n"));
    QVERIFY(writeFile(fav + QStringLiteral("/Links/url"), "[InternetShortcut]\r\nURL=https://bare/\r\n"));
    QVERIFY(writeFile(fav + QStringLiteral("/Links/readme.txt"), "not a shortcut"));

    CTreeFixture t;
    t.build();
    t.prompter().fileOrFolderAnswers = {fav + QLatin1Char('/')};
    CImporter importer(*t.tree);
    const Handle top = importer.run(CImporter::Kind::Favorites, CImporter::Place::Root);
    QCOMPARE(t.prompter().chooserTitles, QStringList{QStringLiteral("Select folder (favorite)")});
    QCOMPARE(t.model().label(top), QByteArray("Favorites"));
    QCOMPARE(textOf(t, t.item("Home")), QByteArray("https://home.example/"));
    const Handle links = t.item("Links");
    QCOMPARE(t.model().parent(links), top);
    QCOMPARE(t.model().childCount(links), 4);  // Empty, Upper, Odd, url; not readme.txt
    QCOMPARE(t.model().childCount(t.item("Empty")), 0);
    QCOMPARE(textOf(t, t.item("Upper")), QByteArray("https://upper.example/"));
    QCOMPARE(textOf(t, t.item("Odd")), QByteArray());
    QCOMPARE(textOf(t, t.item("url")), QByteArray("https://bare/"));
    QVERIFY(t.prompter().messages.isEmpty());
    QCOMPARE(t.tree->undoKind(), int(CInfoTree::kUndoAdded));
    QCOMPARE(t.tree->clipItem(), top);
}

void TestImport::favoritesLinkIntoAncestorIsNotFollowed()
{
    QTemporaryDir dir;
    const QString fav = dir.filePath(QStringLiteral("Fav"));
    QVERIFY(QDir().mkpath(fav + QStringLiteral("/Sub")));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("Elsewhere"))));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("Elsewhere/E.url")), "[InternetShortcut]\nURL=e\n"));
    QVERIFY(QFile::link(fav, fav + QStringLiteral("/Sub/back")));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("Elsewhere")), fav + QStringLiteral("/Sub/other")));
    CTreeFixture t;
    t.build();
    CImporter importer(*t.tree);
    const Handle top = importer.importFavorites(fav, CImporter::Place::Root);
    QCOMPARE(dump(t.model(), top), QByteArray("Sub(other(E))"));
}

void TestImport::favoritesSingleShortcutAndUnreadableOne()
{
    QTemporaryDir dir;
    CTreeFixture t;
    const int root = t.row("Root");
    t.build();
    t.selectLabel("Root");
    const QString one = dir.filePath(QStringLiteral("News.url"));
    QVERIFY(writeFile(one, "[InternetShortcut]\nURL=https://news.example/\n"));
    CImporter importer(*t.tree);
    const Handle note = importer.importFavorites(one, CImporter::Place::Selected);
    QCOMPARE(t.model().label(note), QByteArray("News"));
    QCOMPARE(t.model().data(t.model().parent(note)), root);
    QCOMPARE(textOf(t, note), QByteArray("https://news.example/"));

    // A path that cannot be read as a shortcut: the message, and the note
    // with what was read (nothing).
    const QString bad = dir.filePath(QStringLiteral("Bad.url"));
    QVERIFY(QDir().mkpath(bad));
    const Handle b = importer.importFavorites(bad, CImporter::Place::Root);
    QCOMPARE(t.prompter().messages, QStringList{QStringLiteral("URL file error!")});
    QVERIFY(importer.readFailed());
    QCOMPARE(t.model().label(b), QByteArray("Bad"));
    QCOMPARE(textOf(t, b), QByteArray());
    QCOMPARE(t.shape(), QByteArray("Root(News),Bad"));
}

void TestImport::bookmarksFirefoxStyle()
{
    CTreeFixture t;
    t.build();
    CImporter importer(*t.tree);
    const QString path = testpaths::data(QStringLiteral("bookmarks/firefox-style.html"));
    const Handle top = importer.importFavorites(path, CImporter::Place::Root);
    QCOMPARE(t.model().label(top), QByteArray("firefox-style.html"));
    QCOMPARE(dump(t.model(), top), QByteArray("Start & Welcome,Reading(News \x96 daily,Deep(Deep link),After deep),"
                                              "Bookmarks Toolbar(Most Visited),Empty folder"));
    QCOMPARE(textOf(t, t.item("Start & Welcome")), QByteArray("https://www.example.org/start?a=1&b=2"));
    QCOMPARE(textOf(t, t.item("Most Visited")), QByteArray("place:sort=8&maxResults=10"));
    QCOMPARE(textOf(t, t.item("Reading")), QByteArray());
    QVERIFY(t.prompter().messages.isEmpty());
    QCOMPARE(t.doc().order().size(), qsizetype(10));
}

void TestImport::bookmarksChromeStyle()
{
    CTreeFixture t;
    t.build();
    CImporter importer(*t.tree);
    const QString path = testpaths::data(QStringLiteral("bookmarks/chrome-style.html"));
    const Handle top = importer.importFavorites(path, CImporter::Place::Root);
    QCOMPARE(dump(t.model(), top),
             QByteArray("Bookmarks bar(Example,Work(Intranet \"home\",Projects(Repo))),Other bookmarks(Caf\xE9)"));
    QCOMPARE(textOf(t, t.item("Intranet \"home\"")), QByteArray("https://intranet.example.com/?q=\"x\""));
    QCOMPARE(textOf(t, t.item("Caf\xE9")), QByteArray("https://caf\xE9.example.com/"));
    // Undo takes the whole file's branch away again.
    t.prompter().answers = {IPrompter::Answer::Ok};
    t.tree->undo();
    QCOMPARE(t.model().count(), 0);
}

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
