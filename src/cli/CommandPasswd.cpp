#include "CliSession.h"
#include "Commands.h"
#include "crypto/Envelope.h"
#include "doc/DocumentLock.h"
#include "doc/RecordMapper.h"
#include "doc/TorviQuillbookDoc.h"

#include <QDir>
#include <QFile>

namespace {

// Whether the file's header says it has a password.
bool claimsPassword(CCliSession &session, const QString &path, bool &claims)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && CEnvelope::isEnvelope(file.read(sizeof CEnvelope::kMagic))) {
        claims = true;
        return true;
    }
    CRecordIndex records;
    CRecordCodec::Key key;
    const bool read = session.readStoredRecords(path, records, key);
    claims = read && CRecordMapper::claimsPassword(records);
    return read;
}

}  // namespace

int runPasswd(CCliSession &session)
{
    const QString &path = session.file(0);
    if (session.args().encrypt && session.args().compatible)
        return CCliSession::fail(QStringLiteral("passwd takes --encrypt or --compatible, not both"));
    CTypedPassword oldPassword;
    CTypedPassword newPassword;
    if (!session.readPassword(QStringLiteral("old password"), oldPassword)
        || !session.readPassword(QStringLiteral("new password"), newPassword)) {
        return CCliSession::kFailure;
    }
    // An empty new password removes all protection: never what a script that
    // asks for a form of it means (an empty variable, most likely).
    if (newPassword.isEmpty() && (session.args().encrypt || session.args().compatible))
        return CCliSession::fail(QStringLiteral("the new password is empty: %1 asks for a password")
                                     .arg(session.args().encrypt ? QStringLiteral("--encrypt")
                                                                 : QStringLiteral("--compatible")));
    CDocumentLock lock(path);
    if (!session.lockDocument(lock))
        return CCliSession::kFailure;
    if (oldPassword.isEmpty()) {
        // Read without its password and saved, the document would keep its
        // titles and texts only as unreadable characters.
        bool claims = false;
        if (!claimsPassword(session, path, claims))
            return CCliSession::kFailure;
        if (claims) {
            return CCliSession::fail(QStringLiteral("%1 has a password: give it on the first line")
                                         .arg(QDir::toNativeSeparators(path)));
        }
    } else {
        session.prompter().setPassword(oldPassword);
    }

    // Read with the old key and saved with the new one, as Change password
    // and Save do in the program (backup copies included).
    const auto doc = session.makeDocument();
    doc->setHeldLock(&lock);
    if (!doc->openDocument(path, false))
        return CCliSession::kFailure;
    const Protection form = session.args().encrypt               ? Protection::Encrypted
                            : session.args().compatible            ? Protection::Compatible
                            : doc->protection() == Protection::None ? Protection::Compatible
                                                                    : doc->protection();
    QByteArray bytes;
    if (!CCliSession::passwordFor(newPassword, form, bytes) || !doc->setPassword(bytes, form))
        return CCliSession::kFailure;
    switch (doc->saveIfUnchanged(path)) {
    case CTorviQuillbookDoc::SaveOutcome::Saved:
        return CCliSession::kSuccess;
    case CTorviQuillbookDoc::SaveOutcome::Failed:
        return CCliSession::kFailure;
    case CTorviQuillbookDoc::SaveOutcome::ChangedOnDisk:
        break;
    }
    return CCliSession::fail(QStringLiteral("%1 was changed by another program meanwhile; the password was not changed")
                                 .arg(QDir::toNativeSeparators(path)));
}
