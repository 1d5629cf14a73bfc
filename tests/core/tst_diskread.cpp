// The document's file as it is read: the fingerprint taken while its bytes
// are decoded still tells another program's change from a mere touch, and a
// file cut short by another program while it is being read is refused with
// the usual message rather than ending the program.
#include "DocFixture.h"
#include "doc/DocumentFile.h"
#include "format/ArchiveReader.h"

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

    // A large document is decoded by two threads (and scanned by two). A
    // failure on either (here a text filter that runs out of memory on one
    // item) ends the open with a message; neither thread is left waiting.
    void failingDecodeThreadEndsTheOpen_data()
    {
        QTest::addColumn<int>("failing");  // the item whose decoding fails
        QTest::newRow("second thread's first batch") << 600;
        QTest::newRow("first thread") << 100;
        QTest::newRow("second thread's last batch") << 5990;
    }

    void failingDecodeThreadEndsTheOpen()
    {
        QFETCH(int, failing);
        CDocFixture f;
        fill(f, 6000);
        const QString path = f.path("d.tqb");
        QVERIFY(f.doc->saveDocument(path));
        CDocFixture g;
        const QByteArray title = "Item " + QByteArray::number(failing);
        g.doc->setTextFilter([&title](const QByteArray &seen, const CStoredText &) {
            if (seen == title)
                throw std::bad_alloc();
            return true;
        });
        QVERIFY(!g.doc->openDocument(path));
        QCOMPARE(g.prompter.messages, QStringList{QStringLiteral("There is not enough memory to read this document.")});
        QCOMPARE(g.doc->count(), 0);
        QVERIFY(g.doc->pathName().isEmpty());
    }

    void failingScanThreadReadsOnAlone()
    {
        CDocFixture f;
        fill(f, 3000);
        const QByteArray file = f.doc->writeToBytes();
        CRecordIndex alone;
        CRecordIndex two;
        QCOMPARE(CArchiveReader::scan(file, alone, std::numeric_limits<qsizetype>::max()), CArchiveReader::Status::Ok);
        QCOMPARE(CArchiveReader::scan(file, two, 0, [] { throw std::bad_alloc(); }), CArchiveReader::Status::Ok);
        QCOMPARE(two.size(), alone.size());
        QCOMPARE(two.view(2999).m_wTitle.data, alone.view(2999).m_wTitle.data);
    }

    // Another program rewrites the file in place (dd conv=notrunc) while its
    // notes are decoded, here when item 1500 of 3000 is: the open reads it
    // again and shows the new version alone, never a mix; a file rewritten
    // at every read is refused with a message.
    void rewrittenWhileDecodedIsReadAgain_data()
    {
        QTest::addColumn<bool>("readerOnly");
        QTest::addColumn<int>("rewrites");
        QTest::addColumn<bool>("password");  // asked once: the read again takes the key given
        QTest::newRow("once") << false << 1 << false;
        QTest::newRow("once, reader") << true << 1 << false;
        QTest::newRow("once, password") << false << 1 << true;
        QTest::newRow("at every read") << false << 100 << false;
    }

    void rewrittenWhileDecodedIsReadAgain()
    {
        QFETCH(bool, readerOnly);
        QFETCH(int, rewrites);
        QFETCH(bool, password);
        CDocFixture f;
        fill(f, 3000);
        if (password)
            QVERIFY(f.doc->setPassword(kPassword, Protection::Compatible));
        const QString path = f.path("d.tqb");
        QVERIFY(f.doc->saveDocument(path));
        QByteArray versions[2];
        versions[0] = f.doc->writeToBytes();
        for (int i = 0; i < 3000; ++i)
            f.doc->setText(i, f.doc->text(i).toUpper());
        versions[1] = f.doc->writeToBytes();
        QCOMPARE(versions[1].size(), versions[0].size());

        CDocFixture g;
        g.prompter.passwordAnswers = {{true, kPassword, false, false}};
        if (readerOnly)
            g.doc->setReaderOnly();
        int written = 0;
        g.doc->setTextFilter([&](const QByteArray &title, const CStoredText &) {
            if (title == "Item 1500" && written < rewrites) {
                QFile file(path);
                if (file.open(QIODevice::ReadWrite))
                    file.write(versions[++written % 2]);
            }
            return true;
        });
        const bool opened = g.doc->openDocument(path);
        if (rewrites == 1) {
            QVERIFY(opened);
            QCOMPARE(g.prompter.messages, QStringList());
            QCOMPARE(g.prompter.passwordRequests.size(), password ? 1 : 0);
            QCOMPARE(g.doc->count(), 3000);
            QCOMPARE(g.doc->texts().value(0), f.doc->text(0));
            QCOMPARE(g.doc->texts(), f.doc->texts());
        } else {
            QVERIFY(!opened);
            QCOMPARE(written, 4);
            QCOMPARE(g.prompter.messages,
                     QStringList{QStringLiteral("%1 kept being changed by another program while it was read.\n"
                                                "Nothing was read; try again when it is done.").arg(path)});
            QCOMPARE(g.doc->count(), 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestDiskRead)
#include "tst_diskread.moc"
