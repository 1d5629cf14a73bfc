// The document's file as it is read: the fingerprint taken while its bytes
// are decoded still tells another program's change from a mere touch, and a
// file cut short by another program while it is being read is refused with
// the usual message rather than ending the program.
#include "DocFixture.h"
#include "doc/DocumentFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

namespace {

const QByteArray kPassword = "correct horse";

// Enough items that the file is read in many steps and spans many pages.
void fill(CDocFixture &f, int items)
{
    for (int i = 0; i < items; ++i) {
        const QByteArray text = "note " + QByteArray::number(i) + ' ' + QByteArray(300, char('a' + i % 26));
        f.doc->appendToOrder(quint32(f.doc->appendItem("Item " + QByteArray::number(i), text, CItemTables::kRootParent, CNoteInfo{})));
    }
}

enum class Change { Touch, Rewrite, RewriteSameTime };

// Another program changes the file in place, its size kept: `Touch` only
// moves the last-write time on, `Rewrite` also changes one byte near the
// end, `RewriteSameTime` changes the byte within the same clock tick, so
// the last-write time stays what it was.
void change(const QString &path, Change how)
{
    const QDateTime before = QFileInfo(path).lastModified();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    if (how != Change::Touch) {
        QVERIFY(file.seek(file.size() - 20));
        const char old = file.peek(1).at(0);
        QCOMPARE(file.write(QByteArray(1, char(old ^ 0x01))), 1);
        QVERIFY(file.flush());  // written now, not when closed after the time is set
    }
    const QDateTime after = how == Change::RewriteSameTime ? before : QDateTime::currentDateTime().addSecs(3600);
    QVERIFY(file.setFileTime(after, QFileDevice::FileModificationTime));
}

}  // namespace

class TestDiskRead : public QObject
{
    Q_OBJECT

private slots:
    void contentsDecide_data()
    {
        QTest::addColumn<Protection>("protection");
        QTest::addColumn<bool>("reopened");  // the fingerprint of the open, else of the save
        QTest::addColumn<Change>("how");
        for (const Protection protection : {Protection::None, Protection::Compatible, Protection::Encrypted}) {
            const char *name = protection == Protection::None ? "plain" : protection == Protection::Compatible ? "password" : "encrypted";
            for (const bool reopened : {false, true}) {
                for (const Change how : {Change::Touch, Change::Rewrite, Change::RewriteSameTime}) {
                    const char *what = how == Change::Touch ? "touched only" : how == Change::Rewrite ? "one byte changed" : "one byte changed, same time";
                    QTest::addRow("%s, %s, %s", name, reopened ? "opened" : "saved", what) << protection << reopened << how;
                }
            }
        }
    }

    void contentsDecide()
    {
        QFETCH(Protection, protection);
        QFETCH(bool, reopened);
        QFETCH(Change, how);
        CDocFixture f;
        fill(f, 3000);
        if (protection != Protection::None)
            QVERIFY(f.doc->setPassword(kPassword, protection));
        const QString path = f.path("d.tqb");
        QVERIFY(f.doc->saveDocument(path));
        f.doc->setPathName(path);
        CDocFixture g;
        g.prompter.passwordAnswers = {{true, kPassword, false, false}};
        CTorviQuillbookDoc *doc = f.doc.get();
        if (reopened) {
            QVERIFY(g.doc->openDocument(path));
            QCOMPARE(g.doc->texts(), f.doc->texts());
            doc = g.doc.get();
        }
        QVERIFY(!doc->fileChangedOnDisk());
        change(path, how);
        QCOMPARE(doc->fileChangedOnDisk(), how != Change::Touch);
    }

    // Another program truncates the file between the moment its bytes were
    // loaded and the moment they are decoded.
    void cutShortWhileReadIsRefused_data()
    {
        QTest::addColumn<qint64>("keep");  // bytes left in the file
        QTest::newRow("to nothing") << qint64(0);
        QTest::newRow("to a page") << qint64(4096);
        QTest::newRow("to half") << qint64(-2);
    }

    void cutShortWhileReadIsRefused()
    {
        QFETCH(qint64, keep);
        CDocFixture f;
        fill(f, 3000);
        const QString path = f.path("d.tqb");
        QVERIFY(f.doc->saveDocument(path));

        CDocFixture g;
        CLoadedFile file;
        QVERIFY(g.doc->loadFile(path, file));
        if (!file.mapping)
            QSKIP("the system reads files here instead of mapping them");
        QVERIFY(QFile::resize(path, keep >= 0 ? keep : file.bytes.size() / -keep));
        QVERIFY(!g.doc->openLoadedDocument(path, std::move(file)));
        QCOMPARE(g.prompter.messages, QStringList{QStringLiteral("Unexpected file format.")});
        QCOMPARE(g.doc->count(), 0);
        QVERIFY(g.doc->pathName().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDiskRead)
#include "tst_diskread.moc"
