#include "CliSession.h"
#include "Commands.h"
#include "doc/TorviQuillbookDoc.h"

#include <QDir>
#include <QFileInfo>

int runNew(CCliSession &session)
{
    const QString &out = session.file(0);
    // Making a new document is never a reason to lose an existing one.
    if (QFileInfo::exists(out))
        return CCliSession::fail(QStringLiteral("%1 already exists").arg(QDir::toNativeSeparators(out)));
    if (!session.takePasswordOption())
        return CCliSession::kFailure;
    const auto doc = session.makeDocument();
    doc->newDocument();
    QByteArray password;
    if (!CCliSession::passwordFor(session.password(), Protection::Compatible, password) || !doc->setPassword(password))
        return CCliSession::kFailure;
    return doc->saveDocument(out) ? CCliSession::kSuccess : CCliSession::kFailure;
}
