#include "doc/DiskFingerprint.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <xxhash.h>

#include <new>

namespace {

constexpr qint64 kReadBlock = 1 << 20;

// Everything `file` reads from where it stands, one block at a time.
CContentHash hashRest(QFile &file)
{
    CContentHash hash;
    QByteArray block(kReadBlock, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(block.data(), kReadBlock);
        if (got <= 0)
            break;
        hash.add(QByteArrayView(block.constData(), got));
    }
    return hash;
}

XXH3_state_t *newState()
{
    XXH3_state_t *state = XXH3_createState();
    if (!state)
        throw std::bad_alloc();
    XXH3_64bits_reset(state);
    return state;
}

}  // namespace

void CContentHash::Free::operator()(XXH3_state_s *state) const
{
    XXH3_freeState(state);
}

CContentHash::CContentHash() : m_state(newState()) {}

CContentHash::~CContentHash() = default;
CContentHash::CContentHash(CContentHash &&) noexcept = default;
CContentHash &CContentHash::operator=(CContentHash &&) noexcept = default;

void CContentHash::add(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return;
    XXH3_64bits_update(m_state.get(), bytes.data(), size_t(bytes.size()));
    m_size += bytes.size();
}

quint64 CContentHash::value() const
{
    return XXH3_64bits_digest(m_state.get());
}

qint64 CDiskFingerprint::modifiedMs(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() ? info.lastModified().toMSecsSinceEpoch() : 0;
}

CDiskFingerprint CDiskFingerprint::ofFile(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    return of(path, hashRest(file));
}

CDiskFingerprint CDiskFingerprint::of(const QString &path, const CContentHash &hash)
{
    return of(modifiedMs(path), hash);
}

CDiskFingerprint CDiskFingerprint::of(qint64 modifiedMs, const CContentHash &hash)
{
    CDiskFingerprint print;
    print.m_size = hash.size();
    print.m_modifiedMs = modifiedMs;
    print.m_hash = hash.value();
    print.m_checkedMs = QDateTime::currentMSecsSinceEpoch();
    return print;
}

CDiskFingerprint CDiskFingerprint::unknown()
{
    CDiskFingerprint print;
    print.m_unknown = true;
    return print;
}

bool CDiskFingerprint::matches(const QString &path) const
{
    if (!isValid())
        return true;
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    if (m_unknown || info.size() != m_size)
        return false;
    if (info.lastModified().toMSecsSinceEpoch() == m_modifiedMs && timeAlone())
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;  // unreadable now: the save will tell, nothing to compare
    const CContentHash hash = hashRest(file);
    if (hash.size() != m_size || hash.value() != m_hash)
        return false;
    m_checkedMs = QDateTime::currentMSecsSinceEpoch();
    return true;
}

bool CDiskFingerprint::timeAlone() const
{
    return m_checkedMs - m_modifiedMs >= kSameMomentMs;
}
