#include "doc/DiskFingerprint.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cstring>

namespace {

constexpr quint64 kMultiplier = 0xBF58476D1CE4E5B9ULL;
constexpr qint64 kReadBlock = 1 << 20;

qint64 modifiedMs(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() ? info.lastModified().toMSecsSinceEpoch() : 0;
}

}  // namespace

void CContentHash::mix(quint64 word)
{
    m_state = (m_state ^ word) * kMultiplier;
    m_state ^= m_state >> 31;
}

void CContentHash::add(QByteArrayView bytes)
{
    const char *p = bytes.data();
    qsizetype n = bytes.size();
    m_size += n;
    // Complete a word left over from the last piece, byte by byte.
    while (m_pendingBytes > 0 && m_pendingBytes < 8 && n > 0) {
        m_pending |= quint64(quint8(*p++)) << (8 * m_pendingBytes++);
        --n;
    }
    if (m_pendingBytes == 8) {
        mix(m_pending);
        m_pending = 0;
        m_pendingBytes = 0;
    }
    for (; n >= 8; p += 8, n -= 8)
        mix(qFromLittleEndian<quint64>(p));
    while (n-- > 0)
        m_pending |= quint64(quint8(*p++)) << (8 * m_pendingBytes++);
}

quint64 CContentHash::value() const
{
    quint64 state = m_state;
    // The bytes of an unfinished word and the length go in last, so that
    // streams that differ only in trailing zeros hash apart.
    state = (state ^ m_pending) * kMultiplier;
    state = (state ^ quint64(m_size)) * kMultiplier;
    return state ^ (state >> 29);
}

CDiskFingerprint CDiskFingerprint::of(const QString &path, QByteArrayView bytes)
{
    CContentHash hash;
    hash.add(bytes);
    return of(path, hash);
}

CDiskFingerprint CDiskFingerprint::of(const QString &path, const CContentHash &hash)
{
    CDiskFingerprint print;
    print.m_size = hash.size();
    print.m_modifiedMs = modifiedMs(path);
    print.m_hash = hash.value();
    return print;
}

bool CDiskFingerprint::matches(const QString &path) const
{
    if (!isValid())
        return true;
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    if (info.size() != m_size)
        return false;
    if (info.lastModified().toMSecsSinceEpoch() == m_modifiedMs)
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;  // unreadable now: the save will tell, nothing to compare
    CContentHash hash;
    while (!file.atEnd()) {
        const QByteArray block = file.read(kReadBlock);
        if (block.isEmpty())
            break;
        hash.add(block);
    }
    return hash.value() == m_hash;
}
