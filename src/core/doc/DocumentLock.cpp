#include "doc/DocumentLock.h"

#include "Prompter.h"
#include "doc/DocumentFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <QThread>

#include <algorithm>
#include <optional>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// The longest file name common Linux file systems take, in bytes.
constexpr qsizetype kMaxNameBytes = 255;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

#ifdef Q_OS_UNIX

// How long a lock file that nobody holds may go on naming a live process
// of this machine before it is taken over: an older writer lets go of its
// lock a moment before it removes the file.
constexpr qint64 kLiveNameGraceMs = 2000;
// Rounds of one attempt lost to other writers taking over at the same time.
constexpr int kRounds = 8;

// What a lock file says about its writer: process, program, machine (the
// form QLockFile writes and reads, so that older writers understand it).
struct CHolder
{
    qint64 pid = 0;
    QString program;
    QString host;
};

std::optional<CHolder> holderIn(int fd)
{
    char buffer[1024];
    const ssize_t got = ::pread(fd, buffer, sizeof buffer, 0);
    if (got <= 0)
        return std::nullopt;
    const QList<QByteArray> lines = QByteArray(buffer, qsizetype(got)).split('\n');
    if (lines.size() < 3)
        return std::nullopt;
    bool ok = false;
    const qint64 pid = lines[0].toLongLong(&ok);
    if (!ok || pid <= 0)
        return std::nullopt;
    return CHolder{pid, QString::fromUtf8(lines[1]), QString::fromUtf8(lines[2])};
}

bool namesLiveProcessHere(const std::optional<CHolder> &holder)
{
    if (!holder || holder->pid == QCoreApplication::applicationPid() || holder->host != QSysInfo::machineHostName())
        return false;
    return ::kill(pid_t(holder->pid), 0) == 0 || errno == EPERM;
}

QByteArray ownContents()
{
    const QString program = QCoreApplication::instance() ? QFileInfo(QCoreApplication::applicationFilePath()).fileName() : QString();
    return QByteArray::number(QCoreApplication::applicationPid()) + '\n' + program.toUtf8() + '\n'
        + QSysInfo::machineHostName().toUtf8() + '\n' + QSysInfo::machineUniqueId() + '\n' + QSysInfo::bootUniqueId() + '\n';
}

QString userName(uid_t uid)
{
    struct passwd entry {};
    struct passwd *found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) == 0 && found)
        return QString::fromLocal8Bit(found->pw_name);
    return QString::number(uid);
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removers of a folder or a link at the lock's name take turns: the entry is
// checked and removed under this, so that two of them never remove the lock
// file a third made meanwhile.
class CFolderTurn
{
public:
    explicit CFolderTurn(const QString &folder)
        : m_fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (m_fd >= 0)
            ::flock(m_fd, LOCK_EX);  // held for a stat and a removal only
    }
    ~CFolderTurn()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CFolderTurn(const CFolderTurn &) = delete;
    CFolderTurn &operator=(const CFolderTurn &) = delete;

private:
    int m_fd;
};

#endif

}  // namespace

CDocumentLock::CDocumentLock(const QString &documentPath)
    : m_documentPath(QFileInfo(documentPath).absoluteFilePath())
    , m_lockPath(lockFilePath(m_documentPath))
{
#ifndef Q_OS_UNIX
    m_file = std::make_unique<QLockFile>(m_lockPath);
    // Stale only when its owner is gone: a save of a large document may hold
    // the lock longer than any fixed age.
    m_file->setStaleLockTime(0);
#endif
}

CDocumentLock::~CDocumentLock()
{
    unlock();
}

QString CDocumentLock::lockFilePath(const QString &documentPath)
{
    // Writers that reach one file by different names (a symbolic link to it)
    // must meet at one lock: it lies beside the file the link leads to.
    QFileInfo info(documentPath);
    if (info.isSymLink()) {
        const QString target = info.canonicalFilePath();
        info = QFileInfo(target.isEmpty() ? info.symLinkTarget() : target);
    }
    QString name = QLatin1Char('.') + info.fileName() + QStringLiteral(".lock");
    // A name near the file system's limit leaves no room for the lock's
    // additions; such a document gets a lock named after a digest of its name.
    if (QFile::encodeName(name).size() > kMaxNameBytes) {
        const QByteArray digest = QCryptographicHash::hash(QFile::encodeName(info.fileName()), QCryptographicHash::Sha1);
        name = QLatin1Char('.') + QString::fromLatin1(digest.toHex()) + QStringLiteral(".tqb.lock");
    }
    return info.absoluteDir().filePath(name);
}

