#pragma once

#include <QCoreApplication>

#include <QString>

// Which file a name led to and when it last changed (its inode, size and
// change time), to tell whether another program wrote it while it was read:
// a file rewritten in place during a read (dd conv=notrunc) gives a mix of
// two versions that reads as a sound document. The change time moves on
// with every write, whatever the writer does to the last-write time.
class CFileStamp
{
public:
    static constexpr const char *kChangedWhileRead =
        QT_TRANSLATE_NOOP("CFileStamp", "%1 kept being changed by another program while it was read.\nNothing was read; try again when it is done.");
    // Reads of a file that changed meanwhile, before it is given up.
    static constexpr int kReadTries = 4;

    CFileStamp() = default;
    // The file at `path` as it is now; not valid when it cannot be seen.
    static CFileStamp of(const QString &path);

    bool isValid() const { return m_valid; }
    // Whether `path` still leads to this file, unchanged. Where the system
    // gives no change time this is the size and last-write time alone.
    bool stillAt(const QString &path) const;

    static QString changedWhileReadText(const QString &path);

    // For tests: with TQB_TEST_READ_CHECK_PAUSE naming a file, each check
    // after a read first makes that file and waits (up to ten seconds) until
    // it is gone, so that a test can rewrite the document in between.
    static void pauseForTest();
    // The same for the pause named by the environment variable `variable`.
    static void pauseForTest(const char *variable);

private:
    bool m_valid = false;
    quint64 m_device = 0;
    quint64 m_inode = 0;
    qint64 m_size = 0;
    qint64 m_changedNs = 0;
    qint64 m_modifiedNs = 0;
};
