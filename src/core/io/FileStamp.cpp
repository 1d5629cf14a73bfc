#include "io/FileStamp.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#if defined(Q_OS_LINUX)
#include <sys/stat.h>
#endif

CFileStamp CFileStamp::of(const QString &path)
{
    CFileStamp stamp;
#if defined(Q_OS_LINUX)
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return stamp;
    stamp.m_device = quint64(info.st_dev);
    stamp.m_inode = quint64(info.st_ino);
    stamp.m_size = qint64(info.st_size);
    stamp.m_changedNs = qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    stamp.m_modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
#else
    const QFileInfo info(path);
    if (!info.exists())
        return stamp;
    stamp.m_size = info.size();
    stamp.m_changedNs = info.metadataChangeTime().toMSecsSinceEpoch() * 1000000;
    stamp.m_modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
#endif
    stamp.m_valid = true;
    return stamp;
}

bool CFileStamp::stillAt(const QString &path) const
{
    const CFileStamp now = of(path);
    return m_valid && now.m_valid && now.m_device == m_device && now.m_inode == m_inode && now.m_size == m_size
        && now.m_changedNs == m_changedNs && now.m_modifiedNs == m_modifiedNs;
}

QString CFileStamp::changedWhileReadText(const QString &path)
{
    return QCoreApplication::translate("CFileStamp", kChangedWhileRead).arg(QDir::toNativeSeparators(path));
}

void CFileStamp::pauseForTest()
{
    pauseForTest("TQB_TEST_READ_CHECK_PAUSE");
}

void CFileStamp::pauseForTest(const char *variable)
{
    const QString flag = qEnvironmentVariable(variable);
    if (flag.isEmpty())
        return;
    QFile made(flag);
    if (!made.open(QIODevice::WriteOnly))
        return;
    made.close();
    const QDeadlineTimer deadline(10000);
    while (QFileInfo::exists(flag) && !deadline.hasExpired())
        QThread::msleep(5);
}
