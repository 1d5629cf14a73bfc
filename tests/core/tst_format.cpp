// The record stream, the cipher and the mapping between records and tables.
#include "doc/PasswordKey.h"
#include "format/RecordCodec.h"
#include "doc/RecordMapper.h"
#include "format/ArchiveReader.h"
#include "format/ArchiveWriter.h"

#include <QtTest>

namespace {

QByteArray hex(const char *spaced)
{
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

CDataNotes itemRecord(qint32 parent, int titleLength, int textLength)
{
    CDataNotes r;
    r.m_nParent = parent;
    r.m_wTitle.assign(size_t(titleLength), 0x41);
    r.m_wText.assign(size_t(textLength), 0x62);
    r.m_nIcons = {5, 6, 7, 8, 9};
    r.m_nRemind = -1;
    return r;
}

CItemTables tablesWith(const QList<quint32> &parents)
{
    CItemTables t;
    for (int i = 0; i < parents.size(); ++i)
        t.appendItem("item" + QByteArray::number(i), "text", parents[i], CNoteInfo{});
    return t;
}

// Little-endian pieces of a record stream.
void putWord(QByteArray &out, quint16 w)
{
    out.append(char(w & 0xFF)).append(char(w >> 8));
}
void putDword(QByteArray &out, quint32 d)
{
    putWord(out, quint16(d & 0xFFFF));
    putWord(out, quint16(d >> 16));
}

// A record body of the schema; its text may carry `inText` as WORDs, so that
// a text can look like records.
QByteArray recordBody(QRandomGenerator &random, int schema, const QByteArray &inText)
{
    QByteArray body;
    putDword(body, random.bounded(100u));
    const int titleLength = random.bounded(4);
    putWord(body, quint16(titleLength));
    for (int i = 0; i < titleLength; ++i)
        putWord(body, quint16(random.bounded(0x10000u)));
    const int textLength = random.bounded(40) + int(inText.size() / 2);
    putWord(body, quint16(textLength));
    body += inText.left(inText.size() & ~1);
    for (int i = int(inText.size() / 2); i < textLength; ++i)
        putWord(body, random.bounded(3) == 0 ? quint16(0x8001) : quint16(random.bounded(0x10000u)));
    if (schema == 2) {
        for (int i = 0; i < 13; ++i)
            putDword(body, random.generate());
    }
    return body;
}

}  // namespace

class TestFormat : public QObject
{
    Q_OBJECT

private slots:
    void emptyDocumentIsTheWorkedExample()
    {
        CItemTables tables;
        tables.setRootSort(2);
        tables.setCreationTime(0x01020304);
        const QByteArray bytes = CArchiveWriter::write(CRecordMapper::prepareForWriting(tables, {}, false, 999));
        const QByteArray expected = hex("0100 FFFF 0200 0A00") + "CDataNotes" +
                                    hex("00000000 0000 0000 00000000 01000000 02000000 03000000 04000000"
                                        "02000000 00000000 04030201") +
                                    QByteArray(16, '\0') + hex("01000000");
        QCOMPARE(bytes.size(), 78);
        QCOMPARE(bytes, expected);
    }

    void zeroCreationStampIsWrittenAsNow()
    {
        CItemTables tables;
        const auto records = CRecordMapper::prepareForWriting(tables, {}, false, 12345);
        QCOMPARE(records.front().m_times[0], 12345);
        QCOMPARE(tables.creationTime(), 0);
    }

    void countEscapeAtTheWordLimit_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QByteArray>("countBytes");
        QTest::newRow("65534") << 65534 << hex("FEFF");
        QTest::newRow("65535") << 65535 << hex("FFFF FFFF0000");
        QTest::newRow("70000") << 70000 << hex("FFFF 70110100");
    }
    void countEscapeAtTheWordLimit()
    {
        QFETCH(int, length);
        QFETCH(QByteArray, countBytes);
        const std::vector<CDataNotes> records{itemRecord(1, length, 0)};
        const QByteArray bytes = CArchiveWriter::write(records);
        // count, class block (16 bytes), parent (4), then the title's count
        QCOMPARE(bytes.mid(2 + 16 + 4, countBytes.size()), countBytes);
        QCOMPARE(bytes.size(), 2 + 16 + 60 + 2 * length + (length >= 0xFFFF ? 4 : 0));
        std::vector<CDataNotes> back;
        QCOMPARE(CArchiveReader::read(bytes, back), CArchiveReader::Status::Ok);
        QCOMPARE(back, records);
    }

