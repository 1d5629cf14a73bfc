#pragma once

#include <QCoreApplication>

#include <QString>

#include <memory>

class IPrompter;
class QLockFile;

// One writer at a time per document. Every writer (the program's save, each
// tqb command that changes a document) holds this lock from its read of the
// file to its rename over it, so that no writer renames over a version it
// has not read. The lock is a hidden file beside the document, held by the
// system's file lock on it (flock) for as long as its writer lives: a lock
// file that nobody holds that way (left by a writer that died, or by a power
// cut as an empty, garbled, folder or link entry) is taken over.
class CDocumentLock
{
public:
    static constexpr int kDefaultWaitMs = 10000;
    static constexpr const char *kHeldBy =
        QT_TRANSLATE_NOOP("CDocumentLock", "%1 is being written by %2 (process %3 on %4).\nNothing was saved; try again when it is done.");
    static constexpr const char *kHeldByUser = QT_TRANSLATE_NOOP(
        "CDocumentLock", "%1 is being written by %2 (process %3 of user %4 on %5).\nNothing was saved; try again when it is done.");
    static constexpr const char *kHeldByUnknown =
        QT_TRANSLATE_NOOP("CDocumentLock", "%1 is being written by another program (lock file %2).\nNothing was saved; try again when it is done.");
    static constexpr const char *kStaleOfUser =
        QT_TRANSLATE_NOOP("CDocumentLock", "%1 cannot be saved: its lock file %2 was left behind by user %3 and is no longer in use, "
                                           "but it may not be removed by you.\nAsk %3 or an administrator to delete it. Nothing was saved.");
    static constexpr const char *kLockIsFolder =
        QT_TRANSLATE_NOOP("CDocumentLock", "%1 cannot be saved: %2, the name of its lock file, is a folder with files in it.\n"
                                           "Move or delete that folder. Nothing was saved.");
    static constexpr const char *kWaiting =
        QT_TRANSLATE_NOOP("CDocumentLock", "%1 is being written by another program. Waiting until it is done...");

    explicit CDocumentLock(const QString &documentPath);
    ~CDocumentLock();
    CDocumentLock(const CDocumentLock &) = delete;
    CDocumentLock &operator=(const CDocumentLock &) = delete;

    // ".notes.tqb.lock" beside notes.tqb: hidden from file managers and
    // from the sync tools that skip dot files.
    static QString lockFilePath(const QString &documentPath);

    // Waits up to `waitMs` for the lock; false with failureText() set. With
    // a prompter, a wait is shown with Cancel while events go on (cancelled
    // leaves failureText() empty); without one the thread sleeps.
    bool lock(int waitMs, IPrompter *prompter = nullptr);
    void unlock();
    bool isLocked() const { return m_locked; }
    // The absolute path of the document this lock is for.
    const QString &documentPath() const { return m_documentPath; }
    // Why lock() failed, as the user is told.
    const QString &failureText() const { return m_failure; }

private:
    enum class Attempt { Locked, Held, Failed };
    // One try, without waiting: a lock file nobody holds is taken over.
    Attempt tryOnce();

    QString m_documentPath;
    QString m_lockPath;
    bool m_locked = false;
    QString m_failure;
#ifdef Q_OS_UNIX
    int m_fd = -1;
    // When a lock file nobody holds still names a live process here (an
    // older writer between letting go and removing its file): from then on
    // it is waited for a moment before it is taken over.
    qint64 m_namesLiveSinceMs = -1;
#else
    std::unique_ptr<QLockFile> m_file;
#endif
};
