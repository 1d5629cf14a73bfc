#pragma once

#include <QCoreApplication>

#include <QString>

#include <memory>

class QLockFile;

// One writer at a time per document. Every writer (the program's save, each
// tqb command that changes a document) holds this lock from its read of the
// file to its rename over it, so that no writer renames over a version it
// has not read. The lock is a hidden file beside the document; a lock left
// by a process that died is taken over.
class CDocumentLock
{
public:
    static constexpr int kDefaultWaitMs = 10000;
    static constexpr const char *kHeldBy =
        QT_TRANSLATE_NOOP("CDocumentLock", "%1 is being written by %2 (process %3 on %4).\nNothing was saved; try again when it is done.");
    static constexpr const char *kHeldByUnknown =
        QT_TRANSLATE_NOOP("CDocumentLock", "%1 is being written by another program (lock file %2).\nNothing was saved; try again when it is done.");

    explicit CDocumentLock(const QString &documentPath);
    ~CDocumentLock();
    CDocumentLock(const CDocumentLock &) = delete;
    CDocumentLock &operator=(const CDocumentLock &) = delete;

    // ".notes.tqb.lock" beside notes.tqb: hidden from file managers and
    // from the sync tools that skip dot files.
    static QString lockFilePath(const QString &documentPath);

    // Waits up to `waitMs` for the lock; false with failureText() set.
    bool lock(int waitMs);
    void unlock();
    bool isLocked() const { return m_locked; }
    // The absolute path of the document this lock is for.
    const QString &documentPath() const { return m_documentPath; }
    // Why lock() failed, as the user is told.
    const QString &failureText() const { return m_failure; }

private:
    QString m_documentPath;
    std::unique_ptr<QLockFile> m_file;
    bool m_locked = false;
    QString m_failure;
};
