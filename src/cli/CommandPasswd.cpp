#include "CliSession.h"
#include "Commands.h"
#include "doc/TorviQuillbookDoc.h"

int runPasswd(CCliSession &session)
{
    const QString &path = session.file(0);
    QByteArray oldPassword;
    QByteArray newPassword;
    if (!session.readPassword(QStringLiteral("old password"), oldPassword)
        || !session.readPassword(QStringLiteral("new password"), newPassword)) {
        return CCliSession::kFailure;
    }
    if (!oldPassword.isEmpty())
        session.prompter().setPassword(oldPassword);

    // Read with the old key and saved with the new one, as Change password
    // and Save do in the program (backup copies included).
    const auto doc = session.makeDocument();
    if (!doc->openDocument(path, false))
        return CCliSession::kFailure;
    doc->setPassword(newPassword);
    return doc->saveDocument(path) ? CCliSession::kSuccess : CCliSession::kFailure;
}
