#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A 64-bit hash of a byte stream fed in pieces of any size, fast enough to
// run over a whole document as it is written. Not cryptographic: it tells a
// changed file from an unchanged one, nothing more.
class CContentHash
{
public:
    void add(QByteArrayView bytes);
    quint64 value() const;
    qint64 size() const { return m_size; }

private:
    void mix(quint64 word);

    quint64 m_state = 0x9E3779B97F4A7C15ULL;
    quint64 m_pending = 0;  // bytes of a word not yet complete
    int m_pendingBytes = 0;
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
    // `bytes`: the file's contents as just read at `path`.
    static CDiskFingerprint of(const QString &path, QByteArrayView bytes);
    // `hash`: of everything just written to `path`.
    static CDiskFingerprint of(const QString &path, const CContentHash &hash);

    bool isValid() const { return m_size >= 0; }
    // Whether the file at `path` still holds what was read or written. A
    // missing file counts as unchanged: the next save simply makes it again.
    bool matches(const QString &path) const;

private:
    qint64 m_size = -1;
    qint64 m_modifiedMs = 0;
    quint64 m_hash = 0;
};
