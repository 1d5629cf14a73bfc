#include "doc/Backup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {
constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kCopyBlock = 1 << 20;
} // namespace

QString CBackupStep::run(const QString &documentPath, const CBackupSettings &settings, const QDateTime &now)
{
    if (!settings.on)
        return {};
    if (!isDue(copyName(settings, documentPath, 0), settings.periodDays, now))
        return {};
    QString failed;
    const auto copy = [&failed](const QString &source, const QString &target) {
        if (!copyOver(source, target) && failed.isEmpty() && QFileInfo(source).isFile())
            failed = target;
    };
    for (int j = settings.versions - 1; j >= 1; --j)
        copy(copyName(settings, documentPath, j - 1), copyName(settings, documentPath, j));
    copy(documentPath, copyName(settings, documentPath, 0));
    return failed;
}

bool CBackupStep::isDue(const QString &newestCopy, int periodDays, const QDateTime &now)
{
    const QFileInfo info(newestCopy);
    if (!info.exists())
        return true;
    // Integer division truncates towards zero, so a copy dated in the future
    // counts as 0 days old until the clock has passed it by a whole day.
    const qint64 ageDays = info.lastModified().secsTo(now) / kSecondsPerDay;
    return ageDays >= periodDays;
}

QString CBackupStep::baseName(const QString &documentPath)
{
    const QString fileName = QFileInfo(documentPath).fileName();
    return fileName.left(std::max<qsizetype>(0, fileName.size() - 3));
}

QString CBackupStep::copyName(const CBackupSettings &settings, const QString &documentPath, int version)
{
    return settings.folder + baseName(documentPath) + QStringLiteral("bk") + QString::number(version);
}

bool CBackupStep::copyOver(const QString &source, const QString &target)
{
    QFile in(source);
    const QFileInfo sourceInfo(source);
    if (!sourceInfo.isFile() || !in.open(QIODevice::ReadOnly))
        return false;
    const QDateTime lastWrite = sourceInfo.lastModified();

    // The new copy is written beside the target and renamed over it only when complete.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    while (!in.atEnd()) {
        const QByteArray block = in.read(kCopyBlock);
        if (block.isEmpty() && in.error() != QFileDevice::NoError) {
            out.cancelWriting();
            break;
        }
        if (out.write(block) != block.size()) {
            out.cancelWriting();
            break;
        }
    }
    if (!out.commit())
        return false;

    QFile written(target);
    return written.open(QIODevice::ReadWrite)
        && written.setFileTime(lastWrite, QFileDevice::FileModificationTime);
}

QList<CBackupEntry> CBackupRestore::listFolder(const QString &folder)
{
    QList<CBackupEntry> entries;
    if (folder.isEmpty())
        return entries;
    const QFileInfoList infos = QDir(folder).entryInfoList(
        QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QFileInfo &info : infos) {
        if (!info.isDir())
            entries.append({info.fileName(), info.lastModified().toLocalTime()});
    }
    return entries;
}

QString CBackupRestore::formatDate(const QDateTime &time, const QLocale &locale)
{
    return locale.toString(time.toLocalTime(), QStringLiteral("MMMM dd yyyy"));
}

QString CBackupRestore::restoredPath(const QString &title)
{
    const qsizetype dot = title.lastIndexOf(QLatin1Char('.'));
    const QString name = dot > 0 ? title.left(dot) : QStringLiteral("Restore");
    return QDir::current().absoluteFilePath(name);
}
