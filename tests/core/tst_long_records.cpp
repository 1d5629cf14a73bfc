// Long titles and texts: the cipher and the text export handle them in
// blocks, and every block boundary must be invisible in the result.
#include "doc/PasswordKey.h"
#include "format/RecordCodec.h"
#include "doc/RecordMapper.h"
#include "doc/TextExport.h"
#include "format/ArchiveReader.h"
#include "format/ArchiveWriter.h"

#include <QBuffer>
#include <QtTest>

namespace {

// The record words as the file format defines them, one character at a time.
std::vector<quint16> expectedWords(const QByteArray &chars, const CRecordCodec::Key &key, size_t start)
{
    std::vector<quint16> words;
    for (qsizetype i = 0; i < chars.size(); ++i) {
        const quint32 k = key.empty() ? 0 : key[(start + size_t(i)) % key.size()];
        words.push_back(quint16(quint32(qint32(qint8(chars[i]))) + k));
    }
    return words;
}

QByteArray allBytes(qsizetype length, int salt)
{
    QByteArray s(length, Qt::Uninitialized);
    for (qsizetype i = 0; i < length; ++i)
        s[i] = char((i * 37 + salt * 11) & 0xFF);
    return s;
}

// Takes `limit` bytes and then refuses, like a full disk.
class CFullDevice : public QBuffer
{
public:
    explicit CFullDevice(qint64 limit) : m_limit(limit) {}

protected:
    qint64 writeData(const char *data, qint64 len) override
    {
        return size() + len > m_limit ? -1 : QBuffer::writeData(data, len);
    }

private:
    qint64 m_limit;
};

}  // namespace

class TestLongRecords : public QObject
{
    Q_OBJECT

private slots:
    void keyStreamAcrossBlocks_data()
    {
        QTest::addColumn<int>("keyLength");
        for (int m : {0, 1, 2, 3, 5, 7, 31, 32, 33, 40})
            QTest::newRow(qPrintable(QStringLiteral("key of %1").arg(m))) << m;
    }
    // Every length around the block size, with the text starting at every
    // key phase the title can leave.
    void keyStreamAcrossBlocks()
    {
        QFETCH(int, keyLength);
        CRecordCodec::Key key;
        for (int i = 0; i < keyLength; ++i)
            key.push_back(quint32(1000 + i * 997));  // above 0xFF: the upper byte of a WORD matters
        const CRecordCodec codec(key);
        CNoteInfo info;
        for (int titleLength : {0, 1, 31, 32, 33, 70}) {
            for (int textLength : {0, 31, 32, 33, 64, 65, 1000}) {
                const QByteArray title = allBytes(titleLength, 1);
                const QByteArray text = allBytes(textLength, 2);
                const CDataNotes r = codec.make(1, title, text, info);
                QCOMPARE(r.m_wTitle, expectedWords(title, key, 0));
                QCOMPARE(r.m_wText, expectedWords(text, key, size_t(titleLength)));
                QCOMPARE(r, CRecordCodec::make(1, title, text, info, key));
                const CRecordCodec::Item back = codec.read(r);
                QCOMPARE(back.title, title);
                QCOMPARE(back.text, text);
            }
        }
    }

    void readingKeepsOnlyTheLowByte()
    {
        const CRecordCodec::Key key{3, 300};
        CDataNotes r;
        for (int i = 0; i < 100; ++i)
            r.m_wTitle.push_back(quint16(0xAB00 + i + key[size_t(i) % 2]));
        const QByteArray title = CRecordCodec(key).read(r).title;
        QCOMPARE(title.size(), 100);
        for (int i = 0; i < 100; ++i)
            QCOMPARE(quint8(title[i]), quint8(i));
    }

    // A title longer than the export's buffer goes out whole, its lone line
    // feed as CR LF.
    void exportOfAPieceLongerThanTheBuffer()
    {
        CItemTables t;
        const QByteArray title = QByteArray(40000, 'a') + '\n' + QByteArray(40000, 'b');
        t.appendItem(title, "x", CItemTables::kRootParent, CNoteInfo{});
        t.setOrder({0});
        const QByteArray out = CTextExport::render(t);
        QVERIFY(out.contains("\r\n*" + QByteArray(40000, 'a') + "\r\n" + QByteArray(40000, 'b') + "*\r\n\r\nx\r\n"));
        QCOMPARE(out.count('\n'), out.count("\r\n"));
    }

    // A document is written from its tables through a buffer of fixed size:
    // a title or text longer than the buffer, and records cut by its edge,
    // come out as the whole records do, and read back as they went in.
    void writingThroughTheBufferMatchesTheRecords_data()
    {
        QTest::addColumn<QByteArray>("password");
        QTest::newRow("no password") << QByteArray();
        QTest::newRow("password") << QByteArray("Quill7#x");
    }

