#include "doc/TextExport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Appends an item and lists it in the order; returns its index.
int add(CItemTables &t, const QByteArray &title, const QByteArray &text, quint32 parentLink, bool listed = true)
{
    const int i = t.appendItem(title, text, parentLink, CNoteInfo{});
    if (listed)
        t.appendToOrder(quint32(i));
    return i;
}

quint32 childOf(int parent)
{
    return quint32(parent) + 2;
}

// The text lines of one item's block: what follows its "*title*" line and
// the empty line after it, up to the end of the block.
QList<QByteArray> textLines(const QByteArray &exported, const QByteArray &title)
{
    const QByteArray marker = "*" + title + "*\r\n\r\n";
    const qsizetype start = exported.indexOf(marker);
    if (start < 0)
        return {};
    QByteArray rest = exported.mid(start + marker.size());
    const qsizetype next = rest.indexOf("_\r\n\r\n");
    if (next >= 0)
        rest.truncate(rest.lastIndexOf("\r\n", next) + 2);
    QList<QByteArray> lines = rest.split('\n');
    lines.removeLast();  // after the final line break
    for (QByteArray &line : lines) {
        if (!line.endsWith('\r'))
            return {"<line break without CR>"};
        line.chop(1);
    }
    return lines;
}

} // namespace

class TestTextExport : public QObject
{
    Q_OBJECT

private slots:
    void rootWithOneChild();
    void wrapping_data();
    void wrapping();
    void everyLineEndsWithCrLf();
    void damagedParentLinksAreSkipped();
    void deepItemsStillMoveOn();
    void manyItems();
    void writesFile();
    void unwritablePathFails();
};

void TestTextExport::rootWithOneChild()
{
    CItemTables t;
    const int root = add(t, "Root", "", CItemTables::kRootParent);
    add(t, "Child", "a\r\n\r\nb", childOf(root));

    const QByteArray expected = QByteArray(80, '_') + "\r\n\r\n*Root*\r\n\r\n\r\n"
        + "    " + QByteArray(76, '_') + "\r\n\r\n    *Child*\r\n\r\n"
        + "    a\r\n\r\n    b\r\n\r\n";
    QCOMPARE(CTextExport::render(t), expected);
}

void TestTextExport::wrapping_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QList<QByteArray>>("lines");  // without the block's closing empty line

    const QByteArray x79(79, 'x'), x80(80, 'x');
    QTest::newRow("100 characters without blanks")
        << QByteArray(100, 'y') << QList<QByteArray>{QByteArray(80, 'y'), QByteArray(20, 'y')};
    QTest::newRow("cut at the last blank, blank dropped")
        << QByteArray(70, 'x') + " abc defghijklmn opq"
        << QList<QByteArray>{QByteArray(70, 'x') + " abc", "defghijklmn opq"};
    QTest::newRow("blank right after the width")
        << x80 + " z" << QList<QByteArray>{x80, " z"};
    QTest::newRow("short line ends with the text") << QByteArray("one two") << QList<QByteArray>{"one two"};
    QTest::newRow("text starting with a line break")
        << QByteArray("\r\nfirst\r\nsecond") << QList<QByteArray>{"", "first", "second"};
    QTest::newRow("trailing line break adds nothing") << QByteArray("end\r\n") << QList<QByteArray>{"end"};
    QTest::newRow("two line breaks in a row")
        << QByteArray("a\r\n\r\n\r\nb") << QList<QByteArray>{"a", "", "", "b"};
    // A line break that meets the edge of a piece ends the line; it never
    // leaves a lone CR or an extra empty line behind.
    QTest::newRow("line of 79 without blanks") << x79 + "\r\nb" << QList<QByteArray>{x79, "b"};
    // The break after a full line still makes its own empty line.
    QTest::newRow("line of 80 without blanks") << x80 + "\r\nb" << QList<QByteArray>{x80, "", "b"};
    QTest::newRow("empty text") << QByteArray() << QList<QByteArray>{};
}

void TestTextExport::wrapping()
{
    QFETCH(QByteArray, text);
    QFETCH(QList<QByteArray>, lines);
    CItemTables t;
    add(t, "T", text, CItemTables::kRootParent);
    lines.append("");
    QCOMPARE(textLines(CTextExport::render(t), "T"), lines);
}

