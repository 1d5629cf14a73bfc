#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>

struct XXH3_state_s;

// A 64-bit hash (XXH3) of a byte stream fed in pieces of any size, fast
// enough to run over a whole document as it is written or decoded: it runs
// at the speed of memory. Not cryptographic: it tells a changed file from
// an unchanged one, nothing more.
class CContentHash
{
public:
    CContentHash();
    ~CContentHash();
    CContentHash(CContentHash &&) noexcept;
    CContentHash &operator=(CContentHash &&) noexcept;

    void add(QByteArrayView bytes);
    quint64 value() const;
    qint64 size() const { return m_size; }

private:
    struct Free
    {
        void operator()(XXH3_state_s *state) const;
    };
    std::unique_ptr<XXH3_state_s, Free> m_state;
    qint64 m_size = 0;
};

// What the document's file looked like when the program last read or wrote
// it, to tell whether another program has changed it since. Size and time
// decide quickly; when only the time differs the contents decide, so that a
// file that was only touched is not taken as changed.
class CDiskFingerprint
{
public:
    CDiskFingerprint() = default;
    // The file at `path` as it is now, read in blocks; not valid when it
    // cannot be read as a regular file.
    static CDiskFingerprint ofFile(const QString &path);
    // `hash`: of everything just written to `path`.
    static CDiskFingerprint of(const QString &path, const CContentHash &hash);
    // `hash`: of the file's contents as read when it had been last modified
    // at `modifiedMs` (taken before the hash was complete).
    static CDiskFingerprint of(qint64 modifiedMs, const CContentHash &hash);
    // For a file read without looking at its contents (a reader that never
    // saves): any later comparison says it changed, so nothing is written
    // over it unasked.
    static CDiskFingerprint unknown();

    // The file's last-write time in ms since the epoch; 0 when it is missing.
    static qint64 modifiedMs(const QString &path);

    bool isValid() const { return m_size >= 0 || m_unknown; }
    // Whether the file at `path` still holds what was read or written. A
    // missing file counts as unchanged: the next save simply makes it again.
    bool matches(const QString &path) const;

private:
    // Another write within this long of the one remembered may leave the
    // same last-write time (coarse clocks, file systems that keep seconds):
    // until then an equal time proves nothing and the contents decide.
    static constexpr qint64 kSameMomentMs = 3000;
    bool timeAlone() const;

    qint64 m_size = -1;
    qint64 m_modifiedMs = 0;
    mutable qint64 m_checkedMs = 0;  // when the contents last proved equal (or were taken)
    quint64 m_hash = 0;
    bool m_unknown = false;
};
