#include "doc/DocumentFile.h"
#include <QCoreApplication>

#include "doc/DiskFingerprint.h"
#include "io/InputFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#include <cstring>
#include <limits>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif

namespace {

// Below one page free, a write cannot succeed whatever the permissions.
constexpr qint64 kFullDiskMargin = 4096;

constexpr qsizetype kChunk = 1 << 20;

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

}  // namespace

QString CDocumentFile::writeError(QFileDevice::FileError error, const QString &path)
{
    const QString text = writeErrorText(error, path);
    if (text == QCoreApplication::translate("CDocumentFile", kDiskFull))
        return QCoreApplication::translate("CDocumentFile", kDiskFullFor).arg(displayPath(path));
    return text;
}

QString CDocumentFile::displayPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString CDocumentFile::readOnlyText(const QString &path)
{
    return QCoreApplication::translate("CDocumentFile", kReadOnly).arg(displayPath(path));
}

QString CDocumentFile::missingFolderText(const QString &path)
{
    return QCoreApplication::translate("CDocumentFile", kFolderMissing).arg(displayPath(path));
}

QString CDocumentFile::danglingLinkText(const QString &path)
{
    return QCoreApplication::translate("CDocumentFile", kDanglingLink).arg(displayPath(path));
}

QString CDocumentFile::exportTargetProblem(const QString &path)
{
    const QFileInfo target(path);
    if (target.isSymLink() && !target.exists())
        return danglingLinkText(path);
    if (target.exists() && !target.isFile() && !target.isDir())
        return CInputFile::notRegularText(path);
    return {};
}

QString CDocumentFile::writeErrorText(QFileDevice::FileError error, const QString &path)
{
    if (error == QFileDevice::ResourceError)
        return QCoreApplication::translate("CDocumentFile", kDiskFull);
    // The file system says best why a file could not be made or replaced.
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        return missingFolderText(path);
    if (!folder.isWritable() || (target.exists() && !target.isWritable()))
        return readOnlyText(path);
    // A full file system refuses even the temporary file: say so rather than blame the permissions.
    const QStorageInfo storage(folder.absoluteFilePath());
    if (storage.isValid() && storage.bytesAvailable() < kFullDiskMargin)
        return QCoreApplication::translate("CDocumentFile", kDiskFull);
    // A rename refused over a file this user may write (a sticky folder
    // shared with its owner, a file held open elsewhere) is the same case.
    if (error == QFileDevice::OpenError || error == QFileDevice::PermissionsError || error == QFileDevice::RenameError)
        return readOnlyText(path);
    return QCoreApplication::translate("CDocumentFile", kSaveFailed);
}

namespace {

CDocumentFile::Result loaded(CInputFile::Status status, const QString &path, QByteArray &bytes)
{
    switch (status) {
    case CInputFile::Status::Ok:
        return {true, {}};
    case CInputFile::Status::Missing:
    case CInputFile::Status::Folder:
        bytes.clear();
        return {false, QCoreApplication::translate("CDocumentFile", "%1\nCannot find this file.\nPlease verify that the correct path and file name "
                                      "are given.")
                           .arg(CDocumentFile::displayPath(path))};
    case CInputFile::Status::NotRegular:
        return {false, CInputFile::notRegularText(path)};
    case CInputFile::Status::Denied:
        bytes.clear();
        return {false, CInputFile::deniedText(path)};
    case CInputFile::Status::TooLarge:
        bytes.clear();
        return {false, CInputFile::tooLargeText(path, CInputFile::kMaxDocumentBytes)};
    case CInputFile::Status::Unreadable:
        break;
    }
    bytes.clear();
    return {false, QCoreApplication::translate("CDocumentFile", "Unable to read from %1, it is opened by someone else.").arg(CDocumentFile::displayPath(path))};
}

}  // namespace

CDocumentFile::Result CDocumentFile::load(const QString &path, QByteArray &bytes)
{
    return loaded(CInputFile::read(path, CInputFile::kMaxDocumentBytes, bytes, false), path, bytes);
}

