#include "doc/DocumentFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <limits>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

constexpr qsizetype kChunk = 1 << 20;

QString writeErrorText(QFileDevice::FileError error, const QString &path)
{
    switch (error) {
    case QFileDevice::ResourceError:
        return QStringLiteral("Destination disk drive is full.");
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
        return QStringLiteral("Unable to write to %1, it is read-only or opened by someone else.")
            .arg(CDocumentFile::displayPath(path));
    default:
        return QStringLiteral("Failed to save document.");
    }
}

// Pushes what was written to the file down to the disk. Qt's commit syncs
// too but does not say when that fails; a disk that refuses must fail the save.
bool syncContents(QFileDevice &file)
{
    if (!file.flush())
        return false;
#ifdef Q_OS_UNIX
    return ::fsync(file.handle()) == 0;
#else
    return true;  // QSaveFile::commit flushes the file buffers on Windows
#endif
}

// A large read lands in memory faster in huge pages: far fewer page faults.
void adviseLargeBuffer(QByteArray &bytes)
{
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
    constexpr quintptr kHugePage = quintptr(2) << 20;
    const auto begin = reinterpret_cast<quintptr>(bytes.data());
    const quintptr first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const quintptr last = (begin + quintptr(bytes.size())) & ~(kHugePage - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);  // only advice: no error to handle
#else
    Q_UNUSED(bytes)
#endif
}

}  // namespace

QString CDocumentFile::displayPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

CDocumentFile::Result CDocumentFile::load(const QString &path, QByteArray &bytes)
{
    bytes.clear();
    QFile file(path);
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) {
        return {false, QStringLiteral("%1\nCannot find this file.\nPlease verify that the correct path and file name "
                                      "are given.")
                           .arg(displayPath(path))};
    }
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {false, QStringLiteral("Unable to read from %1, it is opened by someone else.").arg(displayPath(path))};
    const Result failed{false, QStringLiteral("Failed to open document.")};
    const qint64 size = file.size();
    if (size < 0 || size >= qint64(std::numeric_limits<qsizetype>::max() / 2))
        return failed;
    bytes = QByteArray(qsizetype(size), Qt::Uninitialized);
    adviseLargeBuffer(bytes);
    qsizetype have = 0;
    while (have < bytes.size()) {
        const qint64 got = file.read(bytes.data() + have, bytes.size() - have);
        if (got < 0) {
            bytes.clear();
            return failed;
        }
        if (got == 0)
            break;  // shorter than it was a moment ago
        have += qsizetype(got);
    }
    bytes.truncate(have);
    // A file that grew meanwhile is read to its end.
    const QByteArray more = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        bytes.clear();
        return failed;
    }
    bytes += more;
    return {true, {}};
}

bool CDocumentFile::writeAll(QIODevice &device, const QByteArray &bytes)
{
    for (qsizetype at = 0; at < bytes.size();) {
        const qint64 written = device.write(bytes.constData() + at, std::min(kChunk, bytes.size() - at));
        if (written <= 0)
            return false;
        at += qsizetype(written);
    }
    return true;
}

CDocumentFile::Result CDocumentFile::save(const QString &path, const QByteArray &bytes, const QDateTime &lastWrite)
{
    return replace(path, [&bytes](QFileDevice &file) { return writeAll(file, bytes); }, lastWrite);
}

CDocumentFile::Result CDocumentFile::replace(const QString &path, const std::function<bool(QFileDevice &)> &fill,
                                             const QDateTime &lastWrite)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, writeErrorText(file.error() == QFileDevice::NoError ? QFileDevice::OpenError : file.error(), path)};
    const auto cancel = [&file, &path] {
        const QFileDevice::FileError error = file.error();
        file.cancelWriting();
        return Result{false, writeErrorText(error, path)};
    };
    if (!fill(file) || !syncContents(file))
        return cancel();
    // Set on the temporary file, so that the time arrives with the rename.
    if (lastWrite.isValid() && !file.setFileTime(lastWrite, QFileDevice::FileModificationTime))
        return cancel();
    if (!file.commit())
        return {false, writeErrorText(file.error(), path)};
    // Only a synced folder keeps the rename through a power cut.
    if (!syncFolder(QFileInfo(path).absolutePath()))
        return {false, writeErrorText(QFileDevice::WriteError, path)};
    return {true, {}};
}

bool CDocumentFile::syncFolder(const QString &folder)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;  // a folder that cannot be synced
    ::close(fd);
    return synced;
#else
    // Windows cannot open a folder to flush it; its rename (MoveFileEx with
    // replacement, as QSaveFile does) is what makes the new file take the
    // old one's place.
    Q_UNUSED(folder)
    return true;
#endif
}
