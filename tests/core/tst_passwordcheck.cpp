// Whether a password given for a document reads it: a wrong one must not be
// taken (its garbage would be saved back), and the right one must never be
// refused.

#include "DocFixture.h"
#include "doc/PasswordCheck.h"
#include "doc/PasswordKey.h"
#include "doc/RecordMapper.h"
#include "format/ArchiveReader.h"
#include "format/ArchiveWriter.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

using Verdict = CPasswordCheck::Verdict;

const QList<QByteArray> kWords{"the", "note", "Bank", "PIN", "1234", "meeting", "on", "Monday", "caf\xE9",
                               "r\xE9sum\xE9", "call", "Anna", "about", "(draft)", "-", "http://example.org",
                               "\xC4pfel", "Stra\xDF" "e", "10:30", "x", "TODO:"};

QByteArray randomLine(QRandomGenerator &random, int maxWords)
{
    QByteArray line;
    const int words = int(random.bounded(1, maxWords + 1));
    for (int w = 0; w < words; ++w) {
        if (w > 0)
            line += random.bounded(8) == 0 ? "\t" : " ";
        line += kWords[random.bounded(int(kWords.size()))];
    }
    return line;
}

// A document of 0 to 8 items with titles of a few words and texts of a few
// lines (some empty), as people write them.
CItemTables randomTables(QRandomGenerator &random)
{
    CItemTables tables;
    const int items = int(random.bounded(9));
    for (int i = 0; i < items; ++i) {
        const QByteArray title = random.bounded(10) == 0 ? QByteArray() : randomLine(random, 4);
        QByteArray text;
        const int lines = int(random.bounded(5));
        for (int l = 0; l < lines; ++l) {
            if (l > 0)
                text += "\r\n";
            if (random.bounded(4) != 0)
                text += randomLine(random, 12);
        }
        const quint32 parent = i == 0 || random.bounded(3) == 0 ? CItemTables::kRootParent
                                                                : quint32(random.bounded(i)) + 2;
        CNoteInfo info;
        for (qint32 &icon : info.m_nIcons)
            icon = qint32(random.bounded(60));
        tables.appendToOrder(quint32(tables.appendItem(title, text, parent, info)));
    }
    tables.setCreationTime(1600000000 + qint32(random.bounded(100000000)));
    return tables;
}

// A password of 2 to 12 printable characters that the dialog would accept.
QByteArray randomPassword(QRandomGenerator &random)
{
    for (;;) {
        QByteArray password;
        const int length = int(random.bounded(2, 13));
        for (int i = 0; i < length; ++i)
            password += char(random.bounded(0x21, 0x7F));
        if (CPasswordKey::refusal(password, false).isEmpty())
            return password;
    }
}

std::vector<CDataNotes> written(const CItemTables &tables, const QByteArray &password)
{
    return CRecordMapper::prepareForWriting(tables, CPasswordKey::derive(password), !password.isEmpty(), 1700000000);
}

// The records as a document reads them: from the bytes written.
CRecordIndex indexOf(const std::vector<CDataNotes> &records)
{
    CRecordIndex index;
    if (CArchiveReader::scan(CArchiveWriter::write(records), index) != CArchiveReader::Status::Ok)
        qFatal("records written could not be read back");
    return index;
}

// What an older version wrote after reading a file with a wrong key: the
// characters it read, enciphered with that same wrong key.
std::vector<CDataNotes> savedAgainWith(const std::vector<CDataNotes> &records, const CRecordCodec::Key &wrong)
{
    std::vector<CDataNotes> again;
    for (const CDataNotes &record : records) {
        const CRecordCodec::Item item = CRecordCodec::read(record, wrong);
        again.push_back(CRecordCodec::make(record.m_nParent, item.title, item.text, item.info, wrong));
    }
    return again;
}

}  // namespace

class TestPasswordCheck : public QObject
{
    Q_OBJECT

private slots:
    // Over many random documents: the right password is never refused, and
    // the share of wrong passwords let through is printed (and bounded).
    void rightNeverRefusedWrongRarelyTaken()
    {
        QRandomGenerator random(20261207);
        constexpr int kDocuments = 10000;
        int refusedRight = 0;
        int takenWrong = 0;
        int takenWrongWithText = 0;
        int withText = 0;
        for (int d = 0; d < kDocuments; ++d) {
            const CItemTables tables = randomTables(random);
            const QByteArray right = randomPassword(random);
            QByteArray wrong = randomPassword(random);
            while (CPasswordKey::derive(wrong) == CPasswordKey::derive(right))
                wrong = randomPassword(random);
            const CRecordIndex records = indexOf(written(tables, right));
            if (CPasswordCheck::judge(records, CPasswordKey::derive(right)) != Verdict::Fits)
                ++refusedRight;
            bool hasText = false;
            for (qsizetype i = 0; i < tables.count(); ++i)
                hasText = hasText || !tables.title(i).isEmpty() || !tables.text(i).isEmpty();
            withText += hasText;
            if (CPasswordCheck::judge(records, CPasswordKey::derive(wrong)) != Verdict::Wrong) {
                ++takenWrong;
                takenWrongWithText += hasText;
            }
        }
        qInfo("%d documents (%d with text): right password refused %d times; wrong password taken %d times "
              "(%.2f%%), %d of them on documents with text",
              kDocuments, withText, refusedRight, takenWrong, 100.0 * takenWrong / kDocuments, takenWrongWithText);
        QCOMPARE(refusedRight, 0);
        QVERIFY2(takenWrong * 200 < kDocuments, "more than 0.5% of wrong passwords taken");
    }

