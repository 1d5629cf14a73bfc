#include "CliSession.h"
#include "Commands.h"
#include "Console.h"
#include "TqbJson.h"
#include "doc/DocumentFile.h"
#include "doc/DocumentLock.h"
#include "io/InputFile.h"
#include "doc/TorviQuillbookDoc.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

}  // namespace

int runToJson(CCliSession &session)
{
    if (!session.takePasswordOption())
        return CCliSession::kFailure;
    const QString &path = session.file(0);
    QJsonObject json;
    for (int tries = 1;; ++tries) {
        CRecordIndex records;
        CRecordCodec::Key key;
        if (!session.readRecords(path, records, key))
            return CCliSession::kFailure;
        QString error;
        json = {};
        if (!CTqbJson::fromRecords(records, key, session.codePage(), json, error))
            return CCliSession::fail(QStringLiteral("%1: %2").arg(shown(path), error));
        if (session.readCutShort())
            return CCliSession::fail(QCoreApplication::translate("CDocumentFile", CDocumentFile::kUnexpectedFormat));
        // Written in place by another program while it was read: the notes
        // may come from two versions. Read again.
        if (!session.readChanged())
            break;
        if (tries == CFileStamp::kReadTries)
            return CCliSession::fail(CFileStamp::changedWhileReadText(path));
        session.forgetReads();
    }
    return CConsole::write(QJsonDocument(json).toJson(QJsonDocument::Indented)) ? CCliSession::kSuccess
                                                                                : CCliSession::kFailure;
}

int runFromJson(CCliSession &session)
{
    const QString &in = session.file(0);
    const QString &out = session.file(1);
    if (!session.takePasswordOption())
        return CCliSession::kFailure;

    QByteArray text;
    switch (CInputFile::read(in, CInputFile::kMaxJsonBytes, text, true)) {
    case CInputFile::Status::Ok:
        break;
    case CInputFile::Status::NotRegular:
        return CCliSession::fail(CInputFile::notRegularText(in));
    case CInputFile::Status::Denied:
        return CCliSession::fail(CInputFile::deniedText(in));
    case CInputFile::Status::TooLarge:
        return CCliSession::fail(CInputFile::tooLargeText(in, CInputFile::kMaxJsonBytes));
    case CInputFile::Status::Missing:
    case CInputFile::Status::Folder:
    case CInputFile::Status::Unreadable:
        return CCliSession::fail(QStringLiteral("cannot read %1").arg(shown(in)));
    }

    // The document's own tables, written by its own save: the same records,
    // enciphering and file handling as the program's.
    const auto doc = session.makeDocument();
    CTqbJson::Header header;
    QString error;
    if (!CTqbJson::toTables(text, session.codePage(), *doc, header, error))
        return CCliSession::fail(QStringLiteral("%1: %2").arg(shown(in), error));
    if (header.password.value_or(false) && session.password().isEmpty()) {
        return CCliSession::fail(QStringLiteral("%1: the header says \"password\": true, but no password was given "
                                                "(--password-stdin)")
                                     .arg(shown(in)));
    }
    if (session.args().encrypt && session.password().isEmpty())
        return CCliSession::fail(QStringLiteral("--encrypt needs a password (--password-stdin)"));
    const Protection form = session.args().encrypt ? Protection::Encrypted : Protection::Compatible;
    QByteArray password;
    if (!CCliSession::passwordFor(session.password(), form, password) || !doc->setPassword(password, form))
        return CCliSession::kFailure;
    CDocumentLock lock(out);
    if (!session.lockDocument(lock))
        return CCliSession::kFailure;
    doc->setHeldLock(&lock);
    return doc->saveDocument(out) ? CCliSession::kSuccess : CCliSession::kFailure;
}
