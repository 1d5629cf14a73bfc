#include "doc/Backup.h"

#include "crypto/Envelope.h"
#include "doc/DocumentFile.h"
#include "format/ArchiveReader.h"
#include "text/FolderPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {
constexpr qint64 kSecondsPerDay = 86400;

// A sealed document cannot be read without its key; a whole header and room
// for a chunk is what can be told of it here.
bool readsAsDocument(const QByteArray &bytes)
{
    CEnvelope::Header header;
    if (CEnvelope::isEnvelope(bytes))
        return CEnvelope::readHeader(bytes, header) == CEnvelope::HeaderStatus::Ok
            && bytes.size() >= CEnvelope::kHeaderSize + CEnvelope::kChunkOverhead;
    CRecordIndex records;
    return !bytes.isEmpty() && CArchiveReader::scan(bytes, records) == CArchiveReader::Status::Ok;
}
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
    // The first save to a path has nothing to keep. Shifting the series
    // anyway would push its oldest copy out for nothing, and the series may
    // be another document's of the same name (a restored copy saved anew).
    if (!document.exists())
        return outcome;
    const QDateTime lastWrite = document.lastModified();
    const QString newest = copyName(settings, documentPath, 0);
    QByteArray bytes;
    if (!CDocumentFile::load(documentPath, bytes).ok) {
        // Nothing to put in: the series stays as it is.
        outcome.failedCopy = newest;
        return outcome;
    }
    if (!readsAsDocument(bytes)) {
        // Rotated in, it would push a good copy out of the series.
        const QString kept = keptAsideName(settings, documentPath, now);
        if (CDocumentFile::save(kept, bytes, {.lastWrite = lastWrite, .modeOf = documentPath}).ok) {
            outcome.keptAside = kept;
            outcome.keptEmpty = bytes.isEmpty();
        } else {
            outcome.failedCopy = kept;
        }
        return outcome;
    }

    const auto failed = [&outcome](const QString &target) {
        if (outcome.failedCopy.isEmpty())
            outcome.failedCopy = target;
    };
    // The older copies move up by renames, which need no room on the disk,
    // and only once the new copy is safely written under a temporary name:
    // a copy that cannot be written leaves the whole series as it was.
    const auto shift = [&] {
        for (int j = settings.versions - 1; j >= 1; --j) {
            const QString source = copyName(settings, documentPath, j - 1);
            const QString target = copyName(settings, documentPath, j);
            if (!QFileInfo(source).isFile())
                continue;
            if (!moveOver(source, target))
                failed(target);
            else
                // A copy made before the document was made private must not stay readable.
                CDocumentFile::takeMode(target, documentPath);
        }
        return true;
    };
    const auto fill = [&bytes](QFileDevice &file) { return CDocumentFile::writeAll(file, bytes); };
    if (!CDocumentFile::replace(newest, fill, {.beforeRename = shift, .lastWrite = lastWrite, .modeOf = documentPath}).ok)
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
    const QString stem = FolderPath::join(settings.folder, baseName(documentPath) + QStringLiteral("unreadable-")
                                                               + now.toString(QStringLiteral("yyyyMMdd-HHmmss")));
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
    return FolderPath::join(settings.folder, baseName(documentPath) + QStringLiteral("bk") + QString::number(version));
}

bool CBackupStep::moveOver(const QString &source, const QString &target)
{
#ifdef Q_OS_WIN
    const std::filesystem::path from(source.toStdWString());
    const std::filesystem::path to(target.toStdWString());
#else
    const std::filesystem::path from(QFile::encodeName(source).toStdString());
    const std::filesystem::path to(QFile::encodeName(target).toStdString());
#endif
    std::error_code error;
    std::filesystem::rename(from, to, error);
    return !error;
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
    std::sort(entries.begin(), entries.end(), [](const CBackupEntry &l, const CBackupEntry &r) {
        return l.lastWrite != r.lastWrite ? l.lastWrite > r.lastWrite : l.fileName < r.fileName;
    });
    return entries;
}

QString CBackupRestore::formatDate(const QDateTime &time, const QLocale &locale)
{
    return locale.toString(time.toLocalTime(), QStringLiteral("MMMM dd yyyy  HH:mm"));
}

QString CBackupRestore::restoredPath(const QString &title, const QString &folder)
{
    const qsizetype dot = title.lastIndexOf(QLatin1Char('.'));
    const QString name = dot > 0 ? title.left(dot) : QStringLiteral("Restore");
    const QDir dir(folder);
    QString path = dir.absoluteFilePath(name + QStringLiteral(".tqb"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.absoluteFilePath(QStringLiteral("%1 (%2).tqb").arg(name).arg(n));
    return path;
}