    void manyRecordsUseClassReferences()
    {
        std::vector<CDataNotes> records;
        for (int i = 0; i < 70000; ++i)
            records.push_back(itemRecord(1, i % 3, 1));
        const QByteArray bytes = CArchiveWriter::write(records);
        QCOMPARE(bytes.left(6), hex("FFFF 70110100"));
        const qsizetype secondTag = 6 + 16 + 60 + 2;  // first record has no title and one text word
        QCOMPARE(bytes.mid(secondTag, 2), hex("0180"));
        std::vector<CDataNotes> back;
        QCOMPARE(CArchiveReader::read(bytes, back), CArchiveReader::Status::Ok);
        QCOMPARE(back.size(), records.size());
        QCOMPARE(back, records);
    }

    void readsOldLayoutWithoutAttributes()
    {
        const QByteArray bytes = hex("0200 FFFF 0100 0A00") + "CDataNotes" + hex("01000000 0100 4100 0000") +
                                 hex("0180 02000000 0000 0200 6100 6200");
        std::vector<CDataNotes> records;
        QCOMPARE(CArchiveReader::read(bytes, records), CArchiveReader::Status::Ok);
        QCOMPARE(records.size(), size_t(2));
        QCOMPARE(records[1].m_nSchema, 1);
        QCOMPARE(records[1].m_nParent, 2);
        QCOMPARE(records[1].m_wText, (std::vector<quint16>{0x61, 0x62}));
        QCOMPARE(records[1].m_nIcons, (std::array<qint32, 5>{-1, -1, -1, -1, -1}));
        QCOMPARE(records[1].m_nSort, -1);
        QCOMPARE(records[1].m_nRemind, -1);
        QCOMPARE(records[1].m_nKind, 0);

        CItemTables tables;
        tables.setDefaultIcons({10, 11, 12, 13, 14});
        tables.setCreationTime(77);
        CRecordIndex index;
        QCOMPARE(CArchiveReader::scan(bytes, index), CArchiveReader::Status::Ok);
        const auto result = CRecordMapper::takeOver(std::move(index), {}, 1, 1000, tables);
        QVERIFY(result.loadedItems);
        QVERIFY(!result.hasReminders);
        QCOMPARE(tables.count(), 2);
        QCOMPARE(tables.title(0), QByteArray("A"));
        QCOMPARE(tables.info(1).m_nIcons, (std::array<qint32, 5>{10, 11, 12, 13, 14}));
        QCOMPARE(tables.rootSort(), 1);      // no header: the default sort setting
        QCOMPARE(tables.creationTime(), 77);  // no header: the stamp stays
        QCOMPARE(tables.order(), (QList<quint32>{0, 1}));
    }

