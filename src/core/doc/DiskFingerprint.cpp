#include "doc/DiskFingerprint.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>

quint64 CDiskFingerprint::hashOf(QByteArrayView bytes)
{
    return quint64(qHash(bytes, size_t(0x7157'5eed)));
}

CDiskFingerprint CDiskFingerprint::of(const QString &path, QByteArrayView bytes)
{
    CDiskFingerprint print;
    const QFileInfo info(path);
    print.m_size = bytes.size();
    print.m_modifiedMs = info.exists() ? info.lastModified().toMSecsSinceEpoch() : 0;
    print.m_hash = hashOf(bytes);
    return print;
}

bool CDiskFingerprint::matches(const QString &path) const
{
    if (!isValid())
        return true;
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    if (info.size() == m_size && info.lastModified().toMSecsSinceEpoch() == m_modifiedMs)
        return true;
    if (info.size() != m_size)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;  // unreadable now: the save will tell, nothing to compare
    return hashOf(file.readAll()) == m_hash;
}
