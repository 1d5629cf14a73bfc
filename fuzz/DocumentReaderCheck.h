#pragma once

// What reading one document file must guarantee, however damaged the file:
// the fuzz target runs these checks on every input it makes, and a test runs
// them on the seed documents and on every input that once broke them.

#include "Prompter.h"
#include "crypto/Envelope.h"
#include "doc/DocumentFile.h"
#include "doc/PasswordCheck.h"
#include "doc/PasswordKey.h"
#include "doc/TextExport.h"
#include "doc/TorviQuillbookDoc.h"
#include "format/ArchiveReader.h"
#include "format/ArchiveWriter.h"
#include "settings/Settings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace DocumentReaderCheck {

// Not a repeated character, so it gives a key that changes every field.
inline constexpr char kPassword[] = "Quill7#x";
inline constexpr qint64 kNowSeconds = 1700000000;  // a fixed clock keeps every run the same

inline QDateTime fixedNow()
{
    return QDateTime::fromSecsSinceEpoch(kNowSeconds, Qt::UTC);
}

// Settings on a throw-away file, at their defaults.
struct CScratchSettings
{
    QTemporaryDir dir;
    QSettings store{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    CSettings settings{store};
};

// Answers the first password request with kPassword, and cancels any later
// one, as a user who knows no other password; records what it is shown.
class CFixedPasswordPrompter : public IPrompter
{
public:
    QStringList messages;
    int passwordRequests = 0;