bool CDocumentLock::lock(int waitMs, IPrompter *prompter)
{
    if (m_locked)
        return true;
    m_failure.clear();
#ifdef Q_OS_UNIX
    m_namesLiveSinceMs = -1;
#endif
    const QFileInfo folder(QFileInfo(m_documentPath).absolutePath());
    if (!folder.isDir()) {
        m_failure = CDocumentFile::missingFolderText(m_documentPath);
        return false;
    }
    Attempt last = tryOnce();
    if (last != Attempt::Held)
        return m_locked = last == Attempt::Locked;
    const auto settled = [this, &last] {
        last = tryOnce();
        return last != Attempt::Held;
    };
    if (prompter) {
        // The window goes on meanwhile, and the user may stop waiting.
        bool cancelled = false;
        prompter->waitUntil(QCoreApplication::translate("CDocumentLock", kWaiting).arg(shown(m_documentPath)), std::max(0, waitMs),
                            settled, cancelled);
        if (cancelled && last == Attempt::Held)
            m_failure.clear();
    } else {
        // Polled in short steps: other writers hold the lock for moments only.
        QDeadlineTimer deadline(std::max(0, waitMs));
        for (int pause = 2; !deadline.hasExpired(); pause = std::min(pause * 2, 50)) {
            QThread::msleep(ulong(std::min<qint64>(pause, std::max<qint64>(1, deadline.remainingTime()))));
            if (settled())
                break;
        }
    }
    m_locked = last == Attempt::Locked;
    if (m_locked)
        m_failure.clear();
    return m_locked;
}

#ifdef Q_OS_UNIX