    void bigTagsAndBadStreams_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        const QByteArray block = hex("FFFF 0200 0A00") + "CDataNotes";
        const QByteArray body = hex("01000000 0000 0000") + QByteArray(52, '\0');
        const int ok = int(CArchiveReader::Status::Ok);
        const int bad = int(CArchiveReader::Status::BadFormat);
        QTest::newRow("big class reference") << hex("0200") + block + body + hex("FF7F 01000080") + body << ok;
        QTest::newRow("big object reference") << hex("0200") + block + body + hex("FF7F 02000000") + body << bad;
        QTest::newRow("object reference") << hex("0200") + block + body + hex("0200") + body << bad;
        QTest::newRow("null object") << hex("0100 0000") + body << bad;
        QTest::newRow("undefined class") << hex("0200") + block + body + hex("0280") + body << bad;
        QTest::newRow("reference before any class") << hex("0100 0180") + body << bad;
        QTest::newRow("other class name") << hex("0100 FFFF 0200 0A00") + "CDataNotez" + body << bad;
        QTest::newRow("truncated body") << hex("0100") + block + body.left(30) << bad;
        QTest::newRow("truncated name") << hex("0100 FFFF 0200 0A00") + "CData" << bad;
        QTest::newRow("missing record") << hex("0200") + block + body << bad;
        QTest::newRow("huge count") << hex("FFFF FFFFFFFF") + block + body << bad;
        QTest::newRow("huge title") << hex("0100") + block + hex("01000000 FFFF FFFFFF7F") << bad;
        QTest::newRow("empty") << QByteArray() << bad;
        QTest::newRow("no records") << hex("0000") << ok;
        QTest::newRow("schema 3") << hex("0100 FFFF 0300 0A00") + "CDataNotes" + body << int(CArchiveReader::Status::UnknownSchema);
        QTest::newRow("schema 0") << hex("0100 FFFF 0000 0A00") + "CDataNotes" + body << int(CArchiveReader::Status::UnknownSchema);
    }
    void bigTagsAndBadStreams()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        std::vector<CDataNotes> records;
        QCOMPARE(int(CArchiveReader::read(bytes, records)), status);
    }

    void keyOfTwoCharacters()
    {
        // 'a' = 97, 'c' = 99: sum 196, key 196 % 97 = 2 and 196 % 99 = 97.
        const auto key = CPasswordKey::derive("ac");
        QCOMPARE(key, (std::vector<quint32>{2, 97}));
        QVERIFY(CPasswordKey::derive({}).empty());
        // Only the low seven bits count: 0xE1 acts as 'a'.
        QCOMPARE(CPasswordKey::derive("\xE1" "c"), key);
        // A character whose low seven bits are zero cannot give a key.
        QVERIFY(CPasswordKey::derive("a\x80").empty());
    }

    void keyStreamRunsFromTitleIntoTextAndAttributes()
    {
        const std::vector<quint32> key{2, 97};
        CNoteInfo info;
        info.m_nIcons = {10, 20, 30, 40, 50};
        info.m_nRemind = 0;
        info.m_times = {1000000, 5, 6, 2000000, 3000000};
        const CDataNotes r = CRecordCodec::make(3, "AB", "xyz", info, key);
        QCOMPARE(r.m_wTitle, (std::vector<quint16>{0x41 + 2, 0x42 + 97}));
        QCOMPARE(r.m_wText, (std::vector<quint16>{'x' + 2, 'y' + 97, 'z' + 2}));
        QCOMPARE(r.m_nIcons, (std::array<qint32, 5>{12, 117, 32, 137, 52}));  // from index 2 mod 2 = 0
        const qint32 shift = (5 * 2 + 97) * 86400;                              // index 7 mod 2 = 1
        QCOMPARE(r.m_times, (std::array<qint32, 5>{1000000 + shift, 5, 6, 2000000 + shift, 3000000 + shift}));
        QCOMPARE(r.m_nParent, 3);
        const CRecordCodec::Item back = CRecordCodec::read(r, key);
        QCOMPARE(back.title, QByteArray("AB"));
        QCOMPARE(back.text, QByteArray("xyz"));
        QCOMPARE(back.info, info);
    }

    void highBytesAreSignExtended()
    {
        CNoteInfo info;
        QCOMPARE(CRecordCodec::make(1, "\xE9", {}, info, {}).m_wTitle.front(), quint16(0xFFE9));
        QCOMPARE(CRecordCodec::make(1, "\xE9", {}, info, {5}).m_wTitle.front(), quint16(0xFFEE));
        QCOMPARE(CRecordCodec::make(1, "\xFF", {}, info, {5}).m_wTitle.front(), quint16(0x0004));
        CDataNotes r;
        r.m_wTitle = {0x00E9, 0xFFE9, 0x12E9};
        QCOMPARE(CRecordCodec::read(r, {}).title, QByteArray("\xE9\xE9\xE9"));
    }

    void timesWithoutReminderAreStoredAsZero()
    {
        CNoteInfo info;
        info.m_nRemind = -1;
        info.m_times = {1, 2, 3, 4, 5};
        const CDataNotes r = CRecordCodec::make(1, "t", {}, info, CPasswordKey::derive("pw"));
        QCOMPARE(r.m_times, (std::array<qint32, 5>{0, 2, 3, 0, 0}));
    }

    void headerOfPasswordDocumentCarriesTheShift()
    {
        CItemTables tables;
        tables.setCreationTime(5000);
        const auto key = CPasswordKey::derive("ab");
        const auto records = CRecordMapper::prepareForWriting(tables, key, true, 1);
        const CDataNotes &h = records.front();
        const qint32 shift = qint32(CRecordCodec::timeShift(key, 0));
        QCOMPARE(h.m_nRemind, 1);
        QCOMPARE(h.m_times, (std::array<qint32, 5>{5000 + shift, 0, 0, shift, shift}));
    }

    void wrongKeyRoundTripKeepsTheText()
    {
        QByteArray all;
        for (int b = 1; b < 256; ++b)
            all.append(char(b));
        const auto right = CPasswordKey::derive("secret");
        const auto wrong = CPasswordKey::derive("wrong!");
        CNoteInfo info;
        const CDataNotes written = CRecordCodec::make(1, all, all, info, right);
        const CRecordCodec::Item garbled = CRecordCodec::read(written, wrong);
        QVERIFY(garbled.text != all);
        const CDataNotes rewritten = CRecordCodec::make(1, garbled.title, garbled.text, garbled.info, wrong);
        const CRecordCodec::Item back = CRecordCodec::read(rewritten, right);
        QCOMPARE(back.title, all);
        QCOMPARE(back.text, all);
    }

    void prepareSkipsItemsWithoutAPlaceInTheTree()
    {
        // 0 root, 1 child of 0, 2 link 0, 3 link past the tables, 4 child of 5 (not in the order), 5 absent
        CItemTables t = tablesWith({1, 2, 0, 99, 7, 1});
        t.setOrder({0, 1, 2, 3, 4, 42});
        const auto records = CRecordMapper::prepareForWriting(t, {}, false, 1);
        QCOMPARE(records.size(), size_t(3));
        QCOMPARE(records[1].m_nParent, 1);
        QCOMPARE(records[2].m_nParent, 2);
    }

    void parentsAreFoundByTheirOrderPosition()
    {
        // Items 0..3: 3 is a root, 1 its child, 0 a root, 2 a child of 0. Order: 3, 1, 0, 2.
        CItemTables t = tablesWith({1, 5, 2, 1});
        t.setOrder({3, 1, 0, 2});
        const auto records = CRecordMapper::prepareForWriting(t, {}, false, 1);
        QCOMPARE(records.size(), size_t(5));
        QCOMPARE(records[2].m_nParent, 2);  // 1 under 3 at position 0
        QCOMPARE(records[4].m_nParent, 4);  // 2 under 0 at position 2
        QCOMPARE(records[1].m_wTitle.size(), size_t(5));
    }

    // Large files are read by two walkers, one from the middle on; what they
    // find must be what one walker finds, on sound streams and on streams
    // whose texts look like records, with later classes, big tags, bytes
    // cut off or changed.
    void twoWalkersReadWhatOneReads()
    {
        QRandomGenerator random(2109);
        int sound = 0;
        for (int round = 0; round < 3000; ++round) {
            QByteArray records;
            int count = 0;
            quint32 nextNumber = 1;
            QList<std::pair<quint32, int>> classes;  // number and schema
            const auto defineClass = [&](int schema) {
                putWord(records, 0xFFFF);
                putWord(records, quint16(schema));
                putWord(records, 10);
                records += "CDataNotes";
                classes.append({nextNumber++, schema});
            };
            defineClass(random.bounded(4) == 0 ? 1 : 2);
            QByteArray lookalike;  // a run of records of the first class, to hide in texts
            for (int i = 0; i < 10; ++i) {
                putWord(lookalike, 0x8001);
                lookalike += recordBody(random, classes.front().second, {});
            }
            const int total = 2 + random.bounded(60);
            for (int i = 0; i < total; ++i) {
                if (i > 0) {
                    if (random.bounded(40) == 0)
                        defineClass(random.bounded(2) + 1);
                    const auto &[number, schema] = classes[random.bounded(classes.size())];
                    if (random.bounded(10) == 0) {
                        putWord(records, 0x7FFF);
                        putDword(records, 0x80000000u | number);
                    } else {
                        putWord(records, quint16(0x8000 | number));
                    }
                    records += recordBody(random, schema, random.bounded(8) == 0 ? lookalike : QByteArray());
                } else {
                    records += recordBody(random, classes.front().second, {});
                }
                ++nextNumber;
                ++count;
            }
            QByteArray stream;
            putWord(stream, quint16(count + (random.bounded(20) == 0 ? random.bounded(2) * 2 - 1 : 0)));
            stream += records;
            switch (random.bounded(6)) {
            case 0:
                stream.truncate(random.bounded(stream.size()));
                break;
            case 1:
                stream[random.bounded(stream.size())] = char(random.bounded(256));
                break;
            default:
                break;
            }

            CRecordIndex alone;
            CRecordIndex two;
            const auto statusAlone = CArchiveReader::scan(stream, alone, std::numeric_limits<qsizetype>::max());
            const auto statusTwo = CArchiveReader::scan(stream, two, 0);
            QCOMPARE(int(statusTwo), int(statusAlone));
            QCOMPARE(two.size(), alone.size());
            for (size_t i = 0; i < alone.size(); ++i) {
                QCOMPARE(two.view(i).m_wTitle.data, alone.view(i).m_wTitle.data);
                QCOMPARE(two.view(i).m_nSchema, alone.view(i).m_nSchema);
            }
            sound += statusAlone == CArchiveReader::Status::Ok ? 1 : 0;
        }
        QVERIFY(sound > 1000);  // most streams were whole: the walkers met on long runs
    }

    // Large documents are decoded by two threads; the tables, the bytes the
    // file's fingerprint sees (in order, each once) and what a text filter
    // keeps must be what one thread gives, with a header, a password,
    // default icons and reminders.
    void twoThreadsTakeOverWhatOneDoes()
    {
        QRandomGenerator random(912);
        const CRecordCodec::Key key = CPasswordKey::derive("two threads");
        CItemTables source;
        source.setDefaultIcons({3, 4, 5, 6, 7});
        for (int i = 0; i < 6001; ++i) {
            CNoteInfo info;
            info.m_nIcons = {qint32(random.bounded(60)), -1, 2, -1, qint32(random.bounded(60))};
            if (random.bounded(7) == 0) {
                info.m_nRemind = 1;
                info.m_times = {1000, qint32(random.bounded(100000)), 0, 0, 0};
            }
            QByteArray text(random.bounded(200), 'a');
            if (random.bounded(3) == 0)
                text += "needle";
            source.appendItem("note " + QByteArray::number(i), text, quint32(random.bounded(i + 1)), info);
            source.appendToOrder(quint32(i));
        }
        const QByteArray file =
            CArchiveWriter::write(CRecordMapper::prepareForWriting(source, key, true, 1));
        const auto keepText = [](const QByteArray &, const CStoredText &text) { return text.decoded().contains("needle"); };

        struct Read
        {
            CItemTables tables;
            QByteArray seen;
            CRecordMapper::TakeOverResult result;
        };
        const auto read = [&](size_t twoThreadsFrom) {
            Read out;
            CRecordIndex index;
            if (CArchiveReader::scan(file, index) != CArchiveReader::Status::Ok)
                return out;
            index.onConsumed([&out](QByteArrayView bytes) { out.seen += bytes.toByteArray(); });
            out.result = CRecordMapper::takeOver(std::move(index), key, 2, 4000, out.tables, keepText, twoThreadsFrom);
            return out;
        };
        const Read one = read(std::numeric_limits<size_t>::max());
        const Read two = read(0);
        QVERIFY(one.tables.count() > 5900);  // items whose parent comes later are not written
        QCOMPARE(two.tables.titles(), one.tables.titles());
        QCOMPARE(two.tables.texts(), one.tables.texts());
        QCOMPARE(two.tables.parentLinks(), one.tables.parentLinks());
        QVERIFY(two.tables.infos() == one.tables.infos());
        QCOMPARE(two.tables.order(), one.tables.order());
        QCOMPARE(two.tables.reminders(), one.tables.reminders());
        QCOMPARE(two.tables.defaultIcons(), one.tables.defaultIcons());
        QCOMPARE(two.result.hasReminders, one.result.hasReminders);
        QVERIFY(two.seen == file);
        QVERIFY(one.seen == file);
        // The filter ran on every item in both: a text without the word is dropped.
        QCOMPARE(two.tables.texts().count(QByteArray()), one.tables.texts().count(QByteArray()));
        QVERIFY(one.tables.texts().count(QByteArray()) > 3000);
    }

    void headerValuesOnTakeOver()
    {
        CItemTables source;
        source.setDefaultIcons({90, -3, 7, 79, 0});
        source.setRootSort(0);
        source.setCreationTime(5000);
        const auto records = CRecordMapper::prepareForWriting(source, CPasswordKey::derive("ab"), true, 1);
        CRecordIndex index;
        QCOMPARE(CArchiveReader::scan(CArchiveWriter::write(records), index), CArchiveReader::Status::Ok);
        CItemTables t;
        t.setDefaultIcons({1, 2, 3, 4, 5});
        auto result = CRecordMapper::takeOver(std::move(index), CPasswordKey::derive("ab"), 2, 4000, t);
        QVERIFY(!result.loadedItems);
        QCOMPARE(t.defaultIcons(), (std::array<qint32, 5>{1, 2, 7, 79, 0}));
        QCOMPARE(t.rootSort(), 0);
        QCOMPARE(t.creationTime(), 4000);  // a stamp from the future becomes now
    }
};

QTEST_GUILESS_MAIN(TestFormat)
#include "tst_format.moc"
