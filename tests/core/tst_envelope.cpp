// Encrypted documents: what is sealed opens again, and nothing changed, cut
// off or opened with another password is ever taken for the document.
#include "DocFixture.h"
#include "crypto/Envelope.h"
#include "doc/Backup.h"
#include "doc/DocumentFile.h"
#include "export/Exporter.h"
#include "text/CodePage.h"
#include "format/ArchiveReader.h"

#include <QFile>
#include <QtEndian>
#include <QtTest>

#include <sodium.h>

namespace {

// Cheap to derive, for the tests that open a file hundreds of times.
const CEnvelope::Params kQuick{1, 8};
const QByteArray kPassword = "correct horse";

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

IPrompter::PasswordAnswer typed(const QByteArray &password)
{
    return {true, password, false, false};
}

// A document whose file without password is exactly `size` bytes long
// (at least 150): one note whose text fills it up.
void fillTo(CDocFixture &f, qsizetype size)
{
    f.doc->setCreationTime(1000);
    const int item = f.doc->appendItem("T", {}, CItemTables::kRootParent, CNoteInfo{});
    f.doc->setOrder({quint32(item)});
    const qsizetype base = f.doc->writeToBytes().size();
    qsizetype length = (size - base) / 2;
    if (length >= 0xFFFF)
        length -= 2;  // the long form of its count takes four bytes more
    QByteArray text;
    for (qsizetype i = 0; i < length; ++i)
        text.append(i % 61 == 60 ? ' ' : char('a' + i % 26));
    f.doc->setText(item, text);
    QCOMPARE(f.doc->writeToBytes().size(), size);
}

// Opens `bytes` as a file in a fresh document that types `password`.
bool opens(const QByteArray &bytes, const QByteArray &password, QStringList *messages = nullptr)
{
    CDocFixture g;
    writeFile(g.path("x.tqb"), bytes);
    g.prompter.passwordAnswers = {typed(password)};
    const bool opened = g.doc->openDocument(g.path("x.tqb"));
    if (messages)
        *messages = g.prompter.messages;
    // A refusal that leaves anything behind counts as opened.
    const bool leftSomething = g.doc->count() != 0 || g.doc->hasPassword() || !g.doc->pathName().isEmpty();
    return opened || leftSomething;
}

}  // namespace

class TestEnvelope : public QObject
{
    Q_OBJECT

private slots:
    void documentRoundTrips_data()
    {
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<int>("chunks");
        QTest::newRow("one short chunk") << qsizetype(200) << 1;
        QTest::newRow("exactly one chunk") << CEnvelope::kChunkSize << 1;
        QTest::newRow("one byte more") << CEnvelope::kChunkSize + 2 << 2;
        QTest::newRow("exactly three chunks") << 3 * CEnvelope::kChunkSize << 3;
        QTest::newRow("many chunks") << 40 * CEnvelope::kChunkSize + 1234 << 41;
    }
    void documentRoundTrips()
    {
        QFETCH(qsizetype, size);
        QFETCH(int, chunks);
        CDocFixture f;
        fillTo(f, size);
        const QByteArray plain = f.doc->writeToBytes();
        QVERIFY(f.doc->setPassword(kPassword, Protection::Encrypted));
        QVERIFY(f.doc->saveDocument(f.path("a.tqb")));
        QVERIFY(f.doc->saveDocument(f.path("b.tqb")));
        const QByteArray file = readAll(f.path("a.tqb"));
        QCOMPARE(file.size(), CEnvelope::kHeaderSize + chunks * CEnvelope::kChunkOverhead + size);
        QVERIFY(!file.contains(plain.mid(100, 40)));
        // The same key, a new stream header at every save.
        const QByteArray other = readAll(f.path("b.tqb"));
        QCOMPARE(file.left(CEnvelope::kStreamHeaderOffset), other.left(CEnvelope::kStreamHeaderOffset));
        QVERIFY(file.mid(CEnvelope::kStreamHeaderOffset, 24) != other.mid(CEnvelope::kStreamHeaderOffset, 24));

        CDocFixture g;
        g.prompter.passwordAnswers = {typed(kPassword)};
        QVERIFY(g.doc->openDocument(f.path("a.tqb")));
        QCOMPARE(g.doc->protection(), Protection::Encrypted);
        QCOMPARE(g.doc->passwordStatusText(), QStringLiteral("Encrypted"));
        QVERIFY(g.prompter.passwordRequests.at(0).duringOpen);
        QCOMPARE(g.prompter.passwordRequests.at(0).protection, Protection::Encrypted);
        QCOMPARE(g.doc->texts(), f.doc->texts());
        QVERIFY(g.prompter.messages.isEmpty());
        // Saved again, it keeps its form, salt and cost, and opens again.
        QVERIFY(g.doc->saveDocument(f.path("c.tqb")));
        QCOMPARE(readAll(f.path("c.tqb")).left(CEnvelope::kStreamHeaderOffset), file.left(CEnvelope::kStreamHeaderOffset));
        QVERIFY(opens(readAll(f.path("c.tqb")), kPassword));
    }

