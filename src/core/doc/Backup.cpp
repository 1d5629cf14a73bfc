#include "doc/Backup.h"

#include "doc/DocumentFile.h"
#include "format/ArchiveReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {
constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kCopyBlock = 1 << 20;
} // namespace

CBackupStep::Outcome CBackupStep::run(const QString &documentPath, const CBackupSettings &settings,
                                      const QDateTime &now)
{
    Outcome outcome;
    if (!settings.on)
        return outcome;
    if (!isDue(copyName(settings, documentPath, 0), settings.periodDays, now))
        return outcome;
    // The version on disk is read once: checked, then copied from memory.
    const QFileInfo document(documentPath);
    const bool exists = document.isFile();  // not on the first save to this path
    const QDateTime lastWrite = document.lastModified();
    QByteArray bytes;
    const bool readable = exists && CDocumentFile::load(documentPath, bytes).ok;
    if (readable) {
        CRecordIndex records;
        if (bytes.isEmpty() || CArchiveReader::scan(bytes, records) != CArchiveReader::Status::Ok) {
            // Rotated in, it would push a good copy out of the series.
            const QString kept = keptAsideName(settings, documentPath, now);
            if (CDocumentFile::save(kept, bytes, lastWrite).ok) {
                outcome.keptAside = kept;
                outcome.keptEmpty = bytes.isEmpty();
            } else {
                outcome.failedCopy = kept;
            }
            return outcome;
        }
    }

    const auto failed = [&outcome](const QString &target) {
        if (outcome.failedCopy.isEmpty())
            outcome.failedCopy = target;
    };
    for (int j = settings.versions - 1; j >= 1; --j) {
        const QString source = copyName(settings, documentPath, j - 1);
        const QString target = copyName(settings, documentPath, j);
        if (!copyOver(source, target) && QFileInfo(source).isFile())
            failed(target);
    }
    const QString newest = copyName(settings, documentPath, 0);
    if (exists && (!readable || !CDocumentFile::save(newest, bytes, lastWrite).ok))
        failed(newest);
    return outcome;
}

QString CBackupStep::keptAsideMessage(const QString &documentPath, const Outcome &outcome)
{
    if (outcome.keptAside.isEmpty())
        return {};
    return QString::fromLatin1(outcome.keptEmpty ? kEmptyKept : kUnreadableKept)
        .arg(QDir::toNativeSeparators(documentPath), QDir::toNativeSeparators(outcome.keptAside));
}

QString CBackupStep::keptAsideName(const CBackupSettings &settings, const QString &documentPath, const QDateTime &now)
{
    const QString stem = settings.folder + baseName(documentPath) + QStringLiteral("unreadable-")
                         + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = stem + QStringLiteral(".tqb");
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = stem + QStringLiteral("-%1.tqb").arg(n);
    return name;
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
    const auto stream = [&in](QFileDevice &out) {
        while (!in.atEnd()) {
            const QByteArray block = in.read(kCopyBlock);
            if (block.isEmpty() && in.error() != QFileDevice::NoError)
                return false;
            if (out.write(block) != block.size())
                return false;
        }
        return in.error() == QFileDevice::NoError;
    };
    return CDocumentFile::replace(target, stream, sourceInfo.lastModified()).ok;
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
