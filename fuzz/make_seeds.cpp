// Writes the seed documents the fuzzer starts from into a folder:
//   tqb_make_seeds FOLDER
// Each seed reaches a different part of the reader: the header alone, nested
// items with reminders, enciphering, the old record layout, a file without
// header, and a title long enough to need the long COUNT form.
#include "DocumentReaderCheck.h"
#include "format/RecordCodec.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <cstdio>

namespace {

constexpr qint32 kCreated = 1600000000;

void addSampleItems(CTorviQuillbookDoc &doc)
{
    CNoteInfo plain;
    CNoteInfo reminder;
    reminder.m_nRemind = 0;
    reminder.m_times = {1700003600, 0, 0, 1700000000, 1700007200};
    reminder.m_nKind = 2;
    CNoteInfo sorted;
    sorted.m_nIcons = {7, 8, 9, 10, 11};
    sorted.m_nSort = 1;

    const int journal = doc.appendItem("Journal", "Things done\r\nand things to do", CItemTables::kRootParent, plain);
    const int monday = doc.appendItem("Monday", "Caf\xE9 at ten\r\n", quint32(journal) + 2, reminder);
    const int call = doc.appendItem("Call", "", quint32(monday) + 2, plain);
    const int recipes = doc.appendItem("Recipes", "", CItemTables::kRootParent, sorted);
    const int bread = doc.appendItem("Bread", "500 g flour\r\n350 g water\r\n\r\nsalt", quint32(recipes) + 2, sorted);
    doc.setOrder({quint32(journal), quint32(monday), quint32(call), quint32(recipes), quint32(bread)});
}

// A stream in the old layout: schema 1, no header, only parent, title and text.
QByteArray schemaOneFile()
{
    struct Item { qint32 parent; QByteArray title; QByteArray text; };
    const Item items[] = {{1, "Old root", "written long ago"}, {2, "Old child", "\xE9t\xE9"}, {1, "Second root", ""}};
    QByteArray out;
    auto word = [&out](quint16 v) { char b[2]; qToLittleEndian(v, b); out.append(b, 2); };
    auto dword = [&out](quint32 v) { char b[4]; qToLittleEndian(v, b); out.append(b, 4); };
    auto chars = [&](const QByteArray &s) {
        word(quint16(s.size()));
        for (char c : s)
            word(quint16(qint16(qint8(c))));
    };
    word(quint16(std::size(items)));
    bool first = true;
    for (const Item &item : items) {
        if (first) {
            word(0xFFFF);
            word(1);
            word(quint16(qstrlen(CArchiveReader::kClassName)));
            out.append(CArchiveReader::kClassName);
            first = false;
        } else {
            word(0x8001);
        }
        dword(quint32(item.parent));
        chars(item.title);
        chars(item.text);
    }
    return out;
}

// Current records without the header record, as some older versions wrote.
QByteArray headerlessFile()
{
    CNoteInfo info;
    const std::vector<CDataNotes> records{CRecordCodec::make(1, "No header", "first", info, {}),
                                          CRecordCodec::make(2, "Below", "second", info, {})};
    return CArchiveWriter::write(records);
}

bool writeFile(const QDir &folder, const char *name, const QByteArray &bytes)
{
    QFile file(folder.filePath(QString::fromLatin1(name)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tqb_make_seeds FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    DocumentReaderCheck::CScratchSettings scratch;
    DocumentReaderCheck::CFixedPasswordPrompter prompter;
    auto document = [&](const QByteArray &password, const std::function<void(CTorviQuillbookDoc &)> &fill) {
        CTorviQuillbookDoc doc(scratch.settings, prompter);
        doc.setClock(DocumentReaderCheck::fixedNow);
        doc.setCreationTime(kCreated);
        doc.setPassword(password);
        if (fill)
            fill(doc);
        return doc.writeToBytes();
    };

    bool ok = writeFile(folder, "empty.tqb", document({}, {}));
    ok = writeFile(folder, "items.tqb", document({}, addSampleItems)) && ok;
    ok = writeFile(folder, "password.tqb", document(DocumentReaderCheck::kPassword, addSampleItems)) && ok;
    ok = writeFile(folder, "schema1.tqb", schemaOneFile()) && ok;
    ok = writeFile(folder, "headerless.tqb", headerlessFile()) && ok;
    ok = writeFile(folder, "long-title.tqb", document({}, [](CTorviQuillbookDoc &doc) {
                       QByteArray title(0xFFFF, 'x');
                       for (qsizetype i = 0; i < title.size(); ++i)
                           title[i] = char('a' + i % 26);
                       doc.appendItem(title, "short text", CItemTables::kRootParent, CNoteInfo{});
                       doc.setOrder({0});
                   })) && ok;
    return ok ? 0 : 1;
}