    void emptyAndTinyContentsRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<int>("chunks");
        QTest::newRow("nothing") << QByteArray() << 1;
        QTest::newRow("one byte") << QByteArray("x") << 1;
        QTest::newRow("a chunk and one") << QByteArray(CEnvelope::kChunkSize + 1, 'q') << 2;
    }
    void emptyAndTinyContentsRoundTrip()
    {
        QFETCH(QByteArray, plain);
        QFETCH(int, chunks);
        const auto key = CEnvelopeKey::derive(kPassword, kQuick);
        QVERIFY(key);
        const QByteArray file = key->seal(plain);
        QCOMPARE(file.size(), CEnvelope::kHeaderSize + CEnvelope::kChunkOverhead * chunks + plain.size());
        QByteArray back = "junk";
        QVERIFY(key->open(file, back));
        QCOMPARE(back, plain);
    }

    void noDocumentStartsWithTheMagic_data()
    {
        QTest::addColumn<int>("items");
        QTest::newRow("header only") << 0;
        QTest::newRow("one item") << 1;
        QTest::newRow("count escape") << 70000;
    }
    void noDocumentStartsWithTheMagic()
    {
        QFETCH(int, items);
        CDocFixture f;
        for (int i = 0; i < items; ++i)
            f.doc->appendToOrder(quint32(f.doc->appendItem("t", "x", CItemTables::kRootParent, CNoteInfo{})));
        const QByteArray plain = f.doc->writeToBytes();
        // A document begins with a count and then the class tag FF FF, or
        // with the count escape FF FF: the magic has neither.
        QVERIFY(plain.startsWith("\xFF\xFF") || plain.mid(2, 2) == "\xFF\xFF");
        const QByteArrayView magic(CEnvelope::kMagic, 8);
        QVERIFY(magic.first(2) != "\xFF\xFF" && magic.sliced(2, 2) != "\xFF\xFF");
        QVERIFY(!CEnvelope::isEnvelope(plain));
        // Read as a document, the magic is refused whatever follows it.
        CRecordIndex records;
        QVERIFY(CArchiveReader::scan(QByteArray(CEnvelope::kMagic, 8) + plain, records) != CArchiveReader::Status::Ok);
        QVERIFY(CArchiveReader::scan(QByteArray(CEnvelope::kMagic, 8) + QByteArray(300000, '\xFF'), records)
                != CArchiveReader::Status::Ok);
    }

    void everyChangedByteIsRefused()
    {
        CDocFixture f;
        f.addRootAndChild("secret root", "secret child");
        const auto key = CEnvelopeKey::derive(kPassword, kQuick);
        const QByteArray file = key->seal(f.doc->writeToBytes());
        QVERIFY(opens(file, kPassword));
        QVERIFY(!opens(file, "correct hors"));
        int refused = 0;
        for (qsizetype i = 0; i < file.size(); ++i) {
            for (const char flip : {'\x01', '\x80'}) {
                QByteArray changed = file;
                changed[i] = char(changed[i] ^ flip);
                QStringList messages;
                if (opens(changed, kPassword, &messages))
                    QFAIL(qPrintable(QStringLiteral("byte %1 ^ %2 was not noticed").arg(i).arg(int(quint8(flip)))));
                // The magic changed: no longer sealed, and no document either.
                const QString expected = i < 8 ? QStringLiteral("Unexpected file format.")
                                       : i == 8 ? QStringLiteral("unknown version of the data")
                                                : QString::fromLatin1(CEnvelope::kRefused);
                QCOMPARE(messages.value(0), expected);
                ++refused;
            }
        }
        QCOMPARE(refused, 2 * file.size());
    }

    // A header changed to ask for gigabytes or endless passes is refused
    // before the key derivation starts, not after minutes of work.
    void costlyHeadersAreRefusedBeforeAnyWork_data()
    {
        QTest::addColumn<quint32>("passes");
        QTest::addColumn<quint32>("memoryKiB");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("default") << 3u << 65536u << true;
        QTest::newRow("4 GiB") << 3u << (4u << 20) << false;
        QTest::newRow("1 GiB, 3 passes") << 3u << (1u << 20) << true;
        QTest::newRow("1 GiB, 4 passes") << 4u << (1u << 20) << false;
        QTest::newRow("64 passes of 64 MiB") << 64u << 65536u << false;
        QTest::newRow("48 passes of 64 MiB") << 48u << 65536u << true;
    }

    void costlyHeadersAreRefusedBeforeAnyWork()
    {
        QFETCH(quint32, passes);
        QFETCH(quint32, memoryKiB);
        QFETCH(bool, accepted);
        CDocFixture f;
        f.addRootAndChild("secret root", "secret child");
        QByteArray file = CEnvelopeKey::derive(kPassword, kQuick)->seal(f.doc->writeToBytes());
        qToLittleEndian(passes, file.data() + 10);
        qToLittleEndian(memoryKiB, file.data() + 14);
        CEnvelope::Header header;
        QCOMPARE(CEnvelope::readHeader(file, header) == CEnvelope::HeaderStatus::Ok, accepted);
        if (!accepted) {
            QStringList messages;
            QVERIFY(!opens(file, kPassword, &messages));
            QCOMPARE(messages.value(0), QString::fromLatin1(CEnvelope::kRefused));
        }
    }

    void cutFilesAreRefused()
    {
        CDocFixture f;
        fillTo(f, 3 * CEnvelope::kChunkSize + 500);
        const auto key = CEnvelopeKey::derive(kPassword, kQuick);
        const QByteArray file = key->seal(f.doc->writeToBytes());
        const qsizetype sealedChunk = CEnvelope::kChunkSize + CEnvelope::kChunkOverhead;
        QList<qsizetype> cuts{8, 9, 20, CEnvelope::kHeaderSize - 1, CEnvelope::kHeaderSize, CEnvelope::kHeaderSize + 16,
                              file.size() - 1};
        for (int k = 1; k <= 3; ++k)  // at every boundary between chunks, and just around it
            cuts << CEnvelope::kHeaderSize + k * sealedChunk - 1 << CEnvelope::kHeaderSize + k * sealedChunk
                 << CEnvelope::kHeaderSize + k * sealedChunk + 1;
        for (qsizetype cut : cuts) {
            QStringList messages;
            QVERIFY2(!opens(file.left(cut), kPassword, &messages), qPrintable(QString::number(cut)));
            QCOMPARE(messages, QStringList{QString::fromLatin1(CEnvelope::kRefused)});
        }
        // Nor may anything follow the last chunk, or chunks trade places.
        QVERIFY(!opens(file + "x", kPassword));
        QByteArray swapped = file;
        swapped.replace(CEnvelope::kHeaderSize + sealedChunk, sealedChunk,
                        file.mid(CEnvelope::kHeaderSize + 2 * sealedChunk, sealedChunk));
        swapped.replace(CEnvelope::kHeaderSize + 2 * sealedChunk, sealedChunk,
                        file.mid(CEnvelope::kHeaderSize + sealedChunk, sealedChunk));
        QVERIFY(!opens(swapped, kPassword));
        QVERIFY(opens(file, kPassword));
    }

    void wrongPasswordIsAskedAgainAndCancelLeavesANewDocument()
    {
        CDocFixture f;
        f.addRootAndChild();
        QVERIFY(f.doc->setPassword(kPassword, Protection::Encrypted));
        QVERIFY(f.doc->saveDocument(f.path("a.tqb")));
        const QByteArray before = readAll(f.path("a.tqb"));

        CDocFixture g;  // wrong, then right
        g.prompter.passwordAnswers = {typed("wrong"), typed(kPassword)};
        QVERIFY(g.doc->openDocument(f.path("a.tqb")));
        QCOMPARE(g.prompter.messages, QStringList{QString::fromLatin1(CEnvelope::kRefused)});
        QCOMPARE(g.prompter.passwordRequests.size(), 2);
        QCOMPARE(g.doc->titles(), (QList<QByteArray>{"Root", "Child"}));
        QVERIFY(g.doc->isPassword(kPassword));

        CDocFixture h;  // a document open with a password; wrong, then Cancel
        h.addRootAndChild("mine", "mine");
        QVERIFY(h.doc->setPassword("other one", Protection::Encrypted));
        QVERIFY(h.doc->saveDocument(h.path("mine.tqb")));
        h.prompter.passwordAnswers = {typed("wrong")};
        QVERIFY(!h.doc->openDocument(f.path("a.tqb")));
        QCOMPARE(h.prompter.messages, QStringList{QString::fromLatin1(CEnvelope::kRefused)});
        QCOMPARE(h.doc->count(), 0);
        QVERIFY(!h.doc->hasPassword());
        QCOMPARE(h.doc->protection(), Protection::None);
        QVERIFY(h.doc->pathName().isEmpty());
        QCOMPARE(readAll(f.path("a.tqb")), before);

        CDocFixture same;  // the same wrong password twice ends the asking
        same.prompter.passwordAnswers = QList<IPrompter::PasswordAnswer>(4, typed("wrong"));
        QVERIFY(!same.doc->openDocument(f.path("a.tqb")));
        QCOMPARE(same.prompter.passwordRequests.size(), 2);
        QCOMPARE(same.prompter.messages.size(), 1);
    }

    void formFollowsTheChoiceAndBackupsStaySealed()
    {
        CDocFixture f;
        const QString backups = f.path("bk/");
        QVERIFY(QDir().mkpath(backups));
        CBackupSettings b;
        b.on = true;
        b.folder = backups;
        f.doc->setBackup(b);
        f.addRootAndChild("root", "child words");
        f.doc->m_nCurItem = 0;
        // A new password: the dialog's choice decides.
        f.prompter.passwordAnswers = {{true, kPassword, false, true}};
        f.doc->changePassword();
        QCOMPARE(f.doc->protection(), Protection::Encrypted);
        QVERIFY(f.doc->saveDocument(f.path("n.tqb")));
        QVERIFY(f.doc->saveDocument(f.path("n.tqb")));
        const QByteArray backup = readAll(backups + QStringLiteral("n.bk0"));
        QCOMPARE(f.prompter.messages, QStringList());
        QVERIFY(CEnvelope::isEnvelope(backup));
        QVERIFY(!backup.contains("child words"));
        QVERIFY(opens(backup, kPassword));
        // The other choice goes back to the compatible cipher.
        f.prompter.passwordAnswers = {{true, kPassword, false, false}};
        f.doc->changePassword();
        QCOMPARE(f.doc->protection(), Protection::Compatible);
        QCOMPARE(f.doc->passwordStatusText(), QStringLiteral("    Password protected  "));
        QVERIFY(f.doc->envelopeKey() == nullptr);
    }

    void textExportOfASealedDocumentAsksFirst()
    {
        CDocFixture f;
        f.addRootAndChild();
        f.doc->m_nCurItem = 0;
        QVERIFY(f.doc->setPassword(kPassword, Protection::Encrypted));
        f.prompter.saveFileAnswers = {f.path("out.txt"), f.path("out.txt")};
        f.prompter.answers = {IPrompter::Answer::No, IPrompter::Answer::Yes};
        f.doc->saveAsCommand();
        QCOMPARE(f.prompter.messages, QStringList{QString::fromLatin1(CTorviQuillbookDoc::kExportNotEncrypted)});
        QVERIFY(!QFile::exists(f.path("out.txt")));
        f.doc->saveAsCommand();
        QVERIFY(readAll(f.path("out.txt")).contains("*Child*"));
        // The other exports ask too, naming their format, before any chooser.
        const CCodePage page(QStringLiteral("windows-1252"));
        const qsizetype choosers = f.prompter.chooserTitles.size();
        for (const auto &[kind, question] : {std::pair{CExporter::Kind::Html, CExporter::kHtmlNotEncrypted},
                                             std::pair{CExporter::Kind::Opml, CExporter::kOpmlNotEncrypted},
                                             std::pair{CExporter::Kind::Markdown, CExporter::kMarkdownNotEncrypted}}) {
            f.prompter.answers = {IPrompter::Answer::No};
            QVERIFY(!CExporter(*f.doc, page).run(kind));
            QCOMPARE(f.prompter.messages.last(), QString::fromLatin1(question));
        }
        QCOMPARE(f.prompter.chooserTitles.size(), choosers);
    }

    void compatibleCipherKeepsItsBytes()
    {
        // Password "ac": key {2, 97}; icons t + k(t mod 2); the shift
        // (5 × 2 + 97) days in the creation stamp and the last two times.
        CDocFixture f;
        f.doc->setCreationTime(0x01020304);
        f.doc->setRootSort(2);
        f.doc->setDefaultIcons({0, 1, 2, 3, 4});
        QVERIFY(f.doc->setPassword("ac", Protection::Compatible));
        QVERIFY(f.doc->saveDocument(f.path("c.tqb")));
        const QByteArray expected =
            QByteArray::fromHex("0100FFFF02000A00") + "CDataNotes"
            + QByteArray::fromHex("00000000 0000 0000 02000000 62000000 04000000 64000000 06000000"
                                  "02000000 01000000 84138F01 00000000 00000000 80108D00 80108D00 01000000");
        QCOMPARE(readAll(f.path("c.tqb")), expected);
    }

    void fileReadsByItsDescription()
    {
        // Sealed by the document, opened here with libsodium calls only, as
        // doc/encrypted-format.md describes.
        CDocFixture f;
        f.addRootAndChild("root", QByteArray(200000, 'w'));
        f.doc->setCreationTime(77);
        const QByteArray plain = f.doc->writeToBytes();
        QVERIFY(f.doc->setPassword(kPassword, Protection::Encrypted));
        QVERIFY(f.doc->saveDocument(f.path("d.tqb")));
        const QByteArray file = readAll(f.path("d.tqb"));
        const auto *u = reinterpret_cast<const unsigned char *>(file.constData());

        QCOMPARE(file.left(8), QByteArray("TQBCRYPT"));
        QCOMPARE(int(u[8]), 1);
        QCOMPARE(int(u[9]), crypto_pwhash_ALG_ARGON2ID13);
        const quint32 passes = u[10] | u[11] << 8 | u[12] << 16 | quint32(u[13]) << 24;
        const quint32 kib = u[14] | u[15] << 8 | u[16] << 16 | quint32(u[17]) << 24;
        QCOMPARE(passes, 3u);
        QCOMPARE(kib, 65536u);
        QCOMPARE(sodium_init() >= 0, true);
        unsigned char key[crypto_secretstream_xchacha20poly1305_KEYBYTES];
        QCOMPARE(crypto_pwhash(key, sizeof key, kPassword.constData(), quint64(kPassword.size()), u + 18, passes,
                               size_t(kib) * 1024, crypto_pwhash_ALG_ARGON2ID13),
                 0);
        crypto_secretstream_xchacha20poly1305_state state;
        QCOMPARE(crypto_secretstream_xchacha20poly1305_init_pull(&state, u + 34, key), 0);
        QByteArray out;
        qsizetype at = 58;
        for (bool first = true;; first = false) {
            const qsizetype left = file.size() - at;
            const qsizetype length = std::min<qsizetype>(left, 65553);
            QVERIFY(length >= 17);
            QByteArray piece(length - 17, Qt::Uninitialized);
            unsigned long long got = 0;
            unsigned char tag = 0xFF;
            QCOMPARE(crypto_secretstream_xchacha20poly1305_pull(&state, reinterpret_cast<unsigned char *>(piece.data()),
                                                                &got, &tag, u + at, quint64(length),
                                                                first ? u : nullptr, first ? 58 : 0),
                     0);
            out += piece.left(qsizetype(got));
            at += length;
            if (left <= 65553) {
                QCOMPARE(int(tag), int(crypto_secretstream_xchacha20poly1305_TAG_FINAL));
                break;
            }
            QCOMPARE(int(tag), int(crypto_secretstream_xchacha20poly1305_TAG_MESSAGE));
        }
        QCOMPARE(out.size(), plain.size());
        QCOMPARE(out, plain);
    }
};

QTEST_GUILESS_MAIN(TestEnvelope)
#include "tst_envelope.moc"
