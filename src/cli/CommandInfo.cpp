#include "CliSession.h"
#include "Commands.h"
#include "Console.h"
#include "crypto/Envelope.h"
#include "doc/DocumentFile.h"
#include "doc/RecordMapper.h"

#include <QDateTime>
#include <QStringList>

int runInfo(CCliSession &session)
{
    if (!session.takePasswordOption())
        return CCliSession::kFailure;
    const QString none = QStringLiteral("-");
    // An encrypted file tells its form and cost without the password, and
    // nothing else.
    CLoadedFile file;  // mapped: only the first bytes are read here
    const CDocumentFile::Result loaded = CDocumentFile::load(session.file(0), file);
    if (!loaded.ok)
        return CCliSession::fail(loaded.error);
    CEnvelope::Header sealed;
    const CEnvelope::HeaderStatus sealStatus = CEnvelope::readHeader(file.bytes, sealed);
    file = CLoadedFile();
    if (sealStatus == CEnvelope::HeaderStatus::UnknownVersion)
        return CCliSession::fail(QString::fromLatin1(CDocumentFile::kUnknownVersion));
    if (sealStatus == CEnvelope::HeaderStatus::Damaged)
        return CCliSession::fail(QString::fromLatin1(CEnvelope::kRefused));
    const bool isSealed = sealStatus == CEnvelope::HeaderStatus::Ok;
    const QString encrypted = QStringLiteral("encrypted (%1)").arg(CEnvelope::describe(sealed.params));
    if (isSealed && session.password().isEmpty()) {
        QString text;
        for (const char *name : {"items", "header", "schema", "password"})
            text += QStringLiteral("%1: %2\n").arg(QLatin1String(name), none);
        text += QStringLiteral("protection: %1\n").arg(encrypted);
        for (const char *name : {"root sort", "default icons", "created"})
            text += QStringLiteral("%1: %2\n").arg(QLatin1String(name), none);
        return CConsole::write(text.toUtf8()) ? CCliSession::kSuccess : CCliSession::kFailure;
    }
    // The plain values need no password; only the header's icons and stamp do.
    CRecordIndex records;
    CRecordCodec::Key key;
    if (!session.readStoredRecords(session.file(0), records, key))
        return CCliSession::kFailure;

    const CRecordView first = records.empty() ? CRecordView{} : records.view(0);
    const bool hasHeader = !records.empty() && CRecordMapper::isHeader(first);
    QString protection = none;
    QString rootSort = none;
    QString icons = none;
    QString created = none;
    QString password = none;
    // Without the password the header's icons and stamp read as wrong numbers:
    // shown as unknown rather than guessed.
    const bool keyMissing = hasHeader && first.m_nRemind > 0 && session.password().isEmpty();
    if (hasHeader && !keyMissing) {
        const CNoteInfo header = CRecordCodec::read(first, key).info;
        rootSort = QString::number(header.m_nSort);
        QStringList numbers;
        for (qint32 icon : header.m_nIcons)
            numbers.append(QString::number(icon));
        icons = numbers.join(QLatin1Char(' '));
        if (header.m_times[0] != 0)
            created = QDateTime::fromSecsSinceEpoch(header.m_times[0]).toString(Qt::ISODate);
        password = first.m_nRemind > 0 || isSealed ? QStringLiteral("yes") : QStringLiteral("no");
        protection = first.m_nRemind > 0 ? QStringLiteral("compatible") : QStringLiteral("none");
    } else if (keyMissing) {
        rootSort = QString::number(CRecordCodec::read(first, key).info.m_nSort);
        password = QStringLiteral("yes");
        protection = QStringLiteral("compatible");
    }
    if (isSealed)
        protection = encrypted;

    QString text;
    text += QStringLiteral("items: %1\n").arg(records.size() - (hasHeader ? 1 : 0));
    text += QStringLiteral("header: %1\n").arg(hasHeader ? QStringLiteral("yes") : QStringLiteral("no"));
    text += QStringLiteral("schema: %1\n").arg(records.empty() ? none : QString::number(first.m_nSchema));
    text += QStringLiteral("password: %1\n").arg(password);
    text += QStringLiteral("protection: %1\n").arg(protection);
    text += QStringLiteral("root sort: %1\n").arg(rootSort);
    text += QStringLiteral("default icons: %1\n").arg(icons);
    text += QStringLiteral("created: %1\n").arg(created);
    // Written in place by another program meanwhile: the counts may be of two versions.
    if (session.readChanged())
        return CCliSession::fail(CFileStamp::changedWhileReadText(session.file(0)));
    return CConsole::write(text.toUtf8()) ? CCliSession::kSuccess : CCliSession::kFailure;
}