    // The older versions' way out of a wrong password (read with it, saved
    // with it, read again with the right one) still reads with the right one.
    void fileSavedWithAWrongKeyStillReadsWithTheRightOne()
    {
        CItemTables tables;
        tables.appendToOrder(quint32(tables.appendItem("Bank", "PIN 1234\r\nsecond line", 1, CNoteInfo{})));
        tables.appendToOrder(quint32(tables.appendItem("Mail", "account: someone", 2, CNoteInfo{})));
        const CRecordCodec::Key right = CPasswordKey::derive("right-one");
        const CRecordCodec::Key wrong = CPasswordKey::derive("wrong-two");
        const std::vector<CDataNotes> again = savedAgainWith(written(tables, "right-one"), wrong);
        QCOMPARE(CPasswordCheck::judge(indexOf(again), right), Verdict::Unsure);
        QCOMPARE(CRecordCodec::read(again[1], right).text, QByteArray("PIN 1234\r\nsecond line"));
    }

    // The document: a wrong password is told and asked again; Cancel then
    // leaves the file unopened and the document as after New, with no word
    // about the password the user chose not to give.
    void documentAsksAgainAndOpensNothingWrong()
    {
        CDocFixture f;
        f.addRootAndChild("the secret text", "more");
        f.doc->setPassword("right");
        QVERIFY(f.doc->saveDocument(f.path("p.tqb")));
        const QByteArray onDisk = [&] {
            QFile file(f.path("p.tqb"));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();

        CDocFixture g;
        g.prompter.passwordAnswers = {{true, "wrong", false}, {true, "right", false}};
        QVERIFY(g.doc->openDocument(f.path("p.tqb")));
        QCOMPARE(g.prompter.messages, QStringList{QString::fromLatin1(CPasswordCheck::kSeemsWrong)});
        QCOMPARE(g.prompter.passwordRequests.size(), 2);
        QVERIFY(g.prompter.passwordRequests[1].duringOpen);
        QCOMPARE(g.doc->texts(), (QList<QByteArray>{"the secret text", "more"}));

        CDocFixture h;
        h.addRootAndChild("kept?", "");
        h.doc->setPassword("earlier");
        h.prompter.passwordAnswers = {{true, "wrong", false}, {}};
        QVERIFY(!h.doc->openDocument(f.path("p.tqb")));
        QCOMPARE(h.prompter.messages, QStringList{QString::fromLatin1(CPasswordCheck::kSeemsWrong)});
        QVERIFY(h.doc->passwordDeclined());
        QCOMPARE(h.doc->count(), 0);
        QVERIFY(!h.doc->hasPassword());
        QVERIFY(h.doc->pathName().isEmpty());
        // Nothing was written, and what is typed next is saved without a password.
        h.doc->appendItem("new", "plain", 1, CNoteInfo{});
        h.doc->setOrder({0});
        QVERIFY(h.doc->saveDocument(f.path("new.tqb")));
        CDocFixture k;
        QVERIFY(k.doc->openDocument(f.path("new.tqb")));
        QVERIFY(k.prompter.passwordRequests.isEmpty());
        QCOMPARE(k.doc->texts(), QList<QByteArray>{"plain"});
        QFile file(f.path("p.tqb"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), onDisk);

        // The same wrong password again ends the asking: a front end that
        // keeps giving it cannot keep the open going for ever.
        CDocFixture same;
        same.prompter.passwordAnswers = QList<IPrompter::PasswordAnswer>(10, {true, "wrong", false});
        QVERIFY(!same.doc->openDocument(f.path("p.tqb")));
        QCOMPARE(same.prompter.passwordRequests.size(), 2);
        QCOMPARE(same.prompter.messages.last(), QString::fromLatin1(CPasswordCheck::kNotOpened));
    }
};

QTEST_GUILESS_MAIN(TestPasswordCheck)
#include "tst_passwordcheck.moc"
