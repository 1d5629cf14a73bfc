// The document's file as it is read: the fingerprint taken while its bytes
// are decoded still tells another program's change from a mere touch.
#include "DocFixture.h"

#include <QDateTime>
#include <QFile>
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

// Another program rewrites the file in place: `rewrite` changes one byte
// near its end, the size stays; the last-write time moves on either way.
void touch(const QString &path, bool rewrite)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    if (rewrite) {
        QVERIFY(file.seek(file.size() - 20));
        const char old = file.peek(1).at(0);
        QCOMPARE(file.write(QByteArray(1, char(old ^ 0x01))), 1);
    }
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(3600), QFileDevice::FileModificationTime));
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
        QTest::addColumn<bool>("rewrite");
        for (const Protection protection : {Protection::None, Protection::Compatible, Protection::Encrypted}) {
            const char *name = protection == Protection::None ? "plain" : protection == Protection::Compatible ? "password" : "encrypted";
            for (const bool reopened : {false, true}) {
                for (const bool rewrite : {false, true}) {
                    QTest::addRow("%s, %s, %s", name, reopened ? "opened" : "saved", rewrite ? "one byte changed" : "touched only")
                        << protection << reopened << rewrite;
                }
            }
        }
    }

    void contentsDecide()
    {
        QFETCH(Protection, protection);
        QFETCH(bool, reopened);
        QFETCH(bool, rewrite);
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
        touch(path, rewrite);
        QCOMPARE(doc->fileChangedOnDisk(), rewrite);
    }
};

QTEST_GUILESS_MAIN(TestDiskRead)
#include "tst_diskread.moc"