CDocumentLock::Attempt CDocumentLock::tryOnce()
{
    const QByteArray name = QFile::encodeName(m_lockPath);
    const auto heldBy = [this](const std::optional<CHolder> &holder, uid_t owner) {
        if (!holder) {
            return QCoreApplication::translate("CDocumentLock", kHeldByUnknown).arg(shown(m_documentPath), shown(m_lockPath));
        }
        if (owner != ::geteuid()) {
            return QCoreApplication::translate("CDocumentLock", kHeldByUser)
                .arg(shown(m_documentPath), holder->program, QString::number(holder->pid), userName(owner), holder->host);
        }
        return QCoreApplication::translate("CDocumentLock", kHeldBy)
            .arg(shown(m_documentPath), holder->program, QString::number(holder->pid), holder->host);
    };
    // A lock file nobody holds could not be removed.
    const auto cannotRemove = [this](int error, uid_t owner) {
        if ((error == EACCES || error == EPERM) && owner != ::geteuid()) {
            const QString user = userName(owner);
            return QCoreApplication::translate("CDocumentLock", kStaleOfUser).arg(shown(m_documentPath), shown(m_lockPath), user);
        }
        return CDocumentFile::writeErrorText(QFileDevice::OpenError, m_documentPath);
    };

    for (int round = 0; round < kRounds; ++round) {
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            // Another writer may be looking at the new, still empty file as
            // one left behind: it goes, and this writer tries again.
            if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
                ::close(fd);
                continue;
            }
            // Readable whatever the umask: a writer of another user sharing
            // the folder must be able to check it. It names a process, nothing
            // of the document.
            ::fchmod(fd, 0644);
            const QByteArray text = ownContents();
            if (::write(fd, text.constData(), size_t(text.size())) != ssize_t(text.size())) {
                ::unlink(name.constData());
                ::close(fd);
                m_failure = CDocumentFile::writeErrorText(QFileDevice::WriteError, m_documentPath);
                return Attempt::Failed;
            }
            // Still the file at that name: not taken over as left behind
            // between its making and its locking.
            struct stat mine {};
            struct stat there {};
            if (::fstat(fd, &mine) != 0 || ::lstat(name.constData(), &there) != 0 || !sameFile(mine, there)) {
                ::close(fd);
                continue;
            }
            m_fd = fd;
            return Attempt::Locked;
        }
        if (errno != EEXIST) {
            m_failure = CDocumentFile::writeErrorText(QFileDevice::OpenError, m_documentPath);
            return Attempt::Failed;
        }
        struct stat there {};
        if (::lstat(name.constData(), &there) != 0)
            continue;  // gone meanwhile
        if (S_ISREG(there.st_mode)) {
            const int other = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
            if (other < 0) {
                if (errno == ENOENT || errno == ELOOP)
                    continue;
                // Not even readable: whose it is and whether it is held cannot be told.
                m_failure = heldBy(std::nullopt, there.st_uid);
                return Attempt::Held;
            }
            const std::optional<CHolder> holder = holderIn(other);
            bool systemLocks = true;
            if (::flock(other, LOCK_EX | LOCK_NB) != 0) {
                if (errno == EWOULDBLOCK) {
                    m_failure = heldBy(holder, there.st_uid);
                    ::close(other);
                    return Attempt::Held;
                }
                systemLocks = false;  // a file system without them: the contents are all there is
            }
            struct stat seen {};
            if (::fstat(other, &seen) != 0 || !sameFile(seen, there)) {
                ::close(other);
                continue;
            }
            if (namesLiveProcessHere(holder)) {
                // Nobody holds it, yet its writer lives: an older writer
                // letting go, or (where the file system has no locks) one
                // still writing. Waited for, for a moment or for ever.
                const qint64 now = QDateTime::currentMSecsSinceEpoch();
                if (m_namesLiveSinceMs < 0)
                    m_namesLiveSinceMs = now;
                if (!systemLocks || now - m_namesLiveSinceMs < kLiveNameGraceMs) {
                    m_failure = heldBy(holder, there.st_uid);
                    ::close(other);
                    return Attempt::Held;
                }
            }
            // Left behind: removed while this writer holds it, and only if
            // it is still the file at that name.
            struct stat again {};
            if (::lstat(name.constData(), &again) == 0 && sameFile(again, seen) && ::unlink(name.constData()) != 0
                && errno != ENOENT) {
                m_failure = cannotRemove(errno, there.st_uid);
                ::close(other);
                return Attempt::Failed;
            }
            ::close(other);
            continue;
        }
        // A folder or a link: never the lock of a live writer.
        const CFolderTurn turn(QFileInfo(m_lockPath).absolutePath());
        struct stat again {};
        if (::lstat(name.constData(), &again) != 0 || !sameFile(again, there))
            continue;
        const int removed = S_ISDIR(again.st_mode) ? ::rmdir(name.constData()) : ::unlink(name.constData());
        if (removed != 0 && errno != ENOENT) {
            if (errno == ENOTEMPTY || errno == EEXIST) {
                m_failure = QCoreApplication::translate("CDocumentLock", kLockIsFolder).arg(shown(m_documentPath), shown(m_lockPath));
            } else {
                m_failure = cannotRemove(errno, again.st_uid);
            }
            return Attempt::Failed;
        }
    }
    // Lost every round to writers taking the name at the same moment.
    m_failure = heldBy(std::nullopt, ::geteuid());
    return Attempt::Held;
}

void CDocumentLock::unlock()
{
    if (m_locked && m_fd >= 0) {
        // Removed while still held, so that nobody takes over a file that is
        // about to go.
        ::unlink(QFile::encodeName(m_lockPath).constData());
        ::close(m_fd);
    }
    m_fd = -1;
    m_locked = false;
}

#else

CDocumentLock::Attempt CDocumentLock::tryOnce()
{
    if (m_file->tryLock(0))
        return Attempt::Locked;
    if (m_file->error() != QLockFile::LockFailedError) {
        // No lock file can be made beside the document: nor can the document.
        m_failure = CDocumentFile::writeErrorText(QFileDevice::OpenError, m_documentPath);
        return Attempt::Failed;
    }
    qint64 pid = 0;
    QString host;
    QString program;
    if (m_file->getLockInfo(&pid, &host, &program)) {
        m_failure = QCoreApplication::translate("CDocumentLock", kHeldBy).arg(shown(m_documentPath), program, QString::number(pid), host);
    } else {
        m_failure = QCoreApplication::translate("CDocumentLock", kHeldByUnknown).arg(shown(m_documentPath), shown(m_lockPath));
    }
    return Attempt::Held;
}

void CDocumentLock::unlock()
{
    if (m_locked)
        m_file->unlock();
    m_locked = false;
}

#endif