void TestTextExport::everyLineEndsWithCrLf()
{
    CItemTables t;
    const int root = add(t, "R", "lone\nfeed and " + QByteArray(90, 'w'), CItemTables::kRootParent);
    add(t, "C", "x\r\ny", childOf(root));
    const QByteArray out = CTextExport::render(t);
    QCOMPARE(out.count("\r\n"), out.count('\n'));
    QCOMPARE(out.count("\r\n"), out.count('\r'));
    QCOMPARE(textLines(out, "R"), (QList<QByteArray>{"lone", "feed and", QByteArray(80, 'w'), QByteArray(10, 'w'), ""}));
}

void TestTextExport::damagedParentLinksAreSkipped()
{
    CItemTables t;
    add(t, "Good", "", CItemTables::kRootParent);                     // 0
    add(t, "CycleA", "", childOf(2));                                  // 1 -> 2 -> 1
    add(t, "CycleB", "", childOf(1));                                  // 2
    add(t, "Self", "", childOf(3));                                    // 3 -> 3
    add(t, "Orphan", "", 0);                                           // 4
    add(t, "BelowOrphan", "", childOf(4));                             // 5
    add(t, "PastEnd", "", 1000);                                       // 6
    add(t, "IntoCycle", "", childOf(1));                               // 7
    add(t, "GoodChild", "", childOf(0));                               // 8
    t.appendToOrder(99);                                            // past the tables
    add(t, "Hidden", "", childOf(8), false);                           // 9, not listed

    const QByteArray out = CTextExport::render(t);
    QCOMPARE(out.count("*\r\n\r\n"), 2);
    QVERIFY(out.contains("\r\n*Good*\r\n"));
    QVERIFY(out.contains("\r\n    *GoodChild*\r\n"));

    // The same damage met from the other end of the chains.
    QList<quint32> reversed = t.order();
    std::reverse(reversed.begin(), reversed.end());
    t.setOrder(std::move(reversed));
    QCOMPARE(CTextExport::render(t).count("*\r\n\r\n"), 2);
}

void TestTextExport::deepItemsStillMoveOn()
{
    CItemTables t;
    int parent = add(t, "L0", "", CItemTables::kRootParent);
    for (int d = 1; d <= 25; ++d)
        parent = add(t, "L" + QByteArray::number(d), d == 25 ? "abcdefghij" : "", childOf(parent));

    const QByteArray out = CTextExport::render(t);
    const QByteArray indent(25 * 4, ' ');
    QVERIFY(out.contains("\r\n" + indent + "____\r\n\r\n" + indent + "*L25*\r\n"));
    QCOMPARE(textLines(out, "L25"), (QList<QByteArray>{indent + "abcd", indent + "efgh", indent + "ij", ""}));
    // Depth 19 is the last one the full width formula serves.
    QVERIFY(out.contains("\r\n" + QByteArray(19 * 4, ' ') + "____\r\n\r\n"));
}

void TestTextExport::manyItems()
{
    CItemTables t;
    for (int i = 0; i < 100000; ++i)
        add(t, "I" + QByteArray::number(i), "text", i % 10 == 0 ? CItemTables::kRootParent : childOf(i - 1));
    const QByteArray out = CTextExport::render(t);
    QCOMPARE(out.count("*\r\n\r\n"), 100000);
    QVERIFY(out.endsWith(QByteArray(9 * 4, ' ') + "text\r\n\r\n"));
}

void TestTextExport::writesFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("out.txt");
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'o'));  // longer than the export: must be truncated
    }
    CItemTables t;
    add(t, "Only", "x", CItemTables::kRootParent);
    QVERIFY(CTextExport::write(t, path));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), CTextExport::render(t));
}

void TestTextExport::unwritablePathFails()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CItemTables t;
    add(t, "Only", "x", CItemTables::kRootParent);
    QVERIFY(!CTextExport::write(t, dir.filePath("missing/out.txt")));
    QVERIFY(!CTextExport::write(t, dir.path()));
}

QTEST_GUILESS_MAIN(TestTextExport)
#include "tst_textexport.moc"
