#include "CliSession.h"
#include "Commands.h"
#include "Console.h"
#include "doc/Backup.h"
#include "doc/DocumentLock.h"
#include "settings/Settings.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

int runBackup(CCliSession &session)
{
    const QString &path = session.file(0);
    const CBackupSettings backup = CBackupSettings::load(session.settings());
    if (!backup.on)
        return CCliSession::fail(QStringLiteral("backups are off (setting \"BackUp\"); nothing was copied"));
    if (!QFileInfo(path).isFile())
        return CCliSession::fail(QStringLiteral("%1: no such file").arg(QDir::toNativeSeparators(path)));

    // The copies rotate as a save of the document would rotate them: one
    // writer at a time.
    CDocumentLock lock(path);
    if (!session.lockDocument(lock))
        return CCliSession::kFailure;
    const QDateTime now = QDateTime::currentDateTime();
    const QString newest = CBackupStep::copyName(backup, path, 0);
    const QString shownNewest = QDir::toNativeSeparators(newest);
    if (!CBackupStep::isDue(newest, backup.periodDays, now)) {
        return CConsole::write(QStringLiteral("not due: %1 is less than %2 day(s) old\n")
                                   .arg(shownNewest)
                                   .arg(backup.periodDays)
                                   .toUtf8())
            ? CCliSession::kSuccess
            : CCliSession::kFailure;
    }
    const CBackupStep::Outcome outcome = CBackupStep::run(path, backup, now);
    if (!outcome.keptAside.isEmpty())
        return CCliSession::fail(CBackupStep::keptAsideMessage(path, outcome));
    // The step skips copies it cannot make; here that is worth saying.
    if (!outcome.failedCopy.isEmpty() || !QFileInfo(newest).isFile() || contents(newest) != contents(path))
        return CCliSession::fail(QStringLiteral("the backup copy %1 could not be made").arg(shownNewest));
    return CConsole::write(QStringLiteral("copied to %1\n").arg(shownNewest).toUtf8()) ? CCliSession::kSuccess
                                                                                          : CCliSession::kFailure;
}
