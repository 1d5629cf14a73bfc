#include "import/FolderListing.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

bool CFolderListing::isInside(const QString &path, const QString &root)
{
    if (path == root)
        return true;
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    return path.startsWith(prefix);
}

#ifdef Q_OS_UNIX

namespace {

CFolderListing::Stamp stampOf(const struct stat &info)
{
    return {qint64(info.st_mtim.tv_sec), qint64(info.st_mtim.tv_nsec), quint64(info.st_ino)};
}

CFolderListing::Status statusOf(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return CFolderListing::Status::Gone;
    case EACCES:
    case EPERM:
        return CFolderListing::Status::Denied;
    case ENAMETOOLONG:
        return CFolderListing::Status::TooLong;
    default:
        return CFolderListing::Status::Failed;
    }
}

CFolderListing::Kind kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return CFolderListing::Kind::Folder;
    return S_ISREG(mode) ? CFolderListing::Kind::File : CFolderListing::Kind::Special;
}

// What a link leads to, judged by its canonical target.
void resolveLink(CFolderListing::Entry &e, const QString &root)
{
    const QByteArray path = QFile::encodeName(e.path);
    struct stat info;
    char *resolved = ::stat(path.constData(), &info) == 0 ? ::realpath(path.constData(), nullptr) : nullptr;
    if (!resolved) {
        e.kind = errno == ENOENT || errno == ENOTDIR ? CFolderListing::Kind::BrokenLink
               : errno == ELOOP                      ? CFolderListing::Kind::LinkLoop
                                                     : CFolderListing::Kind::Unreadable;
        return;
    }
    const QString target = QFile::decodeName(resolved);
    std::free(resolved);
    if (!CFolderListing::isInside(target, root)) {
        e.kind = CFolderListing::Kind::LinkOutside;
        return;
    }
    e.link = true;
    // Hidden folders and files are skipped: so is a way into them.
    const QStringView inside = QStringView(target).sliced(std::min(target.size(), root.size() + (root.endsWith(QLatin1Char('/')) ? 0 : 1)));
    for (const QStringView part : inside.split(QLatin1Char('/'))) {
        if (part.startsWith(QLatin1Char('.'))) {
            e.kind = CFolderListing::Kind::Hidden;
            return;
        }
    }
    if (::stat(QFile::encodeName(target).constData(), &info) != 0) {
        e.kind = CFolderListing::Kind::Unreadable;
        return;
    }
    e.kind = kindOf(info.st_mode);
    // Read through the target, not the link, which may be changed meanwhile.
    e.path = target;
    e.canonical = target;
}

}  // namespace

bool CFolderListing::unchanged(const QString &folder, const Stamp &stamp)
{
    struct stat info;
    if (::lstat(QFile::encodeName(folder).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    const Stamp now = stampOf(info);
    return now.seconds == stamp.seconds && now.nanoseconds == stamp.nanoseconds && now.inode == stamp.inode;
}

CFolderListing::Status CFolderListing::list(const QString &folder, const QString &canonical, const QString &root,
                                            std::vector<Entry> &entries, Stamp &stamp)
{
    entries.clear();
    // Not through a link put in the folder's place since it was listed.
    const int opened = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (opened < 0)
        return errno == ELOOP ? Status::Gone : statusOf(errno);
    DIR *dir = ::fdopendir(opened);
    if (!dir) {
        const int error = errno;
        ::close(opened);
        return statusOf(error);
    }
    const int fd = ::dirfd(dir);
    struct stat before;
    if (::fstat(fd, &before) != 0) {
        const int error = errno;
        ::closedir(dir);
        return statusOf(error);
    }
    stamp = stampOf(before);
    Status status = Status::Ok;
    for (;;) {
        errno = 0;
        const struct dirent *d = ::readdir(dir);
        if (!d) {
            if (errno != 0)
                status = statusOf(errno) == Status::Gone ? Status::Gone : Status::Failed;
            break;
        }
        const char *raw = d->d_name;
        if (raw[0] == '.' && (raw[1] == 0 || (raw[1] == '.' && raw[2] == 0)))
            continue;
        Entry e;
        e.name = QFile::decodeName(raw);
        e.path = folder + QLatin1Char('/') + e.name;
        if (raw[0] == '.') {
            e.kind = Kind::Hidden;
            entries.push_back(std::move(e));
            continue;
        }
        struct stat info;
        if (QFile::encodeName(e.path).size() >= PATH_MAX) {
            e.kind = Kind::TooLong;
        } else if (::fstatat(fd, raw, &info, AT_SYMLINK_NOFOLLOW) != 0) {
            e.kind = Kind::Unreadable;
        } else if (S_ISLNK(info.st_mode)) {
            resolveLink(e, root);
        } else {
            e.kind = kindOf(info.st_mode);
            if (e.kind == Kind::Folder)
                e.canonical = canonical + (canonical.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + e.name;
        }
        entries.push_back(std::move(e));
    }
    // A folder removed while it was read lists as empty, or cut short.
    struct stat self;
    if (status == Status::Ok && (::fstat(fd, &self) != 0 || self.st_nlink == 0))
        status = Status::Gone;
    ::closedir(dir);
    return status;
}

#else

bool CFolderListing::unchanged(const QString &folder, const Stamp &stamp)
{
    const QFileInfo info(folder);
    return info.isDir() && info.lastModified().toMSecsSinceEpoch() == stamp.seconds;
}

CFolderListing::Status CFolderListing::list(const QString &folder, const QString &canonical, const QString &root,
                                            std::vector<Entry> &entries, Stamp &stamp)
{
    Q_UNUSED(canonical)
    entries.clear();
    const QFileInfo self(folder);
    if (!self.isDir())
        return Status::Gone;
    stamp = {self.lastModified().toMSecsSinceEpoch(), 0, 0};
    if (!self.isReadable() || !QDir(folder).isReadable())
        return Status::Denied;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        Entry e;
        e.name = info.fileName();
        e.path = info.filePath();
        if (e.name.startsWith(QLatin1Char('.')) || info.isHidden()) {
            e.kind = Kind::Hidden;
        } else {
            const QString target = info.canonicalFilePath();
            if (target.isEmpty())
                e.kind = info.isSymLink() ? Kind::BrokenLink : Kind::Unreadable;
            else if (info.isSymLink() && !isInside(target, root))
                e.kind = Kind::LinkOutside;
            else
                e.kind = info.isDir() ? Kind::Folder : info.isFile() ? Kind::File : Kind::Special;
            e.canonical = target;
        }
        entries.push_back(std::move(e));
    }
    return QFileInfo::exists(folder) ? Status::Ok : Status::Gone;
}

#endif
