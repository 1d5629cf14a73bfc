// The document's file as it is read: the fingerprint taken while its bytes
// are decoded still tells another program's change from a mere touch.
#include "DocFixture.h"

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
};

QTEST_GUILESS_MAIN(TestDiskRead)
#include "tst_diskread.moc"