    Answer message(const QString &text, Buttons buttons = Buttons::Ok) override
    {
        messages.append(text);
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
    PasswordAnswer askPassword(const PasswordRequest &) override
    {
        if (++passwordRequests > 1)
            return {};
        return {true, QByteArray(kPassword), false};
    }
};

struct CResult
{
    QString failure;  // empty when every check held
    bool parsed = false;
    int items = 0;
    bool askedPassword = false;
};

inline QString describe(const char *what, qsizetype index = -1)
{
    QString text = QString::fromLatin1(what);
    if (index >= 0)
        text += QStringLiteral(" (at %1)").arg(index);
    return text;
}

// The tables of a document just read from `records`.
inline QString checkTakenOver(const CTorviQuillbookDoc &doc, const std::vector<CDataNotes> &records)
{
    const bool hasHeader = !records.empty() && records.front().m_nKind == CDataNotes::kHeaderKind;
    const size_t first = hasHeader ? 1 : 0;
    const qsizetype items = qsizetype(records.size() - first);
    if (doc.count() != items)
        return describe("item count differs from the number of item records");
    if (doc.texts().size() != items || doc.parentLinks().size() != items || qsizetype(doc.infos().size()) != items)
        return describe("the four item tables differ in size");
    if (doc.order().size() != items)
        return describe("order list does not hold every item once");
    qsizetype reminder = 0;
    for (qsizetype i = 0; i < items; ++i) {
        const CDataNotes &r = records[first + size_t(i)];
        if (doc.order()[i] != quint32(i))
            return describe("order list is not the file order", i);
        if (doc.title(i).size() != qsizetype(r.m_wTitle.size())
            || doc.text(i).size() != qsizetype(r.m_wText.size()))
            return describe("title or text length differs from its record", i);
        if (doc.parentLink(i) != quint32(r.m_nParent))
            return describe("parent link differs from its record", i);
        const CNoteInfo &info = doc.info(i);
        for (qint32 icon : info.m_nIcons) {
            if (icon < 0)
                return describe("a negative icon did not take the default", i);
        }
        if (info.m_nRemind >= 0) {
            if (reminder >= doc.reminders().size() || doc.reminders()[reminder] != quint32(i))
                return describe("item with a reminder missing from the reminder list", i);
            ++reminder;
        } else if (info.m_times[0] != 0 || info.m_times[3] != 0 || info.m_times[4] != 0) {
            return describe("item without reminder kept reminder times", i);
        }
    }
    if (reminder != doc.reminders().size())
        return describe("reminder list holds items without a reminder");
    return {};
}

// `back` was read from what `doc` wrote. Items whose parent link does not
// resolve are left out of a file; the others come back in the same order,
// with the same contents and the same parent links.
inline QString checkReadBack(const CTorviQuillbookDoc &doc, const CTorviQuillbookDoc &back)
{
    std::vector<qsizetype> kept;
    for (qsizetype i = 0; i < doc.count(); ++i) {
        const quint32 link = doc.parentLink(i);
        if (link == CItemTables::kRootParent || (link >= 2 && qint64(link) - 2 < doc.count()))
            kept.push_back(i);
    }
    if (back.count() != qsizetype(kept.size()))
        return describe("read back a different number of items");
    for (qsizetype j = 0; j < back.count(); ++j) {
        const qsizetype i = kept[size_t(j)];
        if (back.title(j) != doc.title(i) || back.text(j) != doc.text(i))
            return describe("title or text changed on the way through a file", i);
        if (back.parentLink(j) != doc.parentLink(i))
            return describe("parent link changed on the way through a file", i);
        if (!(back.info(j) == doc.info(i)))
            return describe("attributes changed on the way through a file", i);
    }
    if (back.defaultIcons() != doc.defaultIcons() || back.rootSort() != doc.rootSort())
        return describe("header values changed on the way through a file");
    const qint32 stamp = doc.creationTime() != 0 ? doc.creationTime() : qint32(kNowSeconds);
    if (back.creationTime() != stamp)
        return describe("creation stamp changed on the way through a file");
    if (back.hasPassword() != doc.hasPassword() || back.key() != doc.key())
        return describe("password state changed on the way through a file");
    return {};
}

// Runs every check on one input. Nothing in here may crash, leak or hit
// undefined behaviour; a broken guarantee comes back as `failure`.
inline CResult check(QByteArrayView input, CSettings &settings)
{
    CResult result;
    std::vector<CDataNotes> records;
    const CArchiveReader::Status status = CArchiveReader::read(input, records);

    CFixedPasswordPrompter prompter;
    CTorviQuillbookDoc doc(settings, prompter);
    doc.setClock(fixedNow);
    const bool read = doc.readFromBytes(input.toByteArray());

    if (CEnvelope::isEnvelope(input)) {
        // A sealed file: no password the check knows opens a made-up one;
        // its refusal is the envelope's own, said once.
        if (read)
            result.failure = describe("a sealed stream was opened without its password");
        else if (doc.count() != 0 || !doc.order().isEmpty() || !doc.reminders().isEmpty())
            result.failure = describe("a refused sealed stream left items behind");
        else if (prompter.messages.size() != 1)
            result.failure = describe("a refused sealed stream was not reported with one message");
        return result;
    }
    if (status != CArchiveReader::Status::Ok) {
        const char *expected = status == CArchiveReader::Status::UnknownSchema ? CDocumentFile::kUnknownVersion
                                                                                : CDocumentFile::kUnexpectedFormat;
        if (read)
            result.failure = describe("a stream the reader refuses was taken as a document");
        else if (doc.count() != 0 || !doc.order().isEmpty() || !doc.reminders().isEmpty())
            result.failure = describe("a refused stream left items behind");
        else if (prompter.messages != QStringList{QString::fromLatin1(expected)})
            result.failure = describe("a refused stream was not reported with its one message");
        else if (prompter.passwordRequests != 0)
            result.failure = describe("a refused stream asked for a password");
        return result;
    }
    result.parsed = true;
    result.items = doc.count();
    result.askedPassword = prompter.passwordRequests > 0;

    // The writer reproduces every record the reader accepted; old records
    // come back in the current schema.
    std::vector<CDataNotes> rewritten;
    if (CArchiveReader::read(CArchiveWriter::write(records), rewritten) != CArchiveReader::Status::Ok) {
        result.failure = describe("records read from a stream could not be written and read again");
        return result;
    }
    if (rewritten.size() != records.size()) {
        result.failure = describe("the writer changed the number of records");
        return result;
    }
    for (size_t i = 0; i < records.size(); ++i) {
        CDataNotes expected = records[i];
        expected.m_nSchema = CDataNotes::kCurrentSchema;
        if (!(rewritten[i] == expected)) {
            result.failure = describe("a record changed on the way through the writer", qsizetype(i));
            return result;
        }
    }

    const bool headerAsks = !records.empty() && records.front().m_nRemind > 0;
    const bool noHeader = records.empty() || records.front().m_nKind == 0;
    const bool mustAsk = headerAsks || (noHeader && settings.number(CSettings::ReqPsw) == 1);
    CRecordIndex index;
    CArchiveReader::scan(input.toByteArray(), index);
    if (mustAsk && CPasswordCheck::judge(index, CPasswordKey::derive(kPassword)) == CPasswordCheck::Verdict::Wrong) {
        // The records do not read with the only password there is: told,
        // asked again (cancelled), and nothing is opened, with nothing more
        // said after the Cancel.
        if (read)
            result.failure = describe("a password that does not read the records was taken");
        else if (prompter.messages != QStringList{QString::fromLatin1(CPasswordCheck::kSeemsWrong)})
            result.failure = describe("a refused password was not told as such");
        else if (prompter.passwordRequests != 2)
            result.failure = describe("a refused password was not asked for again");
        else if (doc.count() != 0 || !doc.order().isEmpty() || doc.hasPassword())
            result.failure = describe("a refused password left items or a password behind");
        return result;
    }
    if (!read) {
        result.failure = describe("an accepted stream was not read as a document");
        return result;
    }
    if (!prompter.messages.isEmpty()) {
        result.failure = describe("reading an accepted stream showed a message");
        return result;
    }
    if (prompter.passwordRequests != (mustAsk ? 1 : 0) || doc.hasPassword() != mustAsk) {
        result.failure = describe("the password step did not follow the header");
        return result;
    }
    result.failure = checkTakenOver(doc, records);
    if (!result.failure.isEmpty())
        return result;

    const QByteArray written = doc.writeToBytes();
    CFixedPasswordPrompter backPrompter;
    CTorviQuillbookDoc back(settings, backPrompter);
    back.setClock(fixedNow);
    if (!back.readFromBytes(written) || !backPrompter.messages.isEmpty()) {
        result.failure = describe("a written document could not be read again");
        return result;
    }
    result.failure = checkReadBack(doc, back);
    if (!result.failure.isEmpty())
        return result;

    const QByteArray exported = CTextExport::render(doc);
    if (back.count() == doc.count()) {
        // Nothing was left out: the file is a fixed point and exports the same.
        if (back.writeToBytes() != written)
            result.failure = describe("writing a document read back gave other bytes");
        else if (CTextExport::render(back) != exported)
            result.failure = describe("text export changed on the way through a file");
    }
    return result;
}

}  // namespace DocumentReaderCheck