CDocumentFile::Result CDocumentFile::load(const QString &path, CLoadedFile &file, bool mayMap)
{
    for (int tries = 1;; ++tries) {
        file.bytes.clear();
        file.mapping = mayMap ? std::make_unique<CMappedFile>() : nullptr;
        // Taken before the read: a change after it shows as a later time.
        file.stamp = CFileStamp::of(path);
        file.modifiedMs = CDiskFingerprint::modifiedMs(path);
        const CInputFile::Status status = CInputFile::read(path, CInputFile::kMaxDocumentBytes, file.bytes, false, file.mapping.get());
        if (file.mapping && !file.mapping->isMapped())
            file.mapping.reset();
        const Result result = loaded(status, path, file.bytes);
        // A mapping is read as it is decoded: checked after that.
        if (!result.ok || file.mapping)
            return result;
        CFileStamp::pauseForTest();
        if (file.stamp.stillAt(path))
            return result;
        // Written by another program during the read: the bytes may be of two versions.
        if (tries == CFileStamp::kReadTries) {
            file.bytes.clear();
            return {false, CFileStamp::changedWhileReadText(path)};
        }
    }
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

CDocumentFile::Result CDocumentFile::save(const QString &path, const QByteArray &bytes, const CReplacement &how)
{
    return replace(path, [&bytes](QFileDevice &file) { return writeAll(file, bytes); }, how);
}

namespace {

#ifdef Q_OS_UNIX
// The permissions of the owning group in a stored access list, masked as the
// list masks them; -1 when the list cannot be read.
int groupPermissionsOf(const QByteArray &list)
{
    // A version word, then entries of tag (16 bits), permissions (16) and id (32).
    constexpr quint16 kGroupObj = 0x04;
    constexpr quint16 kMask = 0x10;
    int group = -1;
    int mask = 07;
    for (qsizetype at = 4; at + 8 <= list.size(); at += 8) {
        quint16 tag;
        quint16 permissions;
        std::memcpy(&tag, list.constData() + at, sizeof tag);
        std::memcpy(&permissions, list.constData() + at + 2, sizeof permissions);
        if (tag == kGroupObj)
            group = permissions & 07;
        else if (tag == kMask)
            mask = permissions & 07;
    }
    return group < 0 ? -1 : group & mask;
}

// An access control list widens or narrows the mode's group bits (they are
// its mask then); dropped, a "u:someone:rw" entry would read as the whole
// group's. A new file may also inherit a list from its folder's default
// that the file it replaces did not have.
constexpr char kAccessList[] = "system.posix_acl_access";

// The stored access list of `path`; its size, -1 when it has none.
ssize_t accessListOf(const QString &path, QByteArray &list)
{
    const QByteArray encoded = QFile::encodeName(path);
    list.resize(256);
    ssize_t size = ::getxattr(encoded.constData(), kAccessList, list.data(), size_t(list.size()));
    if (size < 0 && errno == ERANGE) {
        size = ::getxattr(encoded.constData(), kAccessList, nullptr, 0);
        if (size > 0) {
            list.resize(size);
            size = ::getxattr(encoded.constData(), kAccessList, list.data(), size_t(list.size()));
        }
    }
    return size;
}

bool takeAccessListOf(int fd, const QString &model, const struct stat &wanted, bool ownerKept)
{
    static const char *const kName = kAccessList;
    QByteArray list;
    const ssize_t size = accessListOf(model, list);
    if (size < 0) {
        // No list to keep (or none this file system shows: a network or FUSE
        // mount may not even know the call): the mode alone says who may
        // read. A list the new file inherited from its folder goes.
        ::fremovexattr(fd, kName);
        return true;
    }
    list.resize(size);
    // The list's owner entry names whoever owns the file: given to this
    // user, the list would shut out the owner it was written for.
    if (!ownerKept)
        return false;
    if (::fsetxattr(fd, kName, list.constData(), size_t(size), 0) == 0)
        return true;
    // A file system without lists (a backup folder elsewhere): the group
    // bits become the owning group's own, so the copy opens to nobody new;
    // the users the list named lose it.
    const int group = groupPermissionsOf(list);
    if (group < 0)
        return false;
    return ::fchmod(fd, (wanted.st_mode & 07707) | mode_t(group << 3)) == 0;
}

// Gives the open temporary file the mode, owner and group of `model`, where
// there is such a file. Owner and group are a courtesy (only root may give a
// file away); the mode is not: a file that stays as the new one would be
// more open than the one it replaces fails the save.
bool takeModeOf(int fd, const QString &model, const QString &newLike, bool ownerOnly = false)
{
    struct stat wanted;
    if (ownerOnly) {
        // No one else, whatever the file replaced or its folder allowed.
        ::fremovexattr(fd, kAccessList);
        struct stat own;
        return ::fstat(fd, &own) == 0 && ::fchmod(fd, own.st_mode & 07700) == 0;
    }
    if (::stat(QFile::encodeName(model).constData(), &wanted) != 0) {
        // Nothing to keep: a new file gets the usual mode, narrowed to
        // that of the file it is made from.
        const int closed = CDocumentFile::closedBits(newLike);
        struct stat own;
        if (closed == 0)
            return true;
        return ::fstat(fd, &own) == 0 && ::fchmod(fd, own.st_mode & 07777 & ~mode_t(closed)) == 0;
    }
    struct stat own;
    if (::fstat(fd, &own) != 0)
        return false;
    bool ownerKept = own.st_uid == wanted.st_uid;
    // Owner first: changing it clears the set-ID bits the mode then puts back.
    if (own.st_uid != wanted.st_uid || own.st_gid != wanted.st_gid) {
        ownerKept = ::fchown(fd, wanted.st_uid, wanted.st_gid) == 0;
        if (!ownerKept)
            ::fchown(fd, uid_t(-1), wanted.st_gid);  // the group alone may be ours to set
    }
    if (::fchmod(fd, wanted.st_mode & 07777) != 0)
        return false;
    return takeAccessListOf(fd, model, wanted, ownerKept);
}
#endif

}  // namespace

CDocumentFile::Result CDocumentFile::replace(const QString &path, const std::function<bool(QFileDevice &)> &fill,
                                             const CReplacement &how)
{
    const auto errorText = [&how](QFileDevice::FileError error, const QString &target) {
        return how.namesTarget ? writeError(error, target) : writeErrorText(error, target);
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, errorText(file.error() == QFileDevice::NoError ? QFileDevice::OpenError : file.error(), path)};
    const auto cancel = [&file, &path, &errorText] {
        const QFileDevice::FileError error = file.error();
        file.cancelWriting();
        return Result{false, errorText(error, path)};
    };
    if (!fill(file))
        return cancel();
#ifdef Q_OS_UNIX
    if (!file.flush() || !takeModeOf(file.handle(), how.modeOf.isEmpty() ? path : how.modeOf, how.newLike, how.ownerOnly)) {
        file.cancelWriting();
        return {false, errorText(QFileDevice::PermissionsError, path)};
    }
#endif
    if (!syncContents(file))
        return cancel();
    // Set on the temporary file, so that the time arrives with the rename.
    if (how.lastWrite.isValid() && !file.setFileTime(how.lastWrite, QFileDevice::FileModificationTime))
        return cancel();
    if (how.beforeRename && !how.beforeRename()) {
        file.cancelWriting();
        Result refused;
        refused.refused = true;
        return refused;
    }
    if (!file.commit())
        return {false, errorText(file.error(), path)};
    // Only a synced folder keeps the rename through a power cut.
    if (!syncFolder(QFileInfo(path).absolutePath()))
        return {false, errorText(QFileDevice::WriteError, path)};
    return {true, {}};
}

int CDocumentFile::closedBits(const QString &model)
{
#ifdef Q_OS_UNIX
    struct stat info;
    if (model.isEmpty() || ::stat(QFile::encodeName(model).constData(), &info) != 0)
        return 0;
    // With an access list the mode's group bits are its mask, which the users
    // and groups it names may have: the owning group has only its own entry.
    QByteArray list;
    const ssize_t size = accessListOf(model, list);
    if (size > 0) {
        list.resize(size);
        const int group = groupPermissionsOf(list);
        if (group >= 0)
            return int(077 & ~((info.st_mode & 07) | mode_t(group << 3)));
    }
    return int(077 & ~info.st_mode);
#else
    Q_UNUSED(model)
    return 0;
#endif
}

bool CDocumentFile::takeMode(const QString &path, const QString &model)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    const bool taken = takeModeOf(fd, model, {});
    ::close(fd);
    return taken;
#else
    Q_UNUSED(path)
    Q_UNUSED(model)
    return true;
#endif
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