    void writingThroughTheBufferMatchesTheRecords()
    {
        QFETCH(QByteArray, password);
        const CRecordCodec::Key key = CPasswordKey::derive(password);
        CItemTables t;
        CNoteInfo reminder;
        reminder.m_nRemind = 0;
        reminder.m_times = {1700000000, 1, 2, 1700000100, 1700000200};
        t.appendItem(allBytes(700001, 1), allBytes(2500003, 2), CItemTables::kRootParent, reminder);
        for (int i = 1; i < 3000; ++i)
            t.appendItem(allBytes(i % 97, i), allBytes(i * 7 % 1500, i + 1), quint32(i % 5 == 0 ? 1 : i + 1), CNoteInfo{});
        for (int i = 0; i < t.count(); ++i)
            t.appendToOrder(quint32(i));

        QByteArray streamed;
        QBuffer buffer(&streamed);
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        CArchiveWriter writer(buffer);
        CRecordMapper::write(t, key, !key.empty(), 1, writer);
        QVERIFY(writer.finish());
        QCOMPARE(streamed, CArchiveWriter::write(CRecordMapper::prepareForWriting(t, key, !key.empty(), 1)));

        CRecordIndex records;
        QCOMPARE(CArchiveReader::scan(streamed, records), CArchiveReader::Status::Ok);
        CItemTables back;
        CRecordMapper::takeOver(std::move(records), key, 0, 2, back);
        QCOMPARE(back.titles(), t.titles());
        QCOMPARE(back.texts(), t.texts());
        QCOMPARE(back.parentLinks(), t.parentLinks());
        QCOMPARE(back.infos().front(), reminder);

        // A disk that fills up anywhere fails the write.
        for (const qint64 limit : {qint64(0), qint64(streamed.size() / 2), qint64(streamed.size() - 1)}) {
            CFullDevice full(limit);
            QVERIFY(full.open(QIODevice::WriteOnly));
            CArchiveWriter cut(full);
            CRecordMapper::write(t, key, !key.empty(), 1, cut);
            QVERIFY(!cut.finish());
        }
    }

    void exportStopsAtAFullDevice()
    {
        CItemTables t;
        for (int i = 0; i < 2000; ++i) {
            t.appendItem("T", QByteArray(200, 'w'), CItemTables::kRootParent, CNoteInfo{});
            t.appendToOrder(quint32(i));
        }
        const qsizetype whole = CTextExport::render(t).size();
        CFullDevice device(whole - 1);
        QVERIFY(device.open(QIODevice::WriteOnly));
        QVERIFY(!CTextExport::write(t, device));
        CFullDevice roomy(whole);
        QVERIFY(roomy.open(QIODevice::WriteOnly));
        QVERIFY(CTextExport::write(t, roomy));
        QCOMPARE(roomy.data().size(), whole);
    }

    // A file of many megabytes read with its bytes handed over: they are let
    // go as the records are decoded, and no record may lose a byte to that,
    // whether it ends just before a release point or straddles one.
    void aLargeFileHandedOverDecodesWhole()
    {
        const CRecordCodec::Key key = CPasswordKey::derive("Quill7#x");
        CItemTables t;
        for (int i = 0; i < 2400; ++i) {
            const qsizetype textLength = i % 100 == 7 ? 1'500'001 + i : i * 13 % 4000;
            t.appendItem(allBytes(i % 61 + 1, i), allBytes(textLength, i + 3), CItemTables::kRootParent, CNoteInfo{});
            t.appendToOrder(quint32(i));
        }
        QByteArray bytes;
        {
            QBuffer buffer(&bytes);
            QVERIFY(buffer.open(QIODevice::WriteOnly));
            CArchiveWriter writer(buffer);
            CRecordMapper::write(t, key, true, 1, writer);
            QVERIFY(writer.finish());
        }
        QVERIFY(bytes.size() > 3 * (qsizetype(8) << 20));

        CRecordIndex records;
        QCOMPARE(CArchiveReader::scan(bytes, records), CArchiveReader::Status::Ok);
        bytes = QByteArray();  // the index alone holds them
        CItemTables back;
        CRecordMapper::takeOver(std::move(records), key, 0, 2, back);
        QVERIFY(records.empty());
        QCOMPARE(back.count(), t.count());
        for (int i = 0; i < t.count(); ++i) {
            QCOMPARE(back.title(i), t.title(i));
            QVERIFY2(back.text(i) == t.text(i), qPrintable(QStringLiteral("text of item %1").arg(i)));
        }
    }
};

QTEST_GUILESS_MAIN(TestLongRecords)
#include "tst_long_records.moc"
