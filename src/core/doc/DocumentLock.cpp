#include "doc/DocumentLock.h"
#include <QCoreApplication>

#include "doc/DocumentFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QDeadlineTimer>
#include <QLockFile>
#include <QThread>

#include <algorithm>

namespace {

// The longest file name common Linux file systems take, in bytes.
constexpr qsizetype kMaxNameBytes = 255;

}  // namespace

CDocumentLock::CDocumentLock(const QString &documentPath)
    : m_documentPath(QFileInfo(documentPath).absoluteFilePath())
    , m_file(std::make_unique<QLockFile>(lockFilePath(m_documentPath)))
{
    // Stale only when its owner is gone: a save of a large document may hold
    // the lock longer than any fixed age.
    m_file->setStaleLockTime(0);
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

bool CDocumentLock::lock(int waitMs)
{
    if (m_locked)
        return true;
    m_failure.clear();
    const QFileInfo folder(QFileInfo(m_documentPath).absolutePath());
    if (!folder.isDir()) {
        m_failure = CDocumentFile::missingFolderText(m_documentPath);
        return false;
    }
    // Polled in short steps: other writers hold the lock for moments only,
    // and QLockFile's own wait sleeps a tenth of a second at a time.
    QDeadlineTimer deadline(std::max(0, waitMs));
    for (int pause = 2;; pause = std::min(pause * 2, 50)) {
        if (m_file->tryLock(0)) {
            m_locked = true;
            return true;
        }
        if (m_file->error() != QLockFile::LockFailedError || deadline.hasExpired())
            break;
        QThread::msleep(ulong(std::min<qint64>(pause, std::max<qint64>(1, deadline.remainingTime()))));
    }
    switch (m_file->error()) {
    case QLockFile::LockFailedError: {
        qint64 pid = 0;
        QString host;
        QString program;
        if (m_file->getLockInfo(&pid, &host, &program)) {
            m_failure = QCoreApplication::translate("CDocumentLock", kHeldBy).arg(QDir::toNativeSeparators(m_documentPath), program,
                                                         QString::number(pid), host);
        } else {
            m_failure = QCoreApplication::translate("CDocumentLock", kHeldByUnknown)
                            .arg(QDir::toNativeSeparators(m_documentPath),
                                 QDir::toNativeSeparators(lockFilePath(m_documentPath)));
        }
        break;
    }
    default:
        // No lock file can be made beside the document: nor can the document.
        m_failure = CDocumentFile::writeErrorText(QFileDevice::OpenError, m_documentPath);
        break;
    }
    return false;
}

void CDocumentLock::unlock()
{
    if (m_locked)
        m_file->unlock();
    m_locked = false;
}
