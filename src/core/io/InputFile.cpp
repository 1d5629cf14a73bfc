#include "io/InputFile.h"
#include "io/MappedFile.h"
#include <QCoreApplication>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr qint64 kChunk = 1 << 20;

// After an open failed: was it the permissions (of the file or of a folder
// on its way), which the user can do something about?
bool deniedToThisUser(const QString &path)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0) {
        ::close(fd);
        return false;
    }
    return errno == EACCES || errno == EPERM;
#else
    return !QFileInfo(path).isReadable();
#endif
}

// A large read lands in memory faster in huge pages: far fewer page faults.
void adviseLargeBuffer(QByteArray &bytes)
{
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
    constexpr quintptr kHugePage = quintptr(2) << 20;
    const auto begin = reinterpret_cast<quintptr>(bytes.data());
    const quintptr first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const quintptr last = (begin + quintptr(bytes.capacity())) & ~(kHugePage - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);  // only advice: no error to handle
#else
    Q_UNUSED(bytes)
#endif
}

// Appends up to `limit - bytes.size() + 1` more bytes: one past the limit
// tells a stream that is too long from one that ends exactly there. Reads
// into the room reserved first, so a file of the expected size is read
// without moving the buffer.
CInputFile::Status readRest(QFile &file, qint64 limit, QByteArray &bytes)
{
    for (;;) {
        const qint64 room = limit + 1 - bytes.size();
        if (room <= 0)
            return CInputFile::Status::TooLarge;
        const qsizetype at = bytes.size();
        const qint64 reserved = bytes.capacity() - at;
        const qint64 want = std::min(room, reserved > 0 ? reserved : kChunk);
        bytes.resize(at + qsizetype(want));
        const qint64 got = file.read(bytes.data() + at, want);
        if (got < 0) {
            bytes.truncate(at);
            return CInputFile::Status::Unreadable;
        }
        bytes.truncate(at + qsizetype(got));
        if (got == 0)
            return CInputFile::Status::Ok;
    }
}

}  // namespace

bool CInputFile::isStandardInputStream(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat named {};
    struct stat input {};
    if (::stat(QFile::encodeName(path).constData(), &named) != 0 || ::fstat(STDIN_FILENO, &input) != 0)
        return false;
    // A pipe or a socket; a terminal or a device on standard input is no file to import.
    return (S_ISFIFO(input.st_mode) || S_ISSOCK(input.st_mode)) && named.st_dev == input.st_dev
        && named.st_ino == input.st_ino;
#else
    Q_UNUSED(path)
    return false;
#endif
}

CInputFile::Status CInputFile::read(const QString &path, qint64 maxBytes, QByteArray &bytes, bool acceptStandardInput,
                                    CMappedFile *map)
{
    bytes.clear();
    if (acceptStandardInput && isStandardInputStream(path)) {
        // Standard input can be read only once: a second read in the same
        // run (a retried command) gets the same bytes again.
        static std::optional<std::pair<Status, QByteArray>> once;
        if (!once) {
            QFile in;
            QByteArray read;
            Status status = Status::Unreadable;
            if (in.open(stdin, QIODevice::ReadOnly | QIODevice::Unbuffered))
                status = readRest(in, maxBytes, read);
            once.emplace(status, read);
        }
        bytes = once->second;
        return once->first;
    }
    const QFileInfo info(path);
    if (!info.exists())
        return Status::Missing;
    if (info.isDir())
        return Status::Folder;
    // Checked before opening: opening a named pipe waits for a writer.
    if (!info.isFile())
        return Status::NotRegular;
    if (info.size() > maxBytes)
        return Status::TooLarge;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return deniedToThisUser(path) ? Status::Denied : Status::Unreadable;
    if (map) {
        // The size as it is now bounds the mapping: what is added later is not read.
        const qint64 size = file.size();
        if (size > maxBytes)
            return Status::TooLarge;
        if (size > 0 && map->map(file.handle(), size)) {
            bytes = map->bytes();
            return Status::Ok;
        }
    }
    bytes.reserve(qsizetype(std::min(maxBytes, file.size()) + 1));
    adviseLargeBuffer(bytes);
    // Read to the end even when the file grows meanwhile, but never past the bound.
    return readRest(file, maxBytes, bytes);
}

QString CInputFile::deniedText(const QString &path)
{
    return QCoreApplication::translate("CInputFile", kDenied).arg(QDir::toNativeSeparators(path));
}

QString CInputFile::notRegularText(const QString &path)
{
    return QCoreApplication::translate("CInputFile", kNotRegular).arg(QDir::toNativeSeparators(path));
}

QString CInputFile::tooLargeText(const QString &path, qint64 maxBytes)
{
    return QCoreApplication::translate("CInputFile", kTooLarge).arg(QDir::toNativeSeparators(path)).arg(maxBytes / kMegabyte);
}
